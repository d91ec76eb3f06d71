#include <windows.h>

#include <cctype>
#include <climits>

#include "TestSupport.h"
#include "UAppRegInfo.h"
#include "UDebugLog.h"
#include "UPaths.h"
#include "UProductDir.h"
#include "URegistry.h"
#include "UText.h"

using namespace tolvex;
using namespace tolvex::test;

namespace {

const char kClassA[] = "{3C1F0A52-7E4B-4D2A-9F10-0A1B2C3D4E5F}";
const char kClassB[] = "{8E6D4C2A-1B3F-4A5E-8D7C-6B5A49382716}";

void RegisterType(const std::string& ext, const std::string& type, const std::string& desc,
                  const std::string& openCommand, const std::string& editCommand = "") {
  WriteRegString(HKEY_CLASSES_ROOT, ext, "", type);
  std::string key = type.empty() ? ext : type;
  if (!desc.empty()) WriteRegString(HKEY_CLASSES_ROOT, key, "", desc);
  if (!openCommand.empty()) WriteRegString(HKEY_CLASSES_ROOT, key + "\\shell\\open\\command", "", openCommand);
  if (!editCommand.empty()) WriteRegString(HKEY_CLASSES_ROOT, key + "\\shell\\edit\\command", "", editCommand);
}

// An extension whose open command is "<program>" "%1".
void RegisterProgram(const std::string& ext, const std::string& program) {
  RegisterType(ext, "TolvexTest" + ext, "", "\"" + program + "\" \"%1\"");
}

void RegisterClass(const std::string& clsid, const std::string& inproc, const std::string& local) {
  std::string key = "CLSID\\" + clsid;
  WriteRegString(HKEY_CLASSES_ROOT, key, "", "Tolvex test class");
  if (!inproc.empty()) WriteRegString(HKEY_CLASSES_ROOT, key + "\\InprocServer32", "", inproc);
  if (!local.empty()) WriteRegString(HKEY_CLASSES_ROOT, key + "\\LocalServer32", "", local);
}

// A file outside the scratch folder (Windows folder, drive root), removed again.
struct OutsideFile {
  OutsideFile(const std::string& p, bool ownFolder) : path(p), ownFolder(ownFolder) { Touch(path); }
  ~OutsideFile() {
    DeleteFileA(path.c_str());
    if (ownFolder) RemoveDirectoryA(ExtractFileDir(path).c_str());
  }
  std::string path;
  bool ownFolder;
};

// The debug log of the lookups, without time stamps, in a scratch folder.
class TraceCapture {
 public:
  explicit TraceCapture(const ScratchDir& d) : path_(d / "HHDebug.txt") {
    DebugLogs().file.reset(new TDLogFile(path_, false, false, true));
  }
  std::vector<std::string> Lines() const {
    std::vector<std::string> lines;
    std::string text = ReadFileText(path_);
    size_t start = 0;
    for (size_t p; (p = text.find("\r\n", start)) != std::string::npos; start = p + 2)
      lines.push_back(text.substr(start, p - start));
    return lines;
  }
  void Clear() { DeleteFileA(path_.c_str()); }

 private:
  std::string path_;
};

std::string Joined(const std::vector<std::string>& lines) {
  std::string s;
  for (const std::string& l : lines) s += l + "\n";
  return s;
}

// The registry form Windows Installer keeps GUIDs in: each group reversed, the last two
// groups byte by byte.
std::string SquashedGuid(const std::string& braced) {
  std::string h;
  for (char c : braced)
    if (isxdigit(static_cast<unsigned char>(c))) h += c;
  std::string out;
  out += std::string(h.rbegin() + 24, h.rend());       // 8
  out += std::string(h.rbegin() + 20, h.rbegin() + 24);  // 4
  out += std::string(h.rbegin() + 16, h.rbegin() + 20);  // 4
  for (size_t i = 16; i < 32; i += 2) out += std::string{h[i + 1], h[i]};
  return out;
}

}  // namespace

// ---------------------------------------------------------------------------------------

