// The simulated shell: scripted, recorded dialogs; keystrokes through a thread's queue to
// the window with the focus; files; programs; the fixed text metric; faults.
#include "sim/sim_shell.h"

#include <gtest/gtest.h>

#include "sim/model.h"

namespace korvanel::sim {
namespace {

using platform::kIdCancel;
using platform::kIdNo;
using platform::kIdOk;
using platform::kIdYes;

// A user-interface thread with a queue and a focused window that takes every key.
class QueueHost final : public ShellHost {
 public:
  bool post(std::function<void()> message) override {
    queue.post(std::move(message));
    return true;
  }
  void pump() override { queue.pump(); }
  void deliverKey(const KeyStroke& key, KeyDelivery& delivery) override {
    delivery.target = u"Window";
    windowKeys.push_back(key.notation());
  }
  bool startProgram(TextView commandLine, int, ProcessRecord& record) override {
    record.outcome = u"started by host";
    started.emplace_back(commandLine);
    return true;
  }
  MessageQueue queue;
  std::vector<Text> windowKeys;
  std::vector<Text> started;
};

TEST(SimShell, MessageBoxesAnswerFromTheScriptThenByDefault) {
  SimShell shell;
  shell.answerMessageBox(kIdYes, u"restart it now?");
  EXPECT_EQ(shell.messageBox(u"Outlook will be restarted.\rRestart it now?", u"Korvanel", 308),
            kIdYes);
  // Unscripted: the default button (MB_DEFBUTTON2 of Yes/No is No; OK for a notice).
  EXPECT_EQ(shell.messageBox(u"Continue?", u"Korvanel", 308), kIdNo);
  EXPECT_EQ(shell.messageBox(u"Notice", u"Korvanel", 48), kIdOk);

  ASSERT_EQ(shell.dialogs().size(), 3u);
  const DialogRecord& first = shell.dialogs()[0];
  EXPECT_EQ(first.text, u"Outlook will be restarted.\rRestart it now?");
  EXPECT_EQ(first.title, u"Korvanel");
  EXPECT_EQ(first.style, 308);
  EXPECT_TRUE(first.scripted);
  EXPECT_FALSE(first.mismatch);
  EXPECT_FALSE(shell.dialogs()[1].scripted);
  EXPECT_EQ(shell.scriptProblems().size(), 2u);
}

TEST(SimShell, AScriptedAnswerForAnotherBoxIsFlagged) {
  SimShell shell;
  shell.answerMessageBox(kIdYes, u"re-read");
  shell.answerMessageBox(kIdYes);  // not a button of an OK box
  EXPECT_EQ(shell.messageBox(u"Restart it now?", u"Korvanel", 308), kIdYes);
  shell.messageBox(u"Sorry", u"Korvanel", 48);
  EXPECT_TRUE(shell.dialogs()[0].mismatch);
  EXPECT_TRUE(shell.dialogs()[1].mismatch);
  shell.cancelInputBox(u"never shown");
  EXPECT_EQ(shell.unusedAnswers(), 1u);
  EXPECT_EQ(shell.scriptProblems().size(), 3u);
}

TEST(SimShell, CancelledInputIsNotAnEmptyAnswer) {
  SimShell shell;
  shell.answerInputBox(u"");
  shell.cancelInputBox();
  shell.answerInputBox(u"Sales <sales@contoso.com>", u"Add new identity:");
  EXPECT_EQ(shell.inputBox(u"Add new identity:", u"Korvanel", u"x"), Text());
  EXPECT_EQ(shell.inputBox(u"Add new identity:", u"Korvanel", u"x"), std::nullopt);
  EXPECT_EQ(shell.inputBox(u"Add new identity:\r\r  Example:", u"Korvanel", u""),
            Text(u"Sales <sales@contoso.com>"));
  // Out of answers: Cancel.
  EXPECT_EQ(shell.inputBox(u"Change selected identity:", u"Korvanel", u"a"), std::nullopt);
  EXPECT_FALSE(shell.dialogs().back().scripted);
  EXPECT_EQ(shell.dialogs()[1].offered, u"x");
}

TEST(SimShell, RightBeforeTheInputBoxKeepsTheOfferedText) {
  SimShell shell;
  QueueHost host;
  shell.setHost(&host);
  shell.typeIntoInputBox(u" <pat@contoso.com>");
  shell.typeIntoInputBox(u"Pat <pat@contoso.com>");

  // The key waits in the queue; the box's modal loop delivers it to the box.
  shell.sendKeys(u"{Right}", false);
  EXPECT_EQ(shell.inputBox(u"Change selected identity:", u"Korvanel", u"Pat"),
            Text(u"Pat <pat@contoso.com>"));
  EXPECT_TRUE(shell.dialogs()[0].caretAtEnd);
  // Without it the offered text is selected and typing replaces it.
  EXPECT_EQ(shell.inputBox(u"Change selected identity:", u"Korvanel", u"Old"),
            Text(u"Pat <pat@contoso.com>"));
  EXPECT_FALSE(shell.dialogs()[1].caretAtEnd);

  ASSERT_EQ(shell.keyDeliveries().size(), 1u);
  EXPECT_EQ(shell.keyDeliveries()[0].target, u"InputBox");
  EXPECT_TRUE(host.windowKeys.empty());
}

TEST(SimShell, KeysWaitForTheMessagePumpAndGoToTheFocusedWindow) {
  SimShell shell;
  QueueHost host;
  shell.setHost(&host);
  shell.sendKeys(u"%n2", false);
  EXPECT_TRUE(host.windowKeys.empty());
  shell.doEvents();
  EXPECT_EQ(host.windowKeys, (std::vector<Text>{u"%n", u"2"}));
  shell.sendKeys(u"{Esc}", true);  // Wait: processed before SendKeys returns
  EXPECT_EQ(host.windowKeys.back(), u"{ESC}");
  shell.sendKeys(u"{Bad", false);
  shell.doEvents();
  EXPECT_EQ(host.windowKeys.size(), 3u);
  ASSERT_EQ(shell.keys().size(), 3u);
  EXPECT_FALSE(shell.keys()[2].valid);
  EXPECT_TRUE(shell.keys()[1].wait);
  EXPECT_EQ(shell.doEventsCalls(), 2);
}

TEST(SimShell, FilesAreListedAndDeletedByExactName) {
  SimShell shell;
  const Text folder = u"C:\\Data\\Microsoft\\Outlook";
  for (TextView name : {u"Pat*.srs", u"Pat Doe.srs", u"Pat Doe.xml", u"Other.srs"}) {
    ASSERT_TRUE(shell.files().write(folder + u"\\" + Text(name)));
  }
  shell.files().write(folder + u"\\Sub\\Pat.srs");
  EXPECT_EQ(shell.listFiles(folder + u"\\"),
            (std::vector<Text>{u"Other.srs", u"Pat Doe.srs", u"Pat Doe.xml", u"Pat*.srs"}));
  EXPECT_TRUE(shell.listFiles(u"C:\\Nowhere").empty());

  EXPECT_TRUE(shell.deleteFile(u"c:\\data\\microsoft\\outlook\\PAT*.SRS"));
  EXPECT_FALSE(shell.deleteFile(folder + u"\\Pat*.srs"));  // gone; '*' matched only itself
  EXPECT_TRUE(shell.files().exists(folder + u"\\Pat Doe.srs"));
  EXPECT_EQ(shell.deletedFiles(), std::vector<Text>{u"c:\\data\\microsoft\\outlook\\PAT*.SRS"});
}

TEST(SimShell, ProgramsEnvironmentAndShellExecuteAreRecorded) {
  SimShell shell;
  shell.setEnvironmentVariable(u"ProgramFiles", u"C:\\Program Files");
  EXPECT_EQ(shell.environmentVariable(u"PROGRAMFILES"), u"C:\\Program Files");
  EXPECT_EQ(shell.environmentVariable(u"AppData"), Text());

  shell.files().write(u"C:\\Program Files\\Tool\\tool.exe");
  EXPECT_TRUE(shell.startProcess(u"\"C:\\Program Files\\Tool\\tool.exe\" /x", 1));
  EXPECT_FALSE(shell.startProcess(u"\"C:\\Program Files\\Missing.exe\"", 0));
  ASSERT_EQ(shell.processes().size(), 2u);
  EXPECT_TRUE(shell.processes()[0].started);
  EXPECT_EQ(shell.processes()[1].outcome, u"no such program");

  QueueHost host;
  shell.setHost(&host);
  EXPECT_TRUE(shell.startProcess(u"anything", 0));
  EXPECT_EQ(host.started, std::vector<Text>{u"anything"});

  EXPECT_GT(shell.shellExecute(0, u"", u"http://www.example.com", u"", u"", 1), 32);
  ASSERT_EQ(shell.shellExecutes().size(), 1u);
  EXPECT_EQ(shell.shellExecutes()[0].file, u"http://www.example.com");
  EXPECT_EQ(shell.shellExecutes()[0].showCommand, 1);
  shell.sleep(150);
  shell.sleep(500);
  EXPECT_EQ(shell.sleptMilliseconds(), 650u);
}

TEST(SimShell, TextIsMeasuredWithAFixedMetric) {
  SimShell shell;
  const FontSpec font{u"MS Sans Serif", false, 8.0};
  const FontSpec bold{u"MS Sans Serif", true, 8.0};
  EXPECT_EQ(SimShell::charWidth(font), 6);
  EXPECT_EQ(SimShell::charWidth(bold), 7);
  EXPECT_EQ(shell.getSystemMetrics(platform::kSmCxVScroll), SimShell::kVScrollWidth);

  TextRect r;
  const Text row = u"Pat Doe <pat@contoso.com>";
  EXPECT_EQ(shell.drawText(font, row, -1, &r, platform::kDtCalcRect), SimShell::lineHeight(font));
  EXPECT_EQ(r.right, static_cast<long>(row.size()) * 6);
  // Length -1 stops at the first NUL; a length counts characters; lines measure apart.
  r = TextRect{};
  shell.drawText(font, Text(u"abc\0def", 7), -1, &r, platform::kDtCalcRect);
  EXPECT_EQ(r.right, 18);
  r = TextRect{};
  shell.drawText(font, u"abcdef", 2, &r, platform::kDtCalcRect);
  EXPECT_EQ(r.right, 12);
  r = TextRect{};
  EXPECT_EQ(shell.drawText(font, u"ab\r\nabcd", -1, &r, platform::kDtCalcRect),
            2 * SimShell::lineHeight(font));
  EXPECT_EQ(r.right, 24);
  r = TextRect{};
  shell.drawText(font, u"abc", 100, &r, 0);  // drawing does not change the rectangle
  EXPECT_EQ(r.right, 0);
  EXPECT_EQ(shell.drawText(font, u"abc", -1, nullptr, platform::kDtCalcRect), 0);
}

TEST(SimShell, HorizontalExtentIsKeptPerWindow) {
  SimShell shell;
  shell.sendMessage(0x100, platform::kLbSetHorizontalExtent, 150, 0);
  shell.sendMessage(0x200, platform::kLbSetHorizontalExtent, 0, 0);
  shell.sendMessage(0x100, platform::kLbSetHorizontalExtent, 222, 0);
  shell.sendMessage(0x100, 0x0180, 1, 2);  // another message: recorded only
  EXPECT_EQ(shell.horizontalExtent(0x100), 222);
  EXPECT_EQ(shell.horizontalExtent(0x200), 0);
  EXPECT_EQ(shell.horizontalExtent(0x300), std::nullopt);
  EXPECT_EQ(shell.messages().size(), 4u);
}

TEST(SimShell, FailingOperationsReturnTheirEmptyValueAndRecordNothing) {
  FaultPlan faults;
  SimShell shell(&faults);
  shell.files().write(u"C:\\a\\b.srs");
  shell.setEnvironmentVariable(u"AppData", u"C:\\a");
  faults.failOnce("Shell.messageBox");
  faults.failOnce("Shell.inputBox");
  faults.failOnce("Shell.startProcess");
  faults.failOnce("Shell.deleteFile");
  faults.failOnce("Shell.listFiles");
  faults.failOnce("Shell.environmentVariable");
  faults.failOnce("Shell.drawText");
  faults.failOnce("Shell.getSystemMetrics");
  shell.answerInputBox(u"kept for later");
  EXPECT_EQ(shell.messageBox(u"x", u"Korvanel", 48), 0);
  EXPECT_EQ(shell.inputBox(u"x", u"Korvanel", u""), std::nullopt);
  EXPECT_FALSE(shell.startProcess(u"C:\\a\\b.srs", 1));
  EXPECT_FALSE(shell.deleteFile(u"C:\\a\\b.srs"));
  EXPECT_TRUE(shell.listFiles(u"C:\\a").empty());
  EXPECT_EQ(shell.environmentVariable(u"AppData"), Text());
  TextRect r;
  EXPECT_EQ(shell.drawText(FontSpec{}, u"abc", -1, &r, platform::kDtCalcRect), 0);
  EXPECT_EQ(shell.getSystemMetrics(platform::kSmCxVScroll), 0);
  EXPECT_TRUE(shell.dialogs().empty());
  EXPECT_TRUE(shell.processes().empty());
  EXPECT_TRUE(shell.files().exists(u"C:\\a\\b.srs"));
  EXPECT_EQ(shell.unusedAnswers(), 1u);
  // Each failed once; the next calls work.
  EXPECT_EQ(shell.listFiles(u"C:\\a"), std::vector<Text>{u"b.srs"});
  EXPECT_EQ(shell.inputBox(u"x", u"Korvanel", u""), Text(u"kept for later"));
}

}  // namespace
}  // namespace korvanel::sim
