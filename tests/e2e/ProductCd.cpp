#include "ProductCd.h"

#include <windows.h>
#include <shlwapi.h>

#include "UPaths.h"
#include "URegistry.h"
#include "UText.h"
#include "Uninstall.h"
#include "UWinHandle.h"

namespace tolvex::test {

ProductCd::ProductCd(const std::string& name, const std::string& folder)
    : name_(name), home_(folder.empty() ? dir_.Path() : dir_ / folder) {
  MakeDirPath(home_);
  std::string built = TestBinDir() + "\\Tolvex.exe";
  EXPECT_TRUE(CopyFileA(built.c_str(), Exe().c_str(), FALSE)) << built;
}

void ProductCd::WriteScript(const std::string& ini) const { WriteFileText(home_ + "\\" + name_ + ".ini", ini); }

int ProductCd::Run(const std::vector<std::string>& args, const std::string& answers) {
  WriteFileText(work_ / "answers.txt", answers);
  DeleteFileA((work_ / "transcript.txt").c_str());
  std::vector<std::string> all = args;
  all.push_back("/answers=" + (work_ / "answers.txt"));
  all.push_back("/transcript=" + (work_ / "transcript.txt"));
  return RunAsGiven(all);
}

int ProductCd::RunAsGiven(const std::vector<std::string>& args) {
  std::string cmd = "\"" + Exe() + "\"";
  for (const std::string& a : args) cmd += " \"" + a + "\"";
  STARTUPINFOA si;
  ZeroMemory(&si, sizeof si);
  si.cb = sizeof si;
  PROCESS_INFORMATION pi;
  EXPECT_TRUE(CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, Dir().c_str(), &si, &pi))
      << cmd;
  ScopedHandle process(pi.hProcess), thread(pi.hThread);
  if (WaitForSingleObject(process.Get(), 60000) != WAIT_OBJECT_0) {
    TerminateProcess(process.Get(), 99);
    ADD_FAILURE() << "Tolvex.exe did not end: " << cmd;
    return -1;
  }
  DWORD code = 0;
  GetExitCodeProcess(process.Get(), &code);
  return static_cast<int>(code);
}

std::vector<AnswerEntry> ProductCd::Asked() const {
  std::vector<std::string> errors;
  auto entries = ParseAnswers(ReadFileText(work_ / "transcript.txt"), errors);
  EXPECT_TRUE(errors.empty());
  return entries;
}

InstalledApp::InstalledApp(const std::string& extension)
    : ext_(extension), progId_("Tolvex" + extension.substr(1) + ".File") {
  folder_ = MakeAppFolder(root_ / "Apps\\Lumen Viewer\\Bin", "lumen.exe");
  RegisterAssociation(ext_, progId_, "\"" + folder_ + "\\lumen.exe\" \"%1\"");
}

InstalledApp::~InstalledApp() {
  SHDeleteKeyA(HKEY_CLASSES_ROOT, ext_.c_str());
  SHDeleteKeyA(HKEY_CLASSES_ROOT, progId_.c_str());
}

std::string UninstallEntryOf(const std::string& folder) {
  for (int n = 0; n <= 100; ++n) {
    std::string key = std::string(kUninstallKeyRoot) + "\\" + kUninstallKeyPrefix + std::to_string(n);
    if (EqualsNoCase(ReadRegValue(HKEY_LOCAL_MACHINE, key, "InstallLocation"), folder)) return key;
  }
  return {};
}

}  // namespace tolvex::test
