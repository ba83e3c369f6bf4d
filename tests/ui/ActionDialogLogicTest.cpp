#include "ui/ActionDialogLogic.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "TestSupport.h"

namespace lexiphon {
namespace {

const std::wstring kTargetAfterRun = L"C:\\Office\\OFFICE11\\Startup";

// Returns the codes it is given, or nothing as for a user who left while
// waiting, and counts the runs. TargetDir is set while a procedure runs, as
// Word discovery does.
struct FakeProcedures {
  ResultCode installCode = 0;
  ResultCode uninstallCode = 0;
  bool userLeaves = false;
  int installRuns = 0;
  int uninstallRuns = 0;
  std::wstring targetDir;

  std::optional<ResultCode> Run(Procedure procedure) {
    if (userLeaves) return std::nullopt;
    targetDir = kTargetAfterRun;
    if (procedure == Procedure::Install) {
      ++installRuns;
      return installCode;
    }
    ++uninstallRuns;
    return uninstallCode;
  }
};

class ActionDialogOk : public ::testing::Test {
 protected:
  ActionDialogLogic Dialog(Language language) {
    return ActionDialogLogic(language, session, boxes.Seam());
  }

  void ExpectOneBox(Language language, Procedure procedure, ResultCode code) {
    const auto expected =
        BuildResultMessage(language, procedure, code, L"Lexiphon.dot", kTargetAfterRun);
    ASSERT_TRUE(expected.has_value());
    ASSERT_EQ(1u, boxes.shown.size());
    EXPECT_EQ(expected->title, boxes.shown[0].title);
    EXPECT_EQ(expected->prompt, boxes.shown[0].text);
    EXPECT_EQ(expected->style, boxes.shown[0].style);
  }

  FakeProcedures procedures;
  const std::wstring templateName = L"Lexiphon.dot";
  Session session{[this](Procedure procedure) { return procedures.Run(procedure); },
                  templateName, procedures.targetDir};
  testing::BoxRecorder boxes;
};

TEST_F(ActionDialogOk, RunsTheSelectedProcedureOnceAndReportsItsCodeInTheDialogsLanguage) {
  struct Row {
    Language language;
    bool install;
    ResultCode code;
  };
  // Install success names TargetDir: the message is built after the run.
  const Row rows[] = {
      {Language::German, true, 0},        {Language::English, true, 0},
      {Language::Portuguese, true, 0},    {Language::German, false, 0},
      {Language::English, false, -2},     {Language::Portuguese, false, -1},
      {Language::English, true, -100},    {Language::Portuguese, true, -4},
      {Language::German, false, -200},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::to_string(static_cast<int>(row.language)) +
                 (row.install ? " install " : " uninstall ") + std::to_string(row.code));
    procedures = FakeProcedures();
    boxes.shown.clear();
    session.exitCode = kExitUserCancelled;
    procedures.installCode = procedures.uninstallCode = row.code;

    EXPECT_EQ(AfterClick::Close, Dialog(row.language).OnOk(row.install, !row.install));
    EXPECT_EQ(row.code, session.exitCode);

    EXPECT_EQ(row.install ? 1 : 0, procedures.installRuns);
    EXPECT_EQ(row.install ? 0 : 1, procedures.uninstallRuns);
    ExpectOneBox(row.language, row.install ? Procedure::Install : Procedure::Uninstall, row.code);
  }
}

TEST_F(ActionDialogOk, ReadsTheInstallOptionFirst) {
  EXPECT_EQ(AfterClick::Close, Dialog(Language::English).OnOk(true, true));
  EXPECT_EQ(1, procedures.installRuns);
  EXPECT_EQ(0, procedures.uninstallRuns);
}

TEST_F(ActionDialogOk, WithNoOptionSelectedDoesNothingAndALaterOkStillWorks) {
  ActionDialogLogic dialog = Dialog(Language::German);
  EXPECT_EQ(AfterClick::StayOpen, dialog.OnOk(false, false));
  EXPECT_EQ(0, procedures.installRuns);
  EXPECT_EQ(0, procedures.uninstallRuns);
  EXPECT_TRUE(boxes.shown.empty());
  EXPECT_EQ(kExitUserCancelled, session.exitCode);

  EXPECT_EQ(AfterClick::Close, dialog.OnOk(false, true));
  EXPECT_EQ(1, procedures.uninstallRuns);
  ExpectOneBox(Language::German, Procedure::Uninstall, 0);
}

TEST_F(ActionDialogOk, ACodeWithoutAMessageShowsNothingAndTheDialogStillCloses) {
  struct Row {
    bool install;
    ResultCode code;
  };
  const Row rows[] = {{false, -3}, {false, -5}, {true, 1}, {true, -6}, {false, -300}};
  for (const Row& row : rows) {
    SCOPED_TRACE((row.install ? "install " : "uninstall ") + std::to_string(row.code));
    procedures = FakeProcedures();
    boxes.shown.clear();
    procedures.installCode = procedures.uninstallCode = row.code;

    EXPECT_EQ(AfterClick::Close, Dialog(Language::English).OnOk(row.install, !row.install));
    EXPECT_EQ(1, procedures.installRuns + procedures.uninstallRuns);
    EXPECT_TRUE(boxes.shown.empty());
  }
}

TEST_F(ActionDialogOk, LeavingWhileWaitingForAnotherInstanceClosesWithoutAMessage) {
  procedures.userLeaves = true;
  EXPECT_EQ(AfterClick::Close, Dialog(Language::English).OnOk(true, false));
  EXPECT_EQ(kExitUserCancelled, session.exitCode);
  EXPECT_TRUE(boxes.shown.empty());
}

}  // namespace
}  // namespace lexiphon
