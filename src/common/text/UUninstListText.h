// The lines of an uninstall list file. Line 1 is the header; a plain line is a file the
// install created, which the uninstall removes. Everything else an install must undo is a
// line that starts with ';"': no file name can begin so, so a program that knows only
// plain lines passes over them and removes no more than before.
//
//   C:\App\Help\a.chm                            created: removed
//   ;"replaced" C:\App\a.dll|C:\App\a.dll.~tvx0  replaced: the set-aside file is put back
//   ;"kept" C:\App\b.chm                         there before and not copied: left alone
//   ;"folder" C:\App\Help                        created folder: removed once empty
//   ;"link" C:\...\Programs\Lumen\Help.lnk       shortcut: removed
//   ;"registered" C:\App\x.dll                   the file above it was registered as a COM
//                                                server: unregistered before it goes
//
// Pure text: builds natively.
#pragma once

#include <string>

namespace tolvex {

enum class UndoKind { Comment, Created, Replaced, Kept, Folder, Link, Registered, Invalid };

struct UndoLine {
  UndoKind kind = UndoKind::Comment;
  std::string path;
  std::string aside;  // Replaced: where the old file was set aside
  std::string why;    // Invalid: what is wrong with the line
};

// What one line of a list file says. A line the uninstall must not act on (a pattern, a
// relative path, a set-aside file that is not beside its file) is Invalid with the reason.
UndoLine ParseUndoLine(const std::string& line);
// The line that records it; Comment and Invalid give an empty text.
std::string UndoLineText(const UndoLine& line);

// "X:\..." or "\\server\share\...", with a name after the last backslash and none of the
// characters no file name may hold ("*", "?", "<", ">", "|", '"', control characters).
bool IsFullFilePath(const std::string& path);

// Suffix of the files that take a copy until it is renamed into place; what a killed run
// leaves behind under it is never anyone's file.
extern const char* const kCopyInProgressSuffix;  // ".~tvxcopy"
// The name an install sets the file aside under before it replaces it: path + ".~tvx" +
// the list number, and "-" + attempt after that when the name is taken (attempt > 0).
std::string SetAsideName(const std::string& path, int listNumber, int attempt = 0);
// True when aside is a name SetAsideName can give for path.
bool IsSetAsideNameOf(const std::string& aside, const std::string& path);

}  // namespace tolvex
