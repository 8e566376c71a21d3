#!/usr/bin/env bash
# End to end, a journaled Save killed half way: on the sample workstation in a fresh Wine
# prefix, with one large key added (thousands of values of every type, binary ones over 16 KB,
# nested subkeys), a "Search and Replace" run renames that key with /STEALTH /JOURNAL=. As
# soon as the journal holds the rename's records (on disk before the move starts), the
# zeb.exe process is killed and the prefix's wineserver stopped. The kill must have landed
# during the move: the journal has no digest of the moved key yet, and the Registry holds
# both the old key and part of the new one. A /ROLLBACK= run of that journal must then leave
# the whole of HKEY_LOCAL_MACHINE and HKEY_USERS (as exported), every INI file and every
# shortcut exactly as before the first run.
#
#   e2e_journal_kill.sh zeb.exe tools-folder source-folder
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/e2e_common.sh"
source "$here/e2e_expect.sh"

zeb=$1 tools=$2 samples=$3/samples/acme
journal='C:\ZEB\kill.jnl'
# The large key and its new name. Nothing else of the prefix holds the old name, so the run's
# only write is this rename (its subkeys go along with it).
old_name=ZebKillBulk new_name=ZebKillMoved
old_key="HKEY_LOCAL_MACHINE\\Software\\$old_name" new_key="HKEY_LOCAL_MACHINE\\Software\\$new_name"
# Its size: parts x values, each part with one binary value of large_bytes. Under Wine its move
# (copy, then deletion) took about 0.8 s here; the kill follows the journal's flush by a few
# hundredths, and was seen to land after 4 to 1,135 of its 24,102 keys and values were copied.
parts=48 values=500 large_bytes=20000

# bulk_key_reg: the large key as REGEDIT4 text. Every value of a part is one of six kinds in
# turn: text, DWORD, short binary, REG_MULTI_SZ, REG_QWORD, REG_NONE; every part also gets one
# large binary value, and the first a nested subkey and an empty one.
bulk_key_reg() {
  awk -v root="$old_key" -v parts="$parts" -v values="$values" -v large="$large_bytes" '
    function hex_bytes(count, seed,   i, out) {
      out = ""
      for (i = 0; i < count; i++) out = out (i ? "," : "") sprintf("%02x", (seed * 31 + i * 7) % 256)
      return out
    }
    BEGIN {
      print "REGEDIT4"; print ""
      print "[" root "]"
      print "@=\"the key itself\""
      for (p = 1; p <= parts; p++) {
        key = root "\\Part" p
        print ""; print "[" key "]"
        for (v = 1; v <= values; v++) {
          n = p * 10000 + v
          kind = v % 6
          if (kind == 0) printf "\"Text%04d\"=\"line %d of part %d\"\n", v, v, p
          else if (kind == 1) printf "\"Number%04d\"=dword:%08x\n", v, n
          else if (kind == 2) printf "\"Bytes%04d\"=hex:%s\n", v, hex_bytes(8, n)
          else if (kind == 3) printf "\"List%04d\"=hex(7):6f,6e,65,00,74,77,6f,00,00\n", v
          else if (kind == 4) printf "\"Wide%04d\"=hex(b):%s\n", v, hex_bytes(8, n)
          else printf "\"Nothing%04d\"=hex(0):\n", v
        }
        printf "\"Large\"=hex:%s\n", hex_bytes(large, p)
      }
      print ""; print "[" root "\\Part1\\Deep\\Deeper]"
      print "\"Where\"=\"two levels down\""
      print ""; print "[" root "\\Part1\\Empty]"
    }'
}

# zeb_in_background report-file switches...: zeb.exe as e2e_run_zeb runs it, on a virtual
# display, but in the background; the pid of its wine process (the wine script and loader
# exec into it) is written to $HARNESS_ROOT/zeb.pid. Sets zeb_job.
zeb_in_background() {
  local report=$1
  shift
  rm -f "$report" "$HARNESS_ROOT/zeb.pid"
  e2e_zeb_switches "$report" /STEALTH "$@"
  # shellcheck disable=SC2016  # the inner shell expands its own arguments
  xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
    pidfile=$1
    shift
    wine "$@" </dev/null &
    echo $! >"$pidfile"
    wait $!
    timeout 60 wineserver -w' zeb_in_background "$HARNESS_ROOT/zeb.pid" \
    'C:\ZEB\zeb.exe' "${E2E_ZEB_SWITCHES[@]}" >"$HARNESS_ROOT/zeb.out" 2>&1 &
  zeb_job=$!
}

