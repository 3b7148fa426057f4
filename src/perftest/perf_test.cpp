#include "perftest/perf_test.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <fstream>
#include <mutex>
#include <optional>
#include <ostream>
#include <sstream>
#include <thread>
#include <utility>

#include "search/operators.h"
#include "search/run_log.h"
#include "search/search_solution.h"
#include "search/starting_schedules.h"
#include "search/tabu_search.h"

namespace vema {

const char* relative_quality_sign(const OBJ_VALUE& x, const OBJ_VALUE& y, const Priorities& p) {
  const double d = weighted_difference(y, x, p);
  if (d < 0) return "\t-";
  if (d > 0) return "\t+";
  return "\t0";
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

bool open_log(RunLog& log, ProcessState& state, UserInterface& ui) {
  if (!state.log_file.empty()) return log.open_at(state.log_file);
  return log.open(state.program_folder, ui, state.announced_log_path);
}

std::string load_text(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void evaluate_into(SearchSolution& s, Problem& problem, OBJ_VALUE& values) {
  s.evaluate(problem);
  s.compute_objectives(values, problem);
}

const char* sign_text(double d) {
  if (d < 0) return "\t-";
  if (d > 0) return "\t+";
  return "\t0";
}

// The six logged objectives of a record, in log order.
std::array<int, 6> six_values(const OBJ_VALUE& v) {
  return {v.n_of_Late_Orders, v.n_of_Late_Jobs, v.sumTardiness,
          v.max_Tardiness,    v.n_of_Setup,     v.Completion_Time};
}

void write_six(std::ostream& out, const OBJ_VALUE& v) {
  for (int x : six_values(v)) out << '\t' << x;
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
    out_ << "Prob_Sizes: \tMachine:" << problem.N_Machine << "\tOrders:" << problem.N_Order
         << "\tJobs:" << problem.N_Job << "\tSetup_Types:" << problem.N_SetupType << '\n';
    out_ << "Search_Pars:  \tmaxSTEP:" << p.steps << "\tmaxLOOP:" << p.loops_per_step
         << "\tminLOOP:" << p.min_loop << "\tmaxImpless:" << p.max_steps_without_improvement
         << "\tmaxTABU:" << p.tabu_size << '\n';
    out_ << "Nx_op_pri:";
    for (int k = 1; k <= operator_count; ++k) {
      out_ << "\tN" << k << ": " << state.operator_priority[k];
    }
    out_ << '\n';
    out_ << "ObjF:\tLOrder\tLJob\tsumT\tmaxT\tSet\tmaxC\tF(r,x)\tF(h,x)\tRunT\tBStep\n";
    write_priorities();
  }

  void iteration_head(int i) {
    out_ << "   " << i << ':';
    for (int k = 0; k < 6; ++k) out_ << "\t------";
    out_ << '\n';
  }

  void add_rand(const OBJ_VALUE& v) {
    current_.rand = v;
    out_ << "rand";
    write_six(out_, v);
    out_ << '\n';
    rand_sums_.add(v);
  }

  void add_heur(const OBJ_VALUE& v) {
    current_.heur = v;
    out_ << "heur";
    write_six(out_, v);
    out_ << relative_quality_sign(v, current_.rand, priorities_) << '\n';
    heur_rand_ += weighted_difference(current_.rand, v, priorities_);
    heur_sums_.add(v);
  }

  void add_search(const OBJ_VALUE& v, double run_time, int best_step) {
    current_.search = v;
    current_.run_time = run_time;
    current_.best_step = best_step;
    out_ << "search";
    write_six(out_, v);
    out_ << relative_quality_sign(v, current_.rand, priorities_)
         << relative_quality_sign(v, current_.heur, priorities_) << '\t'
         << batch_time_text(run_time) << "\t[" << best_step << "]\n";
    run_time_ += run_time;
    search_rand_ += weighted_difference(current_.rand, v, priorities_);
    search_heur_ += weighted_difference(current_.heur, v, priorities_);
    search_sums_.add(v);
    completed_.push_back(current_);
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
  void write_priorities() {
    out_ << "ObjPri:";
    for (int i = 1; i <= 6; ++i) out_ << '\t' << priorities_.objective[i];
    out_ << '\n';
  }
  const OBJ_VALUE& search(int i) const { return completed_[static_cast<size_t>(i) - 1].search; }

  std::ostream& out_;
  const Priorities& priorities_;  // the live priorities, read at every comparison
  PerfTestIteration current_;
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

// The stages of one iteration, handing each result to `record` as soon as
// it is known: record(stage, values), stage 0 rand, 1 heur, 2 search.
template <typename Record>
void run_stages(const RunParameters& p, Problem& problem, ProcessState& state, UserInterface& ui,
                Random& rng, Record&& record) {
  OBJ_VALUE values;
  SearchSolution s(problem.N_Order, problem.N_Job, problem.N_Machine);
  s.random_assignment(problem, rng);
  evaluate_into(s, problem, values);
  record(0, values, OneSearchResult{});
  // The heuristic starts from nothing: the solution is emptied first. It
  // draws on from where the random assignment left the generator.
  s = SearchSolution(problem.N_Order, problem.N_Job, problem.N_Machine);
  build_starting_schedule(kPerfTestHeuristic, s, problem, rng);
  evaluate_into(s, problem, values);
  record(1, values, OneSearchResult{});
  const OneSearchResult r =
      run_one_search(p.steps, p.loops_per_step, p.min_loop, p.max_steps_without_improvement, s,
                     problem, state, ui, rng);
  evaluate_into(s, problem, values);
  record(2, values, r);
}

void record_stage(TestRecord& rec, int stage, const OBJ_VALUE& v, const OneSearchResult& r) {
  if (stage == 0) {
    rec.add_rand(v);
  } else if (stage == 1) {
    rec.add_heur(v);
  } else {
    rec.add_search(v, r.elapsed, r.best_step);
  }
}

// One generator reseeded from the clock, everything on the calling thread.
bool run_sequential(int iterations, const RunParameters& p, TestRecord& rec, Problem& problem,
                    ProcessState& state, UserInterface& ui, Random& rng) {
  RunStatus& st = state.status;
  for (int i = 1; i <= iterations; ++i) {
    rec.iteration_head(i);
    if (state.stop_requested && confirm_stop(state, ui)) return true;
    st.step = i;
    ui.run_progress(RunEvent::kStep, st);
    ui.process_events();
    run_stages(p, problem, state, ui, rng,
               [&rec](int stage, const OBJ_VALUE& v, const OneSearchResult& r) {
                 record_stage(rec, stage, v, r);
               });
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
      run_stages(p, problem, state, ui, rng,
                 [&it](int stage, const OBJ_VALUE& v, const OneSearchResult& r) {
                   if (stage == 0) {
                     it.rand = v;
                   } else if (stage == 1) {
                     it.heur = v;
                   } else {
                     it.search = v;
                     it.run_time = r.elapsed;
                     it.best_step = r.best_step;
                   }
                 });
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
  // The clock is read only without a fixed seed.
  const uint64_t run_seed =
      rng.fixed_seed() ? *rng.fixed_seed() : static_cast<uint64_t>(rng.clock().now_seconds());
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
      const PerfTestIteration& it = shared.results[at];
      rec.add_rand(it.rand);
      rec.add_heur(it.heur);
      rec.add_search(it.search, it.run_time, it.best_step);
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
  if (!open_log(log, state, ui)) {
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
  st.log_path = log.path();
  st.log_text = load_text(log.path());
  ui.run_progress(RunEvent::kFinished, st);
  return result;
}

}  // namespace vema
