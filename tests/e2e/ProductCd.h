// A product CD in a scratch folder with Tolvex.exe on it, and runs of the real program.
#pragma once

#include <string>
#include <vector>

#include "TestSupport.h"
#include "UAnswerText.h"

namespace tolvex::test {

class ProductCd {
 public:
  // name: the program's file name on the CD; the script is named after it. folder: where
  // on the CD the program lies (its root when empty).
  explicit ProductCd(const std::string& name = "Tolvex", const std::string& folder = "");
  const std::string& Dir() const { return dir_.Path(); }
  std::string operator/(const std::string& rel) const { return dir_ / rel; }
  std::string Exe() const { return home_ + "\\" + name_ + ".exe"; }
  void WriteScript(const std::string& ini) const;

  // Runs Tolvex.exe with args, answered from answers (a transcript goes to the scratch
  // folder); returns the exit code, or -1 when the program did not end in time.
  int Run(const std::vector<std::string>& args, const std::string& answers = "");
  // Runs Tolvex.exe with exactly these arguments.
  int RunAsGiven(const std::vector<std::string>& args);
  // The questions of the last run.
  std::vector<AnswerEntry> Asked() const;

 private:
  std::string name_;
  ScratchDir dir_;
  std::string home_;
  ScratchDir work_;
};

// An application registered in the harness prefix's real registry for the test's life.
class InstalledApp {
 public:
  explicit InstalledApp(const std::string& extension);
  ~InstalledApp();
  InstalledApp(const InstalledApp&) = delete;
  InstalledApp& operator=(const InstalledApp&) = delete;
  const std::string& Folder() const { return folder_; }
  std::string Root() const { return root_.Path(); }

 private:
  ScratchDir root_;
  std::string ext_, progId_, folder_;
};

// The key of the Add/Remove Programs entry whose InstallLocation is folder, or empty.
std::string UninstallEntryOf(const std::string& folder);

}  // namespace tolvex::test