TEST(LookupGuid, ParsesOnlyTheBracedRegistryForm) {
  struct Case {
    std::string text;
    bool ok;
    const char* registryText;
  } cases[] = {
      {"{3c1f0a52-7e4b-4d2a-9f10-0a1b2c3d4e5f}", true, "{3C1F0A52-7E4B-4D2A-9F10-0A1B2C3D4E5F}"},
      {"{3C1F0A52-7E4B-4D2A-9F10-0A1B2C3D4E5F}", true, "{3C1F0A52-7E4B-4D2A-9F10-0A1B2C3D4E5F}"},
      {"{00000000-0000-0000-C000-000000000046}", true, "{00000000-0000-0000-C000-000000000046}"},
      {"{FFFFFFFF-ffff-FfFf-fFfF-ffffffffffff}", true, "{FFFFFFFF-FFFF-FFFF-FFFF-FFFFFFFFFFFF}"},
      {"3C1F0A52-7E4B-4D2A-9F10-0A1B2C3D4E5F", false, ""},     // no braces
      {"{3C1F0A52-7E4B-4D2A-9F10-0A1B2C3D4E5F", false, ""},    // no closing brace
      {"{3C1F0A52-7E4B-4D2A-9F10-0A1B2C3D4E5F} ", false, ""},  // anything after it
      {"{3C1F0A527E4B-4D2A-9F10-0A1B2C3D4E5F0}", false, ""},   // dash moved
      {"{3C1F0A52-7E4B-4D2A-9F100A1B-2C3D4E5F}", false, ""},
      {"{3C1F0A5G-7E4B-4D2A-9F10-0A1B2C3D4E5F}", false, ""},   // not hex
      {"{3C1F0A52-7E4B-4D2A-9F10-0A1B2C3D4E5 }", false, ""},
      {"{+C1F0A52-7E4B-4D2A-9F10-0A1B2C3D4E5F}", false, ""},   // no signs either
      {"Word.Document.8", false, ""},                           // a ProgID is no class code
      {"{}", false, ""},
      {"{", false, ""},
      {"", false, ""},
      {"{" + std::string(100000, 'A') + "}", false, ""},
  };
  for (const Case& c : cases) {
    GUID g{};
    EXPECT_EQ(c.ok, ParseGuid(c.text, g)) << c.text.substr(0, 60);
    if (c.ok) {
      EXPECT_EQ(c.registryText, GuidRegistryText(g));
    }
  }
  GUID g{};
  ASSERT_TRUE(ParseGuid("{01234567-89AB-CDEF-0123-456789ABCDEF}", g));
  EXPECT_EQ(0x01234567u, g.Data1);
  EXPECT_EQ(0x89ABu, g.Data2);
  EXPECT_EQ(0xCDEFu, g.Data3);
  const unsigned char tail[8] = {0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF};
  for (int i = 0; i < 8; ++i) EXPECT_EQ(tail[i], g.Data4[i]) << i;
}

// ---------------------------------------------------------------------------------------

class LookupTest : public ScratchTest {};

