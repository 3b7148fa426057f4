#include "problem/input_reader.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "common/text_file.h"
#include "problem/input_check_session.h"
#include "scripted_ui.h"
#include "temp_dir.h"

namespace vema {
namespace {

using testing::ScriptedUi;
using testing::TempDir;

const std::string kExample = VEMA_SOURCE_DIR "/examples/small_shop.sif";

std::string example_text() {
  std::string text;
  EXPECT_TRUE(read_text_file(kExample, text));
  return text;
}

TEST(ReadInput, ReadsFieldsOneBasedWithTimesInFileOrder) {
  std::istringstream in(
      "001|2|1|1\n"
      "100|0|7|0|1\n110|0|2\n120|0|0|100\n120|0|150|300\n130|0|1\n140|0|0|0|0\n"
      "100|1|3|2|3\n110|1|1\n120|1|5|50\n130|1|1\n140|1|0|0|0\n"
      "200|0|500|100|3|10|0|3|0\n210|0|2\n220|0|0|1|0\n220|0|2|3|1\n");
  Problem p;
  ASSERT_TRUE(read_input(in, p));
  EXPECT_EQ(p.N_Machine, 2);
  EXPECT_EQ(p.N_Order, 1);
  EXPECT_EQ(p.N_SetupType, 1);
  const MACHINE& m = p.Machines[1];
  EXPECT_EQ(m.ID, 1);
  EXPECT_EQ(m.Speed, 7);
  EXPECT_EQ(m.StartStep, 1);
  EXPECT_EQ(m.EndStep, 2);
  EXPECT_EQ(m.group, 5);
  ASSERT_EQ(m.N_Cal, 2);
  EXPECT_EQ(m.calendar[2].ST, 150);
  EXPECT_EQ(m.calendar[2].ET, 300);
  EXPECT_EQ(m.N_Set, 1);
  const ORDER& o = p.Orders[1];
  EXPECT_EQ(o.CET, 500);
  EXPECT_EQ(o.CST, 100);
  EXPECT_EQ(o.file_CST, 100);
  EXPECT_EQ(o.NJob, 3);
  EXPECT_EQ(o.SJob, 10);
  EXPECT_EQ(o.StartStep, 1);
  EXPECT_EQ(o.EndStep, 4);
  EXPECT_EQ(o.ExeType, 10);
  EXPECT_EQ(o.SetupType, 1);
  ASSERT_EQ(o.N_Step, 2);
  EXPECT_EQ(o.steps[2].SS, 3);
  EXPECT_EQ(o.steps[2].ES, 4);
  EXPECT_EQ(o.steps[2].M_ID, 2);
  EXPECT_EQ(o.steps[2].group, 7);
  EXPECT_EQ(o.R_feasible[0], 1);
  EXPECT_EQ(o.R_feasible[1], 6);  // route 6 = groups 5, 7
  EXPECT_EQ(p.N_Job, 3);
}

TEST(ReadInput, SLineAndWhatFollowsAreIgnored) {
  const std::string text = example_text();
  std::istringstream plain(text), with_s(text + "s\n200|9|9\nanything at all\n");
  Problem a, b;
  ASSERT_TRUE(read_input(plain, a));
  ASSERT_TRUE(read_input(with_s, b));
  EXPECT_EQ(a.N_Job, b.N_Job);
  EXPECT_EQ(a.Orders[3].CET, b.Orders[3].CET);
  std::string rest;
  std::getline(with_s, rest);
  EXPECT_EQ(rest, "200|9|9");  // the stream stands after the s line
}

TEST(LoadInput, LoadsTheExampleAndSetsFirstRun) {
  ScriptedUi ui;
  ui.paths.push_back(kExample);
  Problem p;
  std::string chosen;
  FileDialogRequest dialog;
  dialog.filter = kInputFileFilter;
  EXPECT_EQ(load_input(p, ui, dialog, &chosen), kLoadDone);
  EXPECT_EQ(chosen, kExample);
  EXPECT_EQ(p.input_file_name, kExample);
  EXPECT_TRUE(p.first_run);
  EXPECT_EQ(p.N_Machine, 5);
  EXPECT_EQ(p.N_Job, 7);
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_TRUE(ui.reviews.empty());
  ASSERT_EQ(ui.dialogs.size(), 1u);
  EXPECT_EQ(ui.dialogs[0].filter, kInputFileFilter);
}

TEST(LoadInput, CancelledDialogChangesNothing) {
  ScriptedUi ui;
  Problem p;
  EXPECT_EQ(load_input(p, ui, {}, nullptr), kLoadCancelled);
  EXPECT_FALSE(p.loaded());
  EXPECT_TRUE(p.input_file_name.empty());
}

TEST(LoadInput, WarningsOpenTheWindowThenLoad) {
  ScriptedUi ui;
  Problem p;
  EXPECT_EQ(load_input_file(p, ui, VEMA_SOURCE_DIR "/examples/warnings_only.sif"), kLoadDone);
  ASSERT_EQ(ui.reviews.size(), 1u);
  EXPECT_EQ(ui.reviews[0].warnings.size(), 1u);
  EXPECT_TRUE(ui.messages.empty());
}

TEST(LoadInput, RefusedFileKeepsThePreviousProblem) {
  ScriptedUi ui;
  Problem p;
  ASSERT_EQ(load_input_file(p, ui, kExample), kLoadDone);
  const Problem before = p;
  p.first_run = false;
  const std::string bad = VEMA_SOURCE_DIR "/examples/with_errors.sif";
  EXPECT_EQ(load_input_file(p, ui, bad), kLoadRefused);
  ASSERT_EQ(ui.reviews.size(), 1u);
  EXPECT_FALSE(ui.reviews[0].errors.empty());
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0], "  Input data are incorrect!\nOpening process stopped!");
  EXPECT_EQ(p.input_file_name, bad);  // the chosen path is remembered all the same
  EXPECT_FALSE(p.first_run);
  EXPECT_EQ(p.N_Job, before.N_Job);
  EXPECT_EQ(p.Machines[2].calendar[1].ET, before.Machines[2].calendar[1].ET);
  EXPECT_EQ(p.Orders[3].CET, before.Orders[3].CET);
}

