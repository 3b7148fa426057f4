#include "schedule/schedule_file.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <limits>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/text_file.h"
#include "problem/input_lines.h"

namespace vema {

namespace {

// ---------------------------------------------------------------- writing

void append_fields(std::string& out, std::initializer_list<int> fields) {
  bool first = true;
  for (const int f : fields) {
    if (!first) out += '|';
    out += std::to_string(f);
    first = false;
  }
  out += '\n';
}

// The 130 line and the 140 lines of one machine, from-type outer, to-type
// inner. With kKnownPairs every matrix entry other than -1 is written and the
// 130 line announces exactly the number of 140 lines that follow, so the
// block always satisfies the input checker. A matrix without any writable
// entry gets the single line "from 0 to 0, time 0": it states what the reader
// assumes for every pair without a line anyway, and the checker demands at
// least one.
void append_setup_block(std::string& out, const MACHINE& machine, int n_setup_types,
                        SetupLines setup_lines) {
  const int id = machine.ID - 1;
  const int n = machine.setup_time.empty() ? 0 : std::min(n_setup_types, machine.setup_time.size());
  const bool every_pair = setup_lines == SetupLines::kEveryPair;
  std::string lines;
  int written = 0;
  for (int from = 1; from <= n; ++from) {
    for (int to = 1; to <= n; ++to) {
      const int time = machine.setup_time[from][to];
      if (time == -1 && !every_pair) continue;
      append_fields(lines, {140, id, from - 1, to - 1, time});
      ++written;
    }
  }
  if (every_pair) {
    written = n_setup_types * n_setup_types;
  } else if (written == 0) {
    append_fields(lines, {140, id, 0, 0, 0});
    written = 1;
  }
  append_fields(out, {130, id, written});
  out += lines;
}

int write_file(const std::string& path, const std::string& text) {
  return write_text_file_atomically(path, text) ? kFileDone : kFileCannotOpen;
}

// ---------------------------------------------------------------- reading

// Decimal conversion of a field: leading blanks and one sign accepted,
// conversion stops at the first non-digit, no digits read 0. Values beyond
// the 32-bit range saturate.
int decimal_value(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  constexpr int64_t kLimit = static_cast<int64_t>(std::numeric_limits<int32_t>::max()) + 1;
  int64_t value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = std::min<int64_t>(value * 10 + (text[i] - '0'), kLimit);
  }
  if (negative) return static_cast<int>(-value);
  return static_cast<int>(std::min<int64_t>(value, kLimit - 1));
}

std::vector<int> split_values(std::string_view line) {
  std::vector<int> values;
  size_t start = 0;
  for (;;) {
    const size_t bar = line.find('|', start);
    if (bar == std::string_view::npos) {
      values.push_back(decimal_value(line.substr(start)));
      return values;
    }
    values.push_back(decimal_value(line.substr(start, bar - start)));
    start = bar + 1;
  }
}

struct MachineSequence {
  int line = 0;            // line of its 2-line
  int count = 0;           // announced number of jobs
  std::vector<int> jobs;   // jobs of its 3-lines, in order
  std::vector<int> lines;  // line of each 3-line
};

struct JobRecord {
  int line = 0;  // line of its 4-line
  JobAssignment assignment{};
};

// Everything read from the file, and the first fault found.
struct ScheduleReading {
  bool have_sizes = false;
  int sizes_line = 0;
  int machines = 0;
  int jobs = 0;
  int orders = 0;
  std::map<int, MachineSequence> sequences;
  std::map<int, JobRecord> records;
  std::map<std::pair<int, int>, int> listed;  // (machine, job) -> line of its 3-line
  int current_machine = 0;                    // 0: no 2-line since the last 1-line
  std::string error;

  bool fail(int line, const std::string& text) {
    error = "line " + std::to_string(line) + ": " + text;
    return false;
  }
  bool fail(const std::string& text) {
    error = text;
    return false;
  }

