#include "schedule/sch.h"

#include <charconv>
#include <cstddef>
#include <utility>

#include "problem/route_tables.h"

namespace vema {

namespace {

std::size_t slot(int index) { return static_cast<std::size_t>(index); }

// True when all five arrays exist with the sizes the counts call for. Every
// list walk checks this first, so an index taken from the counts is always
// inside the arrays.
bool arrays_fit(const SCH& s) {
  if (!s.has_arrays() || s.n_jobs < 0 || s.n_machines < 0) return false;
  const std::size_t jobs = slot(s.n_jobs) + 1;
  const std::size_t machines = slot(s.n_machines) + 1;
  return s.job_first.size() == jobs && s.job_route.size() == jobs && s.job_last.size() == jobs &&
         s.machine_first.size() == machines && s.machine_count.size() == machines;
}

bool valid_job(const SCH& s, int job) { return job >= 1 && job <= s.n_jobs; }
bool valid_machine(const SCH& s, int machine) { return machine >= 1 && machine <= s.n_machines; }

// Copies what a task carries (everything but its links).
void copy_task_fields(TASK& to, const TASK& from) {
  to.job = from.job;
  to.step = from.step;
  to.machine = from.machine;
  to.Setup = from.Setup;
  to.StartT = from.StartT;
  to.SetT = from.SetT;
  to.ProcT = from.ProcT;
  to.EndT = from.EndT;
  to.M_Calendar_OK = from.M_Calendar_OK;
}

// Rebuilds machine m's sequence of `target` in the order of `source`'s
// sequence for m, linking target's own task of the same job on m. The count
// is the number of tasks linked (the source's count for a consistent pair).
// Target tasks must not be linked on m beforehand (their machine links are
// overwritten).
void relink_machine_like(SCH& target, const SCH& source, int m) {
  target.machine_first[slot(m)] = nullptr;
  int count = 0;
  TASK* tail = nullptr;
  for (const TASK* s = source.machine_first[slot(m)]; s != nullptr; s = s->next_on_machine) {
    TASK* t = target.task_of_job_on_machine(s->job, m);
    if (t == nullptr) continue;
    t->prev_on_machine = tail;
    t->next_on_machine = nullptr;
    if (tail != nullptr) {
      tail->next_on_machine = t;
    } else {
      target.machine_first[slot(m)] = t;
    }
    tail = t;
    ++count;
  }
  target.machine_count[slot(m)] = count;
}

}  // namespace

// ---------------------------------------------------------------------------
// Nodes, construction and destruction

TASK* SCH::new_task(int job, int step, int machine) {
  TASK* t = new TASK{};
  t->job = job;
  t->step = step;
  t->machine = machine;
  return t;
}

void SCH::delete_task(TASK* t) { delete t; }

void SCH::clear() {
  // The job chains own every node; machine sequences only link them.
  for (TASK* first : job_first) {
    TASK* t = first;
    while (t != nullptr) {
      TASK* next = t->next_in_job;
      delete_task(t);
      t = next;
    }
  }
  job_first.clear();
  job_route.clear();
  job_last.clear();
  machine_first.clear();
  machine_count.clear();
  n_orders = 0;
  n_jobs = 0;
  n_machines = 0;
}

SCH::~SCH() { clear(); }

void SCH::take(SCH& other) noexcept {
  n_orders = std::exchange(other.n_orders, 0);
  n_jobs = std::exchange(other.n_jobs, 0);
  n_machines = std::exchange(other.n_machines, 0);
  job_first = std::exchange(other.job_first, {});
  job_route = std::exchange(other.job_route, {});
  job_last = std::exchange(other.job_last, {});
  machine_first = std::exchange(other.machine_first, {});
  machine_count = std::exchange(other.machine_count, {});
}

SCH::SCH(SCH&& other) noexcept { take(other); }

SCH& SCH::operator=(SCH&& other) noexcept {
  if (this == &other) return *this;
  clear();
  take(other);
  return *this;
}

void SCH::allocate() {
  job_first.assign(slot(n_jobs) + 1, nullptr);
  job_route.assign(slot(n_jobs) + 1, 0);
  job_last.assign(slot(n_jobs) + 1, nullptr);
  machine_first.assign(slot(n_machines) + 1, nullptr);
  machine_count.assign(slot(n_machines) + 1, 0);
}

void SCH::build_from_assignment(int orders, int jobs, int machines,
                                const std::vector<JobAssignment>& J_A,
                                const std::vector<CountedList>& M_wload) {
  clear();
  if (jobs < 0 || machines < 0) return;
  n_orders = orders;
  n_jobs = jobs;
  n_machines = machines;
  allocate();

  // Job chains: created from the last route step to the first, each pushed
  // at the front, so the chain ends up in route order.
  for (int i = 1; i <= jobs && slot(i) < J_A.size(); ++i) {
    const JobAssignment& row = J_A[slot(i)];
    job_route[slot(i)] = row[0];
    for (int s = route_length(row[0]); s >= 1; --s) {
      push_front_job(new_task(i, s, row[slot(s)]));
    }
  }

  // Machine sequences: pushed from the back of each workload list, which
  // gives the list's order. A listed job without a task on the machine, or a
  // job listed twice, is skipped so that no node is ever linked twice.
  for (int m = 1; m <= machines && slot(m) < M_wload.size(); ++m) {
    const CountedList& list = M_wload[slot(m)];
    if (list.empty()) continue;
    int listed = list[0];
    if (listed > static_cast<int>(list.size()) - 1) listed = static_cast<int>(list.size()) - 1;
    int count = 0;
    for (int k = listed; k >= 1; --k) {
      TASK* t = task_of_job_on_machine(list[slot(k)], m);
      if (t == nullptr || t->prev_on_machine != nullptr || t == machine_first[slot(m)]) continue;
      push_front_machine(t, m);
      ++count;
    }
    machine_count[slot(m)] = count;
  }
}

// ---------------------------------------------------------------------------
// Whole-schedule copies

void SCH::copy_from(const SCH& source) {
  if (this == &source) return;
  clear();
  n_orders = source.n_orders;
  n_jobs = source.n_jobs;
  n_machines = source.n_machines;
  if (!arrays_fit(source)) return;  // an empty source gives an empty copy
  allocate();

  for (int i = 1; i <= n_jobs; ++i) {
    job_route[slot(i)] = source.job_route[slot(i)];
    for (const TASK* s = source.job_last[slot(i)]; s != nullptr; s = s->prev_in_job) {
      TASK* t = new_task(s->job, s->step, s->machine);
      copy_task_fields(*t, *s);
      push_front_job(t);
    }
  }
  for (int m = 1; m <= n_machines; ++m) relink_machine_like(*this, source, m);
}

int SCH::assign_from(const SCH& source) {
  if (this == &source) return 1;
  // Reusing nodes needs both schedules complete and of the same problem;
  // anything else gets a full copy.
  if (!arrays_fit(*this) || !arrays_fit(source) || n_jobs != source.n_jobs ||
      n_machines != source.n_machines) {
    copy_from(source);
    return 2;
  }
  n_orders = source.n_orders;

  for (int i = 1; i <= n_jobs; ++i) {
    job_route[slot(i)] = source.job_route[slot(i)];
    // Walk both chains from the last step backwards, filling this chain's
    // existing nodes first.
    TASK* mine = job_last[slot(i)];
    const TASK* theirs = source.job_last[slot(i)];
    TASK* filled = nullptr;
    while (mine != nullptr && theirs != nullptr) {
      copy_task_fields(*mine, *theirs);
      // The machine sequences are rebuilt below; drop the old links.
      mine->next_on_machine = nullptr;
      mine->prev_on_machine = nullptr;
      filled = mine;
      mine = mine->prev_in_job;
      theirs = theirs->prev_in_job;
    }
    if (theirs != nullptr) {
      // The source route is longer: new nodes for its front steps.
      for (; theirs != nullptr; theirs = theirs->prev_in_job) {
        TASK* t = new_task(theirs->job, theirs->step, theirs->machine);
        copy_task_fields(*t, *theirs);
        push_front_job(t);
      }
    } else if (mine != nullptr) {
      // The source route is shorter: the last node filled becomes the first
      // and the older ones go. They are still linked in machine sequences,
      // but every sequence is rebuilt from the source below.
      if (filled != nullptr) {
        filled->prev_in_job = nullptr;
        job_first[slot(i)] = filled;
      } else {
        job_first[slot(i)] = nullptr;
        job_last[slot(i)] = nullptr;
      }
      while (mine != nullptr) {
        TASK* older = mine->prev_in_job;
        delete_task(mine);
        mine = older;
      }
    }
  }
  for (int m = 1; m <= n_machines; ++m) relink_machine_like(*this, source, m);
  return 1;
}

int same_sequences(const SCH& a, const SCH& b) {
  if (!arrays_fit(a) || !arrays_fit(b)) return 0;
  if (a.n_machines != b.n_machines) return 0;
  for (int m = 1; m <= a.n_machines; ++m) {
    if (a.machine_count[slot(m)] != b.machine_count[slot(m)]) return 0;
  }
  for (int m = 1; m <= a.n_machines; ++m) {
    if (a.machine_count[slot(m)] == 0) continue;
    const TASK* x = a.machine_first[slot(m)];
    const TASK* y = b.machine_first[slot(m)];
    for (; x != nullptr && y != nullptr; x = x->next_on_machine, y = y->next_on_machine) {
      if (x->job != y->job) return 0;
    }
  }
  return 1;
}

// ---------------------------------------------------------------------------
// Job-level operations

TASK* SCH::task_of_job_on_machine(int job, int machine) const {
  if (!arrays_fit(*this) || !valid_job(*this, job)) return nullptr;
  for (TASK* t = job_first[slot(job)]; t != nullptr; t = t->next_in_job) {
    if (t->machine == machine) return t;
  }
  return nullptr;
}

int SCH::read_job_assignment(int job, JobAssignment& out) const {
  if (!arrays_fit(*this) || !valid_job(*this, job)) return 0;
  out[0] = job_route[slot(job)];
  int n = 0;
  for (const TASK* t = job_first[slot(job)]; t != nullptr && n < kMaxRouteLen; t = t->next_in_job) {
    ++n;
    out[slot(n)] = t->machine;
  }
  return n;
}

void SCH::set_job_assignment(int n, const JobAssignment& a, int job) {
  if (!arrays_fit(*this) || !valid_job(*this, job)) return;
  if (n > kMaxRouteLen) n = kMaxRouteLen;
  if (a[0] != job_route[slot(job)]) {
    // New route: the job's tasks are recreated at the end of the sequences
    // they land on, appended from the last step to the first.
    TASK* t = job_first[slot(job)];
    while (t != nullptr) {
      TASK* next = t->next_in_job;
      unlink_from_machine(t);
      delete_task(t);
      t = next;
    }
    job_first[slot(job)] = nullptr;
    job_last[slot(job)] = nullptr;
    job_route[slot(job)] = a[0];
    for (int s = n; s >= 1; --s) {
      TASK* created = new_task(job, s, a[slot(s)]);
      push_front_job(created);
      append_to_machine(created, a[slot(s)]);
    }
    return;
  }
  for (int s = n; s >= 1; --s) move_step_to_machine(a[slot(s)], s, job);
}

void SCH::move_step_to_machine(int new_machine, int s, int job) {
  if (!arrays_fit(*this) || !valid_job(*this, job) || !valid_machine(*this, new_machine) || s < 1)
    return;
  TASK* t = job_first[slot(job)];
  for (int k = 1; k < s && t != nullptr; ++k) t = t->next_in_job;
  if (t == nullptr || t->machine == new_machine) return;
  unlink_from_machine(t);
  append_to_machine(t, new_machine);
}

void SCH::follow_job(int a, int b) {
  if (!arrays_fit(*this) || !valid_job(*this, a) || !valid_job(*this, b) || a == b) return;
  TASK* ta = job_first[slot(a)];
  TASK* tb = job_first[slot(b)];
  for (; ta != nullptr && tb != nullptr; ta = ta->next_in_job, tb = tb->next_in_job) {
    // Both jobs are expected on the same machines; a step where they are not
    // stays where it is rather than landing on a foreign machine.
    if (ta->machine != tb->machine) continue;
    unlink_from_machine(ta);
    insert_after(ta, tb);
  }
}

// ---------------------------------------------------------------------------
// Machine-level operations

void SCH::machine_job_labels(int machine, std::vector<std::string>& list) const {
  list.clear();
  if (!arrays_fit(*this) || !valid_machine(*this, machine)) return;
  for (const TASK* t = machine_first[slot(machine)]; t != nullptr; t = t->next_on_machine) {
    list.push_back("Job_" + std::to_string(t->job));
  }
}

bool SCH::set_machine_sequence_from_labels(const std::vector<std::string>& list, int machine,
                                           UserInterface& ui) {
  if (!arrays_fit(*this) || !valid_machine(*this, machine)) return false;
  const std::string refusal = "Problem with number of jobs on machine " + std::to_string(machine);

  // Check the whole list before touching the sequence: it must name every
  // job on the machine exactly once.
  if (list.size() != slot(machine_count[slot(machine)])) {
    ui.message(refusal);
    return false;
  }
  std::vector<TASK*> order;
  order.reserve(list.size());
  std::vector<char> named(slot(n_jobs) + 1, 0);
  for (const std::string& line : list) {
    const int job = label_number(line);
    TASK* t = task_of_job_on_machine(job, machine);
    if (t == nullptr || named[slot(job)] != 0) {
      ui.message(refusal);
      return false;
    }
    named[slot(job)] = 1;
    order.push_back(t);
  }

  machine_first[slot(machine)] = nullptr;
  for (auto it = order.rbegin(); it != order.rend(); ++it) push_front_machine(*it, machine);
  return true;
}

int label_number(const std::string& text) {
  const std::size_t underscore = text.rfind('_');
  const std::size_t begin = underscore == std::string::npos ? 0 : underscore + 1;
  const char* first = text.data() + begin;
  const char* last = text.data() + text.size();
  int value = 0;
  const auto [end, error] = std::from_chars(first, last, value);
  // Anything but a complete decimal number in int range reads as 0, which
  // names no object.
  if (error != std::errc{} || end != last) return 0;
  return value;
}

// ---------------------------------------------------------------------------
// Low-level list operations

void SCH::push_front_job(TASK* t) {
  if (t == nullptr || !arrays_fit(*this) || !valid_job(*this, t->job)) return;
  TASK*& first = job_first[slot(t->job)];
  t->prev_in_job = nullptr;
  t->next_in_job = first;
  if (first != nullptr) {
    first->prev_in_job = t;
  } else {
    job_last[slot(t->job)] = t;
  }
  first = t;
}

void SCH::push_front_machine(TASK* t, int machine) {
  if (t == nullptr || !arrays_fit(*this) || !valid_machine(*this, machine)) return;
  TASK*& first = machine_first[slot(machine)];
  t->prev_on_machine = nullptr;
  t->next_on_machine = first;
  if (first != nullptr) first->prev_on_machine = t;
  first = t;
}

void SCH::append_to_machine(TASK* t, int machine) {
  if (t == nullptr || !arrays_fit(*this) || !valid_machine(*this, machine)) return;
  t->machine = machine;
  t->next_on_machine = nullptr;
  TASK* last = machine_first[slot(machine)];
  if (last == nullptr) {
    t->prev_on_machine = nullptr;
    machine_first[slot(machine)] = t;
  } else {
    while (last->next_on_machine != nullptr) last = last->next_on_machine;
    last->next_on_machine = t;
    t->prev_on_machine = last;
  }
  ++machine_count[slot(machine)];
}

void SCH::unlink_from_machine(TASK* t) {
  if (t == nullptr || !arrays_fit(*this) || !valid_machine(*this, t->machine)) return;
  TASK*& first = machine_first[slot(t->machine)];
  // A task with no predecessor that does not head the sequence is not linked.
  if (t->prev_on_machine == nullptr && first != t) return;
  if (t->prev_on_machine != nullptr) {
    t->prev_on_machine->next_on_machine = t->next_on_machine;
  } else {
    first = t->next_on_machine;
  }
  if (t->next_on_machine != nullptr) t->next_on_machine->prev_on_machine = t->prev_on_machine;
  t->next_on_machine = nullptr;
  t->prev_on_machine = nullptr;
  int& count = machine_count[slot(t->machine)];
  count = first == nullptr ? 0 : count - 1;
}

void SCH::insert_after(TASK* t, TASK* after) {
  if (t == nullptr || after == nullptr || t == after || !arrays_fit(*this) ||
      !valid_machine(*this, after->machine))
    return;
  t->machine = after->machine;
  t->prev_on_machine = after;
  t->next_on_machine = after->next_on_machine;
  if (after->next_on_machine != nullptr) after->next_on_machine->prev_on_machine = t;
  after->next_on_machine = t;
  ++machine_count[slot(after->machine)];
}

}  // namespace vema
