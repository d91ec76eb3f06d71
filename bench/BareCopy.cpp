// The baseline the install is measured against: the same files copied with CopyFileA, and
// deleted with DeleteFileA, with nothing decided, logged or recorded.
//
//   bench_bare copy SOURCE DESTINATION   copies the tree (folders created as met)
//   bench_bare delete FOLDER             deletes every file below FOLDER
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

static int g_failures = 0;

static void Walk(const std::string& from, const std::string& to, bool copy) {
  if (copy) CreateDirectoryA(to.c_str(), nullptr);
  WIN32_FIND_DATAA fd;
  HANDLE f = FindFirstFileA((from + "\\*").c_str(), &fd);
  if (f == INVALID_HANDLE_VALUE) return;
  do {
    if (!std::strcmp(fd.cFileName, ".") || !std::strcmp(fd.cFileName, "..")) continue;
    std::string a = from + "\\" + fd.cFileName, b = to + "\\" + fd.cFileName;
    if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) Walk(a, b, copy);
    else if (copy ? !CopyFileA(a.c_str(), b.c_str(), FALSE) : !DeleteFileA(a.c_str())) ++g_failures;
  } while (FindNextFileA(f, &fd));
  FindClose(f);
}

int main(int argc, char** argv) {
  if (argc == 4 && !std::strcmp(argv[1], "copy")) Walk(argv[2], argv[3], true);
  else if (argc == 3 && !std::strcmp(argv[1], "delete")) Walk(argv[2], argv[2], false);
  else return 2;
  if (g_failures) std::fprintf(stderr, "%d file(s) failed\n", g_failures);
  return g_failures ? 1 : 0;
}
