// The objective values of one schedule and how two of them are compared.
#pragma once

#include <array>

namespace vema {

inline constexpr int kObjectives = 9;
inline constexpr int kDeviations = 10;

// Weights, 1-based: objective[1..9], deviation[1..10]; slot 0 holds nothing.
struct Priorities {
  std::array<int, kObjectives + 1> objective{0, 7, 8, 10, 10, 7, 5, 0, 0, 0};
  std::array<int, kDeviations + 1> deviation{};
};

struct OBJ_VALUE {
  int n_of_Late_Orders = 0;
  int n_of_Late_Jobs = 0;
  int sumTardiness = 0;
  int max_Tardiness = 0;
  int n_of_Setup = 0;
  int Completion_Time = 0;
  int sumAbsLateness = 0;
  int n_of_Early_Starting_Jobs = 0;
  int sumEarly_Startness = 0;
  int n_of_Scheduled_Jobs = 0;
  int n_orders = 0;
  int n_jobs = 0;
  int n_machines = 0;
  // The ten rescheduling deviation measures, 1-based (slot 0 unused): jobs
  // with different route, jobs with different machines, jobs with late
  // deviation, new late jobs, orders with different route, orders with
  // different machines, orders with late deviation, new late orders,
  // machines with setup-number deviation, machines with new setups.
  std::array<int, kDeviations + 1> deviation{};

  // Objective i (1..9) in the fixed comparison order.
  int objective(int i) const { return this->*kTable[i]; }
  int& objective(int i) { return this->*kTable[i]; }

  // Copies objectives 1..9 and stores the three counts.
  void set_from(const OBJ_VALUE& source, int orders, int jobs, int machines);
  // Copies objectives 1..9 and the ten deviation values.
  void take_values(const OBJ_VALUE& source);

 private:
  static constexpr std::array<int OBJ_VALUE::*, kObjectives + 1> kTable = {
      nullptr,
      &OBJ_VALUE::n_of_Late_Orders,
      &OBJ_VALUE::n_of_Late_Jobs,
      &OBJ_VALUE::sumTardiness,
      &OBJ_VALUE::max_Tardiness,
      &OBJ_VALUE::n_of_Setup,
      &OBJ_VALUE::Completion_Time,
      &OBJ_VALUE::sumAbsLateness,
      &OBJ_VALUE::n_of_Early_Starting_Jobs,
      &OBJ_VALUE::sumEarly_Startness};
};

// Weighted sum of relative differences: positive when b is worse than a.
double weighted_difference(const OBJ_VALUE& a, const OBJ_VALUE& b, const Priorities& p);
inline bool better_than(const OBJ_VALUE& a, const OBJ_VALUE& b, const Priorities& p) {
  return weighted_difference(a, b, p) > 0;
}
inline bool not_worse_than(const OBJ_VALUE& a, const OBJ_VALUE& b, const Priorities& p) {
  return weighted_difference(a, b, p) >= 0;
}
inline bool equal_to(const OBJ_VALUE& a, const OBJ_VALUE& b, const Priorities& p) {
  return weighted_difference(a, b, p) == 0;
}
inline bool worse_than(const OBJ_VALUE& a, const OBJ_VALUE& b, const Priorities& p) {
  return weighted_difference(a, b, p) < 0;
}

}  // namespace vema
