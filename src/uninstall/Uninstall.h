// What an install copied, recorded for the uninstaller; the Add/Remove Programs entry;
// and the removal that entry starts.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "UCopyFiles.h"
#include "UFolderListing.h"
#include "UUninstListText.h"
#include "UWinHandle.h"

namespace tolvex {

struct UninstallState {
  bool exists = false;             // created by the first AddFile
  std::vector<std::string> files;  // every record line (UUninstListText), in recording order
  // The list file this run keeps up to date while it copies, so that an install killed
  // part way still leaves the uninstaller everything it had copied. Empty until the first
  // AddFile of an install that registers an uninstaller.
  std::string recordFile;
  // Open for the run: appending through one handle costs a write per file, where opening
  // and flushing each time would cost as much as the copy. What was written survives the
  // program being killed; only the system going down could lose the last lines.
  ScopedHandle recordHandle;
  int listNumber = -1;  // of recordFile
  // How this run recorded each path (lower case): a file it created or replaced is not set
  // aside again when a later line copies it once more.
  std::map<std::string, UndoKind> recorded;
};
UninstallState& UninstallList();
void ResetUninstall();

// The key names below HKEY_LOCAL_MACHINE that hold the Add/Remove Programs entries.
extern const char* const kUninstallKeyRoot;  // "\SOFTWARE\...\Uninstall"
extern const char* const kUninstallKeyPrefix;  // "TesmoraProductHelp"
// Fixed texts of the entry: the maker and its web site.
extern const char* const kPublisher;
extern const char* const kPublisherWebAddress;
extern const char* const kUninstallListHeader;  // line 1 of every list file

// folder + "\HelpUninstList" + n + ".ini".
std::string UninstallListPath(const std::string& folder, int n);
// The list file a new install writes: the smallest n whose file does not exist yet.
std::string NextUninstallListPath(const std::string& folder);
// The lines of a list file, header included, empty lines left out; false when unreadable.
bool ReadUninstallList(const std::string& path, std::vector<std::string>& lines);
// Sum of the sizes of the distinct files that the folder's list files name, in KB
// (rounded up): what the entry shows as the space the install takes.
unsigned long EstimatedSizeKb(const std::string& folder);

// Records a file the uninstaller is to remove (a file the install created).
void AddFile(const std::string& path);
// Records what the uninstall is to undo; a change is recorded before it is made, so that
// a run killed part way has it in the list file already.
void RecordChange(const UndoLine& line);
// Takes back the last record of path: the change it announced was not made.
void DropRecord(const std::string& path);
// How this run recorded path: Comment when it has not.
UndoKind RecordedAs(const std::string& path);
// The number of the list file this run records into (opened when needed); -1 when this
// run keeps no list (no UnInstall, or no application folder).
int RecordListNumber();
// MakeDirPath that, when record is set, first records each folder it is about to create.
bool MakeRecordedDirPath(const std::string& folder, bool record, std::vector<std::string>* made = nullptr);
// Removes the folders MakeRecordedDirPath made (made as it gave them) while they are
// empty, and takes back their records.
void RemoveMadeFolders(const std::vector<std::string>& made);
// Where the file is set aside before this run replaces it: a free name beside it.
// listing: the folder's, when the caller has one (nothing set aside since is missed: the
// names carry this run's list number).
std::string FreeSetAsideName(const std::string& path, const FolderListing* listing = nullptr);
// The Add/Remove Programs key for folder: "\SOFTWARE\...\Uninstall\" + prefix + n.
std::string GetUninstIDKey(const std::string& prefix, const std::string& folder, const std::string& product);
// Before an install copies anything: false (shown and logged) when its record could not be
// kept, since every list number or every entry is taken. Also removes what a stopped
// earlier run left copying in the folders its list names.
bool PrepareUninstallRecord(const std::string& folder);
// Writes the list file, the uninstaller copy and the entry; false when any of it failed.
bool CompleteUninstSetup(const std::string& displayName, const std::string& folder);
// Removes what the folder's list files name; false when the user declined or stopped it,
// or was not allowed to.
bool RunUninstall(const std::string& folder);

// The uninstaller copy goes through the copy engine; tests stand in for it (nullptr
// restores it).
using UninstallerCopyFn = bool (*)(const std::string& source, const std::string& destination,
                                   const CopySettings& settings);
void SetUninstallerCopyForTesting(UninstallerCopyFn fn);

}  // namespace tolvex
