// The six constructive starting-schedule methods and the keep/discard logic
// of the "Initializing" window.
#pragma once

#include <memory>

#include "common/random.h"
#include "common/user_interface.h"
#include "problem/problem.h"
#include "search/process_state.h"
#include "search/search_solution.h"

namespace vema {

inline constexpr int kStartingMethods = 6;
// Method names as the window lists them, 1-based.
extern const char* const kStartingMethodNames[kStartingMethods + 1];

// The method the window selects when it is created.
inline constexpr int kDefaultStartingMethod = 5;

// Fills an empty solution (every route 0, every count 0) with method 1..6.
// Methods 3 and 4 reseed rng from the clock; 5 and 6 draw without reseeding.
void build_starting_schedule(int method, SearchSolution& s, const Problem& problem, Random& rng);

// Regroups every machine sequence by order: going from the front, each job
// not yet placed is followed at once by the later jobs of its order, in
// their existing relative order (the second half of method 4).
void group_sequences_by_order(SearchSolution& s, const Problem& problem);

// "Generate schedule": builds with the method, publishes it as the current
// schedule (current_values included).
void generate_starting_schedule(int method, Problem& problem, ProcessState& state, Random& rng);

// The window's keep/discard bookkeeping around generated schedules.
class InitializingSession {
 public:
  // On show: remembers a copy of the current schedule (none when there is none).
  InitializingSession(Problem& problem, ProcessState& state, UserInterface& ui);
  // "Generate schedule": generate_starting_schedule, then "Save changes" is enabled.
  void generate(int method, Random& rng);
  // "Save changes".
  void save_changes();
  // Closing the window by any means.
  void close();
  // Whether "Save changes" is enabled.
  bool save_enabled() const { return save_enabled_; }
  // "Generate schedule" enables "Save changes".
  void generated() { save_enabled_ = true; }
  // The copy taken on show or at the last save; null when there is none.
  const SCH* saved_schedule() const { return saved_schedule_.get(); }

 private:
  // Times a schedule and publishes its values into current_values.
  void publish_values(SCH& schedule);

  Problem& problem_;
  ProcessState& state_;
  UserInterface& ui_;
  std::unique_ptr<SCH> saved_schedule_;
  bool save_enabled_ = false;
};

}  // namespace vema
