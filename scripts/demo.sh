#!/usr/bin/env bash
# Builds Tolvex.exe and runs it on the sample product CD in a scratch Wine prefix
# (build/demo), unattended through answers files, then shows what it did: the CD
# installed into a sample application (files, optional components, help videos,
# shortcuts, run items, the finish dialog), then uninstalled through its Add/Remove
# Programs entry; a choice between two installations; the second disk; the script checker.
set -eu
cd "$(dirname "$0")/.."
bash scripts/build.sh Tolvex tolvex_helper register_ok
h=build/demo
run() { tests/harness/wine-run "$h" "$@"; }
trap 'tests/harness/wine-run "$h" --down' EXIT
run --up
eval "$(tests/harness/wine-run "$h" --env)"
c="$WINEPREFIX/drive_c"
# The prefix's all-users Start-menu programs folder and desktop.
programs="$c/ProgramData/Microsoft/Windows/Start Menu/Programs"
desktop="$c/users/Public/Desktop"
# Every run starts from the same place: no earlier demo's files, shortcuts or entries.
rm -rf "$c/DemoCD" "$c/DemoOut" "$c/BrokenCD" "$c/Program Files (x86)/Lumen" "$c/Lumen2" "$c/Lumen Tools" \
  "$programs/Tesmora" "$programs/Lumen Viewer" "$desktop/Tesmora Lumen Viewer.lnk"
for n in 0 1 2 3; do
  run reg delete "HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\TesmoraProductHelp$n" /f >/dev/null 2>&1 || true
done
mkdir -p "$c/DemoCD" "$c/DemoOut"
cp -r demo/cd/. "$c/DemoCD/"
cp build/bin/Tolvex.exe "$c/DemoCD/"
# A COM server on the CD, registered once it is copied.
mkdir -p "$c/DemoCD/Bin"
cp build/bin/register_ok.dll "$c/DemoCD/Bin/LumenPlot.dll"
# The second disk's setup and the run item's program: a small program that writes
# down how it was started.
cp build/bin/tolvex_helper.exe "$c/DemoCD/Disk2/setup.exe"
cp build/bin/tolvex_helper.exe "$c/DemoCD/Bin/firstrun.exe"
# The update packages and the help engine updates: stand-ins that write down how they
# were started (their command line, to <package>.calls) and end.
for f in Updates/IE/ie4setup.exe Updates/50comupd.exe Updates/wmp9codecs.exe Updates/wmp10setup.exe \
    Updates/wmp11setup.exe Updates/flashax.exe HtmlHelp/English/hhupdate.exe HtmlHelp/German/hhupdate.exe; do
  cp build/bin/tolvex_helper.exe "$c/DemoCD/$f"
done

show() { echo; echo "== $*"; }
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
    run build/bin/tolvex_helper.exe /link "${f//\//\\}" | tr -d '\r'
  done
}

show "1. No arguments: the version banner, answered by the answers file"
run 'C:\DemoCD\Tolvex.exe' '/answers=C:\DemoCD\answers.txt' '/transcript=C:\DemoOut\banner.txt'
transcript banner.txt

show "2. /test: the .aaatest association and the program copy"
run 'C:\DemoCD\Tolvex.exe' /test '/answers=C:\DemoCD\answers.txt' '/transcript=C:\DemoOut\test.txt'
run reg query 'HKCR\.aaatest' 2>/dev/null | tr -d '\r' | sed '/^$/d'
run reg query 'HKCR\aaatest.aaatest\shell\open\command' 2>/dev/null | tr -d '\r' | sed '/^$/d'
ls -l "$c/DemoCD/_Test"
transcript test.txt

show "3. The installed application: Lumen Viewer, registered for .lumdemo files"
mkdir -p "$c/Program Files (x86)/Lumen/Viewer/Bin" "$c/Lumen2/Bin"
cp build/bin/Tolvex.exe "$c/Program Files (x86)/Lumen/Viewer/Bin/lumen.exe"   # a stand-in program file
cp build/bin/Tolvex.exe "$c/Lumen2/Bin/lumen.exe"
run reg add 'HKCR\.lumdemo' /ve /d LumenViewer.Document /f >/dev/null
run reg add 'HKCR\LumenViewer.Document\shell\open\command' /ve \
  /d '"C:\Program Files (x86)\Lumen\Viewer\Bin\lumen.exe" "%1"' /f >/dev/null
