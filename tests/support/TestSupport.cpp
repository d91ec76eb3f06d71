#include "TestSupport.h"

#include <shlobj.h>
#include <shlwapi.h>

#include <cstdio>

#include "FMain.h"
#include "FOptional.h"
#include "UApp.h"
#include "UBusDriver.h"
#include "UAppRegInfo.h"
#include "UCorvane.h"
#include "UDirIdent.h"
#include "UProgress.h"
#include "UGetAppPath.h"
#include "UInstallLog.h"
#include "UParams.h"
#include "UCmdLine.h"
#include "UDebugLog.h"
#include "UInstallParams.h"
#include "ULocale2.h"
#include "ULog.h"
#include "UCopyFiles.h"
#include "UPaths.h"
#include "UQuestion.h"
#include "URegistry.h"
#include "URights.h"
#include "UScript.h"
#include "URunState.h"
#include "UText.h"
#include "UWinHandle.h"
#include "Uninstall.h"

namespace tolvex::test {

SC_HANDLE WINAPI RefusingServiceManager(LPCSTR, LPCSTR, DWORD) {
  SetLastError(ERROR_ACCESS_DENIED);
  return nullptr;
}

const char* const kAdminWarning =
    "Warning: To install this software under Windows NT, you must be logged on as an Administrator.\r\r"
    "Do not continue to install. For more information on NT security please see your Windows NT manual.";


static int g_counter = 0;

std::string UniqueName() {
  const ::testing::TestInfo* t = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string name = t ? std::string(t->test_suite_name()) + "." + t->name() : "test";
  for (char& c : name)
    if (c == '/' || c == '\\' || c == ':') c = '_';
  return name + "-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++g_counter);
}

// Through the wide functions: a test may leave a name the ANSI code page cannot hold, which
// the ANSI ones could neither list nor delete (and a later run with the same process id
// would find it in its fresh folder).
void RemoveTreeW(const std::wstring& path) {
  WIN32_FIND_DATAW fd;
  HANDLE f = FindFirstFileW((path + L"\\*").c_str(), &fd);
  if (f != INVALID_HANDLE_VALUE) {
    do {
      std::wstring n = fd.cFileName;
      if (n == L"." || n == L"..") continue;
      std::wstring p = path + L"\\" + n;
      SetFileAttributesW(p.c_str(), FILE_ATTRIBUTE_NORMAL);
      if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) RemoveTreeW(p);
      else DeleteFileW(p.c_str());
    } while (FindNextFileW(f, &fd));
    FindClose(f);
  }
  RemoveDirectoryW(path.c_str());
}

static void RemoveTree(const std::string& path) {
  int n = MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, nullptr, 0);
  if (n <= 1) return;
  std::wstring wide(static_cast<size_t>(n - 1), L'\0');
  MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, &wide[0], n);
  RemoveTreeW(wide);
}

ScratchDir::ScratchDir() {
  std::string base = GetTempDir() + "\\tolvex-tests";
  CreateDirectoryA(base.c_str(), nullptr);
  path_ = base + "\\" + UniqueName();
  // Wine reuses process ids: a folder of this name may be an earlier run's leftover.
  RemoveTree(path_);
  CreateDirectoryA(path_.c_str(), nullptr);
  // Tests compare paths with what the shell reports, so use its long form from the start.
  path_ = ShellLongPath(path_);
}

ScratchDir::ScratchDir(const std::string& path) : path_(path) { MakeDirPath(path_); }

ScratchDir::~ScratchDir() { RemoveTree(path_); }

ScratchRegistry::ScratchRegistry() {
  base_ = "Software\\TolvexTests\\" + UniqueName();
  RegCreateKeyExA(HKEY_CURRENT_USER, (base_ + "\\HKLM").c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                  &hklm_, nullptr);
  RegCreateKeyExA(HKEY_CURRENT_USER, (base_ + "\\HKCR").c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                  &hkcr_, nullptr);
  EXPECT_EQ(ERROR_SUCCESS, RegOverridePredefKey(HKEY_LOCAL_MACHINE, hklm_));
  EXPECT_EQ(ERROR_SUCCESS, RegOverridePredefKey(HKEY_CLASSES_ROOT, hkcr_));
}

ScratchRegistry::~ScratchRegistry() {
  RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr);
  RegOverridePredefKey(HKEY_CLASSES_ROOT, nullptr);
  RegCloseKey(hklm_);
  RegCloseKey(hkcr_);
  SHDeleteKeyA(HKEY_CURRENT_USER, base_.c_str());
}

