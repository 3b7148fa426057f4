#include "schedule/schedule_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <sstream>

#include "common/text_file.h"
#include "problem/input_checker.h"
#include "problem/input_reader.h"
#include "scripted_ui.h"
#include "temp_dir.h"
#include "test_problems.h"

namespace vema {
namespace {

using testing::problem_from_text;
using testing::ScriptedUi;
using testing::TempDir;

const std::string kSmallShop = VEMA_SOURCE_DIR "/examples/small_shop.sif";

Problem small_shop() {
  std::string text;
  EXPECT_TRUE(read_text_file(kSmallShop, text));
  return problem_from_text(text);
}

// Two machines of step 4 (group 4); one order of step 4 whose only step
// entry allows machine 1; one job. Route 26 is the order's only route.
const std::string kStepFourShop =
    "001|2|1|1\n"
    "100|0|5|3|3\n110|0|1\n120|0|0|1000\n130|0|1\n140|0|0|0|0\n"
    "100|1|5|3|3\n110|1|1\n120|1|0|1000\n130|1|1\n140|1|0|0|0\n"
    "200|0|500|20|1|10|3|3|0\n210|0|1\n220|0|3|3|0\n";

// Small shop (machines: 1, 2 group 1; 3 group 6; 4 group 2; 5 group 3;
// jobs 1-3 order 1, 4-5 order 2, 6-7 order 3). Machine 1 holds nothing and
// job 7 is unscheduled.
SCH sample_schedule(const Problem& p) {
  std::vector<JobAssignment> ja(8, JobAssignment{});
  ja[1] = {9, 2, 4, 5, 0};
  ja[2] = {10, 2, 3, 0, 0};
  ja[3] = {9, 2, 4, 5, 0};
  ja[4] = {19, 4, 5, 0, 0};
  ja[5] = {20, 3, 0, 0, 0};
  ja[6] = {23, 2, 0, 0, 0};
  ja[7] = {0, 0, 0, 0, 0};
  std::vector<CountedList> mw = {{0}, {0}, {4, 6, 2, 1, 3}, {2, 5, 2}, {3, 4, 1, 3}, {3, 3, 4, 1}};
  SCH s;
  s.build_from_assignment(p.N_Order, p.N_Job, p.N_Machine, ja, mw);
  return s;
}

const std::string kSampleText =
    "1|5|7|3\n"
    "2|1|0\n"
    "2|2|4\n3|6\n3|2\n3|1\n3|3\n"
    "2|3|2\n3|5\n3|2\n"
    "2|4|3\n3|4\n3|1\n3|3\n"
    "2|5|3\n3|3\n3|4\n3|1\n"
    "4|1|9|2|4|5\n"
    "4|2|10|2|3\n"
    "4|3|9|2|4|5\n"
    "4|4|19|4|5\n"
    "4|5|20|3\n"
    "4|6|23|2\n"
    "4|7|0\n";

// Everything a schedule file holds: sizes, per job route and machines, per
// machine its job sequence.
struct Placement {
  int machines = 0, jobs = 0, orders = 0;
  std::vector<JobAssignment> routes;
  std::vector<std::vector<int>> sequences;
  bool operator==(const Placement&) const = default;
};

Placement placement(const SCH& s) {
  Placement p{s.n_machines, s.n_jobs, s.n_orders, {}, {}};
  if (!s.has_arrays()) return p;
  for (int j = 1; j <= s.n_jobs; ++j) {
    JobAssignment a{};
    s.read_job_assignment(j, a);
    p.routes.push_back(a);
  }
  for (int m = 1; m <= s.n_machines; ++m) {
    std::vector<int> seq;
    for (const TASK* t = s.machine_first[m]; t != nullptr; t = t->next_on_machine) {
      seq.push_back(t->job);
    }
    EXPECT_EQ(static_cast<int>(seq.size()), s.machine_count[m]) << "machine " << m;
    p.sequences.push_back(seq);
  }
  return p;
}

std::string replaced(std::string text, const std::string& from, const std::string& to) {
  const size_t at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  if (at != std::string::npos) text.replace(at, from.size(), to);
  return text;
}

TEST(ScheduleFileText, WritesSizesSequencesAndRoutes) {
  const Problem p = small_shop();
  ASSERT_EQ(p.N_Job, 7);
  // Machine 1 has a 2-line with count 0 and no 3-lines; job 7 (route 0) a
  // 4-line without machine fields.
  EXPECT_EQ(schedule_file_text(sample_schedule(p)), kSampleText);
}

TEST(ImportSch, RoundTripReproducesSequencesAndRoutesWhateverTheTarget) {
  const Problem p = small_shop();
  const SCH original = sample_schedule(p);
  TempDir dir;
  const std::string path = dir.file("plan.sch");
  ASSERT_EQ(write_schedule_file(path, original), kFileDone);

  // An empty target is filled by a full copy; a target of the same problem
  // reuses its nodes, also when its jobs' routes are longer or shorter.
  std::vector<JobAssignment> other(8, JobAssignment{});
  for (int j = 1; j <= 3; ++j) other[j] = {10, 1, 3, 0, 0};
  other[5] = {19, 4, 5, 0, 0};
  other[7] = {23, 1, 0, 0, 0};
  std::vector<CountedList> other_mw = {{0}, {4, 7, 3, 2, 1}, {0}, {3, 1, 2, 3}, {1, 5}, {1, 5}};
  SCH filled;
  filled.build_from_assignment(p.N_Order, p.N_Job, p.N_Machine, other, other_mw);
  struct Case {
    const char* name;
    SCH target;
  };
  Case cases[] = {{"empty target", SCH{}}, {"target with other placement", filled}};
  for (Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string error = "stale";
    ASSERT_EQ(import_sch(c.target, path, p, &error), kFileDone) << error;
    EXPECT_TRUE(error.empty());
    EXPECT_EQ(same_sequences(c.target, original), 1);
    EXPECT_EQ(placement(c.target), placement(original));
    EXPECT_EQ(schedule_file_text(c.target), kSampleText);
  }
}

TEST(ImportSch, ToleratesTheLinesTheReaderSkipsOrConvertsLeniently) {
  const Problem p = small_shop();
  const Placement expected = placement(sample_schedule(p));
  const std::string long_line = "2|1|0" + std::string(125, ' ');
  struct Case {
    const char* name;
    std::string text;
  };
  std::string crlf;
  for (char c : kSampleText) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
  const Case cases[] = {
      {"CR LF line ends", crlf},
      {"no line end after the last line", kSampleText.substr(0, kSampleText.size() - 1)},
      {"leading zeros, blanks, signs and trailing non-digits",
       replaced(
           replaced(replaced(kSampleText, "1|5|7|3\n", "001|5|7|3\n"), "2|2|4\n", " 2| +2|  4\n"),
           "3|6\n", "3|6abc\n")},
      {"empty, 's', shop and unknown lines are ignored",
       replaced(kSampleText, "2|3|2\n", "\ns\n100|0|10|0|0\n0|4|4\n9|1|1\n2|3|2\n")},
      {"fields after the fourth machine field are ignored",
       replaced(kSampleText, "4|6|23|2\n", "4|6|23|2|3|4|5|99|x\n")},
      {"a line longer than 124 characters ends reading", kSampleText + long_line + "\n2|9|9\n"},
      {"shop data and 's' line in front, as in a released file",
       "001|5|3|2\n100|0|10|0|0\n140|0|0|1|20\n200|0|900|0|3|40|0|2|0\ns\n" + kSampleText},
  };
  TempDir dir;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SCH target;
    std::string error;
    ASSERT_EQ(import_sch(target, dir.write("in.sch", c.text), p, &error), kFileDone) << error;
    EXPECT_EQ(placement(target), expected);
  }
}

TEST(ImportSch, RejectsMalformedOrInconsistentFilesAndLeavesTargetUnchanged) {
  const Problem p = small_shop();
  const SCH original = sample_schedule(p);
  const std::string& s = kSampleText;
  struct Case {
    const char* name;
    std::string text;
    std::string error;  // expected start of the error description
  };
  const Case cases[] = {
      {"no 1-line", "", "no 1-line"},
      {"machine above count", replaced(s, "2|1|0\n", "2|6|0\n"),
       "line 2: machine index 6 above the machine count 5"},
      {"machine below 1", replaced(s, "2|1|0\n", "2|0|0\n"), "line 2: machine index 0 below 1"},
      {"negative job count", replaced(s, "2|1|0\n", "2|1|-1\n"), "line 2: negative job count"},
      {"machine started twice", replaced(s, "2|1|0\n", "2|1|0\n2|1|0\n"),
       "line 3: machine 1 already started on line 2"},
      {"3-line before any 2-line", replaced(s, "1|5|7|3\n", "1|5|7|3\n3|1\n"),
       "line 2: 3-line without a 2-line"},
      {"more 3-lines than the count", replaced(s, "3|5\n3|2\n", "3|5\n3|2\n3|6\n"),
       "line 11: more 3-lines than the count 2 of machine 3"},
      {"3-line job above count", replaced(s, "3|6\n", "3|8\n"),
       "line 4: job index 8 above the job count 7"},
      {"3-line job below 1", replaced(s, "3|6\n", "3|-6\n"), "line 4: job index -6 below 1"},
      {"job listed twice on a machine", replaced(s, "3|1\n3|3\n2|3", "3|6\n3|3\n2|3"),
       "line 6: job 6 listed twice on machine 2 (also on line 4)"},
      {"4-line job above count", replaced(s, "4|7|0\n", "4|8|0\n"),
       "line 25: job index 8 above the job count 7"},
      {"4-line job below 1", replaced(s, "4|7|0\n", "4|0|0\n"), "line 25: job index 0 below 1"},
      {"route 27", replaced(s, "4|7|0\n", "4|7|27\n"), "line 25: route 27 out of range"},
      {"negative route", replaced(s, "4|7|0\n", "4|7|-1\n"), "line 25: route -1 out of range"},
      {"step machine above count", replaced(s, "4|5|20|3\n", "4|5|20|9\n"),
       "line 23: machine index 9 above the machine count 5"},
      {"step machine below 1", replaced(s, "4|5|20|3\n", "4|5|20|0\n"),
       "line 23: machine index 0 below 1"},
      {"fewer machines than route steps", replaced(s, "4|1|9|2|4|5\n", "4|1|9|2|4\n"),
       "line 19: route 9 of job 1 has 3 steps but the line names 2 machines"},
      {"job given twice", replaced(s, "4|7|0\n", "4|7|0\n4|7|0\n"),
       "line 26: job 7 already given on line 25"},
      {"job without a 4-line", replaced(s, "4|6|23|2\n", ""), "job 6 has no 4-line"},
      {"fewer 3-lines than the count", replaced(s, "2|3|2\n3|5\n3|2\n", "2|3|2\n3|5\n"),
       "line 8: machine 3 has 1 3-lines for its count 2"},
      {"listed on a machine the route does not use", replaced(s, "4|6|23|2\n", "4|6|23|1\n"),
       "line 4: job 6 is listed on machine 2 but its 4-line has no step there"},
      {"route step on a machine that does not list the job", replaced(s, "4|7|0\n", "4|7|23|1\n"),
       "line 25: step 1 of job 7 is on machine 1 but the machine's sequence does not list"},
      {"route not feasible for the order", replaced(s, "4|6|23|2\n", "4|6|9|2|4|5\n"),
       "line 24: route 9 is not feasible for job 6 of order 3"},
      {"machine outside the step's group", replaced(s, "4|5|20|3\n", "4|5|20|4\n"),
       "line 23: machine 4 of step 1 of job 5 is not in machine group 6 of route 20"},
      {"machine count differs from the problem", replaced(s, "1|5|7|3\n", "1|6|7|3\n"),
       "line 1: sizes 6 machines, 7 jobs, 3 orders differ from the problem's 5, 7, 3"},
      {"order count differs from the problem", replaced(s, "1|5|7|3\n", "1|5|7|4\n"),
       "line 1: sizes 5 machines, 7 jobs, 4 orders differ"},
      {"a later 1-line discards what came before", s + "1|5|7|3\n", "job 1 has no 4-line"},
      {"a long line ends reading before the 4-lines",
       replaced(s, "4|1|9", std::string(125, '3') + "\n4|1|9"), "job 1 has no 4-line"},
  };
  TempDir dir;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SCH target = original;
    std::string error;
    EXPECT_EQ(import_sch(target, dir.write("bad.sch", c.text), p, &error), kFileFormatError);
    EXPECT_EQ(error.rfind(c.error, 0), 0u) << error;
    EXPECT_EQ(error.find('\n'), std::string::npos);
    EXPECT_EQ(placement(target), placement(original));
  }
}

