// Directory identifiers in script values ("<exedir>", "<csidlfonts>", custom ones) and
// how a text is resolved. Pure text: the folders come from the caller, so the checker
// and the fuzzers run the same substitution as the engine.
#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace tolvex {

// One custom directory declared in [CUSTOMDIRS], with what the search found for it.
struct CustomDirRec {
  std::string name;         // the identifier, written "<name>" in values
  std::string displayName;  // shown to the user; the name when the line gives none
  bool prompted = false;    // the line gives a display name: the user is asked
  bool skip = false;        // items that use it are left out
  std::string searchList;
  std::string path;         // the folder found; empty when none
};

struct IdentifierSet {
  // "<name>" and its value, in the order they are replaced.
  std::vector<std::pair<std::string, std::string>> fixed;
  const std::vector<CustomDirRec>* customDirs = nullptr;
  // The text between "<" and ">" to a folder; empty when it names none.
  std::function<std::string(const std::string&)> namedFolder;
};

struct ResolvedText {
  std::string text;
  bool skippedByUser = false;  // a custom directory the user chose to skip
  bool skipped = false;        // skipped by the user or by the script
  bool unknown = false;        // a "<" is left
};

// The fixed identifiers (up to 999 occurrences of each, never rescanning a value), then
// the custom directories (recognised in their declared letter case, replaced in any),
// then named folders from the first "<...>" on until one does not resolve.
ResolvedText ResolveIdentifierText(const std::string& text, const IdentifierSet& ids);

// What a named identifier asks for, from its text between the brackets.
enum class NamedFolderKind { None, SpecialFolder, Association, WinDir, WinSysDir, TempDir, DriversDir };
struct NamedFolderRef {
  NamedFolderKind kind = NamedFolderKind::None;
  int csidl = -1;          // SpecialFolder: the shell's folder number
  std::string expression;  // Association: the text after "@", lower case
};
// "$" + hexadecimal (modulo 256), "@" + expression, the 45 "csidl..." names, "windir",
// "winsysdir", "tempdir", "driversdir"; letter case aside. Anything else: None.
NamedFolderRef ClassifyNamedFolder(const std::string& name);
// The 45 special-folder names and their numbers, for the checker's messages.
const std::vector<std::pair<const char*, int>>& SpecialFolderNames();

// The identifiers a script may use, for the checker (the engine resolves through
// IdentifierSet, whose folders the checker does not have).
struct IdentifierNames {
  std::vector<std::string> fixed;   // "<exedir>" and the others the engine always knows
  std::vector<std::string> cd;      // those of fixed whose folders the CD alone decides
  std::vector<std::string> custom;  // [CUSTOMDIRS] names as declared, without brackets
};
// What the identifiers of one text need, and what is wrong with them.
struct IdentifierScan {
  bool cd = false;     // names a folder of the CD
  bool other = false;  // names a folder only the PC knows
  std::vector<std::string> problems;
};
// Mirrors ResolveIdentifierText: fixed identifiers in any letter case, custom ones in
// their declared case, named folders from left to right until a "<" or ">" stops it.
IdentifierScan ScanIdentifiers(const std::string& text, const IdentifierNames& names);

}  // namespace tolvex
