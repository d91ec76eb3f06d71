#!/usr/bin/env bash
# Installs what building and testing need on Debian 12, and nothing when it is all there.
set -eu
need=()
command -v cmake >/dev/null || need+=(cmake)
command -v ninja >/dev/null || need+=(ninja-build)
command -v i686-w64-mingw32-g++-win32 >/dev/null || need+=(g++-mingw-w64-i686)
command -v g++ >/dev/null || need+=(g++)
command -v clang++ >/dev/null || need+=(clang)
ls /usr/lib/llvm-*/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a >/dev/null 2>&1 || need+=(libclang-rt-14-dev)
command -v wine >/dev/null || need+=(wine)
[ -x /usr/lib/wine/wine64 ] || need+=(wine64)
dpkg -s wine32:i386 >/dev/null 2>&1 || need+=(wine32:i386)
[ -f /usr/src/googletest/CMakeLists.txt ] || need+=(googletest)
command -v Xvfb >/dev/null || need+=(xvfb)
command -v flock >/dev/null || need+=(util-linux)
command -v file >/dev/null || need+=(file)
# The source of the ja_JP.UTF-8 locale, which the test harness generates (tests/harness/wine-run).
[ -f /usr/share/i18n/locales/ja_JP ] || need+=(locales)
if [ ${#need[@]} -gt 0 ]; then
  echo "Installing: ${need[*]}"
  dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
fi
# A kernel without 32-bit emulation runs the tests as a 64-bit build (tests/harness/wine-loader).
if ! /usr/lib/wine/wine --version >/dev/null 2>&1 && ! command -v x86_64-w64-mingw32-g++-win32 >/dev/null; then
  echo "Installing: g++-mingw-w64-x86-64-win32"
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends g++-mingw-w64-x86-64-win32 >/dev/null
fi
