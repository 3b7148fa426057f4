#include "search/starting_schedules.h"

#include <algorithm>
#include <array>
#include <utility>
#include <vector>

#include "problem/route_tables.h"
#include "schedule/timing.h"
#include "search/tabu_search.h"

namespace vema {

const char* const kStartingMethodNames[kStartingMethods + 1] = {
    "",
    "Order oriented assign.t and EDD seq.",
    "Order oriented assign. and rendom seq.",
    "Job oriented assign. and random seq.",
    "Job oriented assign. and bach seq.",
    "Order exe type oriented assign.",
    "Order exe type oriented assign. with jobs"};

namespace {

void clear(SearchSolution& s) {
  for (int m = 1; m <= s.n_machines(); ++m) s.sequence(m)[0] = 0;
  for (int j = 1; j <= s.n_jobs(); ++j) s.assignment(j)[0] = 0;
}

int first_route(const ORDER& order) { return order.R_feasible[0] > 0 ? order.R_feasible[1] : 0; }

int last_route(const ORDER& order) {
  return order.R_feasible[0] > 0 ? order.R_feasible[order.R_feasible[0]] : 0;
}

const CountedList& allowed_for_step(const ORDER& order, int route, int l) {
  return order.allowed_machines[R_MG_ex[route][l]];
}

// Every job of the order: its first route, the first allowed machine of each step.
void assign_order_first_choices(SearchSolution& s, const Problem& problem, int o) {
  const ORDER& order = problem.Orders[o];
  const int route = first_route(order);
  const int k = route_length(route);
  for (int j = order.FirstJob; j < order.FirstJob + order.NJob; ++j) {
    s.assignment(j)[0] = route;
    for (int l = 1; l <= k; ++l) s.append_job(j, l, allowed_for_step(order, route, l)[1]);
  }
}

// Methods 1 and 2.
void order_oriented(SearchSolution& s, const Problem& problem, bool sort_by_due_time) {
  std::vector<int> orders(static_cast<size_t>(problem.N_Order) + 1);
  for (int o = 1; o <= problem.N_Order; ++o) orders[o] = o;
  if (sort_by_due_time) {
    // Selection sort: the first entry with the strictly smallest CET of the
    // rest moves forward by a swap, so equal CETs may change their order.
    for (int i = 1; i < problem.N_Order; ++i) {
      int smallest = i;
      for (int k = i + 1; k <= problem.N_Order; ++k) {
        if (problem.Orders[orders[k]].CET < problem.Orders[orders[smallest]].CET) smallest = k;
      }
      std::swap(orders[i], orders[smallest]);
    }
  }
  for (int i = 1; i <= problem.N_Order; ++i) assign_order_first_choices(s, problem, orders[i]);
}

// Methods 5 and 6: orders by execution type, each on its last route.
void execution_type_oriented(SearchSolution& s, const Problem& problem, Random& rng,
                             bool draw_per_job) {
  for (int t = 1; t <= kGroups; ++t) {
    const CountedList& of_type = problem.orders_of_type[t];
    if (of_type.empty()) continue;
    for (int i = 1; i <= of_type[0]; ++i) {
      const ORDER& order = problem.Orders[of_type[i]];
      const int route = last_route(order);
      const int k = route_length(route);
      std::array<int, kMaxRouteLen + 1> machines{};
      for (int n = 0; n < order.NJob; ++n) {
        const int j = order.FirstJob + n;
        s.assignment(j)[0] = route;
        for (int l = 1; l <= k; ++l) {
          if (n == 0 || draw_per_job) machines[l] = random_machine(order, R_MG_ex[route][l], rng);
          s.append_job(j, l, machines[l]);
        }
      }
    }
  }
}

}  // namespace

void group_sequences_by_order(SearchSolution& s, const Problem& problem) {
  const int J = s.n_jobs();
  std::vector<int> jobs(static_cast<size_t>(J) + 1);
  std::vector<int> steps(static_cast<size_t>(J) + 1);
  std::vector<char> placed(static_cast<size_t>(J) + 1);
  for (int m = 1; m <= s.n_machines(); ++m) {
    int* seq = s.sequence(m);
    int* step = s.step_at(m);
    const int n = seq[0];
    std::fill(placed.begin(), placed.begin() + n + 1, 0);
    int next = 0;
    for (int p = 1; p <= n; ++p) {
      if (placed[p]) continue;
      const int order = problem.Jobs[seq[p]].O_ID;
      for (int q = p; q <= n; ++q) {
        if (placed[q] || problem.Jobs[seq[q]].O_ID != order) continue;
        placed[q] = 1;
        ++next;
        jobs[next] = seq[q];
        steps[next] = step[q];
      }
    }
    for (int p = 1; p <= n; ++p) {
      seq[p] = jobs[p];
      step[p] = steps[p];
      s.position_of(jobs[p])[steps[p]] = p;
    }
  }
}

void build_starting_schedule(int method, SearchSolution& s, const Problem& problem, Random& rng) {
  clear(s);
  switch (method) {
    case 1:
      order_oriented(s, problem, true);
      break;
    case 2:
      order_oriented(s, problem, false);
      break;
    case 3:
      s.random_assignment(problem, rng);
      break;
    case 4:
      s.random_assignment(problem, rng);
      group_sequences_by_order(s, problem);
      break;
    case 5:
      execution_type_oriented(s, problem, rng, false);
      break;
    case 6:
      execution_type_oriented(s, problem, rng, true);
      break;
    default:
      break;  // no such method: the solution stays empty
  }
}

void generate_starting_schedule(int method, Problem& problem, ProcessState& state, Random& rng) {
  SearchSolution s(problem.N_Order, problem.N_Job, problem.N_Machine);
  build_starting_schedule(method, s, problem, rng);
  publish_solution(s, problem, state);
}

// ---------------------------------------------------------------------------
// The "Initializing" window's bookkeeping

InitializingSession::InitializingSession(Problem& problem, ProcessState& state, UserInterface& ui)
    : problem_(problem), state_(state), ui_(ui) {
  if (state_.current_schedule.has_arrays()) {
    saved_schedule_ = std::make_unique<SCH>(state_.current_schedule);
  }
}

void InitializingSession::generate(int method, Random& rng) {
  generate_starting_schedule(method, problem_, state_, rng);
  generated();
}

void InitializingSession::publish_values(SCH& schedule) {
  evaluate(schedule, problem_);
  OBJ_VALUE values;
  compute_objectives(schedule, values, problem_);
  state_.current_values.set_from(values, problem_.N_Order, problem_.N_Job, problem_.N_Machine);
}

void InitializingSession::save_changes() {
  if (!state_.current_schedule.has_arrays()) {
    ui_.message("No schedule created!");
    return;
  }
  if (saved_schedule_ && same_sequences(*saved_schedule_, state_.current_schedule) == 1) {
    ui_.message("There is no changes in the schedule!");
    return;
  }
  saved_schedule_ = std::make_unique<SCH>(state_.current_schedule);
  publish_values(*saved_schedule_);
  ui_.message("The schedule has been saved succesfully!");
  save_enabled_ = false;
  problem_.first_run = false;
}

void InitializingSession::close() {
  const bool has_current = state_.current_schedule.has_arrays();
  if (!saved_schedule_ && !has_current) {
    ui_.message(" No schedule created!");
  } else if (!saved_schedule_ || same_sequences(*saved_schedule_, state_.current_schedule) != 1) {
    if (ui_.ask("The schedule has been changed. Would You like to save changes?")) {
      problem_.first_run = false;
      ui_.message("The schedule has been saved succesfully!");
    } else {
      if (saved_schedule_) {
        state_.current_schedule.copy_from(*saved_schedule_);
        publish_values(state_.current_schedule);
      } else {
        state_.current_schedule = SCH{};
      }
      ui_.message("Discard changes and exit!");
    }
  }
  saved_schedule_.reset();
  save_enabled_ = false;
}

}  // namespace vema
