#include "UUninstListText.h"

#include <cstring>

#include "UCodePage.h"
#include "UText.h"

namespace tolvex {

const char* const kCopyInProgressSuffix = ".~tvxcopy";

namespace {

struct Tag {
  UndoKind kind;
  const char* text;
};
const Tag kTags[] = {{UndoKind::Replaced, ";\"replaced\" "}, {UndoKind::Kept, ";\"kept\" "},
                     {UndoKind::Folder, ";\"folder\" "},     {UndoKind::Link, ";\"link\" "},
                     {UndoKind::Registered, ";\"registered\" "}};

const char* TagOf(UndoKind kind) {
  for (const Tag& t : kTags)
    if (t.kind == kind) return t.text;
  return nullptr;
}

UndoLine Invalid(const std::string& path, const char* why) {
  UndoLine u;
  u.kind = UndoKind::Invalid;
  u.path = path;
  u.why = why;
  return u;
}

bool IsDigits(const std::string& s) {
  if (s.empty()) return false;
  for (char c : s)
    if (c < '0' || c > '9') return false;
  return true;
}

}  // namespace

bool IsFullFilePath(const std::string& path) {
  // Every byte is looked at, so that no pattern hides behind a lead byte; only "|" can be
  // the second byte of a double-byte character, and is looked for where characters begin.
  for (char c : path)
    if (static_cast<unsigned char>(c) < ' ' || std::strchr("*?<>\"", c)) return false;
  if (FindChar(path, '|') != std::string::npos) return false;
  size_t rest;
  if (path.size() >= 3 && path[1] == ':' && path[2] == '\\' &&
      ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'))) {
    rest = 3;
  } else if (path.compare(0, 2, "\\\\") == 0) {
    // "\\server\share\" and at least one name below the share.
    size_t server = FindChar(path, '\\', 2);
    if (server == std::string::npos || server == 2) return false;
    size_t share = FindChar(path, '\\', server + 1);
    if (share == std::string::npos || share == server + 1) return false;
    rest = share + 1;
  } else {
    return false;
  }
  if (FindChar(path, ':', rest) != std::string::npos) return false;  // a stream, or a second drive
  return rest < path.size() && !EndsWithChar(path, '\\');
}

UndoLine ParseUndoLine(const std::string& raw) {
  std::string line = Trim(raw);
  UndoLine u;
  if (line.empty()) return u;
  if (line[0] != ';') {
    if (HasWildcard(line)) return Invalid(line, "a pattern, not a file name");
    if (!IsFullFilePath(line)) return Invalid(line, "not a full file path");
    u.kind = UndoKind::Created;
    u.path = line;
    return u;
  }
  for (const Tag& t : kTags) {
    size_t n = std::strlen(t.text);
    if (line.compare(0, n, t.text) != 0) continue;
    std::string rest = line.substr(n);
    if (t.kind == UndoKind::Replaced) {
      size_t bar = FindChar(rest, '|');
      if (bar == std::string::npos) return Invalid(rest, "no set-aside file named");
      u.aside = rest.substr(bar + 1);
      rest.resize(bar);
      if (!IsSetAsideNameOf(u.aside, rest)) return Invalid(rest, "the set-aside file is not beside its file");
    }
    if (!IsFullFilePath(rest)) return Invalid(rest, "not a full file path");
    u.kind = t.kind;
    u.path = rest;
    return u;
  }
  return u;  // the header, or a remark
}

std::string UndoLineText(const UndoLine& u) {
  if (u.kind == UndoKind::Created) return u.path;
  const char* tag = TagOf(u.kind);
  if (!tag) return {};
  return tag + u.path + (u.kind == UndoKind::Replaced ? "|" + u.aside : std::string());
}

std::string SetAsideName(const std::string& path, int listNumber, int attempt) {
  std::string name = path + ".~tvx" + std::to_string(listNumber);
  return attempt > 0 ? name + "-" + std::to_string(attempt) : name;
}

bool IsSetAsideNameOf(const std::string& aside, const std::string& path) {
  const std::string stem = path + ".~tvx";
  if (path.empty() || aside.size() <= stem.size() || !EqualsNoCase(aside.substr(0, stem.size()), stem)) return false;
  std::string tail = aside.substr(stem.size());
  size_t dash = tail.find('-');
  if (dash == std::string::npos) return IsDigits(tail);
  return IsDigits(tail.substr(0, dash)) && IsDigits(tail.substr(dash + 1));
}

}  // namespace tolvex
