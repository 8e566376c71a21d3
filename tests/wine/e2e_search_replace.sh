#!/usr/bin/env bash
# End to end, mode "Search and Replace": zeb.exe /STEALTH /SEARCH=acme /REPLACE=NewCo on the
# sample workstation in a fresh Wine prefix. Checks the report record by record, then the
# Registry, the INI files and the shortcuts change by change, and that nothing else in the
# Registry, the Windows directory or the two shortcut trees changed.
#
#   e2e_search_replace.sh zeb.exe tools-folder source-folder
#
# In every shortcut field, INI variable name and value, Registry value name, string value and
# key path, the first "acme" in any letter case becomes "NewCo"; the rest keeps its case. The
# directory client's fixed keys are not looked at on their own in this mode, only in the walk.
# Wine lists Registry subkeys and values in name order, ignoring case (as if lower case);
# that fixes the order of the Registry records. Files come in the order the file system
# lists them.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/e2e_common.sh"
source "$here/e2e_expect.sh"

zeb=$1 tools=$2 samples=$3/samples/acme
started=$SECONDS
e2e_prepare "$zeb" "$tools" "$samples" || { echo "FAILED: no sample workstation" >&2; exit 1; }
e2e_fill_places || exit 1
prepared=$SECONDS

e2e_run_zeb 90 "$HARNESS_ROOT/report.csv" /SEARCH=acme /REPLACE=NewCo
status=$?
ran=$SECONDS
e2e_snapshot "$HARNESS_ROOT/after" "$tools"
echo "prefix and seed $((prepared - started)) s, zeb $((ran - prepared)) s, snapshots $((SECONDS - ran)) s"
e2e_check "zeb ends by itself with exit code 0 (was $status)" test "$status" -eq 0
e2e_check "zeb writes the report" test -s "$HARNESS_ROOT/report.csv"

# --- The report -------------------------------------------------------------------------------

