#!/usr/bin/env bash
# End to end, a directory server that is not there or stops answering, run by
# tests/ldap/with-slapd.sh with the sample directory loaded:
#   1. nothing listening on the server's port: the start-up fails at once with its message
#      box ("DXCallsInit Failed (-1191)", a connect error);
#   2. the server stops (SIGSTOP) in the middle of a "Dereference Aliases" scan (a proxy in
#      front of it lets a chosen number of requests through first): the run ends by itself
#      within /DIRTIMEOUT=, the report says that the directory failed, and every change it
#      lists is one the whole run makes, written.
#
#   e2e_ldap_failures.sh zeb.exe tools-folder source-folder zeb_driver.exe
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/e2e_common.sh"
source "$here/e2e_expect.sh"
source "$here/e2e_sample_report.sh"

zeb=$1 tools=$2 source_dir=$3 driver=$4 samples=$3/samples/acme
[ -n "${ZEB_TEST_LDAP_URL:-}" ] || { echo "FAILED: run by tests/ldap/with-slapd.sh" >&2; exit 1; }
timeout_seconds=2
e2e_prepare "$zeb" "$tools" "$samples" || { echo "FAILED: no sample workstation" >&2; exit 1; }
e2e_fill_places || exit 1

# --- 1. Nothing listening -------------------------------------------------------------------

closed_port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
e2e_zeb_switches "$HARNESS_ROOT/none.csv" /STEALTH "/DIRTIMEOUT=$timeout_seconds"
E2E_ZEB_SWITCHES[0]="/DIRECTORY=ldap://127.0.0.1:$closed_port"
started=$(date +%s%N)
box=$(xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  driver=$1
  shift
  wine "$@" </dev/null >/dev/null 2>&1 &
  wine "$driver" box-wait 30 >/dev/null 2>&1 && wine "$driver" box-text 2>/dev/null
  wineserver -k' _ "$(harness_windows_path "$driver")" 'C:\ZEB\zeb.exe' "${E2E_ZEB_SWITCHES[@]}" | tr -d '\r')
waited_ms=$((($(date +%s%N) - started) / 1000000))
wineserver -w
echo "no server: the box came after $waited_ms ms (Wine's start included): $box"
e2e_check "the start-up fails with its message box" test "$box" = "DXCallsInit Failed (-1191)"
e2e_check "within the bounded time ($waited_ms ms)" test "$waited_ms" -lt $(((timeout_seconds + 15) * 1000))
e2e_check "no report is written" test ! -e "$HARNESS_ROOT/none.csv"

# --- 2. The server stops answering during the scan -----------------------------------------

# Bind, the user's entry, the alias index, then some of the scan's look-ups (the whole scan of
# the sample takes 12 requests).
allowed=7
python3 "$source_dir/tests/ldap/stalling_proxy.py" "$HARNESS_ROOT/proxy.port" "$ZEB_TEST_SLAPD_DIR" "$allowed" &
proxy=$!
trap 'kill "$proxy" 2>/dev/null; harness_stop' EXIT
for _ in $(seq 1 100); do [ -s "$HARNESS_ROOT/proxy.port" ] && break; sleep 0.05; done
E2E_DIRECTORY="ldap://127.0.0.1:$(cat "$HARNESS_ROOT/proxy.port")"
started=$SECONDS
e2e_run_zeb 90 "$HARNESS_ROOT/report.csv" "/DIRTIMEOUT=$timeout_seconds"
status=$?
took=$((SECONDS - started))
kill "$proxy" 2>/dev/null
echo "stopped server: zeb ended with exit code $status after $took s"
e2e_check "zeb ends by itself (was $status)" test "$status" -ne 124
e2e_check "the report says the directory failed" \
  grep -qF ',message: The directory server stopped answering during the run (LDAP result code 85); every name after that counted as no alias.' "$HARNESS_ROOT/report.csv"

e2e_expect_sample_report written
declare -A whole=()
for record in "${E2E_REPORT_RECORDS[@]}"; do whole["$(e2e_placed "$record")"]=1; done
changes=0 unknown=0
while IFS= read -r line; do
  case $line in line,* | *,message:*) continue ;; esac
  changes=$((changes + 1))
  if [ -z "${whole[${line#*,}]:-}" ]; then
    echo "  not a change of the whole run, or not written: $line" >&2
    unknown=$((unknown + 1))
  fi
done < <(e2e_report_lines "$HARNESS_ROOT/report.csv")
echo "stopped server: $changes of the whole run's ${#E2E_REPORT_RECORDS[@]} changes found before it stopped"
e2e_check "every change listed is one the whole run makes, written" test "$unknown" -eq 0
e2e_check "some changes came before the server stopped, not all" \
  test "$changes" -gt 0 -a "$changes" -lt "${#E2E_REPORT_RECORDS[@]}"

e2e_report_lines "$HARNESS_ROOT/report.csv"
if [ "$e2e_failures" -gt 0 ]; then
  echo "e2e ldap failures: $e2e_failures check(s) FAILED" >&2
  exit 1
fi
echo "e2e ldap failures passed"
