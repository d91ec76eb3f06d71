// What HKEY_CLASSES_ROOT and Windows Installer say about an installed application:
// the program opening a file extension, the servers of a COM class, the path of an
// installer component. Registry reads only; traces go to the debug log.
#pragma once

#include <windows.h>

#include <string>

namespace tolvex {

struct TAppRegInfoRec {
  std::string _subkey1;  // default value of HKCR\<extension>: the file type key
  std::string _subkey2;  // default value of HKCR\<_subkey1>: the type's description
  int reserved = -1;     // always -1; kept for the record's shape
  std::string ShellOpen, ExePath;
  bool Installed = false;
  std::string ShellEdit, EditExePath;
  bool EditInstalled = false;
};

struct TCLSInfo {
  GUID clsid{};
  std::string className, inprocServer, localServer, progId, version;
  bool dllExists = false, exeExists = false;
};

// extension with or without its leading ".".
TAppRegInfoRec GetAppRegInfo(const std::string& extension);
TCLSInfo GetCLSInfo(const GUID& clsid);
// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" in upper case.
std::string GuidRegistryText(const GUID& g);
// False when text is not a GUID in that form (letter case free).
bool ParseGuid(const std::string& text, GUID& g);

struct MsiComponentLocation {
  int state = -999;  // MsiLocateComponentA's result; -999 when msi.dll or the call is missing
  std::string path;  // empty for a negative state
};
MsiComponentLocation LocateMsiComponent(const std::string& componentCode);
// Releases msi.dll (program exit, tests).
void ResetMsiLibrary();

// One search item of GetProductRunDir: a class or component code ("{...}"), else an
// extension. The folder without trailing backslash, or empty.
std::string FindAppDirForItem(const std::string& item);
// The same for GetAssocDir: no Windows Installer step.
std::string FindAssocItemDir(const std::string& item);

}  // namespace tolvex
