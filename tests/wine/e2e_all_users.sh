#!/usr/bin/env bash
# End to end, "/ALLUSERS": zeb.exe /STEALTH /ALLUSERS in a fresh Wine prefix whose current
# user has a shortcut on the Desktop, with two more profiles whose hives are not loaded (each
# with an aliased name in its hive and a shortcut on its Desktop), a third profile without
# its NTUSER.DAT, and a shortcut on the common Desktop. The hives are made by the platform's
# own RegSaveKey (tools/save_hive.exe).
#
#   e2e_all_users.sh zeb.exe tools-folder source-folder
#
# Wine does not write a loaded hive back to its file, so the hives' writes are checked
# through the report ("written"), the shortcuts in their files; afterwards no profile's hive
# may be left loaded under HKEY_USERS. The run is journaled, and a /ROLLBACK= of its journal
# then loads the hives the journal names again, finds their items as they were before (their
# files never held the writes), brings every shortcut file back byte for byte, and again
# leaves no hive loaded. Aliases of the sample directory used here:
#   Bob.Sales.Acme -> Robert.Marketing.Acme    SYS.Unit.Org -> Vol1.Org
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=e2e_common.sh
source "$here/e2e_common.sh"
# shellcheck source=e2e_expect.sh
source "$here/e2e_expect.sh"

zeb=$1 tools=$2 samples=$3/samples/acme
harness_make_prefix || exit 1
trap harness_stop EXIT
e2e_fill_places || exit 1

ALICE=S-1-5-21-0-0-0-1001 CAROL=S-1-5-21-0-0-0-1002 DAVE=S-1-5-21-0-0-0-1003
OLD='\\ACME_TREE\Org\Unit\SYS' NEW='\\ACME_TREE\Org\Vol1'

# REG_EXPAND_SZ data for a REGEDIT4 file: hex(2) of the ANSI text and its zero. (Wine's
# regedit reads a version 5 file that is not UTF-16 through its ANSI parser, which would
# take UTF-16 hex data for ANSI text and keep only the first character.)
expand_sz() {
  printf 'hex(2):%s00' "$(printf '%s' "$1" | od -An -tx1 -v | tr -s ' \n' ',' | sed 's/^,//')"
}

seed=$HARNESS_ROOT/profiles.reg
explorer='Software\Microsoft\Windows\CurrentVersion\Explorer'
list='HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\ProfileList'
staging='HKEY_CURRENT_USER\Software\ZebProfileSeed'
{
  printf 'REGEDIT4\n\n'
  printf '[%s\\%s]\n"ProfileImagePath"="C:\\\\users\\\\alice"\n\n' "$list" "$ALICE"
  printf '[%s\\%s]\n"ProfileImagePath"=%s\n\n' "$list" "$CAROL" "$(expand_sz '%SystemDrive%\users\carol')"
  printf '[%s\\%s]\n"ProfileImagePath"="C:\\\\users\\\\dave"\n\n' "$list" "$DAVE"
  # alice's Desktop from her "Shell Folders", carol's from her "User Shell Folders".
  printf '[%s\\alice\\%s\\Shell Folders]\n"Desktop"="C:\\\\users\\\\alice\\\\Desktop"\n\n' "$staging" "$explorer"
  printf '[%s\\alice\\Software\\ZebSample\\Windows]\n"UserName"="Bob.Sales.Acme"\n\n' "$staging"
  printf '[%s\\carol\\%s\\User Shell Folders]\n"Desktop"=%s\n\n' "$staging" "$explorer" "$(expand_sz '%USERPROFILE%\Desktop')"
  printf '[%s\\carol\\Software\\ZebSample\\Windows]\n"Home"="\\\\\\\\ACME_TREE\\\\.Bob.Sales.Acme\\\\HOME"\n\n' "$staging"
} >"$seed"
harness_seed_reg "$seed" || exit 1

for user in alice carol dave; do mkdir -p "$(harness_unix_path "C:\\users\\$user")"; done
for user in alice carol; do
  wine "$tools/save_hive.exe" "Software\\ZebProfileSeed\\$user" "C:\\users\\$user\\NTUSER.DAT" ||
    { echo "FAILED: no hive for $user" >&2; exit 1; }
done
wine reg delete 'HKCU\Software\ZebProfileSeed' /f >/dev/null 2>&1
wineserver -w

