#!/usr/bin/env bash
# End to end, the undo journal: on the sample workstation in a fresh Wine prefix, a
# "Dereference Aliases" run with /JOURNAL= and a /ROLLBACK= run of its journal leave the whole
# of HKEY_LOCAL_MACHINE and HKEY_USERS (as exported), every INI file and every shortcut
# exactly as before; the same for a "Search and Replace" run with nested key renames. Then a
# value changed by hand between run and rollback is reported "changed since" and left alone
# while everything else is restored; and a journal with one record altered, and one another
# computer signed, are refused with nothing written.
#
#   e2e_journal.sh zeb.exe tools-folder source-folder
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/e2e_common.sh"
source "$here/e2e_expect.sh"

zeb=$1 tools=$2 samples=$3/samples/acme
journal='C:\ZEB\run.jnl'
e2e_prepare "$zeb" "$tools" "$samples" || { echo "FAILED: no sample workstation" >&2; exit 1; }
e2e_fill_places || exit 1
# Each comparison leaves out the computer's journal key (E2E_JOURNAL_NOISE in e2e_expect.sh).

# journaled_then_rolled_back name [switches...]: the run with the journal, then the rollback.
journaled_then_rolled_back() {
  local name=$1
  shift
  e2e_run_zeb 90 "$HARNESS_ROOT/$name.csv" "/JOURNAL=$journal" "$@"
  e2e_check "$name: the journaled run ends with exit code 0 (was $?)" test $? -eq 0
  e2e_snapshot "$HARNESS_ROOT/$name-after" "$tools"
  # shellcheck disable=SC2016  # the inner shell expands its own arguments
  e2e_check "$name: the run changed the workstation" \
    bash -c '! diff -q "$1/registry.txt" "$2/registry.txt" >/dev/null' _ \
    "$HARNESS_ROOT/before" "$HARNESS_ROOT/$name-after"
  e2e_check "$name: the report names the journal" \
    grep -q "message: undo journal C:.ZEB.run.jnl" "$HARNESS_ROOT/$name.csv"
  cp "$(harness_unix_path "$journal")" "$HARNESS_ROOT/$name.jnl"
  e2e_run_zeb 90 "$HARNESS_ROOT/$name-rollback.csv" "/ROLLBACK=$journal"
  e2e_check "$name: the rollback ends with exit code 0 (was $?)" test $? -eq 0
  e2e_snapshot "$HARNESS_ROOT/$name-rolled-back" "$tools"
  e2e_check "$name: after the rollback the workstation is exactly as before" \
    e2e_same_workstation "$HARNESS_ROOT/before" "$HARNESS_ROOT/$name-rolled-back"
  # shellcheck disable=SC2016
  e2e_check "$name: every item of the rollback is restored" \
    bash -c '! tr -d "\r" <"$1" | tail -n +2 | grep -v ",restored$" | grep -v "^[0-9]*,,,,,,,message: "' _ \
    "$HARNESS_ROOT/$name-rollback.csv"
}

journaled_then_rolled_back dereference
journaled_then_rolled_back search /SEARCH=acme /REPLACE=NewCo

# --- Changed by hand between run and rollback ----------------------------------------------
e2e_run_zeb 90 "$HARNESS_ROOT/again.csv" "/JOURNAL=$journal"
e2e_placed 'HKEY_USERS\{SID}\Software\ZebSample\Windows' >"$HARNESS_ROOT/hand.key"
wine reg add "$(cat "$HARNESS_ROOT/hand.key")" /v UserName /d 'Set.By.Hand' /f >/dev/null 2>&1
wineserver -w
e2e_run_zeb 90 "$HARNESS_ROOT/hand-rollback.csv" "/ROLLBACK=$journal"
e2e_snapshot "$HARNESS_ROOT/hand-rolled-back" "$tools"
E2E_VIEW_CHANGES[registry]=$(printf -- '- [%s]\t"UserName"="Bob.Sales.Acme"\n+ [%s]\t"UserName"="Set.By.Hand"' \
  "$(cat "$HARNESS_ROOT/hand.key")" "$(cat "$HARNESS_ROOT/hand.key")")
