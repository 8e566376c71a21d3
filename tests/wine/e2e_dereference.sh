#!/usr/bin/env bash
# End to end, mode "Dereference Aliases": zeb.exe /STEALTH on the sample workstation in a
# fresh Wine prefix, against the sample directory (tree ACME_TREE). Checks the report record
# by record, then the Registry, the INI files and the shortcuts change by change, and that
# nothing else in the Registry, the Windows directory or the two shortcut trees changed.
#
#   e2e_dereference.sh zeb.exe tools-folder source-folder
#
# tools-folder holds make_shortcuts.exe and read_shortcuts.exe. The expected changes follow
# from the sample (samples/acme) and the directory's aliases:
#   Bob.Sales.Acme -> Robert.Marketing.Acme    Rob.Sales.Acme -> Robert.Sales.Acme
#   Alice.Marketing.Acme -> Alice.Sales.Acme   Q1.Sales.Acme -> Q2.Sales.Acme
#   Old.Acme -> Sales.Acme                     SYS.Unit.Org -> Vol1.Org
#   Zoe.Sales.Acme -> Zoé.Équipe.Acme
# Wine lists Registry subkeys and values in name order, ignoring case; that fixes the order
# of the Registry records. Files come in the order the file system lists them.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/e2e_common.sh"
source "$here/e2e_expect.sh"

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

