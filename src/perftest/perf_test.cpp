#include "perftest/perf_test.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <optional>
#include <ostream>
#include <thread>
#include <utility>

#include "search/operators.h"
#include "search/run_log.h"
#include "search/search_solution.h"
#include "search/starting_schedules.h"
#include "search/tabu_search.h"

namespace vema {

namespace {

// "\t-", "\t+" or "\t0" for a negative, positive or zero difference.
const char* sign_text(double d) {
  if (d < 0) return "\t-";
  if (d > 0) return "\t+";
  return "\t0";
}

}  // namespace

const char* relative_quality_sign(const OBJ_VALUE& x, const OBJ_VALUE& y, const Priorities& p) {
  return sign_text(weighted_difference(y, x, p));
}

uint64_t perf_test_iteration_seed(uint64_t run_seed, int iteration) {
  // SplitMix64 of the run seed stepped by the iteration: neighbouring
  // iterations and neighbouring run seeds get unrelated streams.
  uint64_t z = run_seed + 0x9E3779B97F4A7C15ULL * static_cast<uint64_t>(iteration);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
  return z ^ (z >> 31);
}

namespace {

constexpr const char* kStopQuestion = "Do You really want to stop the test?";

// The six logged objectives of a record, in log order.
std::array<int, 6> six_values(const OBJ_VALUE& v) {
  return {v.n_of_Late_Orders, v.n_of_Late_Jobs, v.sumTardiness,
          v.max_Tardiness,    v.n_of_Setup,     v.Completion_Time};
}

// The sums of the six objectives of one stage over the iterations. Kept in
// 64 bits: many iterations of large tardiness sums would overflow an int.
struct StageSums {
  std::array<int64_t, 6> sum{};
  void add(const OBJ_VALUE& v) {
    const std::array<int, 6> x = six_values(v);
    for (size_t k = 0; k < 6; ++k) sum[k] += x[k];
  }
  void write_averages(std::ostream& out, int n) const {
    for (int64_t s : sum) out << '\t' << static_cast<double>(s) / n;
  }
};

// The test's data and its log, written line by line in iteration order.
class TestRecord {
 public:
  TestRecord(std::ostream& out, const Priorities& priorities)
      : out_(out), priorities_(priorities) {}

  void write_head(const Problem& problem, const ProcessState& state, const RunParameters& p) {
    out_ << " Performance test.   Input file :" << problem.input_file_name << '\n';
    write_problem_sizes(out_, problem);
    write_search_parameters(out_, p);
    write_operator_priorities(out_, state.operator_priority);
    out_ << "ObjF:\tLOrder\tLJob\tsumT\tmaxT\tSet\tmaxC\tF(r,x)\tF(h,x)\tRunT\tBStep\n";
    write_priorities();
  }

  void iteration_head(int i) {
    out_ << "   " << i << ':';
    for (int k = 0; k < 6; ++k) out_ << "\t------";
    out_ << '\n';
  }

  // The rand and heur lines of an iteration.
  void add_first_stages(const PerfTestIteration& it) {
    out_ << "rand";
    write_six(out_, it.rand);
    out_ << '\n';
    rand_sums_.add(it.rand);
    out_ << "heur";
    write_six(out_, it.heur);
    out_ << relative_quality_sign(it.heur, it.rand, priorities_) << '\n';
    heur_rand_ += weighted_difference(it.rand, it.heur, priorities_);
    heur_sums_.add(it.heur);
  }

  // The search line, completing the iteration.
  void add_search(const PerfTestIteration& it) {
    out_ << "search";
    write_six(out_, it.search);
    out_ << relative_quality_sign(it.search, it.rand, priorities_)
         << relative_quality_sign(it.search, it.heur, priorities_) << '\t'
         << batch_time_text(it.run_time) << "\t[" << it.best_step << "]\n";
    run_time_ += it.run_time;
    search_rand_ += weighted_difference(it.rand, it.search, priorities_);
    search_heur_ += weighted_difference(it.heur, it.search, priorities_);
    search_sums_.add(it.search);
    completed_.push_back(it);
  }