TEST(ImportSch, ChecksRoutesAndMachinesAgainstTheOrder) {
  const Problem p = problem_from_text(kStepFourShop);
  ASSERT_EQ(p.N_Job, 1);
  struct Case {
    const char* name;
    std::string text;
    int result;
    std::string error;
  };
  const Case cases[] = {
      {"route 26 on an allowed machine", "1|2|1|1\n2|1|1\n3|1\n2|2|0\n4|1|26|1\n", kFileDone, ""},
      {"route 27", "1|2|1|1\n2|1|1\n3|1\n2|2|0\n4|1|27|1\n", kFileFormatError,
       "line 5: route 27 out of range 0..26"},
      {"machine of the group the order does not allow", "1|2|1|1\n2|1|0\n2|2|1\n3|1\n4|1|26|2\n",
       kFileFormatError, "line 5: machine 2 of step 1 of job 1 is not allowed for order 1"},
  };
  TempDir dir;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SCH target;
    std::string error;
    EXPECT_EQ(import_sch(target, dir.write("in.sch", c.text), p, &error), c.result);
    EXPECT_EQ(error, c.error);
    if (c.result == kFileDone) {
      JobAssignment a{};
      ASSERT_EQ(target.read_job_assignment(1, a), 1);
      EXPECT_EQ(a[0], 26);
      EXPECT_EQ(a[1], 1);
    }
  }
}

