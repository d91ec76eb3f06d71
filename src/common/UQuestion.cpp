#include "UQuestion.h"

#include <windows.h>

#include "ULog.h"
#include "UPaths.h"
#include "UProgress.h"
#include "UText.h"
#include "URunState.h"

namespace tolvex {

static QuestionSeamState g_seam;

QuestionSeamState& QuestionSeam() { return g_seam; }
void ResetQuestionSeam() { g_seam = QuestionSeamState(); }

static void AppendTranscript(const std::string& text) {
  if (g_seam.transcriptPath.empty()) return;
  // Appended and closed per question, so the record survives however the run ends.
  unsigned long err = 0;
  if (!AppendFileText(g_seam.transcriptPath, text, err))
    LogError(Format("transcript \"%s\" could not be written", {g_seam.transcriptPath}), err);
}
static const bool kResetQuestionSeamRegistered = RegisterStateReset(&ResetQuestionSeam);

bool InitQuestionSeam(const std::string& answersFile, const std::string& transcriptFile, bool answersGiven) {
  g_seam = QuestionSeamState();
  bool ok = true;
  g_seam.transcriptPath = transcriptFile;
  if (!transcriptFile.empty()) {
    unsigned long err = 0;
    if (!WriteFileWhole(transcriptFile,
                        "# Tolvex transcript: every question asked and the answer taken.\r\n"
                        "# It can be given back as /answers=FILE to repeat the run.\r\n\r\n",
                        err)) {
      LogError(Format("transcript \"%s\" could not be written", {transcriptFile}), err);
      g_seam.transcriptPath.clear();
      ok = false;
    }
  }
  if (answersFile.empty() && !answersGiven) return ok;
  g_seam.unattended = true;
  if (answersFile.empty()) return ok;  // a bare "/answers=": default answers throughout
  std::string content;
  if (!ReadFileWhole(answersFile, content)) {
    LogError(Format("answers file \"%s\" cannot be read", {answersFile}), GetLastError());
    return false;
  }
  std::vector<std::string> errors;
  g_seam.entries = ParseAnswers(content, errors);
  g_seam.used.assign(g_seam.entries.size(), false);
  for (const std::string& e : errors) LogLine("** Error: answers file \"%s\" %s", answersFile, e);
  return ok;
}

static bool Accepts(const Question& q, const std::string& answer, std::string& canonical) {
  if (q.accepted.empty()) {
    canonical = answer;
    return true;
  }
  for (const std::string& a : q.accepted)
    if (EqualsNoCase(a, answer)) {
      canonical = a;
      return true;
    }
  return false;
}

static void Record(const Question& q, const std::string& answer, const std::string& source) {
  AnswerEntry rec;
  rec.box = q.box;
  rec.kind = q.kind;
  rec.icon = q.icon;
  rec.title = q.title;
  rec.text = q.text;
  rec.answer = answer;
  rec.source = source;
  g_seam.lastSource = source;
  AppendTranscript(FormatAnswerEntry(rec));
}

std::string AskQuestion(const Question& q, const std::function<std::string()>& show) {
  FlushStatus();  // the window behind the question says where the run stands
  std::string answer, source;
  if (g_seam.unattended) {
    source = "default";
    answer = q.defaultAnswer;
    for (size_t i = 0; i < g_seam.entries.size(); ++i) {
      const AnswerEntry& e = g_seam.entries[i];
      if (g_seam.used[i] || !e.hasAnswer) continue;
      if (e.hasBox && !EqualsNoCase(e.box, q.box)) continue;
      if (e.hasText && e.text != q.text) continue;
      g_seam.used[i] = true;
      std::string canonical;
      if (Accepts(q, e.answer, canonical)) {
        answer = canonical;
        source = "answers file";
      } else {
        LogLine("** Error: answers file line %d: \"%s\" does not answer a %s %s question", e.line,
                e.answer, q.box, q.kind);
      }
      break;
    }
  } else {
    source = "user";
    std::string canonical;
    answer = show();
    if (Accepts(q, answer, canonical)) answer = canonical;
  }
  Record(q, answer, source);
  return answer;
}

void NoteAnswer(const Question& q, const std::string& answer) { Record(q, answer, "user"); }

}  // namespace tolvex
