// The baseline the install is measured against: the same files copied with CopyFileA, and
// deleted with DeleteFileA, with nothing decided, logged or recorded.
//
//   bench_bare copy SOURCE DESTINATION   copies the tree (folders created as met)
//   bench_bare delete FOLDER             deletes every file below FOLDER
//   bench_bare hold                      keeps a window open until it is killed
//   bench_bare renames SOURCE DESTINATION   over existing files: each copied to a name of its
//                                        own, the old file renamed aside, the copy renamed in
//   bench_bare replacefile SOURCE DESTINATION   the same with ReplaceFileA for the two renames
//
// Under Wine the desktop process starts with a program's first window and ends soon after
// the last one closes, which costs every GUI program about 0.2 s that Windows, whose
// desktop is always there, never pays. "hold" keeps the desktop up while the benchmark runs.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

static int g_failures = 0;

enum class Mode { Copy, Delete, Renames, ReplaceFile };

static bool SafeReplace(const std::string& a, const std::string& b, Mode mode) {
  std::string fresh = b + ".~new", old = b + ".~old";
  if (!CopyFileA(a.c_str(), fresh.c_str(), FALSE)) return false;
  if (mode == Mode::ReplaceFile)
    return ReplaceFileA(b.c_str(), fresh.c_str(), old.c_str(), REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr);
  return MoveFileA(b.c_str(), old.c_str()) && MoveFileA(fresh.c_str(), b.c_str());
}

static void Walk(const std::string& from, const std::string& to, Mode mode) {
  bool copy = mode != Mode::Delete;
  if (copy) CreateDirectoryA(to.c_str(), nullptr);
  WIN32_FIND_DATAA fd;
  HANDLE f = FindFirstFileA((from + "\\*").c_str(), &fd);
  if (f == INVALID_HANDLE_VALUE) return;
  do {
    if (!std::strcmp(fd.cFileName, ".") || !std::strcmp(fd.cFileName, "..")) continue;
    std::string a = from + "\\" + fd.cFileName, b = to + "\\" + fd.cFileName;
    bool ok = true;
    if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) Walk(a, b, mode);
    else if (mode == Mode::Copy) ok = CopyFileA(a.c_str(), b.c_str(), FALSE);
    else if (mode == Mode::Delete) ok = DeleteFileA(a.c_str());
    else ok = SafeReplace(a, b, mode);
    if (!ok) ++g_failures;
  } while (FindNextFileA(f, &fd));
  FindClose(f);
}

static int Hold() {
  HWND w = CreateWindowExA(0, "STATIC", "bench_bare hold", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
  if (!w) return 1;
  MSG m;
  while (GetMessageA(&m, nullptr, 0, 0) > 0) DispatchMessageA(&m);
  return 0;
}

int main(int argc, char** argv) {
  if (argc == 2 && !std::strcmp(argv[1], "hold")) return Hold();
  if (argc == 4 && !std::strcmp(argv[1], "copy")) Walk(argv[2], argv[3], Mode::Copy);
  else if (argc == 4 && !std::strcmp(argv[1], "renames")) Walk(argv[2], argv[3], Mode::Renames);
  else if (argc == 4 && !std::strcmp(argv[1], "replacefile")) Walk(argv[2], argv[3], Mode::ReplaceFile);
  else if (argc == 3 && !std::strcmp(argv[1], "delete")) Walk(argv[2], argv[2], Mode::Delete);
  else return 2;
  if (g_failures) std::fprintf(stderr, "%d file(s) failed\n", g_failures);
  return g_failures ? 1 : 0;
}
