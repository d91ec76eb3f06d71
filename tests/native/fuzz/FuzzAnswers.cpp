// The answers file a person writes and the transcript the program writes back.
#include "FuzzSupport.h"
#include "UAnswerText.h"
#include "UText.h"

using namespace tolvex;
using tolvex::fuzz::Require;

namespace {

// What the transcript writes without quotes reads back only when it is a plain word; the
// program writes such names there, so others are replaced before writing.
std::string Plain(const std::string& s, const char* instead) {
  bool plain = Trim(s) == s && (s.empty() || s[0] != '"');
  for (char c : s) plain = plain && static_cast<unsigned char>(c) >= 0x20;
  return plain ? s : instead;
}

void CheckEscape(const std::string& value) {
  std::string escaped = EscapeAnswerValue(value), back;
  for (char c : escaped) Require(static_cast<unsigned char>(c) >= 0x20 && c != 0x7F);
  Require(UnescapeAnswerValue(escaped, back) && back == value);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string content = fuzz::Text(data, size);
  CheckEscape(content);
  std::vector<std::string> errors;
  std::vector<AnswerEntry> entries = ParseAnswers(content, errors);
  int previous = 0;
  for (AnswerEntry e : entries) {
    Require(e.line > previous);
    previous = e.line;
    for (const std::string* v : {&e.title, &e.text, &e.answer}) CheckEscape(*v);
    e.box = Plain(e.box, "message");
    e.kind = Plain(e.kind, "YesNo");
    e.icon = Plain(e.icon, "question");
    e.source = Plain(e.source, "user");
    std::vector<std::string> again;
    std::vector<AnswerEntry> back = ParseAnswers(FormatAnswerEntry(e), again);
    Require(again.empty() && back.size() == 1);
    const AnswerEntry& b = back[0];
    Require(b.box == e.box && b.kind == e.kind && b.icon == e.icon && b.title == e.title && b.text == e.text &&
            b.answer == e.answer && b.source == e.source && b.hasBox && b.hasText && b.hasAnswer);
  }
  return 0;
}