  // The three lines of an iteration.
  void add(const PerfTestIteration& it) {
    add_first_stages(it);
    add_search(it);
  }

  // The iteration whose search result is best; ties keep the earlier one.
  int best_iteration() const {
    int b = 1;
    for (int i = 2; i <= completed(); ++i) {
      if (worse_than(search(b), search(i), priorities_)) b = i;
    }
    return completed() > 0 ? b : 0;
  }

  void write_summary() {
    const int n = completed();
    const auto average = [n](double sum) { return n > 0 ? sum / n : 0.0; };
    out_ << " Avp(" << n << "it):";
    for (int k = 0; k < 6; ++k) out_ << "\t======";
    out_ << '\n';
    out_ << "rand:";
    rand_sums_.write_averages(out_, n);
    out_ << '\n';
    out_ << "heur:";
    heur_sums_.write_averages(out_, n);
    out_ << sign_text(average(heur_rand_)) << '\n';
    out_ << "search:";
    search_sums_.write_averages(out_, n);
    const double run_time = average(run_time_);
    out_ << sign_text(average(search_rand_)) << sign_text(average(search_heur_)) << '\t'
         << batch_time_text(run_time) << '\n';
    out_ << (run_time < 60 ? "\n" : "\n\n");
    out_ << "ObjF:\tLOrder\tLJob\tsumT\tmaxT\tSet\tmaxC\n";
    write_priorities();
    for (int k = 0; k < 6; ++k) out_ << "\t------";
    out_ << '\n';
    for (int i = 1; i <= n; ++i) {
      out_ << "s_" << i << ':';
      write_six(out_, search(i));
      out_ << '\n';
    }
    out_ << "best solution:\ts_" << best_iteration() << "\n\n";
    out_ << "Rel. quality of s_row: - better, + worse, 0 equal.\n";
    for (int u = 1; u <= n; ++u) out_ << "\ts_" << u;
    for (int h = 1; h <= n; ++h) {
      out_ << "\ns_" << h;
      for (int u = 1; u <= n; ++u) out_ << relative_quality_sign(search(h), search(u), priorities_);
    }
    out_ << '\n';
  }

  int completed() const { return static_cast<int>(completed_.size()); }
  std::vector<PerfTestIteration>& iterations() { return completed_; }

 private:
  void write_priorities() { write_objective_priorities(out_, priorities_); }
  const OBJ_VALUE& search(int i) const { return completed_[static_cast<size_t>(i) - 1].search; }

