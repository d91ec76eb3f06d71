#!/usr/bin/env bash
# Makes the benchmark's payload in DIR (once; a marker file says it is complete):
# 10,000 small files in 100 folders, 20 files of 10 to 29 MB, and 200 DLLs with version
# resources, about 430 MB in all.
set -eu
dir=${1:?payload folder}
[ -f "$dir/.complete" ] && exit 0
rm -rf "$dir"
mkdir -p "$dir/small" "$dir/big" "$dir/dlls"
cd "$(dirname "$0")/.."
root=$PWD
echo "bench: making the payload in $dir" >&2
for d in $(seq -w 0 99); do
  mkdir -p "$dir/small/d$d"
  # One random block cut into a folder's hundred files of 1 to 8 KB.
  head -c $((100 * 8192)) /dev/urandom >"$dir/small/block"
  for f in $(seq -w 0 99); do
    size=$(( (10#$d * 37 + 10#$f * 53) % 8 * 1024 + 1024 ))
    tail -c "$size" "$dir/small/block" >"$dir/small/d$d/f$f.txt"
  done
done
rm "$dir/small/block"
for i in $(seq 0 19); do
  head -c $(( (10 + i) * 1024 * 1024 )) /dev/urandom >"$dir/big/b$(printf %02d "$i").bin"
done
tmp=$(mktemp -d)
i686-w64-mingw32-gcc-win32 -c "$root/tests/fixtures/empty.c" -o "$tmp/empty.o"
for i in $(seq 0 199); do
  sed -e "s/@V_MAJOR@/1/g; s/@V_MINOR@/0/g; s/@V_RELEASE@/$i/g; s/@V_BUILD@/7/g" \
    "$root/tests/fixtures/version.rc.in" >"$tmp/v.rc"
  i686-w64-mingw32-windres "$tmp/v.rc" -o "$tmp/v.o"
  i686-w64-mingw32-gcc-win32 -shared -o "$dir/dlls/lib$(printf %03d "$i").dll" "$tmp/empty.o" "$tmp/v.o"
done
rm -rf "$tmp"
touch "$dir/.complete"