  bool read_line(int n, std::string_view line);
  bool read_sizes(int n, const std::vector<int>& f);
  bool read_machine(int n, const std::vector<int>& f);
  bool read_sequence_job(int n, const std::vector<int>& f);
  bool read_job(int n, const std::vector<int>& f);
  bool check(const Problem& problem, const SCH& target);
};

bool ScheduleReading::read_line(int n, std::string_view line) {
  const std::vector<int> f = split_values(line);
  switch (f[0]) {
    case 1:
      return read_sizes(n, f);
    case 2:
      return read_machine(n, f);
    case 3:
      return read_sequence_job(n, f);
    case 4:
      return read_job(n, f);
    default:
      return true;  // other lines (shop data of a released file, the 's' line) are skipped
  }
}

int field(const std::vector<int>& f, size_t k) { return k < f.size() ? f[k] : 0; }

bool ScheduleReading::read_sizes(int n, const std::vector<int>& f) {
  const int m = field(f, 1);
  const int j = field(f, 2);
  const int o = field(f, 3);
  if (m < 0 || j < 0 || o < 0) return fail(n, "negative size in the 1-line");
  // A later 1-line starts the schedule afresh (a released file's shop header
  // comes first and is replaced by the schedule's own 1-line).
  have_sizes = true;
  sizes_line = n;
  machines = m;
  jobs = j;
  orders = o;
  sequences.clear();
  records.clear();
  listed.clear();
  current_machine = 0;
  return true;
}

bool ScheduleReading::read_machine(int n, const std::vector<int>& f) {
  if (!have_sizes) return fail(n, "2-line before the 1-line");
  const int m = field(f, 1);
  const int count = field(f, 2);
  if (m < 1) return fail(n, "machine index " + std::to_string(m) + " below 1");
  if (m > machines) {
    return fail(n, "machine index " + std::to_string(m) + " above the machine count " +
                       std::to_string(machines));
  }
  if (count < 0) return fail(n, "negative job count " + std::to_string(count));
  if (count > jobs) {
    return fail(n, "job count " + std::to_string(count) + " of machine " + std::to_string(m) +
                       " above the job count " + std::to_string(jobs));
  }
  const auto [it, inserted] = sequences.try_emplace(m);
  if (!inserted) {
    return fail(n, "machine " + std::to_string(m) + " already started on line " +
                       std::to_string(it->second.line));
  }
  it->second.line = n;
  it->second.count = count;
  current_machine = m;
  return true;
}

bool ScheduleReading::read_sequence_job(int n, const std::vector<int>& f) {
  if (!have_sizes || current_machine == 0) return fail(n, "3-line without a 2-line before it");
  MachineSequence& seq = sequences[current_machine];
  const int j = field(f, 1);
  if (static_cast<int>(seq.jobs.size()) >= seq.count) {
    return fail(n, "more 3-lines than the count " + std::to_string(seq.count) + " of machine " +
                       std::to_string(current_machine));
  }
  if (j < 1) return fail(n, "job index " + std::to_string(j) + " below 1");
  if (j > jobs) {
    return fail(n,
                "job index " + std::to_string(j) + " above the job count " + std::to_string(jobs));
  }
  const auto [same, first_listing] = listed.try_emplace({current_machine, j}, n);
  if (!first_listing) {
    return fail(n, "job " + std::to_string(j) + " listed twice on machine " +
                       std::to_string(current_machine) + " (also on line " +
                       std::to_string(same->second) + ")");
  }
  seq.jobs.push_back(j);
  seq.lines.push_back(n);
  return true;
}

bool ScheduleReading::read_job(int n, const std::vector<int>& f) {
  if (!have_sizes) return fail(n, "4-line before the 1-line");
  const int j = field(f, 1);
  const int route = field(f, 2);
  if (j < 1) return fail(n, "job index " + std::to_string(j) + " below 1");
  if (j > jobs) {
    return fail(n,
                "job index " + std::to_string(j) + " above the job count " + std::to_string(jobs));
  }
  if (route < 0 || route > kRoutes) {
    return fail(n,
                "route " + std::to_string(route) + " out of range 0.." + std::to_string(kRoutes));
  }
  // Fields 4..7 hold the machines of steps 1..4; further fields are ignored.
  const int present = std::clamp(static_cast<int>(f.size()) - 3, 0, kMaxRouteLen);
  for (int s = 1; s <= present; ++s) {
    const int m = f[2 + static_cast<size_t>(s)];
    if (m < 1) return fail(n, "machine index " + std::to_string(m) + " below 1");
    if (m > machines) {
      return fail(n, "machine index " + std::to_string(m) + " above the machine count " +
                         std::to_string(machines));
    }
  }
  const int length = route_length(route);
  if (present < length) {
    return fail(n, "route " + std::to_string(route) + " of job " + std::to_string(j) + " has " +
                       std::to_string(length) + " steps but the line names " +
                       std::to_string(present) + " machines");
  }
  const auto [it, inserted] = records.try_emplace(j);
  if (!inserted) {
    return fail(n, "job " + std::to_string(j) + " already given on line " +
                       std::to_string(it->second.line));
  }
  it->second.line = n;
  it->second.assignment.fill(0);
  it->second.assignment[0] = route;
  for (int s = 1; s <= length; ++s) it->second.assignment[s] = f[2 + static_cast<size_t>(s)];
  return true;
}

bool contains(const CountedList& list, int value) {
  if (list.empty()) return false;
  const int count = std::min<int>(list[0], static_cast<int>(list.size()) - 1);
  for (int i = 1; i <= count; ++i) {
    if (list[i] == value) return true;
  }
  return false;
}

// Checks everything that only the complete file can show, so that the
// schedule built from it is well formed and fits the problem and the target.
bool ScheduleReading::check(const Problem& problem, const SCH& target) {
  if (!have_sizes) return fail("no 1-line in the file");
  if (!problem.loaded() || static_cast<int>(problem.Jobs.size()) != problem.N_Job + 1) {
    return fail("no problem loaded");
  }
  if (machines != problem.N_Machine || jobs != problem.N_Job || orders != problem.N_Order) {
    return fail(sizes_line,
                "sizes " + std::to_string(machines) + " machines, " + std::to_string(jobs) +
                    " jobs, " + std::to_string(orders) + " orders differ from the problem's " +
                    std::to_string(problem.N_Machine) + ", " + std::to_string(problem.N_Job) +
                    ", " + std::to_string(problem.N_Order));
  }
  if (target.has_arrays() && (machines != target.n_machines || jobs != target.n_jobs)) {
    return fail(sizes_line, "sizes " + std::to_string(machines) + " machines, " +
                                std::to_string(jobs) + " jobs differ from the schedule's " +
                                std::to_string(target.n_machines) + ", " +
                                std::to_string(target.n_jobs));
  }
  // Routes and machines against the problem.
  for (int j = 1; j <= jobs; ++j) {
    const auto it = records.find(j);
    if (it == records.end()) return fail("job " + std::to_string(j) + " has no 4-line");
    const JobRecord& rec = it->second;
    const int route = rec.assignment[0];
    if (route == 0) continue;
    const ORDER& order = problem.Orders[problem.Jobs[j].O_ID];
    bool feasible = false;
    for (int i = 1; i <= order.R_feasible[0]; ++i)
      feasible = feasible || order.R_feasible[i] == route;
    if (!feasible) {
      return fail(rec.line, "route " + std::to_string(route) + " is not feasible for job " +
                                std::to_string(j) + " of order " + std::to_string(order.ID));
    }
    for (int s = 1; s <= route_length(route); ++s) {
      const int m = rec.assignment[s];
      const int group = R_MG_ex[route][s];
      if (problem.Machines[m].group != group) {
        return fail(rec.line, "machine " + std::to_string(m) + " of step " + std::to_string(s) +
                                  " of job " + std::to_string(j) + " is not in machine group " +
                                  std::to_string(group) + " of route " + std::to_string(route));
      }
      if (!contains(order.allowed_machines[group], m)) {
        return fail(rec.line, "machine " + std::to_string(m) + " of step " + std::to_string(s) +
                                  " of job " + std::to_string(j) + " is not allowed for order " +
                                  std::to_string(order.ID));
      }
    }
  }
  // Sequences complete and in agreement with the routes. Each job has at
  // most one step per machine (its route's groups differ), and no job is
  // listed twice on a machine, so agreement both ways means one task per
  // listed job and a listing per task.
  for (const auto& [m, seq] : sequences) {
    if (static_cast<int>(seq.jobs.size()) < seq.count) {
      return fail(seq.line, "machine " + std::to_string(m) + " has " +
                                std::to_string(seq.jobs.size()) + " 3-lines for its count " +
                                std::to_string(seq.count));
    }
    for (size_t k = 0; k < seq.jobs.size(); ++k) {
      const int j = seq.jobs[k];
      const JobAssignment& a = records[j].assignment;
      bool on_machine = false;
      for (int s = 1; s <= route_length(a[0]); ++s) on_machine = on_machine || a[s] == m;
      if (!on_machine) {
        return fail(seq.lines[k], "job " + std::to_string(j) + " is listed on machine " +
                                      std::to_string(m) + " but its 4-line has no step there");
      }
    }
  }
  for (int j = 1; j <= jobs; ++j) {
    const JobRecord& rec = records[j];
    for (int s = 1; s <= route_length(rec.assignment[0]); ++s) {
      const int m = rec.assignment[s];
      if (listed.count({m, j}) == 0) {
        return fail(rec.line, "step " + std::to_string(s) + " of job " + std::to_string(j) +
                                  " is on machine " + std::to_string(m) +
                                  " but the machine's sequence does not list the job");
      }
    }
  }
  return true;
}

}  // namespace

