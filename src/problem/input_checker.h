// The line-by-line checker of scheduling input files. It collects every
// error and warning with the number of the offending line; loading goes on
// only for a file without errors.
#pragma once

#include <istream>
#include <string>
#include <vector>

namespace vema {

struct InputCheckLists {
  std::vector<std::string> errors;
  std::vector<std::string> warnings;
  void clear() {
    errors.clear();
    warnings.clear();
  }
};

// Results of a checker run.
inline constexpr int kCheckClean = 1;      // no errors, no warnings
inline constexpr int kCheckWarnings = 2;   // warnings only
inline constexpr int kCheckErrors = -1;    // at least one error
inline constexpr int kCheckNotOpened = 0;  // the file did not open

// Size limits beyond which a problem is refused: they keep the memory a load
// needs within what a desktop has.
inline constexpr int kMaxMachines = 10000;
inline constexpr int kMaxOrders = 100000;
inline constexpr int kMaxSetupTypes = 1000;
inline constexpr int kMaxJobsPerOrder = 100000;
inline constexpr long long kMaxWorkspaceCells = 250'000'000;

// Checks the file at path; clears and fills lists. Returns one of the results above.
int check_input(const std::string& path, InputCheckLists& lists);
// Checks data from a stream (never kCheckNotOpened).
int check_input_stream(std::istream& in, InputCheckLists& lists);

}  // namespace vema
