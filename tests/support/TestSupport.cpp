#include "TestSupport.h"

#include <shlwapi.h>

#include <cstdio>

#include "UApp.h"
#include "UAppRegInfo.h"
#include "UCorvane.h"
#include "UGetAppPath.h"
#include "UParams.h"
#include "UCmdLine.h"
#include "UDebugLog.h"
#include "UInstallParams.h"
#include "ULocale2.h"
#include "ULog.h"
#include "UPaths.h"
#include "UQuestion.h"
#include "URegistry.h"
#include "URights.h"
#include "UScript.h"
#include "UText.h"
#include "UWinHandle.h"

namespace tolvex::test {

static int g_counter = 0;

static std::string UniqueName() {
  const ::testing::TestInfo* t = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string name = t ? std::string(t->test_suite_name()) + "." + t->name() : "test";
  for (char& c : name)
    if (c == '/' || c == '\\' || c == ':') c = '_';
  return name + "-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++g_counter);
}

static void RemoveTree(const std::string& path) {
  WIN32_FIND_DATAA fd;
  ScopedFindHandle f(FindFirstFileA((path + "\\*").c_str(), &fd));
  if (f) {
    do {
      std::string n = fd.cFileName;
      if (n == "." || n == "..") continue;
      std::string p = path + "\\" + n;
      SetFileAttributesA(p.c_str(), FILE_ATTRIBUTE_NORMAL);
      if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) RemoveTree(p);
      else DeleteFileA(p.c_str());
    } while (FindNextFileA(f.Get(), &fd));
  }
  f.Close();
  RemoveDirectoryA(path.c_str());
}

ScratchDir::ScratchDir() {
  std::string base = GetTempDir() + "\\tolvex-tests";
  CreateDirectoryA(base.c_str(), nullptr);
  path_ = base + "\\" + UniqueName();
  CreateDirectoryA(path_.c_str(), nullptr);
  // Tests compare paths with what the shell reports, so use its long form from the start.
  path_ = ShellLongPath(path_);
}

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

void ResetRunState(const std::vector<std::string>& args, const std::string& programPath) {
  std::string program = programPath.empty() ? ModulePath() : programPath;
  std::string cmd = "\"" + program + "\"";
  for (const std::string& a : args) cmd += " \"" + a + "\"";
  InitCommandLine(cmd, program);
  ResetParams();
  ResetApp();
  FreeInstallLog();
  CreateInstallLog();
  ResetDebugLog();
  ResetQuestionSeam();
  FreeScriptLists();
  CreateScriptLists();
  SetCurrentLanguageForLcid(0x409);
  SetOpenSCManagerForTesting(nullptr);
  ResetAppPathSearch();
  ResetCorvaneConfig();
  ResetScriptFile();
  ResetMsiLibrary();
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
  char buf[512] = "";
  GetWindowTextA(w, buf, sizeof buf);
  DWORD pid = 0;
  GetWindowThreadProcessId(w, &pid);
  // Tests run side by side on one desktop: only this process's own dialogs are ours.
  if (pid == GetCurrentProcessId() && c->title == buf && IsWindowVisible(w)) {
    c->found = w;
    return FALSE;
  }
  return TRUE;
}

DialogDriver::DialogDriver(const std::string& title, std::function<void(HWND)> act, DWORD timeoutMs)
    : DialogDriver(std::vector<DialogStep>{{title, std::move(act)}}, timeoutMs) {}

DialogDriver::DialogDriver(std::vector<DialogStep> steps, DWORD timeoutMs)
    : steps_(std::move(steps)), timeoutMs_(timeoutMs) {
  thread_ = CreateThread(nullptr, 0, &DialogDriver::Thread, this, 0, nullptr);
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

// A step that never came leaves a modal dialog waiting for a click that will not come:
// close what is open, and end the test program if that does not help, so the test fails
// at once instead of hanging until CTest's time-out.
static void GiveUp(const std::string& title) {
  std::fprintf(stderr, "dialog driver: no window \"%s\" in time; closing the open dialogs\n", title.c_str());
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
  DWORD start = GetTickCount();
  for (const DialogStep& step : self->steps_) {
    HWND found = nullptr;
    while (!found) {
      if (GetTickCount() - start > self->timeoutMs_) {
        GiveUp(step.title);
        return 1;
      }
      FindCtx c;
      c.title = step.title;
      EnumWindows(&FindTop, reinterpret_cast<LPARAM>(&c));
      found = c.found;
      if (!found) Sleep(20);
    }
    self->seenText_.push_back(MessageBoxText(found));
    Sleep(50);  // let the dialog finish its set-up before it is driven
    step.act(found);
    ++self->done_;
    while (IsWindow(found) && IsWindowVisible(found)) {
      if (GetTickCount() - start > self->timeoutMs_) {
        GiveUp(step.title + " (to close)");
        return 1;
      }
      Sleep(20);
    }
  }
  return 0;
}

bool DialogDriver::Join() {
  if (thread_) {
    WaitForSingleObject(thread_, INFINITE);
    CloseHandle(thread_);
    thread_ = nullptr;
  }
  return done_ == static_cast<int>(steps_.size());
}

void ClickButton(HWND dlg, int id) {
  PostMessageA(dlg, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dlg, id)));
}

std::string MessageBoxText(HWND box) {
  HWND text = GetDlgItem(box, 0xFFFF);
  char buf[4096] = "";
  if (text) GetWindowTextA(text, buf, sizeof buf);
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

std::string TestBinDir() { return ModuleDir(); }
std::string FixturePath(const std::string& name) { return TestBinDir() + "\\" + name; }

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

}  // namespace tolvex::test

namespace tolvex::test {
void RegisterAssociation(const std::string& extension, const std::string& progId, const std::string& command) {
  ASSERT_EQ(ERROR_SUCCESS, WriteRegString(HKEY_CLASSES_ROOT, extension, "", progId));
  ASSERT_EQ(ERROR_SUCCESS, WriteRegString(HKEY_CLASSES_ROOT, progId + "\\shell\\open\\command", "", command));
}

std::string MakeAppFolder(const std::string& folder, const std::string& file) {
  MakeDirPath(folder);
  WriteFileText(folder + "\\" + file, "MZ");
  return folder;
}
}  // namespace tolvex::test
