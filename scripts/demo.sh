#!/usr/bin/env bash
# Builds Tolvex.exe and runs it on the sample product CD in a scratch Wine prefix
# (build/demo), unattended through answers files, then shows what it did: the CD
# installed into a sample application (files, optional components, help videos,
# shortcuts, run items, the finish dialog), then uninstalled through its Add/Remove
# Programs entry; a choice between two installations; the second disk; the script checker.
# Where the kernel cannot start Wine's 32-bit loader (tests/harness/wine-loader) it runs
# the 64-bit build instead (build64/bin, prefix in build64/demo).
#
# Each step says beforehand which boxes and forms it will show; the demo holds every
# transcript to that, and ends with where each log is and a table of the exit codes. It
# exits 1 when a box came that no step announced (or an announced one did not), or a run
# ended with another exit code than its step meant it to.
set -eu
cd "$(dirname "$0")/.."
. tests/harness/wine-loader
build=build
[ "$TOLVEX_BITS" = 64 ] && build=build64
bash scripts/build.sh Tolvex tolvex_helper register_ok
h=$build/demo
run() { tests/harness/wine-run "$h" "$@"; }
trap 'tests/harness/wine-run "$h" --down' EXIT
if [ "$TOLVEX_BITS" = 64 ]; then
  echo "demo: the 64-bit build (build64/bin, Wine prefix build64/demo): this machine cannot run 32-bit programs"
else
  echo "demo: the 32-bit build (build/bin, Wine prefix build/demo)"
