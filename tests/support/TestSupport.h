// What the tests share: a scratch folder and a scratch registry per test, the reset of
// the run-wide state, a driver for real dialogs, and file, line and window helpers.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "UAnswerText.h"

namespace tolvex::test {

// A name no other test (of this or another test program) uses.
std::string UniqueName();

// A fresh folder below the temporary folder, or the folder given, removed with
// everything in it.
class ScratchDir {
 public:
  ScratchDir();
  explicit ScratchDir(const std::string& path);
  ~ScratchDir();
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;
  const std::string& Path() const { return path_; }
  std::string operator/(const std::string& rel) const { return path_ + "\\" + rel; }

 private:
  std::string path_;
};

// Redirects HKEY_LOCAL_MACHINE and HKEY_CLASSES_ROOT (each on its own: the classes root
// does not follow a machine override) into scratch keys below HKEY_CURRENT_USER, and
// removes them afterwards.
class ScratchRegistry {
 public:
  ScratchRegistry();
  ~ScratchRegistry();
  ScratchRegistry(const ScratchRegistry&) = delete;
  ScratchRegistry& operator=(const ScratchRegistry&) = delete;

 private:
  std::string base_;
  HKEY hklm_ = nullptr, hkcr_ = nullptr;
};
// HKCR: extension -> progId -> shell\open\command = command.
void RegisterAssociation(const std::string& extension, const std::string& progId, const std::string& command);

// Puts every run-wide state back to program-load defaults: the command line (set to
// the given arguments; argument 0 is programPath or else this test program), parameters,
// logs, lists, question seam, language, search state.
void ResetRunState(const std::vector<std::string>& args = {}, const std::string& programPath = "");

// Base fixture: run state reset before and after every test.
class TolvexTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
};

// A test with a folder and a registry of its own, made before its set-up and gone after it.
class ScratchTest : public TolvexTest {
 protected:
  ScratchDir d;
  ScratchRegistry reg;
};

// For SetOpenSCManagerForTesting: a service manager that refuses, as it does a user who is
// not an administrator.
SC_HANDLE WINAPI RefusingServiceManager(LPCSTR machine, LPCSTR database, DWORD access);
// What the administrator check tells such a user.
extern const char* const kAdminWarning;

// Runs the question seam unattended with these answers and a transcript in scratch.
class UnattendedSeam {
 public:
  explicit UnattendedSeam(const std::string& answers = "");
  // The questions asked so far, read back from the transcript.
  std::vector<AnswerEntry> Asked() const;

 private:
  ScratchDir dir_;
};

// Drives real dialogs from a second thread: each step waits for a visible top-level
// window with its title, calls act with it, and waits for it to close before the next
// step, each within the time-out. Join() waits for the script and tells how many steps ran.
struct DialogStep {
  std::string title;
  std::function<void(HWND)> act;
};
class DialogDriver {
 public:
  DialogDriver(const std::string& title, std::function<void(HWND)> act, DWORD timeoutMs = 30000);
  DialogDriver(std::vector<DialogStep> steps, DWORD timeoutMs = 30000);
  ~DialogDriver();
  bool Join();  // true when every step ran
  int StepsRun() const { return done_; }
  // The message-box text of the window of the first step.
  std::string SeenText() const { return seenText_.empty() ? std::string() : seenText_.front(); }
  const std::vector<std::string>& SeenTexts() const { return seenText_; }

 private:
  static DWORD WINAPI Thread(void* self);
  static DWORD WINAPI Watchdog(void* self);
  std::vector<DialogStep> steps_;
  DWORD timeoutMs_;
  HANDLE thread_ = nullptr, watchdog_ = nullptr;
  const char* volatile phase_ = "looking for the window";
  volatile DWORD beat_ = GetTickCount();  // the driver's last sign of life
  volatile bool joining_ = false;
  int done_ = 0;
  std::vector<std::string> seenText_;
};
// Runs work in the main window, right after a status of its own (so that a status the
// work sets comes too soon after it to be painted at once), and returns the status line
// as each copy of the test helper that the work started found it, in order.
std::vector<std::string> StatusesSeenByPrograms(const std::function<void()>& work);

// Sends a click to the control with this id in a dialog.
void ClickButton(HWND dlg, int id);
// Text of the static control of a message box.
std::string MessageBoxText(HWND box);
// A window's caption, or a control's text. The window's own thread answers, so it must be
// pumping messages (the dialog driver's own search does without).
std::string WindowText(HWND w);

// A shell link as the shell reads it (COM initialised by the caller); empty fields and
// index -1 when it cannot be read.
struct LinkRead {
  std::string path, arguments, folder, icon;
  int iconIndex = -1, show = -1;
};
LinkRead ReadLink(const std::string& file);

std::string ReadFileText(const std::string& path);
void WriteFileText(const std::string& path, const std::string& text);
// Writes a file, making its folders first.
void Touch(const std::string& path, const std::string& text = "x");
// Removes a folder and all in it through the wide functions, so also names the ANSI code
// page cannot hold.
void RemoveTreeW(const std::wstring& path);
// Program Files inside the scratch folder (registry overridden), so the search's
// default-run-folder step sees only the test's own folders.
void UseScratchProgramFiles(const ScratchDir& dir);
// The all-users Start-menu programs folder and desktop become dir\Programs and
// dir\Desktop (created), through the shell-folder values of the scratch registry.
void UseScratchShellFolders(const ScratchDir& dir);
// Creates folder (with parents) holding a file of this name (an "application").
std::string MakeAppFolder(const std::string& folder, const std::string& file = "app.exe");
// Folder of the test program (the build's bin folder, with the fixtures).
std::string TestBinDir();
std::string FixturePath(const std::string& name);
// Copies a fixture (a name below the bin folder) to a path, making its folders first; a
// copy that fails fails the test.
void CopyFixture(const std::string& fixture, const std::string& to);
// Sets a file's last-write time, seconds relative to a fixed base.
void SetWriteTime(const std::string& path, long long secondsFromBase);
bool IsWin9x();

// A text's lines, CR LF or LF ended; the text after the last line break is one more.
std::vector<std::string> Lines(const std::string& text);
// The lines the test helper appended to a file, each ended by LF; none without the file.
std::vector<std::string> HelperLines(const std::string& path);
// Whether one of lines is line itself, or holds text anywhere in it. Two helpers, not one
// with a flag: a check that names a whole line must not pass on a longer one.
bool HasLine(const std::vector<std::string>& lines, const std::string& line);
bool HasLineContaining(const std::vector<std::string>& lines, const std::string& text);
// The same two questions of this run's install log.
bool LogHasLine(const std::string& line);
bool LogHasLineContaining(const std::string& text);

}  // namespace tolvex::test
