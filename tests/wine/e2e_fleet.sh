#!/usr/bin/env bash
# End to end, runs across a fleet: zeb.exe under /REPORTONLY and /QUIET on the sample
# workstation in one fresh Wine prefix, and every exit code of the README's table but the
# journal's (6): 0 nothing to find, 1 no windows, 2 an invalid date, 3 a directory file that
# does not exist, 4 a report that cannot be written, 5 changes found by a run that only
# reports. A quiet run is watched by screenshots of its display, which must stay empty.
#
#   e2e_fleet.sh zeb.exe tools-folder source-folder driver.exe
#
# tools-folder holds make_shortcuts.exe, read_shortcuts.exe and file_version.exe; driver.exe
# is the GUI tests' zeb_driver.exe, which reads and answers the boxes of the runs that show one.
# Last, the version resource and the icon of zeb.exe.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/e2e_common.sh"
source "$here/e2e_expect.sh"
source "$here/e2e_sample_report.sh"

zeb=$1 tools=$2 samples=$3/samples/acme driver=$4
started=$SECONDS
e2e_prepare "$zeb" "$tools" "$samples" || { echo "FAILED: no sample workstation" >&2; exit 1; }
e2e_fill_places || exit 1
report=$HARNESS_ROOT/report.csv
shots=$HARNESS_ROOT/shots.txt
echo "prefix and seed $((SECONDS - started)) s"

# On a display of its own, zeb with the sample's switches (e2e_zeb_switches) and these;
# returns its exit code. While it runs the display is photographed again and again, and the
# number of colours of each picture goes into $shots: an empty screen has one.
fleet_run_watched() {
  rm -f "$report" "$shots"-*
  : >"$shots"
  e2e_zeb_switches "$report" "$@"
  # shellcheck disable=SC2016  # the script's own variables, expanded by the inner bash
  xvfb-run -a -s "-screen 0 640x480x24 -br" bash -c '
    shots=$1
    timeout --kill-after=10 60 wine "${@:2}" </dev/null >/dev/null 2>&1 &
    pid=$!
    n=0
    while
      n=$((n + 1))
      xwd -root -silent >"$shots.xwd" 2>/dev/null
      colours=$(convert "xwd:$shots.xwd" -format "%k" info: 2>/dev/null)
      echo "$colours" >>"$shots"
      # What was on the screen, for a person to look at.
      if [ "$colours" != 1 ]; then
        convert "xwd:$shots.xwd" "$shots-$n.png"
        xwininfo -root -tree >"$shots-$n.txt" 2>&1
      fi
      kill -0 "$pid" 2>/dev/null
    do sleep 0.1; done
    wait "$pid"
    status=$?
    timeout 60 wineserver -w
    exit $status' fleet_run_watched "$shots" 'C:\ZEB\zeb.exe' "${E2E_ZEB_SWITCHES[@]}"
}

# On a display of its own, zeb with the sample's switches and these, its one box read by the
# driver (caption and text into $HARNESS_ROOT/box.txt) and answered with OK; zeb's exit code.
fleet_run_answering() {
  rm -f "$report"
  e2e_zeb_switches "$report" "$@"
  # shellcheck disable=SC2016  # the script's own variables, expanded by the inner bash
  xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
    box=$1 driver=$2
    timeout --kill-after=10 60 wine "${@:3}" </dev/null >/dev/null 2>&1 &
    pid=$!
    wine "$driver" box-wait 30 box-caption box-text box-press OK >"$box" 2>&1
    wait "$pid"
    status=$?
    timeout 60 wineserver -w
    exit $status' fleet_run_answering "$HARNESS_ROOT/box.txt" "$(harness_windows_path "$driver")" \
    'C:\ZEB\zeb.exe' "${E2E_ZEB_SWITCHES[@]}"
}

# Every screenshot of the last watched run showed an empty screen, and there was at least one.
no_window_was_shown() {
  if [ -s "$shots" ] && ! grep -qvx 1 "$shots"; then return 0; fi
  echo "  colours per screenshot: $(sort "$shots" | uniq -c | tr '\n' ' ')" >&2
  local kept=$tools/fleet-screens
  mkdir -p "$kept" && cp "$shots"-* "$kept/" 2>/dev/null &&
    echo "  what was on the screen: $kept" >&2
  grep -h '^ *0x.*"' "$shots"-*.txt 2>/dev/null | sort | uniq -c | head -20 >&2
  rm -f "$shots"-*
  return 1
}

# The report's lines after its header, without line ends.
report_body() {
  e2e_report_lines "$report" | tail -n +2
}

fleet_expect_code() {  # fleet_expect_code what expected actual
  e2e_check "$1: exit code $2 (was $3)" test "$3" -eq "$2"
}

# --- 5: a run that only reports, on the whole sample workstation -------------------------------

e2e_run_zeb 90 "$report" /REPORTONLY
fleet_expect_code "/STEALTH /REPORTONLY on the sample" 5 $?
e2e_snapshot "$HARNESS_ROOT/after" "$tools"
e2e_expect_sample_report proposed
e2e_check "the report lists every proposal" e2e_report_matches "$report"
# Nothing at all, not even the program's key ("Last Run") or the Explorer key.
e2e_check "the Registry is unchanged" \
  e2e_view_matches registry "$HARNESS_ROOT/before" "$HARNESS_ROOT/after" "$E2E_WINE_REGISTRY_NOISE"
e2e_check "every INI file is unchanged" e2e_view_matches ini "$HARNESS_ROOT/before" "$HARNESS_ROOT/after"
e2e_check "every shortcut is unchanged" \
  e2e_view_matches shortcuts "$HARNESS_ROOT/before" "$HARNESS_ROOT/after"
