#!/usr/bin/env bash
# End to end, mode "Dereference Aliases": zeb.exe /STEALTH on the sample workstation in a
# fresh Wine prefix, against the sample directory (tree ACME_TREE). Checks the report record
# by record, then the Registry, the INI files and the shortcuts change by change, and that
# nothing else in the Registry, the Windows directory or the two shortcut trees changed.
#
#   e2e_dereference.sh zeb.exe tools-folder source-folder
#
# tools-folder holds make_shortcuts.exe and read_shortcuts.exe. The expected report and the
# aliases it follows from are in e2e_sample_report.sh.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/e2e_common.sh"
source "$here/e2e_expect.sh"
source "$here/e2e_sample_report.sh"

zeb=$1 tools=$2 samples=$3/samples/acme
started=$SECONDS
e2e_prepare "$zeb" "$tools" "$samples" || { echo "FAILED: no sample workstation" >&2; exit 1; }
e2e_fill_places || exit 1
prepared=$SECONDS

e2e_run_zeb 90 "$HARNESS_ROOT/report.csv"
status=$?
ran=$SECONDS
e2e_snapshot "$HARNESS_ROOT/after" "$tools"
echo "prefix and seed $((prepared - started)) s, zeb $((ran - prepared)) s, snapshots $((SECONDS - ran)) s"
e2e_check "zeb ends by itself with exit code 0 (was $status)" test "$status" -eq 0
e2e_check "zeb writes the report" test -s "$HARNESS_ROOT/report.csv"

# --- The report -------------------------------------------------------------------------------

e2e_expect_sample_report written

e2e_check "the report holds exactly the expected records, in order" \
  e2e_report_matches "$HARNESS_ROOT/report.csv"

# --- The Registry afterwards ------------------------------------------------------------------

HKLM=HKEY_LOCAL_MACHINE
client='HKEY_LOCAL_MACHINE\Software\Varnok'
sample='HKEY_LOCAL_MACHINE\Software\ZebSample'
user='HKEY_USERS\{SID}\Software\ZebSample'
e2e_expect_value "$HKLM\\Network\\Varnok\\System Config\\Dalvexa Redirector\\Name Context" '"0"=".Old.Acme"' '"0"=".Sales.Acme"'
e2e_expect_value "$client\\Station Keeper\\Identification" '"Default User"="CN=Bob.OU=Sales.O=Acme"' '"Default User"="Robert.Marketing.Acme"'
e2e_expect_value "$client\\Station Keeper\\Client Config" '"Default Printer"="Q1.Sales.Acme"' '"Default Printer"="Q2.Sales.Acme"'
e2e_expect_value "$client\\Login\\History\\Contexts" '"0"="Rob.Sales.Acme"' '"0"="Robert.Sales.Acme"'
e2e_expect_value "$client\\Login\\History\\Contexts" '"1"="Zoe.Sales.Acme"' '"1"="Zoé.Équipe.Acme"'
e2e_expect_value "$client\\Place Presets\\Services\\{5A0B7C3E-2D41-4F8A-9C6B-7E1D2F3A4B5C}\\Default\\Tab1" \
  '"Default Context"=".Alice.Marketing.Acme"' '"Default Context"=".Alice.Sales.Acme"'