TEST_F(LookupTest, AppRegInfoFromOpenAndEditCommands) {
  const std::string app = d / "App Dir";
  Touch(app + "\\Prog.exe");
  Touch(app + "\\tool.com");
  OutsideFile inWindows(GetWindowsDir() + "\\tolvex-assoc-test.exe", false);
  std::string doubled = ReplaceNoCase(app, "\\", "\\\\", INT_MAX);

  struct Case {
    std::string ext, type, desc, open, edit;  // what is registered
    std::string query;                        // what is asked for
    std::string subkey1, subkey2, shellOpen, exePath;
    bool installed;
    std::string editExePath;
    bool editInstalled;
  } cases[] = {
      // A quoted program in upper case, then a quoted "%1": cut after ".EXE", quote gone.
      {".tlxa", "Tlx.A", "A document", "\"" + app + "\\PROG.EXE\" \"%1\"", "", ".tlxa", "Tlx.A", "A document",
       "\"" + app + "\\PROG.EXE\" \"%1\"", app + "\\PROG.EXE", true, "", false},
      // Unquoted, arguments after the program.
      {".tlxb", "Tlx.B", "", app + "\\Prog.exe /dde %1", "", ".tlxb", "Tlx.B", "",
       app + "\\Prog.exe /dde %1", app + "\\Prog.exe", true, "", false},
      // The system-root variable in any letter case becomes the Windows folder.
      {".tlxc", "Tlx.C", "", "%SyStEmRoOt%\\tolvex-assoc-test.exe \"%1\"", "", ".tlxc", "Tlx.C", "",
       GetWindowsDir() + "\\tolvex-assoc-test.exe \"%1\"", GetWindowsDir() + "\\tolvex-assoc-test.exe", true,
       "", false},
      // Doubled backslashes as some installers write them.
      {".tlxd", "Tlx.D", "", "\"" + doubled + "\\\\Prog.exe\" %1", "", ".tlxd", "Tlx.D", "",
       "\"" + app + "\\Prog.exe\" %1", app + "\\Prog.exe", true, "", false},
      // A .com program: the whole command stays, and it never counts as installed.
      {".tlxe", "Tlx.E", "", app + "\\tool.com %1", "", ".tlxe", "Tlx.E", "", app + "\\tool.com %1",
       app + "\\tool.com %1", false, "", false},
      // Asked for without the leading dot.
      {".tlxf", "Tlx.F", "", "\"" + app + "\\Prog.exe\"", "", "tlxf", "Tlx.F", "", "\"" + app + "\\Prog.exe\"",
       app + "\\Prog.exe", true, "", false},
      // No type key: the verbs on the extension key itself.
      {".tlxg", "", "", "\"" + app + "\\Prog.exe\" \"%1\"", "", ".tlxg", "", "",
       "\"" + app + "\\Prog.exe\" \"%1\"", app + "\\Prog.exe", true, "", false},
      // Only the first ".exe" counts; the program is gone.
      {".tlxh", "Tlx.H", "", "\"" + app + "\\Gone.exe\" --log x.exe", "", ".tlxh", "Tlx.H", "",
       "\"" + app + "\\Gone.exe\" --log x.exe", app + "\\Gone.exe", false, "", false},
      // An edit verb is taken apart the same way, independently of open.
      {".tlxi", "Tlx.I", "", app + "\\tool.com", "\"\"" + app + "\\Prog.exe\" /edit", ".tlxi", "Tlx.I", "",
       app + "\\tool.com", app + "\\tool.com", false, app + "\\Prog.exe", true},
  };
  for (const Case& c : cases) RegisterType(c.ext, c.type, c.desc, c.open, c.edit);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.ext);
    TAppRegInfoRec r = GetAppRegInfo(c.query);
    EXPECT_EQ(c.subkey1, r._subkey1);
    EXPECT_EQ(c.subkey2, r._subkey2);
    EXPECT_EQ(-1, r.reserved);
    EXPECT_EQ(c.shellOpen, r.ShellOpen);
    EXPECT_EQ(c.exePath, r.ExePath);
    EXPECT_EQ(c.installed, r.Installed);
    EXPECT_EQ(c.editExePath, r.EditExePath);
    EXPECT_EQ(c.editInstalled, r.EditInstalled);
  }
}

TEST_F(LookupTest, AppRegInfoWithoutARegisteredProgram) {
  // A type named but not there, an unknown extension, and nothing at all: empty, no crash.
  WriteRegString(HKEY_CLASSES_ROOT, ".tlxnamed", "", "Tlx.NotThere");
  WriteRegString(HKEY_CLASSES_ROOT, ".tlxbare", "Content Type", "text/plain");
  for (const char* ext : {".tlxnamed", ".tlxbare", ".tlxunknown", "", "."}) {
    TAppRegInfoRec r = GetAppRegInfo(ext);
    EXPECT_EQ(-1, r.reserved) << ext;
    EXPECT_EQ("", r.ShellOpen) << ext;
    EXPECT_EQ("", r.ExePath) << ext;
    EXPECT_FALSE(r.Installed) << ext;
    EXPECT_EQ("", r.EditExePath) << ext;
  }
  EXPECT_EQ("Tlx.NotThere", GetAppRegInfo("tlxnamed")._subkey1);
  // A very long command is taken whole.
  std::string longCmd = d / (std::string(5000, 'a') + ".exe");
  RegisterType(".tlxlong", "Tlx.Long", "", longCmd);
  TAppRegInfoRec r = GetAppRegInfo(".tlxlong");
  EXPECT_EQ(longCmd, r.ExePath);
  EXPECT_FALSE(r.Installed);
}