run reg delete 'HKLM\Software\Tesmora\Lumen Viewer' /f >/dev/null 2>&1 || true
run reg query 'HKCR\LumenViewer.Document\shell\open\command' | tr -d '\r' | sed '/^$/d'
# Its tools, a custom directory of the script, registered for .lumtools files; the
# scan add-on (.lumscans) is not installed.
mkdir -p "$c/Lumen Tools"
cp build/bin/Tolvex.exe "$c/Lumen Tools/lumtools.exe"
run reg add 'HKCR\.lumtools' /ve /d LumenTools.File /f >/dev/null
run reg add 'HKCR\LumenTools.File\shell\open\command' /ve /d '"C:\Lumen Tools\lumtools.exe" "%1"' /f >/dev/null
# The release notes' file type opens in a stand-in viewer that writes down how it was
# started and ends (Wine under the null display driver has no program for .txt files:
# opening one fails, and a viewer with a window would stay open unseen).
cp build/bin/tolvex_helper.exe "$c/Lumen Tools/notesview.exe"
run reg add 'HKCR\.lumnotes' /ve /d LumenTools.Notes /f >/dev/null
run reg add 'HKCR\LumenTools.Notes\shell\open\command' /ve \
  /d '"C:\Lumen Tools\notesview.exe" C:\DemoOut\notes-report.txt 0 0 "%1"' /f >/dev/null

show "4. /script: one candidate, found through the association; the script loaded and installed"
sed -n '/^\[CUSTOMDIRS\]/,$p' demo/cd/Tolvex.ini
app="$c/Program Files (x86)/Lumen/Viewer/Bin"
echo "An older file already there is only updated by the X item:"
mkdir -p "$app/Help/Old"; printf 'old help\r\n' >"$app/Help/Old/lumen.chm"; touch -d 2001-01-01 "$app/Help/Old/lumen.chm"
touch "$c/DemoCD/debug.debug"
run 'C:\DemoCD\Tolvex.exe' /script 'C:\DemoCD' '/answers=C:\DemoCD\answers-script.txt' '/transcript=C:\DemoOut\one.txt' \
  && echo "exit code 0" || echo "exit code $?"
rm -f "$c/DemoCD/debug.debug"
echo "Every form of the run, with the answer each took:"
transcript one.txt
show "the files in C:\Program Files (x86)\Lumen\Viewer\Bin and C:\Lumen Tools"
(cd "$app" && find . -type f | sort)
(cd "$c/Lumen Tools" && find . -type f | sort)
show "the optional components: the glossary chosen, the preset templates unticked, the scanner profiles not offered"
for f in Help/glossary.chm Templates/report.tpl Profiles/scanner.prf; do
  [ -f "$app/$f" ] && echo "  copied:     $f" || echo "  not copied: $f"
done
show "the help videos, copied with their sub-folder into help\videos"
(cd "$c/DemoCD/Videos" && find . -type f | sort | sed 's/^/  on the CD: /')
# (the folder Help exists already: Windows names ignore letter case)
(cd "$app/Help/videos" && find . -type f | sort | sed 's/^/  copied:    /')
show "the shortcuts: the program folder Tesmora\Lumen Viewer and the desktop shortcut that opens it"
links "$programs/Tesmora"
links "$desktop"
show "the run items: the first one ran, the second was skipped (Lumen Tools are installed)"
started firstrun-report.txt
started tools-report.txt
show "the finish dialog's \"Read release notes\" opened the notes in their viewer"
# The shell starts the viewer without waiting for it.
for _ in $(seq 100); do [ -f "$c/DemoOut/notes-report.txt" ] && break; sleep 0.1; done
started notes-report.txt
show "install log: C:\Program Files (x86)\Lumen\Viewer\installLog(Lumen Viewer).txt"
tr -d '\r' <"$c/Program Files (x86)/Lumen/Viewer/installLog(Lumen Viewer).txt"
show "HHDebug.txt of that run (debug.debug beside the program)"
tr -d '\r' <"$c/DemoCD/HHDebug.txt"
show "the list file the uninstaller reads: HelpUninstList0.ini"
tr -d '\r' <"$app/HelpUninstList0.ini"
show "the Add/Remove Programs entry"
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\TesmoraProductHelp0'
run reg query "$key" | tr -d '\r' | sed '/^$/d'

show "5. The entry's uninstall command, run unattended (its quiet form: default answers)"
cp "$app/HelpUninstList0.ini" "$c/DemoOut/list-before-uninstall.ini"
quiet=$(run reg query "$key" /v QuietUninstallString | tr -d '\r' | sed -n 's/^ *QuietUninstallString *REG_SZ *//p')
echo "$quiet"
eval "run $quiet '/transcript=C:\DemoOut\uninstall.txt'" && echo "exit code 0" || echo "exit code $?"
transcript uninstall.txt
show "what the list named is gone; what it did not name stays"
tr -d '\r' <"$c/DemoOut/list-before-uninstall.ini" | sed 1d | while read -r p; do
  u="$c/${p#C:\\}" u="${u//\\//}"
  [ -e "$u" ] && echo "  still there: $p" || echo "  gone: $p"
done
(cd "$app" && find . -type f | sort)
(cd "$c/Lumen Tools" && find . -type f | sort)
echo "The shortcuts were never recorded, so they stay:"
(cd "$c" && find "${programs#"$c/"}/Tesmora" "${desktop#"$c/"}" -name '*.lnk' | sort | sed 's/^/  /')
run reg query "$key" >/dev/null 2>&1 && echo "the entry is still there" || echo "the entry is gone"

