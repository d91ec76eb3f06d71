#!/usr/bin/env bash
# Configures and builds Tolvex.exe and its tests into build/ (2 cores).
set -eu
cd "$(dirname "$0")/.."
bash scripts/deps.sh
if [ ! -f build/build.ninja ]; then
  cmake -S . -B build -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw32.cmake -DCMAKE_BUILD_TYPE=Release >/dev/null
fi
ninja -C build -j2 "$@"