e2e_expect_value "$client\\DXGINA\\Login Screen" '"DefaultDalvexaUserName"="Rob"' '"DefaultDalvexaUserName"="Robert"'
e2e_expect_key - "$sample\\Cache\\Bob.Sales.Acme.ACME_TREE" '"Seen"="yes"'
e2e_expect_key + "$sample\\Cache\\Robert.Marketing.Acme.ACME_TREE" '"Seen"="yes"'
e2e_expect_value "$sample\\Drives" '"\\\\ACME_TREE\\.SYS.Unit.Org\\PUBLIC"=dword:00000001' '"\\\\ACME_TREE\\Vol1.Org\\PUBLIC"=dword:00000001'
e2e_expect_key - "$sample\\Printers\\././ACME_TREE./..CN=Q1..OU=Sales..O=Acme" '"Attributes"=dword:00000040'
e2e_expect_key + "$sample\\Printers\\././ACME_TREE./..Q2..Sales..Acme" '"Attributes"=dword:00000040'
e2e_expect_value "$sample\\Services" '"Queue"="Dalvexa Services;;\\\\ACME_TREE\\Acme\\Sales\\Q1"' '"Queue"="Dalvexa Services;;\\\\ACME_TREE\\Acme\\Sales\\Q2"'
e2e_expect_value 'HKEY_USERS\.Default\Software\Classes\ZebSample.Document' '"UserName"="Bob.Sales.Acme"' '"UserName"="Robert.Marketing.Acme"'
# The connection key is renamed with its subkey; the subkey's own rename then finds it moved.
e2e_expect_key - "$user\\Printers\\Connections\\,,ACME_TREE,Sales.Acme,Q1" '"Server"="ACME_TREE"'
e2e_expect_key - "$user\\Printers\\Connections\\,,ACME_TREE,Sales.Acme,Q1\\Settings" '"Paper"="A4"'
e2e_expect_key + "$user\\Printers\\Connections\\,,ACME_TREE,Q2.Sales.Acme" '"Server"="ACME_TREE"'
e2e_expect_key + "$user\\Printers\\Connections\\,,ACME_TREE,Q2.Sales.Acme\\Settings" '"Paper"="A4"'
e2e_expect_value "$user\\Trees" '"ACME_TREE"="Bob.Sales.Acme"' '"ACME_TREE"="Robert.Marketing.Acme"'
e2e_expect_value "$user\\Trees" '"ACME_TREE_______________________"="Alice.Marketing.Acme"' '"ACME_TREE_______________________"="Alice.Sales.Acme"'
e2e_expect_value "$user\\Users\\ACME_TREE\\Alice" '"DirectoryContext"="Marketing.Acme"' '"DirectoryContext"="Sales.Acme"'
# Values are written before keys are renamed: the new context moves with Bob's key.
e2e_expect_key - "$user\\Users\\ACME_TREE\\Bob" '"DirectoryContext"="Sales.Acme"'
e2e_expect_key + "$user\\Users\\ACME_TREE\\Robert" '"DirectoryContext"="Marketing.Acme"'
e2e_expect_key - "$user\\Users\\ACME_TREE\\Rob.Sales.Acme" '"DN"="Rob.Sales.Acme"'
e2e_expect_key + "$user\\Users\\ACME_TREE\\Robert.Sales.Acme" '"DN"="Robert.Sales.Acme"'
e2e_expect_value "$user\\Windows" '"Apps"="\\\\ACME_TREE\\Org\\Unit\\SYS\\APPS"' '"Apps"="\\\\ACME_TREE\\Org\\Vol1\\APPS"'
e2e_expect_value "$user\\Windows" '"Context"="Rob.Sales.Acme"' '"Context"="Robert.Sales.Acme"'
e2e_expect_value "$user\\Windows" '"Device"="\\\\ACME_TREE\\Acme\\Sales\\Q1,winspool,Ne00:"' '"Device"="\\\\ACME_TREE\\Acme\\Sales\\Q2,winspool,Ne00:"'
e2e_expect_value "$user\\Windows" '"Home"="\\\\ACME_TREE\\.Bob.Sales.Acme\\HOME"' '"Home"="\\\\ACME_TREE\\Robert.Marketing.Acme\\HOME"'
e2e_expect_value "$user\\Windows" '"UserName"="Bob.Sales.Acme"' '"UserName"="Robert.Marketing.Acme"'

e2e_check "the Registry changed exactly as expected" \
  e2e_view_matches registry "$HARNESS_ROOT/before" "$HARNESS_ROOT/after" "$E2E_WINE_REGISTRY_NOISE"

# --- INI files and shortcuts afterwards -------------------------------------------------------

