#include "generator/generator.h"

#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "common/text_file.h"
#include "fixed_clock.h"
#include "problem/input_checker.h"
#include "problem/input_reader.h"
#include "scripted_ui.h"
#include "temp_dir.h"

namespace vema {
namespace {

using testing::FixedClock;
using testing::ScriptedUi;
using testing::TempDir;

// A save dialog that also reports a scripted filter entry.
class FilterUi : public ScriptedUi {
 public:
  int filter = 1;
  std::optional<SaveFileChoice> save_file_choice(const FileDialogRequest& request) override {
    std::optional<std::string> path = save_file(request);
    if (!path) return std::nullopt;
    return SaveFileChoice{*path, filter};
  }
};

GeneratedProblem generate(const GeneratorParameters& p, uint64_t seed,
                          GenerationMethod method = GenerationMethod::kBasic) {
  FixedClock clock;
  Random rng(clock);
  rng.set_fixed_seed(seed);
  return generate_problem(p, method, rng);
}

// Every parameter that varies a count set so that counts are exact.
GeneratorParameters fixed_counts(int machines_per_group, int orders_per_type) {
  GeneratorParameters p;
  p.machines_average = machines_per_group;
  p.machines_deviation = 0;
  p.orders_average = orders_per_type;
  p.orders_deviation = 0;
  return p;
}

std::vector<std::string> lines_of(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::vector<int> fields_of(const std::string& line) {
  std::vector<int> fields;
  std::istringstream in(line);
  for (std::string field; std::getline(in, field, '|');) fields.push_back(std::stoi(field));
  return fields;
}

// Lines of the text whose identifier is id, as fields.
std::vector<std::vector<int>> lines_with_id(const std::string& text, int id) {
  std::vector<std::vector<int>> found;
  for (const std::string& line : lines_of(text)) {
    std::vector<int> f = fields_of(line);
    if (f[0] == id) found.push_back(std::move(f));
  }
  return found;
}

int check_text(const std::string& text, InputCheckLists& lists) {
  std::istringstream in(text);
  return check_input_stream(in, lists);
}

std::string first_error(const InputCheckLists& lists) {
  return lists.errors.empty() ? std::string() : lists.errors.front();
}

// The problem read back from the text holds exactly the generated records.
void expect_reads_back(const GeneratedProblem& g, const std::string& text) {
  std::istringstream in(text);
  Problem p;
  ASSERT_TRUE(read_input(in, p));
  ASSERT_EQ(p.N_Machine, g.N_Machine);
  ASSERT_EQ(p.N_Order, g.N_Order);
  EXPECT_EQ(p.N_SetupType, g.N_SetupType);
  EXPECT_EQ(p.N_Job, g.jobs());
  for (int m = 1; m <= g.N_Machine; ++m) {
    const MACHINE& a = g.Machines[m];
    const MACHINE& b = p.Machines[m];
    EXPECT_EQ(b.Speed, a.Speed);
    EXPECT_EQ(b.StartStep, a.StartStep);
    EXPECT_EQ(b.EndStep, a.EndStep);
    EXPECT_EQ(b.group, a.group);
    ASSERT_EQ(b.N_Cal, a.N_Cal);
    for (int i = 1; i <= a.N_Cal; ++i) {
      EXPECT_EQ(b.calendar[i].ST, a.calendar[i].ST);
      EXPECT_EQ(b.calendar[i].ET, a.calendar[i].ET);
    }
    EXPECT_EQ(b.N_Set, g.N_SetupType * g.N_SetupType);
    for (int from = 1; from <= g.N_SetupType; ++from) {
      for (int to = 1; to <= g.N_SetupType; ++to) {
        EXPECT_EQ(b.setup_time[from][to], a.setup_time[from][to]);
      }
    }
  }
  for (int o = 1; o <= g.N_Order; ++o) {
    const ORDER& a = g.Orders[o];
    const ORDER& b = p.Orders[o];
    EXPECT_EQ(b.CET, a.CET);
    EXPECT_EQ(b.CST, a.CST);
    EXPECT_EQ(b.NJob, a.NJob);
    EXPECT_EQ(b.SJob, a.SJob);
    EXPECT_EQ(b.StartStep, a.StartStep);
    EXPECT_EQ(b.EndStep, a.EndStep);
    EXPECT_EQ(b.ExeType, a.ExeType);
    EXPECT_EQ(b.SetupType, a.SetupType);
    ASSERT_EQ(b.N_Step, a.N_Step);
    for (int k = 1; k <= a.N_Step; ++k) {
      EXPECT_EQ(b.steps[k].SS, a.steps[k].SS);
      EXPECT_EQ(b.steps[k].ES, a.steps[k].ES);
      EXPECT_EQ(b.steps[k].M_ID, a.steps[k].M_ID);
    }
  }
}

// ---------------------------------------------------------------- spread

struct SpreadCase {
  int a, d;
  int lo, hi;  // every value in lo..hi is drawn, nothing else
  int draws;   // values taken from the generator per call (0 or 1)
};

TEST(Spread, DrawsEveryValueOfItsRangeAndNothingElse) {
  const SpreadCase cases[] = {
      {7, 0, 7, 7, 0},          {5, 10, 5, 5, 0},      {4, 20, 4, 4, 0},
      {0, 100, 0, 0, 0},        {10, 20, 8, 12, 1},    {12, 20, 10, 14, 1},
      {13, 20, 11, 16, 1},  // x = 2.6: h = 2, w = 5
      {1000, 20, 800, 1200, 1}, {100, 100, 0, 200, 1}, {1, 100, 0, 2, 1},
      {1100, 80, 220, 1980, 1},
  };
  FixedClock clock;
  for (const SpreadCase& c : cases) {
    SCOPED_TRACE("spread(" + std::to_string(c.a) + ", " + std::to_string(c.d) + ")");
    Random rng(clock);
    rng.seed(42);
    std::set<int> seen;
    for (int i = 0; i < 20000; ++i) seen.insert(spread(rng, c.a, c.d));
    EXPECT_EQ(*seen.begin(), c.lo);
    EXPECT_EQ(*seen.rbegin(), c.hi);
    EXPECT_EQ(seen.size(), static_cast<size_t>(c.hi - c.lo + 1));

    // A call without variation leaves the sequence untouched; one with
    // variation takes exactly one value.
    Random copy = rng;
    spread(rng, c.a, c.d);
    for (int k = 0; k < c.draws; ++k) copy.next();
    EXPECT_EQ(rng.next(), copy.next());
  }
}

// ---------------------------------------------------------------- parameters

struct FieldCase {
  GeneratorField field;
  int default_value;
  int lo, hi;  // leaving range
  const char* message;
  const char* text_after;
};

const char* const kDeviation =
    " The value of the Max. deviation field is out of the range! It must be in [0 - 100].";

const FieldCase kFieldCases[] = {
    {GeneratorField::kSetupTypes, 4, 1, 100,
     " The value of the Num. of setup types field is out of the range! It must be in [1 - 100].",
     "4"},
    {GeneratorField::kSetupAverage, 50, 0, 100,
     " The value of the Average setup time field is out of the range! It must be in [0 - 100].",
     "30"},
    {GeneratorField::kSetupDeviation, 20, 0, 100,
     " The value of the Max. deviation of setup time field is out of the range! It must be in [0 "
     "- 100].",
     "20"},
    {GeneratorField::kMachinesAverage, 12, 0, 100,
     " The value of the Average num. of parallel machines in a group field is out of the range! "
     "It must be in [0 - 100].",
     "4"},
    {GeneratorField::kMachinesDeviation, 20, 0, 100, kDeviation, "20"},
    {GeneratorField::kSpeedAverage, 10, 1, 100,
     " The value of the Average machine speed field is out of the range! It must be in [1 - 100].",
     "10"},
    {GeneratorField::kSpeedDeviation, 20, 0, 100,
     " The value of the Max. deviation of machine speed field is out of the range! It must be in "
     "[1 - 100].",
     "20"},
    {GeneratorField::kCalendarCount, 10, 1, 100,
     " The value of the Num. of calendar elements field is out of the range! It must be in [1 - "
     "100].",
     "12"},
    {GeneratorField::kFirstStartLimit, 400, 0, 10000,
     " The value of the Max. start time of the first calendar element field is out of the range! "
     "It must be in [0 - 10000].",
     "400"},
    {GeneratorField::kAvailabilityAverage, 1000, 1, 10000,
     " The value of the Average length of machine availability intervals field is out of the "
     "range! It must be in [1 - 10000].",
     "1000"},
    {GeneratorField::kAvailabilityDeviation, 20, 0, 100,
     " The value of the Max. deviation of machine availability time field is out of the range! It "
     "must be in [0 - 100].",
     "20"},
    {GeneratorField::kGapAverage, 100, 1, 10000,
     " The value of the Average length of machine unavailability intervals field is out of the "
     "range! It must be in [1 - 10000].",
     "100"},
    {GeneratorField::kGapDeviation, 20, 0, 100,
     " The value of the Max. deviation of machine unavailability time field is out of the range! "
     "It must be in [0 - 100].",
     "20"},
    {GeneratorField::kOrdersAverage, 40, 1, 100,
     " The value of the Average num. of prod. orders with EXE type field is out of the range! It "
     "must be in [1 - 100].",
     "40"},
    {GeneratorField::kOrdersDeviation, 20, 0, 100, kDeviation, "20"},
    {GeneratorField::kJobsAverage, 10, 1, 100,
     " The value of the Average num. of the jobs of a prod. ordres field is out of the range! It "
     "must be in [1 - 100].",
     "6"},
    {GeneratorField::kJobsDeviation, 20, 0, 100, kDeviation, "20"},
    {GeneratorField::kSizeAverage, 200, 1, 1000,
     " The value of the Average num. of the product of a jobs field is out of the range! It must "
     "be in [1 - 1000].",
     "200"},
    {GeneratorField::kSizeDeviation, 20, 0, 100, kDeviation, "20"},
    {GeneratorField::kStartLimitAverage, 300, 0, 10000,
     " The value of the Constraint start times field is out of the range! It must be in [0 - "
     "10000].",
     "400"},
    {GeneratorField::kStartLimitDeviation, 20, 0, 100, kDeviation, "20"},
    {GeneratorField::kWindowAverage, 1100, 0, 10000,
     " The value of the Constraint time windows field is out of the range! It must be in [0 - "
     "10000].",
     "4000"},
    {GeneratorField::kWindowDeviation, 80, 0, 100, kDeviation, "20"},
    {GeneratorField::kMachineRequirements, 4, 1, 10,
     " The value of the Special machine requirements field is out of the range! It must be in [1 "
     "- 10].",
     "10"},
};

TEST(GeneratorParameters, EveryFieldHasItsDefaultLeavingRangeAndMessage) {
  ASSERT_EQ(std::size(kFieldCases), static_cast<size_t>(kGeneratorFieldCount));
  EXPECT_TRUE(validate_generator_parameters(GeneratorParameters{}).empty());
  for (const FieldCase& c : kFieldCases) {
    const GeneratorFieldRule& rule = generator_field_rule(c.field);
    SCOPED_TRACE(std::string(rule.label) + " / --" + rule.option);
    EXPECT_EQ(GeneratorParameters{}.*rule.value, c.default_value);
    EXPECT_EQ(default_field_text(c.field), std::to_string(c.default_value));

    // On leaving the field: the ends of the range pass, everything else is
    // refused with the field's message and its text put back.
    EXPECT_FALSE(check_field_on_leaving(c.field, std::to_string(c.lo)));
    EXPECT_FALSE(check_field_on_leaving(c.field, std::to_string(c.hi)));
    const std::string refused[] = {std::to_string(c.hi + 1), "", "x", "-1",
                                   c.lo > 0 ? std::to_string(c.lo - 1) : "1e2"};
    for (const std::string& text : refused) {
      const std::optional<FieldRefusal> r = check_field_on_leaving(c.field, text);
      ASSERT_TRUE(r) << "'" << text << "'";
      EXPECT_EQ(r->message, c.message);
      EXPECT_EQ(r->text_after, c.text_after);
    }

    // The same range on a record, as the command line checks it.
    for (const int value : {c.lo - 1, c.hi + 1}) {
      GeneratorParameters p;
      p.*rule.value = value;
      EXPECT_EQ(validate_generator_parameters(p), std::vector<std::string>{c.message}) << value;
    }
  }
}

TEST(GeneratorParameters, TypingEmptiesTextsOutsideTheTypingRange) {
  struct Case {
    GeneratorField field;
    const char* typed;
    const char* kept;
  };
  using F = GeneratorField;
  const Case cases[] = {
      {F::kSetupTypes, "a", ""},
      {F::kSetupTypes, "12a", ""},
      {F::kSetupTypes, "0", ""},
      {F::kSetupTypes, "100", "100"},
      {F::kSetupTypes, "101", ""},
      {F::kSetupTypes, "", ""},
      {F::kSetupAverage, "0", "0"},
      {F::kSetupAverage, "99999999999", ""},  // beyond int reads as -1
      // Three deviations stop at 99 while typing although 100 passes on leaving.
      {F::kSetupDeviation, "99", "99"},
      {F::kSetupDeviation, "100", ""},
      {F::kAvailabilityDeviation, "100", ""},
      {F::kGapDeviation, "100", ""},
      {F::kGapDeviation, "0", "0"},
      {F::kMachinesDeviation, "100", "100"},
      // The speed deviation refuses 0 while typing although leaving accepts it.
      {F::kSpeedDeviation, "0", ""},
      {F::kSpeedDeviation, "1", "1"},
      // Wider while typing than on leaving.
      {F::kJobsAverage, "500", "500"},
      {F::kJobsAverage, "10001", ""},
      {F::kOrdersAverage, "10000", "10000"},
      {F::kSizeAverage, "5000", "5000"},
      {F::kWindowAverage, "32000", "32000"},
      {F::kWindowAverage, "32001", ""},
      {F::kWindowDeviation, "100", "100"},
      {F::kMachineRequirements, "10", "10"},
      {F::kMachineRequirements, "11", ""},
      // The four order deviations have no typing range: any text stays.
      {F::kOrdersDeviation, "abc", "abc"},
      {F::kJobsDeviation, "-5", "-5"},
      {F::kSizeDeviation, "", ""},
      {F::kStartLimitDeviation, "1000", "1000"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(typed_field_text(c.field, c.typed), c.kept)
        << generator_field_rule(c.field).option << " typed '" << c.typed << "'";
  }
  // A value kept while typing can still be refused on leaving.
  EXPECT_TRUE(check_field_on_leaving(F::kJobsAverage, "500"));
}

TEST(GeneratorParameters, FieldTextsReadAsDigitsOnly) {
  const std::pair<const char*, int> cases[] = {
      {"0", 0},           {"007", 7}, {"2147483647", INT_MAX},
      {"2147483648", -1}, {"", -1},   {"+5", -1},
      {" 5", -1},         {"5 ", -1}, {"-3", -1},
      {"1.5", -1},
  };
  for (const auto& [text, value] : cases) EXPECT_EQ(field_text_value(text), value) << text;
}

// ---------------------------------------------------------------- generation

TEST(GenerateProblem, DefaultFilesPassTheCheckerAndReadBackAsWritten) {
  for (uint64_t seed = 1; seed <= 10; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    const GeneratedProblem g = generate(GeneratorParameters{}, seed);
    const std::string text = input_file_text(g);
    EXPECT_EQ(
        text.rfind("001|" + std::to_string(g.N_Machine) + "|" + std::to_string(g.N_Order) + "|4\n",
                   0),
        0u);
    InputCheckLists lists;
    EXPECT_EQ(check_text(text, lists), kCheckClean) << first_error(lists);
    expect_reads_back(g, text);
  }
}

// Each quantity is drawn from its own parameters: with the defaults every
// value lies in the range that spread of its levels allows.
TEST(GenerateProblem, DefaultDrawsStayWithinTheirRanges) {
  for (uint64_t seed = 1; seed <= 5; ++seed) {
    const GeneratedProblem g = generate(GeneratorParameters{}, seed);
    std::array<int, kGroups + 1> per_group{};
    int last_group = 1;
    for (int m = 1; m <= g.N_Machine; ++m) {
      const MACHINE& machine = g.Machines[m];
      ++per_group[machine.group];
      EXPECT_GE(machine.group, last_group);  // group by group
      last_group = machine.group;
      EXPECT_EQ(group_code(machine.StartStep, machine.EndStep), machine.group);
      EXPECT_GE(machine.Speed, 7);  // group speed 8..12, then +-20 %
      EXPECT_LE(machine.Speed, 14);
      ASSERT_EQ(machine.N_Cal, 10);
      EXPECT_LT(machine.calendar[1].ST, 400);
      for (int i = 1; i <= machine.N_Cal; ++i) {
        const int length = machine.calendar[i].ET - machine.calendar[i].ST;
        EXPECT_GE(length, 800);
        EXPECT_LE(length, 1200);
        if (i > 1) {
          const int gap = machine.calendar[i].ST - machine.calendar[i - 1].ET;
          EXPECT_GE(gap, 80);
          EXPECT_LE(gap, 120);
        }
      }
      for (int from = 1; from <= 4; ++from) {
        for (int to = 1; to <= 4; ++to) {
          const int s = machine.setup_time[from][to];
          if (from == to) {
            EXPECT_EQ(s, 0);
          } else {
            EXPECT_GE(s, 40);
            EXPECT_LE(s, 60);
          }
        }
      }
    }
    for (int grp = 1; grp <= kGroups; ++grp) {
      EXPECT_GE(per_group[grp], 10);
      EXPECT_LE(per_group[grp], 14);
    }
    std::array<int, kGroups + 1> per_type{};
    int last_type = 1;
    for (int o = 1; o <= g.N_Order; ++o) {
      const ORDER& order = g.Orders[o];
      ++per_type[order.ExeType];
      EXPECT_GE(order.ExeType, last_type);  // type by type
      last_type = order.ExeType;
      EXPECT_EQ(group_code(order.StartStep, order.EndStep), order.ExeType);
      EXPECT_GE(order.NJob, 7);  // level 8..12, then +-20 %
      EXPECT_LE(order.NJob, 14);
      EXPECT_GE(order.SJob, 128);  // level 160..240, then +-20 %
      EXPECT_LE(order.SJob, 288);
      EXPECT_GE(order.SetupType, 1);
      EXPECT_LE(order.SetupType, 4);
      EXPECT_LT(order.CST, 360);  // start limit 240..360
      EXPECT_GE(order.CET - order.CST, 220);
      EXPECT_LE(order.CET - order.CST, 1980);
    }
    for (int t = 1; t <= kGroups; ++t) {
      EXPECT_GE(per_type[t], 32);
      EXPECT_LE(per_type[t], 48);
    }
  }
}

TEST(GenerateProblem, SmallShopsPassTheCheckerOverManySeeds) {
  struct Case {
    const char* name;
    GeneratorParameters p;
    GenerationMethod method;
  };
  std::vector<Case> cases;
  {
    GeneratorParameters p = fixed_counts(2, 3);
    p.setup_types = 1;
    cases.push_back({"two machines a group, one setup type", p, GenerationMethod::kBasic});
  }
  {
    GeneratorParameters p;
    p.machines_average = 4;
    p.machines_deviation = 50;
    p.orders_average = 5;
    p.orders_deviation = 50;
    p.setup_types = 7;
    p.machine_requirements = 10;
    cases.push_back({"varying counts, R = 10", p, GenerationMethod::kBasic});
  }
  {
    GeneratorParameters p = fixed_counts(3, 6);
    p.first_start_limit = 0;
    p.start_limit_average = 0;
    p.machine_requirements = 1;
    cases.push_back({"zero start limits, R = 1", p, GenerationMethod::kBasic});
  }
  {
    GeneratorParameters p = fixed_counts(5, 20);
    cases.push_back({"one stage", p, GenerationMethod::kOneStage});
  }
  for (const Case& c : cases) {
    for (uint64_t seed = 1; seed <= 30; ++seed) {
      SCOPED_TRACE(std::string(c.name) + ", seed " + std::to_string(seed));
      const GeneratedProblem g = generate(c.p, seed, c.method);
      const std::string text = input_file_text(g);
      InputCheckLists lists;
      ASSERT_EQ(check_text(text, lists), kCheckClean) << first_error(lists);
      expect_reads_back(g, text);
    }
  }
}

TEST(GenerateProblem, StepEntriesFollowTheMachineRequirement) {
  struct Case {
    int R;
    int machines_average, machines_deviation;
  };
  const Case cases[] = {{1, 6, 0}, {10, 6, 0}, {1, 1, 100}, {10, 1, 100}, {4, 1, 100}};
  for (const Case& c : cases) {
    GeneratorParameters p = fixed_counts(c.machines_average, 3);
    p.machines_deviation = c.machines_deviation;
    p.machine_requirements = c.R;
    bool single_choice_seen = false;
    for (uint64_t seed = 1; seed <= 10; ++seed) {
      SCOPED_TRACE("R " + std::to_string(c.R) + ", machines " + std::to_string(c.machines_average) +
                   " +-" + std::to_string(c.machines_deviation) + " %, seed " +
                   std::to_string(seed));
      const GeneratedProblem g = generate(p, seed);
      std::array<int, kGroups + 1> group_size{};
      for (int m = 1; m <= g.N_Machine; ++m) ++group_size[g.Machines[m].group];
      for (int o = 1; o <= g.N_Order; ++o) {
        const ORDER& order = g.Orders[o];
        std::array<int, kGroups + 1> listed{};
        int last_machine = 0;
        for (int k = 1; k <= order.N_Step; ++k) {
          const ORDER_STEP& step = order.steps[k];
          const MACHINE& machine = g.Machines[step.M_ID];
          EXPECT_GT(step.M_ID, last_machine);  // ascending: group by group, in list order
          last_machine = step.M_ID;
          EXPECT_EQ(step.SS, machine.StartStep);
          EXPECT_EQ(step.ES, machine.EndStep);
          ++listed[machine.group];
        }
        for (int grp = 1; grp <= kGroups; ++grp) {
          if (group_size[grp] == 0) continue;  // an empty group lists nothing
          EXPECT_GE(listed[grp], 1) << "order " << o << " group " << grp;
          if (c.R == 1) {
            EXPECT_EQ(listed[grp], group_size[grp]);
          }
          if (group_size[grp] > 1 && listed[grp] == 1) single_choice_seen = true;
        }
      }
    }
    // Under R = 10 a group of several machines often lists only its guaranteed one.
    if (c.R == 10 && c.machines_deviation == 0) {
      EXPECT_TRUE(single_choice_seen);
    }
    if (c.R == 1) {
      EXPECT_FALSE(single_choice_seen);
    }
  }
}

TEST(GenerateProblem, OneSetupTypeWritesOneZeroSetupLinePerMachine) {
  GeneratorParameters p = fixed_counts(2, 2);
  p.setup_types = 1;
  const GeneratedProblem g = generate(p, 3);
  const std::string text = input_file_text(g);
  const auto setups = lines_with_id(text, 140);
  ASSERT_EQ(setups.size(), 20u);
  for (size_t m = 0; m < setups.size(); ++m) {
    EXPECT_EQ(setups[m], (std::vector<int>{140, static_cast<int>(m), 0, 0, 0}));
  }
  for (const auto& line : lines_with_id(text, 130)) EXPECT_EQ(line[2], 1);
  const auto orders = lines_with_id(text, 200);
  ASSERT_EQ(orders.size(), 20u);
  for (const auto& line : orders) EXPECT_EQ(line[8], 0);
  InputCheckLists lists;
  EXPECT_EQ(check_text(text, lists), kCheckClean) << first_error(lists);
}

TEST(GenerateProblem, FileLayoutFollowsTheInputFormat) {
  GeneratorParameters p = fixed_counts(1, 1);
  p.setup_types = 2;
  p.calendar_count = 2;
  const GeneratedProblem g = generate(p, 5);
  const std::vector<std::string> lines = lines_of(input_file_text(g));
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines[0], "001|10|10|2");
  // Per machine: 100, 110, two 120, 130, four 140; per order: 200, 210, ten 220.
  std::vector<int> ids;
  for (size_t i = 1; i < lines.size(); ++i) ids.push_back(fields_of(lines[i])[0]);
  std::vector<int> expected;
  for (int m = 0; m < 10; ++m) {
    expected.insert(expected.end(), {100, 110, 120, 120, 130, 140, 140, 140, 140});
  }
  for (int o = 0; o < 10; ++o) {
    expected.insert(expected.end(), {200, 210});
    expected.insert(expected.end(), 10, 220);  // one machine per group, all ten groups
  }
  EXPECT_EQ(ids, expected);
  // Machine 3 is the only machine of group 3 (step 3 in the file's numbering 2).
  EXPECT_EQ(lines_with_id(input_file_text(g), 100)[2],
            (std::vector<int>{100, 2, g.Machines[3].Speed, 2, 2}));
  const auto pairs = lines_with_id(input_file_text(g), 140);
  EXPECT_EQ(std::vector<int>(pairs[1].begin(), pairs[1].begin() + 4),
            (std::vector<int>{140, 0, 0, 1}));  // from-major order
  EXPECT_EQ(std::vector<int>(pairs[2].begin(), pairs[2].begin() + 4),
            (std::vector<int>{140, 0, 1, 0}));
  // Order 10 has execution type 10: steps 0..3; its setup type is 0-based.
  const auto order = lines_with_id(input_file_text(g), 200)[9];
  EXPECT_EQ(order[1], 9);
  EXPECT_EQ(order[2], g.Orders[10].CET);
  EXPECT_EQ(order[3], g.Orders[10].CST);
  EXPECT_EQ(order[6], 0);
  EXPECT_EQ(order[7], 3);
  EXPECT_EQ(order[8], g.Orders[10].SetupType - 1);
}

TEST(GenerateProblem, OneStageHasExactCountsOnStepOne) {
  GeneratorParameters p;
  p.machines_average = 3;
  p.machines_deviation = 100;  // ignored for the count by this method
  p.orders_average = 5;
  p.orders_deviation = 100;
  for (uint64_t seed = 1; seed <= 10; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    const std::string text = input_file_text(generate(p, seed, GenerationMethod::kOneStage));
    EXPECT_EQ(lines_of(text)[0], "001|3|5|4");
    const auto machines = lines_with_id(text, 100);
    ASSERT_EQ(machines.size(), 3u);
    for (const auto& m : machines) {
      EXPECT_EQ(m[3], 0);
      EXPECT_EQ(m[4], 0);
    }
    const auto orders = lines_with_id(text, 200);
    ASSERT_EQ(orders.size(), 5u);
    for (const auto& o : orders) {
      EXPECT_EQ(o[6], 0);
      EXPECT_EQ(o[7], 0);
    }
    for (const auto& n : lines_with_id(text, 210)) {
      EXPECT_GE(n[2], 1);
      EXPECT_LE(n[2], 3);
    }
    for (const auto& step : lines_with_id(text, 220)) {
      EXPECT_EQ(step[2], 0);
      EXPECT_EQ(step[3], 0);
      EXPECT_LE(step[4], 2);
    }
  }
}

TEST(GenerateProblem, ZeroLimitsStartEverythingAtZero) {
  GeneratorParameters p = fixed_counts(2, 2);
  p.first_start_limit = 0;
  p.start_limit_average = 0;
  p.start_limit_deviation = 100;
  const GeneratedProblem g = generate(p, 8);
  for (int m = 1; m <= g.N_Machine; ++m) EXPECT_EQ(g.Machines[m].calendar[1].ST, 0);
  for (int o = 1; o <= g.N_Order; ++o) EXPECT_EQ(g.Orders[o].CST, 0);
}

TEST(GenerateProblem, EachGenerationSeedsFromTheClock) {
  FixedClock clock;
  Random rng(clock);
  const std::string first =
      input_file_text(generate_problem(fixed_counts(2, 2), GenerationMethod::kBasic, rng));
  rng.next();  // whatever was drawn in between does not matter
  const std::string same_second =
      input_file_text(generate_problem(fixed_counts(2, 2), GenerationMethod::kBasic, rng));
  EXPECT_EQ(first, same_second);
  clock.advance(1);
  const std::string next_second =
      input_file_text(generate_problem(fixed_counts(2, 2), GenerationMethod::kBasic, rng));
  EXPECT_NE(first, next_second);
  // A fixed seed replaces the clock.
  rng.set_fixed_seed(77);
  const std::string fixed =
      input_file_text(generate_problem(fixed_counts(2, 2), GenerationMethod::kBasic, rng));
  clock.advance(1);
  EXPECT_EQ(fixed,
            input_file_text(generate_problem(fixed_counts(2, 2), GenerationMethod::kBasic, rng)));
}

// Extreme values inside the ranges: the generator keeps its algorithm and
// never fails; what the checker refuses it reports as list entries.
TEST(GenerateProblem, ExtremeParametersAreReportedByTheChecker) {
  struct Case {
    const char* name;
    GeneratorParameters p;
    GenerationMethod method;
    std::vector<std::string> allowed;  // prefixes of the errors that may occur
    bool some_refused;                 // at least one seed gives errors
    uint64_t seeds = 20;
  };
  std::vector<Case> cases;
  {
    GeneratorParameters p;
    p.machines_average = 3;
    p.orders_average = 3;
    p.setup_deviation = p.machines_deviation = p.speed_deviation = 100;
    p.availability_deviation = p.gap_deviation = 100;
    p.orders_deviation = p.jobs_deviation = p.size_deviation = 100;
    p.start_limit_deviation = p.window_deviation = 100;
    p.speed_average = 1;
    p.availability_average = 1;
    p.gap_average = 1;
    p.jobs_average = 1;
    p.size_average = 1;
    cases.push_back({"100 % deviations of small averages",
                     p,
                     GenerationMethod::kBasic,
                     {"Zero Speed of Machine ", "Invalid calendar item at Machine ",
                      "Overlapped calendar item at Machine ",
                      "Out of range Number of Jobs: ", "Out of range Size of Jobs: "},
                     true});
  }
  {
    GeneratorParameters p;
    p.machines_average = 0;
    p.orders_average = 2;
    cases.push_back({"no machines",
                     p,
                     GenerationMethod::kBasic,
                     {"Value is out of range: 0 (in 2. field) -> line_1"},
                     true});
    cases.push_back({"one stage, no machines",
                     p,
                     GenerationMethod::kOneStage,
                     {"Value is out of range: 0 (in 2. field) -> line_1"},
                     true});
  }
  {
    GeneratorParameters p;  // every upper end, with few machines and orders
    p.setup_types = 100;
    p.setup_average = 100;
    p.setup_deviation = 100;
    p.machines_average = 1;
    p.speed_average = 100;
    p.speed_deviation = 100;
    p.calendar_count = 100;
    p.first_start_limit = 10000;
    p.availability_average = p.gap_average = 10000;
    p.availability_deviation = p.gap_deviation = 100;
    p.orders_average = 1;
    p.orders_deviation = 100;
    p.jobs_average = 100;
    p.jobs_deviation = 100;
    p.size_average = 1000;
    p.size_deviation = 100;
    p.start_limit_average = p.window_average = 10000;
    p.start_limit_deviation = p.window_deviation = 100;
    p.machine_requirements = 10;
    cases.push_back({"upper ends",
                     p,
                     GenerationMethod::kBasic,
                     {"Zero Speed of Machine ", "Invalid calendar item at Machine ",
                      "Overlapped calendar item at Machine ",
                      "Out of range Number of Jobs: ", "Out of range Size of Jobs: "},
                     false,
                     3});
  }
  for (const Case& c : cases) {
    bool refused = false;
    for (uint64_t seed = 1; seed <= c.seeds; ++seed) {
      SCOPED_TRACE(std::string(c.name) + ", seed " + std::to_string(seed));
      const GeneratedProblem g = generate(c.p, seed, c.method);
      const std::string text = input_file_text(g);
      InputCheckLists lists;
      const int result = check_text(text, lists);
      for (const std::string& error : lists.errors) {
        bool known = false;
        for (const std::string& prefix : c.allowed) known = known || error.rfind(prefix, 0) == 0;
        EXPECT_TRUE(known) << error;
      }
      for (const std::string& warning : lists.warnings) {
        EXPECT_EQ(warning.rfind("Zero Time Window of Order ", 0), 0u) << warning;
      }
      if (result == kCheckErrors) {
        refused = true;
      } else {
        expect_reads_back(g, text);
      }
    }
    if (c.some_refused) {
      EXPECT_TRUE(refused) << c.name;
    }
  }
}

// ---------------------------------------------------------------- output file

TEST(BasicOutputName, ReplacesTheExtensionByTheSelectedFilter) {
  struct Case {
    const char* chosen;
    int filter;
    const char* written;
  };
  const Case cases[] = {
      {"/data/prob.txt", 1, "/data/prob.sif"},
      {"/data/prob.txt", 2, "/data/prob.txt"},
      {"/data/prob.sif", 2, "/data/prob.txt"},
      {"/data/prob", 1, "/data/prob.sif"},
      {"/data/prob", 2, "/data/prob.txt"},
      {"/data/prob.tar.gz", 1, "/data/prob.tar.sif"},
      {"/data/v1.2/prob", 1, "/data/v1.2/prob.sif"},
      {"C:\\v1.2\\prob", 2, "C:\\v1.2\\prob.txt"},
      {"prob.", 1, "prob.sif"},
      {"prob.SIF", 1, "prob.sif"},
  };
  for (const Case& c : cases) EXPECT_EQ(basic_output_name(c.chosen, c.filter), c.written);
}

TEST(GenerateBasic, AsksForTheFileAndWritesItUnderTheFilterExtension) {
  TempDir dir;
  std::filesystem::create_directories(dir.file("v1.2"));
  struct Case {
    const char* chosen;
    int filter;
    const char* written;
  };
  const Case cases[] = {
      {"prob.txt", 1, "prob.sif"},
      {"prob.dat", 2, "prob.txt"},
      {"v1.2/prob", 1, "v1.2/prob.sif"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.chosen);
    FixedClock clock;
    Random rng(clock);
    FilterUi ui;
    ui.filter = c.filter;
    ui.paths.push_back(dir.file(c.chosen));
    GenerationReport report;
    ASSERT_EQ(generate_basic(fixed_counts(2, 2), rng, ui, dir.file(""), &report), kGenerateDone);
    ASSERT_EQ(ui.dialogs.size(), 1u);
    EXPECT_EQ(ui.dialogs[0].filter, "Scheduling input file (*.sif)|*.sif|Text file (*.txt)|*.txt");
    EXPECT_EQ(ui.dialogs[0].initial_folder, dir.file(""));
    EXPECT_EQ(std::filesystem::path(ui.dialogs[0].file_name),
              std::filesystem::path(dir.file("")) / "input_data.txt");
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(report.path, dir.file(c.written));
    EXPECT_EQ(report.machines, 20);
    EXPECT_EQ(report.orders, 20);
    EXPECT_EQ(report.setup_types, 4);
    InputCheckLists lists;
    EXPECT_EQ(check_input(dir.file(c.written), lists), kCheckClean) << first_error(lists);
    if (std::string(c.chosen) != c.written) {
      EXPECT_FALSE(std::filesystem::exists(dir.file(c.chosen)));
    }
  }
}

TEST(GenerateOneStage, UsesTheChosenNameUnchanged) {
  TempDir dir;
  FixedClock clock;
  Random rng(clock);
  FilterUi ui;
  ui.filter = 2;
  ui.paths.push_back(dir.file("one.dat"));
  GenerationReport report;
  ASSERT_EQ(generate_one_stage(fixed_counts(3, 5), rng, ui, dir.file(""), &report), kGenerateDone);
  EXPECT_EQ(report.path, dir.file("one.dat"));
  ASSERT_EQ(ui.dialogs.size(), 1u);
  EXPECT_EQ(std::filesystem::path(ui.dialogs[0].file_name).filename(), "input_data.txt");
  std::string text;
  ASSERT_TRUE(read_text_file(dir.file("one.dat"), text));
  EXPECT_EQ(lines_of(text)[0], "001|3|5|4");
  int jobs = 0;
  for (const auto& order : lines_with_id(text, 200)) jobs += order[4];
  EXPECT_EQ(report.jobs, jobs);
}

TEST(GenerateBasic, CancelledOrUnwritableFilesGiveTheirResultsSilently) {
  TempDir dir;
  FixedClock clock;
  Random rng(clock);
  const GeneratorParameters p = fixed_counts(1, 1);

  ScriptedUi cancel;  // no scripted path: the dialog is cancelled
  EXPECT_EQ(generate_basic(p, rng, cancel, dir.file(""), nullptr), kGenerateCancelled);
  EXPECT_EQ(generate_one_stage(p, rng, cancel, dir.file(""), nullptr), kGenerateCancelled);
  EXPECT_TRUE(std::filesystem::is_empty(dir.file("")));

  ScriptedUi missing_folder;
  missing_folder.paths.push_back(dir.file("no/such/folder/p.sif"));
  EXPECT_EQ(generate_basic(p, rng, missing_folder, dir.file(""), nullptr), kGenerateNotOpened);
  EXPECT_TRUE(missing_folder.messages.empty());

  // A target that cannot be replaced (a folder) stays as it was, with no
  // temporary file left beside it.
  std::filesystem::create_directories(dir.file("taken.sif"));
  ScriptedUi taken;
  taken.paths.push_back(dir.file("taken.sif"));
  EXPECT_EQ(generate_basic(p, rng, taken, dir.file(""), nullptr), kGenerateNotOpened);
  EXPECT_TRUE(std::filesystem::is_directory(dir.file("taken.sif")));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.file("")),
                          std::filesystem::directory_iterator()),
            1);
}

}  // namespace
}  // namespace vema
