# The same toolchain for 64-bit Windows: the tests' build on a machine that cannot run
# 32-bit programs (tests/harness/wine-loader).
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TOOL_PREFIX x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-toolchain.cmake)