# Shortcuts: working directory, arguments, target path, in that order; local targets match
# too. Other tree.lnk and Old server.lnk hold no "acme"; the hidden and the system folder
# of the Start Menu are not entered.
e2e_expect_record 10 '1,SHORTCUT,5,{DESKTOP}\WordPro.lnk,\\ACME_TREE\Org\Unit\SYS\APPS,\\NewCo_TREE\Org\Unit\SYS\APPS,written'
e2e_expect_record 10 '1,SHORTCUT,4,{DESKTOP}\WordPro.lnk,\\ACME_TREE\Org\Unit\SYS\APPS\WP.EXE,\\NewCo_TREE\Org\Unit\SYS\APPS\WP.EXE,written'
e2e_expect_record 10 '1,SHORTCUT,5,{DESKTOP}\Notepad.lnk,\\ACME_TREE\Org\Unit\SYS\APPS,\\NewCo_TREE\Org\Unit\SYS\APPS,written'
e2e_expect_record 10 '1,SHORTCUT,4,{DESKTOP}\Hidden.lnk,\\ACME_TREE\Org\Unit\SYS\APPS\HIDDEN.EXE,\\NewCo_TREE\Org\Unit\SYS\APPS\HIDDEN.EXE,written'
e2e_expect_record 20 '1,SHORTCUT,5,{START_MENU}\Programs\Acme\Reports.lnk,\\ACME_TREE\Org\Unit\SYS\DATA,\\NewCo_TREE\Org\Unit\SYS\DATA,written'
e2e_expect_record 20 '1,SHORTCUT,4,{START_MENU}\Programs\Acme\Reports.lnk,\\ACME_TREE\Org\Unit\SYS\DATA\REPORT.EXE,\\NewCo_TREE\Org\Unit\SYS\DATA\REPORT.EXE,written'
# INI entries, name before value; Unset is empty and Local and [Servers] hold no "acme".
e2e_expect_record 30 '1,INI,3,C:\windows\ZEBDEMO.INI,[Printers]Default,\\NewCo_TREE\.Q1.Sales.Acme,written'
e2e_expect_record 30 '1,INI,3,C:\windows\ZEBDEMO.INI,[Printers]Backup,\\NewCo_TREE\.Q2.Sales.Acme,written'
e2e_expect_record 30 '1,INI,3,C:\windows\ZEBDEMO.INI,[Printers]Typeful,\\NewCo_TREE\.CN=Q1.OU=Sales.O=Acme,written'
e2e_expect_record 30 '1,INI,3,C:\windows\ZEBDEMO.INI,[Printers]Foreign,\\OTHER_TREE\.Q1.Sales.NewCo,written'
e2e_expect_record 30 '1,INI,3,C:\windows\ZEBDEMO.INI,[Printers]Missing,\\NewCo_TREE\.Nobody.Sales.Acme,written'
e2e_expect_record 30 '1,INI,3,C:\windows\ZEBDEMO.INI,[Mail]Owner,\\NewCo_tree\.bob.sales.acme,written'
e2e_expect_record 30 '1,INI,2,C:\windows\ZEBDEMO.INI,[Mail]\\ACME_TREE\.Bob.Sales.Acme,\\NewCo_TREE\.Bob.Sales.Acme,written'
e2e_expect_record 30 '1,INI,3,C:\windows\ZEBDEMO.INI,[Mail]\\ACME_TREE\.Bob.Sales.Acme,\\NewCo_TREE\.SYS.Unit.Org,written'
e2e_expect_record 30 '1,INI,3,C:\windows\ZEBDEMO.INI,[Fax]Default,\\NewCo_TREE\.Q1.Sales.Acme,written'
e2e_expect_record 30 '1,INI,3,C:\windows\ZEBHIDDN.INI,[Hidden]User,\\NewCo_TREE\.Bob.Sales.Acme,written'
e2e_expect_record 40 '1,INI,3,C:\windows\zebdemo\ZEBSUB.INI,[Volumes]Apps,\\NewCo_TREE\.SYS.Unit.Org,written'
# HKEY_LOCAL_MACHINE: per key its values (name, then string data), then its own path.
e2e_expect_next '1,HKEY_LOCAL_MACHINE,3,\Network\Varnok\System Config\Dalvexa Redirector\Name Context,0,.Old.NewCo,written'
e2e_expect_next '1,HKEY_LOCAL_MACHINE,3,\Network\Varnok\System Config\Dalvexa Redirector\Name Context,1,Marketing.NewCo,written'
e2e_expect_next '1,HKEY_LOCAL_MACHINE,3,\Network\Varnok\System Config\Dalvexa Redirector\Preferred Tree\Trees,0,NewCo_TREE,written'
# A key and its subkey both renamed: the subkey's rename names its full new path, and Save
# finds it already moved along with its parent.
e2e_expect_next '1,HKEY_LOCAL_MACHINE,1,\Software\Acme,\Software\NewCo,,written'
e2e_expect_next '1,HKEY_LOCAL_MACHINE,2,\Software\Acme\Tools,AcmeFlags,NewCoFlags,written'
e2e_expect_next '1,HKEY_LOCAL_MACHINE,3,\Software\Acme\Tools,Path,C:\NewCo\bin;C:\Acme\lib,written'
e2e_expect_next '1,HKEY_LOCAL_MACHINE,1,\Software\Acme\Tools,\Software\NewCo\Tools,,written'
e2e_expect_next '1,HKEY_LOCAL_MACHINE,3,\Software\Varnok\DXGINA\Login Screen,DefaultVRXContext,Sales.NewCo,written'
e2e_expect_next '1,HKEY_LOCAL_MACHINE,3,\Software\Varnok\DXGINA\Login Screen,DefaultVRXTree,NewCo_TREE,written'
e2e_expect_next '1,HKEY_LOCAL_MACHINE,3,\Software\Varnok\Login\History\Contexts,0,Rob.Sales.NewCo,written'
e2e_expect_next '1,HKEY_LOCAL_MACHINE,3,\Software\Varnok\Login\History\Contexts,1,Zoe.Sales.NewCo,written'
e2e_expect_next '1,HKEY_LOCAL_MACHINE,3,\Software\Varnok\Login\History\Contexts,2,Nobody.Sales.NewCo,written'
e2e_expect_next '1,HKEY_LOCAL_MACHINE,3,\Software\Varnok\Place Presets\Services\{5A0B7C3E-2D41-4F8A-9C6B-7E1D2F3A4B5C}\Default\Tab1,Default Context,.Alice.Marketing.NewCo,written'
e2e_expect_next '1,HKEY_LOCAL_MACHINE,3,\Software\Varnok\Station Keeper\Client Config,Default Printer,Q1.Sales.NewCo,written'
e2e_expect_next '1,HKEY_LOCAL_MACHINE,3,\Software\Varnok\Station Keeper\Identification,Default User,CN=Bob.OU=Sales.O=NewCo,written'
e2e_expect_next '1,HKEY_LOCAL_MACHINE,1,\Software\ZebSample\Cache\Bob.Sales.Acme.ACME_TREE,\Software\ZebSample\Cache\Bob.Sales.NewCo.ACME_TREE,,written'
e2e_expect_next '1,HKEY_LOCAL_MACHINE,2,\Software\ZebSample\Drives,\\ACME_TREE\.SYS.Unit.Org\PUBLIC,\\NewCo_TREE\.SYS.Unit.Org\PUBLIC,written'
e2e_expect_next '1,HKEY_LOCAL_MACHINE,1,\Software\ZebSample\Printers\././ACME_TREE./..CN=Q1..OU=Sales..O=Acme,\Software\ZebSample\Printers\././NewCo_TREE./..CN=Q1..OU=Sales..O=Acme,,written'
e2e_expect_next '1,HKEY_LOCAL_MACHINE,3,\Software\ZebSample\Services,Queue,Dalvexa Services;;\\NewCo_TREE\Acme\Sales\Q1,written'
# What a dereferencing scan leaves alone is plain text here.
e2e_expect_next '1,HKEY_LOCAL_MACHINE,2,\Software\ZebSample\Unchanged,\\OTHER_TREE\.Bob.Sales.Acme,\\OTHER_TREE\.Bob.Sales.NewCo,written'
e2e_expect_next '1,HKEY_LOCAL_MACHINE,2,\Software\ZebSample\Unchanged,acme_tree_,NewCo_tree_,written'
e2e_expect_next '1,HKEY_LOCAL_MACHINE,3,\Software\ZebSample\Unchanged,acme_tree_,Bob.Sales.NewCo,written'
e2e_expect_next '1,HKEY_LOCAL_MACHINE,3,\Software\ZebSample\Unchanged,Context,Nobody.Sales.NewCo,written'
e2e_expect_next '1,HKEY_LOCAL_MACHINE,3,\Software\ZebSample\Unchanged,Other,Bob.Sales.NewCo,written'
e2e_expect_next '1,HKEY_LOCAL_MACHINE,3,\Software\ZebSample\Unchanged,Service,dalvexa services;;\\NewCo_TREE\Acme\Sales\Q1,written'
e2e_expect_next '1,HKEY_LOCAL_MACHINE,3,\Software\ZebSample\Unchanged,UserName,Robert.Sales.NewCo,written'
e2e_expect_next '1,HKEY_LOCAL_MACHINE,1,\Software\ZebSample\Unchanged\Cache\Bob.Sales.Acme.ACME_TREE,\Software\ZebSample\Unchanged\Cache\Bob.Sales.NewCo.ACME_TREE,,written'
e2e_expect_next '1,HKEY_LOCAL_MACHINE,1,"\Software\ZebSample\Unchanged\Printers\,,ACME_TREE,Sales.Acme,Q1","\Software\ZebSample\Unchanged\Printers\,,NewCo_TREE,Sales.Acme,Q1",,written'
# HKEY_USERS.
e2e_expect_next '1,HKEY_USERS,3,\.Default\Software\Classes\ZebSample.Document,UserName,Bob.Sales.NewCo,written'
e2e_expect_next '1,HKEY_USERS,3,"\{SID}\Software\ZebSample\Printers\Connections\,,ACME_TREE,Sales.Acme,Q1",Server,NewCo_TREE,written'
e2e_expect_next '1,HKEY_USERS,1,"\{SID}\Software\ZebSample\Printers\Connections\,,ACME_TREE,Sales.Acme,Q1","\{SID}\Software\ZebSample\Printers\Connections\,,NewCo_TREE,Sales.Acme,Q1",,written'
e2e_expect_next '1,HKEY_USERS,1,"\{SID}\Software\ZebSample\Printers\Connections\,,ACME_TREE,Sales.Acme,Q1\Settings","\{SID}\Software\ZebSample\Printers\Connections\,,NewCo_TREE,Sales.Acme,Q1\Settings",,written'
e2e_expect_next '1,HKEY_USERS,2,\{SID}\Software\ZebSample\Trees,ACME_TREE,NewCo_TREE,written'
e2e_expect_next '1,HKEY_USERS,3,\{SID}\Software\ZebSample\Trees,ACME_TREE,Bob.Sales.NewCo,written'
e2e_expect_next '1,HKEY_USERS,2,\{SID}\Software\ZebSample\Trees,ACME_TREE_______________________,NewCo_TREE_______________________,written'
e2e_expect_next '1,HKEY_USERS,3,\{SID}\Software\ZebSample\Trees,ACME_TREE_______________________,Alice.Marketing.NewCo,written'
e2e_expect_next '1,HKEY_USERS,3,\{SID}\Software\ZebSample\Unchanged,DN,Bob.Sales.NewCo,written'
e2e_expect_next '1,HKEY_USERS,3,\{SID}\Software\ZebSample\Unchanged,username,Bob.Sales.NewCo,written'
# The tree-named key and the three keys below it: each proposes its own full new path.
e2e_expect_next '1,HKEY_USERS,1,\{SID}\Software\ZebSample\Users\ACME_TREE,\{SID}\Software\ZebSample\Users\NewCo_TREE,,written'
e2e_expect_next '1,HKEY_USERS,3,\{SID}\Software\ZebSample\Users\ACME_TREE\Alice,DirectoryContext,Marketing.NewCo,written'
e2e_expect_next '1,HKEY_USERS,1,\{SID}\Software\ZebSample\Users\ACME_TREE\Alice,\{SID}\Software\ZebSample\Users\NewCo_TREE\Alice,,written'
e2e_expect_next '1,HKEY_USERS,3,\{SID}\Software\ZebSample\Users\ACME_TREE\Bob,DirectoryContext,Sales.NewCo,written'
e2e_expect_next '1,HKEY_USERS,1,\{SID}\Software\ZebSample\Users\ACME_TREE\Bob,\{SID}\Software\ZebSample\Users\NewCo_TREE\Bob,,written'
e2e_expect_next '1,HKEY_USERS,3,\{SID}\Software\ZebSample\Users\ACME_TREE\Rob.Sales.Acme,DN,Rob.Sales.NewCo,written'
e2e_expect_next '1,HKEY_USERS,1,\{SID}\Software\ZebSample\Users\ACME_TREE\Rob.Sales.Acme,\{SID}\Software\ZebSample\Users\NewCo_TREE\Rob.Sales.Acme,,written'
e2e_expect_next '1,HKEY_USERS,3,\{SID}\Software\ZebSample\Windows,Apps,\\NewCo_TREE\Org\Unit\SYS\APPS,written'
e2e_expect_next '1,HKEY_USERS,3,\{SID}\Software\ZebSample\Windows,Context,Rob.Sales.NewCo,written'
e2e_expect_next '1,HKEY_USERS,3,\{SID}\Software\ZebSample\Windows,Device,"\\NewCo_TREE\Acme\Sales\Q1,winspool,Ne00:",written'
e2e_expect_next '1,HKEY_USERS,3,\{SID}\Software\ZebSample\Windows,Home,\\NewCo_TREE\.Bob.Sales.Acme\HOME,written'
e2e_expect_next '1,HKEY_USERS,3,\{SID}\Software\ZebSample\Windows,UserName,Bob.Sales.NewCo,written'

