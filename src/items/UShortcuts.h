// Start-menu and desktop shortcuts, and the programs [RUN] starts after the copy.
#pragma once

#include <string>

namespace tolvex {

// Each false when the install is to stop.
bool MakeShortcuts();
bool RunItems();

// What one shell link is to hold; only the fields named in `fields` are written.
struct TLinkData {
  enum : unsigned char {
    kDescription = 1,
    kArguments = 2,
    kIcon = 4,
    kWorkingFolder = 8,
    kHotKey = 16,
    kShowCommand = 32,
  };
  std::string path;
  unsigned char fields = 0;
  std::string description, arguments, iconPath;
  int iconIndex = 0;
  std::string workingFolder;
  int showCommand = 0;
  unsigned short hotKey = 0;
};

// Writes the .lnk file, replacing one of that name. COM must be initialised on the
// calling thread. False, logged, when a shell-link call fails.
bool CreateShellLink(const std::string& linkPath, const TLinkData& link);

// One [SHORTCUTS] line: "target, arguments, name" (each trimmed).
struct ShortcutParams {
  std::string target, arguments, name;
  bool targetExists = false;
};
// Logs the line and its fields; a missing target is reported as a script error when
// the script asks for that.
ShortcutParams GetShortcutParams(const std::string& line);

// The Start menu's programs folder: all users', else the current user's; empty when the
// shell names neither.
std::string StartMenuProgramsFolder();
// The Start menu's programs folder (all users, else the current user), a backslash and the
// group, created with its parents. Empty, logged, when the shell names no programs folder.
std::string GetProgramGroupFolder(const std::string& group);

// The value under the emission spectrometer's model key: 1 selects its second icon.
bool IsRadialModel();

}  // namespace tolvex
