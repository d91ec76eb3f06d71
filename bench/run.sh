#!/usr/bin/env bash
# The copy and uninstall benchmark: under one Wine prefix (build/bench), interleaved and
# repeated, it times
#   a bare CopyFileA loop over the payload, a fresh /script install (mode V), a reinstall
#   that copies nothing (mode V), the same in mode $, a bare DeleteFileA loop, /Uninstall,
#   a bare CopyFileA loop over 2,000 existing files and an install that replaces them
#   (mode O), recording each for the uninstall, with two floors of any replace that keeps
#   the old file (a copy to a name of its own and two renames, or ReplaceFileA),
#   the same 2,000 files as one folder-tree item, as 2,000 lines of one file each and as
#   20,000 such lines (ten folders)
# and prints each median as a ratio to its bare loop. A benchmark prints figures; it
# never fails a build.
#
#   bash bench/run.sh [RUNS [MEASURE...]]     (default 5 runs, every measure)
#
# Where the kernel cannot start Wine's 32-bit loader (tests/harness/wine-loader) the
# 64-bit build in build64/ is measured instead, with its own prefix in build64/bench.
set -eu
cd "$(dirname "$0")/.."
runs=${1:-5}
shift || true
only=" ${*:-bare_copy install noop_v noop_any bare_delete uninstall bare_replace bare_renames bare_replacefile replace tree_2k lines_2k lines_20k} "
wanted() { [[ "$only" == *" $1 "* ]]; }
wanted_any() { local m; for m; do wanted "$m" && return 0; done; return 1; }
# The hold program below is started with plain "wine", which must be the loader that the
# harness uses.
. tests/harness/wine-loader
build=build
[ "$TOLVEX_BITS" = 64 ] && build=build64
bash scripts/build.sh Tolvex bench_bare >/dev/null
bash bench/make-payload.sh $build/bench/payload
h=$build/bench/wine
run() { tests/harness/wine-run "$h" "$@"; }
holder=
trap '[ -n "$holder" ] && kill "$holder" 2>/dev/null; tests/harness/wine-run "$h" --down' EXIT
run --up
eval "$(tests/harness/wine-run "$h" --env)"
c="$WINEPREFIX/drive_c"
if [ ! -f "$c/BenchCD/payload/.complete" ]; then
  rm -rf "$c/BenchCD"
  mkdir -p "$c/BenchCD"
  cp -r $build/bench/payload "$c/BenchCD/payload"
