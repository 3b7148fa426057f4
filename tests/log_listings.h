// The run logs' listings written out word for word, so that a wrong label in
// a log shows up as a difference.
#pragma once

#include <array>
#include <sstream>
#include <string>

#include "search/obj_value.h"

namespace vema::testing {

// The ten lines of a values listing, as the logs word them.
inline std::string values_listing(const OBJ_VALUE& v) {
  std::ostringstream out;
  out << " n_of_Late_Jobs: " << v.n_of_Late_Jobs << "\n n_of_Late_Orders: " << v.n_of_Late_Orders
      << "\n max_Tardiness:" << v.max_Tardiness << "\n sumTardiness: " << v.sumTardiness
      << "\n sumAbsLateness: " << v.sumAbsLateness << "\n n_of_Setup: " << v.n_of_Setup
      << "\n n_of_Early_Starting_Jobs: " << v.n_of_Early_Starting_Jobs
      << "\n sumEarly_Startness: " << v.sumEarly_Startness
      << "\n Completion_Time: " << v.Completion_Time << "\n n_of_Scheduled_Jobs "
      << v.n_of_Scheduled_Jobs << "\n";
  return out.str();
}

// The log labels of the ten rescheduling deviation measures, in their order
// (the misspelt "differrent" is part of the log's wording).
inline constexpr std::array<const char*, 10> kDeviationLabels = {
    " num. of jobs with differrent route: ",
    " num. of jobs with differrent machines: ",
    " num. of jobs with late deviation: ",
    " num. of new late jobs: ",
    " num. of orders with differrent route: ",
    " num. of orders with differrent machines: ",
    " num. of orders with late deviation: ",
    " num. of new late orders: ",
    " num. of machines with setup number deviation: ",
    " num. of machines with new setups: ",
};

// The ten lines of a deviation listing: each label followed by its value.
inline std::string deviation_listing(const OBJ_VALUE& v) {
  std::ostringstream out;
  for (size_t k = 0; k < kDeviationLabels.size(); ++k) {
    out << kDeviationLabels[k] << v.deviation[k + 1] << "\n";
  }
  return out.str();
}

}  // namespace vema::testing
