// Finding the folder of an installed application from what it registered, where the
// maker's products record themselves, and the fixed drives; the user decides when there
// are several or none.
#pragma once

#include <string>
#include <vector>

namespace tolvex {

struct AppPathState {
  bool userChoseAppFolder = false;  // the latest search ended in the folder browser
};
AppPathState& AppPathSearch();
void ResetAppPathSearch();
bool UserChoseAppFolder();

// A folder without trailing backslash, "-" (stop the install) or "$" (skip the items).
std::string GetAppPath(const std::string& searchList, const std::string& defaultRunDir,
                       const std::string& displayName, bool prompt);

// The list's items: trimmed, up to the first empty one, letter-case duplicates dropped.
std::vector<std::string> SplitSearchList(const std::string& list);
// Every candidate folder of a search, in the order the user sees them.
std::vector<std::string> GatherCandidates(const std::string& searchList, const std::string& defaultRunDir);
// Adds folder when it exists and holds an .exe or .dll file, in the shell's long form,
// unless it is there already (letter case aside).
void AddCandidateFolder(std::vector<std::string>& candidates, const std::string& folder);
// "\"name\" application not found! ..." with the name as written.
std::string AppNotFoundMessage(const std::string& name);
// The not-found question's text.
std::string AppNotFoundQuestion(const std::string& displayName);
// The folder the user picked, or empty when the browser was cancelled.
std::string BrowseForAppFolder();
// Program Files (created when missing); raises std::runtime_error when it cannot be.
std::string GetProgramFilesDir();

}  // namespace tolvex
