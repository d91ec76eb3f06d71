#include "UScriptCheck.h"

#include <windows.h>

#include <algorithm>

#include "UApp.h"
#include "UCmdLine.h"
#include "UDirIdent.h"
#include "UFileLineText.h"
#include "UIdentText.h"
#include "ULanguageTable.h"
#include "ULog.h"
#include "UMessages.h"
#include "UPaths.h"
#include "UScript.h"
#include "UScriptText.h"
#include "USourceCheck.h"
#include "UText.h"

namespace tolvex {

int VerifyReport::Errors() const {
  return static_cast<int>(std::count_if(problems.begin(), problems.end(), [](const VerifyProblem& p) { return p.error; }));
}
int VerifyReport::Warnings() const { return static_cast<int>(problems.size()) - Errors(); }

namespace {

// The identifiers whose folders the CD alone decides; every other one needs the PC.
const char* const kCdIdentifiers[] = {"<setupdir>", "<setupdirup1>", "<setupdirup2>", "<setupdirup3>",
                                      "<setupparentdir>"};

const char* SelectionCode(int selection) {
  static const char* const codes[] = {"0", "1", "A", "S1", "S"};
  return codes[selection];
}

class Checker {
 public:
  Checker(const VerifyInput& in, VerifyReport& report) : in_(in), report_(report) {}
  void Run();

 private:
  void Add(int line, bool error, const std::string& text) { section_.push_back({line, error, text}); }
  void Error(int line, const std::string& text) { Add(line, true, text); }
  void Warning(int line, const std::string& text) { Add(line, false, text); }
  void CheckDestination(int line, const std::string& destination);
  // The section's problems in file order, after the earlier sections'.
  void EndSection();

  void CheckSetupDir();
  void CheckEncoding();
  void CheckInstall();
  void CheckInstallerPath(const InstallerPathKey& key);
  void CheckCustomDirs(const std::vector<ScriptLine>& lines);
  void CheckFileLine(int line, const std::string& value);
  void CheckConditionToken(int line, const std::string& token);
  void CheckSource(int line, const std::string& source, const std::string& destination);
  // Reports the identifier problems of text (prefix before each); returns the scan.
  IdentifierScan CheckIdentifiers(int line, const std::string& text, const std::string& prefix = "");
  std::string ResolveCd(const std::string& text) const;
  int InstallKeyLine(const std::string& key) const;

