// The answers/transcript file: blocks of "name: value" lines separated by blank lines.
// Pure text, so the reader can be fuzzed natively.
//
//   box: message
//   buttons: YesNo
//   title: "Viewer Setup"
//   text: "\"Viewer\" application not found!\r\n\r\nDo you want ...?"
//   answer: Yes
//
// A value in double quotes is taken with the escapes \\ \" \r \n \t and \xHH, so line
// breaks stay exact; an unquoted value is taken trimmed, as a person types it. Lines that
// begin with "#" are comments.
#pragma once

#include <string>
#include <vector>

namespace tolvex {

struct AnswerEntry {
  std::string box;      // which box or form asked ("message", "select", "browse", ...)
  std::string kind;     // its buttons or kind ("YesNo", "list", "folder", ...)
  std::string icon;     // message boxes: "question", "warning", ... (a note only)
  std::string title;
  std::string text;
  bool hasBox = false, hasText = false;
  std::string answer;
  bool hasAnswer = false;
  std::string source;   // transcript only: "user", "answers file" or "default"
  int line = 0;         // where the entry starts, for messages
};

std::string EscapeAnswerValue(const std::string& value);  // always quoted
// False when a quoted value is broken (no closing quote, bad escape); value then holds
// what could be read.
bool UnescapeAnswerValue(const std::string& raw, std::string& value);

// Parses a whole file. Malformed lines are skipped and described in errors.
std::vector<AnswerEntry> ParseAnswers(const std::string& content, std::vector<std::string>& errors);
std::string FormatAnswerEntry(const AnswerEntry& e);

// A form with several outcomes answers with fields joined by " | " ("OK | Tools | desktop"):
// "|" cannot stand in a file name, so paths and folder names pass through whole.
std::vector<std::string> SplitAnswerFields(const std::string& answer);  // each trimmed
std::string JoinAnswerFields(const std::vector<std::string>& fields);

}  // namespace tolvex
