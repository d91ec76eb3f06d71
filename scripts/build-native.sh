#!/usr/bin/env bash
# Configures and builds the text logic natively into build-native/ with clang, so the
# fuzz targets are libFuzzer programs. A tree configured with another compiler is
# configured again; the work corpora in build-native/fuzz stay.
set -eu
cd "$(dirname "$0")/.."
if [ ! -f build-native/build.ninja ] ||
   ! grep -qs 'CMAKE_CXX_COMPILER_ID "Clang"' build-native/CMakeFiles/*/CMakeCXXCompiler.cmake; then
  rm -rf build-native/CMakeCache.txt build-native/CMakeFiles
  cmake -S . -B build-native -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null
fi
ninja -C build-native -j2 >/dev/null
