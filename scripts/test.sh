#!/usr/bin/env bash
# Builds everything and runs every test: the Windows suite under Wine (its own prefix in
# build/wine, its own wineserver, stopped again however the run ends), then the text
# logic built natively with clang: its table tests, and each fuzz target briefly.
set -eu
cd "$(dirname "$0")/.."
bash scripts/build.sh
trap 'tests/harness/wine-run build/wine --down' EXIT
status=0
(cd build && ctest -j2 --output-on-failure) || status=1
bash scripts/build-native.sh
(cd build-native && ctest -j2 --output-on-failure) || status=1
exit $status
