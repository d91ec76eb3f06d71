#!/usr/bin/env bash
# Builds everything and runs every test: the Windows suite under Wine (its own prefix in
# build/wine, its own wineserver, stopped again however the run ends), then the text
# logic built natively with clang: its table tests, and each fuzz target briefly; and
# that the documentation names every switch and [INSTALL] key the sources read.
set -eu
cd "$(dirname "$0")/.."
bash scripts/build.sh
. tests/harness/wine-loader
build=build
if [ "$TOLVEX_BITS" = 64 ]; then
  build=build64
  echo "test: this machine cannot start 32-bit programs; the suite runs as a 64-bit build" >&2
fi
trap "tests/harness/wine-run $build/wine --down" EXIT
status=0
rm -f $build/wine/restarts.log
(cd $build && ctest -j2 --output-on-failure) || status=1
if [ -s $build/wine/restarts.log ]; then
  echo "test: Wine did not start these test programs at the first try (the second start is the one that counted):"
  cat $build/wine/restarts.log
fi
if [ "$TOLVEX_BITS" = 64 ]; then
  # What ships is still the 32-bit program: it is built, and its imports checked.
  TOLVEX_BITS=32 bash scripts/build.sh Tolvex >/dev/null
  echo "test: the imports of the 32-bit build/bin/Tolvex.exe"
  tests/harness/check-imports build/bin/Tolvex.exe || status=1
fi
bash scripts/build-native.sh
(cd build-native && ctest -j2 --output-on-failure) || status=1
bash scripts/check-docs.sh || status=1
exit $status
