#include "UAnswerText.h"

#include "UCodePage.h"
#include "UText.h"

namespace tolvex {

std::string EscapeAnswerValue(const std::string& value) {
  static const char* hex = "0123456789ABCDEF";
  std::string out = "\"";
  for (size_t i = 0; i < value.size(); ++i) {
    // A double-byte character is written as it is: its second byte may be a backslash,
    // which the reader steps over as it does here.
    if (CharSize(value, i) == 2) {
      out.append(value, i++, 2);
      continue;
    }
    char c = value[i];
    unsigned char u = static_cast<unsigned char>(c);
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '"': out += "\\\""; break;
      case '\r': out += "\\r"; break;
      case '\n': out += "\\n"; break;
      case '\t': out += "\\t"; break;
      default:
        // A lead byte without its second byte is written as a number: as it stands it
        // would take the escape's backslash after it for its second byte.
        if (u < 0x20 || u == 0x7F || IsLeadByte(c)) {
          out += "\\x";
          out += hex[u >> 4];
          out += hex[u & 15];
        } else {
          out += c;
        }
    }
  }
  return out + "\"";
}

bool UnescapeAnswerValue(const std::string& raw, std::string& value) {
  std::string t = Trim(raw);
  value.clear();
  if (t.empty() || t[0] != '"') {
    value = t;
    return true;
  }
  for (size_t i = 1; i < t.size(); ++i) {
    if (CharSize(t, i) == 2) {
      value.append(t, i++, 2);
      continue;
    }
    char c = t[i];
    if (c == '"') return i + 1 == t.size();  // text after the closing quote is an error
    if (c != '\\') {
      value += c;
      continue;
    }
    if (++i >= t.size()) return false;
    switch (t[i]) {
      case '\\': value += '\\'; break;
      case '"': value += '"'; break;
      case 'r': value += '\r'; break;
      case 'n': value += '\n'; break;
      case 't': value += '\t'; break;
      case 'x': {
        int h = i + 2 < t.size() ? HexDigitValue(t[i + 1]) : -1;
        int l = h >= 0 ? HexDigitValue(t[i + 2]) : -1;
        if (l < 0) return false;
        value += static_cast<char>(h * 16 + l);
        i += 2;
        break;
      }
      default: return false;
    }
  }
  return false;  // no closing quote
}

std::vector<AnswerEntry> ParseAnswers(const std::string& content, std::vector<std::string>& errors) {
  std::vector<AnswerEntry> entries;
  AnswerEntry cur;
  bool open = false;
  auto close = [&] {
    if (open) entries.push_back(cur);
    cur = AnswerEntry();
    open = false;
  };
  int lineNo = 0;
  size_t pos = 0;
  while (pos <= content.size()) {
    size_t end = content.find('\n', pos);
    if (end == std::string::npos) end = content.size();
    std::string line = content.substr(pos, end - pos);
    pos = end + 1;
    ++lineNo;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::string t = Trim(line);
    if (t.empty()) {
      close();
      if (end == content.size()) break;
      continue;
    }
    if (t[0] == '#' || t[0] == ';') continue;
    size_t colon = FindChar(t, ':');
    if (colon == std::string::npos) {
      errors.push_back(Format("line %d: expected \"name: value\"", {lineNo}));
      continue;
    }
    std::string name = LowerAscii(Trim(t.substr(0, colon)));
    std::string value;
    if (!UnescapeAnswerValue(t.substr(colon + 1), value)) {
      errors.push_back(Format("line %d: broken quoted value", {lineNo}));
      continue;
    }
    if (!open) {
      open = true;
      cur.line = lineNo;
    }
    if (name == "box") cur.box = value, cur.hasBox = true;
    else if (name == "buttons" || name == "kind") cur.kind = value;
    else if (name == "title") cur.title = value;
    else if (name == "text") cur.text = value, cur.hasText = true;
    else if (name == "answer") cur.answer = value, cur.hasAnswer = true;
    else if (name == "source") cur.source = value;
    else if (name == "icon") cur.icon = value;
    // Other names are notes for the reader and carry no meaning.
    if (end == content.size()) break;
  }
  close();
  return entries;
}

std::string FormatAnswerEntry(const AnswerEntry& e) {
  std::string out;
  out += "box: " + e.box + "\r\n";
  if (!e.kind.empty()) out += "buttons: " + e.kind + "\r\n";
  if (!e.icon.empty()) out += "icon: " + e.icon + "\r\n";
  out += "title: " + EscapeAnswerValue(e.title) + "\r\n";
  out += "text: " + EscapeAnswerValue(e.text) + "\r\n";
  out += "answer: " + EscapeAnswerValue(e.answer) + "\r\n";
  if (!e.source.empty()) out += "source: " + e.source + "\r\n";
  return out + "\r\n";
}

std::vector<std::string> SplitAnswerFields(const std::string& answer) {
  std::vector<std::string> fields;
  size_t start = 0;
  for (;;) {
    size_t bar = FindChar(answer, '|', start);
    fields.push_back(Trim(answer.substr(start, bar == std::string::npos ? std::string::npos : bar - start)));
    if (bar == std::string::npos) return fields;
    start = bar + 1;
  }
}

std::string JoinAnswerFields(const std::vector<std::string>& fields) {
  std::string out;
  for (size_t i = 0; i < fields.size(); ++i) out += (i ? " | " : "") + fields[i];
  return out;
}

}  // namespace tolvex
