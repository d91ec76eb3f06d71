// Registry reads and writes. Key names may begin with a backslash (an absolute path
// below the root), as the product keys are written.
#pragma once

#include <windows.h>

#include <string>

namespace tolvex {

// A string value as text (REG_EXPAND_SZ unexpanded); empty when the key or the value is
// missing or of another type. valueName empty reads the default value.
std::string ReadRegValue(HKEY root, const std::string& key, const std::string& valueName);
bool RegKeyExists(HKEY root, const std::string& key);
// Creates the key when missing. On failure the result is the system error code.
LONG WriteRegString(HKEY root, const std::string& key, const std::string& valueName,
                    const std::string& value);

}  // namespace tolvex