LinkRead ReadLink(const std::string& file) {
  LinkRead r;
  ComPtr<IShellLinkA> link;
  ComPtr<IPersistFile> pf;
  // The name in the ANSI code page, as the program wrote it (a byte is no character there).
  std::wstring wide(file.size() + 1, L'\0');
  wide.resize(static_cast<size_t>(MultiByteToWideChar(CP_ACP, 0, file.data(), static_cast<int>(file.size()), &wide[0],
                                                      static_cast<int>(wide.size()))));
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                              reinterpret_cast<void**>(link.Receive()))) ||
      FAILED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(pf.Receive()))) ||
      FAILED(pf->Load(wide.c_str(), STGM_READ)))
    return r;
  char buf[MAX_PATH] = "";
  link->GetPath(buf, MAX_PATH, nullptr, SLGP_RAWPATH), r.path = buf;
  link->GetArguments(buf, MAX_PATH), r.arguments = buf;
  link->GetWorkingDirectory(buf, MAX_PATH), r.folder = buf;
  link->GetIconLocation(buf, MAX_PATH, &r.iconIndex), r.icon = buf;
  std::string bytes = ReadFileText(file);  // the header's show command, as any reader sees it
  if (bytes.size() >= 0x40) r.show = static_cast<unsigned char>(bytes[0x3C]);
  return r;
}

void RegisterAssociation(const std::string& extension, const std::string& progId, const std::string& command) {
  ASSERT_EQ(ERROR_SUCCESS, WriteRegString(HKEY_CLASSES_ROOT, extension, "", progId));
  ASSERT_EQ(ERROR_SUCCESS, WriteRegString(HKEY_CLASSES_ROOT, progId + "\\shell\\open\\command", "", command));
}

void ResetRunState(const std::vector<std::string>& args, const std::string& programPath) {
  std::string program = programPath.empty() ? ModulePath() : programPath;
  std::string cmd = "\"" + program + "\"";
  for (const std::string& a : args) cmd += " \"" + a + "\"";
  InitCommandLine(cmd, program);
  ResetRegisteredState();
  CreateInstallLog();
  CreateScriptLists();
  SetCurrentLanguageForLcid(0x409);
}

void TolvexTest::SetUp() { ResetRunState(); }
void TolvexTest::TearDown() { ResetRunState(); }

UnattendedSeam::UnattendedSeam(const std::string& answers) {
  WriteFileText(dir_ / "answers.txt", answers);
  InitQuestionSeam(dir_ / "answers.txt", dir_ / "transcript.txt");
}

std::vector<AnswerEntry> UnattendedSeam::Asked() const {
  std::vector<std::string> errors;
  auto entries = ParseAnswers(ReadFileText(dir_ / "transcript.txt"), errors);
  EXPECT_TRUE(errors.empty());
  return entries;
}

struct FindCtx {
  std::string title;
  HWND found = nullptr;
};

static BOOL CALLBACK FindTop(HWND w, LPARAM lp) {
  FindCtx* c = reinterpret_cast<FindCtx*>(lp);
  DWORD pid = 0;
  GetWindowThreadProcessId(w, &pid);
  // Tests run side by side on one desktop: only this process's own dialogs are ours, and
  // only they are asked for their title.
  if (pid != GetCurrentProcessId() || !IsWindowVisible(w)) return TRUE;
  char buf[512] = "";
  // Not GetWindowText: it sends WM_GETTEXT and would wait for a thread that may be busy.
  DWORD_PTR got = 0;
  if (!SendMessageTimeoutA(w, WM_GETTEXT, sizeof buf, reinterpret_cast<LPARAM>(buf), SMTO_ABORTIFHUNG, 2000, &got))
    buf[0] = '\0';
  if (c->title != buf) return TRUE;
  c->found = w;
  return FALSE;
}

DialogDriver::DialogDriver(const std::string& title, std::function<void(HWND)> act, DWORD timeoutMs)
    : DialogDriver(std::vector<DialogStep>{{title, std::move(act)}}, timeoutMs) {}

DialogDriver::DialogDriver(std::vector<DialogStep> steps, DWORD timeoutMs)
    : steps_(std::move(steps)), timeoutMs_(timeoutMs) {
  thread_ = CreateThread(nullptr, 0, &DialogDriver::Thread, this, 0, nullptr);
  watchdog_ = CreateThread(nullptr, 0, &DialogDriver::Watchdog, this, 0, nullptr);
}