TEST_F(LookupTest, ClassInfoReadsServersAndStripsOnlyEnclosingQuotes) {
  Touch(d / "Srv Dir\\server.exe");
  Touch(d / "Srv Dir\\server.dll");
  struct Case {
    const char* clsid;
    std::string name, inproc, local, progId, version;  // registered
    std::string wantName, wantInproc, wantLocal;
    bool dll, exe;
  } cases[] = {
      // A local server with arguments is no file; quotes around the whole DLL path go.
      {kClassA, "Class A", "\"" + (d / "Srv Dir\\server.dll") + "\"",
       "\"" + (d / "Srv Dir\\server.exe") + "\" /automation", "Tlx.A.1", "1.0", "Class A",
       d / "Srv Dir\\server.dll", "\"" + (d / "Srv Dir\\server.exe") + "\" /automation", true, false},
      // One quote alone stays; a pair with nothing inside becomes empty.
      {kClassB, "\"", "\"\"", "\"" + (d / "Srv Dir\\server.exe") + "\"", "", "", "\"", "",
       d / "Srv Dir\\server.exe", false, true},
  };
  for (const Case& c : cases) {
    std::string key = std::string("CLSID\\") + c.clsid;
    WriteRegString(HKEY_CLASSES_ROOT, key, "", c.name);
    WriteRegString(HKEY_CLASSES_ROOT, key + "\\InprocServer32", "", c.inproc);
    WriteRegString(HKEY_CLASSES_ROOT, key + "\\LocalServer32", "", c.local);
    if (!c.progId.empty()) WriteRegString(HKEY_CLASSES_ROOT, key + "\\ProgID", "", "\"" + c.progId + "\"");
    if (!c.version.empty()) WriteRegString(HKEY_CLASSES_ROOT, key + "\\Version", "", c.version);
  }
  for (const Case& c : cases) {
    SCOPED_TRACE(c.clsid);
    GUID g{};
    ASSERT_TRUE(ParseGuid(c.clsid, g));
    TCLSInfo info = GetCLSInfo(g);
    EXPECT_TRUE(IsEqualGUID(g, info.clsid));
    EXPECT_EQ(c.wantName, info.className);
    EXPECT_EQ(c.wantInproc, info.inprocServer);
    EXPECT_EQ(c.wantLocal, info.localServer);
    EXPECT_EQ(c.progId, info.progId);
    EXPECT_EQ(c.version, info.version);
    EXPECT_EQ(c.dll, info.dllExists);
    EXPECT_EQ(c.exe, info.exeExists);
  }
  GUID none{};
  ASSERT_TRUE(ParseGuid("{00000000-1111-2222-3333-444444444444}", none));
  TCLSInfo info = GetCLSInfo(none);
  EXPECT_EQ("", info.className);
  EXPECT_FALSE(info.dllExists);
  EXPECT_FALSE(info.exeExists);
}

TEST_F(LookupTest, ClassFolderPrefersTheLocalServerThenTheInProcessServer) {
  Touch(d / "Exe\\server.exe");
  Touch(d / "Dll\\server.dll");
  RegisterClass(kClassA, d / "Dll\\server.dll", d / "Exe\\server.exe");           // both: the EXE
  RegisterClass(kClassB, d / "Dll\\server.dll", d / "Exe\\server.exe /embedding");  // arguments: the DLL
  EXPECT_EQ(d / "Exe", FindAppDirForItem(kClassA));
  EXPECT_EQ(d / "Dll", FindAppDirForItem(kClassB));
  EXPECT_EQ(d / "Dll", FindAssocItemDir(LowerAscii(kClassB)));  // class codes in any letter case
  EXPECT_EQ("", FindAppDirForItem("{3C1F0A52-7E4B}"));
  EXPECT_EQ("", FindAssocItemDir("{3C1F0A52-7E4B}"));
  EXPECT_EQ("", FindAppDirForItem(""));
  EXPECT_EQ("", FindAssocItemDir(""));
}

TEST_F(LookupTest, AppDirTraceOfAnAssociation) {
  TraceCapture trace(d);
  Touch(d / "App\\Prog.exe");
  RegisterType(".tlxa", "Tlx.A", "A document", "\"" + (d / "App\\Prog.exe") + "\" \"%1\"");
  RegisterType(".tlxe", "Tlx.E", "", "tool.com %1");

  EXPECT_EQ(d / "App", FindAppDirForItem(".tlxa"));
  EXPECT_EQ("", FindAppDirForItem("tlxe"));
  std::vector<std::string> want = {
      ">>Searching for App dir. File Ext = \".tlxa\"",
      "  --aai._subkey1 = \"Tlx.A\"",
      "  --aai._subkey2 = \"A document\"",
      "  --aai.ShellOpen = \"\"" + (d / "App\\Prog.exe") + "\" \"%1\"\"",
      "  --aai.ExePath = \"" + (d / "App\\Prog.exe") + "\"",
      "  --aai.Installed = \"1\"",
      "  File association found = \"" + (d / "App\\Prog.exe") + "\"",
      ">>Searching for App dir. File Ext = \"tlxe\"",
      "  --aai._subkey1 = \"Tlx.E\"",
      "  --aai._subkey2 = \"\"",
      "  --aai.ShellOpen = \"tool.com %1\"",
      "  --aai.ExePath = \"tool.com %1\"",
      "  --aai.Installed = \"0\"",
      "  File association not found",
  };
  EXPECT_EQ(Joined(want), Joined(trace.Lines()));
}