void append_shop_text(std::string& out, const ShopRecords& shop, SetupLines setup_lines) {
  out += "001|";
  append_fields(out, {shop.N_Machine, shop.N_Order, shop.N_SetupType});
  const int machines = std::min<int>(shop.N_Machine, static_cast<int>(shop.Machines.size()) - 1);
  for (int m = 1; m <= machines; ++m) {
    const MACHINE& machine = shop.Machines[m];
    const int id = machine.ID - 1;
    append_fields(out, {100, id, machine.Speed, machine.StartStep - 1, machine.EndStep - 1});
    append_fields(out, {110, id, machine.N_Cal});
    const int intervals =
        std::min<int>(machine.N_Cal, static_cast<int>(machine.calendar.size()) - 1);
    for (int k = 1; k <= intervals; ++k) {
      append_fields(out, {120, id, machine.calendar[k].ST, machine.calendar[k].ET});
    }
    append_setup_block(out, machine, shop.N_SetupType, setup_lines);
  }
  const int orders = std::min<int>(shop.N_Order, static_cast<int>(shop.Orders.size()) - 1);
  for (int o = 1; o <= orders; ++o) {
    const ORDER& order = shop.Orders[o];
    const int id = order.ID - 1;
    // Due time before earliest start, as the input reader expects.
    append_fields(out, {200, id, order.CET, order.CST, order.NJob, order.SJob, order.StartStep - 1,
                        order.EndStep - 1, order.SetupType - 1});
    append_fields(out, {210, id, order.N_Step});
    const int entries = std::min<int>(order.N_Step, static_cast<int>(order.steps.size()) - 1);
    for (int k = 1; k <= entries; ++k) {
      const ORDER_STEP& s = order.steps[k];
      append_fields(out, {220, id, s.SS - 1, s.ES - 1, s.M_ID - 1});
    }
  }
}

