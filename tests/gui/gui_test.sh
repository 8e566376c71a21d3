#!/usr/bin/env bash
# GUI tests: zeb.exe under Wine on a virtual display, in a Wine prefix of its own, worked
# through its windows by zeb_driver.exe. Screenshots of the windows go to SHOT_DIR.
#
#   gui_test.sh ZEB_EXE DRIVER_EXE SHOT_DIR SOURCE_DIR
set -uo pipefail

if [ $# -ne 4 ]; then
  echo "usage: $0 ZEB_EXE DRIVER_EXE SHOT_DIR SOURCE_DIR" >&2
  exit 2
fi
# A display of our own, large enough for the main window and the review dialog side by side.
if [ -z "${ZEB_GUI_ON_DISPLAY:-}" ]; then
  export ZEB_GUI_ON_DISPLAY=1
  exec xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" "$@"
fi

zeb_exe=$1
driver_exe=$2
shot_dir=$3
source_dir=$4
wine_run=$source_dir/scripts/wine-run
mkdir -p "$shot_dir"

# A private prefix (HOME inside it), so that what Save writes stays here; the C locale gives
# the short date format M/d/yyyy that the /STARTING= test writes its date in.
root=$(mktemp -d "${TMPDIR:-/tmp}/zeb-gui-XXXXXX")
export ZEB_WINEPREFIX_ROOT=$root
unset ZEB_WINEPREFIX
export LC_ALL=C
prefix=$root/pfx
windows_dir=$prefix/drive_c/windows
cleanup() {
  WINEPREFIX=$prefix wineserver -k 2>/dev/null || true
  rm -rf "$root"
}
trap cleanup EXIT

failures=0
checks=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}
# check WHAT EXPECTED ACTUAL
check() {
  checks=$((checks + 1))
  if [ "$2" != "$3" ]; then fail "$1: expected \"$2\", got \"$3\""; fi
}

drive() { "$wine_run" "$driver_exe" "$@"; }
# One query's answer, or the driver's failure recorded.
ask() {
  local answer
  if ! answer=$(drive "$@"); then
    fail "driver: $*"
    return 1
  fi
  printf '%s' "$answer"
}
# Runs driver commands whose failure is a test failure (waits, clicks).
act() { drive "$@" >/dev/null || fail "driver: $*"; }