// The driver itself may block in a call into a dialog that never returns; then nothing
// would end the test. The watchdog says where it stuck and ends the test program.
DWORD WINAPI DialogDriver::Watchdog(void* p) {
  DialogDriver* self = static_cast<DialogDriver*>(p);
  while (WaitForSingleObject(self->thread_, 1000) != WAIT_OBJECT_0)
    if (GetTickCount() - self->beat_ > self->timeoutMs_ + 10000) break;
  if (WaitForSingleObject(self->thread_, 0) == WAIT_OBJECT_0) return 0;
  std::fprintf(stderr, "dialog driver: stuck at step %d (%s); ending the test program\n", self->done_ + 1,
               self->phase_);
  std::fflush(stderr);
  TerminateProcess(GetCurrentProcess(), 4);
  return 1;
}

DialogDriver::~DialogDriver() { Join(); }

static BOOL CALLBACK CloseOwnWindow(HWND w, LPARAM) {
  DWORD pid = 0;
  GetWindowThreadProcessId(w, &pid);
  if (pid == GetCurrentProcessId() && IsWindowVisible(w)) {
    PostMessageA(w, WM_COMMAND, IDCANCEL, 0);
    PostMessageA(w, WM_CLOSE, 0, 0);
  }
  return TRUE;
}

static BOOL CALLBACK FindOwnDialog(HWND w, LPARAM lp) {
  DWORD pid = 0;
  GetWindowThreadProcessId(w, &pid);
  char cls[16] = "";
  GetClassNameA(w, cls, sizeof cls);
  if (pid != GetCurrentProcessId() || !IsWindowVisible(w) || std::string(cls) != "#32770") return TRUE;
  *reinterpret_cast<HWND*>(lp) = w;
  return FALSE;
}

// A dialog nobody will click leaves the code under test waiting for ever: close what is
// open, and end the test program if that does not help, so the test fails at once
// instead of hanging until CTest's time-out.
static void GiveUp(const std::string& why) {
  std::fprintf(stderr, "dialog driver: %s; closing the open dialogs\n", why.c_str());
  for (int i = 0; i < 30; ++i) {
    EnumWindows(&CloseOwnWindow, 0);
    Sleep(100);
  }
  std::fprintf(stderr, "dialog driver: dialogs still open; ending the test program\n");
  std::fflush(stderr);
  TerminateProcess(GetCurrentProcess(), 3);
}

DWORD WINAPI DialogDriver::Thread(void* p) {
  DialogDriver* self = static_cast<DialogDriver*>(p);
  for (const DialogStep& step : self->steps_) {
    // Each step has the whole time-out: under load a folder browser alone can take seconds
    // to fill its tree, and five of them in one script must not share one allowance.
    DWORD start = GetTickCount();
    const std::string which = "step " + std::to_string(self->done_ + 1) + ": ";
    self->phase_ = "looking for the window";
    HWND found = nullptr;
    while (!found) {
      self->beat_ = GetTickCount();
      if (GetTickCount() - start > self->timeoutMs_) {
        GiveUp(which + "no window \"" + step.title + "\" in time");
        return 1;
      }
      FindCtx c;
      c.title = step.title;
      EnumWindows(&FindTop, reinterpret_cast<LPARAM>(&c));
      found = c.found;
      if (!found) Sleep(20);
    }
    self->phase_ = "reading the window's text";
    self->seenText_.push_back(MessageBoxText(found));
    Sleep(50);  // let the dialog finish its set-up before it is driven
    self->phase_ = "acting on the window";
    step.act(found);
    self->phase_ = "waiting for the window to close";
    ++self->done_;
    while (IsWindow(found) && IsWindowVisible(found)) {
      self->beat_ = GetTickCount();
      if (GetTickCount() - start > self->timeoutMs_) {
        GiveUp(which + "window \"" + step.title + "\" did not close");
        return 1;
      }
      Sleep(20);
    }
  }
  // Every step ran; a dialog that stays open now was not expected (a step went astray).
  self->phase_ = "watching for dialogs nobody expects";
  DWORD openSince = 0;
  while (!self->joining_) {
    self->beat_ = GetTickCount();
    HWND open = nullptr;
    EnumWindows(&FindOwnDialog, reinterpret_cast<LPARAM>(&open));
    if (!open) openSince = 0;
    else if (!openSince) openSince = GetTickCount();
    else if (GetTickCount() - openSince > self->timeoutMs_) {
      GiveUp("a dialog no step expected stays open");
      return 1;
    }
    Sleep(50);
  }
  return 0;
}

bool DialogDriver::Join() {
  if (thread_) {
    joining_ = true;
    WaitForSingleObject(thread_, INFINITE);
    WaitForSingleObject(watchdog_, INFINITE);
    CloseHandle(thread_);
    CloseHandle(watchdog_);
    thread_ = watchdog_ = nullptr;
  }
  return done_ == static_cast<int>(steps_.size());
}