std::string schedule_file_text(const SCH& schedule) {
  std::string out;
  append_fields(out, {1, schedule.n_machines, schedule.n_jobs, schedule.n_orders});
  if (!schedule.has_arrays()) return out;
  std::vector<int> jobs;
  for (int m = 1; m <= schedule.n_machines; ++m) {
    jobs.clear();
    for (const TASK* t = schedule.machine_first[m]; t != nullptr; t = t->next_on_machine) {
      jobs.push_back(t->job);
    }
    append_fields(out, {2, m, static_cast<int>(jobs.size())});
    for (const int j : jobs) append_fields(out, {3, j});
  }
  for (int j = 1; j <= schedule.n_jobs; ++j) {
    JobAssignment a{};
    const int steps = schedule.read_job_assignment(j, a);
    out += "4|" + std::to_string(j) + '|' + std::to_string(a[0]);
    for (int s = 1; s <= steps; ++s) out += '|' + std::to_string(a[s]);
    out += '\n';
  }
  return out;
}

std::string released_schedule_text(const SCH& schedule, const Problem& problem) {
  std::string out;
  append_shop_text(out,
                   ShopRecords{problem.N_Machine, problem.N_Order, problem.N_SetupType,
                               problem.Machines, problem.Orders},
                   SetupLines::kKnownPairs);
  out += "s\n";
  out += schedule_file_text(schedule);
  return out;
}

