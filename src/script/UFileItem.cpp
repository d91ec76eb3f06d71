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

ParseStatus ParseFileInfo(const std::string& line, FileItem& item) {
  item = FileItem();
  LogLine("ParseFileInfo:    \"" + line + "\"");
  FileLineParts parts = SplitFileLine(line);
  bool invalidToken = false;
  int trueTokens = 0;
  for (const std::string& token : parts.tokens) {
    ConditionValue v;
    if (!invalidToken) {
      v = EvalConditionPrefix(token);
      invalidToken = !v.valid;
    }
    if (v.valid && v.value) ++trueTokens;
    LogLine("    \"" + token + "\"" + (v.valid && v.value ? " --> TRUE" : " --> FALSE"));
  }
  const std::vector<std::string>& f = parts.fields;
  item.source = f[0];
  item.destination = f[1];
  item.caption = f[6];
  item.description = f[7];
  if (invalidToken) {
    ReportScriptError("Invalid $xxx command prefix found: \"" + line + "\"");
    return ParseStatus::Error;
  }
  // Tokens and nothing else name no item, whatever they evaluate to.
  if (parts.tokensOnly) return InvalidFormat(line);
  if (!parts.tokens.empty() && trueTokens == 0) return ParseStatus::Skip;

  bool fieldsPresent = !f[0].empty() && !f[1].empty() && !f[2].empty();
  CopyFlags flags;
  if (fieldsPresent) {
    flags = DecodeCopyFlags(f[2]);
    if (flags.hasMode) item.copyMode = flags.mode;
    item.updateOnly = flags.updateOnly;
    item.addToUninstall = flags.addToUninstall;
    item.reg = DecodeRegisterField(f[3]);
  }
  if (!fieldsPresent || !flags.hasMode) return InvalidFormat(parts.rest);
  item.conditionFileExists = NamesConditionFile(f[4]) && FileExists(f[4]);
  item.selection = DecodeSelection(f[5]);

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
  // A line that fails its check leaves no folder of its own making behind.
  if (IsFolderItem(item.source, item.destination)) {
    if (!FolderExists(item.source)) {
      RemoveMadeFolders(made);
      ReportScriptError("Internal error: Source Directory not found! Correct Tolvex.ini script file!\r\"" + parts.rest +
                        "\"");
      return ParseStatus::Error;
    }
  } else if (!FileExists(item.source) && !AnyFileMatches(item.source)) {
    RemoveMadeFolders(made);
    ReportScriptError("Internal error: Source file not found! Correct Tolvex.ini script file!\r\"" + parts.rest + "\"");
    return ParseStatus::Error;
  }
  ready.emplace(key, folder);
  // A file the uninstall is to put back is set aside with its attributes as they are.
  DWORD attrs = item.addToUninstall ? INVALID_FILE_ATTRIBUTES : GetFileAttributesA(item.destination.c_str());
  if (attrs != INVALID_FILE_ATTRIBUTES && !(attrs & FILE_ATTRIBUTE_DIRECTORY)) ClearReadOnly(item.destination, attrs);
  return ParseStatus::OK;
}

}  // namespace tolvex
