#include "reschedule/environment.h"

namespace vema {

namespace {

bool within(std::optional<int> value, int lo, int hi) {
  return value.has_value() && *value >= lo && *value <= hi;
}

}  // namespace

bool set_machine_speed(MACHINE& machine, std::optional<int> speed, UserInterface& ui) {
  if (!within(speed, kMinSpeed, kMaxSpeed)) {
    ui.message(" The value of the speed field is out of the range! It must be in [1 - 1000].");
    return false;
  }
  machine.Speed = *speed;
  return true;
}

bool add_calendar_interval(MACHINE& machine, std::optional<int> start, std::optional<int> end,
                           UserInterface& ui) {
  if (!within(start, 0, kMaxEnvironmentTime) || !within(end, 1, kMaxEnvironmentTime)) {
    ui.message(" Missing integer value(s)!");
    return false;
  }
  switch (calendar_add(machine, *start, *end)) {
    case 1:
      return true;
    case 0:
      ui.message("Availability time intervals can not be overlapped!");
      return false;
    default:
      ui.message("Length of an availability time interval can not be zero or smaller!");
      return false;
  }
}

bool delete_calendar_interval(MACHINE& machine, std::optional<int> k, UserInterface& ui) {
  if (!k.has_value() || *k < 1 || *k > machine.N_Cal) {
    ui.message("There is no selected item!");
    return false;
  }
  if (machine.N_Cal == 1) {
    ui.message("Machine has only one calendar element. It can not be deleted!");
    return false;
  }
  return calendar_delete(machine, *k) == 1;
}

bool set_order_start(ORDER& order, std::optional<int> time, UserInterface& ui) {
  if (!within(time, 0, kMaxEnvironmentTime)) {
    ui.message(
        " The value of the start time field is out of the range! It must be in [0 - 32000].");
    return false;
  }
  if (*time >= order.CET) {
    ui.message(" The Constraint Start Time has to be smaller then Constraint End Time.");
    return false;
  }
  order.CST = *time;
  return true;
}

bool set_order_end(ORDER& order, std::optional<int> time, UserInterface& ui) {
  if (!within(time, 0, kMaxEnvironmentTime)) {
    ui.message(" The value of the end time field is out of the range! It must be in [0 - 32000].");
    return false;
  }
  if (*time <= order.CST) {
    ui.message(" The Constraint End Time has to be larger than Constraint Start Time.");
    return false;
  }
  order.CET = *time;
  return true;
}

}  // namespace vema