e2e_check "the report holds exactly the expected records, in order" \
  e2e_report_matches "$HARNESS_ROOT/report.csv"

# --- The Registry afterwards ------------------------------------------------------------------

HKLM=HKEY_LOCAL_MACHINE
redirector='HKEY_LOCAL_MACHINE\Network\Varnok\System Config\Dalvexa Redirector'
client='HKEY_LOCAL_MACHINE\Software\Varnok'
sample='HKEY_LOCAL_MACHINE\Software\ZebSample'
user='HKEY_USERS\{SID}\Software\ZebSample'
e2e_expect_value "$redirector\\Name Context" '"0"=".Old.Acme"' '"0"=".Old.NewCo"'
e2e_expect_value "$redirector\\Name Context" '"1"="Marketing.Acme"' '"1"="Marketing.NewCo"'
e2e_expect_value "$redirector\\Preferred Tree\\Trees" '"0"="ACME_TREE"' '"0"="NewCo_TREE"'
# Values are written first, under the old path; then the key moves with its subkey.
e2e_expect_key - "$HKLM\\Software\\Acme"
e2e_expect_key - "$HKLM\\Software\\Acme\\Tools" '"AcmeFlags"=dword:00000003' '"Path"="C:\\ACME\\bin;C:\\Acme\\lib"'
e2e_expect_key + "$HKLM\\Software\\NewCo"
e2e_expect_key + "$HKLM\\Software\\NewCo\\Tools" '"NewCoFlags"=dword:00000003' '"Path"="C:\\NewCo\\bin;C:\\Acme\\lib"'
e2e_expect_value "$client\\DXGINA\\Login Screen" '"DefaultVRXContext"="Sales.Acme"' '"DefaultVRXContext"="Sales.NewCo"'
e2e_expect_value "$client\\DXGINA\\Login Screen" '"DefaultVRXTree"="ACME_TREE"' '"DefaultVRXTree"="NewCo_TREE"'
e2e_expect_value "$client\\Login\\History\\Contexts" '"0"="Rob.Sales.Acme"' '"0"="Rob.Sales.NewCo"'
e2e_expect_value "$client\\Login\\History\\Contexts" '"1"="Zoe.Sales.Acme"' '"1"="Zoe.Sales.NewCo"'
e2e_expect_value "$client\\Login\\History\\Contexts" '"2"="Nobody.Sales.Acme"' '"2"="Nobody.Sales.NewCo"'
e2e_expect_value "$client\\Place Presets\\Services\\{5A0B7C3E-2D41-4F8A-9C6B-7E1D2F3A4B5C}\\Default\\Tab1" \
  '"Default Context"=".Alice.Marketing.Acme"' '"Default Context"=".Alice.Marketing.NewCo"'
