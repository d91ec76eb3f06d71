#include "UFolderListing.h"

#include "UWinHandle.h"

namespace tolvex {

static std::string FoldCase(std::string name) {
  if (!name.empty()) CharLowerBuffA(&name[0], static_cast<DWORD>(name.size()));
  return name;
}

FolderListing::FolderListing(const std::string& folder) {
  WIN32_FIND_DATAA fd;
  ScopedFindHandle f(FindFirstFileA((folder + "\\*").c_str(), &fd));
  exists_ = f.IsValid();
  if (f) do {
      std::string name = FoldCase(fd.cFileName);
      entries_[name] = fd;
      // The system also finds a file by its short name.
      if (fd.cAlternateFileName[0]) shortNames_.emplace(FoldCase(fd.cAlternateFileName), name);
    } while (FindNextFileA(f.Get(), &fd));
}

const WIN32_FIND_DATAA* FolderListing::Find(const std::string& name) const {
  std::string key = FoldCase(name);
  auto at = entries_.find(key);
  if (at == entries_.end()) {
    auto alias = shortNames_.find(key);
    if (alias == shortNames_.end()) return nullptr;
    at = entries_.find(alias->second);
  }
  return at != entries_.end() ? &at->second : nullptr;
}

void FolderListing::Forget(const std::string& name) { entries_.erase(FoldCase(name)); }

}  // namespace tolvex