demo='C:\windows\ZEBDEMO.INI'
e2e_expect_ini "$demo" '[Printers]' 'Default=\\ACME_TREE\.Q1.Sales.Acme' 'Default=\\ACME_TREE\Q2.Sales.Acme'
e2e_expect_ini "$demo" '[Printers]' 'Typeful=\\ACME_TREE\.CN=Q1.OU=Sales.O=Acme' 'Typeful=\\ACME_TREE\Q2.Sales.Acme'
e2e_expect_ini "$demo" '[Mail]' 'Owner=\\acme_tree\.bob.sales.acme' 'Owner=\\ACME_TREE\Robert.Marketing.Acme'
# Renamed and given its new value: one entry.
e2e_expect_ini "$demo" '[Mail]' '\\ACME_TREE\.Bob.Sales.Acme=\\ACME_TREE\.SYS.Unit.Org' '\\ACME_TREE\Robert.Marketing.Acme=\\ACME_TREE\Vol1.Org'
e2e_expect_ini "$demo" '[Fax]' 'Default=\\ACME_TREE\.Q1.Sales.Acme' 'Default=\\ACME_TREE\Q2.Sales.Acme'
e2e_expect_ini 'C:\windows\ZEBHIDDN.INI' '[Hidden]' 'User=\\ACME_TREE\.Bob.Sales.Acme' 'User=\\ACME_TREE\Robert.Marketing.Acme'
e2e_expect_ini 'C:\windows\zebdemo\ZEBSUB.INI' '[Volumes]' 'Apps=\\ACME_TREE\.SYS.Unit.Org' 'Apps=\\ACME_TREE\Vol1.Org'
e2e_check "the INI files changed exactly as expected" \
  e2e_view_matches ini "$HARNESS_ROOT/before" "$HARNESS_ROOT/after"

e2e_expect_shortcut '{DESKTOP}\WordPro.lnk' \
  '\\ACME_TREE\Org\Unit\SYS\APPS\WP.EXE' '\\ACME_TREE\Org\Unit\SYS\APPS' '/n' \
  '\\ACME_TREE\Org\Vol1\APPS\WP.EXE' '\\ACME_TREE\Org\Vol1\APPS' '/n'
e2e_expect_shortcut '{DESKTOP}\Hidden.lnk' \
  '\\ACME_TREE\Org\Unit\SYS\APPS\HIDDEN.EXE' '' '' '\\ACME_TREE\Org\Vol1\APPS\HIDDEN.EXE' '' ''
e2e_expect_shortcut '{START_MENU}\Programs\Acme\Reports.lnk' \
  '\\ACME_TREE\Org\Unit\SYS\DATA\REPORT.EXE' '\\ACME_TREE\Org\Unit\SYS\DATA' '' \
  '\\ACME_TREE\Org\Vol1\DATA\REPORT.EXE' '\\ACME_TREE\Org\Vol1\DATA' ''
e2e_check "the shortcuts changed exactly as expected" \
  e2e_view_matches shortcuts "$HARNESS_ROOT/before" "$HARNESS_ROOT/after"

e2e_check "no other file of the Windows directory, Desktop or Start Menu changed" \
  e2e_only_files_changed "$HARNESS_ROOT/before" "$HARNESS_ROOT/after" \
  'C:\windows\ZEBDEMO.INI' 'C:\windows\ZEBHIDDN.INI' 'C:\windows\zebdemo\ZEBSUB.INI' \
  '{DESKTOP}\WordPro.lnk' '{DESKTOP}\Hidden.lnk' '{START_MENU}\Programs\Acme\Reports.lnk'
e2e_check "the hidden shortcut is still hidden" e2e_is_hidden '{DESKTOP}\Hidden.lnk'

echo "report:"
e2e_report_lines "$HARNESS_ROOT/report.csv"
echo "took $SECONDS s"
if [ "$e2e_failures" -gt 0 ]; then
  echo "e2e dereference: $e2e_failures check(s) FAILED" >&2
  exit 1
fi
echo "e2e dereference passed"
