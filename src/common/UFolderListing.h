// A folder listed once, so that looking at many of its files costs no file-system call
// each (under Wine every call is a round trip to its server).
#pragma once

#include <windows.h>

#include <string>
#include <unordered_map>

namespace tolvex {

class FolderListing {
 public:
  // folder without a trailing backslash.
  explicit FolderListing(const std::string& folder);
  bool Exists() const { return exists_; }
  void MarkMade() { exists_ = true; }
  // The entry (file or folder) of that name, long or short, letter case aside; null when
  // there is none.
  const WIN32_FIND_DATAA* Find(const std::string& name) const;
  // A name removed since the listing, such as a temporary file renamed into place.
  void Forget(const std::string& name);

 private:
  bool exists_ = false;
  std::unordered_map<std::string, WIN32_FIND_DATAA> entries_;
  std::unordered_map<std::string, std::string> shortNames_;
};

}  // namespace tolvex
