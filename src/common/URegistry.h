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
LONG WriteRegDword(HKEY root, const std::string& key, const std::string& valueName, DWORD value);
// False when the key or the value is missing or not a REG_DWORD.
bool ReadRegDword(HKEY root, const std::string& key, const std::string& valueName, DWORD& value);
// Opens the key for writing, creating it when missing; the system error code on failure.
LONG CreateRegKey(HKEY root, const std::string& key);
// Both succeed when there is nothing left to delete.
LONG DeleteRegValue(HKEY root, const std::string& key, const std::string& valueName);
LONG DeleteRegKey(HKEY root, const std::string& key);  // a key without sub-keys

}  // namespace tolvex
