#include "UProductDir.h"

#include <windows.h>

#include <functional>
#include <vector>

#include "UAppRegInfo.h"
#include "UDebugLog.h"
#include "UFileVersion.h"
#include "UPaths.h"
#include "UText.h"

namespace tolvex {

namespace {

// The items of a list up to the first empty one: an empty field ends the list, so a
// script can cut a list short without deleting its tail.
std::vector<std::string> ListItems(const std::string& list, char separator) {
  std::vector<std::string> items;
  for (const std::string& field : SplitText(list, separator)) {
    std::string item = Trim(field);
    if (item.empty()) break;
    items.push_back(item);
  }
  return items;
}

// The rest of a "+" or "-" item names another application rather than a file test.
bool NamesApplication(const std::string& item) { return item.size() > 1 && (item[1] == '.' || item[1] == '{'); }

// The walk shared by both list forms. A plain item only counts while nothing is found,
// a "+" or "-" item only once something is: the first sets the folder, the others can
// only take it away again, and a later plain item may then find a new one.
std::string EvalSearchList(const std::vector<std::string>& items,
                           const std::function<std::string(const std::string&)>& findDir,
                           const std::function<bool(const std::string&, const std::string&)>& fileTest) {
  std::string result;
  for (const std::string& item : items) {
    if (item.size() <= 1) continue;
    const char kind = item[0];
    if (kind == '+' || kind == '-') {
      if (result.empty()) continue;
      const std::string rest = item.substr(1);
      bool drop;
      if (NamesApplication(item)) {
        std::string other = findDir(rest);
        // An application that is not there says nothing about the folder found so far.
        if (other.empty()) continue;
        bool same = EqualsNoCase(other, result);
        drop = kind == '+' ? !same : same;
      } else {
        bool holds = fileTest(result, rest);
        drop = kind == '+' ? !holds : holds;
      }
      if (drop) result.clear();
    } else if (result.empty()) {
      result = findDir(item);
    }
  }
  return result;
}

}  // namespace

bool EvalFileCondition(const std::string& folder, const std::string& condition) {
  // Two-character operators first: "<" would otherwise match the start of "<=".
  static const char* const kOperators[] = {"<=", ">=", "<", ">", "="};
  for (const char* op : kOperators) {
    size_t pos = FindNoCase(condition, op);
    if (pos == std::string::npos) continue;
    std::string opText = op;
    std::string name = Trim(condition.substr(0, pos));
    std::string wanted = Trim(condition.substr(pos + opText.size()));
    FileVersionInfo v = GetFileVersion(folder + "\\" + name);
    if (v.text.empty()) return false;
    int c = CompareVersionTexts(v.text, wanted);
    if (opText == "<=") return c <= 0;
    if (opText == ">=") return c >= 0;
    if (opText == "<") return c < 0;
    if (opText == ">") return c > 0;
    return c == 0;
  }
  return FileExists(folder + "\\" + condition);
}

std::string GetProductRunDir(const std::string& list, char separator) {
  DebugLog(">>Kelvor_GetProductRunDir(%s)", list);
  std::string result = EvalSearchList(ListItems(list, separator), FindAppDirForItem, EvalFileCondition);
  return RemoveTrailingBackslashes(result);
}

// "name=version": the file below the folder matches the version pattern.
static bool FileVersionCondition(const std::string& folder, const std::string& condition) {
  size_t eq = FindChar(condition, '=');
  std::string name = Trim(condition.substr(0, eq));
  std::string pattern = eq == std::string::npos ? std::string() : Trim(condition.substr(eq + 1));
  return FileVersionMatches(folder + "\\" + name, pattern);
}

// The canonical long form of an absolute path, as the shell reports it.
static std::string CanonicalPath(const std::string& path) {
  // A bare drive ("c:", the folder of a program in the root) would otherwise expand to
  // that drive's current folder.
  std::string p = path.size() == 2 && path[1] == ':' ? path + "\\" : path;
  return RemoveTrailingBackslashes(ShellLongPath(FullPathName(p)));
}

std::string GetAssocDir(const std::string& text) {
  std::string t = text;
  int levels = 0;
  static const struct {
    const char* prefix;
    int levels;
  } kPrefixes[] = {{"[..]", 1}, {"[...]", 2}, {"[....]", 3}};
  for (const auto& p : kPrefixes) {
    if (t.compare(0, std::string(p.prefix).size(), p.prefix) == 0) {
      t.erase(0, std::string(p.prefix).size());
      levels = p.levels;
      break;
    }
  }
  size_t b = t.find_first_not_of(';');
  if (b == std::string::npos) return {};
  t.erase(0, b);

  std::string result = EvalSearchList(ListItems(t, ';'), FindAssocItemDir, FileVersionCondition);
  if (result.empty()) return {};
  result = CanonicalPath(result);
  // ParentFolder stops at the drive (or share), so extra levels never leave the volume.
  for (int i = 0; i < levels; ++i) result = ParentFolder(result);
  return result;
}

}  // namespace tolvex
