// Search lists with conditions: one folder from a list of extensions, COM classes and
// installer components, narrowed by "+" and "-" items.
#pragma once

#include <string>

namespace tolvex {

// list items split at separator (callers use '|'); folder without trailing backslash or empty.
std::string GetProductRunDir(const std::string& list, char separator);
// "file<op>version" (op "<=", ">=", "<", ">", "=" looked for in that order) against the
// file's version, or without operator whether folder\condition exists.
bool EvalFileCondition(const std::string& folder, const std::string& condition);
// The "@" directory identifier: optional "[..]", "[...]" or "[....]" prefix (levels up),
// then ";"-separated items.
std::string GetAssocDir(const std::string& text);

}  // namespace tolvex
