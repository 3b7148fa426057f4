// A bounded history of whole-schedule snapshots for undo and redo. The list
// owns its entries; each entry owns its schedule copy.
#pragma once

#include "schedule/sch.h"

namespace vema {

struct SCH_UE {
  SCH schedule;
  SCH_UE* older = nullptr;
  SCH_UE* newer = nullptr;
};

class UNDOLIST {
 public:
  explicit UNDOLIST(int capacity);
  ~UNDOLIST();
  UNDOLIST(const UNDOLIST&) = delete;
  UNDOLIST& operator=(const UNDOLIST&) = delete;

  // Records a copy of the schedule as the new current state.
  void push(const SCH& schedule);
  // -1 nothing recorded, 0 nothing to do, 1 done, 2 done and at the end.
  int undo(SCH& schedule);
  int redo(SCH& schedule);

  int count() const { return count_; }
  int capacity() const { return capacity_; }
  const SCH_UE* newest() const { return newest_; }
  const SCH_UE* current() const { return current_; }
  const SCH_UE* oldest() const { return oldest_; }

 private:
  SCH_UE* newest_ = nullptr;
  SCH_UE* current_ = nullptr;
  SCH_UE* oldest_ = nullptr;
  int count_ = 0;
  int capacity_ = 0;
};

}  // namespace vema