# One shortcut in each Desktop: the current user's (a folder of the prefix, not Wine's link
# to the home folder), alice's, carol's and the common one.
desktop=$(e2e_windows_to_unix "$E2E_DESKTOP")
if [ -L "$desktop" ]; then rm "$desktop" && mkdir "$desktop" || exit 1; fi
make_desktop() {  # make_desktop folder file target [working directory]
  local description=$HARNESS_ROOT/shortcut.txt
  printf 'Desktop | %s | %s | %s | |\n' "$2" "$3" "${4:-}" >"$description"
  wine "$tools/make_shortcuts.exe" "$(harness_windows_path "$description")" "$1" "$1\\..\\Start Menu" ||
    e2e_fail "cannot make $1\\$2"
}
common=$(e2e_reg_string "HKEY_LOCAL_MACHINE\\$explorer\\Shell Folders" 'Common Desktop')
make_desktop "$E2E_DESKTOP" Mine.lnk "$OLD\\APPS\\MINE.EXE" || exit 1
make_desktop 'C:\users\alice\Desktop' WordPro.lnk "$OLD\\APPS\\WP.EXE" "$OLD\\APPS" || exit 1
make_desktop 'C:\users\carol\Desktop' Reports.lnk "$OLD\\DATA\\REPORT.EXE" || exit 1
make_desktop "$common" Common.lnk "$OLD\\APPS\\COMMON.EXE" || exit 1
wineserver -w
e2e_install_zeb "$zeb" "$samples" || exit 1
journal='C:\ZEB\run.jnl'
links=("$E2E_DESKTOP\\Mine.lnk" 'C:\users\alice\Desktop\WordPro.lnk'
  'C:\users\carol\Desktop\Reports.lnk' "$common\\Common.lnk")
mkdir -p "$HARNESS_ROOT/links-before"
for i in "${!links[@]}"; do cp "$(e2e_windows_to_unix "${links[i]}")" "$HARNESS_ROOT/links-before/$i"; done
users_before=$(wine reg query HKEY_USERS 2>/dev/null | tr -d '\r' | grep -v '^$')
prepared=$SECONDS

e2e_run_zeb 120 "$HARNESS_ROOT/report.csv" /ALLUSERS "/JOURNAL=$journal"
status=$?
wineserver -w
echo "prepared in $prepared s, zeb $((SECONDS - prepared)) s"
e2e_check "zeb ends by itself with exit code 0 (was $status)" test "$status" -eq 0

# --- The report: every record without its line number, in order -------------------------------

