#include "UFileItem.h"

#include <windows.h>

#include <map>

#include "UCopyFiles.h"
#include "ULocale2.h"
#include "ULog.h"
#include "UMessages.h"
#include "UPaths.h"
#include "URights.h"
#include "UText.h"

#include "Uninstall.h"

namespace tolvex {

ConditionValue EvalConditionPrefix(const std::string& token) {
  return EvalConditionToken(token, CurrentLanguage().code);
}

static ParseStatus InvalidFormat(const std::string& rest) {
  ReportScriptError(ExpandMessage("Internal error: Invalid format in [FILES] section of Tolvex.ini.|| \"%s\"", {rest}));
  return ParseStatus::Error;
}

namespace {

// Evaluates the line's "$Lang_" tokens, each logged with its value. Invalid when one is
// not a condition; TRUE when there are none or one of them is true.
struct TokenOutcome {
  bool invalid = false;
  bool anyTrue = false;
};

TokenOutcome EvaluateTokens(const std::vector<std::string>& tokens) {
  TokenOutcome out;
  out.anyTrue = tokens.empty();
  for (const std::string& token : tokens) {
    ConditionValue v;
    if (!out.invalid) {
      v = EvalConditionPrefix(token);
      out.invalid = !v.valid;
    }
    if (v.valid && v.value) out.anyTrue = true;
    LogLine("    \"" + token + "\"" + (v.valid && v.value ? " --> TRUE" : " --> FALSE"));
  }
  return out;
}

// The fields after the paths: false when the copy flags name no mode (or a field before
// them is missing), and the line's format is wrong.
bool DecodeFields(const std::vector<std::string>& f, FileItem& item) {
  if (f[0].empty() || f[1].empty() || f[2].empty()) return false;
  CopyFlags flags = DecodeCopyFlags(f[2]);
  if (flags.hasMode) item.copyMode = flags.mode;
  item.updateOnly = flags.updateOnly;
  item.addToUninstall = flags.addToUninstall;
  item.reg = DecodeRegisterField(f[3]);
  if (!flags.hasMode) return false;
  item.conditionFileExists = NamesConditionFile(f[4]) && FileExists(f[4]);
  item.selection = DecodeSelection(f[5]);
  return true;
}

// The destination's folder writable and made, and the source there; a line that fails
// its check leaves no folder of its own making behind.
ParseStatus PrepareDestination(const FileItem& item, const std::string& rest) {
  // A folder found writable and there once in this run is taken as such for the lines
  // after it: the shell's long name, the probe file and the folder check cost a few
  // milliseconds a line, and a script may name thousands of files one by one.
  const std::string key = LowerAscii(ExtractFileDir(RemoveTrailingBackslashes(item.destination)));
  std::map<std::string, std::string>& ready = CopyEngine().readyFolders;
  auto known = ready.find(key);
  std::string folder = known != ready.end() ? known->second : ParentFolder(item.destination);
  if (known == ready.end() && !CanWriteToFolder(folder)) {
    LogLine("** Error: no file can be created in \"%s\" (probed \"%s\")", folder, WritabilityProbeFolder(folder));
    ReportScriptError("Error writing to destination drive! Check if drive is full or readonly!\r\"" + folder + "\"");
    return ParseStatus::Error;
  }
  std::vector<std::string> made;
  if (known == ready.end() && !MakeRecordedDirPath(folder, item.addToUninstall, &made)) {
    RemoveMadeFolders(made);
    ReportScriptError("Internal error: Unknown error creating destination directory!\r\"" + folder + "\"");
    return ParseStatus::Error;
  }
  const char* missing = nullptr;
  if (IsFolderItem(item.source, item.destination)) {
    if (!FolderExists(item.source)) missing = "Internal error: Source Directory not found! Correct Tolvex.ini script file!";
  } else if (!FileExists(item.source) && !AnyFileMatches(item.source)) {
    missing = "Internal error: Source file not found! Correct Tolvex.ini script file!";
  }
  if (missing) {
    RemoveMadeFolders(made);
    ReportScriptError(std::string(missing) + "\r\"" + rest + "\"");
    return ParseStatus::Error;
  }
  ready.emplace(key, folder);
  // A file the uninstall is to put back is set aside with its attributes as they are.
  DWORD attrs = item.addToUninstall ? INVALID_FILE_ATTRIBUTES : GetFileAttributesA(item.destination.c_str());
  if (attrs != INVALID_FILE_ATTRIBUTES && !(attrs & FILE_ATTRIBUTE_DIRECTORY)) ClearReadOnly(item.destination, attrs);
  return ParseStatus::OK;
}

}  // namespace

ParseStatus ParseFileInfo(const std::string& line, FileItem& item) {
  item = FileItem();
  LogLine("ParseFileInfo:    \"" + line + "\"");
  FileLineParts parts = SplitFileLine(line);
  TokenOutcome tokens = EvaluateTokens(parts.tokens);
  const std::vector<std::string>& f = parts.fields;
  item.source = f[0];
  item.destination = f[1];
  item.caption = f[6];
  item.description = f[7];
  if (tokens.invalid) {
    ReportScriptError("Invalid $xxx command prefix found: \"" + line + "\"");
    return ParseStatus::Error;
  }
  // Tokens and nothing else name no item, whatever they evaluate to.
  if (parts.tokensOnly) return InvalidFormat(line);
  if (!tokens.anyTrue) return ParseStatus::Skip;
  if (!DecodeFields(f, item)) return InvalidFormat(parts.rest);
  return PrepareDestination(item, parts.rest);
}

}  // namespace tolvex