e2e_check "changed by hand: that value is left alone and everything else is restored" \
  e2e_view_matches registry "$HARNESS_ROOT/before" "$HARNESS_ROOT/hand-rolled-back" "$E2E_JOURNAL_NOISE"
unset 'E2E_VIEW_CHANGES[registry]'
e2e_check "changed by hand: the report says so for that one item" \
  test "$(tr -d '\r' <"$HARNESS_ROOT/hand-rollback.csv" | grep -c ',changed since$')" -eq 1
e2e_check "changed by hand: the line is that value's" \
  grep -q 'ZebSample\\Windows,UserName,.*,changed since' "$HARNESS_ROOT/hand-rollback.csv"

# --- A journal with one record altered ------------------------------------------------------
e2e_run_zeb 90 "$HARNESS_ROOT/third.csv" "/JOURNAL=$journal"
e2e_snapshot "$HARNESS_ROOT/third-after" "$tools"
cp "$(harness_unix_path "$journal")" "$HARNESS_ROOT/third.jnl"
sed -i '0,/"Rob"/s//"Eve"/' "$(harness_unix_path "$journal")"
# The refusal is an error box, which an unattended run still shows (and waits at): the run
# is stopped after a while, and must have written nothing.
e2e_run_zeb 25 "$HARNESS_ROOT/altered.csv" "/ROLLBACK=$journal"
e2e_snapshot "$HARNESS_ROOT/altered-after" "$tools"
e2e_check "an altered journal: nothing is written" \
  e2e_same_workstation "$HARNESS_ROOT/third-after" "$HARNESS_ROOT/altered-after"
# shellcheck disable=SC2016
e2e_check "an altered journal: the report lists no restoration" \
  bash -c '! tr -d "\r" <"$1" 2>/dev/null | grep -q ",restored$"' _ "$HARNESS_ROOT/altered.csv"

# --- A journal another computer signed --------------------------------------------------------
# Every computer signs with its own random key: with this computer's key replaced by another,
# the unaltered journal is one another computer wrote. /QUIET turns the refusal's box into a
# report line, so the run ends by itself and says why.
other_key=$(head -c 32 /dev/urandom | od -An -tx1 | tr -d ' \n')
wine reg add 'HKEY_LOCAL_MACHINE\Software\Varnok\Consulting\ZEB\Journal' /v Key /t REG_BINARY \
  /d "$other_key" /f >/dev/null 2>&1
timeout 60 wineserver -w
e2e_snapshot "$HARNESS_ROOT/other-before" "$tools"
cp "$HARNESS_ROOT/third.jnl" "$(harness_unix_path "$journal")"
e2e_run_zeb 60 "$HARNESS_ROOT/other.csv" /QUIET "/ROLLBACK=$journal"
status=$?
e2e_check "another computer's journal: the rollback ends with a failure's exit code (was $status)" \
  test "$status" -ne 0 -a "$status" -ne 124
e2e_check "another computer's journal: the report says it does not verify" \
  grep -q 'message: .*does not verify' "$HARNESS_ROOT/other.csv"
e2e_snapshot "$HARNESS_ROOT/other-after" "$tools"
e2e_check "another computer's journal: nothing is written" \
  e2e_same_workstation "$HARNESS_ROOT/other-before" "$HARNESS_ROOT/other-after"
# shellcheck disable=SC2016
e2e_check "another computer's journal: the report lists no restoration" \
  bash -c '! tr -d "\r" <"$1" | grep -q ",restored$"' _ "$HARNESS_ROOT/other.csv"

echo "took $SECONDS s"
if [ "$e2e_failures" -gt 0 ]; then
  echo "e2e journal: $e2e_failures check(s) FAILED" >&2
  exit 1
fi
echo "e2e journal passed"
