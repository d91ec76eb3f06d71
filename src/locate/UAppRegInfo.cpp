#include "UAppRegInfo.h"

#include <climits>

#include "UDebugLog.h"
#include "UGuidText.h"
#include "UPaths.h"
#include "URegistry.h"
#include "USystemDll.h"
#include "UText.h"
#include "UWinHandle.h"
#include "URunState.h"

namespace tolvex {

// ---------------------------------------------------------------------------------------
// File associations

// Open commands are written by many installers, some with the system-root variable left
// unexpanded and some with doubled backslashes (a C string written out as it stood).
static std::string CleanCommand(const std::string& command) {
  std::string s = ReplaceNoCase(command, "%systemroot%", GetWindowsDir(), INT_MAX);
  return ReplaceNoCase(s, "\\\\", "\\", INT_MAX);
}

// The program of a command: everything up to and including the first ".exe". Commands of
// other programs (.com, .bat, rundll32 lines without extension) are kept whole and never
// count as installed, so they cannot point at a wrong folder.
static void SplitCommandProgram(const std::string& command, std::string& exePath, bool& installed) {
  exePath.clear();
  installed = false;
  if (command.empty()) return;
  size_t b = 0;
  while (b < command.size() && command[b] == '"') ++b;
  exePath = command.substr(b);
  size_t exe = FindNoCase(exePath, ".exe");
  if (exe == std::string::npos) return;
  exePath.resize(exe + 4);
  installed = FileExists(exePath);
}

TAppRegInfoRec GetAppRegInfo(const std::string& extension) {
  std::string ext = extension;
  if (ext.empty() || ext[0] != '.') ext.insert(0, 1, '.');

  TAppRegInfoRec info;
  info._subkey1 = ReadRegValue(HKEY_CLASSES_ROOT, ext, "");
  info._subkey2 = ReadRegValue(HKEY_CLASSES_ROOT, info._subkey1, "");
  info.reserved = -1;

  std::string typeKey = info._subkey1;
  // Some programs register their verbs on the extension key itself, without a type key.
  if (typeKey.empty() && RegKeyExists(HKEY_CLASSES_ROOT, ext)) typeKey = ext;
  if (typeKey.empty()) return info;

  info.ShellOpen = CleanCommand(ReadRegValue(HKEY_CLASSES_ROOT, typeKey + "\\shell\\open\\command", ""));
  info.ShellEdit = CleanCommand(ReadRegValue(HKEY_CLASSES_ROOT, typeKey + "\\shell\\edit\\command", ""));
  SplitCommandProgram(info.ShellOpen, info.ExePath, info.Installed);
  SplitCommandProgram(info.ShellEdit, info.EditExePath, info.EditInstalled);
  return info;
}

// ---------------------------------------------------------------------------------------
// COM classes

// The text itself is handled by the pure unit, where the fuzzers reach it; here the
// fields only move into and out of the system's GUID.
bool ParseGuid(const std::string& text, GUID& g) {
  GuidFields f;
  if (!ParseGuidText(text, f)) return false;
  g.Data1 = f.data1;
  g.Data2 = f.data2;
  g.Data3 = f.data3;
  for (size_t i = 0; i < 8; ++i) g.Data4[i] = f.data4[i];
  return true;
}

std::string GuidRegistryText(const GUID& g) {
  GuidFields f;
  f.data1 = static_cast<uint32_t>(g.Data1);
  f.data2 = g.Data2;
  f.data3 = g.Data3;
  for (size_t i = 0; i < 8; ++i) f.data4[i] = g.Data4[i];
  return GuidFieldsText(f);
}

// Server paths with spaces are often registered in quotes; only a quote pair around the
// whole value is taken off, since a quoted program followed by arguments is not a file.
static std::string Unquoted(const std::string& value) {
  if (value.size() > 1 && value.front() == '"' && value.back() == '"')
    return value.substr(1, value.size() - 2);
  return value;
}

TCLSInfo GetCLSInfo(const GUID& clsid) {
  TCLSInfo info;
  info.clsid = clsid;
  const std::string key = "CLSID\\" + GuidRegistryText(clsid);
  auto read = [&](const std::string& sub) {
    return Unquoted(ReadRegValue(HKEY_CLASSES_ROOT, sub.empty() ? key : key + "\\" + sub, ""));
  };
  info.className = read("");
  info.inprocServer = read("InprocServer32");
  info.localServer = read("LocalServer32");
  info.progId = read("ProgID");
  info.version = read("Version");
  info.dllExists = FileExists(info.inprocServer);
  info.exeExists = FileExists(info.localServer);
  return info;
}

// ---------------------------------------------------------------------------------------
// Windows Installer components

namespace {

// The installer library is optional (9x without Windows Installer): it is loaded at run
// time, so the program still starts where it is missing, and from the system folder only.
using MsiLocateComponentFn = int(WINAPI*)(const char* component, char* pathBuf, DWORD* pathChars);
using MsiGetComponentPathFn = int(WINAPI*)(const char* product, const char* component, char* pathBuf,
                                           DWORD* pathChars);
using MsiReinstallFeatureFn = UINT(WINAPI*)(const char* product, const char* feature, DWORD mode);

struct MsiLibrary {
  ScopedModule module;
  MsiLocateComponentFn locateComponent = nullptr;
  MsiGetComponentPathFn getComponentPath = nullptr;
  MsiReinstallFeatureFn reinstallFeature = nullptr;
};

MsiLibrary g_msi;

bool LoadMsiLibrary() {
  if (g_msi.module) return true;
  g_msi.module.Reset(LoadSystemDll("msi.dll"));
  if (!g_msi.module) return false;
  HMODULE m = g_msi.module.Get();
  g_msi.locateComponent = ProcAddress<MsiLocateComponentFn>(m, "MsiLocateComponentA");
  g_msi.getComponentPath = ProcAddress<MsiGetComponentPathFn>(m, "MsiGetComponentPathA");
  g_msi.reinstallFeature = ProcAddress<MsiReinstallFeatureFn>(m, "MsiReinstallFeatureA");
  return true;
}

}  // namespace

void ResetMsiLibrary() {
  g_msi.locateComponent = nullptr;
  g_msi.getComponentPath = nullptr;
  g_msi.reinstallFeature = nullptr;
  g_msi.module.Reset();
}
static const bool kResetMsiLibraryRegistered = RegisterStateReset(&ResetMsiLibrary);

MsiComponentLocation LocateMsiComponent(const std::string& componentCode) {
  MsiComponentLocation result;
  if (!LoadMsiLibrary() || !g_msi.locateComponent) return result;  // state -999
  const DWORD kChars = 400;
  char buf[kChars + 1] = "";
  DWORD chars = kChars;
  result.state = g_msi.locateComponent(componentCode.c_str(), buf, &chars);
  if (result.state >= 0) {
    // The reported length is trusted only inside the buffer and up to its terminator.
    buf[kChars] = '\0';
    std::string text(buf);
    if (chars < text.size()) text.resize(chars);
    result.path = text;
  }
  return result;
}

// ---------------------------------------------------------------------------------------
// Folders of search items

enum class ComLog { ServerKind, Plain };

// The folder of the class's local server, else of its in-process server; empty when the
// item is no class or neither server file exists.
static std::string ComServerDir(const std::string& item, ComLog logStyle) {
  GUID g;
  if (!ParseGuid(item, g)) return {};
  TCLSInfo cls = GetCLSInfo(g);
  std::string dir, server;
  const char* found = nullptr;
  if (cls.exeExists) {
    server = cls.localServer;
    found = logStyle == ComLog::ServerKind ? "  COM EXE file found = \"%s\"" : "  COM file found = \"%s\"";
  } else if (cls.dllExists) {
    server = cls.inprocServer;
    found = logStyle == ComLog::ServerKind ? "  COM DLL file found = \"%s\"" : "  COM file found = \"%s\"";
  }
  if (found) dir = ExtractFileDir(server);
  DebugLog(">>Searching for CLSID \"%s\"", item);
  if (!dir.empty()) DebugLog(found, server);
  return dir;
}

static std::string AssociationDir(const std::string& item) {
  TAppRegInfoRec aai = GetAppRegInfo(item);
  DebugLog(">>Searching for App dir. File Ext = \"%s\"", item);
  DebugLog("  --aai._subkey1 = \"%s\"", aai._subkey1);
  DebugLog("  --aai._subkey2 = \"%s\"", aai._subkey2);
  DebugLog("  --aai.ShellOpen = \"%s\"", aai.ShellOpen);
  DebugLog("  --aai.ExePath = \"%s\"", aai.ExePath);
  DebugLog("  --aai.Installed = \"%s\"", aai.Installed ? "1" : "0");
  std::string dir;
  if (!aai.ExePath.empty() && aai.Installed) dir = ExtractFileDir(aai.ExePath);
  if (!dir.empty())
    DebugLog("  File association found = \"%s\"", aai.ExePath);
  else
    DebugLog("  File association not found");
  return dir;
}

std::string FindAppDirForItem(const std::string& item) {
  if (item.empty()) return {};
  std::string dir;
  if (item[0] == '{') {
    dir = ComServerDir(item, ComLog::ServerKind);
    if (dir.empty()) {
      // Applications installed by Windows Installer may register no class at all; the
      // same braced code can then be one of their components.
      MsiComponentLocation loc = LocateMsiComponent(item);
      if (!loc.path.empty()) dir = ExtractFileDir(loc.path);
      DebugLog("  MSI Component ID check returned: %s, ComponentPath = \"%s\"", std::to_string(loc.state),
               loc.path);
    }
  } else {
    dir = AssociationDir(item);
  }
  return RemoveTrailingBackslashes(dir);
}

std::string FindAssocItemDir(const std::string& item) {
  if (item.empty()) return {};
  std::string dir = item[0] == '{' ? ComServerDir(item, ComLog::Plain) : AssociationDir(item);
  return RemoveTrailingBackslashes(dir);
}

}  // namespace tolvex