int write_schedule_file(const std::string& path, const SCH& schedule) {
  return write_file(path, schedule_file_text(schedule));
}

int write_released_schedule_file(const std::string& path, const SCH& schedule,
                                 const Problem& problem) {
  return write_file(path, released_schedule_text(schedule, problem));
}

int import_sch(SCH& target, const std::string& path, const Problem& problem, std::string* error) {
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec)) {
    if (error != nullptr) *error = "cannot read " + path;
    return kFileCannotOpen;
  }
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    if (error != nullptr) *error = "cannot read " + path;
    return kFileCannotOpen;
  }
  ScheduleReading reading;
  std::string line;
  int n = 0;
  bool ok = true;
  // The line reader ends at an 's' line; the schedule of a released file
  // follows that line, so reading goes on after it with a fresh reader.
  for (bool more = true; ok && more;) {
    InputLineReader reader(in);
    while (ok && reader.next(line)) ok = reading.read_line(++n, line);
    more = reader.ended_on_s_line();
    if (more) ++n;
  }
  if (ok) ok = reading.check(problem, target);
  if (!ok) {
    if (error != nullptr) *error = reading.error;
    return kFileFormatError;
  }
  std::vector<JobAssignment> J_A(static_cast<size_t>(reading.jobs) + 1, JobAssignment{});
  for (auto& [j, rec] : reading.records) J_A[j] = rec.assignment;
  std::vector<CountedList> M_wload(static_cast<size_t>(reading.machines) + 1, CountedList{0});
  for (auto& [m, seq] : reading.sequences) {
    CountedList& list = M_wload[m];
    list.assign(1, seq.count);
    list.insert(list.end(), seq.jobs.begin(), seq.jobs.end());
  }
  SCH built;
  built.build_from_assignment(reading.orders, reading.jobs, reading.machines, J_A, M_wload);
  target.assign_from(built);  // falls back to a full copy when target has no arrays
  if (error != nullptr) error->clear();
  return kFileDone;
}

std::string replace_extension(const std::string& name, const std::string& extension) {
  // Only a '.' inside the last path component starts an extension.
  const size_t slash = name.find_last_of("/\\");
  const size_t dot = name.rfind('.');
  const bool has_extension =
      dot != std::string::npos && (slash == std::string::npos || dot > slash);
  return (has_extension ? name.substr(0, dot) : name) + extension;
}

namespace {

int save_with_dialog(UserInterface& ui, const std::string& program_folder, const std::string& title,
                     const std::string& filter, const std::string& default_name,
                     const std::string& extension, const std::string& text) {
  FileDialogRequest request;
  request.title = title;
  request.filter = filter;
  request.initial_folder = program_folder;
  request.file_name = (std::filesystem::path(program_folder) / default_name).string();
  request.default_extension = extension.substr(1);
  const std::optional<std::string> chosen = ui.save_file(request);
  if (!chosen) return kFileFormatError;
  return write_file(replace_extension(*chosen, extension), text);
}

}  // namespace

int export_sch(const SCH& schedule, UserInterface& ui, const std::string& program_folder) {
  return save_with_dialog(ui, program_folder, "Export schedule", "Schedule file (*.sch)|*.sch",
                          "exp_sch.sch", ".sch", schedule_file_text(schedule));
}

int release(const SCH& schedule, const Problem& problem, UserInterface& ui,
            const std::string& program_folder) {
  return save_with_dialog(ui, program_folder, "Release schedule",
                          "Released schedule file (*.rsf)|*.rsf", "release_sch.rsf", ".rsf",
                          released_schedule_text(schedule, problem));
}

}  // namespace vema