TEST(ImportSch, RefusesAFileOfAnotherSizeThanTheTarget) {
  const Problem p = small_shop();
  const Problem step_four = problem_from_text(kStepFourShop);
  TempDir dir;
  const std::string path = dir.write("plan.sch", kSampleText);
  // The file fits the problem, but assign_from reuses the target's arrays,
  // which were made for another problem.
  SCH target;
  ASSERT_EQ(import_sch(target, dir.write("small.sch", "1|2|1|1\n2|1|1\n3|1\n2|2|0\n4|1|26|1\n"),
                       step_four),
            kFileDone);
  const Placement before = placement(target);
  std::string error;
  EXPECT_EQ(import_sch(target, path, p, &error), kFileFormatError);
  EXPECT_EQ(error, "line 1: sizes 5 machines, 7 jobs differ from the schedule's 2, 1");
  EXPECT_EQ(placement(target), before);

  Problem released = small_shop();
  released.release_problem();  // counts stay, records are gone
  SCH empty;
  EXPECT_EQ(import_sch(empty, path, released, &error), kFileFormatError);
  EXPECT_EQ(error, "no problem loaded");
}

TEST(ImportSch, UnreadableFileGivesMinusOne) {
  const Problem p = small_shop();
  TempDir dir;
  for (const std::string& path : {dir.file("missing.sch"), dir.file("")}) {
    SCOPED_TRACE(path);
    SCH target = sample_schedule(p);
    std::string error;
    EXPECT_EQ(import_sch(target, path, p, &error), kFileCannotOpen);
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(placement(target), placement(sample_schedule(p)));
  }
}