e2e_expect_value "$client\\Station Keeper\\Client Config" '"Default Printer"="Q1.Sales.Acme"' '"Default Printer"="Q1.Sales.NewCo"'
e2e_expect_value "$client\\Station Keeper\\Identification" '"Default User"="CN=Bob.OU=Sales.O=Acme"' '"Default User"="CN=Bob.OU=Sales.O=NewCo"'
e2e_expect_key - "$sample\\Cache\\Bob.Sales.Acme.ACME_TREE" '"Seen"="yes"'
e2e_expect_key + "$sample\\Cache\\Bob.Sales.NewCo.ACME_TREE" '"Seen"="yes"'
e2e_expect_value "$sample\\Drives" '"\\\\ACME_TREE\\.SYS.Unit.Org\\PUBLIC"=dword:00000001' '"\\\\NewCo_TREE\\.SYS.Unit.Org\\PUBLIC"=dword:00000001'
e2e_expect_key - "$sample\\Printers\\././ACME_TREE./..CN=Q1..OU=Sales..O=Acme" '"Attributes"=dword:00000040'
e2e_expect_key + "$sample\\Printers\\././NewCo_TREE./..CN=Q1..OU=Sales..O=Acme" '"Attributes"=dword:00000040'
e2e_expect_value "$sample\\Services" '"Queue"="Dalvexa Services;;\\\\ACME_TREE\\Acme\\Sales\\Q1"' '"Queue"="Dalvexa Services;;\\\\NewCo_TREE\\Acme\\Sales\\Q1"'
e2e_expect_value "$sample\\Unchanged" '"\\\\OTHER_TREE\\.Bob.Sales.Acme"=dword:00000001' '"\\\\OTHER_TREE\\.Bob.Sales.NewCo"=dword:00000001'
# Renamed, then given new data under its new name: one value.
e2e_expect_value "$sample\\Unchanged" '"acme_tree_"="Bob.Sales.Acme"' '"NewCo_tree_"="Bob.Sales.NewCo"'
e2e_expect_value "$sample\\Unchanged" '"Context"="Nobody.Sales.Acme"' '"Context"="Nobody.Sales.NewCo"'
e2e_expect_value "$sample\\Unchanged" '"Other"="Bob.Sales.Acme"' '"Other"="Bob.Sales.NewCo"'
e2e_expect_value "$sample\\Unchanged" '"Service"="dalvexa services;;\\\\ACME_TREE\\Acme\\Sales\\Q1"' '"Service"="dalvexa services;;\\\\NewCo_TREE\\Acme\\Sales\\Q1"'
e2e_expect_value "$sample\\Unchanged" '"UserName"="Robert.Sales.Acme"' '"UserName"="Robert.Sales.NewCo"'
e2e_expect_key - "$sample\\Unchanged\\Cache\\Bob.Sales.Acme.ACME_TREE" '"Hits"=dword:00000002'
e2e_expect_key + "$sample\\Unchanged\\Cache\\Bob.Sales.NewCo.ACME_TREE" '"Hits"=dword:00000002'
e2e_expect_key - "$sample\\Unchanged\\Printers\\,,ACME_TREE,Sales.Acme,Q1" '"Attributes"=dword:00000040'
e2e_expect_key + "$sample\\Unchanged\\Printers\\,,NewCo_TREE,Sales.Acme,Q1" '"Attributes"=dword:00000040'
e2e_expect_value 'HKEY_USERS\.Default\Software\Classes\ZebSample.Document' '"UserName"="Bob.Sales.Acme"' '"UserName"="Bob.Sales.NewCo"'
e2e_expect_key - "$user\\Printers\\Connections\\,,ACME_TREE,Sales.Acme,Q1" '"Server"="ACME_TREE"'
e2e_expect_key - "$user\\Printers\\Connections\\,,ACME_TREE,Sales.Acme,Q1\\Settings" '"Paper"="A4"'
e2e_expect_key + "$user\\Printers\\Connections\\,,NewCo_TREE,Sales.Acme,Q1" '"Server"="NewCo_TREE"'
e2e_expect_key + "$user\\Printers\\Connections\\,,NewCo_TREE,Sales.Acme,Q1\\Settings" '"Paper"="A4"'
e2e_expect_value "$user\\Trees" '"ACME_TREE"="Bob.Sales.Acme"' '"NewCo_TREE"="Bob.Sales.NewCo"'
e2e_expect_value "$user\\Trees" '"ACME_TREE_______________________"="Alice.Marketing.Acme"' \
  '"NewCo_TREE_______________________"="Alice.Marketing.NewCo"'
