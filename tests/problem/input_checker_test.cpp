#include "problem/input_checker.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "temp_dir.h"

namespace vema {
namespace {

// A small valid file: machine 0 does steps 1-2, machine 1 steps 3-4, one
// order over all four steps.
const std::vector<std::string> kValid = {
    "1|2|1|2",                   // 1
    "100|0|10|0|1",              // 2
    "110|0|1",                   // 3
    "120|0|0|1000",              // 4
    "130|0|1",                   // 5
    "140|0|0|1|5",               // 6
    "100|1|5|2|3",               // 7
    "110|1|2",                   // 8
    "120|1|0|100",               // 9
    "120|1|200|1000",            // 10
    "130|1|2",                   // 11
    "140|1|0|1|5",               // 12
    "140|1|1|0|7",               // 13
    "200|0|500|100|3|10|0|3|0",  // 14
    "210|0|2",                   // 15
    "220|0|0|1|0",               // 16
    "220|0|2|3|1",               // 17
};

std::string join(const std::vector<std::string>& lines, const std::string& eol = "\n") {
  std::string text;
  for (const auto& l : lines) text += l + eol;
  return text;
}

// The valid file with line n (1-based) replaced; an empty replacement with
// remove set drops the line.
std::string with_line(int n, const std::string& text) {
  auto lines = kValid;
  lines[n - 1] = text;
  return join(lines);
}
std::string without_line(int n) {
  auto lines = kValid;
  lines.erase(lines.begin() + (n - 1));
  return join(lines);
}

struct CheckCase {
  std::string name;
  std::string text;
  std::vector<std::string> errors;
  std::vector<std::string> warnings;
  int result;
};

std::ostream& operator<<(std::ostream& os, const CheckCase& c) { return os << c.name; }

class CheckerCases : public ::testing::TestWithParam<CheckCase> {};

TEST_P(CheckerCases, GivesExactMessagesAndResult) {
  const CheckCase& c = GetParam();
  std::istringstream in(c.text);
  InputCheckLists lists;
  EXPECT_EQ(check_input_stream(in, lists), c.result);
  EXPECT_EQ(lists.errors, c.errors);
  EXPECT_EQ(lists.warnings, c.warnings);
}

const std::string kLong = "100|" + std::string(130, '0') + "|10|0|1";

INSTANTIATE_TEST_SUITE_P(
    Rules, CheckerCases,
    ::testing::Values(
        CheckCase{"Valid", join(kValid), {}, {}, kCheckClean},
        CheckCase{"ValidWithCrLf", join(kValid, "\r\n"), {}, {}, kCheckClean},
        CheckCase{"LastLineWithoutLineEnd",
                  join(kValid).substr(0, join(kValid).size() - 1),
                  {},
                  {},
                  kCheckClean},
        CheckCase{"SLineEndsData", join(kValid) + "s\n!!garbage|\x01\n", {}, {}, kCheckClean},
        CheckCase{"EmptyFile", "", {"Input file is empty. -> line_0"}, {}, kCheckErrors},
        CheckCase{
            "FirstLineIsS", "s\n1|2|1|2\n", {"Input file is empty. -> line_0"}, {}, kCheckErrors},
        CheckCase{"HeaderMissingField",
                  "1|3|2\n",
                  {"Missing field. -> line_1", "Value is out of range: 0 (in 4. field) -> line_1"},
                  {},
                  kCheckErrors},
        CheckCase{"TrailingBar",
                  with_line(1, "1|2|1|2|"),
                  {"Empty field. -> line_1", "Extra field. -> line_1"},
                  {},
                  kCheckErrors},
        CheckCase{"HeaderTooManyMachines",
                  "1|10001|1|1\n",
                  {"Value is out of range: 10001 (in 2. field) -> line_1"},
                  {},
                  kCheckErrors},
        CheckCase{"SecondHeader",
                  with_line(2, "001|2|1|2"),
                  {"Multiple declaration for line_ID = 1. -> line_2"},
                  {},
                  kCheckErrors},
        CheckCase{"FirstLineNotHeader",
                  "100|0|10|0|1\n",
                  {"Missing first line with 1 identifier. -> line_1"},
                  {},
                  kCheckErrors},
        CheckCase{"SpaceAtEnd",
                  with_line(2, "100|0|10|0|1 "),
                  {"Illegal character:   -> line_2"},
                  {},
                  kCheckErrors},
        CheckCase{"MinusSign",
                  with_line(4, "120|0|-5|1000"),
                  {"Illegal character: - -> line_4"},
                  {},
                  kCheckErrors},
        CheckCase{
            "RuleMessagesBeforeIllegalCharacter",
            with_line(2, "100|0|0|0|1x"),
            {"Zero Speed of Machine 0 (in 3. field) -> line_2", "Illegal character: x -> line_2"},
            {},
            kCheckErrors},
        CheckCase{"NulByte",
                  with_line(3, std::string("110|0|1\0", 8)),
                  {"Illegal character: \\x00 -> line_3"},
                  {},
                  kCheckErrors},
        CheckCase{"EmptyLine",
                  with_line(3, ""),
                  {"Illegal line identifier:  -> line_3"},
                  {},
                  kCheckErrors},
        CheckCase{"UnknownIdentifier",
                  with_line(3, "0150|0|1"),
                  {"Illegal line identifier: 0150 -> line_3"},
                  {},
                  kCheckErrors},
        CheckCase{"TouchingIntervals",
                  with_line(10, "120|1|100|1000"),
                  {"Overlapped calendar item at Machine 1 -> line_10"},
                  {},
                  kCheckErrors},
        CheckCase{"InvalidInterval",
                  with_line(4, "120|0|1000|1000"),
                  {"Invalid calendar item at Machine 0 -> line_4"},
                  {},
                  kCheckErrors},
        CheckCase{"NonZeroDiagonalSetup",
                  with_line(13, "140|1|1|1|5"),
                  {"Missing zero setup time at Machine 1 (in 5. field) -> line_13"},
                  {},
                  kCheckErrors},
        CheckCase{"ZeroTimeWindowIsOnlyAWarning",
                  with_line(14, "200|0|100|100|3|10|0|3|0"),
                  {},
                  {"Zero Time Window of Order 0 (in 3. or 4. field) -> line_14"},
                  kCheckWarnings},
        CheckCase{"MachineMismatchFirstStep",
                  with_line(17, "220|0|1|3|1"),
                  {"Machine mismatch at Order 0 (in 3. field) -> line_17"},
                  {},
                  kCheckErrors},
        CheckCase{"MachineMismatchLastStep",
                  with_line(17, "220|0|2|2|1"),
                  {"Machine mismatch at Order 0 (in 4. field) -> line_17"},
                  {},
                  kCheckErrors},
        CheckCase{"MissingSetupsReportedAtNextCalendar",
                  without_line(6),
                  {"Missing setup item at Machine 0 -> line_7"},
                  {},
                  kCheckErrors},
        CheckCase{"MissingSetupsOfLastMachineAtEnd",
                  without_line(13),
                  {"Missing Setup item at Machine 1. -> line_16"},
                  {},
                  kCheckErrors},
        CheckCase{"MissingStepAtEnd",
                  without_line(17),
                  {"Missing Step at Order 0. -> line_16"},
                  {},
                  kCheckErrors},
        CheckCase{"EmptyMachineIdIsOutOfRange",
                  with_line(3, "110||1"),
                  {"Empty field. -> line_3", "Out of range Machine_ID: -1 (in 2. field) -> line_3"},
                  {},
                  kCheckErrors},
        CheckCase{"EmptyStepIsOutOfRange",
                  with_line(2, "100|0|10||1"),
                  {"Empty field. -> line_2",
                   "Out of range StartStep at Machine 0 (in 4. field) -> line_2"},
                  {},
                  kCheckErrors},
        CheckCase{"EmptySetupTypeIsOutOfRange",
                  with_line(14, "200|0|500|100|3|10|0|3|"),
                  {"Empty field. -> line_14", "Out of range Setup_ID: -1 (in 9. field) -> line_14"},
                  {},
                  kCheckErrors},
        CheckCase{"EmptyStepEntryStep",
                  with_line(16, "220|0||1|0"),
                  {"Empty field. -> line_16",
                   "Out of range StartStep at Order 0 (in 3. field) -> line_16",
                   "Machine mismatch at Order 0 (in 3. field) -> line_16"},
                  {},
                  kCheckErrors},
        CheckCase{"MachineIdBeyond32Bits",
                  with_line(2, "100|99999999999|10|0|1"),
                  {"Out of range Machine_ID: 99999999999 (in 2. field) -> line_2"},
                  {},
                  kCheckErrors},
        CheckCase{"LongLineEndsData",
                  with_line(2, kLong),
                  {"Missing declaration of Machine 0. -> line_1",
                   "Missing declaration of Setup at Machine 0. -> line_1",
                   "Missing declaration of Calendar at Machine 0. -> line_1",
                   "Missing declaration of Machine 1. -> line_1",
                   "Missing declaration of Setup at Machine 1. -> line_1",
                   "Missing declaration of Calendar at Machine 1. -> line_1",
                   "Missing declaration of Order 0. -> line_1"},
                  {},
                  kCheckErrors},
        CheckCase{"StepEntryOfUndeclaredOrder",
                  "1|1|2|1\n100|0|1|0|0\n220|1|0|0|0\n",
                  {"Missing declaration of Order1. -> line_3"},
                  {},
                  kCheckErrors},
        CheckCase{"UndefinedMachineAtOrder",
                  "1|2|1|1\n100|0|1|0|0\n110|0|1\n120|0|0|10\n130|0|1\n140|0|0|0|0\n"
                  "200|0|50|0|1|1|0|0|0\n210|0|1\n220|0|0|0|1\n",
                  {"Undefined Machine 1 at Order 0 (in 5. field) -> line_9"},
                  {},
                  kCheckErrors},
        CheckCase{"OrderFieldRulesGoOn",
                  with_line(14, "200|0|500|100|0|0|3|0|0"),
                  {"Out of range Number of Jobs: 0 (in 5. field) -> line_14",
                   "Out of range Size of Jobs: 0 (in 6. field) -> line_14",
                   "Wrong Step_ID at Order 0 (in 7. or 8. field) -> line_14"},
                  {},
                  kCheckErrors},
        CheckCase{"ExtraCalendarItem",
                  with_line(5, "120|0|2000|3000"),
                  {"Extra calendar item at Machine 0 -> line_5"},
                  {},
                  kCheckErrors}),
    [](const ::testing::TestParamInfo<CheckCase>& p) { return p.param.name; });

TEST(CheckInput, FileThatDoesNotOpenGivesZeroAndNoMessages) {
  InputCheckLists lists;
  lists.errors.push_back("stale");
  EXPECT_EQ(check_input("/nonexistent/dir/problem.sif", lists), kCheckNotOpened);
  EXPECT_TRUE(lists.errors.empty());
  EXPECT_TRUE(lists.warnings.empty());
}

TEST(CheckInput, ExamplesGiveTheirResults) {
  InputCheckLists lists;
  EXPECT_EQ(check_input(VEMA_SOURCE_DIR "/examples/small_shop.sif", lists), kCheckClean);
  EXPECT_EQ(check_input(VEMA_SOURCE_DIR "/examples/warnings_only.sif", lists), kCheckWarnings);
  EXPECT_EQ(check_input(VEMA_SOURCE_DIR "/examples/with_errors.sif", lists), kCheckErrors);
  EXPECT_GE(lists.errors.size(), 3u);
}

// Guards against reading past the line buffer or the field table on hostile input.
TEST(CheckInput, SurvivesArbitraryBytes) {
  std::string junk;
  for (int i = 0; i < 5000; ++i) junk.push_back(static_cast<char>((i * 7919) % 256));
  for (const std::string& text :
       {junk, "1|1|1|1\n" + junk, std::string(1 << 20, '|'), "1|1|1|1\n" + std::string(200, '9'),
        std::string("1|2|1|2\n") + std::string(30, '|') + "\n"}) {
    std::istringstream in(text);
    InputCheckLists lists;
    EXPECT_EQ(check_input_stream(in, lists), kCheckErrors);
  }
}

}  // namespace
}  // namespace vema
