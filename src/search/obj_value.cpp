#include "search/obj_value.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace vema {
namespace {

// Relative change from x to y in percent of the larger magnitude. Values of
// one measure are normally both >= 0; the early-startness sum is <= 0, so the
// divisor falls back to the larger magnitude and never is zero.
double term(int x, int y) {
  if (x == 0 && y == 0) return 0.0;
  const int64_t larger = x > y ? x : y;
  const int64_t divisor = larger > 0 ? larger
                                     : std::max(std::llabs(static_cast<int64_t>(x)),
                                                std::llabs(static_cast<int64_t>(y)));
  return static_cast<double>(static_cast<int64_t>(y) - x) * 100.0 / static_cast<double>(divisor);
}

}  // namespace

void OBJ_VALUE::set_from(const OBJ_VALUE& source, int orders, int jobs, int machines) {
  for (int i = 1; i <= kObjectives; ++i) objective(i) = source.objective(i);
  n_orders = orders;
  n_jobs = jobs;
  n_machines = machines;
}

void OBJ_VALUE::take_values(const OBJ_VALUE& source) {
  for (int i = 1; i <= kObjectives; ++i) objective(i) = source.objective(i);
  deviation = source.deviation;
}

double weighted_difference(const OBJ_VALUE& a, const OBJ_VALUE& b, const Priorities& p) {
  double sum = 0.0;
  for (int i = 1; i <= kObjectives; ++i) {
    // A weight of 0 contributes nothing, so its term is not even formed.
    if (p.objective[i] != 0) sum += p.objective[i] * term(a.objective(i), b.objective(i));
  }
  for (int k = 1; k <= kDeviations; ++k) {
    if (p.deviation[k] != 0) sum += p.deviation[k] * term(a.deviation[k], b.deviation[k]);
  }
  return sum;
}

}  // namespace vema