fi
cp $build/bin/Tolvex.exe "$c/BenchCD/Tolvex.exe"
cp $build/bin/Tolvex.exe "$c/BenchCD/TolvexAny.exe"
cp $build/bin/Tolvex.exe "$c/BenchCD/TolvexRepl.exe"
cp $build/bin/bench_bare.exe "$c/BenchCD/bench_bare.exe"
# The replace measures' 2,000 files: 20 of the payload's small folders, and the older
# copies they replace (kept aside, with an older time, to lay down before each timed run).
repl_folders=$(seq -f 'd%02g' 0 19)
rm -rf "$c/BenchCD/repl" "$c/BenchOld"
mkdir -p "$c/BenchCD/repl" "$c/BenchOld"
for d in $repl_folders; do cp -r $build/bench/payload/small/$d "$c/BenchCD/repl/$d"; done
cp -r "$c/BenchCD/repl" "$c/BenchOld/repl"
find "$c/BenchOld/repl" -type f -exec touch -d '2001-01-01 12:00' {} +
# Windows' desktop is always there; Wine's comes and goes with the windows on it, and
# would charge every GUI start-up for it (see bench/BareCopy.cpp).
wine 'C:\BenchCD\bench_bare.exe' hold >/dev/null 2>&1 &
holder=$!
mkdir -p "$c/BenchApp"
cp $build/bin/bench_bare.exe "$c/BenchApp/app.exe"
run reg add 'HKCR\.tvxbench' /ve /d TolvexBench.File /f >/dev/null
run reg add 'HKCR\TolvexBench.File\shell\open\command' /ve /d '"C:\BenchApp\app.exe" "%1"' /f >/dev/null
script() {
  printf '[INSTALL]\r\nproductname=Tolvex Bench\r\nSrchDir=Disk2\r\nExeAssoc=.tvxbench\r\nDefaultGroup=Bench\r\n'
  printf 'IdFile=disk2.id\r\nUnInstall=1\r\nCopyVideos=0\r\n[FILES]\r\n1=<setupdir>\\%s\\, <exedir>\\%s\\, %s\r\n' "$2" "$2" "$1"
}
script VU payload >"$c/BenchCD/Tolvex.ini"
script '$U' payload >"$c/BenchCD/TolvexAny.ini"
script OU repl >"$c/BenchCD/TolvexRepl.ini"
# The per-line measures: the replace measures' 2,000 files as one folder-tree item, as
# 2,000 lines of one file each, and as 20,000 such lines (the same files into ten folders).
script VU repl | sed 's/repl\\, <exedir>\\repl/repl\\, <exedir>\\tree/' >"$c/BenchCD/TolvexTree.ini"
lines() {  # copies
  local k d f n=1
  script VU repl | sed '$d'
  for k in $(seq 0 $(($1 - 1))); do
    for d in $repl_folders; do
      for f in $(seq -w 0 99); do
        printf '%d=<setupdir>\\repl\\%s\\f%s.txt, <exedir>\\lines\\k%d\\%s\\f%s.txt, VU\r\n' $n "$d" "$f" "$k" "$d" "$f"
        n=$((n + 1))
      done
    done
  done
}
lines 1 >"$c/BenchCD/TolvexL2k.ini"
lines 10 >"$c/BenchCD/TolvexL20k.ini"
for v in Tree L2k L20k; do cp $build/bin/Tolvex.exe "$c/BenchCD/Tolvex$v.exe"; done

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
# The state both replace measures start from: the older copies in place, and no set-aside
# files or uninstall lists from the round before. Flushed, so neither timed run pays for
# writing back the other's preparation.
replace_start() {
  rm -rf "$c/BenchApp/repl" "$c/BenchApp"/HelpUninstList*.ini
  cp -a "$c/BenchOld/repl" "$c/BenchApp/repl"
  sync -f "$c/BenchApp/repl"
}
for r in $(seq "$runs"); do
  echo "bench: run $r of $runs" >&2
  # Each of these runs even when not timed, for the state the next one starts from; with
  # none of them asked for, the minutes they take are saved.
  if wanted_any bare_copy install noop_v noop_any bare_delete uninstall; then
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
    # An uninstall that declined a list (one changed since it was written, say) ends
    # quickly and would flatter the figure.
    n=$(find "$c/BenchApp/payload" -type f 2>/dev/null | wc -l)
    [ "$n" = 0 ] || echo "bench: uninstall left $n files" >&2
  fi
  if wanted bare_replace; then
    replace_start
    timed bare_replace run 'C:\BenchCD\bench_bare.exe' copy 'C:\BenchCD\repl' 'C:\BenchApp\repl'
  fi
  if wanted bare_renames; then
    replace_start
    timed bare_renames run 'C:\BenchCD\bench_bare.exe' renames 'C:\BenchCD\repl' 'C:\BenchApp\repl'
  fi
  if wanted bare_replacefile; then
    replace_start
    timed bare_replacefile run 'C:\BenchCD\bench_bare.exe' replacefile 'C:\BenchCD\repl' 'C:\BenchApp\repl'
  fi
  if wanted replace; then
    replace_start
    timed replace run 'C:\BenchCD\TolvexRepl.exe' /script . /skipfinish /answers=
    # A replace that set nothing aside measured something else.
    n=$(find "$c/BenchApp/repl" -type f -name '*.~tvx[0-9]*' | wc -l)
    [ "$n" = 2000 ] || echo "bench: replace set $n files aside, not 2000" >&2
  fi
  for m in tree_2k:Tree lines_2k:L2k lines_20k:L20k; do
    wanted "${m%%:*}" || continue
    rm -rf "$c/BenchApp/tree" "$c/BenchApp/lines" "$c/BenchApp"/HelpUninstList*.ini
    timed "${m%%:*}" run "C:\\BenchCD\\Tolvex${m#*:}.exe" /script . /skipfinish /answers=
  done
done
clean
rm -rf "$c/BenchApp/repl" "$c/BenchApp/tree" "$c/BenchApp/lines"

median() { tr ' ' '\n' <<<"$1" | sed '/^$/d' | sort -n | awk '{a[NR]=$1} END {print (NR%2 ? a[(NR+1)/2] : (a[NR/2]+a[NR/2+1])/2)}'; }
echo
bits="32-bit build (build/bin)"
[ "$TOLVEX_BITS" = 64 ] && bits="64-bit build (build64/bin; this machine cannot run 32-bit programs)"
echo "$bits; payload: $(find $build/bench/payload -type f ! -name .complete | wc -l) files, $(du -sm $build/bench/payload | cut -f1) MB; replace: $(find "$c/BenchOld/repl" -type f | wc -l) files; $runs runs, interleaved; medians in ms"
row() {  # name baseline target
  local m b
  [ -n "${times[$1]:-}" ] && [ -n "${times[$2]:-}" ] || return 0
  m=$(median "${times[$1]}")
  b=$(median "${times[$2]}")
  printf '%-12s %8s ms   %5.2f x %-11s (target <= %s x)   runs: %s\n' "$1" "$m" "$(awk "BEGIN {print $m / $b}")" "$2" "$3" "${times[$1]}"
}
for b in bare_copy bare_delete bare_replace tree_2k; do
  [ -n "${times[$b]:-}" ] && printf '%-12s %8s ms   runs: %s\n' "$b" "$(median "${times[$b]}")" "${times[$b]}"
done
row install bare_copy 1.10
row noop_v bare_copy 0.20
row noop_any bare_copy 0.70
row uninstall bare_delete 1.20
row replace bare_replace 1.25
row lines_2k tree_2k 2
if [ -n "${times[lines_2k]:-}" ] && [ -n "${times[lines_20k]:-}" ]; then
  m=$(median "${times[lines_20k]}")
  b=$(median "${times[lines_2k]}")
  printf '%-12s %8s ms   %5.2f x per line of lines_2k (target <= 1.3 x)   runs: %s\n' lines_20k "$m" \
    "$(awk "BEGIN {print ($m / 20000) / ($b / 2000)}")" "${times[lines_20k]}"
fi
row bare_renames bare_replace -
row bare_replacefile bare_replace -
