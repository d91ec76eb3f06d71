#!/usr/bin/env bash
# Configures and builds Tolvex.exe and its tests into build/ (2 cores).
set -eu
cd "$(dirname "$0")/.."
bash scripts/deps.sh
. tests/harness/wine-loader
# Where the machine cannot run 32-bit programs the same sources build for 64-bit Windows
# into build64/, for the tests only (see tests/harness/wine-loader).
build=build toolchain=cmake/mingw32.cmake
[ "$TOLVEX_BITS" = 64 ] && build=build64 toolchain=cmake/mingw64.cmake
mkdir -p $build
# Two builds into one tree at once (the demo's and the tests', say) would tread on each
# other's files: the second waits for the first.
exec 9>$build/.build-lock
flock 9
if [ ! -f $build/build.ninja ]; then
  cmake -S . -B $build -G Ninja -DCMAKE_TOOLCHAIN_FILE=$toolchain -DCMAKE_BUILD_TYPE=Release >/dev/null
fi
ninja -C $build -j2 "$@"
