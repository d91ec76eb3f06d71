#include "URegistry.h"

#include <vector>

#include "UWinHandle.h"

namespace tolvex {

static std::string KeyPath(const std::string& key) {
  size_t b = 0;
  while (b < key.size() && key[b] == '\\') ++b;
  return key.substr(b);
}

std::string ReadRegValue(HKEY root, const std::string& key, const std::string& valueName) {
  ScopedRegKey k;
  if (RegOpenKeyExA(root, KeyPath(key).c_str(), 0, KEY_READ, k.Receive()) != ERROR_SUCCESS) return {};
  DWORD type = 0, size = 0;
  const char* name = valueName.empty() ? nullptr : valueName.c_str();
  if (RegQueryValueExA(k.Get(), name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return {};
  if (type != REG_SZ && type != REG_EXPAND_SZ) return {};
  std::vector<char> buf(size + 2, '\0');
  DWORD got = size;
  if (RegQueryValueExA(k.Get(), name, nullptr, &type, reinterpret_cast<BYTE*>(buf.data()), &got) !=
      ERROR_SUCCESS)
    return {};
  return std::string(buf.data());  // stops at the terminator the value may or may not carry
}

bool RegKeyExists(HKEY root, const std::string& key) {
  ScopedRegKey k;
  return RegOpenKeyExA(root, KeyPath(key).c_str(), 0, KEY_READ, k.Receive()) == ERROR_SUCCESS;
}

static LONG SetValue(HKEY root, const std::string& key, const std::string& valueName, DWORD type,
                     const BYTE* data, DWORD size) {
  ScopedRegKey k;
  LONG rc = RegCreateKeyExA(root, KeyPath(key).c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                            k.Receive(), nullptr);
  if (rc != ERROR_SUCCESS) return rc;
  return RegSetValueExA(k.Get(), valueName.empty() ? nullptr : valueName.c_str(), 0, type, data, size);
}

LONG WriteRegString(HKEY root, const std::string& key, const std::string& valueName,
                    const std::string& value) {
  return SetValue(root, key, valueName, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                  static_cast<DWORD>(value.size() + 1));
}

LONG WriteRegDword(HKEY root, const std::string& key, const std::string& valueName, DWORD value) {
  return SetValue(root, key, valueName, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
}

bool ReadRegDword(HKEY root, const std::string& key, const std::string& valueName, DWORD& value) {
  ScopedRegKey k;
  if (RegOpenKeyExA(root, KeyPath(key).c_str(), 0, KEY_READ, k.Receive()) != ERROR_SUCCESS) return false;
  DWORD type = 0, data = 0, size = sizeof data;
  if (RegQueryValueExA(k.Get(), valueName.empty() ? nullptr : valueName.c_str(), nullptr, &type,
                       reinterpret_cast<BYTE*>(&data), &size) != ERROR_SUCCESS ||
      type != REG_DWORD || size != sizeof data)
    return false;
  value = data;
  return true;
}

LONG CreateRegKey(HKEY root, const std::string& key) {
  ScopedRegKey k;
  return RegCreateKeyExA(root, KeyPath(key).c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, k.Receive(), nullptr);
}

LONG DeleteRegValue(HKEY root, const std::string& key, const std::string& valueName) {
  ScopedRegKey k;
  LONG rc = RegOpenKeyExA(root, KeyPath(key).c_str(), 0, KEY_SET_VALUE, k.Receive());
  if (rc == ERROR_FILE_NOT_FOUND) return ERROR_SUCCESS;
  if (rc != ERROR_SUCCESS) return rc;
  rc = RegDeleteValueA(k.Get(), valueName.c_str());
  return rc == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : rc;
}

LONG DeleteRegKey(HKEY root, const std::string& key) {
  LONG rc = RegDeleteKeyA(root, KeyPath(key).c_str());
  return rc == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : rc;
}

}  // namespace tolvex
