// Shows one of the program's dialogs with sample data, for scripts/screenshots.sh:
//
//   tolvex_shots --list                 one "name<TAB>title" line per dialog
//   tolvex_shots NAME RECTFILE DONEFILE
//
// Once the dialog has shown and painted, its window rectangle ("left top width height",
// screen pixels) is written to RECTFILE; when DONEFILE appears the program ends. The
// dialogs run through their real show routines, so what is captured is what a user sees.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "FFinished.h"
#include "FMain.h"
#include "FSelect.h"
#include "UApp.h"
#include "UGetAppPath.h"
#include "UInstallParams.h"
#include "UMessages.h"
#include "UProgress.h"

using namespace tolvex;

namespace {

const char* const kProduct = "Lumen Viewer";

// The main window holds its state as a run would: the work keeps it open until the end.
void KeepMainWindowOpen(const std::function<void()>& setUp) {
  TFormMain form([setUp] {
    setUp();
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    return true;
  });
  form.Run();
}

void ShowFinish(bool notes) {
  Params().ReadmeFile = notes ? "C:\\Lumen\\ReadMe.txt" : "";
  Params().RestartRequired = true;
  ShowFinishDialog();
}

struct Shot {
  const char* name;
  std::string title;  // the caption the script waits for
  std::function<void()> show;
};

std::vector<Shot> Shots() {
  const std::string setup = std::string(kProduct) + " Setup";
  return {
      {"main", setup, [] { KeepMainWindowOpen([] {}); }},
      {"main-progress", setup,
       [] {
         KeepMainWindowOpen([] {
           ShowProgress(1000);
           UpdateProgress(420);
           SetStatus("Copying help videos...");
           FlushStatus();  // a status line otherwise repaints on the loop's next pass
         });
       }},
      {"select", TSelectForm::kCaption,
       [] {
         ChooseInstallPath({"C:\\Program Files\\Tesmora\\Lumen Viewer", "D:\\Apps\\Lumen Viewer 2",
                            "C:\\Program Files\\Tesmora\\Lumen Viewer\\Older Copy With A Longer Folder Name"});
       }},
      {"yesnoignore", setup, [] { AskYesNoIgnore(AppNotFoundQuestion(kProduct)); }},
      {"finish", setup + " Complete", [] { ShowFinish(true); }},
      {"finish-plain", setup + " Complete", [] { ShowFinish(false); }},
      // --- Forms still to come: add each as one row here (name, caption, show routine with
      // sample data) and it is captured as build/screenshots/<name>.png. ---
      // {"shortcuts", ..., [] { ... TFShortcuts ... }},
      // {"options", ..., [] { ... TOptionalForm ... }},
      // {"videos", "Install Videos", [] { ... TVidCopyForm ... }},
  };
}

struct Watch {
  std::string title, rectFile, doneFile;
};

struct FindCtx {
  const std::string* title;
  HWND found;
};

BOOL CALLBACK FindOwn(HWND w, LPARAM lp) {
  FindCtx* c = reinterpret_cast<FindCtx*>(lp);
  DWORD pid = 0;
  GetWindowThreadProcessId(w, &pid);
  char text[256] = "";
  GetWindowTextA(w, text, sizeof text);
  if (pid != GetCurrentProcessId() || !IsWindowVisible(w) || *c->title != text) return TRUE;
  c->found = w;
  return FALSE;
}

// Waits for the dialog, reports where it is, and ends the program once it is captured.
DWORD WINAPI Watcher(void* p) {
  const Watch* watch = static_cast<const Watch*>(p);
  FindCtx c{&watch->title, nullptr};
  for (int i = 0; i < 1500 && !c.found; ++i) {
    EnumWindows(&FindOwn, reinterpret_cast<LPARAM>(&c));
    if (!c.found) Sleep(20);
  }
  if (!c.found) {
    std::fprintf(stderr, "tolvex_shots: no window \"%s\"\n", watch->title.c_str());
    ExitProcess(2);
  }
  Sleep(800);  // painted, and the caption's activation settled
  RECT r;
  GetWindowRect(c.found, &r);
  FILE* f = std::fopen(watch->rectFile.c_str(), "w");
  if (!f) ExitProcess(3);
  std::fprintf(f, "%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
  std::fclose(f);
  for (int i = 0; i < 3000 && GetFileAttributesA(watch->doneFile.c_str()) == INVALID_FILE_ATTRIBUTES; ++i) Sleep(20);
  ExitProcess(0);
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<Shot> shots = Shots();
  if (argc == 2 && std::strcmp(argv[1], "--list") == 0) {
    for (const Shot& s : shots) std::printf("%s\t%s\n", s.name, s.title.c_str());
    return 0;
  }
  if (argc != 4) {
    std::fprintf(stderr, "usage: tolvex_shots --list | tolvex_shots NAME RECTFILE DONEFILE\n");
    return 2;
  }
  Params().productname = kProduct;
  SetAppTitle(std::string(kProduct) + " Setup");
  for (const Shot& s : shots) {
    if (s.name != std::string(argv[1])) continue;
    static Watch watch;
    watch = {s.title, argv[2], argv[3]};
    CloseHandle(CreateThread(nullptr, 0, &Watcher, &watch, 0, nullptr));
    s.show();
    return 0;
  }
  std::fprintf(stderr, "tolvex_shots: no dialog \"%s\"\n", argv[1]);
  return 2;
}