std::vector<std::string> StatusesSeenByPrograms(const std::function<void()>& work) {
  ScratchDir dir;
  const std::string seen = dir / "seen.txt";
  TFormMain form([&] {
    std::string watch = std::to_string(reinterpret_cast<INT_PTR>(Progress().label)) + " " + seen;
    SetEnvironmentVariableA("TOLVEX_HELPER_LABEL", watch.c_str());
    SetStatus("Copying file: earlier.chm");
    work();
    SetEnvironmentVariableA("TOLVEX_HELPER_LABEL", nullptr);
    return true;
  });
  form.Run();
  return HelperLines(seen);
}

void ClickButton(HWND dlg, int id) {
  PostMessageA(dlg, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dlg, id)));
}

std::string MessageBoxText(HWND box) {
  HWND text = GetDlgItem(box, 0xFFFF);
  char buf[4096] = "";
  DWORD_PTR got = 0;
  if (text &&
      !SendMessageTimeoutA(text, WM_GETTEXT, sizeof buf, reinterpret_cast<LPARAM>(buf), SMTO_ABORTIFHUNG, 5000, &got))
    buf[0] = '\0';
  return buf;
}

std::string WindowText(HWND w) {
  char buf[4096] = "";
  GetWindowTextA(w, buf, sizeof buf);
  return buf;
}

std::string ReadFileText(const std::string& path) {
  std::string s;
  ReadFileWhole(path, s);
  return s;
}

void WriteFileText(const std::string& path, const std::string& text) {
  unsigned long err = 0;
  ASSERT_TRUE(WriteFileWhole(path, text, err)) << path << " error " << err;
}

void Touch(const std::string& path, const std::string& text) {
  MakeDirPath(ExtractFileDir(path));
  WriteFileText(path, text);
}

void UseScratchProgramFiles(const ScratchDir& dir) {
  MakeDirPath(dir / "PF");
  WriteRegString(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion", "ProgramFilesDir", dir / "PF");
}

void UseScratchShellFolders(const ScratchDir& dir) {
  const char* key = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
  // The shell hands out a configured folder only once it exists.
  for (const char* name : {"Programs", "Desktop"}) MakeDirPath(dir / name);
  WriteRegString(HKEY_LOCAL_MACHINE, key, "Common Programs", dir / "Programs");
  WriteRegString(HKEY_LOCAL_MACHINE, key, "Common Desktop", dir / "Desktop");
}

std::string MakeAppFolder(const std::string& folder, const std::string& file) {
  MakeDirPath(folder);
  WriteFileText(folder + "\\" + file, "MZ");
  return folder;
}

std::string TestBinDir() { return ModuleDir(); }
std::string FixturePath(const std::string& name) { return TestBinDir() + "\\" + name; }

void CopyFixture(const std::string& fixture, const std::string& to) {
  MakeDirPath(ExtractFileDir(to));
  ASSERT_TRUE(CopyFileA(FixturePath(fixture).c_str(), to.c_str(), FALSE)) << fixture << " to " << to;
}

void SetWriteTime(const std::string& path, long long secondsFromBase) {
  ScopedHandle f(CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                             OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(f.IsValid()) << path;
  ULARGE_INTEGER u;
  u.QuadPart = 130000000000000000ull + static_cast<unsigned long long>(secondsFromBase) * 10000000ull;
  FILETIME ft;
  ft.dwLowDateTime = u.LowPart;
  ft.dwHighDateTime = u.HighPart;
  ASSERT_TRUE(SetFileTime(f.Get(), nullptr, nullptr, &ft));
}

bool IsWin9x() { return !IsNtPlatform(); }

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines = SplitText(text, '\n');
  for (std::string& l : lines)
    if (!l.empty() && l.back() == '\r') l.pop_back();
  return lines;
}

std::vector<std::string> HelperLines(const std::string& path) {
  std::vector<std::string> lines;
  std::string text = FileExists(path) ? ReadFileText(path) : "";
  for (size_t s = 0, e; (e = text.find('\n', s)) != std::string::npos; s = e + 1)
    lines.push_back(text.substr(s, e - s));
  return lines;
}

bool HasLine(const std::vector<std::string>& lines, const std::string& line) {
  for (const std::string& l : lines)
    if (l == line) return true;
  return false;
}

bool HasLineContaining(const std::vector<std::string>& lines, const std::string& text) {
  for (const std::string& l : lines)
    if (l.find(text) != std::string::npos) return true;
  return false;
}

bool LogHasLine(const std::string& line) { return HasLine(InstallLog().lines, line); }
bool LogHasLineContaining(const std::string& text) { return HasLineContaining(InstallLog().lines, text); }

}  // namespace tolvex::test
