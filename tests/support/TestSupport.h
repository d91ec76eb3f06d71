// What the tests share: a scratch folder and a scratch registry per test, the reset of
// the run-wide state, a driver for real dialogs, and file helpers.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "UAnswerText.h"

namespace tolvex::test {

// A fresh folder below the temporary folder, removed with everything in it.
class ScratchDir {
 public:
  ScratchDir();
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

// Puts every run-wide state back to program-load defaults: the command line (set to
// the given arguments), parameters, logs, lists, question seam, language.
void ResetRunState(const std::vector<std::string>& args = {});

// Base fixture: run state reset before and after every test.
class TolvexTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
};

// Runs the question seam unattended with these answers and a transcript in scratch.
class UnattendedSeam {
 public:
  explicit UnattendedSeam(const std::string& answers = "");
  // The questions asked so far, read back from the transcript.
  std::vector<AnswerEntry> Asked() const;

 private:
  ScratchDir dir_;
};

// Watches for a top-level dialog with this title from a second thread and calls act
// with its window once it appears. Join() waits for that (or the time-out) and reports
// whether the dialog was seen.
class DialogDriver {
 public:
  DialogDriver(const std::string& title, std::function<void(HWND)> act, DWORD timeoutMs = 15000);
  ~DialogDriver();
  bool Join();
  std::string SeenText() const { return seenText_; }

 private:
  static DWORD WINAPI Thread(void* self);
  std::string title_;
  std::function<void(HWND)> act_;
  DWORD timeoutMs_;
  HANDLE thread_ = nullptr;
  bool seen_ = false;
  std::string seenText_;
};
// Text of the static control of a message box.
std::string MessageBoxText(HWND box);

std::string ReadFileText(const std::string& path);
void WriteFileText(const std::string& path, const std::string& text);
// Folder of the test program (the build's bin folder, with the fixtures).
std::string TestBinDir();
std::string FixturePath(const std::string& name);
// Sets a file's last-write time, seconds relative to a fixed base.
void SetWriteTime(const std::string& path, long long secondsFromBase);
bool IsWin9x();

}  // namespace tolvex::test
