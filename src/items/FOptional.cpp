#include "FOptional.h"

#include <commctrl.h>

#include "UCopyFiles.h"
#include "UDialogTemplate.h"
#include "ULog.h"
#include "UPaths.h"
#include "UProgress.h"
#include "UQuestion.h"
#include "USystemDll.h"
#include "UText.h"
#include "UWinHandle.h"
#include "URunState.h"

namespace tolvex {

static OptionalItemsState g_optional;

OptionalItemsState& OptionalItems() { return g_optional; }
void ResetOptionalItems() { g_optional = OptionalItemsState(); }

const char* const TOptionalForm::kCaption = "Install Options";
const char* const TOptionalForm::kLabel =
    "Please select the software components you want to install. Pre-selected items are recommended for your "
    "system and normally should not be deselected.";

namespace {

const char* const kTickToInstall = "Tick the check box to install ";
// Posted when the list's selection changed, so the handler sees the selection settled
// (a click on another row first unselects the old one).
const UINT kSelectionMsg = WM_APP + 1;

LPARAM RowItem(HWND list, int row) {
  LVITEMA it{};
  it.mask = LVIF_PARAM;
  it.iItem = row;
  SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&it));
  return it.lParam;
}
static const bool kResetOptionalItemsRegistered = RegisterStateReset(&ResetOptionalItems);

bool RowTicked(HWND list, int row) {
  UINT state = static_cast<UINT>(SendMessageA(list, LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_STATEIMAGEMASK));
  return (state >> 12) == 2;
}

void SetRowState(HWND list, int row, UINT state, UINT mask) {
  LVITEMA it{};
  it.state = state;
  it.stateMask = mask;
  SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&it));
}

}  // namespace

void TOptionalForm::Populate(HWND dlg) {
  // The list view is not one of the classes a dialog template can name by number.
  HWND list = CreateWindowExA(WS_EX_CLIENTEDGE, WC_LISTVIEWA, "",
                              WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_NOCOLUMNHEADER | LVS_SINGLESEL |
                                  LVS_SHOWSELALWAYS,
                              0, 0, 0, 0, dlg, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kListId)),
                              GetModuleHandleA(nullptr), nullptr);
  if (!list) {
    LogError("the optional components list could not be created", GetLastError());
    return;
  }
  SendMessageA(list, WM_SETFONT, SendMessageA(dlg, WM_GETFONT, 0, 0), FALSE);
  // Tab order follows the label, before the buttons.
  SetWindowPos(list, GetDlgItem(dlg, kLabelId), 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT,
               LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
  LVCOLUMNA col{};
  col.mask = LVCF_WIDTH;
  col.cx = 100;
  SendMessageA(list, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&col));
  SetDlgItemTextA(dlg, kDescId, "");
  int row = 0;
  for (size_t i = 0; i < items_.size(); ++i) {
    if (!items_[i].listed) continue;
    LVITEMA it{};
    it.mask = LVIF_TEXT | LVIF_PARAM;
    it.iItem = row;
    it.pszText = const_cast<char*>(items_[i].item.caption.c_str());
    it.lParam = static_cast<LPARAM>(i);
    int at = static_cast<int>(SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&it)));
    if (at < 0) continue;
    SetRowState(list, at, INDEXTOSTATEIMAGEMASK(items_[i].ticked ? 2 : 1), LVIS_STATEIMAGEMASK);
    ++row;
  }
  SelectionChanged(dlg);
}

