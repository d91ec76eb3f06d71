#!/usr/bin/env bash
# Builds Tolvex.exe and runs it on the sample product CD in a scratch Wine prefix
# (build/demo), unattended through an answers file, then shows what it did.
set -eu
cd "$(dirname "$0")/.."
bash scripts/build.sh Tolvex
h=build/demo
run() { tests/harness/wine-run "$h" "$@"; }
trap 'tests/harness/wine-run "$h" --down' EXIT
run --up
eval "$(tests/harness/wine-run "$h" --env)"
c="$WINEPREFIX/drive_c"
rm -rf "$c/DemoCD" "$c/DemoOut"
mkdir -p "$c/DemoCD" "$c/DemoOut"
cp -r demo/cd/. "$c/DemoCD/"
cp build/bin/Tolvex.exe "$c/DemoCD/"

show() { echo; echo "== $*"; }
transcript() { show "transcript ($1)"; tr -d '\r' <"$c/DemoOut/$1"; }

show "1. No arguments: the version banner, answered by the answers file"
run 'C:\DemoCD\Tolvex.exe' '/answers=C:\DemoCD\answers.txt' '/transcript=C:\DemoOut\banner.txt'
transcript banner.txt

show "2. /test: the .aaatest association and the program copy"
run 'C:\DemoCD\Tolvex.exe' /test '/answers=C:\DemoCD\answers.txt' '/transcript=C:\DemoOut\test.txt'
run reg query 'HKCR\.aaatest' 2>/dev/null | tr -d '\r' | sed '/^$/d'
run reg query 'HKCR\aaatest.aaatest\shell\open\command' 2>/dev/null | tr -d '\r' | sed '/^$/d'
ls -l "$c/DemoCD/_Test"
transcript test.txt

show "3. A debug run (marker file debug.debug beside the program)"
touch "$c/DemoCD/debug.debug"
run 'C:\DemoCD\Tolvex.exe' /script . '/answers=C:\DemoCD\answers.txt' '/transcript=C:\DemoOut\debug.txt'
rm -f "$c/DemoCD/debug.debug"
show "HHDebug.txt"
tr -d '\r' <"$c/DemoCD/HHDebug.txt"
transcript debug.txt