# wait_for_zeb_pid seconds: the pid once the background job has written it; sets zeb_pid.
wait_for_zeb_pid() {
  local deadline=$((SECONDS + $1))
  while [ "$SECONDS" -lt "$deadline" ]; do
    zeb_pid=$(cat "$HARNESS_ROOT/zeb.pid" 2>/dev/null)
    [ -n "$zeb_pid" ] && return 0
    sleep 0.05
  done
  e2e_fail "no pid of zeb.exe after $1 s"
}

# wait_for_line file text seconds: true once the file holds the text; false when zeb.exe has
# ended before that or the time is up.
wait_for_line() {
  local file=$1 text=$2 deadline=$((SECONDS + $3))
  while [ "$SECONDS" -lt "$deadline" ]; do
    grep -qF -- "$text" "$file" 2>/dev/null && return 0
    kill -0 "$zeb_pid" 2>/dev/null || { grep -qF -- "$text" "$file" 2>/dev/null; return; }
    sleep 0.05
  done
  return 1
}

# registry_lines_below registry-lines key: how many keys and values of e2e_registry_lines
# output lie in the key's subtree.
registry_lines_below() {
  grep -cF -- "[$2" "$1"
}

# killed_run delay: one journaled run, killed `delay` seconds after the journal holds the
# rename's records (one flush, the target's record last; the move begins after it), with the
# prefix's wineserver stopped after it. Then counts what lies under the old and the new name
# (old_left, new_made) and copies the journal to $HARNESS_ROOT/killed.jnl. False when zeb.exe
# ended, or the time ran out, before the records were there.
killed_run() {
  local delay=$1 found=0
  rm -f "$journal_file"
  zeb_in_background "$HARNESS_ROOT/killed.csv" /SEARCH=$old_name /REPLACE=$new_name "/JOURNAL=$journal"
  wait_for_zeb_pid 30 || return 1
  e2e_check "the background pid is zeb.exe's own process" grep -qaF 'zeb.exe' "/proc/$zeb_pid/cmdline"
  if wait_for_line "$journal_file" "$target_record" 60; then
    sleep "$delay"
    kill -KILL "$zeb_pid"
    found=1
  fi
  cp "$journal_file" "$HARNESS_ROOT/killed.jnl" 2>/dev/null
  wineserver -k 2>/dev/null
  wait "$zeb_job"
  wineserver -w
  [ "$found" -eq 1 ] || return 1
  harness_export_reg 'HKEY_LOCAL_MACHINE\Software' "$HARNESS_ROOT/killed.reg.txt" || return 1
  e2e_registry_lines "$HARNESS_ROOT/killed.reg.txt" >"$HARNESS_ROOT/killed.txt"
  old_left=$(registry_lines_below "$HARNESS_ROOT/killed.txt" "$old_key")
  new_made=$(registry_lines_below "$HARNESS_ROOT/killed.txt" "$new_key")
  echo "killed zeb.exe (pid $zeb_pid) $delay s after the rename's records:" \
    "$old_left keys and values under the old name, $new_made under the new one"
}

started=$SECONDS
harness_make_prefix || { echo "FAILED: no prefix" >&2; exit 1; }
trap harness_stop EXIT
bulk_key_reg >"$HARNESS_ROOT/bulk.reg"
{ harness_copy_wine_fonts "$WINEPREFIX" && e2e_seed_sample_workstation "$samples" "$tools" &&
  e2e_install_zeb "$zeb" "$samples" && harness_seed_reg "$HARNESS_ROOT/bulk.reg"; } ||
  { echo "FAILED: no workstation" >&2; exit 1; }