void TOptionalForm::SelectionChanged(HWND dlg) {
  selectionPending_ = false;
  HWND list = GetDlgItem(dlg, kListId);
  int rows = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
  int sel = static_cast<int>(SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
  if (sel < 0 && rows > 0) {
    sel = 0;
    SetRowState(list, 0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  }
  std::string text;
  if (sel >= 0) {
    LPARAM index = RowItem(list, sel);
    if (index >= 0 && static_cast<size_t>(index) < items_.size()) {
      const FileItem& item = items_[static_cast<size_t>(index)].item;
      text = item.description.empty() ? kTickToInstall + item.caption : item.description;
    }
  }
  SetDlgItemTextA(dlg, kDescId, text.c_str());
}

void TOptionalForm::Layout(HWND dlg) {
  RECT c;
  GetClientRect(dlg, &c);
  const int border = 8, gap = 6, bw = 75, bh = 25, groupH = 100;
  int w = c.right - 2 * border;
  // The label takes as many lines as its text needs at this width.
  RECT text = {0, 0, w > 0 ? w : 1, 0};
  HWND label = GetDlgItem(dlg, kLabelId);
  if (WindowDC dc{label}) {
    ScopedSelectObject font(dc.Get(), reinterpret_cast<HGDIOBJ>(SendMessageA(label, WM_GETFONT, 0, 0)));
    DrawTextA(dc.Get(), kLabel, -1, &text, DT_CALCRECT | DT_WORDBREAK);
  }
  int labelH = text.bottom + 2;
  SetWindowPos(label, nullptr, border, border, w, labelH, SWP_NOZORDER);
  int buttonsTop = c.bottom - border - bh;
  int groupTop = buttonsTop - gap - groupH;
  int listTop = border + labelH + gap;
  int listH = groupTop - gap - listTop;
  HWND list = GetDlgItem(dlg, kListId);
  SetWindowPos(list, nullptr, border, listTop, w, listH > 0 ? listH : 0, SWP_NOZORDER);
  RECT lc;
  GetClientRect(list, &lc);
  SendMessageA(list, LVM_SETCOLUMNWIDTH, 0, MAKELPARAM(lc.right > 0 ? lc.right : 0, 0));
  PlaceControl(dlg, kGroupId, border, groupTop, w, groupH);
  PlaceControl(dlg, kDescId, border + 10, groupTop + 18, w - 20, groupH - 26);
  PlaceControl(dlg, kCancelId, c.right - border - bw, buttonsTop, bw, bh);
  PlaceControl(dlg, kOkId, c.right - border - 2 * bw - gap, buttonsTop, bw, bh);
  InvalidateRect(dlg, nullptr, TRUE);
}

void TOptionalForm::Close(HWND dlg, INT_PTR result) {
  HWND list = GetDlgItem(dlg, kListId);
  int rows = list ? static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0)) : 0;
  for (int row = 0; row < rows; ++row) {
    LPARAM index = RowItem(list, row);
    if (index >= 0 && static_cast<size_t>(index) < items_.size())
      items_[static_cast<size_t>(index)].ticked = result == IDOK && RowTicked(list, row);
  }
  EndDialog(dlg, result);
}

INT_PTR CALLBACK TOptionalForm::Proc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
  TOptionalForm* self = DialogForm<TOptionalForm>(dlg, msg, lp);
  if (HandleFormSizing(msg, lp, kMinWidth, kMinHeight, [&] { if (self) self->Layout(dlg); })) return TRUE;
  switch (msg) {
    case WM_INITDIALOG: {
      self->Populate(dlg);
      PlaceForm(dlg, kMinWidth, kMinHeight, [&] { self->Layout(dlg); });
      if (HWND list = GetDlgItem(dlg, kListId)) SetFocus(list);
      return FALSE;
    }
    case WM_NOTIFY: {
      const NMHDR* h = reinterpret_cast<const NMHDR*>(lp);
      if (!self || h->idFrom != kListId) return FALSE;
      bool changed = h->code == NM_CLICK;
      if (h->code == LVN_ITEMCHANGED) {
        const NMLISTVIEW* n = reinterpret_cast<const NMLISTVIEW*>(lp);
        changed = (n->uChanged & LVIF_STATE) && ((n->uNewState ^ n->uOldState) & LVIS_SELECTED);
      }
      if (changed && !self->selectionPending_) {
        self->selectionPending_ = true;
        PostMessageA(dlg, kSelectionMsg, 0, 0);
      }
      return FALSE;
    }
    case kSelectionMsg:
      if (self) self->SelectionChanged(dlg);
      return TRUE;
    case WM_COMMAND: {
      WORD id = LOWORD(wp);
      if ((id == kOkId || id == kCancelId) && self) {
        self->Close(dlg, id == kOkId ? IDOK : IDCANCEL);
        return TRUE;
      }
      return FALSE;
    }
  }
  return FALSE;
}

INT_PTR TOptionalForm::ShowModal() {
  InitControlClasses(ICC_LISTVIEW_CLASSES);
  DialogTemplate t(kCaption, WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | DS_CENTER, 280, 280);
  t.AddControl(kLabelId, kStaticClass, kLabel, SS_LEFT | SS_NOPREFIX, 0, 0, 0, 0);
  t.AddControl(kGroupId, kButtonClass, " Description ", BS_GROUPBOX, 0, 0, 0, 0);
  t.AddControl(kDescId, kStaticClass, "", SS_LEFT | SS_NOPREFIX, 0, 0, 0, 0);
  t.AddControl(kOkId, kButtonClass, "OK", WS_TABSTOP | BS_DEFPUSHBUTTON, 0, 0, 0, 0);
  t.AddControl(kCancelId, kButtonClass, "Cancel", WS_TABSTOP | BS_PUSHBUTTON, 0, 0, 0, 0);
  return ShowFormModal(t, &Proc, this, "optional components form");
}

