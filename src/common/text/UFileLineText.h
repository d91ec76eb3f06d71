// The grammar of a [FILES] or LIST line, without anything that touches the disk:
//
//   [ condition token "," ]... source "," destination "," flags "," register ","
//   condition file "," selection "," caption "," description
//
// A condition token is one or more "$Lang_[!]code" conditions joined by "&".
#pragma once

#include <string>
#include <vector>

namespace tolvex {

enum class CopyMode { Always, DateNewer, VersionOrDateNewer, AnyDifference };

// One parsed line. Defaults are what a line that fails early leaves behind.
struct FileItem {
  std::string source, destination;
  CopyMode copyMode = CopyMode::AnyDifference;
  bool updateOnly = false;
  bool addToUninstall = false;
  std::string reg;  // "r" registers, two or more characters: the copied program's arguments
  bool conditionFileExists = false;
  int selection = 0;  // how an optional component is offered, 0..4
  std::string caption, description;
};

struct FileLineParts {
  std::vector<std::string> tokens;  // the leading "$" fields, trimmed
  std::string rest;                 // the line without its tokens
  std::vector<std::string> fields;  // rest split at ",", trimmed, always 8
  bool tokensOnly = false;          // nothing but tokens: no item at all
};
FileLineParts SplitFileLine(const std::string& line);

struct ConditionValue {
  bool valid = false;
  bool value = false;
};
// Each "&" part in order, trimmed, up to an empty one; stops at the first false one.
// A part that is not "$Lang_" + a known code (optionally "!"-negated) makes it invalid.
ConditionValue EvalConditionToken(const std::string& token, const std::string& currentCode);

struct CopyFlags {
  bool hasMode = false;  // one of O, D, V, $ or X: without it the line is invalid
  CopyMode mode = CopyMode::AnyDifference;
  bool updateOnly = false;
  bool addToUninstall = false;
};
CopyFlags DecodeCopyFlags(const std::string& field);
int DecodeSelection(const std::string& field);
// Source and destination both end with "\": the item copies a folder tree.
bool IsFolderItem(const std::string& source, const std::string& destination);
// "-" or empty names no condition file.
bool NamesConditionFile(const std::string& field);
// The register field: "r" in either case (registers a COM server), else the text as
// written, since as arguments it goes to a program that may well tell case apart
// ("/Dir=C:\Lab" names a folder, "/S" and "/s" may be different switches).
std::string DecodeRegisterField(const std::string& field);

}  // namespace tolvex
