#!/usr/bin/env bash
# Checks the Wine harness end to end: a private prefix, a Registry key and an INI file
# seeded into it and read back, a program run on a virtual display, a hung program killed.
#
#   harness_selftest.sh [build-dir]     (the prefix is made under it, else under /tmp)
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/harness.sh"

failures=0
check() {  # check description command...
  local what=$1
  shift
  if "$@"; then
    echo "ok: $what"
  else
    echo "harness self-test FAILED: $what" >&2
    failures=$((failures + 1))
  fi
}

if [ -n "${1:-}" ]; then parent=$1/wine-harness; else parent=${TMPDIR:-/tmp}; fi
harness_make_prefix "$parent" || { echo "harness self-test FAILED: no prefix" >&2; exit 1; }
trap harness_stop EXIT
work=$HARNESS_ROOT/work
mkdir -p "$work"

# The seed is ANSI text (REGEDIT4, Windows-1252): "Caf\xe9" must come back as UTF-8 "Café".
printf 'REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\Varnok\\Consulting\\ZEB]\r\n"Last Run"="12/8/2026"\r\n"Count"=dword:0000002a\r\n"Name"="Caf\xe9"\r\n' >"$work/seed.reg"
check "seed the Registry from .reg text" harness_seed_reg "$work/seed.reg"
check "export the key as UTF-8 text" \
  harness_export_reg 'HKEY_LOCAL_MACHINE\Software\Varnok\Consulting\ZEB' "$work/export.txt"
for line in '[HKEY_LOCAL_MACHINE\Software\Varnok\Consulting\ZEB]' '"Last Run"="12/8/2026"' \
  '"Count"=dword:0000002a' '"Name"="Café"'; do
  check "the export holds $line" grep -qxF "$line" "$work/export.txt"
done
missing_key_exports_nothing() {
  ! harness_export_reg 'HKEY_LOCAL_MACHINE\Software\NoSuchVendor' "$work/none.txt" 2>/dev/null
}
check "a missing key exports nothing" missing_key_exports_nothing

printf '[Demo]\r\nPath=\\\\ACME_TREE\\.SYS.Unit.Org\\APPS\r\n' >"$work/seed.ini"
check "seed an INI file into drive C:" harness_seed_file "$work/seed.ini" 'C:\windows\zebself\ZEBSELF.INI'
check "the file lies where C: names it" \
  cmp -s "$work/seed.ini" "$WINEPREFIX/drive_c/windows/zebself/ZEBSELF.INI"
harness_run 60 cmd /c type 'C:\windows\zebself\ZEBSELF.INI' >"$work/typed.txt" 2>/dev/null
check "a program run under xvfb-run reads the file back" cmp -s "$work/seed.ini" "$work/typed.txt"

harness_run 60 cmd /c exit 7 >/dev/null 2>&1
check "a program's exit code comes back" test $? -eq 7
started=$(date +%s)
harness_run 3 cmd /c 'for /l %i in (1,0,2) do rem' >/dev/null 2>&1
status=$?
check "a hung program is killed at its time limit" test "$status" -eq 124 -a $(($(date +%s) - started)) -lt 30

if [ "$failures" -gt 0 ]; then
  echo "harness self-test: $failures check(s) FAILED" >&2
  exit 1
fi
echo "harness self-test passed (prefix made in $HARNESS_PREFIX_SECONDS s)"