  const VerifyInput& in_;
  VerifyReport& report_;
  std::vector<VerifyProblem> section_;
  std::vector<std::string> lines_;
  ScriptEncoding encoding_ = ScriptEncoding::Ansi;
  IdentifierNames idNames_;
  bool cdPresent_ = false;  // the source folder exists, so files on it can be looked for
  IdentifierSet cdIds_;     // the CD's identifiers with their folders
  int installHeader_ = 0;
  std::vector<ScriptLine> installLines_;
};

void Checker::EndSection() {
  std::stable_sort(section_.begin(), section_.end(),
                   [](const VerifyProblem& a, const VerifyProblem& b) { return a.line < b.line; });
  report_.problems.insert(report_.problems.end(), section_.begin(), section_.end());
  section_.clear();
}

IdentifierScan Checker::CheckIdentifiers(int line, const std::string& text, const std::string& prefix) {
  IdentifierScan scan = ScanIdentifiers(text, idNames_);
  for (const std::string& p : scan.problems) Error(line, prefix + p);
  return scan;
}

std::string Checker::ResolveCd(const std::string& text) const { return ResolveIdentifierText(text, cdIds_).text; }

int Checker::InstallKeyLine(const std::string& key) const {
  for (const ScriptLine& l : installLines_)
    if (EqualsNoCase(Trim(l.text.substr(0, FindChar(l.text, '='))), key)) return l.number;
  return installHeader_;
}

void Checker::CheckSetupDir() {
  if (in_.setupDir.empty()) {
    Error(0, "no source folder on the command line: Tolvex.exe /verify <source folder> (\".\" for the program's folder)");
    return;
  }
  if (!FolderExists(in_.setupDir)) {
    Error(0, "the source folder \"" + in_.setupDir + "\" does not exist");
    return;
  }
  cdPresent_ = true;
  std::string up1 = ParentFolder(in_.setupDir), up2 = ParentFolder(up1), up3 = ParentFolder(up2);
  cdIds_.fixed = {{"<setupdir>", in_.setupDir}, {"<setupdirup1>", up1}, {"<setupdirup2>", up2},
                  {"<setupdirup3>", up3},       {"<setupparentdir>", up1}};
}

// The engine reads every byte-order mark; the INI functions that read [INSTALL] do not.
void Checker::CheckEncoding() {
  switch (encoding_) {
    case ScriptEncoding::Utf8:
      if (!lines_.empty() && ContainsNoCase(lines_[0], "[INSTALL]"))
        Warning(1, "a UTF-8 byte-order mark stands before \"[INSTALL]\": Windows does not read the section then; "
                   "begin the file with a comment line, or save it without the mark");
      break;
    case ScriptEncoding::Utf16Le:
      Warning(1, "UTF-16 text: Windows 95, 98 and ME cannot read [INSTALL] from it; save it as ANSI text to "
                 "install there");
      break;
    case ScriptEncoding::Utf16Be:
      Warning(1, "UTF-16 big-endian text: Windows does not read [INSTALL] from it; save it as ANSI text");
      break;
    case ScriptEncoding::Ansi: break;
  }
}

void Checker::CheckInstall() {
  for (size_t i = 0; i < lines_.size() && !installHeader_; ++i) {
    std::string l = TrimLeft(lines_[i]);
    if (!l.empty() && l[0] == '[' && ContainsNoCase(l, "[INSTALL]")) installHeader_ = static_cast<int>(i) + 1;
  }
  CollectSectionLines(lines_, "INSTALL", installLines_);
  for (const RequiredInstallKey& k : RequiredInstallKeys())
    if ((in_.params.*k.value).empty())
      Error(InstallKeyLine(k.name), std::string("required key \"") + k.name + "=\" is missing or empty");
  for (const auto& b : in_.notNumbers)
    Warning(InstallKeyLine(b.first),
            "\"" + b.first + "=" + b.second + "\" is not a number, so the install keeps the default (write 0 or 1)");
  for (const InstallerPathKey& k : InstallerPathKeys()) CheckInstallerPath(k);
}

void Checker::CheckInstallerPath(const InstallerPathKey& key) {
  const std::string& value = in_.params.*key.value;
  if (value.empty()) return;
  const int line = InstallKeyLine(key.key);
  const std::string prefix = std::string(key.key) + ": ";
  IdentifierScan scan = CheckIdentifiers(line, value, prefix);
  if (!scan.problems.empty() || scan.other || !cdPresent_) return;
  const std::string resolved = ResolveCd(value);
  const std::string full = SourcePathBelow(resolved, ExtractFileDir(in_.script));
  // An absolute path without a CD identifier names a place on the PC.
  if (!scan.cd && full == resolved) return;
  if (!key.languageFlag || !ContainsNoCase(full, "%s")) {
    if (!FileExists(full)) Error(line, prefix + "\"" + full + "\" not found on the CD");
    return;
  }
  const std::string english = ReplaceNoCase(full, "%s", LanguageTableRow(1)->name);
  if (!FileExists(english)) Error(line, prefix + "\"" + english + "\" not found on the CD (the English package is the fallback)");
  std::vector<std::string> missing;
  for (int row = 2; row <= kLanguageCount; ++row) {
    const LanguageRow* r = LanguageTableRow(row);
    if ((key.languageFlag == 1 ? r->hhUpgradeFlag : r->ie4InstallFlag) &&
        !FileExists(ReplaceNoCase(full, "%s", r->name)))
      missing.push_back(r->name);
  }
  if (!missing.empty())
    Warning(line, prefix + Format("no package for %d other language(s) (%s first): the install asks whether to go on "
                                  "without them",
                                  {static_cast<int>(missing.size()), missing.front()}));
}

void Checker::CheckCustomDirs(const std::vector<ScriptLine>& lines) {
  for (const ScriptLine& l : lines) {
    CustomDirLine d = ParseCustomDirLine(l.text);
    if (!d.hasEquals)
      Error(l.number, "no \"=\": a custom directory is written name[|display name]=search list");
    else if (d.name.empty())
      Error(l.number, "no name before \"=\"");
    else if (d.searchList.empty())
      Error(l.number, "empty search list: \"<" + d.name + ">\" would never be found");
  }
}

void Checker::CheckConditionToken(int line, const std::string& token) {
  for (const std::string& raw : SplitText(token, '&')) {
    std::string part = Trim(raw);
    if (part.empty()) break;  // the engine stops there too
    if (EvalConditionToken(part, "").valid) continue;
    if (StartsWithNoCase(part, "$Lang_"))
      Error(line, "unknown language code in the condition \"" + part + "\"");
    else
      Error(line, "invalid condition \"" + part + "\": a condition is $Lang_<code> or $Lang_!<code>");
  }
}

void Checker::CheckSource(int line, const std::string& source, const std::string& destination) {
  IdentifierScan scan = ScanIdentifiers(source, idNames_);
  if (!cdPresent_ || !scan.problems.empty() || scan.other || !scan.cd) return;
  const std::string path = ResolveCd(source);
  if (IsFolderItem(path, destination)) {
    if (!FolderExists(path)) Error(line, "source folder \"" + path + "\" not found on the CD");
  } else if (EndsWithChar(path, '\\') && FolderExists(path)) {
    Error(line, "source \"" + path + "\" is a folder, but the destination does not end with \"\\\"");
  } else if (!FileExists(path) && !AnyFileMatches(path)) {
    bool pattern = HasWildcard(path);
    Error(line, pattern ? "no file on the CD matches \"" + path + "\"" : "source \"" + path + "\" not found on the CD");
  }
}

void Checker::CheckFileLine(int line, const std::string& value) {
  CheckIdentifiers(line, value);
  FileLineParts parts = SplitFileLine(value);
  for (const std::string& token : parts.tokens) CheckConditionToken(line, token);
  if (parts.tokensOnly) {
    Error(line, "condition tokens only: the line names no file");
    return;
  }
  const std::vector<std::string>& f = parts.fields;
  std::string missing;
  const char* const names[] = {"source", "destination", "flags"};
  for (int i = 0; i < 3; ++i)
    if (f[i].empty()) missing += (missing.empty() ? "" : ", ") + std::string(names[i]);
  if (!missing.empty())
    Error(line, "missing " + missing + ": a line is source, destination, flags[, register, condition file, "
                                       "selection, caption, description]");
  else if (!DecodeCopyFlags(f[2]).hasMode)
    Error(line, "flags \"" + f[2] + "\" name no copy mode (O, D, V, $ or X)");
  if (!f[5].empty()) {
    bool known = false;
    for (const char* code : {"0", "1", "A", "S", "S1"}) known = known || EqualsNoCase(f[5], code);
    if (!known)
      Warning(line, "selection \"" + f[5] + "\" is not one of 0, 1, A, S, S1: it is read as " +
                        SelectionCode(DecodeSelection(f[5])));
  }
  if (!f[0].empty()) CheckSource(line, f[0], f[1]);
  CheckDestination(line, f[1]);
}

// True when a path below a folder ("sub\\..\\..\\x") climbs above that folder.
static bool ClimbsOut(const std::string& below) {
  int depth = 0;
  for (const std::string& part : SplitText(below, '\\')) {
    if (part == "..") {
      if (--depth < 0) return true;
    } else if (!part.empty() && part != ".") {
      ++depth;
    }
  }
  return false;
}

void Checker::CheckDestination(int line, const std::string& destination) {
  if (HasWildcard(destination))
    Warning(line, "destination \"" + destination + "\" holds \"*\" or \"?\": no file or folder can have that name");
  const std::string app = "<exedir>";
  if (StartsWithNoCase(destination, app) && ClimbsOut(destination.substr(app.size())))
    Warning(line, "destination \"" + destination +
                      "\" climbs out of the application folder with \"..\": the files land outside what the "
                      "application's install owns");
}

void Checker::Run() {
  report_.scriptName = ExtractFileName(in_.script);
  if (!FileExists(in_.script)) {
    Error(0, "the script \"" + in_.script + "\" was not found: it must lie beside the program, named after it");
    EndSection();
    return;
  }
  if (!ReadScriptFileLines(in_.script, lines_, &encoding_)) {
    Error(0, "the script \"" + in_.script + "\" could not be read");
    EndSection();
    return;
  }
  CheckSetupDir();
  EndSection();
  for (const auto& f : FixedIdentifiers()) idNames_.fixed.push_back(f.first);
  idNames_.cd.assign(std::begin(kCdIdentifiers), std::end(kCdIdentifiers));
  // Every section may use the custom directories, wherever [CUSTOMDIRS] stands.
  std::vector<ScriptLine> declared;
  CollectSectionLines(lines_, "CUSTOMDIRS", declared);
  for (const ScriptLine& l : declared) {
    std::string name = ParseCustomDirLine(l.text).name;
    if (!name.empty()) idNames_.custom.push_back(name);
  }
  CheckEncoding();
  CheckInstall();
  EndSection();
  CheckCustomDirs(declared);
  EndSection();

  struct ListSection {
    const char* name;
    size_t maxFields;  // 0: a file line
    const char* format;
  } const sections[] = {{"FILES", 0, ""},
                        {"SHORTCUTS", 3, "target, arguments, name"},
                        {"RUN", 5, "program, parameters, description, skip-if-found list, question"},
                        {"LIST1", 0, ""},
                        {"LIST2", 0, ""},
                        {"LIST3", 0, ""},
                        {"LIST4", 0, ""}};
  for (const ListSection& s : sections) {
    std::vector<ScriptLine> lines;
    CollectSectionLines(lines_, s.name, lines);
    for (const ScriptLine& l : lines) {
      std::string value = SectionItemValue(l.text);
      if (!s.maxFields) {
        CheckFileLine(l.number, value);
        continue;
      }
      CheckIdentifiers(l.number, value);
      size_t fields = SplitText(value, ',').size();
      if (fields > s.maxFields)
        Error(l.number, Format("%d fields, but a [%s] line has %d: %s",
                               {static_cast<int>(fields), s.name, static_cast<int>(s.maxFields), s.format}));
    }
    EndSection();
  }
}

}  // namespace

VerifyReport VerifyScript(const VerifyInput& in) {
  VerifyReport report;
  Checker(in, report).Run();
  return report;
}

std::string VerifyReportText(const VerifyReport& report) {
  std::string text;
  for (const VerifyProblem& p : report.problems)
    text += Format("%s(%d): %s: %s\r\n", {report.scriptName, p.line, p.error ? "error" : "warning", p.text});
  return text;
}

bool VerifyRequested(std::string* file) {
  for (int i = 1; i <= ParamCount(); ++i) {
    const std::string arg = ParamStr(i);
    if (!EqualsNoCase(arg, "/verify") && !StartsWithNoCase(arg, "/verify=")) continue;
    if (file) *file = arg.size() > 8 ? arg.substr(8) : std::string();
    return true;
  }
  return false;
}

std::string VerifyReportFile(const std::string& script, const std::string& file) {
  if (file.empty()) return ExtractFileDir(script) + "\\verify.txt";
  return FullPathName(file);
}

int DeliverVerifyReport(const VerifyReport& report, const std::string& reportFile) {
  SetAppTitle(report.scriptName + " check");
  const int errors = report.Errors(), warnings = report.Warnings();
  const std::string counts = Format("%s: %d error(s), %d warning(s).", {report.scriptName, errors, warnings});
  LogLine("Script check: " + counts);
  for (const VerifyProblem& p : report.problems) LogLine("    (%d) %s", p.line, p.text);
  unsigned long err = 0;
  if (!WriteFileWhole(reportFile, VerifyReportText(report), err)) {
    LogError("the check report \"" + reportFile + "\" could not be written", static_cast<unsigned long>(err));
    ShowWarning(counts + "\rThe report could not be written to " + reportFile + Format(" (error %d).", {err}));
    return 1;
  }
  if (errors) {
    ShowWarning(counts + "\rSee " + reportFile);
    return 1;
  }
  ShowInformation(counts + "\rSee " + reportFile);
  return 0;
}

}  // namespace tolvex
