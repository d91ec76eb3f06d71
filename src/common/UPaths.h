// File-system helpers over the ANSI Win32 API.
#pragma once

#include <string>

namespace tolvex {

// True for an existing folder; also when a listing of path + "\*.*" finds an entry (a
// drive root or share that reports no attributes).
bool FolderExists(const std::string& path);
// True for an existing file (not a folder).
bool FileExists(const std::string& path);
// Clears the read-only attribute of the file at path, given its attributes as already
// read (else they are looked up). False when the attribute stays: the failure is logged
// with the system's reason.
bool ClearReadOnly(const std::string& path);
bool ClearReadOnly(const std::string& path, unsigned long attributes);
// True when some entry that is not a folder matches the pattern.
bool AnyFileMatches(const std::string& pattern);
// Last-write time (UTC) and size of a file; false when it does not exist. (Through a
// directory listing, which every Windows has.)
bool GetFileStamp(const std::string& path, unsigned long long& writeTime, unsigned long long& size);
// Creates the folder with all missing parents; true when it exists afterwards.
bool MakeDirPath(const std::string& path);
// Creates (or truncates) folder + "\$_Temp_$.$$$" for writing, then closes and deletes it.
bool ProbeFileCanBeCreated(const std::string& folder);

std::string GetWindowsDir();  // no trailing backslash
std::string GetSystemDir();   // no trailing backslash
// The system folder Windows reports, never a test's stand-in: for what is loaded into this
// process. No trailing backslash; empty when Windows does not say.
std::string WindowsSystemDir();
// path made full against the current folder, as Windows makes it; path itself when
// Windows cannot (an empty or overlong name).
std::string FullPathName(const std::string& path);

// Where the tests put stand-in system components (a scratch folder with DLLs of chosen
// versions) for the checks and component steps to find; empty: the system's own folders.
// Only the program's own look-ups follow them, never the system's.
struct FolderOverrides {
  std::string windowsDir, systemDir;
};
FolderOverrides& Folders();
void ResetFolderOverrides();
std::string GetTempDir();     // as the system reports it, trailing backslash removed
std::string ModulePath();     // the running program file, whole even beyond MAX_PATH
std::string ModuleDir();      // its folder, no trailing backslash

// The long form the Windows shell gives for a path (desktop folder parse, then the
// item list back to a path); the text unchanged when the shell does not know it.
std::string ShellLongPath(const std::string& path);
// The parent-folder rule of the directory identifiers: trailing backslashes off, the
// shell's long form, cut before the last backslash; a drive or share is its own parent.
std::string ParentFolder(const std::string& path);

// Writes content to path whole: a temporary file beside it replaces the old file only
// once every byte is written, so a full disk never leaves a half-written file behind.
// On failure errorCode holds the system error.
bool WriteFileWhole(const std::string& path, const std::string& content, unsigned long& errorCode);
// Puts the file from in place of path in one rename (on the 9x family, which cannot
// rename over a file: delete, then rename). From stays where it is on failure.
bool ReplaceWithFile(const std::string& from, const std::string& path, unsigned long& errorCode);
// With refuse set, ReplaceWithFile fails with access denied over a read-only file, as
// Windows NT does (Wine replaces it).
void RefuseReadOnlyReplaceForTesting(bool refuse);
// Appends text to path (created when missing); a line-by-line record.
bool AppendFileText(const std::string& path, const std::string& text, unsigned long& errorCode);
// The system's own text for an error code of the helpers above, and the code:
// "The file name is too long. (error 206)".
std::string SystemErrorText(unsigned long errorCode);
// Reads a whole file; false when it cannot be opened or read.
bool ReadFileWhole(const std::string& path, std::string& content);

}  // namespace tolvex