fi
run --up
eval "$(tests/harness/wine-run "$h" --env)"
c="$WINEPREFIX/drive_c"
# A path on the prefix's drive C:, as Linux sees it.
unix_path() { local p=${1#[Cc]:\\}; echo "$c/${p//\\//}"; }
# A folder of the prefix's shell (where the all-users ones are depends on the Wine version),
# or the given default when the registry does not name it.
shell_folder() {
  local v
  v=$(run reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders' /v "$1" 2>/dev/null |
    tr -d '\r' | sed -n "s/^ *$1 *REG_SZ *//p")
  unix_path "${v:-$2}"
}
programs=$(shell_folder "Common Programs" 'C:\ProgramData\Microsoft\Windows\Start Menu\Programs')
desktop=$(shell_folder "Common Desktop" 'C:\users\Public\Desktop')
# Where the program looks for the application below Program Files: a 32-bit program's
# is "Program Files (x86)" on 64-bit Windows, a 64-bit program's "Program Files".
pf="Program Files (x86)"
[ "$TOLVEX_BITS" = 64 ] && pf="Program Files"
viewer_w="C:\\$pf\\Lumen\\Viewer" app_w="C:\\$pf\\Lumen\\Viewer\\Bin"
viewer=$(unix_path "$viewer_w") app=$(unix_path "$app_w")
# Every run starts from the same place: no earlier demo's files, shortcuts or entries.
rm -rf "$c/DemoCD" "$c/DemoOut" "$c/BrokenCD" "$c/$pf/Lumen" "$c/Lumen2" "$c/Lumen Tools" \
  "$programs/Tesmora" "$programs/Lumen Viewer" "$desktop/Tesmora Lumen Viewer.lnk"
for n in 0 1 2 3; do
  run reg delete "HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\TesmoraProductHelp$n" /f >/dev/null 2>&1 || true
done
run reg delete 'HKCR\.aaatest' /f >/dev/null 2>&1 || true
run reg delete 'HKCR\aaatest.aaatest' /f >/dev/null 2>&1 || true
mkdir -p "$c/DemoCD" "$c/DemoOut"
cp -r demo/cd/. "$c/DemoCD/"
# The answers name the videos' folder below the 32-bit program's Program Files.
[ "$pf" = "Program Files (x86)" ] || sed -i "s/Program Files (x86)/$pf/g" "$c"/DemoCD/answers*.txt
cp $build/bin/Tolvex.exe "$c/DemoCD/"
# A COM server on the CD, registered once it is copied.
mkdir -p "$c/DemoCD/Bin"
cp $build/bin/register_ok.dll "$c/DemoCD/Bin/LumenPlot.dll"
# The second disk's setup and the run item's program: a small program that writes
# down how it was started.
cp $build/bin/tolvex_helper.exe "$c/DemoCD/Disk2/setup.exe"
cp $build/bin/tolvex_helper.exe "$c/DemoCD/Bin/firstrun.exe"
# The update packages and the help engine updates (one in each language's folder):
# stand-ins that write down how they were started (their command line, to
# <package>.calls) and end.
for f in "$c"/DemoCD/Updates/IE/ie4setup.exe "$c"/DemoCD/Updates/*.exe "$c"/DemoCD/HtmlHelp/*/hhupdate.exe; do
  cp $build/bin/tolvex_helper.exe "$f"
done

show() { echo; echo "== $*"; }
# What the step is about to show; the transcripts are held to it (boxes below).
shows() { echo "   shows: $*"; }
transcript() { show "transcript ($1)"; tr -d '\r' <"$c/DemoOut/$1"; }
# How a program the install started was started (the helper's report), or that it was not.
started() {
  if [ -f "$c/DemoOut/$1" ]; then tr -d '\r' <"$c/DemoOut/$1" | sed -n 's/^cmdline=/  started: /p'
  else echo "  not started ($1 not written)"; fi
}
# Each .lnk file below a folder, as the shell reads it.
links() {
  local f
  find "$1" -name '*.lnk' | sort | while read -r f; do
    f="C:${f#"$c"}"
    run $build/bin/tolvex_helper.exe /link "${f//\//\\}" | tr -d '\r'
  done
}
# The update packages that ran since the last call, with their command lines.
packages() {
  local f p any=
  for f in "$c"/DemoCD/Updates/*.calls "$c"/DemoCD/Updates/IE/*.calls "$c"/DemoCD/HtmlHelp/*/*.calls; do
    [ -f "$f" ] || continue
    any=1
    p=${f#"$c/DemoCD/"} p=${p%.calls}
    tr -d '\r' <"$f" | sed "s|^|  $p: |"
    rm -f "$f"
  done
  [ -n "$any" ] || echo "  none"
}
# What the component update stage of an install log decided.
components() {
  tr -d '\r' <"$1" | sed -n '/^>>Checking ComCtl32\|^>>UpdateIE4HHEtcIfRequired/,/^CompleteUninstSetup/p' | sed '$d'
}

failures=()
# The boxes and forms a run asked, one a line, from its transcript: the box, and for a
# message box the start of its text.
asked() {
  tr -d '\r' <"$c/DemoOut/$1" | awk '
    /^box: / { box = substr($0, 6) }
    /^text: / { text = substr($0, 7); sub(/^"/, "", text) }
    /^source: / { print (box == "message" ? "message: " text : box); box = ""; text = "" }'
}
# Holds a transcript to the boxes its step announced, in order: a form by its box name,
# a message box as "message: " and the start of its text.
boxes() {
  local file=$1 i n
  shift
  local want=("$@") got=()
  mapfile -t got < <(asked "$file")
  n=$(( ${#got[@]} > ${#want[@]} ? ${#got[@]} : ${#want[@]} ))
  local bad=
  for ((i = 0; i < n; i++)); do
    if [ $i -ge ${#want[@]} ]; then bad+="   ** not announced: ${got[i]}"$'\n'
    elif [ $i -ge ${#got[@]} ]; then bad+="   ** announced, never asked: ${want[i]}"$'\n'
    elif [[ "${got[i]}" != "${want[i]}"* ]]; then bad+="   ** announced ${want[i]}, asked: ${got[i]}"$'\n'
    fi
  done
  if [ -n "$bad" ]; then
    printf '%s' "$bad"
    failures+=("$file: boxes other than the step announced")
  else
    echo "   the boxes of $file: as announced (${#got[@]})"
  fi
}

# Each run's exit code, for the table at the end. Wine hands a Linux shell the code
# modulo 256; the codes the program ends with map back without doubt.
results=()
meaning() {  # code, command
  case "$1:$2" in
    0:*/verify*) echo "no errors in the script" ;;
    1:*/verify*) echo "errors in the script" ;;
    0:*) echo "done" ;;
    1602:*) echo "stopped by an answer" ;;
    1603:*) echo "failed" ;;
    3010:*) echo "done, restart needed" ;;
    *) echo "not one of the program's codes" ;;
  esac
}
# step, the exit code the step means to end with, then the program and its arguments.
# A run that ends non-zero does not end the demo.
tolvex() {
  local step=$1 want=$2 rc=0 code arg cmd=
  shift 2
  run "$@" || rc=$?
  case $rc in 66) code=1602 ;; 67) code=1603 ;; 194) code=3010 ;; *) code=$rc ;; esac
  for arg; do
    case $arg in /answers=* | /transcript=*) continue ;; esac
    [[ "$arg" == *" "* ]] && arg="\"$arg\""
    cmd+="${cmd:+ }$arg"
  done
  echo "exit code $code ($(meaning "$code" "$cmd"))"
  results+=("$step|$cmd|$code|$(meaning "$code" "$cmd")")
  [ "$code" = "$want" ] || failures+=("step $step ended with $code, not $want")
}