TEST_F(LookupTest, AppDirTraceOfClassesAndComponents) {
  TraceCapture trace(d);
  Touch(d / "Exe\\server.exe");
  Touch(d / "Dll\\server.dll");
  RegisterClass(kClassA, "", d / "Exe\\server.exe");
  RegisterClass(kClassB, "\"" + (d / "Dll\\server.dll") + "\"", "");
  const std::string unknown = "{00000000-1111-2222-3333-444444444444}";

  FindAppDirForItem(kClassA);
  FindAppDirForItem(kClassB);
  FindAppDirForItem(unknown);
  std::vector<std::string> want = {
      std::string(">>Searching for CLSID \"") + kClassA + "\"",
      "  COM EXE file found = \"" + (d / "Exe\\server.exe") + "\"",
      std::string(">>Searching for CLSID \"") + kClassB + "\"",
      "  COM DLL file found = \"" + (d / "Dll\\server.dll") + "\"",
      ">>Searching for CLSID \"" + unknown + "\"",
      "  MSI Component ID check returned: -1, ComponentPath = \"\"",
  };
  EXPECT_EQ(Joined(want), Joined(trace.Lines()));

  // The "@" identifiers name the server kind in one line and ask no installer.
  trace.Clear();
  FindAssocItemDir(kClassA);
  FindAssocItemDir(kClassB);
  FindAssocItemDir(unknown);
  want = {
      std::string(">>Searching for CLSID \"") + kClassA + "\"",
      "  COM file found = \"" + (d / "Exe\\server.exe") + "\"",
      std::string(">>Searching for CLSID \"") + kClassB + "\"",
      "  COM file found = \"" + (d / "Dll\\server.dll") + "\"",
      ">>Searching for CLSID \"" + unknown + "\"",
  };
  EXPECT_EQ(Joined(want), Joined(trace.Lines()));

  trace.Clear();
  GetProductRunDir(".tlxnone | " + std::string(kClassA), '|');
  std::vector<std::string> lines = trace.Lines();
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(">>Kelvor_GetProductRunDir(.tlxnone | " + std::string(kClassA) + ")", lines[0]);
  ASSERT_LE(9u, lines.size());
  EXPECT_EQ("  File association not found", lines[7]);
  EXPECT_EQ(std::string(">>Searching for CLSID \"") + kClassA + "\"", lines[8]);

  // "+" and "-" items are not even looked up while nothing is found.
  trace.Clear();
  GetProductRunDir("+.tlxplus|-" + std::string(kClassA) + "|.tlxplain", '|');
  lines = trace.Lines();
  ASSERT_EQ(8u, lines.size()) << Joined(lines);
  EXPECT_EQ(">>Searching for App dir. File Ext = \".tlxplain\"", lines[1]);
}

TEST_F(LookupTest, NothingIsTracedOutsideDebugMode) {
  DebugLogs().file.reset(new TDLogFile(d / "HHDebug.txt", false, false, false));
  GetProductRunDir(".tlxnone|{00000000-1111-2222-3333-444444444444}", '|');
  EXPECT_FALSE(FileExists(d / "HHDebug.txt"));
  DebugLogs().file.reset();
  EXPECT_EQ("", GetProductRunDir(".tlxnone", '|'));  // no log object at all: no crash
}

// ---------------------------------------------------------------------------------------
// Windows Installer components, faked in the machine's installer data.

class MsiLookupTest : public LookupTest {
 protected:
  const std::string component = "{5A3C1E2B-9D8F-4E7A-B6C5-D4E3F2A1B0C9}";
  const std::string product = "{11223344-5566-7788-99AA-BBCCDDEEFF00}";
  // Without the product key the component reads as absent (state 2), path and all.
  void FakeComponent(const std::string& path, bool productKnown = true) {
    const std::string installer = "Software\\Microsoft\\Windows\\CurrentVersion\\Installer\\UserData\\S-1-5-18";
    WriteRegString(HKEY_LOCAL_MACHINE, installer + "\\Components\\" + SquashedGuid(component),
                   SquashedGuid(product), path);
    if (productKnown)
      WriteRegString(HKEY_LOCAL_MACHINE, "Software\\Classes\\Installer\\Products\\" + SquashedGuid(product),
                     "ProductName", "Tolvex test product");
  }
};

