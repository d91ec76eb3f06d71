#include <windows.h>

#include "TestSupport.h"
#include "UAnswerText.h"
#include "UApp.h"
#include "ULog.h"
#include "UMessages.h"
#include "UQuestion.h"

using namespace tolvex;
using namespace tolvex::test;

TEST(AnswerText, QuotedValuesKeepEveryCharacter) {
  const std::string values[] = {"", " Setup", "a\rb\r\nc\nd", "tab\there", "q\"uote\\", "\x01\x7f", "ä"};
  for (const std::string& v : values) {
    std::string back;
    EXPECT_TRUE(UnescapeAnswerValue(EscapeAnswerValue(v), back));
    EXPECT_EQ(v, back);
  }
  std::string out;
  EXPECT_TRUE(UnescapeAnswerValue("  Yes  ", out));
  EXPECT_EQ("Yes", out);  // unquoted: as a person types it
  EXPECT_FALSE(UnescapeAnswerValue("\"open", out));
  EXPECT_FALSE(UnescapeAnswerValue("\"bad \\q\"", out));
  EXPECT_FALSE(UnescapeAnswerValue("\"a\" b", out));
  EXPECT_FALSE(UnescapeAnswerValue("\"\\x4\"", out));
}

TEST(AnswerText, ParsesBlocksAndReportsBrokenLines) {
  std::string file =
      "# comment\n"
      "box: message\n"
      "text: \"A\\rB\"\n"
      "answer: Yes\n"
      "\n\n"
      "answer: No\r\n"
      "this line has no colon\n"
      "text: \"broken\n"
      "\n"
      "box: select\n"
      "answer: \"C:\\\\x\"";
  std::vector<std::string> errors;
  auto entries = ParseAnswers(file, errors);
  ASSERT_EQ(3u, entries.size());
  EXPECT_EQ("A\rB", entries[0].text);
  EXPECT_TRUE(entries[0].hasBox && entries[0].hasText && entries[0].hasAnswer);
  EXPECT_EQ(2, entries[0].line);
  EXPECT_FALSE(entries[1].hasText);
  EXPECT_EQ("No", entries[1].answer);
  EXPECT_EQ("C:\\x", entries[2].answer);
  ASSERT_EQ(2u, errors.size());
  EXPECT_NE(std::string::npos, errors[0].find("line 8"));
  EXPECT_NE(std::string::npos, errors[1].find("line 9"));
}

TEST(AnswerText, FormFieldsSplitAtBarsTrimmedAndJoinBack) {
  struct Case {
    std::string answer;
    std::vector<std::string> fields;
  } cases[] = {
      {"Cancel", {"Cancel"}},
      {"OK | Lumen Tools\\Scans | desktop", {"OK", "Lumen Tools\\Scans", "desktop"}},
      {" OK|| x ", {"OK", "", "x"}},
      {"OK |", {"OK", ""}},
      {"", {""}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.fields, SplitAnswerFields(c.answer)) << c.answer;
    EXPECT_EQ(c.fields, SplitAnswerFields(JoinAnswerFields(c.fields))) << c.answer;
  }
}

class QuestionSeamTest : public TolvexTest {};

TEST_F(QuestionSeamTest, AnswersMatchByBoxAndTextInOrder) {
  UnattendedSeam seam(
      "box: message\ntext: \"second\"\nanswer: No\n\n"
      "box: message\nanswer: Yes\n\n"
      "box: message\nanswer: Maybe\n");
  EXPECT_TRUE(AskYesNo("first"));    // the entry without text answers the next question
  EXPECT_FALSE(AskYesNo("second"));  // matched by its text, though it stands first
  EXPECT_TRUE(AskYesNo("third"));    // "Maybe" answers no Yes/No box: default button
  EXPECT_TRUE(AskYesNo("fourth"));   // nothing left: default button
  auto asked = seam.Asked();
  ASSERT_EQ(4u, asked.size());
  const char* sources[] = {"answers file", "answers file", "default", "default"};
  for (size_t i = 0; i < 4; ++i) {
    EXPECT_EQ("message", asked[i].box);
    EXPECT_EQ("YesNo", asked[i].kind);
    EXPECT_EQ("question", asked[i].icon);
    EXPECT_EQ(sources[i], asked[i].source) << i;
  }
  EXPECT_EQ("No", asked[1].answer);
}