  std::ostream& out_;
  const Priorities& priorities_;  // the live priorities, read at every comparison
  std::vector<PerfTestIteration> completed_;
  StageSums rand_sums_, heur_sums_, search_sums_;
  double heur_rand_ = 0, search_rand_ = 0, search_heur_ = 0;
  double run_time_ = 0;
};

// Asks whether to stop; true on Yes (after "Test stopped!"), else the
// request is cleared and the progress display resumes.
bool confirm_stop(ProcessState& state, UserInterface& ui) {
  if (ui.ask(kStopQuestion)) {
    ui.message("Test stopped!");
    return true;
  }
  ui.run_progress(RunEvent::kResumed, state.status);
  state.stop_requested = false;
  return false;
}

// The rand and heur stages of an iteration into it, leaving the heuristic's
// solution in s.
void first_stages(PerfTestIteration& it, SearchSolution& s, Problem& problem, Random& rng) {
  s.random_assignment(problem, rng);
  evaluate_into(s, problem, it.rand);
  // The heuristic starts from nothing: build_starting_schedule empties the
  // solution first. It draws on from where the random assignment left the
  // generator.
  build_starting_schedule(kPerfTestHeuristic, s, problem, rng);
  evaluate_into(s, problem, it.heur);
}

// The search stage of an iteration, from the heuristic's solution s.
void search_stage(PerfTestIteration& it, SearchSolution& s, const RunParameters& p,
                  Problem& problem, ProcessState& state, UserInterface& ui, Random& rng) {
  const OneSearchResult r =
      run_one_search(p.steps, p.loops_per_step, p.min_loop, p.max_steps_without_improvement, s,
                     problem, state, ui, rng);
  it.search = r.values;
  it.run_time = r.elapsed;
  it.best_step = r.best_step;
}

// One generator reseeded from the clock, everything on the calling thread.
// The rand and heur lines are written before the search runs, so they
// compare under the priorities in force at that moment.
bool run_sequential(int iterations, const RunParameters& p, TestRecord& rec, Problem& problem,
                    ProcessState& state, UserInterface& ui, Random& rng) {
  RunStatus& st = state.status;
  for (int i = 1; i <= iterations; ++i) {
    rec.iteration_head(i);
    if (state.stop_requested && confirm_stop(state, ui)) return true;
    st.step = i;
    ui.run_progress(RunEvent::kStep, st);
    ui.process_events();
    PerfTestIteration it;
    SearchSolution s(problem.N_Order, problem.N_Job, problem.N_Machine);
    first_stages(it, s, problem, rng);
    rec.add_first_stages(it);
    search_stage(it, s, p, problem, state, ui, rng);
    rec.add_search(it);
  }
  return false;
}

// What a worker thread shows: nothing. Its searches stop when the test is
// cancelled.
class WorkerUi : public UserInterface {
 public:
  WorkerUi(const std::atomic<bool>& cancel, ProcessState& state) : cancel_(cancel), state_(state) {}
  void message(const std::string& /*text*/) override {}
  bool ask(const std::string& /*text*/) override { return false; }
  std::optional<std::string> open_file(const FileDialogRequest& /*request*/) override {
    return std::nullopt;
  }
  std::optional<std::string> save_file(const FileDialogRequest& /*request*/) override {
    return std::nullopt;
  }
  void process_events() override {
    if (cancel_.load(std::memory_order_relaxed)) state_.stop_requested = true;
  }
  void review_input_check(InputCheckSession& /*session*/) override {}

 private:
  const std::atomic<bool>& cancel_;
  ProcessState& state_;
};

// The results of the iterations, filled by the workers.
struct ParallelResults {
  explicit ParallelResults(int iterations)
      : results(static_cast<size_t>(iterations) + 1),
        done(static_cast<size_t>(iterations) + 1, 0) {}

  std::mutex mutex;
  std::condition_variable changed;
  std::vector<PerfTestIteration> results;  // 1-based
  std::vector<char> done;                  // 1-based
  std::exception_ptr failure;
  std::atomic<int> next{1};
  std::atomic<bool> cancel{false};
};

void work(ParallelResults& shared, int iterations, uint64_t run_seed, const RunParameters& p,
          Problem& problem, ProcessState& state, const Clock& clock) {
  try {
    WorkerUi ui(shared.cancel, state);
    while (!shared.cancel.load()) {
      const int i = shared.next.fetch_add(1);
      if (i > iterations) break;
      Random rng(clock);
      rng.set_fixed_seed(perf_test_iteration_seed(run_seed, i));
      rng.seed_from_clock();
      PerfTestIteration it;
      SearchSolution s(problem.N_Order, problem.N_Job, problem.N_Machine);
      first_stages(it, s, problem, rng);
      search_stage(it, s, p, problem, state, ui, rng);
      // A search cut short by a confirmed stop is no result.
      if (shared.cancel.load()) break;
      {
        std::lock_guard lock(shared.mutex);
        shared.results[static_cast<size_t>(i)] = it;
        shared.done[static_cast<size_t>(i)] = 1;
      }
      shared.changed.notify_all();
    }
  } catch (...) {
    {
      std::lock_guard lock(shared.mutex);
      if (!shared.failure) shared.failure = std::current_exception();
    }
    shared.cancel.store(true);
    shared.changed.notify_all();
  }
}

// The worker threads; leaving the scope cancels what still runs and joins.
class Workers {
 public:
  explicit Workers(ParallelResults& shared) : shared_(shared) {}
  Workers(const Workers&) = delete;
  Workers& operator=(const Workers&) = delete;
  ~Workers() { stop(); }

  template <typename F>
  void start(F&& f) {
    threads_.emplace_back(std::forward<F>(f));
  }
  void stop() {
    shared_.cancel.store(true);
    for (std::thread& t : threads_) {
      if (t.joinable()) t.join();
    }
  }

