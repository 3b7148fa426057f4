#include "schedule/undo_list.h"

namespace vema {

UNDOLIST::UNDOLIST(int capacity) : capacity_(capacity) {}

UNDOLIST::~UNDOLIST() {
  SCH_UE* e = newest_;
  while (e != nullptr) {
    SCH_UE* older = e->older;
    delete e;
    e = older;
  }
}

void UNDOLIST::push(const SCH& schedule) {
  auto* entry = new SCH_UE{};
  entry->schedule.assign_from(schedule);  // into an empty SCH: a full copy

  // A push after undo starts a new branch: the states newer than the current
  // one can no longer be redone.
  if (current_ != nullptr && current_ != newest_) {
    SCH_UE* e = newest_;
    while (e != current_) {
      SCH_UE* older = e->older;
      delete e;
      --count_;
      e = older;
    }
    current_->newer = nullptr;
    newest_ = current_;
  }

  entry->older = newest_;
  if (newest_ != nullptr) {
    newest_->newer = entry;
  } else {
    oldest_ = entry;
  }
  newest_ = entry;
  ++count_;
  current_ = entry;

  if (count_ > capacity_) {
    SCH_UE* dropped = oldest_;
    if (dropped == newest_) {
      newest_ = nullptr;
      oldest_ = nullptr;
      current_ = nullptr;
      count_ = 0;
    } else {
      oldest_ = dropped->newer;
      oldest_->older = nullptr;
      if (current_ == dropped) current_ = nullptr;
      --count_;
    }
    delete dropped;
  }
}

int UNDOLIST::undo(SCH& schedule) {
  if (count_ == 0 || newest_ == nullptr || current_ == nullptr) return -1;
  if (current_ == oldest_ || current_->older == nullptr) return 0;
  current_ = current_->older;
  schedule.assign_from(current_->schedule);
  return current_ == oldest_ ? 2 : 1;
}

int UNDOLIST::redo(SCH& schedule) {
  if (count_ == 0 || newest_ == nullptr || current_ == nullptr) return -1;
  if (current_ == newest_ || current_->newer == nullptr) return 0;
  current_ = current_->newer;
  schedule.assign_from(current_->schedule);
  return current_ == newest_ ? 2 : 1;
}

}  // namespace vema
