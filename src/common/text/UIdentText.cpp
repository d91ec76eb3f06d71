#include "UIdentText.h"

#include "UText.h"

namespace tolvex {

ResolvedText ResolveIdentifierText(const std::string& text, const IdentifierSet& ids) {
  ResolvedText r;
  r.text = text;
  for (const auto& f : ids.fixed) r.text = ReplaceNoCase(r.text, f.first, f.second);
  if (ids.customDirs)
    for (const CustomDirRec& d : *ids.customDirs) {
      std::string id = "<" + d.name + ">";
      if (r.text.find(id) == std::string::npos) continue;  // the declared letter case only
      if (!d.path.empty()) {
        r.text = ReplaceNoCase(r.text, id, d.path);
      } else if (d.skip) {
        r.skipped = true;
        r.skippedByUser = d.prompted;
      }
    }
  // A folder can hardly hold "<", but a registry value can: bound the walk so a value
  // that brings its own identifier back cannot keep it going. One that brings it back
  // twice doubles the text each round, so its length is bounded too: nothing longer than
  // the longest command line Windows takes could serve as a value.
  const size_t kLongestUsable = 32767;
  for (int round = 0; round < 999 && ids.namedFolder && r.text.size() <= kLongestUsable; ++round) {
    size_t open = FindChar(r.text, '<'), close = FindChar(r.text, '>');
    if (open == std::string::npos || close == std::string::npos || close < open) break;
    std::string bracketed = r.text.substr(open, close - open + 1);
    std::string folder = ids.namedFolder(bracketed.substr(1, bracketed.size() - 2));
    if (folder.empty()) break;
    std::string next = ReplaceNoCase(r.text, bracketed, folder);
    if (next == r.text) break;
    r.text = next;
  }
  r.unknown = FindChar(r.text, '<') != std::string::npos;
  return r;
}

const std::vector<std::pair<const char*, int>>& SpecialFolderNames() {
  static const std::vector<std::pair<const char*, int>> names = {
      {"csidldesktop", 0},
      {"csidlprograms", 2},
      {"csidlcontrols", 3},
      {"csidlprinters", 4},
      {"csidlpersonal", 5},
      {"csidlfavorites", 6},
      {"csidlstartup", 7},
      {"csidlrecent", 8},
      {"csidlsendto", 9},
      {"csidlbitbucket", 10},
      {"csidlstartmenu", 11},
      {"csidldesktopdirectory", 16},
      {"csidldrives", 17},
      {"csidlnetwork", 18},
      {"csidlnethood", 19},
      {"csidlfonts", 20},
      {"csidltemplates", 21},
      {"csidlcommonstartmenu", 22},
      {"csidlcommonprograms", 23},
      {"csidlcommonstartup", 24},
      {"csidlcommondesktopdirectory", 25},
      {"csidlappdata", 26},
      {"csidlprinthood", 27},
      {"csidllocalappdata", 28},
      {"csidlaltstartup", 29},
      {"csidlcommonaltstartup", 30},
      {"csidlcommonfavorites", 31},
      {"csidlinternetcache", 32},
      {"csidlcookies", 33},
      {"csidlhistory", 34},
      {"csidlcommonappdata", 35},
      {"csidlwindows", 36},
      {"csidlsystem", 37},
      {"csidlprogramfiles", 38},
      {"csidlmypictures", 39},
      {"csidlprofile", 40},
      {"csidlsystemx86", 41},
      {"csidlprogramfilesx86", 42},
      {"csidlprogramfilescommon", 43},
      {"csidlprogramfilescommonx86", 44},
      {"csidlcommontemplates", 45},
      {"csidlcommondocuments", 46},
      {"csidlcommonadmintools", 47},
      {"csidladmintools", 48},
      {"csidlconnections", 49},
  };
  return names;
}

static bool ParseHexNumber(const std::string& digits, unsigned& value) {
  if (digits.empty() || digits.size() > 8) return false;
  value = 0;
  for (char c : digits) {
    int d = HexDigitValue(c);
    if (d < 0) return false;
    value = value * 16 + static_cast<unsigned>(d);
  }
  return true;
}

NamedFolderRef ClassifyNamedFolder(const std::string& rawName) {
  NamedFolderRef ref;
  std::string name = LowerAscii(rawName);
  if (name.empty()) return ref;
  if (name[0] == '$') {
    unsigned v = 0;
    if (ParseHexNumber(name.substr(1), v)) {
      ref.kind = NamedFolderKind::SpecialFolder;
      ref.csidl = static_cast<int>(v % 256);
    }
    return ref;
  }
  if (name[0] == '@') {
    ref.kind = NamedFolderKind::Association;
    ref.expression = name.substr(1);
    return ref;
  }
  if (name.size() >= 6 && name.compare(0, 5, "csidl") == 0) {
    for (const auto& n : SpecialFolderNames())
      if (name == n.first) {
        ref.kind = NamedFolderKind::SpecialFolder;
        ref.csidl = n.second;
      }
    return ref;
  }
  if (name == "windir") ref.kind = NamedFolderKind::WinDir;
  else if (name == "winsysdir") ref.kind = NamedFolderKind::WinSysDir;
  else if (name == "tempdir") ref.kind = NamedFolderKind::TempDir;
  else if (name == "driversdir") ref.kind = NamedFolderKind::DriversDir;
  return ref;
}

static bool ListedNoCase(const std::vector<std::string>& list, const std::string& id) {
  for (const std::string& s : list)
    if (EqualsNoCase(s, id)) return true;
  return false;
}

IdentifierScan ScanIdentifiers(const std::string& text, const IdentifierNames& names) {
  IdentifierScan scan;
  bool strayClose = false;  // a ">" outside an identifier ends the named-folder search
  size_t pos = 0;
  for (;;) {
    size_t open = FindChar(text, '<', pos);
    if (FindChar(text, '>', pos) < open) strayClose = true;
    if (open == std::string::npos) break;
    size_t close = FindChar(text, '>', open + 1), nextOpen = FindChar(text, '<', open + 1);
    if (close == std::string::npos || nextOpen < close) {
      scan.problems.push_back("a \"<\" without its \">\": an identifier is written \"<name>\"");
      pos = open + 1;
      continue;
    }
    pos = close + 1;
    const std::string id = text.substr(open, close - open + 1), name = id.substr(1, id.size() - 2);
    if (ListedNoCase(names.fixed, id)) {
      (ListedNoCase(names.cd, id) ? scan.cd : scan.other) = true;
      continue;
    }
    const std::string* declared = nullptr;
    for (const std::string& c : names.custom)
      if (c == name || (!declared && EqualsNoCase(c, name))) declared = &c;
    if (declared) {
      // One occurrence in the declared spelling makes the engine replace the others too.
      if (*declared != name && text.find("<" + *declared + ">") == std::string::npos)
        scan.problems.push_back("\"" + id + "\" is not recognised: [CUSTOMDIRS] declares it as \"<" + *declared +
                                ">\", and only that spelling is matched");
      scan.other = true;
      continue;
    }
    if (ClassifyNamedFolder(name).kind != NamedFolderKind::None) {
      if (strayClose)
        scan.problems.push_back("\"" + id + "\" is not resolved: the \">\" before it ends the search for folders");
      scan.other = true;
    } else if (StartsWithNoCase(name, "csidl") && name.size() >= 6) {
      scan.problems.push_back("unknown identifier \"" + id + "\": not one of the 45 special-folder names");
    } else {
      scan.problems.push_back("unknown identifier \"" + id + "\"");
    }
  }
  return scan;
}

}  // namespace tolvex
