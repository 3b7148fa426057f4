// The rescheduler's state and actions without a window: loading shop data
// with a released schedule, the released and modified snapshots, modifying
// the environment, preparing the frozen initial state for either freeze
// order and showing it.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "common/user_interface.h"
#include "problem/problem.h"
#include "reschedule/shop.h"
#include "search/process_state.h"
#include "search/search_solution.h"

namespace vema {

// Which comes first: freezing the released plan or modifying the environment.
enum class FreezeOrder {
  kFreezeThenModify,  // "Fist freeze then modify env."
  kModifyThenFreeze,  // "Firts modify env. then freeze" (the default)
};

// The freeze-order list entries, in list order.
inline constexpr const char* kFreezeOrderLabels[2] = {"Fist freeze then modify env.",
                                                      "Firts modify env. then freeze"};
inline constexpr FreezeOrder kDefaultFreezeOrder = FreezeOrder::kModifyThenFreeze;

inline constexpr const char* kReleasedScheduleFilter =
    "Released schedule files (*.rsf)|*.rsf;*.RSF";

// The "Freeze time:" field's range.
inline constexpr int kMaxFreezeTime = 9999;

class Rescheduler {
 public:
  // True once a load has succeeded: both snapshots exist.
  bool loaded() const { return released_ != nullptr && modified_ != nullptr; }

  // The snapshots; null when absent. After a failed load the released one
  // may exist holding only its schedule.
  SHOP* released_shop() { return released_.get(); }
  const SHOP* released_shop() const { return released_.get(); }
  SHOP* modified_shop() { return modified_.get(); }
  const SHOP* modified_shop() const { return modified_.get(); }
  // The snapshot the deviation measures compare with: the released one when
  // freezing comes first, the modified one otherwise. Needs loaded().
  SHOP& reference_shop(FreezeOrder order) {
    return order == FreezeOrder::kFreezeThenModify ? *released_ : *modified_;
  }

  // "Load shop data and released schedule": the open dialog (in the
  // program's folder, for released schedule files), then load_file.
  int load(Problem& problem, ProcessState& state, UserInterface& ui,
           const std::string& program_folder);
  // Loads the shop data of a released schedule file as the problem and its
  // schedule into both snapshots and the current schedule. 1 on success.
  // Otherwise 0 or -1: the input was refused, cancelled or unreadable (the
  // reader reports it) or the schedule part could not be read (*error says
  // why; the problem stays loaded and loaded() is false).
  int load_file(Problem& problem, ProcessState& state, UserInterface& ui, const std::string& path,
                std::string* error = nullptr);

  // "Shop env.": `edit` changes the problem's records in place (the input
  // data window in its modification mode), then environment_modified.
  void modify_environment(Problem& problem, ProcessState& state,
                          const std::function<void(Problem&)>& edit);
  // After an edit: the current schedule is timed again with the modified
  // records and its values published, and the modified snapshot is taken
  // anew from the problem and the current schedule.
  void environment_modified(Problem& problem, ProcessState& state);

  // Prepares the initial state: restores the modified snapshot into the
  // problem and the current schedule, builds the reference solution from the
  // released schedule, timed with the released records (freezing first) or
  // the modified ones (modifying first), and freezes the problem's records
  // at freeze_time against it. Returns the timed reference solution. Needs
  // loaded(), as do the actions below.
  SearchSolution prepare_initial_state(Problem& problem, ProcessState& state, FreezeOrder order,
                                       int freeze_time);

  // "Show initial state": prepares it, makes the current schedule the
  // released schedule timed with the freeze and publishes its values.
  // Returns the snapshot to draw beside it (the released one).
  const SHOP& show_initial_state(Problem& problem, ProcessState& state, FreezeOrder order,
                                 int freeze_time);

  // The snapshot the results window draws beside the current schedule, or
  // null: set by show_initial_state and by a rescheduling run.
  const SHOP* snapshot_to_draw() const { return drawn_; }
  void set_snapshot_to_draw(const SHOP* shop) { drawn_ = shop; }

  // Closing the rescheduler: both snapshots go and the problem is released.
  void close(Problem& problem);

 private:
  int finish_load(Problem& problem, ProcessState& state, UserInterface& ui, const std::string& path,
                  std::string* error);

  std::unique_ptr<SHOP> released_;
  std::unique_ptr<SHOP> modified_;
  const SHOP* drawn_ = nullptr;
};

}  // namespace vema