show "1. No arguments: the version banner, answered by the answers file"
shows "one box, the version banner (OK)"
tolvex 1 0 'C:\DemoCD\Tolvex.exe' '/answers=C:\DemoCD\answers.txt' '/transcript=C:\DemoOut\banner.txt'
transcript banner.txt
boxes banner.txt "message: Tolvex.exe - Version"

show "2. /test: the .aaatest association and the program copy"
shows "one box, expected: /test names no source folder, so after the association and the copy the" \
  "run's start-up stops at \"Internal Error: 2nd parameter for Tolvex.exe must be ...\" (OK); /test" \
  "ends with 0 all the same"
tolvex 2 0 'C:\DemoCD\Tolvex.exe' /test '/answers=C:\DemoCD\answers.txt' '/transcript=C:\DemoOut\test.txt'
run reg query 'HKCR\.aaatest' 2>/dev/null | tr -d '\r' | sed '/^$/d'
run reg query 'HKCR\aaatest.aaatest\shell\open\command' 2>/dev/null | tr -d '\r' | sed '/^$/d'
ls -l "$c/DemoCD/_Test"
transcript test.txt
boxes test.txt "message: Internal Error: 2nd parameter for Tolvex.exe"

show "3. The installed application: Lumen Viewer, registered for .lumdemo files"
mkdir -p "$app" "$c/Lumen2/Bin"
cp $build/bin/Tolvex.exe "$app/lumen.exe"   # a stand-in program file
cp $build/bin/Tolvex.exe "$c/Lumen2/Bin/lumen.exe"
run reg add 'HKCR\.lumdemo' /ve /d LumenViewer.Document /f >/dev/null
run reg add 'HKCR\LumenViewer.Document\shell\open\command' /ve /d "\"$app_w\\lumen.exe\" \"%1\"" /f >/dev/null
run reg delete 'HKLM\Software\Tesmora\Lumen Viewer' /f >/dev/null 2>&1 || true
run reg query 'HKCR\LumenViewer.Document\shell\open\command' | tr -d '\r' | sed '/^$/d'
# Its tools, a custom directory of the script, registered for .lumtools files; the
# scan add-on (.lumscans) is not installed.
mkdir -p "$c/Lumen Tools"
cp $build/bin/Tolvex.exe "$c/Lumen Tools/lumtools.exe"
run reg add 'HKCR\.lumtools' /ve /d LumenTools.File /f >/dev/null
run reg add 'HKCR\LumenTools.File\shell\open\command' /ve /d '"C:\Lumen Tools\lumtools.exe" "%1"' /f >/dev/null
# The release notes' file type opens in a stand-in viewer that writes down how it was
# started and ends (Wine under the null display driver has no program for .txt files:
# opening one fails, and a viewer with a window would stay open unseen).
cp $build/bin/tolvex_helper.exe "$c/Lumen Tools/notesview.exe"
run reg add 'HKCR\.lumnotes' /ve /d LumenTools.Notes /f >/dev/null
run reg add 'HKCR\LumenTools.Notes\shell\open\command' /ve \
  /d '"C:\Lumen Tools\notesview.exe" C:\DemoOut\notes-report.txt 0 0 "%1"' /f >/dev/null

show "4. /script: one candidate, found through the association; the script loaded and installed"
sed -n '/^\[CUSTOMDIRS\]/,$p' demo/cd/Tolvex.ini
echo "An older file already there is only updated by the X item:"
mkdir -p "$app/Help/Old"; printf 'old help\r\n' >"$app/Help/Old/lumen.chm"; touch -d 2001-01-01 "$app/Help/Old/lumen.chm"
touch "$c/DemoCD/debug.debug"
shows "the optional components (Glossary ticked, the report templates unticked), the help videos'" \
  "folder ($app_w\\help\\videos), the program folder (Tesmora\\Lumen Viewer, with the desktop" \
  "shortcut), and the finish dialog twice (Read release notes, then Finished)"
