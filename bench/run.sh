#!/usr/bin/env bash
# The copy and uninstall benchmark: under one Wine prefix (build/bench), interleaved and
# repeated, it times
#   a bare CopyFileA loop over the payload, a fresh /script install (mode V), a reinstall
#   that copies nothing (mode V), the same in mode $, a bare DeleteFileA loop, /Uninstall
# and prints each median as a ratio to its bare loop. A benchmark prints figures; it
# never fails a build.
#
#   bash bench/run.sh [RUNS [MEASURE...]]     (default 5 runs, every measure)
set -eu
cd "$(dirname "$0")/.."
runs=${1:-5}
shift || true
only=" ${*:-bare_copy install noop_v noop_any bare_delete uninstall} "
wanted() { [[ "$only" == *" $1 "* ]]; }
bash scripts/build.sh Tolvex bench_bare >/dev/null
bash bench/make-payload.sh build/bench/payload
h=build/bench/wine
run() { tests/harness/wine-run "$h" "$@"; }
holder=
trap '[ -n "$holder" ] && kill "$holder" 2>/dev/null; tests/harness/wine-run "$h" --down' EXIT
run --up
eval "$(tests/harness/wine-run "$h" --env)"
c="$WINEPREFIX/drive_c"
if [ ! -f "$c/BenchCD/payload/.complete" ]; then
  rm -rf "$c/BenchCD"
  mkdir -p "$c/BenchCD"
  cp -r build/bench/payload "$c/BenchCD/payload"
fi
cp build/bin/Tolvex.exe "$c/BenchCD/Tolvex.exe"
cp build/bin/Tolvex.exe "$c/BenchCD/TolvexAny.exe"
cp build/bin/bench_bare.exe "$c/BenchCD/bench_bare.exe"
# Windows' desktop is always there; Wine's comes and goes with the windows on it, and
# would charge every GUI start-up for it (see bench/BareCopy.cpp).
wine 'C:\BenchCD\bench_bare.exe' hold >/dev/null 2>&1 &
holder=$!
mkdir -p "$c/BenchApp"
cp build/bin/bench_bare.exe "$c/BenchApp/app.exe"
run reg add 'HKCR\.tvxbench' /ve /d TolvexBench.File /f >/dev/null
run reg add 'HKCR\TolvexBench.File\shell\open\command' /ve /d '"C:\BenchApp\app.exe" "%1"' /f >/dev/null
script() {
  printf '[INSTALL]\r\nproductname=Tolvex Bench\r\nSrchDir=Disk2\r\nExeAssoc=.tvxbench\r\nDefaultGroup=Bench\r\n'
  printf 'IdFile=disk2.id\r\nUnInstall=1\r\nCopyVideos=0\r\n[FILES]\r\n1=<setupdir>\\payload\\, <exedir>\\payload\\, %s\r\n' "$1"
}
script VU >"$c/BenchCD/Tolvex.ini"
script '$U' >"$c/BenchCD/TolvexAny.ini"

now() { date +%s%N; }
declare -A times
timed() {  # name command...
  local t0 t1
  wanted "$1" || { "${@:2}" >/dev/null 2>&1 || true; return; }
  t0=$(now)
  "${@:2}" >/dev/null 2>&1 || echo "bench: $1 ended with $?" >&2
  t1=$(now)
  times[$1]+="$(( (t1 - t0) / 1000000 )) "
}
clean() {
  rm -rf "$c/BenchApp/payload" "$c/BenchApp"/HelpUninstList*.ini
}
install() { run 'C:\BenchCD\Tolvex.exe' /script . /skipfinish /answers=; }
for r in $(seq "$runs"); do
  echo "bench: run $r of $runs" >&2
  clean
  timed bare_copy run 'C:\BenchCD\bench_bare.exe' copy 'C:\BenchCD\payload' 'C:\BenchApp\payload'
  clean
  timed install install
  timed noop_v install
  timed noop_any run 'C:\BenchCD\TolvexAny.exe' /script . /skipfinish /answers=
  timed bare_delete run 'C:\BenchCD\bench_bare.exe' delete 'C:\BenchApp\payload'
  clean
  install >/dev/null 2>&1
  timed uninstall run 'C:\BenchCD\Tolvex.exe' /Uninstall 'C:\BenchApp' /answers=
done
clean

median() { tr ' ' '\n' <<<"$1" | sed '/^$/d' | sort -n | awk '{a[NR]=$1} END {print (NR%2 ? a[(NR+1)/2] : (a[NR/2]+a[NR/2+1])/2)}'; }
echo
echo "payload: $(find build/bench/payload -type f ! -name .complete | wc -l) files, $(du -sm build/bench/payload | cut -f1) MB; $runs runs, interleaved; medians in ms"
row() {  # name baseline target
  local m b
  [ -n "${times[$1]:-}" ] && [ -n "${times[$2]:-}" ] || return 0
  m=$(median "${times[$1]}")
  b=$(median "${times[$2]}")
  printf '%-12s %8s ms   %5.2f x %-11s (target <= %s x)   runs: %s\n' "$1" "$m" "$(awk "BEGIN {print $m / $b}")" "$2" "$3" "${times[$1]}"
}
for b in bare_copy bare_delete; do
  [ -n "${times[$b]:-}" ] && printf '%-12s %8s ms   runs: %s\n' "$b" "$(median "${times[$b]}")" "${times[$b]}"
done
row install bare_copy 1.10
row noop_v bare_copy 0.20
row noop_any bare_copy 0.70
row uninstall bare_delete 1.20
