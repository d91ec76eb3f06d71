// The one seam every question to the user passes: message boxes and the forms' show
// routines. An answers file can stand in for the person (unattended installs, tests) and
// a transcript records what was asked and what was answered; a transcript is itself a
// valid answers file.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "UAnswerText.h"

namespace tolvex {

struct Question {
  std::string box;   // "message", "select", "browse", ...
  std::string kind;  // buttons ("YesNo") or the form's kind ("list", "folder")
  std::string icon;
  std::string title;
  std::string text;
  std::vector<std::string> accepted;  // valid answers; empty: any text
  std::string defaultAnswer;          // what Enter would take
};

struct QuestionSeamState {
  bool unattended = false;
  std::vector<AnswerEntry> entries;
  std::vector<bool> used;
  std::string transcriptPath;
  std::string lastSource;  // of the last answer: "user", "answers file" or "default"
};
QuestionSeamState& QuestionSeam();
void ResetQuestionSeam();

// Reads the answers file (unattended from then on, even when it is missing or broken:
// nobody may be there to answer) and starts the transcript. Problems are logged.
// An empty answersFile with answersGiven set (a bare "/answers=") is unattended too.
// False when a named answers file cannot be read or the transcript cannot be written: an
// unattended run must not guess, nor go unrecorded.
bool InitQuestionSeam(const std::string& answersFile, const std::string& transcriptFile,
                      bool answersGiven = false);

// Asks q: unattended, the first unused answers-file entry whose box and text (when the
// entry gives them) equal the question's; otherwise show() asks the person. An answer not
// in q.accepted, or no entry at all, takes q.defaultAnswer. Returns the answer in the
// spelling of q.accepted.
std::string AskQuestion(const Question& q, const std::function<std::string()>& show);

// Records a step the person took inside a form that stays open (a button that opens a
// file, say), so the transcript still replays the run. Its answer must be one the form's
// own question accepts.
void NoteAnswer(const Question& q, const std::string& answer);

}  // namespace tolvex