// --------------------------------------------------------------- released

TEST(ReleasedScheduleText, WritesShopInInputFormThenTheSchedule) {
  const Problem p = problem_from_text(kStepFourShop);
  std::vector<JobAssignment> ja = {{}, {26, 1, 0, 0, 0}};
  std::vector<CountedList> mw = {{0}, {1, 1}, {0}};
  SCH s;
  s.build_from_assignment(p.N_Order, p.N_Job, p.N_Machine, ja, mw);
  // Numbers 0-based in the shop part, due time before earliest start in the
  // 200 line, 1-based in the schedule part.
  EXPECT_EQ(released_schedule_text(s, p),
            "001|2|1|1\n"
            "100|0|5|3|3\n110|0|1\n120|0|0|1000\n130|0|1\n140|0|0|0|0\n"
            "100|1|5|3|3\n110|1|1\n120|1|0|1000\n130|1|1\n140|1|0|0|0\n"
            "200|0|500|20|1|10|3|3|0\n210|0|1\n220|0|3|3|0\n"
            "s\n"
            "1|2|1|1\n2|1|1\n3|1\n2|2|0\n4|1|26|1\n");
}

void expect_same_shop(const Problem& a, const Problem& b) {
  ASSERT_EQ(a.N_Machine, b.N_Machine);
  ASSERT_EQ(a.N_Order, b.N_Order);
  ASSERT_EQ(a.N_SetupType, b.N_SetupType);
  ASSERT_EQ(a.N_Job, b.N_Job);
  for (int m = 1; m <= a.N_Machine; ++m) {
    SCOPED_TRACE("machine " + std::to_string(m));
    const MACHINE& x = a.Machines[m];
    const MACHINE& y = b.Machines[m];
    EXPECT_EQ(x.ID, y.ID);
    EXPECT_EQ(x.Speed, y.Speed);
    EXPECT_EQ(x.StartStep, y.StartStep);
    EXPECT_EQ(x.EndStep, y.EndStep);
    EXPECT_EQ(x.group, y.group);
    ASSERT_EQ(x.N_Cal, y.N_Cal);
    for (int k = 1; k <= x.N_Cal; ++k) {
      EXPECT_EQ(x.calendar[k].ST, y.calendar[k].ST);
      EXPECT_EQ(x.calendar[k].ET, y.calendar[k].ET);
    }
    for (int from = 1; from <= a.N_SetupType; ++from) {
      for (int to = 1; to <= a.N_SetupType; ++to) {
        // A -1 entry cannot be written and reads back as a pair without a line: 0.
        const int expected = x.setup_time[from][to] == -1 ? 0 : x.setup_time[from][to];
        EXPECT_EQ(y.setup_time[from][to], expected) << from << "->" << to;
      }
    }
  }
  for (int o = 1; o <= a.N_Order; ++o) {
    SCOPED_TRACE("order " + std::to_string(o));
    const ORDER& x = a.Orders[o];
    const ORDER& y = b.Orders[o];
    EXPECT_EQ(x.ID, y.ID);
    EXPECT_EQ(x.CET, y.CET);
    EXPECT_EQ(x.CST, y.CST);
    EXPECT_EQ(x.NJob, y.NJob);
    EXPECT_EQ(x.SJob, y.SJob);
    EXPECT_EQ(x.StartStep, y.StartStep);
    EXPECT_EQ(x.EndStep, y.EndStep);
    EXPECT_EQ(x.SetupType, y.SetupType);
    EXPECT_EQ(x.R_feasible, y.R_feasible);
    ASSERT_EQ(x.N_Step, y.N_Step);
    for (int k = 1; k <= x.N_Step; ++k) {
      EXPECT_EQ(x.steps[k].SS, y.steps[k].SS);
      EXPECT_EQ(x.steps[k].ES, y.steps[k].ES);
      EXPECT_EQ(x.steps[k].M_ID, y.steps[k].M_ID);
    }
  }
}