winpath() { local p=${1//\//\\}; printf 'Z:%s' "$p"; }
ldif=$(winpath "$source_dir/samples/acme/directory.ldif")
directory_args=("/DIRECTORY=$ldif" /TREE=ACME_TREE /USER=Robert.Sales.Acme)

zeb_pid=
start_zeb() {
  "$wine_run" "$zeb_exe" "${directory_args[@]}" "$@" >"$root/zeb.log" 2>&1 &
  zeb_pid=$!
}
# Waits up to SECONDS for zeb.exe to end and sets zeb_status to its exit code, or to
# "running" (and stops it) when it does not end in time. Not to be called in a subshell:
# only this shell can wait for its child.
zeb_status=
wait_zeb() {
  local seconds=$1 waited=0
  while kill -0 "$zeb_pid" 2>/dev/null; do
    if [ "$waited" -ge $((seconds * 10)) ]; then
      zeb_status=running
      kill "$zeb_pid" 2>/dev/null
      wait "$zeb_pid" 2>/dev/null
      return
    fi
    sleep 0.1
    waited=$((waited + 1))
  done
  wait "$zeb_pid"
  zeb_status=$?
}

shot() {
  xwd -root -display "$DISPLAY" -silent | convert xwd:- "$shot_dir/$1.png" ||
    fail "screenshot $1"
}

# --- The prefix ----------------------------------------------------------------------------
echo "making the Wine prefix"
"$wine_run" cmd /c exit 0 >/dev/null 2>&1
source "$source_dir/tests/wine/harness.sh"
harness_copy_wine_fonts "$prefix"
# Without a window manager Wine draws the frames and captions itself.
"$wine_run" reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /t REG_SZ /d N /f >/dev/null 2>&1

# --- Splash window, then the main window as designed ----------------------------------------
echo "splash window and main window"
start_zeb
act wait-window TForm3 20
shot splash
check "splash client size" "302 423" "$(ask client TForm3 | cut -d' ' -f3-)"
splash=$(ask client TForm3)
read -r sx sy _ _ <<<"$splash"
screen_w=$(xdpyinfo -display "$DISPLAY" | awk '/dimensions:/ { split($2, d, "x"); print d[1] }')
check "splash centred" "$(((screen_w - 302) / 2))" "$sx"
check "splash Image1" "0 0 303 422" "$(ask rect TForm3.Image1)"
check "splash Label1" "13 379 248 29" "$(ask rect TForm3.Label1)"
check "splash Label1 text" "Alias Scourby Tackwerk" "$(ask text TForm3.Label1)"
check "splash Label2" "19 406 239 13" "$(ask rect TForm3.Label2)"
check "splash Label3 position" "8 354" "$(ask rect TForm3.Label3 | cut -d' ' -f1-2)"
check "splash Label4 position" "9 369" "$(ask rect TForm3.Label4 | cut -d' ' -f1-2)"
check "splash status lines empty" "|" "$(ask text TForm3.Label3)|$(ask text TForm3.Label4)"
check "splash Image2" "267 386 33 35" "$(ask rect TForm3.Image2)"

act wait-window Tform1 10
act wait-hidden TForm3 5
act sleep 300
shot main-window
check "title" "VRX Alias Scourby Tackwerk  [ACME_TREE]" "$(ask caption Tform1)"
check "main window position" "8 13" "$(ask frame Tform1 | cut -d' ' -f1-2)"
check "main client size" "637 335" "$(ask client Tform1 | cut -d' ' -f3-)"

# Place, caption and state of each control: name, rectangle, text, enabled, ticked.
while read -r name rect text enabled ticked; do
  [ -z "$name" ] && continue
  check "$name place" "${rect//,/ }" "$(ask rect "$name")"
  [ "$text" = - ] && text=""
  check "$name caption" "${text//_/ }" "$(ask text "$name")"
  check "$name enabled" "$enabled" "$(ask enabled "$name")"
  if [ "$ticked" != - ]; then check "$name ticked" "$ticked" "$(ask checked "$name")"; fi
done <<'EOF'
GroupBox3       16,8,137,89     Search                  1 -
SearchDesktop   32,24,105,17    Search_Desktop          1 1
SearchStartMenu 32,40,113,17    Search_Start_Menu       1 1
SearchINIFiles  32,56,105,17    Search_*.INI_files      1 1
SearchRegistry  32,72,97,17     Search_Registry         1 1
ProgramMode     16,104,137,49   Program_Mode            1 -
ProgramMode0    24,118,127,15   Dereference_Aliases     1 1
ProgramMode1    24,133,127,15   Search_and_Replace      1 0
Label5          172,112,52,13   Search_for:             0 -
Search          224,112,401,21  -                       0 -
Label6          159,136,65,13   Replace_with:           0 -
Replace         224,136,401,21  -                       0 -
Label1          160,64,465,25   -                       1 -
Button1         24,304,73,25    Search                  1 -
Button2         104,304,75,25   Save                    0 -
Button3         544,304,75,25   Exit                    1 -
EOF
for label in Label2 Label3 Label4; do
  check "$label empty" "" "$(ask text $label)"
done
check "Label3 position" "160 8" "$(ask rect Label3 | cut -d' ' -f1-2)"
check "Label2 position" "160 24" "$(ask rect Label2 | cut -d' ' -f1-2)"
check "Label4 position" "160 40" "$(ask rect Label4 | cut -d' ' -f1-2)"
check "ListBox1 place" "16 160 609 137" "$(ask rect ListBox1)"
check "ListBox1 empty" "0" "$(ask lines ListBox1)"
# Disabled controls are passed over.
check "tab order" "Button1 ListBox1 SearchDesktop SearchStartMenu SearchINIFiles SearchRegistry Button3 ProgramMode0" \
  "$(ask tab-order Tform1)"

# With nothing found yet a double-click on the list opens nothing.
act dblclick ListBox1 0 sleep 500
check "no review of an empty list" 0 "$(ask visible TForm2)"

echo "mode switch"
act click ProgramMode1 sleep 300
for control in Label5 Search Label6 Replace; do
  check "$control enabled in Search and Replace" 1 "$(ask enabled $control)"
done
check "tab order with the search texts" \
  "Button1 ListBox1 SearchDesktop SearchStartMenu SearchINIFiles SearchRegistry Button3 ProgramMode1 Search Replace" \
  "$(ask tab-order Tform1)"
act set-text Search OLDSRV set-text Replace NEWSRV click ProgramMode0 sleep 300
for control in Label5 Search Label6 Replace; do
  check "$control disabled in Dereference Aliases" 0 "$(ask enabled $control)"
done
check "search text kept" "OLDSRV" "$(ask text Search)"
check "replacement kept" "NEWSRV" "$(ask text Replace)"

echo "empty search text"
act click ProgramMode1 set-text Search "" click Button1 box-wait 10
check "empty search box caption" "ZEB" "$(ask box-caption)"
check "empty search box text" "No search string specified." "$(ask box-text)"
act box-press OK wait-hidden '#32770' 5
check "Search still enabled" 1 "$(ask enabled Button1)"
check "mode still open" 1 "$(ask enabled ProgramMode1)"
check "no lines" 0 "$(ask lines ListBox1)"

echo "scan run"
act click ProgramMode0 click Button1 wait-text Label3 "Workstation Scan Completed" 600
check "scan result" "No targeted objects found." "$(ask text Label1)"
check "Label2 cleared" "" "$(ask text Label2)"
check "Label4 cleared" "" "$(ask text Label4)"
check "no lines found" 0 "$(ask lines ListBox1)"
for control in Button1 Button2 ProgramMode0 ProgramMode1 SearchDesktop SearchStartMenu SearchINIFiles SearchRegistry; do
  check "$control disabled after the scan" 0 "$(ask enabled $control)"
done
check "Exit enabled after the scan" 1 "$(ask enabled Button3)"
shot main-window-scanned

echo "exit"
act click Button3
wait_zeb 20
check "exit code of Exit" 0 "$zeb_status"

# --- Review dialog and Save on the sample INI file ------------------------------------------
echo "review dialog and save"
ini=$windows_dir/ZEBDEMO.INI
cp "$source_dir/samples/acme/windows/ZEBDEMO.INI" "$ini"
ini_has() { tr -d '\r' <"$ini" | grep -qxF -- "$1"; }
start_zeb /NODESK /NOMENU /NOREG
act wait-window Tform1 20
act click Button1 wait-text Label3 "Workstation Scan Completed" 300
check "sample result" "Press the Save button to write changes." "$(ask text Label1)"
check "Save enabled" 1 "$(ask enabled Button2)"
line='INI File: C:\windows\ZEBDEMO.INI'
expected_lines=$(printf '6\n0\t1\t%s\n1\t1\t%s\n2\t1\t%s\n3\t1\t%s\n4\t1\t%s\n5\t1\t%s' \
  "$line" "$line" "$line" "$line" "$line" "$line")
check "sample lines" "$expected_lines" "$(ask lines ListBox1)"
shot main-window-changes

# review LINE: the eight texts of the dialog, one per line.
review() {
  act dblclick ListBox1 "$1" wait-window TForm2 10
  ask text TForm2.Element text TForm2.Operation text TForm2.Label1 text TForm2.Subject \
    text TForm2.Label2 text TForm2.OldName text TForm2.Label3 text TForm2.NewName
}
expected=$(printf '%s\n' '*.INI file entry' 'Change variable contents' 'File Name:' \
  'C:\windows\ZEBDEMO.INI' '[Section]Variable:' '[Printers]Default' 'New contents:' \
  '\\ACME_TREE\Q2.Sales.Acme')
check "review of line 0" "${expected%$'\n'}" "$(review 0)"
shot review-dialog
check "review dialog caption" "Workstation Change" "$(ask caption TForm2)"
check "review dialog size" "682 283" "$(ask frame TForm2 | cut -d' ' -f3-)"
check "OK button" "272 224 75 25" "$(ask rect TForm2.Button1)"
check "OK caption" "OK" "$(ask text TForm2.Button1)"
while read -r name rect; do
  check "$name place" "${rect//,/ }" "$(ask rect "TForm2.$name")"
done <<'EOF'
OperationPanel 88,8,577,33
Operation      96,16,561,13
SubjectPanel   88,56,577,49
Subject        96,64,561,33
OldNamePanel   88,112,577,49
OldName        96,120,561,33
NewNamePanel   88,168,577,49
NewName        96,176,561,33
EOF
# Caption labels end at x = 80 and grow to the left (one too wide for that starts at 0).
for name in Element:16 Label1:64 Label3:176; do
  read -r x y w _ <<<"$(ask rect "TForm2.${name%:*}")"
  check "${name%:*} right edge and top" "80 ${name#*:}" "$((x + w)) $y"
done
act click TForm2.Button1 wait-hidden TForm2 5

expected=$(printf '%s\n' '*.INI file entry' 'Change variable name' 'File Name:' \
  'C:\windows\ZEBDEMO.INI' '[section]Variable:' '[Mail]\\ACME_TREE\.Bob.Sales.Acme' \
  'New Name:' '\\ACME_TREE\Robert.Marketing.Acme')
check "review of line 3" "${expected%$'\n'}" "$(review 3)"
# The close box ends a review like OK.
act close TForm2 wait-hidden TForm2 5
check "main window still there" 1 "$(ask visible Tform1)"

echo "ticks and save"
# The review's modal loop may still be giving the main window back: let it settle first.
act sleep 500 tick ListBox1 0 space ListBox1 2 sleep 300
# A review changes no tick.
review 1 >/dev/null
act click TForm2.Button1 wait-hidden TForm2 5
check "ticks after the reviews" "0 1 0 1 1 1" \
  "$(ask lines ListBox1 | tail -n +2 | cut -f2 | tr '\n' ' ' | sed 's/ $//')"

act click Button2 box-wait 10
check "confirmation caption" "Information" "$(ask box-caption)"
check "confirmation text" "Clicking OK will cause selected changes to be written to this workstation." \
  "$(ask box-text)"
act box-press Cancel wait-hidden '#32770' 5
check "nothing written after Cancel" "" "$(cmp -s "$ini" "$source_dir/samples/acme/windows/ZEBDEMO.INI" || echo changed)"
check "Save enabled after Cancel" 1 "$(ask enabled Button2)"

act click Button2 box-wait 10 box-press OK wait-hidden '#32770' 5 wait-enabled Button2 0 30
act wait-text Label3 "" 30
ini_has 'Default=\\ACME_TREE\.Q1.Sales.Acme' || fail "unticked line 0 was written"
ini_has 'Owner=\\acme_tree\.bob.sales.acme' || fail "unticked line 2 was written"
ini_has 'Typeful=\\ACME_TREE\Q2.Sales.Acme' || fail "ticked line 1 was not written"
ini_has '\\ACME_TREE\Robert.Marketing.Acme=\\ACME_TREE\Vol1.Org' ||
  fail "ticked lines 3 and 4 were not written"
ini_has '\\ACME_TREE\.Bob.Sales.Acme=\\ACME_TREE\.SYS.Unit.Org' &&
  fail "the renamed variable is still there"
# [Printers] keeps its Default (line 0), so this one is [Fax]'s.
ini_has 'Default=\\ACME_TREE\Q2.Sales.Acme' || fail "ticked line 5 was not written"
check "labels cleared after Save" "||" "$(ask text Label1)|$(ask text Label2)|$(ask text Label4)"
act click Button3
wait_zeb 20
check "exit code after Save" 0 "$zeb_status"

# --- An error that ends Save ------------------------------------------------------------------
echo "error box"
rm -f "$ini"
mkdir -p "$windows_dir/zebgone"
cp "$source_dir/samples/acme/windows/ZEBDEMO.INI" "$windows_dir/zebgone/"
start_zeb /NODESK /NOMENU /NOREG
act wait-window Tform1 20 click Button1 wait-text Label3 "Workstation Scan Completed" 300
# The file's folder goes between the scan and Save: the first write fails.
rm -rf "$windows_dir/zebgone"
act click Button2 box-wait 10 box-press OK wait-hidden '#32770' 5 box-wait 30
check "error box caption" "ZEB" "$(ask box-caption)"
check "error box text" 'Unable to write to C:\windows\zebgone\ZEBDEMO.INI' "$(ask box-text)"
shot save-error
act box-press OK wait-hidden '#32770' 5
check "Save disabled after its error" 0 "$(ask enabled Button2)"
act click Button3
wait_zeb 20
# A Save ended by an error tells the tools that start zeb.
check "exit code after the error" 4 "$zeb_status"

# --- A line opened while the scan still runs -------------------------------------------------
echo "review during a scan"
# Matches early in the Registry walk, then enough keys without one for a scan that lasts.
{
  printf 'REGEDIT4\r\n'
  for i in $(seq 0 2999); do
    printf '\r\n[HKEY_LOCAL_MACHINE\\Software\\AAA ZebGuiScan\\Key%04d]\r\n"Value"="AcmeNeedle %d"\r\n' "$i" "$i"
  done
  for i in $(seq 0 19999); do
    printf '\r\n[HKEY_LOCAL_MACHINE\\Software\\ZZZ ZebGuiBulk\\Key%05d]\r\n"Value"="plain %d"\r\n' "$i" "$i"
  done
} >"$root/many.reg"
"$wine_run" regedit /s "$(winpath "$root/many.reg")" >/dev/null 2>&1
start_zeb /NODESK /NOMENU /NOINI /SEARCH=AcmeNeedle /REPLACE=Replaced
# The walk takes messages only every 100 ms or so, and a message sent to the window waits for
# that: so the driver waits for the first line by its count alone (listing every line costs
# three sent messages a line, which outlasted the scan) and double-clicks at once, in the same
# run of the driver.
act wait-window Tform1 20 click Button1 wait-lines ListBox1 1 120 dblclick ListBox1 0 \
  wait-window TForm2 20
check "review of line 0 during the scan" '\Software\AAA ZebGuiScan\Key0000' \
  "$(ask text TForm2.Subject)"
# The review runs inside the scan's message processing: the scan waits for it.
check "scan still running under the review" 1 \
  "$([ "$(ask text Label3)" != "Workstation Scan Completed" ] && echo 1 || echo 0)"
shot review-during-scan
act click TForm2.Button1 wait-hidden TForm2 5 wait-text Label3 "Workstation Scan Completed" 300
check "every line after the scan" 3000 "$(ask lines ListBox1 | head -1)"
act sleep 500
shot main-window-many-lines
act click Button3
wait_zeb 20
check "exit code after the scan with a review" 0 "$zeb_status"
"$wine_run" reg delete 'HKLM\Software\AAA ZebGuiScan' /f >/dev/null 2>&1
"$wine_run" reg delete 'HKLM\Software\ZZZ ZebGuiBulk' /f >/dev/null 2>&1

# --- Message panel and About box -------------------------------------------------------------
echo "message panel"
printf 'Welcome %%USERNAME%%\r\n100%% sure\r\n%%UNDEFINED_NAME%%\r\n' >"$root/message.txt"
start_zeb "/MESSAGE=$(winpath "$root/message.txt")"
act wait-window TForm3 20
act wait-text TForm3.MessagePanel "Welcome $(id -un)\n100 sure\nUNDEFINED_NAME" 10
# Asked first: the hand-over hides the splash window, and the panel with it, 3 s after the
# start, which a loaded machine reaches before the other questions are through.
check "message panel shown" 1 "$(ask shown TForm3.MessagePanel)"
shot splash-message-panel
read -r mx my mw mh <<<"$(ask client TForm3)"
check "widened splash" "$((sx - 151)) $sy 604 423" "$mx $my $mw $mh"
check "message panel place" "302 0 302 423" "$(ask rect TForm3.MessagePanel)"
act click TForm3.Image2 box-wait 10
check "About box caption" "About ZEB" "$(ask box-caption)"
act box-press OK wait-hidden '#32770' 5
act wait-window Tform1 10
# Closing the main window through its frame ends the program too.
act close Tform1
wait_zeb 20
check "exit code after closing the main window" 0 "$zeb_status"

# --- Unattended runs and /STARTING= ------------------------------------------------------------
echo "unattended runs"
cp "$source_dir/samples/acme/windows/ZEBDEMO.INI" "$ini"
start_zeb /AUTO /NODESK /NOMENU /NOREG
act box-wait 60
check "/AUTO asks before Save" "Information" "$(ask box-caption)"
check "/AUTO shows the main window" 1 "$(ask visible Tform1)"
check "/AUTO: Search disabled" 0 "$(ask enabled Button1)"
check "/AUTO: areas disabled" 0 "$(ask enabled SearchINIFiles)"
act box-press Cancel
wait_zeb 30
check "exit code of /AUTO" 0 "$zeb_status"
check "nothing written after a cancelled /AUTO" "" \
  "$(cmp -s "$ini" "$source_dir/samples/acme/windows/ZEBDEMO.INI" || echo changed)"

start_zeb /STEALTH /NODESK /NOMENU /NOREG
wait_zeb 120
check "exit code of /STEALTH" 0 "$zeb_status"
ini_has 'Default=\\ACME_TREE\Q2.Sales.Acme' || fail "/STEALTH wrote nothing"

start_zeb /STARTING=12/31/2099
wait_zeb 20
check "exit code of /STARTING= in the future" 0 "$zeb_status"

echo "closing the splash window"
start_zeb
act wait-window TForm3 20 close TForm3
wait_zeb 20
check "exit code after closing the splash window" 0 "$zeb_status"

echo "$checks checks, $failures failed; screenshots in $shot_dir"
[ "$failures" -eq 0 ]
