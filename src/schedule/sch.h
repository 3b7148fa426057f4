// A schedule in linked form: every TASK sits in its job's chain (route
// order) and in its machine's sequence (processing order) at once. The SCH
// owns all its TASK nodes (through the job chains) and its arrays.
#pragma once

#include <string>
#include <vector>

#include "common/user_interface.h"
#include "problem/problem.h"

namespace vema {

struct TASK {
  int job = 0;
  int step = 0;
  int machine = 0;
  // Timing fields, owned by the timing (evaluate); copied unchanged elsewhere.
  int Setup = 0;
  int StartT = 0;
  int SetT = 0;
  int ProcT = 0;
  int EndT = 0;
  int M_Calendar_OK = 0;
  TASK* next_in_job = nullptr;
  TASK* prev_in_job = nullptr;
  TASK* next_on_machine = nullptr;
  TASK* prev_on_machine = nullptr;
};

class SCH {
 public:
  SCH() = default;
  ~SCH();
  SCH(const SCH& other) { copy_from(other); }
  SCH& operator=(const SCH& other) {
    if (this != &other) copy_from(other);
    return *this;
  }
  SCH(SCH&& other) noexcept;
  SCH& operator=(SCH&& other) noexcept;

  int n_orders = 0;
  int n_jobs = 0;
  int n_machines = 0;
  std::vector<TASK*> job_first;      // n_jobs + 1; route step 1 of each job
  std::vector<int> job_route;        // n_jobs + 1; row of R_MG_ex, 0 = none
  std::vector<TASK*> job_last;       // n_jobs + 1; last route step of each job
  std::vector<TASK*> machine_first;  // n_machines + 1
  std::vector<int> machine_count;    // n_machines + 1

  // True when the five arrays exist (not an empty-constructed schedule).
  bool has_arrays() const { return !job_first.empty() && !machine_first.empty(); }

  // Builds the whole schedule from the array form (J_A rows per job, M_wload
  // counted lists per machine). Both must describe the same placement.
  void build_from_assignment(int orders, int jobs, int machines,
                             const std::vector<JobAssignment>& J_A,
                             const std::vector<CountedList>& M_wload);

  // Deep copy of any schedule.
  void copy_from(const SCH& source);
  // Copy that reuses this schedule's nodes; 2 when it fell back to copy_from.
  int assign_from(const SCH& source);

  // Writes route and machines of the job into out; returns the route length.
  int read_job_assignment(int job, JobAssignment& out) const;
  // Gives the job route and machines of a (a[0] route, a[1..n] machines).
  void set_job_assignment(int n, const JobAssignment& a, int job);
  // Moves route step s of the job to the end of new_machine's sequence.
  void move_step_to_machine(int new_machine, int s, int job);
  // Moves each task of job a directly behind job b's task of the same step.
  void follow_job(int a, int b);

  // "Job_<n>" for each task of the machine's sequence, in order.
  void machine_job_labels(int machine, std::vector<std::string>& list) const;
  // Reorders the machine's sequence to the order of the labels. Refuses,
  // with the message "Problem with number of jobs on machine <m>" and no
  // change, when the labels do not name each job on the machine exactly once.
  bool set_machine_sequence_from_labels(const std::vector<std::string>& list, int machine,
                                        UserInterface& ui);

  // The job's task on machine m (first match in chain order), or null.
  TASK* task_of_job_on_machine(int job, int machine) const;

  // Low-level list operations.
  void push_front_job(TASK* t);                   // front of t->job's chain
  void push_front_machine(TASK* t, int machine);  // front of sequence; count unchanged
  void append_to_machine(TASK* t, int machine);   // sets t->machine, count + 1
  void unlink_from_machine(TASK* t);              // count - 1
  void insert_after(TASK* t, TASK* after);        // after `after` on its machine; count + 1

 private:
  void clear();
  // Takes other's nodes and arrays, leaving other empty; this must be empty.
  void take(SCH& other) noexcept;
  // Allocates the five arrays for n_jobs and n_machines, all empty.
  void allocate();
  static TASK* new_task(int job, int step, int machine);
  static void delete_task(TASK* t);
};

// 1 when both schedules have the same machine sequences (jobs position by
// position), else 0. Routes and times are not compared.
int same_sequences(const SCH& a, const SCH& b);

// The number after the last '_' of a label ("Job_12" gives 12); a text
// without '_' is read whole.
int label_number(const std::string& text);

}  // namespace vema