TEST_F(MsiLookupTest, InstalledComponentGivesItsFolder) {
  Touch(d / "Msi App\\main.exe");
  FakeComponent(d / "Msi App\\main.exe");
  MsiComponentLocation loc = LocateMsiComponent(component);
  EXPECT_EQ(3, loc.state);  // installed locally
  EXPECT_EQ(d / "Msi App\\main.exe", loc.path);

  TraceCapture trace(d);
  EXPECT_EQ(d / "Msi App", FindAppDirForItem(component));
  std::vector<std::string> lines = trace.Lines();
  ASSERT_EQ(2u, lines.size());
  EXPECT_EQ("  MSI Component ID check returned: 3, ComponentPath = \"" + (d / "Msi App\\main.exe") + "\"",
            lines[1]);
  EXPECT_EQ("", FindAssocItemDir(component));  // the "@" identifiers ask no installer
  EXPECT_EQ(d / "Msi App", GetProductRunDir(".tlxnone|" + component, '|'));
}

TEST_F(MsiLookupTest, AnyPathTheInstallerGivesCounts) {
  // The installer reports a component of an unknown product as absent but still names
  // its path; the folder is taken all the same.
  FakeComponent(d / "Old App\\main.exe", false);
  MsiComponentLocation loc = LocateMsiComponent(component);
  EXPECT_EQ(2, loc.state);
  EXPECT_EQ(d / "Old App\\main.exe", loc.path);
  EXPECT_EQ(d / "Old App", FindAppDirForItem(component));
}

TEST_F(MsiLookupTest, UnknownOrOverlongComponentsGiveNoPath) {
  EXPECT_EQ(-1, LocateMsiComponent("{00000000-1111-2222-3333-444444444444}").state);
  for (const std::string& code : {std::string("{nonsense"), std::string(""), std::string(3000, '{')}) {
    MsiComponentLocation loc = LocateMsiComponent(code);
    EXPECT_GT(0, loc.state) << code.substr(0, 20);
    EXPECT_EQ("", loc.path);
  }
  // A path longer than the 400-character buffer does not fit: a negative state, no text.
  FakeComponent(d / (std::string(420, 'p') + ".exe"));
  MsiComponentLocation loc = LocateMsiComponent(component);
  EXPECT_GT(0, loc.state);
  EXPECT_EQ("", loc.path);
}

TEST_F(MsiLookupTest, TheLibraryIsLoadedOnFirstUseAndReleasedByTheReset) {
  ResetMsiLibrary();
  if (GetModuleHandleA("msi.dll")) GTEST_SKIP() << "something else in this process holds msi.dll";
  LocateMsiComponent(component);
  EXPECT_NE(nullptr, GetModuleHandleA("msi.dll"));
  ResetMsiLibrary();
  EXPECT_EQ(nullptr, GetModuleHandleA("msi.dll"));
  Touch(d / "Msi App\\main.exe");
  FakeComponent(d / "Msi App\\main.exe");
  EXPECT_EQ(3, LocateMsiComponent(component).state);  // loads again after a reset
}

// ---------------------------------------------------------------------------------------
// Conditions on files in a folder.

TEST_F(LookupTest, FileConditionsCompareVersionsByOperator) {
  CopyFixture("ver_6_0_2800_1106.dll", d / "core.dll");
  CopyFixture("noversion.dll", d / "plain.dll");
  CreateDirectoryA((d / "sub").c_str(), nullptr);
  struct Case {
    const char* condition;
    bool want;
  } cases[] = {
      {"core.dll>=6.0", true},  // the missing parts are "any"
      {"core.dll>6.0", false},
      {"core.dll<=6.0", true},
      {"core.dll<6.0", false},
      {"core.dll=6.0", true},
      {"core.dll=6", true},
      {"core.dll=6.1", false},
      {"core.dll<10", true},  // numbers, not texts
      {"core.dll>5.2.3790.2744", true},
      {"core.dll<6.0.2800.1107", true},
      {"core.dll>6.0.2800.1105", true},
      {"core.dll=6.0.2800.1106", true},
      {"core.dll>=6.0.2800.1106", true},   // ">=" is found before ">"
      {"core.dll<=6.0.2800.1105", false},  // "<=" before "<"
      {"core.dll>=6.0.2800.1107", false},
      {"  core.dll  >=  6.0.2800  ", true},
      {"CORE.DLL=6.0.2800.1106", true},
      {"plain.dll>=0", false},  // no version resource fails every comparison
      {"plain.dll<99", false},
      {"plain.dll=", false},
      {"absent.dll<99", false},
      {"core.dll", true},  // no operator: the file exists
      {"plain.dll", true},
      {"absent.dll", false},
      {"sub", false},  // a folder is no file
      {"", false},
  };
  for (const Case& c : cases) EXPECT_EQ(c.want, EvalFileCondition(d.Path(), c.condition)) << c.condition;
}