# Desktop (NT form: the object part is found by stripping path components). Notepad.lnk has
# a local target, so its working directory through the alias is not looked at; Other tree.lnk
# names another tree; the Hidden shortcut's empty working directory names nothing.
e2e_expect_record 10 '1,SHORTCUT,4,{DESKTOP}\WordPro.lnk,\\ACME_TREE\Org\Unit\SYS\APPS\WP.EXE,\\ACME_TREE\Org\Vol1\APPS\WP.EXE,written'
e2e_expect_record 10 '1,SHORTCUT,5,{DESKTOP}\WordPro.lnk,\\ACME_TREE\Org\Unit\SYS\APPS,\\ACME_TREE\Org\Vol1\APPS,written'
e2e_expect_record 10 '1,SHORTCUT,4,{DESKTOP}\Hidden.lnk,\\ACME_TREE\Org\Unit\SYS\APPS\HIDDEN.EXE,\\ACME_TREE\Org\Vol1\APPS\HIDDEN.EXE,written'
# Start Menu; the hidden and the system folder are not entered.
e2e_expect_record 20 '1,SHORTCUT,4,{START_MENU}\Programs\Acme\Reports.lnk,\\ACME_TREE\Org\Unit\SYS\DATA\REPORT.EXE,\\ACME_TREE\Org\Vol1\DATA\REPORT.EXE,written'
e2e_expect_record 20 '1,SHORTCUT,5,{START_MENU}\Programs\Acme\Reports.lnk,\\ACME_TREE\Org\Unit\SYS\DATA,\\ACME_TREE\Org\Vol1\DATA,written'
# INI files of the Windows directory, then of its subfolder; Backup names a printer that is
# no alias, Unset is empty, Local and Foreign name no object of the tree, Missing names
# nothing; the entry whose name and value are both aliases gives the name change first.
e2e_expect_record 30 '1,INI,3,C:\windows\ZEBDEMO.INI,[Printers]Default,\\ACME_TREE\Q2.Sales.Acme,written'
e2e_expect_record 30 '1,INI,3,C:\windows\ZEBDEMO.INI,[Printers]Typeful,\\ACME_TREE\Q2.Sales.Acme,written'
e2e_expect_record 30 '1,INI,3,C:\windows\ZEBDEMO.INI,[Mail]Owner,\\ACME_TREE\Robert.Marketing.Acme,written'
e2e_expect_record 30 '1,INI,2,C:\windows\ZEBDEMO.INI,[Mail]\\ACME_TREE\.Bob.Sales.Acme,\\ACME_TREE\Robert.Marketing.Acme,written'
e2e_expect_record 30 '1,INI,3,C:\windows\ZEBDEMO.INI,[Mail]\\ACME_TREE\.Bob.Sales.Acme,\\ACME_TREE\Vol1.Org,written'
e2e_expect_record 30 '1,INI,3,C:\windows\ZEBDEMO.INI,[Fax]Default,\\ACME_TREE\Q2.Sales.Acme,written'
e2e_expect_record 30 '1,INI,3,C:\windows\ZEBHIDDN.INI,[Hidden]User,\\ACME_TREE\Robert.Marketing.Acme,written'
e2e_expect_record 40 '1,INI,3,C:\windows\zebdemo\ZEBSUB.INI,[Volumes]Apps,\\ACME_TREE\Vol1.Org,written'
# The directory client's fixed keys, in their fixed order: "1" of Name Context, the tree in
# Preferred Tree and Nobody in Contexts name no alias; Flags and Initial are not looked up.
e2e_expect_next '1,HKEY_LOCAL_MACHINE,3,\Network\Varnok\System Config\Dalvexa Redirector\Name Context,0,.Sales.Acme,written'
e2e_expect_next '1,HKEY_LOCAL_MACHINE,3,\SOFTWARE\Varnok\Station Keeper\Identification,Default User,Robert.Marketing.Acme,written'
e2e_expect_next '1,HKEY_LOCAL_MACHINE,3,\SOFTWARE\Varnok\Station Keeper\Client Config,Default Printer,Q2.Sales.Acme,written'
e2e_expect_next '1,HKEY_LOCAL_MACHINE,3,\SOFTWARE\Varnok\Login\History\Contexts,0,Robert.Sales.Acme,written'
e2e_expect_next '1,HKEY_LOCAL_MACHINE,3,\SOFTWARE\Varnok\Login\History\Contexts,1,Zoé.Équipe.Acme,written'
e2e_expect_next '1,HKEY_LOCAL_MACHINE,3,\SOFTWARE\Varnok\Place Presets\Services\{5A0B7C3E-2D41-4F8A-9C6B-7E1D2F3A4B5C}\Default\Tab1,Default Context,.Alice.Sales.Acme,written'
# Login defaults: Rob was renamed in his own container, so only the user name changes.
e2e_expect_next '1,HKEY_LOCAL_MACHINE,3,\SOFTWARE\Varnok\DXGINA\Login Screen,DefaultDalvexaUserName,Robert,written'
# The walk of HKEY_LOCAL_MACHINE, in Wine's spelling of the keys it finds ("Software").
# Nothing below Software\Classes is entered, and nothing under ZebSample\Unchanged changes.
e2e_expect_next '1,HKEY_LOCAL_MACHINE,1,\Software\ZebSample\Cache\Bob.Sales.Acme.ACME_TREE,\Software\ZebSample\Cache\Robert.Marketing.Acme.ACME_TREE,,written'
e2e_expect_next '1,HKEY_LOCAL_MACHINE,2,\Software\ZebSample\Drives,\\ACME_TREE\.SYS.Unit.Org\PUBLIC,\\ACME_TREE\Vol1.Org\PUBLIC,written'
# The escaped printer key's new path has no leading backslash.
e2e_expect_next '1,HKEY_LOCAL_MACHINE,1,\Software\ZebSample\Printers\././ACME_TREE./..CN=Q1..OU=Sales..O=Acme,Software\ZebSample\Printers\././ACME_TREE./..Q2..Sales..Acme,,written'
e2e_expect_next '1,HKEY_LOCAL_MACHINE,3,\Software\ZebSample\Services,Queue,Dalvexa Services;;\\ACME_TREE\Acme\Sales\Q2,written'
# The walk of HKEY_USERS: .Default is searched whole, Classes included.
e2e_expect_next '1,HKEY_USERS,3,\.Default\Software\Classes\ZebSample.Document,UserName,Robert.Marketing.Acme,written'
# A printer connection key and its subkey: the key itself takes the whole dotted name, the
# subkey's path keeps the container and leaf form.
e2e_expect_next '1,HKEY_USERS,1,"\{SID}\Software\ZebSample\Printers\Connections\,,ACME_TREE,Sales.Acme,Q1","\{SID}\Software\ZebSample\Printers\Connections\,,ACME_TREE,Q2.Sales.Acme",,written'
e2e_expect_next '1,HKEY_USERS,1,"\{SID}\Software\ZebSample\Printers\Connections\,,ACME_TREE,Sales.Acme,Q1\Settings","\{SID}\Software\ZebSample\Printers\Connections\,,ACME_TREE,Sales.Acme,Q2\Settings",,written'
e2e_expect_next '1,HKEY_USERS,3,\{SID}\Software\ZebSample\Trees,ACME_TREE,Robert.Marketing.Acme,written'
e2e_expect_next '1,HKEY_USERS,3,\{SID}\Software\ZebSample\Trees,ACME_TREE_______________________,Alice.Sales.Acme,written'
# Keys below the tree-named key: Alice moved (context only), Bob renamed and moved (context
# first, then the key), Rob.Sales.Acme renamed (the key, then its DN value).
e2e_expect_next '1,HKEY_USERS,3,\{SID}\Software\ZebSample\Users\ACME_TREE\Alice,DirectoryContext,Sales.Acme,written'
e2e_expect_next '1,HKEY_USERS,3,\{SID}\Software\ZebSample\Users\ACME_TREE\Bob,DirectoryContext,Marketing.Acme,written'
e2e_expect_next '1,HKEY_USERS,1,\{SID}\Software\ZebSample\Users\ACME_TREE\Bob,\{SID}\Software\ZebSample\Users\ACME_TREE\Robert,,written'
e2e_expect_next '1,HKEY_USERS,1,\{SID}\Software\ZebSample\Users\ACME_TREE\Rob.Sales.Acme,\{SID}\Software\ZebSample\Users\ACME_TREE\Robert.Sales.Acme,,written'
e2e_expect_next '1,HKEY_USERS,3,\{SID}\Software\ZebSample\Users\ACME_TREE\Rob.Sales.Acme,DN,Robert.Sales.Acme,written'
# Windows: a path-form tree path, a name value, a printer entry, a dotted tree path and
# UserName, in the values' name order.
e2e_expect_next '1,HKEY_USERS,3,\{SID}\Software\ZebSample\Windows,Apps,\\ACME_TREE\Org\Vol1\APPS,written'
e2e_expect_next '1,HKEY_USERS,3,\{SID}\Software\ZebSample\Windows,Context,Robert.Sales.Acme,written'
e2e_expect_next '1,HKEY_USERS,3,\{SID}\Software\ZebSample\Windows,Device,"\\ACME_TREE\Acme\Sales\Q2,winspool,Ne00:",written'
e2e_expect_next '1,HKEY_USERS,3,\{SID}\Software\ZebSample\Windows,Home,\\ACME_TREE\Robert.Marketing.Acme\HOME,written'
e2e_expect_next '1,HKEY_USERS,3,\{SID}\Software\ZebSample\Windows,UserName,Robert.Marketing.Acme,written'

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
