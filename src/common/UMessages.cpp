#include "UMessages.h"

#include <windows.h>

#include <vector>

#include "UApp.h"
#include "UInstallParams.h"
#include "ULog.h"
#include "UQuestion.h"
#include "UCodePage.h"
#include "UText.h"

namespace tolvex {

struct ButtonSet {
  const char* name;
  std::vector<int> ids;
};

static ButtonSet ButtonsOf(UINT type) {
  switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL: return {"OKCancel", {IDOK, IDCANCEL}};
    case MB_ABORTRETRYIGNORE: return {"AbortRetryIgnore", {IDABORT, IDRETRY, IDIGNORE}};
    case MB_YESNOCANCEL: return {"YesNoCancel", {IDYES, IDNO, IDCANCEL}};
    case MB_YESNO: return {"YesNo", {IDYES, IDNO}};
    case MB_RETRYCANCEL: return {"RetryCancel", {IDRETRY, IDCANCEL}};
    default: return {"OK", {IDOK}};
  }
}

static const char* IconOf(UINT type) {
  switch (type & MB_ICONMASK) {
    case MB_ICONQUESTION: return "question";
    case MB_ICONWARNING: return "warning";
    case MB_ICONINFORMATION: return "information";
    case MB_ICONERROR: return "error";
    default: return "none";
  }
}

static const char* IdName(int id) {
  switch (id) {
    case IDOK: return "OK";
    case IDCANCEL: return "Cancel";
    case IDABORT: return "Abort";
    case IDRETRY: return "Retry";
    case IDIGNORE: return "Ignore";
    case IDYES: return "Yes";
    case IDNO: return "No";
    default: return "";
  }
}

int ShowMessageBox(const std::string& text, unsigned int type) {
  ButtonSet set = ButtonsOf(type);
  size_t def = (type & MB_DEFMASK) == MB_DEFBUTTON2 ? 1 : (type & MB_DEFMASK) == MB_DEFBUTTON3 ? 2 : 0;
  if (def >= set.ids.size()) def = 0;
  Question q;
  q.box = "message";
  q.kind = set.name;
  q.icon = IconOf(type);
  q.title = App().title;
  q.text = text;
  for (int id : set.ids) q.accepted.push_back(IdName(id));
  q.defaultAnswer = IdName(set.ids[def]);
  std::string a = AskQuestion(q, [&] {
    return std::string(IdName(MessageBoxA(GetActiveWindow(), text.c_str(), App().title.c_str(), type)));
  });
  for (int id : set.ids)
    if (a == IdName(id)) return id;
  return set.ids.size() > 1 ? IDCANCEL : IDOK;  // the close box
}

bool AskYesNo(const std::string& text) { return ShowMessageBox(text, MB_YESNO | MB_ICONQUESTION) == IDYES; }
bool AskOkCancel(const std::string& text) {
  return ShowMessageBox(text, MB_OKCANCEL | MB_ICONQUESTION) == IDOK;
}
void ShowWarning(const std::string& text) { ShowMessageBox(text, MB_OK | MB_ICONWARNING); }
void ShowInformation(const std::string& text) { ShowMessageBox(text, MB_OK | MB_ICONINFORMATION); }
void ShowErrorBox(const std::string& text) { ShowMessageBox(text, MB_OK | MB_ICONERROR); }
void ShowPlainMessage(const std::string& text) { ShowMessageBox(text, MB_OK); }

void ShowWarningFor(const std::string& message, const std::string& value) {
  ShowWarning(ReplaceNoCase(message, "%s", value));
}

void ReportScriptError(const std::string& text) {
  LogLine("** >> " + text);
  ShowWarning(text);
}

void ReportNotBuilt(const std::string& what) {
  std::string text = what + " is not available in this version of Tolvex.exe.";
  LogLine("** Error: " + text);
  ShowWarning(text);
}

bool LogStageNotBuilt(const std::string& what) {
  LogLine("** " + what + " is not available in this version of Tolvex.exe; the install goes on without it.");
  return true;
}

std::string ExpandProductText(const std::string& text) {
  return tolvex::ExpandProductText(text, Params().productname);
}

std::string ExpandMessage(const std::string& messageTemplate, const std::vector<std::string>& values) {
  std::string out;
  size_t next = 0;
  for (size_t i = 0; i < messageTemplate.size(); ++i) {
    char c = messageTemplate[i];
    if (CharSize(messageTemplate, i) == 2) {
      out.append(messageTemplate, i++, 2);
    } else if (c == '|') {
      out += "\r\n";
    } else if (c == '%' && i + 1 < messageTemplate.size() && messageTemplate[i + 1] == 's' && next < values.size()) {
      out += values[next++];
      ++i;
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace tolvex