 private:
  ParallelResults& shared_;
  std::vector<std::thread> threads_;
};

// Iterations on worker threads, each with its own generator, problem copy
// and search state; the calling thread shows progress, handles stop
// requests and writes the results in iteration order.
bool run_parallel(int iterations, int threads, const RunParameters& p, TestRecord& rec,
                  Problem& problem, ProcessState& state, UserInterface& ui, Random& rng) {
  const uint64_t run_seed = rng.clock_seed();
  const int n_workers = std::min(threads, iterations);
  ParallelResults shared(iterations);
  // Timing writes job and order times into the problem, so each worker
  // times on its own copy; the search reads its priorities and parameters
  // from its own state.
  std::vector<Problem> problems(static_cast<size_t>(n_workers), problem);
  std::vector<ProcessState> states(static_cast<size_t>(n_workers));
  for (ProcessState& s : states) {
    s.priorities = state.priorities;
    s.operator_priority = state.operator_priority;
    s.run = state.run;
  }
  const Clock& clock = rng.clock();
  bool stopped = false;
  {
    Workers workers(shared);
    for (size_t w = 0; w < static_cast<size_t>(n_workers); ++w) {
      workers.start(
          [&, w] { work(shared, iterations, run_seed, p, problems[w], states[w], clock); });
    }
    RunStatus& st = state.status;
    for (int i = 1; i <= iterations && !stopped; ++i) {
      rec.iteration_head(i);
      if (state.stop_requested && confirm_stop(state, ui)) {
        stopped = true;
        break;
      }
      st.step = i;
      ui.run_progress(RunEvent::kStep, st);
      ui.process_events();
      const size_t at = static_cast<size_t>(i);
      for (;;) {
        std::unique_lock lock(shared.mutex);
        if (shared.changed.wait_for(lock, std::chrono::milliseconds(50),
                                    [&] { return shared.done[at] != 0 || shared.failure; })) {
          break;
        }
        lock.unlock();
        ui.process_events();
        // The first iteration always completes; a request made while it runs
        // is asked at the start of the second.
        if (i > 1 && state.stop_requested && confirm_stop(state, ui)) {
          stopped = true;
          break;
        }
      }
      if (stopped) break;
      {
        std::lock_guard lock(shared.mutex);
        if (shared.failure) break;
      }
      rec.add(shared.results[at]);
    }
    workers.stop();
  }
  if (shared.failure) std::rethrow_exception(shared.failure);
  return stopped;
}

}  // namespace

PerfTestResult run_performance_test(int iterations, int threads, Problem& problem,
                                    ProcessState& state, UserInterface& ui, Random& rng) {
  PerfTestResult result;
  RunLog log;
  if (!open_run_log(log, state, ui)) {
    ui.message("File opening error! Process stopped.");
    result.status = -1;
    return result;
  }
  result.log_path = log.path();

  RunStatus& st = state.status;
  st = RunStatus{};
  st.title = "VEMA Solver";
  st.show_objectives = false;
  st.show_controls = false;
  st.kind = RunKind::kPerfTest;
  st.counts_iterations = true;
  st.steps = iterations;
  ui.run_progress(RunEvent::kStarted, st);

  const RunParameters params = state.run;
  TestRecord rec(log.out(), state.priorities);
  rec.write_head(problem, state, params);
  rng.seed_from_clock();
  state.stop_requested = false;

  result.stopped = threads > 1
                       ? run_parallel(iterations, threads, params, rec, problem, state, ui, rng)
                       : run_sequential(iterations, params, rec, problem, state, ui, rng);

  rec.write_summary();
  result.best = rec.best_iteration();
  result.iterations = std::move(rec.iterations());
  for (const PerfTestIteration& it : result.iterations) {
    st.measuring_rand.push_back(it.rand.n_of_Late_Jobs);
    st.measuring_heur.push_back(it.heur.n_of_Late_Jobs);
    st.measuring_search.push_back(it.search.n_of_Late_Jobs);
  }
  log.finish();
  take_log(st, log);
  ui.run_progress(RunEvent::kFinished, st);
  return result;
}

}  // namespace vema