show "6. A second installation recorded under the product key: two candidates"
run reg add 'HKLM\Software\Tesmora\Lumen Viewer' /v path /d 'C:\Lumen2\Bin' /f >/dev/null
run 'C:\DemoCD\Tolvex.exe' /script 'C:\DemoCD' /skipfinish '/answers=C:\DemoCD\answers-second.txt' '/transcript=C:\DemoOut\two.txt' \
  && echo "exit code 0" || echo "exit code $?"
transcript two.txt
show "install log: C:\Lumen2\installLog(Lumen Viewer).txt (its copy lines)"
tr -d '\r' <"$c/Lumen2/installLog(Lumen Viewer).txt" | sed -n '/^Copy file:/,/^Uninstall/p' | head -12
run reg delete 'HKLM\Software\Tesmora\Lumen Viewer' /f >/dev/null 2>&1 || true

show "7. /tolvex: the second disk's setup found in Disk2 beside its disk2.id, started with arguments 3 and later"
rm -f "$c/DemoOut/disk2-report.txt"
run 'C:\DemoCD\Tolvex.exe' /tolvex /setup.exe 'C:\DemoOut\disk2-report.txt' /lang=en '/answers=C:\DemoCD\answers.txt' '/transcript=C:\DemoOut\disk2.txt'
for _ in $(seq 100); do [ -f "$c/DemoOut/disk2-report.txt" ] && break; sleep 0.1; done
echo "the setup program reports:"
tr -d '\r' <"$c/DemoOut/disk2-report.txt" | sed -n 's/^cmdline=/  command line: /p'
show "install log: C:\Program Files (x86)\Lumen\Viewer\installLog_Tolvex(Lumen Viewer).txt"
tr -d '\r' <"$c/Program Files (x86)/Lumen/Viewer/installLog_Tolvex(Lumen Viewer).txt" | sed -n '/^>Tolvex/,$p;/^>>/p'

show "8. /verify on the demo CD: the script checked against the CD, nothing installed"
run 'C:\DemoCD\Tolvex.exe' /verify . '/answers=C:\DemoCD\answers.txt' '/transcript=C:\DemoOut\verify.txt' \
  && echo "exit code 0" || echo "exit code $?"
echo "verify.txt:"; tr -d '\r' <"$c/DemoCD/verify.txt"
transcript verify.txt

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
run 'C:\BrokenCD\Tolvex.exe' /verify . '/answers=C:\DemoCD\answers.txt' '/transcript=C:\DemoOut\broken.txt' \
  && echo "exit code 0" || echo "exit code $?"
echo "verify.txt:"; tr -d '\r' <"$c/BrokenCD/verify.txt"
transcript broken.txt

show "10. /check: the PC checked as Wine reports it (Windows 7, 64-bit)"
run 'C:\DemoCD\Tolvex.exe' /check 'C:\DemoCD' '/answers=C:\DemoCD\answers.txt' '/transcript=C:\DemoOut\check.txt' \
  && echo "exit code 0" || echo "exit code $?"
log=$(ls -t "$c"/DemoCD/installLog_Check*.txt "$c"/Program\ Files\ \(x86\)/Lumen/Viewer/installLog_Check*.txt 2>/dev/null | head -1 || true)
echo "the check's log ($(basename "${log:-none}")):"
[ -n "$log" ] && tr -d '\r' <"$log" | sed -n '/^About to check/,$p'
transcript check.txt

show "11. /script2 as Windows 98 (Tolvex9x.exe): the system check, then the install and its component updates"
viewerlog="$c/Program Files (x86)/Lumen/Viewer/installLog(Lumen Viewer).txt"
cp "$viewerlog" "$c/DemoOut/install4.txt"   # run 4's, before this run writes its own
cp "$c/DemoCD/Tolvex.exe" "$c/DemoCD/Tolvex9x.exe"
cp "$c/DemoCD/Tolvex.ini" "$c/DemoCD/Tolvex9x.ini"
rm -f "$c"/DemoCD/Updates/*.calls "$c"/DemoCD/Updates/IE/*.calls "$c"/DemoCD/HtmlHelp/*/*.calls
run 'C:\DemoCD\Tolvex9x.exe' /script2 'C:\DemoCD' '/answers=C:\DemoCD\answers-script2.txt' '/transcript=C:\DemoOut\script2.txt' \
  && echo "exit code 0" || echo "exit code $?"
echo "what each component step decided (install log):"
tr -d '\r' <"$viewerlog" | sed -n '/^>>Checking ComCtl32\|^>>UpdateIE4HHEtcIfRequired/,/^CompleteUninstSetup/p' | sed '$d'
echo "the update packages that ran, with their command lines:"
(cd "$c/DemoCD" && for f in Updates/*.calls Updates/IE/*.calls HtmlHelp/*/*.calls; do [ -f "$f" ] && echo "  ${f%.calls}: $(tr -d '\r' <"$f")"; done) || true
echo "and the same steps on the Windows 7 of run 4:"
tr -d '\r' <"$c/DemoOut/install4.txt" | grep -E 'Not run: |  Skipped: ' | sort -u
transcript script2.txt