e2e_expect_value "$user\\Unchanged" '"DN"="Bob.Sales.Acme"' '"DN"="Bob.Sales.NewCo"'
e2e_expect_value "$user\\Unchanged" '"username"="Bob.Sales.Acme"' '"username"="Bob.Sales.NewCo"'
e2e_expect_key - "$user\\Users\\ACME_TREE"
e2e_expect_key - "$user\\Users\\ACME_TREE\\Alice" '"DirectoryContext"="Marketing.Acme"'
e2e_expect_key - "$user\\Users\\ACME_TREE\\Bob" '"DirectoryContext"="Sales.Acme"'
e2e_expect_key - "$user\\Users\\ACME_TREE\\Rob.Sales.Acme" '"DN"="Rob.Sales.Acme"'
e2e_expect_key + "$user\\Users\\NewCo_TREE"
e2e_expect_key + "$user\\Users\\NewCo_TREE\\Alice" '"DirectoryContext"="Marketing.NewCo"'
e2e_expect_key + "$user\\Users\\NewCo_TREE\\Bob" '"DirectoryContext"="Sales.NewCo"'
e2e_expect_key + "$user\\Users\\NewCo_TREE\\Rob.Sales.Acme" '"DN"="Rob.Sales.NewCo"'
e2e_expect_value "$user\\Windows" '"Apps"="\\\\ACME_TREE\\Org\\Unit\\SYS\\APPS"' '"Apps"="\\\\NewCo_TREE\\Org\\Unit\\SYS\\APPS"'
e2e_expect_value "$user\\Windows" '"Context"="Rob.Sales.Acme"' '"Context"="Rob.Sales.NewCo"'
e2e_expect_value "$user\\Windows" '"Device"="\\\\ACME_TREE\\Acme\\Sales\\Q1,winspool,Ne00:"' '"Device"="\\\\NewCo_TREE\\Acme\\Sales\\Q1,winspool,Ne00:"'
e2e_expect_value "$user\\Windows" '"Home"="\\\\ACME_TREE\\.Bob.Sales.Acme\\HOME"' '"Home"="\\\\NewCo_TREE\\.Bob.Sales.Acme\\HOME"'
e2e_expect_value "$user\\Windows" '"UserName"="Bob.Sales.Acme"' '"UserName"="Bob.Sales.NewCo"'

