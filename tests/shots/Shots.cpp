// Shows one of the program's dialogs with sample data, for scripts/screenshots.sh:
//
//   tolvex_shots --list                 one "name<TAB>title" line per dialog
//   tolvex_shots NAME RECTFILE DONEFILE
//
// Once the dialog has shown and painted, the rectangle around it and the program's other
// visible windows ("left top width height", screen pixels) is written to RECTFILE; when
// DONEFILE appears the program ends. The dialogs run through their real show routines,
// so what is captured is what a user sees.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "FFinished.h"
#include "FFolderSelect.h"
#include "FMain.h"
#include "FOptional.h"
#include "FSelect.h"
#include "UApp.h"
#include "UGetAppPath.h"
#include "UInstallParams.h"
#include "UMessages.h"
#include "UPaths.h"
#include "UProgress.h"
#include "UShortcuts.h"
#include "FVidCopy.h"
#include "UVideos.h"

using namespace tolvex;

namespace {

const char* const kProduct = "Lumen Viewer";
const char* const kAppDir = "C:\\Program Files\\Tesmora\\Lumen Viewer";

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

// A PC on which the maker's other programs already have their Start-menu folders (the
// shots' own Wine prefix: the folders stay there for the next run).
void ShowShortcuts() {
  std::string programs = StartMenuProgramsFolder();
  for (const char* name : {"Tesmora", "Tesmora\\Lumen Viewer", "Tesmora Tools", "Kelvor Brevo", "Kelvor Spectra",
                           "Accessories", "Games", "Maintenance"})
    if (!programs.empty()) MakeDirPath(programs + "\\" + name);
  std::string group = "Tesmora\\Lumen Viewer";
  bool desktop = false;
  ChooseProgramFolder(group, desktop);
}

FileItem Component(const char* caption, const char* description) {
  FileItem item;
  item.caption = caption;
  item.description = description;
  return item;
}

void ShowOptions() {
  std::vector<OptionalItemRec> items(4);
  items[0].item = Component("Lumen Viewer Help",
                            "The on-line help of Lumen Viewer: the user's guide, a reference page for every menu "
                            "command and dialog, and step-by-step examples of the most common measurements. "
                            "Recommended for every PC on which Lumen Viewer is used.");
  items[1].item = Component("Tutorial Samples", "");
  items[2].item = Component("Tesmora Documentation", "The printed manuals as documents to read on screen.");
  items[3].item = Component("Instrument Bus Driver Notes", "Set-up notes for the instrument bus card.");
  for (size_t i = 0; i < items.size(); ++i) {
    items[i].listed = true;
    items[i].ticked = i == 0 || i == 2;
  }
  TOptionalForm form(items);
  form.ShowModal();
}

// The application's help\videos folder exists, so it is the preselected row; the drives
// of the prefix (c: and z:) give the other rows.
void ShowVideos() {
  MakeDirPath(std::string(kAppDir) + "\\help\\videos");
  ChooseVideoFolder(kAppDir, 187ULL * 1024 * 1024 + 345678);
}

struct Shot {
  const char* name;
  std::string title;  // the caption the script waits for
  std::function<void()> show;
  std::function<void(HWND)> then;  // done to the shown dialog before it is captured
  Shot(const char* n, std::string t, std::function<void()> s, std::function<void(HWND)> th = nullptr)
      : name(n), title(std::move(t)), show(std::move(s)), then(std::move(th)) {}
};

// Opens a drop-down list, as a user does to see the rows. (Wine's virtual desktop leaves a
// list black that lies wholly inside its dialog: the sample rows make it reach below.)
std::function<void(HWND)> DropDown(int comboId) {
  return [comboId](HWND dlg) { SendDlgItemMessageA(dlg, comboId, CB_SHOWDROPDOWN, TRUE, 0); };
}

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
      {"shortcuts", TFShortcuts::kCaption, &ShowShortcuts},
      {"shortcuts-list", TFShortcuts::kCaption, &ShowShortcuts, DropDown(TFShortcuts::kProgramFoldersCboId)},
      {"options", TOptionalForm::kCaption, &ShowOptions},
      {"videos", TVidCopyForm::kCaption, &ShowVideos},
      {"videos-list", TVidCopyForm::kCaption, &ShowVideos, DropDown(TVidCopyForm::kDrivesId)},
      // A new form: one row here (name, caption, show routine with sample data), and it is
      // captured as build/screenshots/<name>.png.
  };
}

struct Watch {
  std::string title, rectFile, doneFile;
  std::function<void(HWND)> then;
};

struct FindCtx {
  const std::string* title;
  HWND found;
};

bool OwnVisible(HWND w) {
  DWORD pid = 0;
  GetWindowThreadProcessId(w, &pid);
  return pid == GetCurrentProcessId() && IsWindowVisible(w);
}

BOOL CALLBACK FindOwn(HWND w, LPARAM lp) {
  FindCtx* c = reinterpret_cast<FindCtx*>(lp);
  char text[256] = "";
  GetWindowTextA(w, text, sizeof text);
  if (!OwnVisible(w) || *c->title != text) return TRUE;
  c->found = w;
  return FALSE;
}

// Every window the program shows: an open drop-down list may reach below its dialog.
BOOL CALLBACK AddOwn(HWND w, LPARAM lp) {
  RECT r;
  if (OwnVisible(w) && GetWindowRect(w, &r)) UnionRect(reinterpret_cast<RECT*>(lp), reinterpret_cast<RECT*>(lp), &r);
  return TRUE;
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
  if (watch->then) {
    watch->then(c.found);
    Sleep(500);
  }
  RECT r;
  GetWindowRect(c.found, &r);
  EnumWindows(&AddOwn, reinterpret_cast<LPARAM>(&r));
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
    watch = {s.title, argv[2], argv[3], s.then};
    CloseHandle(CreateThread(nullptr, 0, &Watcher, &watch, 0, nullptr));
    s.show();
    return 0;
  }
  std::fprintf(stderr, "tolvex_shots: no dialog \"%s\"\n", argv[1]);
  return 2;
}
