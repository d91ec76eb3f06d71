# Cross toolchain: 32-bit Windows programs from the mingw-w64 compiler, win32 thread
# model. The program is single-threaded; this model links no thread runtime, so nothing
# imports kernel32 functions the 9x family lacks. (Test helpers use CreateThread.)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(TOOL_PREFIX i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-toolchain.cmake)
