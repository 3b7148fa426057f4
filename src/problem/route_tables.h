// The fixed catalogue of technology steps, machine groups and routes.
// Everything here is constant program data; nothing is read from input.
#pragma once

#include <array>

namespace vema {

inline constexpr int kSteps = 4;         // technology steps 1..4
inline constexpr int kGroups = 10;       // machine-group codes 1..10
inline constexpr int kRoutes = 26;       // routes 1..26 of R_MG_ex
inline constexpr int kMaxRouteLen = 4;   // groups on one route
inline constexpr int kMaxExeRoutes = 8;  // routes of one execution type

// Counted list with a fixed capacity: element 0 is the count.
template <int Cap>
using CountedArray = std::array<int, Cap + 1>;

// MG_TS[g]: steps of machine group g in ascending order (g = 1..10; slot 0 empty).
extern const std::array<CountedArray<kSteps>, kGroups + 1> MG_TS;
// R_MG_ex[r]: machine groups of route r in step order (r = 1..26; slot 0 empty).
extern const std::array<CountedArray<kMaxRouteLen>, kRoutes + 1> R_MG_ex;
// Exe_R[t]: routes realising execution type t, in catalogue order (t = 1..10).
extern const std::array<CountedArray<kMaxExeRoutes>, kGroups + 1> Exe_R;

// First and last technology step of machine group g (from MG_TS); 0 for a
// number outside 1..10.
inline int first_group_step(int g) { return g >= 1 && g <= kGroups ? MG_TS[g][1] : 0; }
inline int last_group_step(int g) { return g >= 1 && g <= kGroups ? MG_TS[g][MG_TS[g][0]] : 0; }

// Machine-group code of the step range [first, last] (both 1..4, first <= last);
// 0 when the range is not valid.
int group_code(int first_step, int last_step);

// Length of route r (0 for route 0 or an unknown route).
inline int route_length(int route) {
  return route >= 1 && route <= kRoutes ? R_MG_ex[route][0] : 0;
}

}  // namespace vema
