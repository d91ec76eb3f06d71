#!/usr/bin/env bash
# Shows each dialog of the program under Xvfb in a Wine virtual desktop and writes one PNG
# per dialog to build/screenshots/<name>.png (build64/ where the kernel cannot start 32-bit
# programs: see tests/harness/wine-loader). Not a test: run it by hand after
# changing a form, and look at the pictures.
#
#   bash scripts/screenshots.sh [name...]     (all dialogs when no name is given)
#
# The dialogs come from build/bin/tolvex_shots.exe (tests/shots/Shots.cpp); a new dialog
# is one row in its table. Needs root on Debian 12 the first time, to install Xvfb, xwd
# and netpbm. Uses its own Wine prefix in build/shots (never ~/.wine, nor the tests'
# prefix) and stops the X server and the wineserver it started, however it ends.
set -eu
cd "$(dirname "$0")/.."
root=$(pwd)
. tests/harness/wine-loader
build=build
[ "$TOLVEX_BITS" = 64 ] && build=build64
out="$root/$build/screenshots"
work="$root/$build/shots"
width=800 height=600

need=()
command -v Xvfb >/dev/null || need+=(xvfb)
command -v xwd >/dev/null || need+=(x11-apps)
command -v pnmtopng >/dev/null || need+=(netpbm)
if [ ${#need[@]} -gt 0 ]; then
  echo "screenshots: installing ${need[*]}" >&2
  apt-get update -qq && apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
fi

bash scripts/build.sh tolvex_shots >/dev/null
shots="$root/$build/bin/tolvex_shots.exe"
mkdir -p "$out" "$work/home" "$work/tmp"

export WINEPREFIX="$work/pfx" HOME="$work/home" TMPDIR="$work/tmp" WINEARCH=win64 WINEDEBUG=-all
export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=d;mshtml=d"

# A display number nobody uses.
display=77
while [ -e "/tmp/.X$display-lock" ] || [ -e "/tmp/.X11-unix/X$display" ]; do display=$((display + 1)); done
export DISPLAY=":$display"

xvfb_pid=
# shellcheck disable=SC2317  # called by the EXIT trap
stop() {
  wineserver -k 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
  return 0
}
trap stop EXIT
Xvfb "$DISPLAY" -screen 0 "${width}x${height}x24" -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$display" ] && break; sleep 0.1; done

if [ ! -f "$WINEPREFIX/.tolvex-shots-ready" ]; then
  echo "screenshots: creating the Wine prefix in $WINEPREFIX" >&2
  wineboot -i >/dev/null 2>&1
  wineserver -w
  touch "$WINEPREFIX/.tolvex-shots-ready"
fi

# Wine draws the caption buttons' glyphs with its Marlett font, and Debian ships Wine's
# own fonts (Marlett, Tahoma, MS Sans Serif) apart, in fonts-wine. Without them the close
# box shows a letter and the dialog fonts fall back to whatever the host has. They go into
# this prefix's Fonts folder only, so the tests' prefix keeps the fonts it had.
fonts="$WINEPREFIX/drive_c/windows/Fonts"
if [ ! -f "$fonts/marlett.ttf" ]; then
  from=/usr/share/wine/fonts
  if [ ! -f "$from/marlett.ttf" ]; then
    echo "screenshots: taking Wine's fonts from the fonts-wine package" >&2
    rm -rf "$work/tmp/fonts-wine" && mkdir -p "$work/tmp/fonts-wine"
    (cd "$work/tmp/fonts-wine" && apt-get download -qq fonts-wine >/dev/null 2>&1 && dpkg-deb -x fonts-wine_*.deb .) ||
      echo "screenshots: fonts-wine not available: the close box will show a letter" >&2
    from="$work/tmp/fonts-wine/usr/share/wine/fonts"
  fi
  if [ -f "$from/marlett.ttf" ]; then
    mkdir -p "$fonts"
    cp "$from"/*.ttf "$from"/*.fon "$fonts"/
    wineserver -k 2>/dev/null || true  # the next start reads the Fonts folder afresh
  fi
fi

# name<TAB>title for every dialog the program knows.
list=$(wine "$shots" --list 2>/dev/null | tr -d '\r')
names=("$@")
[ ${#names[@]} -gt 0 ] || mapfile -t names < <(cut -f1 <<<"$list")

status=0
for name in "${names[@]}"; do
  grep -q "^$name	" <<<"$list" || { echo "screenshots: no dialog \"$name\"" >&2; status=1; continue; }
  rect="$work/tmp/$name.rect" done="$work/tmp/$name.done"
  rm -f "$rect" "$done"
  wine explorer "/desktop=shots,${width}x${height}" "$shots" "$name" "Z:$rect" "Z:$done" >/dev/null 2>&1 &
  pid=$!
  for _ in $(seq 300); do [ -s "$rect" ] && break; sleep 0.1; done
  if [ -s "$rect" ]; then
    read -r left top w h < <(tr -d '\r' <"$rect")
    # The virtual desktop fills the screen, so Windows' screen pixels are X's.
    xwd -root -silent | xwdtopnm 2>/dev/null | pnmcut -left "$left" -top "$top" -width "$w" -height "$h" |
      pnmtopng >"$out/$name.png"
    echo "screenshots: $out/$name.png"
  else
    echo "screenshots: \"$name\" did not show" >&2
    status=1
  fi
  touch "$done"
  wait "$pid" 2>/dev/null || true
done
exit $status