expected=(
  "1,SHORTCUT,4,$E2E_DESKTOP\\Mine.lnk,$OLD\\APPS\\MINE.EXE,$NEW\\APPS\\MINE.EXE,written"
  "1,SHORTCUT,4,C:\\users\\alice\\Desktop\\WordPro.lnk,$OLD\\APPS\\WP.EXE,$NEW\\APPS\\WP.EXE,written"
  "1,SHORTCUT,5,C:\\users\\alice\\Desktop\\WordPro.lnk,$OLD\\APPS,$NEW\\APPS,written"
  "1,SHORTCUT,4,C:\\users\\carol\\Desktop\\Reports.lnk,$OLD\\DATA\\REPORT.EXE,$NEW\\DATA\\REPORT.EXE,written"
  "1,SHORTCUT,4,$common\\Common.lnk,$OLD\\APPS\\COMMON.EXE,$NEW\\APPS\\COMMON.EXE,written"
  "1,HKEY_USERS,3,\\$ALICE\\Software\\ZebSample\\Windows,UserName,Robert.Marketing.Acme,written"
  "1,HKEY_USERS,3,\\$CAROL\\Software\\ZebSample\\Windows,Home,\\\\ACME_TREE\\Robert.Marketing.Acme\\HOME,written"
  ",,,,,,message: Profile $DAVE left out: its hive C:\\users\\dave\\NTUSER.DAT cannot be loaded (the file is missing)"
  ",,,,,,message: undo journal $journal"
)
report_matches() {  # report_matches report.csv: its records are those in `expected`
  local -a records=()
  # The rollback's own line names the computer and the time: checked apart.
  mapfile -t records < <(e2e_report_lines "$1" | tail -n +2 | sed 's/^[0-9]*,//' |
    grep -v '^,,,,,,message: rollback of the journal ')
  local ok=0 i
  for ((i = 0; i < ${#expected[@]} || i < ${#records[@]}; i++)); do
    if [ "${records[i]:-<none>}" != "${expected[i]:-<none>}" ]; then
      printf '  record %d is   %s\n  expected       %s\n' $((i + 1)) "${records[i]:-<none>}" \
        "${expected[i]:-<none>}" >&2
      ok=1
    fi
  done
  return $ok
}
e2e_check "the report holds every profile's changes, written, and the profile left out" \
  report_matches "$HARNESS_ROOT/report.csv"

# --- The shortcuts and HKEY_USERS afterwards ---------------------------------------------------

targets_are_new() {
  local path target directory ok=0
  while IFS=$'\t' read -r path target directory _; do
    case $target in
      "$NEW"\\*) ;;
      *) echo "  $path still targets $target" >&2; ok=1 ;;
    esac
    if [ "${path##*\\}" = WordPro.lnk ] && [ "$directory" != "$NEW\\APPS" ]; then
      echo "  $path works in $directory" >&2
      ok=1
    fi
  done < <(wine "$tools/read_shortcuts.exe" "$E2E_DESKTOP\\Mine.lnk" \
    'C:\users\alice\Desktop\WordPro.lnk' 'C:\users\carol\Desktop\Reports.lnk' \
    "$common\\Common.lnk" 2>/dev/null | tr -d '\r')
  return $ok
}
e2e_check "every Desktop's shortcut holds the new target" targets_are_new

users_after=$(wine reg query HKEY_USERS 2>/dev/null | tr -d '\r' | grep -v '^$')
e2e_check "no profile's hive is left loaded under HKEY_USERS" test "$users_after" = "$users_before"
not_loaded_before() { ! grep -q -e "$ALICE" -e "$CAROL" <<<"$users_before"; }
e2e_check "the other profiles' hives were not loaded before the run either" not_loaded_before

# --- The journal's rollback ---------------------------------------------------------------------

cp "$(harness_unix_path "$journal")" "$HARNESS_ROOT/run.jnl"
names_hive() { grep -qF "hive \"$1\" \"C:\\\\users\\\\$2\\\\NTUSER.DAT\" " "$HARNESS_ROOT/run.jnl"; }
e2e_check "the journal names alice's hive" names_hive "$ALICE" alice
e2e_check "the journal names carol's hive" names_hive "$CAROL" carol
# The checks' wineserver gone first: zeb's run must start its own, on the virtual display.
wineserver -w
rolled_back=$SECONDS
e2e_run_zeb 120 "$HARNESS_ROOT/rollback.csv" "/ROLLBACK=$journal"
status=$?
wineserver -w
echo "rollback $((SECONDS - rolled_back)) s"
e2e_check "the rollback ends by itself with exit code 0 (was $status)" test "$status" -eq 0

# Newest first; the hives' items hold what they held before, since Wine kept no write.
expected=(
  "1,HKEY_USERS,3,\\$CAROL\\Software\\ZebSample\\Windows,Home,as before (journal record 6),already as before"
  "1,HKEY_USERS,3,\\$ALICE\\Software\\ZebSample\\Windows,UserName,as before (journal record 5),already as before"
  "1,SHORTCUT,4,$common\\Common.lnk,,as before (journal record 4),restored"
  "1,SHORTCUT,4,C:\\users\\carol\\Desktop\\Reports.lnk,,as before (journal record 3),restored"
  "1,SHORTCUT,4,C:\\users\\alice\\Desktop\\WordPro.lnk,,as before (journal record 2),restored"
  "1,SHORTCUT,4,$E2E_DESKTOP\\Mine.lnk,,as before (journal record 1),restored"
)
e2e_check "the rollback restores every shortcut and finds the hives' items as before" \
  report_matches "$HARNESS_ROOT/rollback.csv"
e2e_check "the rollback's report names the journal" \
  grep -qF ",message: rollback of the journal $journal written on " "$HARNESS_ROOT/rollback.csv"
links_as_before() {
  local i ok=0
  for i in "${!links[@]}"; do
    cmp -s "$HARNESS_ROOT/links-before/$i" "$(e2e_windows_to_unix "${links[i]}")" ||
      { echo "  ${links[i]} differs from before the run" >&2; ok=1; }
  done
  return $ok
}
e2e_check "every shortcut file is byte for byte as before the run" links_as_before
users_after=$(wine reg query HKEY_USERS 2>/dev/null | tr -d '\r' | grep -v '^$')
e2e_check "no profile's hive is left loaded under HKEY_USERS after the rollback" \
  test "$users_after" = "$users_before"

echo "report:"
e2e_report_lines "$HARNESS_ROOT/report.csv"
echo "rollback report:"
e2e_report_lines "$HARNESS_ROOT/rollback.csv"
echo "journal:"
cut -c1-160 "$HARNESS_ROOT/run.jnl"
echo "took $SECONDS s"
if [ "$e2e_failures" -gt 0 ]; then
  echo "e2e all users: $e2e_failures check(s) FAILED" >&2
  exit 1
fi
echo "e2e all users passed"
