// Parameters of the problem generator: one record holding the defaults of the
// "Problem Generator" window, and the field checks the window and the command
// line share.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace vema {

// The values of the window's edit fields, read when a generation starts.
// Deviations are in percent.
struct GeneratorParameters {
  // "Machine" page
  int setup_types = 4;  // S
  int setup_average = 50;
  int setup_deviation = 20;
  int machines_average = 12;  // parallel machines per machine group
  int machines_deviation = 20;
  int speed_average = 10;
  int speed_deviation = 20;
  int calendar_count = 10;      // availability intervals per machine
  int first_start_limit = 400;  // the first interval starts below this
  int availability_average = 1000;
  int availability_deviation = 20;
  int gap_average = 100;  // unavailability between two intervals
  int gap_deviation = 20;
  // "Order" page
  int orders_average = 40;  // orders per execution type
  int orders_deviation = 20;
  int jobs_average = 10;  // jobs per order
  int jobs_deviation = 20;
  int size_average = 200;  // products per job
  int size_deviation = 20;
  int start_limit_average = 300;  // an order's constrained start lies below this
  int start_limit_deviation = 20;
  int window_average = 1100;  // constrained end minus constrained start
  int window_deviation = 80;
  int machine_requirements = 4;  // R: 1 = orders accept every machine, 10 = about one per group
};

// The fields in window order: the "Machine" page top to bottom, then the
// "Order" page; a deviation follows the average it belongs to.
enum class GeneratorField {
  kSetupTypes,
  kSetupAverage,
  kSetupDeviation,
  kMachinesAverage,
  kMachinesDeviation,
  kSpeedAverage,
  kSpeedDeviation,
  kCalendarCount,
  kFirstStartLimit,
  kAvailabilityAverage,
  kAvailabilityDeviation,
  kGapAverage,
  kGapDeviation,
  kOrdersAverage,
  kOrdersDeviation,
  kJobsAverage,
  kJobsDeviation,
  kSizeAverage,
  kSizeDeviation,
  kStartLimitAverage,
  kStartLimitDeviation,
  kWindowAverage,
  kWindowDeviation,
  kMachineRequirements,
};
inline constexpr int kGeneratorFieldCount = 24;

struct IntRange {
  int min = 0;
  int max = 0;
  bool contains(int value) const { return value >= min && value <= max; }
};

// How one field is labelled, named on the command line and checked.
struct GeneratorFieldRule {
  GeneratorField field;
  const char* label;   // the window's label ("Max. deviation:" for every deviation)
  const char* option;  // command-line option name without the leading "--"
  int GeneratorParameters::*value;
  std::optional<IntRange> typing;  // checked after every change; none: any text
  IntRange leaving;                // checked when the field is left
  const char* message;             // shown when the leaving check fails
  const char* text_after_message;  // the field's text after that message
};

// The rules of all fields in window order.
const std::array<GeneratorFieldRule, kGeneratorFieldCount>& generator_field_rules();
const GeneratorFieldRule& generator_field_rule(GeneratorField field);

// The text a field starts with (its default value in decimal).
std::string default_field_text(GeneratorField field);

// A field text as a number: digits 0-9 only, else -1 (also for an empty text
// and for digits beyond the int range).
int field_text_value(const std::string& text);

// The check after every change of a field's text: the text to keep, which is
// the text itself or "" when it holds a non-digit or a value outside the
// typing range. Fields without a typing range keep any text.
std::string typed_field_text(GeneratorField field, const std::string& text);

// A refused value: the message to show and the text the field gets.
struct FieldRefusal {
  std::string message;
  std::string text_after;
};

// The check when a field is left; no value when the text is accepted.
std::optional<FieldRefusal> check_field_on_leaving(GeneratorField field, const std::string& text);

// Checks every value of the record against its leaving range. Returns the
// messages of the refused fields in window order; empty when all are accepted.
std::vector<std::string> validate_generator_parameters(const GeneratorParameters& parameters);

}  // namespace vema
