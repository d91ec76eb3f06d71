// Class and component codes as the registry writes them: "{XXXXXXXX-XXXX-XXXX-XXXX-
// XXXXXXXXXXXX}". Pure text: the fields are plain numbers, which the Windows side copies
// into its GUID (UAppRegInfo).
#pragma once

#include <cstdint>
#include <string>

namespace tolvex {

struct GuidFields {
  uint32_t data1 = 0;
  uint16_t data2 = 0, data3 = 0;
  uint8_t data4[8] = {};
};

// False, with g untouched, when text is not a code in that form, braces included; the
// letter case of the digits is free.
bool ParseGuidText(const std::string& text, GuidFields& g);
// The form above in upper case, as HKEY_CLASSES_ROOT\CLSID names its keys.
std::string GuidFieldsText(const GuidFields& g);

}  // namespace tolvex