e2e_check "the Registry changed exactly as expected" \
  e2e_view_matches registry "$HARNESS_ROOT/before" "$HARNESS_ROOT/after" "$E2E_WINE_REGISTRY_NOISE"

# --- INI files and shortcuts afterwards -------------------------------------------------------

demo='C:\windows\ZEBDEMO.INI'
e2e_expect_ini "$demo" '[Printers]' 'Default=\\ACME_TREE\.Q1.Sales.Acme' 'Default=\\NewCo_TREE\.Q1.Sales.Acme'
e2e_expect_ini "$demo" '[Printers]' 'Backup=\\ACME_TREE\.Q2.Sales.Acme' 'Backup=\\NewCo_TREE\.Q2.Sales.Acme'
e2e_expect_ini "$demo" '[Printers]' 'Typeful=\\ACME_TREE\.CN=Q1.OU=Sales.O=Acme' 'Typeful=\\NewCo_TREE\.CN=Q1.OU=Sales.O=Acme'
e2e_expect_ini "$demo" '[Printers]' 'Foreign=\\OTHER_TREE\.Q1.Sales.Acme' 'Foreign=\\OTHER_TREE\.Q1.Sales.NewCo'
e2e_expect_ini "$demo" '[Printers]' 'Missing=\\ACME_TREE\.Nobody.Sales.Acme' 'Missing=\\NewCo_TREE\.Nobody.Sales.Acme'
e2e_expect_ini "$demo" '[Mail]' 'Owner=\\acme_tree\.bob.sales.acme' 'Owner=\\NewCo_tree\.bob.sales.acme'
e2e_expect_ini "$demo" '[Mail]' '\\ACME_TREE\.Bob.Sales.Acme=\\ACME_TREE\.SYS.Unit.Org' '\\NewCo_TREE\.Bob.Sales.Acme=\\NewCo_TREE\.SYS.Unit.Org'
e2e_expect_ini "$demo" '[Fax]' 'Default=\\ACME_TREE\.Q1.Sales.Acme' 'Default=\\NewCo_TREE\.Q1.Sales.Acme'
e2e_expect_ini 'C:\windows\ZEBHIDDN.INI' '[Hidden]' 'User=\\ACME_TREE\.Bob.Sales.Acme' 'User=\\NewCo_TREE\.Bob.Sales.Acme'
e2e_expect_ini 'C:\windows\zebdemo\ZEBSUB.INI' '[Volumes]' 'Apps=\\ACME_TREE\.SYS.Unit.Org' 'Apps=\\NewCo_TREE\.SYS.Unit.Org'
e2e_check "the INI files changed exactly as expected" \
  e2e_view_matches ini "$HARNESS_ROOT/before" "$HARNESS_ROOT/after"

