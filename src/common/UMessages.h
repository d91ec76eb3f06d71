// Message boxes, all through the question seam, captioned with the application title.
#pragma once

#include <string>
#include <vector>

namespace tolvex {

// MessageBox flags in, the IDOK/IDYES/... of the button taken out.
int ShowMessageBox(const std::string& text, unsigned int type);

bool AskYesNo(const std::string& text);     // question icon; true for Yes
bool AskOkCancel(const std::string& text);  // question icon; true for OK
// Question icon with Yes, No and Ignore; IDYES, IDNO or IDIGNORE.
int AskYesNoIgnore(const std::string& text);
// Question icon with Cancel (the default), Retry and Ignore; IDCANCEL, IDRETRY or IDIGNORE.
int AskCancelRetryIgnore(const std::string& text);
void ShowWarning(const std::string& text);
void ShowInformation(const std::string& text);
void ShowErrorBox(const std::string& text);
void ShowPlainMessage(const std::string& text);  // no icon, OK
// Replaces "%s" in message by value, then ShowWarning.
void ShowWarningFor(const std::string& message, const std::string& value);

// "** >> " + text to the install log, then the warning box.
void ReportScriptError(const std::string& text);
// For an action this version cannot carry out yet: says so (box and log) rather than
// pretending to have done it.
void ReportNotBuilt(const std::string& what);
// For an install stage this version does not have yet: logs so, and the run goes on.
bool LogStageNotBuilt(const std::string& what);

// "%s" becomes the script's product name (empty until it is read), "|" a line break.
// For a text that is the script's own (its messages may say "%s" for the product).
std::string ExpandProductText(const std::string& text);

// The program's own message with values put in: each "%s" of the template takes the next
// value exactly as given, and each "|" of the template becomes a line break (CR LF).
// Nothing inside a value is expanded, so a script value or a path with "%s", "%n" or "|"
// in it is shown as written. Nothing else in the template is special; a "%s" left
// without a value stays as it is.
//   ExpandMessage("\"%s\" not found!|Look in %s?", {name, folder})
std::string ExpandMessage(const std::string& messageTemplate, const std::vector<std::string>& values);

}  // namespace tolvex
