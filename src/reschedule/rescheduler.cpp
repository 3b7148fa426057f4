#include "reschedule/rescheduler.h"

#include <utility>

#include "problem/input_reader.h"
#include "schedule/schedule_file.h"
#include "schedule/timing.h"
#include "search/tabu_search.h"

namespace vema {

namespace {

// A schedule with the loaded problem's dimensions and nothing placed yet
// (J_A and M_wload are empty right after loading).
SCH empty_schedule(const Problem& problem) {
  SCH schedule;
  schedule.build_from_assignment(problem.N_Order, problem.N_Job, problem.N_Machine, problem.J_A,
                                 problem.M_wload);
  return schedule;
}

}  // namespace

int Rescheduler::load(Problem& problem, ProcessState& state, UserInterface& ui,
                      const std::string& program_folder) {
  FileDialogRequest dialog;
  dialog.title = "Load shop data and released schedule";
  dialog.filter = kReleasedScheduleFilter;
  dialog.initial_folder = program_folder;
  dialog.default_extension = "rsf";
  std::string path;
  const int result = load_input(problem, ui, dialog, &path);
  if (result != kLoadDone) return result;
  return finish_load(problem, state, ui, path, nullptr);
}

int Rescheduler::load_file(Problem& problem, ProcessState& state, UserInterface& ui,
                           const std::string& path, std::string* error) {
  const int result = load_input_file(problem, ui, path);
  if (result != kLoadDone) return result;
  return finish_load(problem, state, ui, path, error);
}

int Rescheduler::finish_load(Problem& problem, ProcessState& state, UserInterface& ui,
                             const std::string& path, std::string* error) {
  ui.message("Input data reading OK!");
  drawn_ = nullptr;
  released_.reset();
  modified_.reset();
  released_ = std::make_unique<SHOP>();
  SCH imported = empty_schedule(problem);
  const int result = import_sch(imported, path, problem, error);
  state.current_schedule = empty_schedule(problem);
  if (result != kFileDone) {
    released_->sch = std::move(imported);
    return result == kFileCannotOpen ? -1 : 0;
  }
  ui.message("Released Schedule loading ok!");

  SHOP& released = *released_;
  released.capture(problem.N_SetupType, problem.Orders, problem.Jobs, problem.Machines, imported,
                   OBJ_VALUE{});
  with_shop_records(released, problem, [&](Problem& records) {
    evaluate(released.sch, records);
    compute_objectives(released.sch, released.values, records);
  });
  modified_ = std::make_unique<SHOP>(released);

  state.current_schedule.copy_from(released.sch);
  publish_current_schedule(problem, state);
  return 1;
}

void Rescheduler::modify_environment(Problem& problem, ProcessState& state,
                                     const std::function<void(Problem&)>& edit) {
  edit(problem);
  environment_modified(problem, state);
}

void Rescheduler::environment_modified(Problem& problem, ProcessState& state) {
  const OBJ_VALUE values = publish_current_schedule(problem, state);
  if (drawn_ == modified_.get()) drawn_ = nullptr;
  modified_ = std::make_unique<SHOP>();
  modified_->capture(problem.N_SetupType, problem.Orders, problem.Jobs, problem.Machines,
                     state.current_schedule, values);
}

SearchSolution Rescheduler::prepare_initial_state(Problem& problem, ProcessState& state,
                                                  FreezeOrder order, int freeze_time) {
  SearchSolution reference(released_->sch);
  if (order == FreezeOrder::kFreezeThenModify) {
    // The shop worked to the released plan, under the data as released,
    // until the freeze time.
    with_shop_records(*released_, problem, [&](Problem& records) { reference.evaluate(records); });
    modified_->restore(problem.Orders, problem.Jobs, problem.Machines, state.current_schedule);
  } else {
    // The released sequences re-timed under the modified data.
    modified_->restore(problem.Orders, problem.Jobs, problem.Machines, state.current_schedule);
    reference.evaluate(problem);
  }
  freeze_jobs(reference, problem.Orders, problem.Jobs, problem.Machines, freeze_time);
  return reference;
}

const SHOP& Rescheduler::show_initial_state(Problem& problem, ProcessState& state,
                                            FreezeOrder order, int freeze_time) {
  const SearchSolution reference = prepare_initial_state(problem, state, order, freeze_time);
  state.current_schedule.copy_from(released_->sch);
  const FreezeTiming freeze{reference.timing_view(), freeze_time};
  publish_current_schedule(problem, state, &freeze);
  drawn_ = released_.get();
  return *released_;
}

void Rescheduler::close(Problem& problem) {
  drawn_ = nullptr;
  released_.reset();
  modified_.reset();
  problem.release_problem();
}

}  // namespace vema
