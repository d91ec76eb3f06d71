#include "FFinished.h"

#include "UApp.h"
#include "UDialogTemplate.h"
#include "UInstallParams.h"
#include "ULog.h"
#include "UMessages.h"
#include "UQuestion.h"
#include "UText.h"
#include "UWinExec.h"

namespace tolvex {

const char* const TFiniForm::kFinishedAnswer = "Finished";
const char* const TFiniForm::kReadmeAnswer = "Read release notes";

TFiniForm::TFiniForm() {
  const InstallParams& p = Params();
  hasNotes_ = !p.ReadmeFile.empty();
  caption_ = SetupTitle("Setup Complete");
  text_ = ExpandProductText(hasNotes_ ? "Click the button below to read some last minute release notes. "
                                        "Press the Finished button when done."
                                      : "Press the Finished button to close this help install program.");
  // The patches CD comes with its own restart, so it wins over the plain reminder.
  const char* reminder = p.PatchCD           ? "Remove the CD-ROM, restart Windows and insert the Patches CD-ROM if available."
                         : p.RestartRequired ? "Important: To complete setup you must now restart Windows!"
                                             : nullptr;
  if (reminder) text_ += std::string("\r\r") + reminder;
}

void TFiniForm::FormCreate(HWND dlg) {
  SetWindowTextA(dlg, caption_.c_str());
  // The layout is in pixels; without notes the Finished button moves up into the
  // notes button's place and the window loses that strip.
  int shrink = hasNotes_ ? 0 : kShrink;
  SetClientSize(dlg, kClientWidth, kClientHeight - shrink);
  CenterOnScreen(dlg);
  font_.Reset(CreateFormFont(dlg));
  PlaceControl(dlg, kIconId, 7, 10, 32, 32);
  SendDlgItemMessageA(dlg, kIconId, STM_SETICON,
                      reinterpret_cast<WPARAM>(LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(1))), 0);
  PlaceControl(dlg, kLabelId, 53, 8, 300, 65);
  PlaceControl(dlg, kReadmeId, 88, 85, 177, 25);
  PlaceControl(dlg, kFinishedId, 102, 117 - shrink, 140, 25);
  for (int id : {kLabelId, kReadmeId, kFinishedId})
    if (font_) SendDlgItemMessageA(dlg, id, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), FALSE);
  if (!hasNotes_) {
    ShowWindow(GetDlgItem(dlg, kReadmeId), SW_HIDE);
    EnableWindow(GetDlgItem(dlg, kReadmeId), FALSE);
  }
  // The notes button leads the tab order, but the dialog opens on Finished so that Enter
  // ends it as the default button promises. Moved through the dialog manager, which also
  // keeps the default-button frame on the focused button.
  SendMessageA(dlg, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dlg, kFinishedId)), TRUE);
}

INT_PTR CALLBACK TFiniForm::Proc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
  TFiniForm* self = DialogForm<TFiniForm>(dlg, msg, lp);
  if (msg == WM_INITDIALOG) {
    self->FormCreate(dlg);
    return FALSE;  // focus set there
  }
  if (msg != WM_COMMAND || !self) return FALSE;
  int id = LOWORD(wp);
  if (id == kReadmeId && self->hasNotes_) {
    // Recorded before it is carried out, so an error box it raises follows it in the
    // transcript as it will on a replay.
    if (self->noteClick_) self->noteClick_();
    self->ReadmeBtnClick();
    return TRUE;
  }
  if (id == kFinishedId || id == IDCANCEL) {  // IDCANCEL: Escape and the close box; closing is always allowed
    EndDialog(dlg, IDOK);
    return TRUE;
  }
  return FALSE;
}

void TFiniForm::ShowModal(const std::function<void()>& noteClick) {
  noteClick_ = noteClick;
  DialogTemplate t(caption_, DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU, 242, 98);
  t.AddControl(kIconId, kStaticClass, "", SS_ICON, 0, 0, 0, 0);
  t.AddControl(kLabelId, kStaticClass, text_, SS_LEFT | SS_NOPREFIX, 0, 0, 0, 0);  // a product "A & B" stays as written
  t.AddControl(kReadmeId, kButtonClass, ExpandProductText("&Read release notes"), WS_TABSTOP | BS_PUSHBUTTON, 0, 0,
               0, 0);
  t.AddControl(kFinishedId, kButtonClass, ExpandProductText("&Finished"), WS_TABSTOP | BS_DEFPUSHBUTTON, 0, 0, 0,
               0);
  ShowFormModal(t, &Proc, this, "finish dialog");
  font_.Reset();
}

void TFiniForm::ReadmeBtnClick() const { OpenWithShell(Params().ReadmeFile, "", true); }

void ShowFinishDialog() {
  TFiniForm form;
  Question q;
  q.box = "finish";
  q.kind = "buttons";
  q.title = form.Caption();
  q.text = form.Text();
  q.defaultAnswer = TFiniForm::kFinishedAnswer;  // accepted stays empty: the answer is checked here
  for (;;) {
    std::string answer = AskQuestion(q, [&] {
      form.ShowModal([&] { NoteAnswer(q, TFiniForm::kReadmeAnswer); });
      return std::string(TFiniForm::kFinishedAnswer);
    });
    // Only an answers file can ask for the notes here (the dialog opens them itself):
    // open them and ask again, as a person would go on looking at the dialog. The file's
    // entries are used once each, so this ends.
    if (EqualsNoCase(answer, TFiniForm::kReadmeAnswer) && form.HasReleaseNotes()) {
      form.ReadmeBtnClick();
      continue;
    }
    if (!EqualsNoCase(answer, TFiniForm::kFinishedAnswer))
      LogLine("** Error: answers file: \"%s\" does not answer the finish form", answer);
    return;
  }
}

}  // namespace tolvex
