// What the whole process shares besides the loaded problem: the current
// schedule and its values, the priorities and the run controls. The
// application owns one; tests make as many as they like.
#pragma once

#include "schedule/sch.h"
#include "search/obj_value.h"

namespace vema {

class ProcessState {
 public:
  SCH current_schedule;
  OBJ_VALUE current_values;
  Priorities priorities;  // objective_priority and deviation_priority
  bool stop_requested = false;
};

}  // namespace vema