// ---------------------------------------------------------------------------------------
// Search lists of the run items.

class ProductDirTest : public LookupTest {
 protected:
  std::string appA, appB;
  void SetUp() override {
    LookupTest::SetUp();
    appA = d / "AppA";
    appB = d / "AppB";
    Touch(appA + "\\prog.exe");
    Touch(appA + "\\second.exe");
    Touch(appA + "\\srv.dll");
    Touch(appB + "\\other.exe");
    CopyFixture("ver_6_0_2800_1106.dll", appA + "\\core.dll");
    CopyFixture("noversion.dll", appA + "\\plain.dll");
    RegisterProgram(".tlxa", appA + "\\prog.exe");
    RegisterProgram(".tlxsame", UpperAscii(appA) + "\\SECOND.EXE");  // same folder, other case
    RegisterProgram(".tlxb", appB + "\\other.exe");
    RegisterProgram(".tlxgone", d / "Gone\\gone.exe");
    RegisterClass(kClassA, appA + "\\srv.dll", "");
  }
};

TEST_F(ProductDirTest, ProductRunDirNarrowsByPlusAndMinusItems) {
  const std::string A = kClassA;
  struct Case {
    std::string list;
    std::string want;  // "A", "B" or ""
  } cases[] = {
      {".tlxa", "A"},
      {"tlxa", "A"},
      {A, "A"},
      {".tlxgone", ""},
      {".tlxgone|.tlxb", "B"},  // the first is not there, the second is
      {".tlxa|.tlxb", "A"},     // a plain item counts only while nothing is found
      // "+"/"-" with another application: same folder (letter case aside) or not there.
      {A + "|+.tlxsame", "A"},
      {A + "|+.tlxb", ""},
      {A + "|+.tlxunregistered", "A"},
      {A + "|+.tlxgone", "A"},
      {".tlxa|-.tlxsame", ""},
      {".tlxa|-.tlxb", "A"},
      {".tlxa|-.tlxunregistered", "A"},
      {".tlxb|+" + A, ""},
      {".tlxa|+" + A, "A"},
      // "+"/"-" with a file condition on the folder found.
      {".tlxa|-core.dll<7", ""},
      {".tlxa|-core.dll<6.0", "A"},
      {".tlxa|+core.dll>=6.0", "A"},
      {".tlxa|+core.dll>=6.1", ""},
      {".tlxa|+core.dll=6.0.2800.1106", "A"},
      {".tlxa|+plain.dll>=0", ""},
      {".tlxa|+plain.dll", "A"},
      {".tlxa|+absent.dll", ""},
      {".tlxa|-plain.dll", ""},
      {".tlxa|-absent.dll", "A"},
      // A cleared folder lets a later plain item find a new one.
      {".tlxa|-.tlxsame|.tlxb", "B"},
      {".tlxa|+absent.dll|.tlxb|+other.exe", "B"},
      {".tlxa|+absent.dll|.tlxb|+core.dll", ""},
      // Conditions before anything is found do nothing.
      {"+.tlxb|-.tlxa|+absent.dll|.tlxa", "A"},
      // Items are trimmed; the list ends at the first empty item; one character is ignored.
      {"  .tlxgone  |  .tlxb  ", "B"},
      {".tlxgone||.tlxb", ""},
      {".tlxgone|  |.tlxb", ""},
      {"|.tlxb", ""},
      {"x|.tlxb", "B"},
      {".tlxa|+|-", "A"},
      {".|.tlxb", "B"},
      {"{bad guid}|.tlxb", "B"},
      {"", ""},
  };
  for (const Case& c : cases) {
    std::string want = c.want == "A" ? appA : c.want == "B" ? appB : "";
    EXPECT_EQ(want, GetProductRunDir(c.list, '|')) << c.list;
  }
  EXPECT_EQ(appB, GetProductRunDir(".tlxgone;.tlxb", ';'));
  EXPECT_EQ("", GetProductRunDir(".tlxgone|.tlxb", ';'));  // one item with a "|" in it
}