e2e_check "no file of the Windows directory, Desktop or Start Menu changed" \
  e2e_only_files_changed "$HARNESS_ROOT/before" "$HARNESS_ROOT/after"
e2e_check "no temporary report is left beside it" test ! -e "$report.tmp"
cp "$report" "$HARNESS_ROOT/stealth.csv"

# The same run quiet: the same report, and nothing on the screen meanwhile.
fleet_run_watched /QUIET /REPORTONLY
fleet_expect_code "/QUIET /REPORTONLY on the sample" 5 $?
e2e_check "no window while the quiet run scans" no_window_was_shown
e2e_check "the quiet run's report is the same" cmp -s "$report" "$HARNESS_ROOT/stealth.csv"

# --- 0: nothing to find -----------------------------------------------------------------------

e2e_run_zeb 60 "$report" /REPORTONLY /SEARCH=NoSuchTextAnywhere /NOREG
fleet_expect_code "/REPORTONLY with nothing to find" 0 $?
e2e_check "its report holds no line" test -z "$(report_body)"

# --- 2: an invalid date, quiet ------------------------------------------------------------------

fleet_run_watched /QUIET /STARTING=13/45/2026
fleet_expect_code "/QUIET with an invalid /STARTING= date" 2 $?
e2e_check "no window, no box" no_window_was_shown
e2e_check "the date's message is the report's one line" \
  test "$(report_body)" = ",,,,,,,message: '13/45/2026' is not a valid date."

# --- 3: a directory file that does not exist, quiet -------------------------------------------

fleet_run_watched /QUIET '/DIRECTORY=C:\ZEB\missing.ldif'
fleet_expect_code "/QUIET with a directory file that does not exist" 3 $?
e2e_check "no window, no box" no_window_was_shown
e2e_check "the client's message is the report's one line" \
  test "$(report_body)" = ",,,,,,,message: DXCallsInit Failed (-1001)"

# --- A report per computer ----------------------------------------------------------------------

computer=$(wine cmd /c echo %COMPUTERNAME% 2>/dev/null | tr -d '\r')
wineserver -w
per_computer=$HARNESS_ROOT/reports/$computer.csv
mkdir -p "$HARNESS_ROOT/reports"
e2e_run_zeb 60 "$report" /REPORTONLY /NODESK /NOMENU /NOINI /NOREG \
  "/REPORT=$(harness_windows_path "$HARNESS_ROOT/reports")\\%COMPUTERNAME%.csv"
fleet_expect_code "/REPORT= with %COMPUTERNAME%" 0 $?
e2e_check "the report lands at reports/$computer.csv" \
  test -n "$computer" -a -s "$per_computer" -a "$(ls "$HARNESS_ROOT/reports")" = "$computer.csv"

# --- 4: a report in a folder that does not exist -------------------------------------------------

missing=$(harness_windows_path "$HARNESS_ROOT/no-such-folder")\\r.csv
fleet_run_answering /STEALTH /NODESK /NOMENU /NOINI /NOREG "/REPORT=$missing"
fleet_expect_code "/STEALTH with a report in a folder that does not exist" 4 $?
e2e_check "its error is shown" test "$(tr -d '\r' <"$HARNESS_ROOT/box.txt")" = \
  "ZEB"$'\n'"Unable to write report $missing"
fleet_run_watched /QUIET /NODESK /NOMENU /NOINI /NOREG "/REPORT=$missing"
fleet_expect_code "the same quiet" 4 $?
e2e_check "no window, no box" no_window_was_shown

# --- 1: no windows ------------------------------------------------------------------------------

e2e_zeb_switches "$report" /QUIET
rm -f "$report"
env -u DISPLAY timeout 60 wine 'C:\ZEB\zeb.exe' "${E2E_ZEB_SWITCHES[@]}" </dev/null >/dev/null 2>&1
fleet_expect_code "/QUIET without a display" 1 $?
wineserver -w
e2e_check "why is the report's one line" \
  test "$(report_body)" = ",,,,,,,message: Unable to create the window 'ZEB'"

# --- /? -----------------------------------------------------------------------------------------

fleet_run_answering '/?'
fleet_expect_code "/?" 0 $?
box_lists() {  # box_lists switch...: each begins a line of the box's text
  local name
  # The driver writes the text's line breaks as \n.
  for name in "$@"; do
    sed 's/\\n/\n/g' "$HARNESS_ROOT/box.txt" | grep -q "^$name  " || return 1
  done
}
e2e_check "/? lists the switches, one a line" box_lists /REPORTONLY /QUIET /STEALTH /REPORT=file /?
fleet_run_watched /QUIET '/?'
fleet_expect_code "/QUIET /?" 0 $?
e2e_check "no window, no box" no_window_was_shown

# --- What the file's properties show --------------------------------------------------------

wine "$tools/file_version.exe" 'C:\ZEB\zeb.exe' 2>&1 | tr -d '\r' >"$HARNESS_ROOT/version.txt"
e2e_check "zeb.exe carries its version resource and an icon" test "$(cat "$HARNESS_ROOT/version.txt")" = \
  "ProductName=ZEB"$'\n'"FileDescription=ZEB - VRX Alias Scourby Tackwerk"$'\n'"FileVersion=1.0.0.0"$'\n'"ProductVersion=1.0.0.0"$'\n'"icons=1"

echo "took $SECONDS s"
if [ "$e2e_failures" -gt 0 ]; then
  echo "e2e fleet: $e2e_failures check(s) FAILED" >&2
  exit 1
fi
echo "e2e fleet passed"
