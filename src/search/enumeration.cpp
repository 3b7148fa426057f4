#include "search/enumeration.h"

#include <algorithm>
#include <array>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "problem/route_tables.h"
#include "search/operators.h"
#include "search/run_log.h"
#include "search/tabu_search.h"

namespace vema {

const char* const kEnumerationTooLargeMessage =
    "Too large problem for enumerating all cases!\n It may causes floating point overflow "
    "exception!\n Enumeration stopped!";

bool too_large_for_enumeration(const Problem& problem) {
  return problem.N_Machine > kEnumerationMaxMachines || problem.N_Job > kEnumerationMaxJobs;
}

bool enumeration_size_accepted(const Problem& problem, UserInterface& ui) {
  if (!too_large_for_enumeration(problem)) return true;
  ui.message(kEnumerationTooLargeMessage);
  return false;
}

namespace {

const ORDER& order_of(const Problem& problem, int job) {
  return problem.Orders[problem.Jobs[job].O_ID];
}

// Number of machine choices of one route of the order.
int64_t route_choices(const ORDER& order, int route) {
  int64_t n = 1;
  for (int l = 1, k = route_length(route); l <= k; ++l) {
    n *= order.allowed_machines[R_MG_ex[route][l]][0];
  }
  return n;
}

}  // namespace

int64_t combination_count(const Problem& problem, int job) {
  const ORDER& order = order_of(problem, job);
  int64_t n = 0;
  for (int i = 1; i <= order.R_feasible[0]; ++i) n += route_choices(order, order.R_feasible[i]);
  return std::max<int64_t>(n, 1);
}

void set_combination(SearchSolution& s, const Problem& problem, int job, int64_t k) {
  remove_job(s, job);
  const ORDER& order = order_of(problem, job);
  for (int i = 1; i <= order.R_feasible[0]; ++i) {
    const int route = order.R_feasible[i];
    const int64_t choices = route_choices(order, route);
    if (k > choices) {
      k -= choices;
      continue;
    }
    // k - 1 in mixed radix, the last step the lowest digit.
    const int n = route_length(route);
    std::array<int, kMaxRouteLen + 1> machines{};
    int64_t rest = k - 1;
    for (int l = n; l >= 1; --l) {
      const CountedList& allowed = order.allowed_machines[R_MG_ex[route][l]];
      machines[l] = allowed[static_cast<size_t>(rest % allowed[0]) + 1];
      rest /= allowed[0];
    }
    s.assignment(job)[0] = route;
    for (int l = 1; l <= n; ++l) s.append_job(job, l, machines[l]);
    return;
  }
}

bool next_permutation_of(int* p, int n) {
  int i = n - 1;
  while (i >= 1 && p[i] >= p[i + 1]) --i;
  if (i < 1) return false;
  // The smallest value of p[i+1..n] above p[i]; the tail is descending.
  int g = n;
  while (p[g] <= p[i]) --g;
  std::swap(p[i], p[g]);
  std::reverse(p + i + 1, p + n + 1);
  return true;
}

uint64_t factorial(int n) {
  uint64_t f = 1;
  for (int i = 2; i <= n; ++i) {
    const auto k = static_cast<uint64_t>(i);
    if (f > std::numeric_limits<uint64_t>::max() / k) return std::numeric_limits<uint64_t>::max();
    f *= k;
  }
  return f;
}

namespace {

std::string general_format(double value) {
  std::ostringstream text;
  text << value;
  return text.str();
}

int clamp_to_int(uint64_t value) {
  return static_cast<int>(std::min<uint64_t>(value, std::numeric_limits<int>::max()));
}

}  // namespace

int run_enumeration(Problem& problem, ProcessState& state, UserInterface& ui, Random& rng,
                    EnumerationSummary* summary) {
  RunStatus& st = state.status;
  st = RunStatus{};
  st.kind = RunKind::kEnumeration;
  st.title = "VEMA Solver";
  st.show_objectives = false;
  st.show_controls = false;
  ui.run_progress(RunEvent::kStarted, st);

  RunLog log;
  if (!open_run_log(log, state, ui)) {
    ui.run_progress(RunEvent::kLogNotOpened, st);
    return -1;
  }
  std::ostream& out = log.out();
  out << " Enumeration for small size problems\n"
      << "Input file :" << problem.input_file_name << '\n'
      << "Machine: " << problem.N_Machine << " Orders: " << problem.N_Order
      << " Jobs:" << problem.N_Job << '\n';
  const Clock& clock = rng.clock();
  const int64_t start_time = clock.now_seconds();
  st.start_time = clock.time_of_day();

  rng.seed_from_clock();
  SearchSolution working = starting_solution(problem, state, ui, rng, nullptr);
  OBJ_VALUE neighbour_values, best_values;
  evaluate_into(working, problem, best_values);
  SearchSolution best(working);
  state.stop_requested = false;

  const int J = problem.N_Job;
  const int M = problem.N_Machine;
  std::vector<int64_t> combinations(static_cast<size_t>(J) + 1, 1);
  std::vector<int64_t> assignment_index(static_cast<size_t>(J) + 1, 1);
  double total_assignments = 1;
  for (int j = 1; j <= J; ++j) {
    combinations[j] = combination_count(problem, j);
    total_assignments *= static_cast<double>(combinations[j]);
  }
  st.steps = static_cast<int>(std::min<double>(total_assignments, std::numeric_limits<int>::max()));
  st.steps_text = general_format(total_assignments);
  out << "Assignment permutation for jobs:\n";
  for (int j = 1; j <= J; ++j) out << ' ' << j << ". job-->" << combinations[j] << '\n';
  out << "\n\n";

  std::vector<uint64_t> permutation_count(static_cast<size_t>(M) + 1, 1);
  std::vector<uint64_t> permutation_index(static_cast<size_t>(M) + 1, 1);
  // permutation[m][1..n(m)]
  std::vector<std::vector<int>> permutation(static_cast<size_t>(M) + 1,
                                            std::vector<int>(static_cast<size_t>(J) + 1, 0));
  const auto identity = [&](int m, int n) {
    for (int i = 1; i <= n; ++i) permutation[m][i] = i;
  };

  SearchSolution base(working);
  uint64_t assignments = 0;
  uint64_t evaluated = 0;
  uint64_t best_solution = 0;
  uint64_t optimal_count = 0;
  bool stopped = false;

  for (;;) {
    ++assignments;
    st.step = clamp_to_int(assignments);
    ui.run_progress(RunEvent::kStep, st);
    for (int j = 1; j <= J; ++j) set_combination(working, problem, j, assignment_index[j]);
    base.assign_from(working);
    for (int m = 1; m <= M; ++m) {
      const int n = base.sequence(m)[0];
      permutation_count[m] = factorial(n);
      permutation_index[m] = 1;
      identity(m, n);
    }
    // Machines from `reorder_from` on differ from `working` since the last
    // evaluation (the last machine varies fastest).
    int reorder_from = M + 1;

    for (;;) {
      if (state.stop_requested) {
        if (ui.ask("Do You really want to stop the process?")) {
          ui.message("Process stopped!");
          stopped = true;
          break;
        }
        ui.run_progress(RunEvent::kResumed, st);
        state.stop_requested = false;
      }
      ui.process_events();

      for (int m = reorder_from; m <= M; ++m) {
        const int* from_seq = base.sequence(m);
        const int* from_steps = base.step_at(m);
        int* seq = working.sequence(m);
        int* steps = working.step_at(m);
        const int* p = permutation[m].data();
        for (int i = 1, n = from_seq[0]; i <= n; ++i) {
          seq[i] = from_seq[p[i]];
          steps[i] = from_steps[p[i]];
          working.position_of(seq[i])[steps[i]] = i;
        }
      }

      evaluate_into(working, problem, neighbour_values);
      ++evaluated;
      if (better_than(neighbour_values, best_values, state.priorities)) {
        optimal_count = 1;
        best_solution = evaluated;
        best_values.take_values(neighbour_values);
        best.assign_from(working);
      } else if (equal_to(neighbour_values, best_values, state.priorities)) {
        ++optimal_count;
      }

      int m = M;
      for (; m >= 1; --m) {
        if (permutation_index[m] < permutation_count[m]) {
          next_permutation_of(permutation[m].data(), base.sequence(m)[0]);
          ++permutation_index[m];
          break;
        }
        identity(m, base.sequence(m)[0]);
        permutation_index[m] = 1;
      }
      if (m < 1) break;
      reorder_from = m;
    }
    if (stopped) break;

    int j = J;
    for (; j >= 1; --j) {
      if (assignment_index[j] < combinations[j]) {
        ++assignment_index[j];
        break;
      }
      assignment_index[j] = 1;
    }
    if (j < 1) break;
  }

  const int64_t end_time = clock.now_seconds();
  evaluate_into(best, problem, neighbour_values);
  out << '\n';
  for (int k = 0; k < 6; ++k) {
    out << "Priority of objective funciton  " << k << " : " << state.priorities.objective[k + 1]
        << '\n';
  }
  out << "\n\n";
  out << elapsed_time_text(static_cast<double>(end_time - start_time)) << "\n\n";
  out << "Number of evaluated schedule: " << evaluated << '\n'
      << "best solution: " << best_solution << '\n'
      << "number of optimal solution: " << optimal_count << '\n'
      << '\n'
      << "ObjFunc:\tLOrder\tLJob\tsumT\tmaxT\tSet\tmaxC\n";
  write_six(out, neighbour_values);
  out << "\n\n\n";
  log.finish();

  publish_solution(best, problem, state);
  take_log(st, log);
  ui.run_progress(RunEvent::kFinished, st);
  problem.first_run = false;

  if (summary != nullptr) {
    summary->total_assignments = total_assignments;
    summary->assignments = assignments;
    summary->evaluated = evaluated;
    summary->best_solution = best_solution;
    summary->optimal_count = optimal_count;
    summary->stopped = stopped;
  }
  return 1;
}

}  // namespace vema