TEST(LoadInput, MissingFileIsRefusedWithoutTheWindow) {
  ScriptedUi ui;
  Problem p;
  EXPECT_EQ(load_input_file(p, ui, "/nonexistent/x.sif"), kLoadRefused);
  EXPECT_TRUE(ui.reviews.empty());
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0], kInputRefusedMessage);
}

TEST(LoadInput, FileCorrectedInTheWindowLoads) {
  TempDir dir;
  std::string good = example_text();
  std::string bad = good;
  bad.replace(bad.find("100|1|5|0|0"), 11, "100|1|0|0|0");  // zero speed
  const std::string path = dir.write("shop.sif", bad);
  ScriptedUi ui;
  std::vector<int> results;
  ui.on_review = [&](InputCheckSession& session) {
    EXPECT_TRUE(session.refused());
    results.push_back(session.save_and_check(good));
    EXPECT_FALSE(session.refused());
    EXPECT_TRUE(session.lists().errors.empty());
  };
  Problem p;
  EXPECT_EQ(load_input_file(p, ui, path), kLoadDone);
  EXPECT_EQ(results, std::vector<int>{kCheckClean});
  EXPECT_EQ(p.Machines[2].Speed, 5);
  EXPECT_TRUE(ui.messages.empty());
}

TEST(LoadInput, SavingStillBrokenTextKeepsTheRefusal) {
  TempDir dir;
  const std::string path = dir.write("shop.sif", "1|1|1|1\n");
  ScriptedUi ui;
  ui.on_review = [&](InputCheckSession& session) {
    EXPECT_EQ(session.save_and_check("1|1|1\n"), kCheckErrors);
    EXPECT_TRUE(session.refused());
  };
  Problem p;
  EXPECT_EQ(load_input_file(p, ui, path), kLoadRefused);
  std::string saved;
  ASSERT_TRUE(read_text_file(path, saved));
  EXPECT_EQ(saved, "1|1|1\n");
}

}  // namespace
}  // namespace vema