// Number of 140 lines of each machine (0-based machine field) in a text.
std::vector<int> setup_lines_per_machine(const std::string& text, int machines) {
  std::vector<int> count(static_cast<size_t>(machines), 0);
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    if (line.rfind("140|", 0) == 0) ++count[std::stoul(line.substr(4))];
  }
  return count;
}

TEST(ReleasedScheduleText, PassesTheCheckerAndReloadsShopAndSchedule) {
  // small_shop gives machine 4 one setup line and the others two, fewer than
  // the 2 x 2 lines the release writes for every machine. The 130 line
  // announces the lines actually written, or the checker would refuse the
  // file with "Extra setup item".
  const Problem p = small_shop();
  const SCH schedule = sample_schedule(p);
  const std::string text = released_schedule_text(schedule, p);
  std::istringstream check_in(text);
  InputCheckLists lists;
  EXPECT_EQ(check_input_stream(check_in, lists), kCheckClean)
      << (lists.errors.empty() ? "" : lists.errors.front());

  const Problem reloaded = problem_from_text(text);
  expect_same_shop(p, reloaded);
  const std::vector<int> lines = setup_lines_per_machine(text, p.N_Machine);
  for (int m = 1; m <= p.N_Machine; ++m) {
    EXPECT_EQ(lines[m - 1], 4) << "machine " << m;
    EXPECT_EQ(reloaded.Machines[m].N_Set, lines[m - 1]) << "machine " << m;
  }

  // The rescheduler's way: load through the check gate, then import the
  // schedule part of the same file for the loaded problem.
  TempDir dir;
  const std::string path = dir.write("released.rsf", text);
  Problem loaded;
  ScriptedUi ui;
  ASSERT_EQ(load_input_file(loaded, ui, path), kLoadDone);
  EXPECT_TRUE(ui.reviews.empty());
  EXPECT_TRUE(ui.messages.empty());
  expect_same_shop(p, loaded);
  SCH imported;
  std::string error;
  ASSERT_EQ(import_sch(imported, path, loaded, &error), kFileDone) << error;
  EXPECT_EQ(same_sequences(imported, schedule), 1);
  EXPECT_EQ(placement(imported), placement(schedule));
}

