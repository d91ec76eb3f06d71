// The copy engine: [FILES] walked line by line, each item turned into single-file copies,
// and each copy decided by its mode so that a newer file is never replaced by an older
// one unless the script says so.
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "UFileLineText.h"

namespace tolvex {

// What an item asks of every file it copies.
struct CopySettings {
  CopyMode mode = CopyMode::AnyDifference;
  std::string reg;  // "r": register as a COM server; two or more characters: run with these
  bool addToUninstall = false;
  bool updateOnly = false;
};
CopySettings SettingsOf(const FileItem& item);

// What the copies of a run have learnt about the volumes they wrote to.
struct CopyEngineState {
  std::set<std::string> volumesChecked;              // tried whether they keep a creation time
  std::set<std::string> volumesWithoutCreationTime;  // ... and they do not
  std::set<std::string> foldersCleaned;  // rid of the copies a stopped run left in them
  // File lines' destination folders (lower case) found writable and made, with the
  // folder the check was made on.
  std::map<std::string, std::string> readyFolders;
  // The CRC's read buffer, 256 KB once the first sum is taken: one for the run, as a
  // fresh one for every small file would cost more than reading it.
  std::vector<unsigned char> crcBuffer;
};
CopyEngineState& CopyEngine();
void ResetCopyEngine();

// Removes the copies in progress (UUninstListText's kCopyInProgressSuffix) that a stopped
// run left in folder; once per folder and run.
void RemoveLeftCopies(const std::string& folder);

// The status line while a file is copied: "Copying file: " and the file's name.
void ShowCopyStatus(const std::string& destination);

// The [FILES] stage; false when the install is to stop.
bool CopyFilesSection();
// One item: a folder tree (source and destination ending with "\"), a single file, or a
// pattern; false when the install is to stop.
bool CopyFileItem(const std::string& source, const std::string& destination, const CopySettings& settings);
bool CopyMatchingFiles(const std::string& pattern, const std::string& folder, const CopySettings& settings);
// The decision, the copy and its follow-up work for one file. True also when no copy was
// needed; false only when a copy failed and the user chose not to go on.
bool CopyOneFile(const std::string& source, const std::string& destination, const CopySettings& settings);
// The ZIP CRC-32 of a file's bytes; false when it cannot be read.
bool FileCrc32(const std::string& path, uint32_t& crc);
// Loads the DLL and calls its export entry ("DllRegisterServer", "DllUnregisterServer"),
// with no system box for a missing file; true when the call reported success.
bool CallServerDll(const std::string& path, const char* entry);
// Calls the DLL's DllRegisterServer, up to ten times; true when it reported success.
bool RegisterServerDll(const std::string& path);

}  // namespace tolvex