tolvex 4 0 'C:\DemoCD\Tolvex.exe' /script 'C:\DemoCD' '/answers=C:\DemoCD\answers-script.txt' '/transcript=C:\DemoOut\one.txt'
rm -f "$c/DemoCD/debug.debug"
# Later runs from the CD without it delete HHDebug.txt, and step 11 replaces this log.
cp "$c/DemoCD/HHDebug.txt" "$c/DemoOut/HHDebug4.txt"
cp "$viewer/installLog(Lumen Viewer).txt" "$c/DemoOut/install4.txt"
echo "Every form of the run, with the answer each took:"
transcript one.txt
boxes one.txt options videos shortcuts finish finish
show "the files in the application folder and the tools' folder"
echo "$app_w:"
(cd "$app" && find . -type f | sort | sed 's/^/  /')
echo "C:\\Lumen Tools:"
(cd "$c/Lumen Tools" && find . -type f | sort | sed 's/^/  /')
show "the optional components: the glossary chosen, the preset templates unticked, the scanner profiles not offered"
for f in Help/glossary.chm Templates/report.tpl Profiles/scanner.prf; do
  [ -f "$app/$f" ] && echo "  copied:     $f" || echo "  not copied: $f"
done
show "the help videos, copied with their sub-folder into help\\videos"
(cd "$c/DemoCD/Videos" && find . -type f | sort | sed 's/^/  on the CD: /')
# (the folder Help exists already: Windows names ignore letter case)
(cd "$app/Help/videos" && find . -type f | sort | sed 's/^/  copied:    /')
show "the shortcuts: the program folder Tesmora\\Lumen Viewer and the desktop shortcut that opens it"
links "$programs/Tesmora"
links "$desktop"
show "the run items: the first one ran, the second was skipped (Lumen Tools are installed)"
started firstrun-report.txt
started tools-report.txt
show "the finish dialog's \"Read release notes\" opened the notes in their viewer"
# The shell starts the viewer without waiting for it.
for _ in $(seq 100); do [ -f "$c/DemoOut/notes-report.txt" ] && break; sleep 0.1; done
started notes-report.txt
show "the component updates: what each step decided, and the update packages that ran"
components "$c/DemoOut/install4.txt"
packages
show "install log: $viewer_w\\installLog(Lumen Viewer).txt"
tr -d '\r' <"$c/DemoOut/install4.txt"
show "HHDebug.txt of that run (debug.debug beside the program)"
tr -d '\r' <"$c/DemoOut/HHDebug4.txt"
show "the list file the uninstaller reads: HelpUninstList0.ini"
tr -d '\r' <"$app/HelpUninstList0.ini"
show "the Add/Remove Programs entry"
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\TesmoraProductHelp0'
run reg query "$key" | tr -d '\r' | sed '/^$/d'

show "5. The entry's uninstall command, run unattended (its quiet form: default answers)"
cp "$app/HelpUninstList0.ini" "$c/DemoOut/list-before-uninstall.ini"
quiet=$(run reg query "$key" /v QuietUninstallString | tr -d '\r' | sed -n 's/^ *QuietUninstallString *REG_SZ *//p')
echo "$quiet"
shows "no box on the screen (/quiet); the transcript records the two questions answered by default:" \
  "the confirmation (Yes) and the report of what was removed (OK)"