TEST_F(ProductDirTest, FolderLosesTrailingBackslashes) {
  // Four backslashes become two; the folder before the program keeps one, which goes.
  RegisterType(".tlxdbl", "Tlx.Dbl", "", appA + "\\\\\\\\prog.exe");
  ASSERT_EQ(appA + "\\\\prog.exe", GetAppRegInfo(".tlxdbl").ExePath);
  EXPECT_EQ(appA, FindAppDirForItem(".tlxdbl"));
  EXPECT_EQ(appA, GetProductRunDir(".tlxdbl", '|'));
}

// ---------------------------------------------------------------------------------------
// "@" directory identifiers.

class AssocDirTest : public LookupTest {
 protected:
  std::string top, mid, appA, other;
  void SetUp() override {
    LookupTest::SetUp();
    top = d / "Top";
    mid = top + "\\Mid";
    appA = mid + "\\AppA";
    other = top + "\\Other";
    Touch(appA + "\\prog.exe");
    Touch(appA + "\\srv.dll");
    Touch(other + "\\b.exe");
    CopyFixture("ver_6_0_2800_1106.dll", appA + "\\core.dll");
    CopyFixture("noversion.dll", appA + "\\plain.dll");
    RegisterProgram(".tlxa", appA + "\\prog.exe");
    RegisterProgram(".tlxb", other + "\\b.exe");
    RegisterProgram(".tlxgone", d / "Gone\\gone.exe");
    RegisterClass(kClassA, appA + "\\srv.dll", "");
  }
};

TEST_F(AssocDirTest, ItemsAndParentLevels) {
  const std::string A = LowerAscii(kClassA);  // the identifier code lowers letters first
  struct Case {
    std::string text, want;
  } cases[] = {
      {".tlxa", appA},
      {"[..].tlxa", mid},
      {"[...].tlxa", top},
      {"[....].tlxa", d.Path()},
      {"[..]" + A, mid},
      {"[..];;.tlxa", mid},
      {";.tlxa", appA},
      {".tlxgone;.tlxb", other},
      {".tlxgone;;.tlxb", ""},  // the list ends at an empty item
      {".tlxa;.tlxb", appA},
      {"x;.tlxb", other},
      {"{bad;.tlxb", other},
      {A + ";+.tlxa", appA},
      {A + ";+.tlxb", ""},
      {A + ";+.tlxgone", appA},
      {A + ";-.tlxa", ""},
      {".tlxa;-.tlxb", appA},
      {".tlxa;+core.dll=6.0", appA},
      {".tlxa;+core.dll=6..2800", appA},
      {".tlxa;+core.dll=6.1", ""},
      {".tlxa;-core.dll=6", ""},
      {".tlxa;-core.dll=5", appA},
      {".tlxa;+plain.dll=1", ""},
      {".tlxa;+ core.dll = 6.0.2800.1106 ", appA},
      {".tlxa;+absent.dll=1", ""},
      {".tlxa;+core.dll=6.1;.tlxb", other},
      {"[..].tlxa;-core.dll=6.0;.tlxb", top},
      {"", ""},
      {";;;", ""},
      {"[..]", ""},
      {"[.....].tlxa", ""},  // no such prefix: the text is one unknown item
  };
  for (const Case& c : cases) EXPECT_EQ(c.want, GetAssocDir(c.text)) << c.text;
}

TEST_F(AssocDirTest, FolderInTheShellsLongForm) {
  char shortBuf[MAX_PATH] = "";
  ASSERT_NE(0u, GetShortPathNameA(appA.c_str(), shortBuf, MAX_PATH));
  RegisterProgram(".tlxshort", std::string(shortBuf) + "\\prog.exe");
  RegisterProgram(".tlxdots", mid + "\\..\\Mid\\.\\AppA\\prog.exe");
  EXPECT_EQ(appA, GetAssocDir(".tlxshort"));
  EXPECT_EQ(mid, GetAssocDir("[..].tlxshort"));
  EXPECT_EQ(appA, GetAssocDir(".tlxdots"));
  EXPECT_EQ(top, GetAssocDir("[...].tlxdots"));
}

TEST_F(AssocDirTest, ParentLevelsStopAtTheDriveRoot) {
  std::string drive = ExtractDrive(d.Path());
  ASSERT_FALSE(drive.empty());
  OutsideFile nearRoot(drive + "\\tolvex-assoc-root\\app.exe", true);
  RegisterProgram(".tlxroot", nearRoot.path);
  EXPECT_EQ(drive + "\\tolvex-assoc-root", GetAssocDir(".tlxroot"));
  for (const char* prefix : {"[..]", "[...]", "[....]"})
    EXPECT_TRUE(EqualsNoCase(drive, GetAssocDir(std::string(prefix) + ".tlxroot"))) << prefix;
}
