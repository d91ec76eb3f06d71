#include "UWinExec.h"

#include <windows.h>
#include <shellapi.h>

#include "UApp.h"
#include "ULog.h"
#include "UMessages.h"
#include "UPaths.h"
#include "UProgress.h"
#include "UText.h"
#include "UWinHandle.h"

namespace tolvex {

std::string RunCommandLine(const std::string& program, const std::string& parameters) {
  std::string exe = program;
  // An unquoted "C:\Program Files\X\setup.exe" lets the system try "C:\Program.exe"
  // first, which anybody could plant and which would run with the installer's rights.
  if (exe.find(' ') != std::string::npos && !exe.empty() && exe[0] != '"' && FileExists(exe))
    exe = "\"" + exe + "\"";
  return parameters.empty() ? exe : exe + " " + parameters;
}

bool RunAndWait(const std::string& program, const std::string& parameters) {
  std::string cmd = RunCommandLine(program, parameters);
  STARTUPINFOA si;
  ZeroMemory(&si, sizeof si);
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESHOWWINDOW;
  si.wShowWindow = SW_HIDE;
  PROCESS_INFORMATION pi;
  ZeroMemory(&pi, sizeof pi);
  std::string buffer = cmd;  // CreateProcessA may write into the command line
  // Nothing repaints while the thread waits, for minutes with an installer: a status set
  // a moment ago and still waiting for its repaint would leave the window naming what
  // ran before.
  FlushStatus();
  if (!CreateProcessA(nullptr, &buffer[0], nullptr, nullptr, TRUE, CREATE_DEFAULT_ERROR_MODE, nullptr,
                      nullptr, &si, &pi)) {
    std::string why = LastErrorText();
    LogLine("** Error: the program %s could not be started: %s", program, why);
    NoteItemFailed();
    ShowErrorBox("CreateProcess(" + cmd + "," + parameters + ",...) returned \r" + why);
    return false;
  }
  ScopedHandle process(pi.hProcess), thread(pi.hThread);
  WaitForSingleObject(process.Get(), INFINITE);
  return true;
}

int OpenWithShell(const std::string& file, const std::string& parameters, bool reportErrors) {
  HWND owner = GetActiveWindow();
  if (!owner) owner = App().mainForm;
  HINSTANCE h = ShellExecuteA(owner, "open", file.c_str(), parameters.empty() ? nullptr : parameters.c_str(),
                              nullptr, SW_SHOWDEFAULT);
  int rc = static_cast<int>(reinterpret_cast<INT_PTR>(h));
  if (rc <= 32 && reportErrors) {
    std::string why = LastErrorText();
    if (rc == 2)
      ShowErrorBox("File not found.\r" + file + " " + parameters);
    else
      ShowErrorBox("ShellExecute(" + file + "," + parameters + ") returned " + std::to_string(rc) + "\r" + why);
  }
  return rc;
}

std::string LastErrorTextFor(unsigned long code) {
  const char* msg;
  switch (code) {
    case 2: msg = "Specified file not found, or there is no application associated with this file type."; break;
    case 3: msg = "Specified path not found, or there is no application associated with this file type."; break;
    case 5: msg = "Windows 95 only: The operating system denied access to the specified file."; break;
    case 8: msg = "Windows 95 only: There was not enough memory to complete the operation."; break;
    case 11: msg = "The .EXE file is invalid (non-Win32 .EXE or error in .EXE image)."; break;
    case 19: msg = "Media is write protected"; break;
    case 21: msg = "Device not ready"; break;
    case 26: msg = "A sharing violation occurred."; break;
    case 27: msg = "The filename association is incomplete or invalid."; break;
    case 28: msg = "The DDE transaction could not be completed because the request timed out."; break;
    case 29: msg = "The DDE transaction failed."; break;
    case 30:
      msg = "The DDE transaction could not be completed because other DDE transactions were being processed.";
      break;
    case 31: msg = "There is no application associated with the given filename extension."; break;
    case 32: msg = "Windows 95 only: The specified dynamic-link library was not found."; break;
    case 33: msg = "File in use"; break;
    case 39:
    case 112: msg = "Disk full"; break;
    case 276:
    case 1005:
    case 1392:
    case 1393: msg = "Corrupt file or disk"; break;
    case 1009:
    case 1358: msg = "Corrupt registry"; break;
    case 1150: msg = "Windows version incorrect"; break;
    case 1151: msg = "Not a windows Or MSDos Program"; break;
    default: msg = "General failure. Is there a program associated with this file type?";
  }
  return "[Error:" + std::to_string(code) + "] " + msg;
}

std::string LastErrorText() { return LastErrorTextFor(GetLastError()); }

}  // namespace tolvex