TEST_F(QuestionSeamTest, DefaultIsTheButtonEnterWouldPress) {
  UnattendedSeam seam;
  EXPECT_EQ(IDNO, ShowMessageBox("t", MB_YESNO | MB_DEFBUTTON2));
  EXPECT_EQ(IDOK, ShowMessageBox("t", MB_OKCANCEL));
  EXPECT_EQ(IDIGNORE, ShowMessageBox("t", MB_ABORTRETRYIGNORE | MB_DEFBUTTON3));
}

TEST_F(QuestionSeamTest, ATranscriptReplaysTheSameAnswers) {
  std::string transcript;
  {
    UnattendedSeam first("box: message\nanswer: No\n\nbox: message\nanswer: Cancel\n");
    SetAppTitle("Viewer Setup");
    EXPECT_FALSE(AskYesNo("Line one\rLine two|"));
    EXPECT_FALSE(AskOkCancel("Go on?"));
    ShowWarning(" leading and trailing ");
    auto asked = first.Asked();
    ASSERT_EQ(3u, asked.size());
    EXPECT_EQ("Line one\rLine two|", asked[0].text);
    EXPECT_EQ("Viewer Setup", asked[0].title);
    EXPECT_EQ(" leading and trailing ", asked[2].text);
    for (const AnswerEntry& e : asked) transcript += FormatAnswerEntry(e);
  }
  UnattendedSeam replay(transcript);
  SetAppTitle("Viewer Setup");
  EXPECT_FALSE(AskYesNo("Line one\rLine two|"));
  EXPECT_FALSE(AskOkCancel("Go on?"));
  ShowWarning(" leading and trailing ");
  auto asked = replay.Asked();
  ASSERT_EQ(3u, asked.size());
  for (const AnswerEntry& e : asked) EXPECT_EQ("answers file", e.source) << e.text;
}

TEST_F(QuestionSeamTest, AMissingAnswersFileStillRunsUnattended) {
  ScratchDir d;
  InitQuestionSeam(d / "missing.txt", d / "t.txt");
  EXPECT_TRUE(AskYesNo("q?"));  // the default button, Yes
  EXPECT_TRUE(QuestionSeam().unattended);
  ASSERT_FALSE(InstallLog().lines.empty());
  EXPECT_NE(std::string::npos, InstallLog().lines[0].find("answers file"));
}

TEST_F(QuestionSeamTest, ABareAnswersSwitchStillMeansNobodyIsThere) {
  InitQuestionSeam("", "", true);
  EXPECT_TRUE(QuestionSeam().unattended);
  EXPECT_TRUE(AskYesNo("q?"));  // no window: the default button
  InitQuestionSeam("", "", false);
  EXPECT_FALSE(QuestionSeam().unattended);
}

TEST_F(QuestionSeamTest, WithoutAnswersARealBoxAsksAndIsRecorded) {
  ScratchDir d;
  InitQuestionSeam("", d / "t.txt");
  SetAppTitle("Seam Test Box");
  DialogDriver driver("Seam Test Box", [](HWND box) { PostMessageA(box, WM_COMMAND, IDNO, 0); });
  EXPECT_FALSE(AskYesNo("Really?"));
  ASSERT_TRUE(driver.Join());
  EXPECT_EQ("Really?", driver.SeenText());
  std::vector<std::string> errors;
  auto asked = ParseAnswers(ReadFileText(d / "t.txt"), errors);
  ASSERT_EQ(1u, asked.size());
  EXPECT_EQ("user", asked[0].source);
  EXPECT_EQ("No", asked[0].answer);
}

TEST_F(QuestionSeamTest, ScriptErrorsAreLoggedThenShown) {
  UnattendedSeam seam;
  ReportScriptError("Bad line");
  ASSERT_EQ(1u, InstallLog().lines.size());
  EXPECT_EQ("** >> Bad line", InstallLog().lines[0]);
  auto asked = seam.Asked();
  ASSERT_EQ(1u, asked.size());
  EXPECT_EQ("warning", asked[0].icon);
  ShowWarningFor("File %s missing", "a.txt");
  EXPECT_EQ("File a.txt missing", seam.Asked()[1].text);
}
