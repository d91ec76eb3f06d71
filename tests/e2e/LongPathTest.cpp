// Tolvex.exe started from a folder whose path is longer than MAX_PATH. Under Wine a
// Windows program cannot start one there: CreateProcess and the shell give up on the
// name (the long one, the \\?\ form, the short one and a relative one after changing into
// the folder alike). Only the host side can, as "wine <file>" does; the test asks the
// host's shell to do that and waits for the mark it leaves when the run has ended.
#include <windows.h>

#include "ProductCd.h"
#include "UApp.h"
#include "UPaths.h"
#include "UText.h"
#include "UWinHandle.h"

using namespace tolvex;
using namespace tolvex::test;

namespace {

std::wstring LongForm(const std::string& path) {
  std::wstring w = L"\\\\?\\";
  for (char c : path) w += static_cast<wchar_t>(static_cast<unsigned char>(c));
  return w;
}

std::string HostPath(const std::string& path) {
  using HostName = char*(CDECL*)(const WCHAR*);
  auto name = reinterpret_cast<HostName>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name"));
  std::wstring w = LongForm(path).substr(4);
  char* host = name ? name(w.c_str()) : nullptr;
  std::string result = host ? host : "";
  if (host) HeapFree(GetProcessHeap(), 0, host);
  return result;
}

void WriteLongFile(const std::string& path, const std::string& text) {
  ScopedHandle f(CreateFileW(LongForm(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  ASSERT_TRUE(f.IsValid()) << path;
  DWORD put = 0;
  ASSERT_TRUE(WriteFile(f.Get(), text.data(), static_cast<DWORD>(text.size()), &put, nullptr));
}

}  // namespace

TEST(LongPath, AProgramFolderTooLongIsSaidNotTakenForAMissingScript) {
  if (HostPath("C:\\").empty() || !FileExists("Z:\\bin\\sh")) GTEST_SKIP() << "needs Wine and its host's shell";
  ScratchDir root, work;
  std::string folder = root.Path();
  while (folder.size() < 300) {
    folder += "\\Deeper Folder";
    ASSERT_TRUE(CreateDirectoryW(LongForm(folder).c_str(), nullptr)) << folder.size();
  }
  std::string exe = folder + "\\Tolvex.exe";
  ASSERT_TRUE(CopyFileW(LongForm(TestBinDir() + "\\Tolvex.exe").c_str(), LongForm(exe).c_str(), FALSE));
  // The script is there: a run that calls it missing has misread its own path.
  WriteLongFile(folder + "\\Tolvex.ini",
                "[INSTALL]\r\nproductname=Lumen Deep\r\nSrchDir=d\r\nExeAssoc=.tvxdeep\r\nDefaultGroup=g\r\nIdFile=i\r\n");
  WriteFileText(work / "answers.txt", "");

  std::string command = "Z:\\bin\\sh -c \"wine '" + HostPath(exe) + "' /script . '/answers=" + (work / "answers.txt") +
                        "' '/transcript=" + (work / "transcript.txt") + "'; echo $? > '" + HostPath(work.Path()) +
                        "/ended'\"";
  STARTUPINFOA si;
  ZeroMemory(&si, sizeof si);
  si.cb = sizeof si;
  PROCESS_INFORMATION pi;
  ASSERT_TRUE(CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) << command;
  ScopedHandle process(pi.hProcess), thread(pi.hThread);  // a host process gives no handle to wait on
  DWORD start = GetTickCount();
  while (!FileExists(work / "ended") && GetTickCount() - start < 50000) Sleep(100);
  ASSERT_TRUE(FileExists(work / "ended")) << command;
  // The shell sees the low eight bits of the exit code.
  EXPECT_EQ(std::to_string(kExitFailed & 0xFF), Trim(ReadFileText(work / "ended")));

  std::vector<std::string> errors;
  auto asked = ParseAnswers(ReadFileText(work / "transcript.txt"), errors);
  ASSERT_EQ(1u, asked.size());
  EXPECT_EQ("none", asked[0].icon);
  EXPECT_EQ("The path of the folder Tolvex.exe was started from is too long: " + std::to_string(folder.size()) +
                " characters, where Windows allows at most 248.\r\n\r\nCopy the installation files to a folder with "
                "a shorter path and start Tolvex.exe there.",
            asked[0].text);
}
