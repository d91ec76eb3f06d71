#include "UScript.h"

#include <windows.h>

#include "UDirIdent.h"
#include "UGetAppPath.h"
#include "UInstallParams.h"
#include "ULog.h"
#include "UMessages.h"
#include "UPaths.h"
#include "UScriptText.h"
#include "UText.h"
#include "UWinExec.h"
#include "URunState.h"

namespace tolvex {

static ScriptLists g_lists;
static ScriptFileState g_scriptFile;

ScriptLists& Lists() { return g_lists; }

void CreateScriptLists() {
  g_lists = ScriptLists();
  g_lists.exist = true;
}

void FreeScriptLists() { g_lists = ScriptLists(); }

ScriptFileState& ScriptFile() { return g_scriptFile; }
void ResetScriptFile() { g_scriptFile = ScriptFileState(); }

static std::string WideToAnsi(const std::u16string& wide) {
  if (wide.empty()) return {};
  const wchar_t* w = reinterpret_cast<const wchar_t*>(wide.data());
  int n = WideCharToMultiByte(CP_ACP, 0, w, static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
  if (n <= 0) return {};
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_ACP, 0, w, static_cast<int>(wide.size()), &out[0], n, nullptr, nullptr);
  return out;
}
static const bool kFreeScriptListsRegistered = RegisterStateReset(&FreeScriptLists);
static const bool kResetScriptFileRegistered = RegisterStateReset(&ResetScriptFile);

bool ReadScriptFileLines(const std::string& file, std::vector<std::string>& lines, ScriptEncoding* encoding) {
  lines.clear();
  if (!FileExists(file)) return false;
  std::string bytes;
  if (!ReadFileWhole(file, bytes)) {
    LogError(Format("the script \"%s\" could not be read", {file}), GetLastError());
    return false;
  }
  if (encoding) *encoding = DetectScriptEncoding(bytes);
  lines = SplitScriptLines(DecodeScriptBytes(bytes, &WideToAnsi));
  return true;
}

static bool SectionOf(const std::vector<std::string>& lines, const std::string& section, ScriptSectionList& list) {
  list.clear();
  std::vector<ScriptLine> found;
  bool present = CollectSectionLines(lines, section, found);
  for (ScriptLine& l : found) list.push_back(std::move(l.text));
  return present;
}

bool ReadSectionLines(const std::string& file, const std::string& section, ScriptSectionList& list) {
  list.clear();
  std::vector<std::string> lines;
  return ReadScriptFileLines(file, lines) && SectionOf(lines, section, list);
}

// The section's values resolved, from the file's lines as read once.
static void LoadSection(const std::vector<std::string>& lines, const std::string& section, ScriptSectionList& list) {
  SectionOf(lines, section, list);
  // Backwards, so that dropping a line leaves the ones still to visit in place.
  for (size_t i = list.size(); i-- > 0;) {
    std::string value = SectionItemValue(list[i]);
    ResolvedText r = ResolveIdentifiers(value);
    list[i] = r.text;
    if (r.skippedByUser) {
      LogLine("Section: %s -- Item Skipped by user. Application not found on PC. (unresolved <> Specifier): \"%s\".",
              section, list[i]);
      list.erase(list.begin() + static_cast<std::ptrdiff_t>(i));
    } else if (r.skipped) {
      LogLine(
          "Section: %s -- Item Skipped by script. Application not found on PC. (unresolved <> Specifier): \"%s\".",
          section, list[i]);
      list.erase(list.begin() + static_cast<std::ptrdiff_t>(i));
    } else if (r.unknown) {
      ReportScriptError("Internal Error: Tolvex.ini Script error \"" + value + "\" unknown <identifier>");
    }
  }
}

void LoadScriptSection(const std::string& section, ScriptSectionList& list) {
  std::vector<std::string> lines;
  ReadScriptFileLines(g_scriptFile.path, lines);
  LoadSection(lines, section, list);
}

bool InitScript() {
  LogLine("Start InitScript()");
  if (Params().exedir.empty()) {
    ReportScriptError(AppNotFoundMessage(Params().productname));
    return false;
  }
  // Read once: every section comes from the same lines.
  std::vector<std::string> lines;
  ReadScriptFileLines(g_scriptFile.path, lines);
  SectionOf(lines, "CUSTOMDIRS", g_lists.customDirs);
  if (!ResolveCustomDirs()) return false;
  const std::pair<const char*, ScriptSectionList*> sections[] = {
      {"FILES", &g_lists.files}, {"SHORTCUTS", &g_lists.shortcuts}, {"RUN", &g_lists.run},
      {"LIST1", &g_lists.list1}, {"LIST2", &g_lists.list2},         {"LIST3", &g_lists.list3},
      {"LIST4", &g_lists.list4}};
  for (const auto& s : sections) {
    LoadSection(lines, s.first, *s.second);
    // What was loaded, so a support engineer sees the script as this PC resolved it.
    if (s.second->empty()) continue;
    LogLine("Section: %s -- %d item(s) loaded", s.first, static_cast<int>(s.second->size()));
    for (const std::string& line : *s.second) LogLine("    " + line);
  }
  LogLine("End InitScript()");
  LogLine(std::string(61, '='));
  return true;
}

}  // namespace tolvex