eval "tolvex 5 0 $quiet '/transcript=C:\DemoOut\uninstall.txt'"
transcript uninstall.txt
boxes uninstall.txt "message: OK to uninstall" 'message: \"Lumen Viewer Help\"\r14 items successfully uninstalled'
show "what the list named is gone or put back; what it did not name stays"
tr -d '\r' <"$c/DemoOut/list-before-uninstall.ini" | sed 1d | while read -r line; do
  kind=file p=$line
  [[ "$line" == ';"'* ]] && kind=${line#;\"} kind=${kind%%\"*} p=${line#*\" }
  u=$(unix_path "${p%%|*}")
  case $kind in
    registered) ;;
    replaced) [ -e "$u" ] && [ ! -e "$(unix_path "${p#*|}")" ] && echo "  put back:    ${p%%|*}" ||
      echo "  ** not put back: $p" ;;
    *) [ -e "$u" ] && echo "  still there: $kind $p" || echo "  gone:        $kind $p" ;;
  esac
done
echo "left in $app_w:"
(cd "$app" && find . -type f | sort | sed 's/^/  /')
echo "left in C:\\Lumen Tools:"
(cd "$c/Lumen Tools" && find . -type f | sort | sed 's/^/  /')
echo "shortcuts left in the program folder and on the desktop (the install recorded its own):"
left=$(find "$programs" "$desktop" -name 'Tesmora*')
[ -n "$left" ] && sed "s|^$c|  C:|; s|/|\\\\|g" <<<"$left" || echo "  none"
run reg query "$key" >/dev/null 2>&1 && echo "the entry is still there" || echo "the entry is gone"

show "6. A second installation recorded under the product key: two candidates"
run reg add 'HKLM\Software\Tesmora\Lumen Viewer' /v path /d 'C:\Lumen2\Bin' /f >/dev/null
shows "the two installations to choose from (C:\\Lumen2\\Bin), the two folders found for the tools" \
  "(C:\\Lumen Tools), the optional components (Cancel), the help videos (No) and the program folder" \
  "(Cancel); no finish dialog (/skipfinish)"
tolvex 6 0 'C:\DemoCD\Tolvex.exe' /script 'C:\DemoCD' /skipfinish '/answers=C:\DemoCD\answers-second.txt' '/transcript=C:\DemoOut\two.txt'
transcript two.txt
boxes two.txt select select options videos shortcuts
show "install log: C:\\Lumen2\\installLog(Lumen Viewer).txt (its copy lines)"
tr -d '\r' <"$c/Lumen2/installLog(Lumen Viewer).txt" | sed -n '/^Copy file:/,/^Uninstall/p' | head -12
run reg delete 'HKLM\Software\Tesmora\Lumen Viewer' /f >/dev/null 2>&1 || true

show "7. /tolvex: the second disk's setup found in Disk2 beside its disk2.id, started with arguments 3 and later"
rm -f "$c/DemoOut/disk2-report.txt"
shows "no box: the setup is found at once"
tolvex 7 0 'C:\DemoCD\Tolvex.exe' /tolvex /setup.exe 'C:\DemoOut\disk2-report.txt' /lang=en '/answers=C:\DemoCD\answers.txt' '/transcript=C:\DemoOut\disk2.txt'
for _ in $(seq 100); do [ -f "$c/DemoOut/disk2-report.txt" ] && break; sleep 0.1; done
echo "the setup program reports:"
tr -d '\r' <"$c/DemoOut/disk2-report.txt" | sed -n 's/^cmdline=/  command line: /p'
transcript disk2.txt
boxes disk2.txt
show "install log: $viewer_w\\installLog_Tolvex(Lumen Viewer).txt"
tr -d '\r' <"$viewer/installLog_Tolvex(Lumen Viewer).txt" | sed -n '/^>Tolvex/,$p;/^>>/p'

show "8. /verify on the demo CD: the script checked against the CD, nothing installed"
shows "one box, the check's summary (information: no errors, no warnings)"
tolvex 8 0 'C:\DemoCD\Tolvex.exe' /verify . '/answers=C:\DemoCD\answers.txt' '/transcript=C:\DemoOut\verify.txt'
echo "verify.txt (empty: nothing to report):"; tr -d '\r' <"$c/DemoCD/verify.txt"
transcript verify.txt
boxes verify.txt "message: Tolvex.ini: 0 error(s), 0 warning(s)."

show "9. /verify on a deliberately broken copy of the CD"
rm -rf "$c/BrokenCD"
cp -r "$c/DemoCD" "$c/BrokenCD"
rm -f "$c/BrokenCD/readme.txt" "$c/BrokenCD/ReleaseNotes.lumnotes" "$c/BrokenCD/verify.txt"
sed -i -e 's/^IdFile=.*$/IdFile=/' \
  -e 's/^1=<setupdir>\\Help\\lumen.chm, <exedir>\\Help\\lumen.chm, VU/1=<setupdir>\\Help\\lumen.chm, <exedir>\\Help\\lumen.chm, U/' \
  -e 's/^2=\$Lang_de,/2=$Lang_xx,/' \
  -e 's/<LumenTools>/<lumentools>/' \
  -e 's/^UnInstall=1/UnInstall=yes/' "$c/BrokenCD/Tolvex.ini"
echo "the changes:"; diff demo/cd/Tolvex.ini <(tr -d '\r' <"$c/BrokenCD/Tolvex.ini") | sed -n 's/^[<>]/  &/p'
shows "one box, the check's summary (a warning: 6 errors, 1 warning); it ends with 1, as meant"
tolvex 9 1 'C:\BrokenCD\Tolvex.exe' /verify . '/answers=C:\DemoCD\answers.txt' '/transcript=C:\DemoOut\broken.txt'
echo "verify.txt:"; tr -d '\r' <"$c/BrokenCD/verify.txt"
transcript broken.txt
boxes broken.txt "message: Tolvex.ini: 6 error(s), 1 warning(s)."

show "10. /check: the PC checked as Wine reports it (Windows 7, 64-bit)"
shows "no box: every check passes, and the bus driver is skipped on 64-bit Windows (the log says why)"
tolvex 10 0 'C:\DemoCD\Tolvex.exe' /check 'C:\DemoCD' '/answers=C:\DemoCD\answers.txt' '/transcript=C:\DemoOut\check.txt'
echo "the check's log ($viewer_w\\installLog_Check(Lumen Viewer).txt):"
tr -d '\r' <"$viewer/installLog_Check(Lumen Viewer).txt" | sed -n '/^About to check/,$p'
transcript check.txt
boxes check.txt

show "11. /script2 as Windows 98 (Tolvex9x.exe): the system check, then the install and its component updates"
cp "$c/DemoCD/Tolvex.exe" "$c/DemoCD/Tolvex9x.exe"
cp "$c/DemoCD/Tolvex.ini" "$c/DemoCD/Tolvex9x.ini"
rm -f "$c"/DemoCD/Updates/*.calls "$c"/DemoCD/Updates/IE/*.calls "$c"/DemoCD/HtmlHelp/*/*.calls   # step 6's
shows "none from the system check (it passes), then the optional components (Cancel), the help" \
  "videos (No), the program folder (Cancel) and the finish dialog (Finished)"
tolvex 11 0 'C:\DemoCD\Tolvex9x.exe' /script2 'C:\DemoCD' '/answers=C:\DemoCD\answers-script2.txt' '/transcript=C:\DemoOut\script2.txt'
echo "what each component step decided (install log):"
components "$viewer/installLog(Lumen Viewer).txt"
echo "the update packages that ran, with their command lines:"
packages
echo "and the same steps on the Windows 7 of step 4 (shown there):"
components "$c/DemoOut/install4.txt" | grep -E 'Not run: |  Skipped: |^Running: ' | sort -u
transcript script2.txt
boxes script2.txt options videos shortcuts finish

show "Where the logs are (C: is $c)"
logs=(
  "4|install log (a copy: step 11 replaced it)|C:\\DemoOut\\install4.txt"
  "4|debug log (a copy: later runs delete it)|C:\\DemoOut\\HHDebug4.txt"
  "5|uninstall log|$viewer_w\\installLog_Uninstall(Lumen Viewer).txt"
  "6|install log|C:\\Lumen2\\installLog(Lumen Viewer).txt"
  "7|second-disk log|$viewer_w\\installLog_Tolvex(Lumen Viewer).txt"
  "8|script check report|C:\\DemoCD\\verify.txt"
  "9|script check report|C:\\BrokenCD\\verify.txt"
  "10|check log|$viewer_w\\installLog_Check(Lumen Viewer).txt"
  "11|install log|$viewer_w\\installLog(Lumen Viewer).txt"
)
for t in 1:banner 2:test 4:one 5:uninstall 6:two 7:disk2 8:verify 9:broken 10:check 11:script2; do
  logs+=("${t%%:*}|transcript|C:\\DemoOut\\${t#*:}.txt")
done
table=()
for l in "${logs[@]}"; do
  IFS='|' read -r step what file <<<"$l"
  [ -e "$(unix_path "$file")" ] || { what="** missing: $what"; failures+=("$file is missing"); }
  table+=("$step|$what|$file")
done
printf '%s\n' "${table[@]}" | sort -t'|' -k1,1n -s | (echo "step|log|file"; cat) | column -t -s'|' | sed 's/^/  /'
# A log the list above does not name: a run wrote where it was not expected to.
while read -r f; do
  w="C:${f#"$c"}" w=${w//\//\\}
  printf '%s\n' "${logs[@]}" | grep -qF "|$w" || echo "  also written: $w"
done < <(find "$c" -name 'installLog*.txt')

show "Exit codes (as Windows reports them: 0 done, 1602 stopped by an answer, 1603 failed, 3010 restart needed)"
printf '%s\n' "${results[@]}" | (echo "step|command|exit code|meaning"; cat) | column -t -s'|' | sed 's/^/  /'
if [ ${#failures[@]} -gt 0 ]; then
  echo
  printf 'demo: %s\n' "${failures[@]}"
  exit 1
fi
echo
echo "demo: every box was announced, and every run ended as its step meant"