e2e_snapshot "$HARNESS_ROOT/before" "$tools" || { echo "FAILED: no snapshot" >&2; exit 1; }
bulk_lines=$(registry_lines_below "$HARNESS_ROOT/before/registry.txt" "$old_key")
echo "the large key: $bulk_lines keys and values, $((parts * large_bytes / 1024)) KB of large binary data"
e2e_check "the large key is seeded whole" test "$bulk_lines" -eq $((parts * (values + 2) + 2 + 4))
prepared=$SECONDS

# --- The run, killed during the move ----------------------------------------------------------
journal_file=$(harness_unix_path "$journal")
target_record="HKEY_LOCAL_MACHINE \"\\\\Software\\\\$new_name\" absent"
# A kill that lands before the move's first write (the journal's flush can take that long)
# leaves the Registry as it was: that run proves nothing, and is made again with the kill a
# little later, but still well inside the move.
for delay in 0 0.05 0.1 0.2; do
  killed_run "$delay" || { echo "FAILED: the journal never held the rename's records" >&2; exit 1; }
  if [ "$new_made" -gt 0 ] || [ "$old_left" -ne "$bulk_lines" ]; then break; fi
  echo "  the kill came before the move began: once more, later"
done
ran=$SECONDS

# The kill landed during the move, not after it: the moved key has no "after" digest yet,
# and both the old key and the new one (so far) are there.
source_id=$(grep -F "HKEY_LOCAL_MACHINE \"\\\\Software\\\\$old_name\" begin " "$HARNESS_ROOT/killed.jnl" |
  awk '$1 == "key" { print $2; exit }')
e2e_check "the journal records the whole old key" test -n "$source_id"
# shellcheck disable=SC2016
e2e_check "the journal has no digest of the moved key: Save had not finished it" \
  bash -c '! grep -q "^after $1 " "$2"' _ "${source_id:-none}" "$HARNESS_ROOT/killed.jnl"
e2e_check "the kill did not come before the move: part of the new key is there" test "$new_made" -gt 0
e2e_check "the kill did not come after the move: the old key is still there" test "$old_left" -gt 0

# --- The rollback -----------------------------------------------------------------------------
e2e_run_zeb 90 "$HARNESS_ROOT/rollback.csv" "/ROLLBACK=$journal"
e2e_check "the rollback ends with exit code 0 (was $?)" test $? -eq 0
rolled=$SECONDS
e2e_snapshot "$HARNESS_ROOT/rolled-back" "$tools"
e2e_check "after the rollback the workstation is exactly as before" \
  e2e_same_workstation "$HARNESS_ROOT/before" "$HARNESS_ROOT/rolled-back"
# The new key, begun by the move, goes; the old one was either still whole (a kill during the
# copy) or is put back whole (during the deletion that follows it). Nothing is changed since.
e2e_report_lines "$HARNESS_ROOT/rollback.csv" | tail -n +2 | sed 's/^/  rollback: /'
rollback_lines=$(e2e_report_lines "$HARNESS_ROOT/rollback.csv" | tail -n +2 | grep -v '^[0-9]*,,,,,,,message: ')
e2e_check "the rollback removes what the move made of the new key" \
  grep -qx "[0-9]*,1,HKEY_LOCAL_MACHINE,1,\\\\Software\\\\$new_name,.*,restored" <<<"$rollback_lines"
e2e_check "the rollback finds the old key whole or restores it" \
  grep -qEx "[0-9]+,1,HKEY_LOCAL_MACHINE,1,\\\\Software\\\\$old_name,.*,(restored|already as before)" <<<"$rollback_lines"
e2e_check "the rollback lists those two items and nothing else" test "$(wc -l <<<"$rollback_lines")" -eq 2

echo "prefix and seed $((prepared - started)) s, run and kill $((ran - prepared)) s," \
  "rollback $((rolled - ran)) s, took $SECONDS s"
if [ "$e2e_failures" -gt 0 ]; then
  echo "e2e journal kill: $e2e_failures check(s) FAILED" >&2
  exit 1
fi
echo "e2e journal kill passed"