bool PresetOptionalItems() {
  bool any = false;
  for (OptionalItemRec& rec : g_optional.items) {
    bool condition = rec.item.conditionFileExists;
    rec.listed = true;
    rec.ticked = false;
    switch (rec.item.selection) {
      case 1:
        rec.ticked = true;
        break;
      case 2:
        rec.ticked = condition;
        break;
      case 3:
        rec.listed = rec.ticked = condition;
        break;
      case 4:
        rec.listed = condition;
        break;
      default:
        break;
    }
    if (rec.status != ParseStatus::OK) rec.listed = rec.ticked = false;
    any = any || rec.listed;
  }
  return any;
}

namespace {

bool CopyOptionalItem(const FileItem& item) {
  ProcessPendingMessages();
  ShowCopyStatus(item.destination);
  // A pattern or folder line is copied as [FILES] copies it; a single file goes straight
  // to CopyOneFile.
  return CopyFileItem(item.source, item.destination, SettingsOf(item));
}

// "OK" and the captions of the ticked rows, or "Cancel".
std::string AnswerOf(bool ok, const std::vector<OptionalItemRec>& items) {
  if (!ok) return "Cancel";
  std::vector<std::string> fields{"OK"};
  for (const OptionalItemRec& rec : items)
    if (rec.listed && rec.ticked) fields.push_back(rec.item.caption);
  return JoinAnswerFields(fields);
}

// Takes an answers-file answer: ok and the listed items' ticks set, or false (nothing
// changed) when it does not answer the form.
bool TakeAnswer(const std::string& answer, std::vector<OptionalItemRec>& items, bool& ok) {
  std::vector<std::string> fields = SplitAnswerFields(answer);
  ok = EqualsNoCase(fields[0], "OK");
  if (!ok && (fields.size() > 1 || !EqualsNoCase(fields[0], "Cancel"))) return false;
  std::vector<bool> ticks(items.size(), false);
  for (size_t f = 1; f < fields.size(); ++f) {
    bool known = false;
    for (size_t i = 0; i < items.size(); ++i)
      if (items[i].listed && EqualsNoCase(items[i].item.caption, fields[f])) known = ticks[i] = true;
    if (!known) return false;
  }
  for (size_t i = 0; i < items.size(); ++i)
    if (items[i].listed) items[i].ticked = ticks[i];
  return true;
}

// The dialog through the question seam; true when it closed with OK.
bool AskOptionalItems() {
  std::vector<OptionalItemRec>& items = g_optional.items;
  Question q;
  q.box = "options";
  q.kind = "checklist";
  q.title = TOptionalForm::kCaption;
  q.text = TOptionalForm::kLabel;
  for (const OptionalItemRec& rec : items)
    if (rec.listed) q.text += std::string("\r\n") + (rec.ticked ? "[x] " : "[ ] ") + rec.item.caption;
  q.defaultAnswer = AnswerOf(true, items);
  bool shown = false, ok = false;
  std::string answer = AskQuestion(q, [&] {
    shown = true;
    TOptionalForm form(items);
    ok = form.ShowModal() == IDOK;
    return AnswerOf(ok, items);
  });
  // The person's ticks are in the table already; an answers file's are taken here.
  if (!shown && !TakeAnswer(answer, items, ok)) {
    LogLine("** Error: answers file: \"%s\" does not answer the options form", answer);
    ok = true;  // the default: OK with the preset ticks, which the table still holds
  }
  return ok;
}

}  // namespace

bool CopyOptionalItems() {
  std::vector<OptionalItemRec>& items = g_optional.items;
  for (OptionalItemRec& rec : items) {
    if (rec.status != ParseStatus::OK || !FileExists(rec.item.destination)) continue;
    rec.ticked = false;  // updated now: not copied again below
    if (!CopyOptionalItem(rec.item)) return false;
  }
  for (const OptionalItemRec& rec : items) {
    if (rec.listed && rec.ticked && !CopyOptionalItem(rec.item)) return false;
  }
  return true;
}

bool InstallOptionalItems(const ScriptSectionList& lines) {
  g_optional.items.assign(lines.size(), OptionalItemRec());
  if (lines.empty()) return true;
  LogLine(">Start InstallOptionalItems()");
  for (size_t i = 0; i < lines.size(); ++i) {
    ProcessPendingMessages();
    OptionalItemRec& rec = g_optional.items[i];
    rec.status = ParseFileInfo(lines[i], rec.item);
    if (rec.status != ParseStatus::OK) LogLine("    > Not offered, not updated: \"%s\"", lines[i]);
  }
  bool result = true;
  if (!PresetOptionalItems())
    LogLine("    > No optional component to offer");
  else if (AskOptionalItems())
    result = CopyOptionalItems();
  else
    LogLine("    > Optional components cancelled: nothing of this section copied");
  LogLine(">End InstallOptionalItems()");
  return result;
}

}  // namespace tolvex