e2e_expect_shortcut '{DESKTOP}\WordPro.lnk' \
  '\\ACME_TREE\Org\Unit\SYS\APPS\WP.EXE' '\\ACME_TREE\Org\Unit\SYS\APPS' '/n' \
  '\\NewCo_TREE\Org\Unit\SYS\APPS\WP.EXE' '\\NewCo_TREE\Org\Unit\SYS\APPS' '/n'
e2e_expect_shortcut '{DESKTOP}\Notepad.lnk' \
  'C:\windows\notepad.exe' '\\ACME_TREE\Org\Unit\SYS\APPS' '' \
  'C:\windows\notepad.exe' '\\NewCo_TREE\Org\Unit\SYS\APPS' ''
e2e_expect_shortcut '{DESKTOP}\Hidden.lnk' \
  '\\ACME_TREE\Org\Unit\SYS\APPS\HIDDEN.EXE' '' '' '\\NewCo_TREE\Org\Unit\SYS\APPS\HIDDEN.EXE' '' ''
e2e_expect_shortcut '{START_MENU}\Programs\Acme\Reports.lnk' \
  '\\ACME_TREE\Org\Unit\SYS\DATA\REPORT.EXE' '\\ACME_TREE\Org\Unit\SYS\DATA' '' \
  '\\NewCo_TREE\Org\Unit\SYS\DATA\REPORT.EXE' '\\NewCo_TREE\Org\Unit\SYS\DATA' ''
e2e_check "the shortcuts changed exactly as expected" \
  e2e_view_matches shortcuts "$HARNESS_ROOT/before" "$HARNESS_ROOT/after"

e2e_check "no other file of the Windows directory, Desktop or Start Menu changed" \
  e2e_only_files_changed "$HARNESS_ROOT/before" "$HARNESS_ROOT/after" \
  'C:\windows\ZEBDEMO.INI' 'C:\windows\ZEBHIDDN.INI' 'C:\windows\zebdemo\ZEBSUB.INI' \
  '{DESKTOP}\WordPro.lnk' '{DESKTOP}\Notepad.lnk' '{DESKTOP}\Hidden.lnk' \
  '{START_MENU}\Programs\Acme\Reports.lnk'
e2e_check "the hidden shortcut is still hidden" e2e_is_hidden '{DESKTOP}\Hidden.lnk'

echo "report:"
e2e_report_lines "$HARNESS_ROOT/report.csv"
echo "took $SECONDS s"
if [ "$e2e_failures" -gt 0 ]; then
  echo "e2e search and replace: $e2e_failures check(s) FAILED" >&2
  exit 1
fi
echo "e2e search and replace passed"
