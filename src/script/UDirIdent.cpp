#include "UDirIdent.h"

#include <windows.h>
#include <shlobj.h>

#include "UApp.h"
#include "UGetAppPath.h"
#include "UInstallParams.h"
#include "ULog.h"
#include "UMessages.h"
#include "UPaths.h"
#include "UProductDir.h"
#include "URights.h"
#include "UScript.h"
#include "UScriptText.h"
#include "UText.h"
#include "UWinHandle.h"
#include "URunState.h"

namespace tolvex {

static DirIdentState g_dirIdents;

DirIdentState& DirIdents() { return g_dirIdents; }
void ResetDirIdents() { g_dirIdents = DirIdentState(); }

std::vector<std::pair<std::string, std::string>> FixedIdentifiers() {
  const InstallParams& p = Params();
  return {{"<winsysdir>", p.winsysdir},     {"<windir>", p.windir},
          {"<programfilesdir>", p.programfilesdir}, {"<exedir>", p.exedir},
          {"<exedirup1>", p.exedirup1},     {"<exedirup2>", p.exedirup2},
          {"<exedirup3>", p.exedirup3},     {"<setupdir>", p.setupdir},
          {"<setupdirup1>", p.setupdirup1}, {"<setupdirup2>", p.setupdirup2},
          {"<setupdirup3>", p.setupdirup3}, {"<setupparentdir>", p.setupparentdir},
          {"<flashcfgdir>", p.flashcfgdir}};
}
static const bool kResetDirIdentsRegistered = RegisterStateReset(&ResetDirIdents);

ResolvedText ResolveIdentifiers(const std::string& text) {
  IdentifierSet ids;
  ids.fixed = FixedIdentifiers();
  ids.customDirs = &g_dirIdents.customDirs;
  ids.namedFolder = &ResolveNamedFolder;
  return ResolveIdentifierText(text, ids);
}

std::string ResolveScriptText(const std::string& text) {
  ResolvedText r = ResolveIdentifiers(text);
  if (r.skipped || r.skippedByUser)
    ReportScriptError("Internal Error: Tolvex.ini Script error \"" + text + "\" <identifier> could not be resolved");
  else if (r.unknown)
    ReportScriptError("Internal Error: Tolvex.ini Script error \"" + text + "\" unknown <identifier>");
  return r.text;
}

std::string SpecialFolderPath(int csidl) {
  ScopedCoTaskMem<ITEMIDLIST> pidl;
  if (FAILED(SHGetSpecialFolderLocation(nullptr, csidl, pidl.Receive())) || !pidl) return {};
  char buf[MAX_PATH] = "";
  BOOL ok = SHGetPathFromIDListA(pidl.Get(), buf);
  return ok ? RemoveTrailingBackslashes(buf) : std::string();
}

static std::string TempFolder() {
  std::string t = GetTempDir();
  if (!t.empty()) t = RemoveTrailingBackslashes(ShellLongPath(t));
  if (!t.empty() && CanWriteToFolder(t)) return t;
  std::string fallback = GetWindowsDir() + "\\TEMP";
  if (!MakeDirPath(fallback)) LogLine("** Error: the folder \"%s\" could not be created", fallback);
  return fallback;
}

static const std::string& Cached(std::string& slot, std::string (*compute)()) {
  if (slot.empty()) slot = compute();
  return slot;
}

static std::string DriversFolder() {
  std::string sys = GetSystemDir();
  return IsNtPlatform() ? sys + "\\drivers" : sys;
}

std::string ResolveNamedFolder(const std::string& name) {
  NamedFolderRef ref = ClassifyNamedFolder(name);
  switch (ref.kind) {
    case NamedFolderKind::SpecialFolder: return SpecialFolderPath(ref.csidl);
    case NamedFolderKind::Association: return GetAssocDir(ref.expression);
    case NamedFolderKind::WinDir: return Cached(g_dirIdents.windir, &GetWindowsDir);
    case NamedFolderKind::WinSysDir: return Cached(g_dirIdents.winsysdir, &GetSystemDir);
    case NamedFolderKind::TempDir: return Cached(g_dirIdents.tempdir, &TempFolder);
    case NamedFolderKind::DriversDir: return Cached(g_dirIdents.driversdir, &DriversFolder);
    case NamedFolderKind::None: break;
  }
  return {};
}

bool ResolveCustomDirs() {
  bool result = true;
  const ScriptSectionList& lines = Lists().customDirs;
  std::vector<CustomDirRec>& dirs = g_dirIdents.customDirs;
  dirs.assign(lines.size(), CustomDirRec());
  for (size_t i = 0; i < lines.size(); ++i) {
    CustomDirRec& d = dirs[i];
    CustomDirLine line = ParseCustomDirLine(lines[i]);
    d.name = line.name;
    d.prompted = !line.displayName.empty();
    d.displayName = d.prompted ? line.displayName : line.name;
    d.searchList = line.searchList;
    d.path = GetAppPath(d.searchList, "", d.displayName, d.prompted);
    const int n = static_cast<int>(i);
    if (d.path == "-") {
      d.path.clear();
      result = false;
      MarkRunDeclined();
    } else if (d.path == "$") {
      d.path.clear();
      d.skip = true;
    }
    if (!d.path.empty() && !FolderExists(d.path)) {
      ReportScriptError(ExpandMessage("Installation Error: \"%s\" application directory found in registry but not found "
                                      "on harddisk!\rDirectory: %s\rPlease reinstall application software. "
                                      "Installation terminated.",
                                      {d.displayName, d.path}));
      LogLine("_dir_CustomDirs[%s] = ** Dir not found: %s **", n, d.path);
      result = false;
    }
    if (!d.path.empty()) LogLine("_dir_CustomDirs[%s] = %s | %s | %s", n, d.name, d.searchList, d.path);
    else LogLine("_dir_CustomDirs[%s] = %s | %s | ** Path Not Found **", n, d.name, d.searchList);
    if (d.skip && d.prompted)
      LogLine("_dir_CustomDirs[%s] = ** %s Not Found: User Chose to Skip Item installation **", n, d.name);
    else if (d.skip)
      LogLine("_dir_CustomDirs[%s] = ** %s Not Found: Install is configured to Skip Item installation **", n, d.name);
    if (!result) {
      LogLine("_dir_CustomDirs[%s] = %s ** Not Found: User Chose to Abort rest of install **", n, d.name);
      break;
    }
  }
  LogLine(kLogSeparator);
  return result;
}

}  // namespace tolvex
