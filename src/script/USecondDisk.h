// /tolvex: finding and starting the setup program of a second product disk.
#pragma once

#include <string>
#include <vector>

namespace tolvex {

// Looks for setupFile on the second disk (asking for the disk while it is missing) and
// starts it through the shell with passOn, without waiting. found is the setup's path,
// empty when none was found; either way the run ends afterwards.
void RunSecondDisk(const std::string& setupFile, const std::vector<std::string>& passOn, std::string& found);

// One candidate folder: it counts only when setupFile and the script's IdFile both lie in
// it, and never replaces an earlier find.
void CheckDir(std::string& found, const std::string& folder, const std::string& setupFile);

struct FileSearchResult {
  std::string found;  // empty when none
  std::string trace;  // every path tried, for the install log
};
// fileName below folderName, tried below this program's folder, its parent, then the
// root of every drive a second disk can be in; a folderName with a drive or share is the
// only place tried. No IdFile is asked for.
FileSearchResult DoFileSearch2(const std::string& folderName, const std::string& fileName);

// Arguments as one parameter text for the started program.
std::string PassOnText(const std::vector<std::string>& args);

}  // namespace tolvex
