// The environment modifications a planner makes before rescheduling: a
// machine's new speed, availability intervals added or deleted, an order's
// new constrained start or end time. Each checks its input as the input data
// window's modification actions do, tells the planner what is wrong, and
// changes nothing when it refuses. A value given as none stands for an empty
// edit field; the edit fields' own filters empty any value outside their
// range, so such a value counts as none as well.
#pragma once

#include <optional>

#include "common/user_interface.h"
#include "problem/records.h"

namespace vema {

// Ranges of the modification edits.
inline constexpr int kMinSpeed = 1;
inline constexpr int kMaxSpeed = 1000;
inline constexpr int kMaxEnvironmentTime = 32000;

// "New speed": 1..1000.
bool set_machine_speed(MACHINE& machine, std::optional<int> speed, UserInterface& ui);
// "Add": a new availability interval [start, end], start 0..32000, end 1..32000.
bool add_calendar_interval(MACHINE& machine, std::optional<int> start, std::optional<int> end,
                           UserInterface& ui);
// "Delete": interval k (1-based, the position in the calendar list); none
// when no interval is selected.
bool delete_calendar_interval(MACHINE& machine, std::optional<int> k, UserInterface& ui);
// "New Time", start: 0..32000 and smaller than the order's CET.
bool set_order_start(ORDER& order, std::optional<int> time, UserInterface& ui);
// "New Time", end: 0..32000 and larger than the order's CST.
bool set_order_end(ORDER& order, std::optional<int> time, UserInterface& ui);

}  // namespace vema
