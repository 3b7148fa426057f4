#include "generator/generator_parameters.h"

#include <climits>

namespace vema {
namespace {

using P = GeneratorParameters;
using F = GeneratorField;

constexpr const char* kDeviationLabel = "Max. deviation:";
constexpr const char* kDeviationMessage =
    " The value of the Max. deviation field is out of the range! It must be in [0 - 100].";

// Window order; each entry's position equals its GeneratorField value.
const std::array<GeneratorFieldRule, kGeneratorFieldCount> kRules = {{
    {F::kSetupTypes, "Num. of setup types:", "setup-types", &P::setup_types, IntRange{1, 100},
     IntRange{1, 100},
     " The value of the Num. of setup types field is out of the range! It must be in [1 - 100].",
     "4"},
    {F::kSetupAverage, "Average setup time:", "setup-time", &P::setup_average, IntRange{0, 100},
     IntRange{0, 100},
     " The value of the Average setup time field is out of the range! It must be in [0 - 100].",
     "30"},
    {F::kSetupDeviation, kDeviationLabel, "setup-time-deviation", &P::setup_deviation,
     IntRange{0, 99}, IntRange{0, 100},
     " The value of the Max. deviation of setup time field is out of the range! It must be in "
     "[0 - 100].",
     "20"},
    {F::kMachinesAverage, "Average num. of parallel machines in a group:", "machines-per-group",
     &P::machines_average, IntRange{0, 100}, IntRange{0, 100},
     " The value of the Average num. of parallel machines in a group field is out of the range! "
     "It must be in [0 - 100].",
     "4"},
    {F::kMachinesDeviation, kDeviationLabel, "machines-per-group-deviation", &P::machines_deviation,
     IntRange{0, 100}, IntRange{0, 100}, kDeviationMessage, "20"},
    {F::kSpeedAverage, "Average machine speed:", "machine-speed", &P::speed_average,
     IntRange{1, 100}, IntRange{1, 100},
     " The value of the Average machine speed field is out of the range! It must be in [1 - "
     "100].",
     "10"},
    {F::kSpeedDeviation, kDeviationLabel, "machine-speed-deviation", &P::speed_deviation,
     IntRange{1, 100}, IntRange{0, 100},
     " The value of the Max. deviation of machine speed field is out of the range! It must be in "
     "[1 - 100].",
     "20"},
    {F::kCalendarCount, "Num. of calendar elements:", "calendar-elements", &P::calendar_count,
     IntRange{1, 100}, IntRange{1, 100},
     " The value of the Num. of calendar elements field is out of the range! It must be in [1 - "
     "100].",
     "12"},
    {F::kFirstStartLimit, "Max. start time of the first calendar element:", "first-start-max",
     &P::first_start_limit, IntRange{0, 10000}, IntRange{0, 10000},
     " The value of the Max. start time of the first calendar element field is out of the range! "
     "It must be in [0 - 10000].",
     "400"},
    {F::kAvailabilityAverage, "Average length of machine availability intervals:",
     "availability-length", &P::availability_average, IntRange{1, 10000}, IntRange{1, 10000},
     " The value of the Average length of machine availability intervals field is out of the "
     "range! It must be in [1 - 10000].",
     "1000"},
    {F::kAvailabilityDeviation, kDeviationLabel, "availability-length-deviation",
     &P::availability_deviation, IntRange{0, 99}, IntRange{0, 100},
     " The value of the Max. deviation of machine availability time field is out of the range! "
     "It must be in [0 - 100].",
     "20"},
    {F::kGapAverage, "Average length of machine unavailability intervals:", "unavailability-length",
     &P::gap_average, IntRange{1, 10000}, IntRange{1, 10000},
     " The value of the Average length of machine unavailability intervals field is out of the "
     "range! It must be in [1 - 10000].",
     "100"},
    {F::kGapDeviation, kDeviationLabel, "unavailability-length-deviation", &P::gap_deviation,
     IntRange{0, 99}, IntRange{0, 100},
     " The value of the Max. deviation of machine unavailability time field is out of the range! "
     "It must be in [0 - 100].",
     "20"},
    {F::kOrdersAverage, "Average num. of  prod. orders with EXE type:", "orders-per-type",
     &P::orders_average, IntRange{1, 10000}, IntRange{1, 100},
     " The value of the Average num. of prod. orders with EXE type field is out of the range! It "
     "must be in [1 - 100].",
     "40"},
    {F::kOrdersDeviation, kDeviationLabel, "orders-per-type-deviation", &P::orders_deviation,
     std::nullopt, IntRange{0, 100}, kDeviationMessage, "20"},
    {F::kJobsAverage, "Average num. of the jobs of a prod. order: ", "jobs-per-order",
     &P::jobs_average, IntRange{1, 10000}, IntRange{1, 100},
     " The value of the Average num. of the jobs of a prod. ordres field is out of the range! It "
     "must be in [1 - 100].",
     "6"},
    {F::kJobsDeviation, kDeviationLabel, "jobs-per-order-deviation", &P::jobs_deviation,
     std::nullopt, IntRange{0, 100}, kDeviationMessage, "20"},
    {F::kSizeAverage, "Average num. of the product of a jobs:", "job-size", &P::size_average,
     IntRange{1, 10000}, IntRange{1, 1000},
     " The value of the Average num. of the product of a jobs field is out of the range! It must "
     "be in [1 - 1000].",
     "200"},
    {F::kSizeDeviation, kDeviationLabel, "job-size-deviation", &P::size_deviation, std::nullopt,
     IntRange{0, 100}, kDeviationMessage, "20"},
    {F::kStartLimitAverage, "Average value of the constraint start times:", "start-time",
     &P::start_limit_average, IntRange{0, 10000}, IntRange{0, 10000},
     " The value of the Constraint start times field is out of the range! It must be in [0 - "
     "10000].",
     "400"},
    {F::kStartLimitDeviation, kDeviationLabel, "start-time-deviation", &P::start_limit_deviation,
     std::nullopt, IntRange{0, 100}, kDeviationMessage, "20"},
    {F::kWindowAverage, "Average value of the constraint time windows:", "time-window",
     &P::window_average, IntRange{0, 32000}, IntRange{0, 10000},
     " The value of the Constraint time windows field is out of the range! It must be in [0 - "
     "10000].",
     "4000"},
    {F::kWindowDeviation, kDeviationLabel, "time-window-deviation", &P::window_deviation,
     IntRange{0, 100}, IntRange{0, 100}, kDeviationMessage, "20"},
    {F::kMachineRequirements, "Special machine requirements:", "machine-requirements",
     &P::machine_requirements, IntRange{1, 10}, IntRange{1, 10},
     " The value of the Special machine requirements field is out of the range! It must be in [1 "
     "- 10].",
     "10"},
}};

}  // namespace

const std::array<GeneratorFieldRule, kGeneratorFieldCount>& generator_field_rules() {
  return kRules;
}

const GeneratorFieldRule& generator_field_rule(GeneratorField field) {
  return kRules[static_cast<size_t>(field)];
}

std::string default_field_text(GeneratorField field) {
  return std::to_string(GeneratorParameters{}.*generator_field_rule(field).value);
}

int field_text_value(const std::string& text) {
  if (text.empty()) return -1;
  long long value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return -1;
    value = value * 10 + (c - '0');
    if (value > INT_MAX) return -1;
  }
  return static_cast<int>(value);
}

std::string typed_field_text(GeneratorField field, const std::string& text) {
  const GeneratorFieldRule& rule = generator_field_rule(field);
  if (!rule.typing) return text;
  // A non-digit reads as -1, which no typing range contains.
  return rule.typing->contains(field_text_value(text)) ? text : std::string();
}

std::optional<FieldRefusal> check_field_on_leaving(GeneratorField field, const std::string& text) {
  const GeneratorFieldRule& rule = generator_field_rule(field);
  if (rule.leaving.contains(field_text_value(text))) return std::nullopt;
  return FieldRefusal{rule.message, rule.text_after_message};
}

std::vector<std::string> validate_generator_parameters(const GeneratorParameters& parameters) {
  std::vector<std::string> messages;
  for (const GeneratorFieldRule& rule : kRules) {
    if (!rule.leaving.contains(parameters.*rule.value)) messages.emplace_back(rule.message);
  }
  return messages;
}

}  // namespace vema