TEST(ReleasedScheduleText, SetupBlocksStayLoadableWhateverTheMatrixHolds) {
  struct Case {
    const char* name;
    std::function<void(SetupMatrix&)> change;
    int lines;  // 140 lines written for machine 1
  };
  const Case cases[] = {
      {"-1 entries are left out", [](SetupMatrix& s) { s[1][2] = -1; }, 3},
      // Without the single zero line the block would announce 0 lines,
      // which the checker refuses ("Zero setup elements").
      {"all entries -1",
       [](SetupMatrix& s) {
         for (int i = 1; i <= 2; ++i)
           for (int t = 1; t <= 2; ++t) s[i][t] = -1;
       },
       1},
      {"no matrix at all", [](SetupMatrix& s) { s = SetupMatrix{}; }, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Problem p = small_shop();
    c.change(p.Machines[1].setup_time);
    const std::string text = released_schedule_text(sample_schedule(p), p);
    std::istringstream check_in(text);
    InputCheckLists lists;
    EXPECT_EQ(check_input_stream(check_in, lists), kCheckClean)
        << (lists.errors.empty() ? "" : lists.errors.front());
    const Problem reloaded = problem_from_text(text);
    EXPECT_EQ(setup_lines_per_machine(text, p.N_Machine)[0], c.lines);
    EXPECT_EQ(reloaded.Machines[1].N_Set, c.lines);
    if (!p.Machines[1].setup_time.empty()) expect_same_shop(p, reloaded);
  }
}

// ---------------------------------------------------------- files, dialogs

TEST(ReplaceExtension, CutsFromTheLastDotOfTheFileName) {
  const std::pair<std::string, std::string> cases[] = {
      {"plan.txt", "plan.sch"},
      {"plan", "plan.sch"},
      {"plan.", "plan.sch"},
      {"a.b.c", "a.b.sch"},
      {"/x/y.v2/plan", "/x/y.v2/plan.sch"},
      {"C:\\y.v2\\plan.txt", "C:\\y.v2\\plan.sch"},
  };
  for (const auto& [name, expected] : cases) EXPECT_EQ(replace_extension(name, ".sch"), expected);
}

struct SaveAction {
  const char* name;
  std::function<int(const SCH&, const Problem&, UserInterface&, const std::string&)> run;
  std::string filter;
  std::string default_name;
  std::string extension;
  std::function<std::string(const SCH&, const Problem&)> text;
};

std::vector<SaveAction> save_actions() {
  return {
      {"export",
       [](const SCH& s, const Problem&, UserInterface& ui, const std::string& folder) {
         return export_sch(s, ui, folder);
       },
       "Schedule file (*.sch)|*.sch", "exp_sch.sch", ".sch",
       [](const SCH& s, const Problem&) { return schedule_file_text(s); }},
      {"release",
       [](const SCH& s, const Problem& p, UserInterface& ui, const std::string& folder) {
         return release(s, p, ui, folder);
       },
       "Released schedule file (*.rsf)|*.rsf", "release_sch.rsf", ".rsf",
       [](const SCH& s, const Problem& p) { return released_schedule_text(s, p); }},
  };
}

TEST(SaveDialogs, CancelWritesNothingAndProposesTheDefaultName) {
  const Problem p = small_shop();
  const SCH s = sample_schedule(p);
  for (const SaveAction& a : save_actions()) {
    SCOPED_TRACE(a.name);
    TempDir dir;
    const std::string folder = dir.file("app");
    std::filesystem::create_directory(folder);
    ScriptedUi ui;  // no path scripted: the dialog is cancelled
    EXPECT_EQ(a.run(s, p, ui, folder), kFileFormatError);
    ASSERT_EQ(ui.dialogs.size(), 1u);
    EXPECT_EQ(ui.dialogs[0].filter, a.filter);
    EXPECT_EQ(ui.dialogs[0].initial_folder, folder);
    EXPECT_EQ(ui.dialogs[0].file_name, folder + "/" + a.default_name);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_TRUE(std::filesystem::is_empty(folder));
  }
}

TEST(SaveDialogs, WriteUnderTheChosenNameWithTheExtensionReplaced) {
  const Problem p = small_shop();
  const SCH s = sample_schedule(p);
  for (const SaveAction& a : save_actions()) {
    for (const std::string chosen : {"plan.txt", "plan"}) {
      SCOPED_TRACE(std::string(a.name) + " " + chosen);
      TempDir dir;
      ScriptedUi ui;
      ui.paths.push_back(dir.file(chosen));
      EXPECT_EQ(a.run(s, p, ui, dir.file("")), kFileDone);
      std::string written;
      ASSERT_TRUE(read_text_file(dir.file("plan" + a.extension), written));
      EXPECT_EQ(written, a.text(s, p));
      EXPECT_FALSE(std::filesystem::exists(dir.file("plan.txt")));
      EXPECT_TRUE(ui.messages.empty());
    }
  }
}

TEST(SaveDialogs, UnwritableTargetGivesMinusOneAndLeavesNothingBehind) {
  const Problem p = small_shop();
  const SCH s = sample_schedule(p);
  for (const SaveAction& a : save_actions()) {
    SCOPED_TRACE(a.name);
    TempDir dir;
    // A folder that does not exist, and a name taken by a folder.
    std::filesystem::create_directory(dir.file("busy" + a.extension));
    for (const std::string& chosen : {dir.file("missing/plan"), dir.file("busy")}) {
      ScriptedUi ui;
      ui.paths.push_back(chosen);
      EXPECT_EQ(a.run(s, p, ui, dir.file("")), kFileCannotOpen) << chosen;
      EXPECT_TRUE(ui.messages.empty());
    }
    std::vector<std::string> left;
    for (const auto& e : std::filesystem::directory_iterator(dir.file(""))) {
      left.push_back(e.path().filename().string());
    }
    EXPECT_EQ(left, std::vector<std::string>{"busy" + a.extension});
    EXPECT_TRUE(std::filesystem::is_empty(dir.file("busy" + a.extension)));
  }
}

}  // namespace
}  // namespace vema
