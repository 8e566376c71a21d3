# shellcheck shell=bash
# The report of a "Dereference Aliases" run over the whole sample workstation (samples/acme)
# against the sample directory: every record, with the status given (written after a Save,
# proposed in a run that only reports). Source after e2e_expect.sh; then check with
# e2e_report_matches. The records follow from the sample and the directory's aliases:
#   Bob.Sales.Acme -> Robert.Marketing.Acme    Rob.Sales.Acme -> Robert.Sales.Acme
#   Alice.Marketing.Acme -> Alice.Sales.Acme   Q1.Sales.Acme -> Q2.Sales.Acme
#   Old.Acme -> Sales.Acme                     SYS.Unit.Org -> Vol1.Org
#   Zoe.Sales.Acme -> Zoé.Équipe.Acme
# Wine lists Registry subkeys and values in name order, ignoring case; that fixes the order
# of the Registry records. Files come in the order the file system lists them.

# e2e_expect_sample_report status
e2e_expect_sample_report() {
  local status=$1
  # Desktop (NT form: the object part is found by stripping path components). Notepad.lnk has
  # a local target, so its working directory through the alias is not looked at; Other tree.lnk
  # names another tree; the Hidden shortcut's empty working directory names nothing.
  e2e_expect_record 10 '1,SHORTCUT,4,{DESKTOP}\WordPro.lnk,\\ACME_TREE\Org\Unit\SYS\APPS\WP.EXE,\\ACME_TREE\Org\Vol1\APPS\WP.EXE,'"$status"
  e2e_expect_record 10 '1,SHORTCUT,5,{DESKTOP}\WordPro.lnk,\\ACME_TREE\Org\Unit\SYS\APPS,\\ACME_TREE\Org\Vol1\APPS,'"$status"
  e2e_expect_record 10 '1,SHORTCUT,4,{DESKTOP}\Hidden.lnk,\\ACME_TREE\Org\Unit\SYS\APPS\HIDDEN.EXE,\\ACME_TREE\Org\Vol1\APPS\HIDDEN.EXE,'"$status"
  # Start Menu; the hidden and the system folder are not entered.
  e2e_expect_record 20 '1,SHORTCUT,4,{START_MENU}\Programs\Acme\Reports.lnk,\\ACME_TREE\Org\Unit\SYS\DATA\REPORT.EXE,\\ACME_TREE\Org\Vol1\DATA\REPORT.EXE,'"$status"
  e2e_expect_record 20 '1,SHORTCUT,5,{START_MENU}\Programs\Acme\Reports.lnk,\\ACME_TREE\Org\Unit\SYS\DATA,\\ACME_TREE\Org\Vol1\DATA,'"$status"
  # INI files of the Windows directory, then of its subfolder; Backup names a printer that is
  # no alias, Unset is empty, Local and Foreign name no object of the tree, Missing names
  # nothing; the entry whose name and value are both aliases gives the name change first.
  e2e_expect_record 30 '1,INI,3,C:\windows\ZEBDEMO.INI,[Printers]Default,\\ACME_TREE\Q2.Sales.Acme,'"$status"
  e2e_expect_record 30 '1,INI,3,C:\windows\ZEBDEMO.INI,[Printers]Typeful,\\ACME_TREE\Q2.Sales.Acme,'"$status"
  e2e_expect_record 30 '1,INI,3,C:\windows\ZEBDEMO.INI,[Mail]Owner,\\ACME_TREE\Robert.Marketing.Acme,'"$status"
  e2e_expect_record 30 '1,INI,2,C:\windows\ZEBDEMO.INI,[Mail]\\ACME_TREE\.Bob.Sales.Acme,\\ACME_TREE\Robert.Marketing.Acme,'"$status"
  e2e_expect_record 30 '1,INI,3,C:\windows\ZEBDEMO.INI,[Mail]\\ACME_TREE\.Bob.Sales.Acme,\\ACME_TREE\Vol1.Org,'"$status"
  e2e_expect_record 30 '1,INI,3,C:\windows\ZEBDEMO.INI,[Fax]Default,\\ACME_TREE\Q2.Sales.Acme,'"$status"
  e2e_expect_record 30 '1,INI,3,C:\windows\ZEBHIDDN.INI,[Hidden]User,\\ACME_TREE\Robert.Marketing.Acme,'"$status"
  e2e_expect_record 40 '1,INI,3,C:\windows\zebdemo\ZEBSUB.INI,[Volumes]Apps,\\ACME_TREE\Vol1.Org,'"$status"
  # The directory client's fixed keys, in their fixed order: "1" of Name Context, the tree in
  # Preferred Tree and Nobody in Contexts name no alias; Flags and Initial are not looked up.
  e2e_expect_next '1,HKEY_LOCAL_MACHINE,3,\Network\Varnok\System Config\Dalvexa Redirector\Name Context,0,.Sales.Acme,'"$status"
  e2e_expect_next '1,HKEY_LOCAL_MACHINE,3,\SOFTWARE\Varnok\Station Keeper\Identification,Default User,Robert.Marketing.Acme,'"$status"
  e2e_expect_next '1,HKEY_LOCAL_MACHINE,3,\SOFTWARE\Varnok\Station Keeper\Client Config,Default Printer,Q2.Sales.Acme,'"$status"
  e2e_expect_next '1,HKEY_LOCAL_MACHINE,3,\SOFTWARE\Varnok\Login\History\Contexts,0,Robert.Sales.Acme,'"$status"
  e2e_expect_next '1,HKEY_LOCAL_MACHINE,3,\SOFTWARE\Varnok\Login\History\Contexts,1,Zoé.Équipe.Acme,'"$status"
  e2e_expect_next '1,HKEY_LOCAL_MACHINE,3,\SOFTWARE\Varnok\Place Presets\Services\{5A0B7C3E-2D41-4F8A-9C6B-7E1D2F3A4B5C}\Default\Tab1,Default Context,.Alice.Sales.Acme,'"$status"
  # Login defaults: Rob was renamed in his own container, so only the user name changes.
  e2e_expect_next '1,HKEY_LOCAL_MACHINE,3,\SOFTWARE\Varnok\DXGINA\Login Screen,DefaultDalvexaUserName,Robert,'"$status"
  # The walk of HKEY_LOCAL_MACHINE, in Wine's spelling of the keys it finds ("Software").
  # Nothing below Software\Classes is entered, and nothing under ZebSample\Unchanged changes.
  e2e_expect_next '1,HKEY_LOCAL_MACHINE,1,\Software\ZebSample\Cache\Bob.Sales.Acme.ACME_TREE,\Software\ZebSample\Cache\Robert.Marketing.Acme.ACME_TREE,,'"$status"
  e2e_expect_next '1,HKEY_LOCAL_MACHINE,2,\Software\ZebSample\Drives,\\ACME_TREE\.SYS.Unit.Org\PUBLIC,\\ACME_TREE\Vol1.Org\PUBLIC,'"$status"
  # The escaped printer key's new path has no leading backslash.
  e2e_expect_next '1,HKEY_LOCAL_MACHINE,1,\Software\ZebSample\Printers\././ACME_TREE./..CN=Q1..OU=Sales..O=Acme,Software\ZebSample\Printers\././ACME_TREE./..Q2..Sales..Acme,,'"$status"
  e2e_expect_next '1,HKEY_LOCAL_MACHINE,3,\Software\ZebSample\Services,Queue,Dalvexa Services;;\\ACME_TREE\Acme\Sales\Q2,'"$status"
  # The walk of HKEY_USERS: .Default is searched whole, Classes included.
  e2e_expect_next '1,HKEY_USERS,3,\.Default\Software\Classes\ZebSample.Document,UserName,Robert.Marketing.Acme,'"$status"
  # A printer connection key and its subkey: the key itself takes the whole dotted name, the
  # subkey's path keeps the container and leaf form.
  e2e_expect_next '1,HKEY_USERS,1,"\{SID}\Software\ZebSample\Printers\Connections\,,ACME_TREE,Sales.Acme,Q1","\{SID}\Software\ZebSample\Printers\Connections\,,ACME_TREE,Q2.Sales.Acme",,'"$status"
  e2e_expect_next '1,HKEY_USERS,1,"\{SID}\Software\ZebSample\Printers\Connections\,,ACME_TREE,Sales.Acme,Q1\Settings","\{SID}\Software\ZebSample\Printers\Connections\,,ACME_TREE,Sales.Acme,Q2\Settings",,'"$status"
  e2e_expect_next '1,HKEY_USERS,3,\{SID}\Software\ZebSample\Trees,ACME_TREE,Robert.Marketing.Acme,'"$status"
  e2e_expect_next '1,HKEY_USERS,3,\{SID}\Software\ZebSample\Trees,ACME_TREE_______________________,Alice.Sales.Acme,'"$status"
  # Keys below the tree-named key: Alice moved (context only), Bob renamed and moved (context
  # first, then the key), Rob.Sales.Acme renamed (the key, then its DN value).
  e2e_expect_next '1,HKEY_USERS,3,\{SID}\Software\ZebSample\Users\ACME_TREE\Alice,DirectoryContext,Sales.Acme,'"$status"
  e2e_expect_next '1,HKEY_USERS,3,\{SID}\Software\ZebSample\Users\ACME_TREE\Bob,DirectoryContext,Marketing.Acme,'"$status"
  e2e_expect_next '1,HKEY_USERS,1,\{SID}\Software\ZebSample\Users\ACME_TREE\Bob,\{SID}\Software\ZebSample\Users\ACME_TREE\Robert,,'"$status"
  e2e_expect_next '1,HKEY_USERS,1,\{SID}\Software\ZebSample\Users\ACME_TREE\Rob.Sales.Acme,\{SID}\Software\ZebSample\Users\ACME_TREE\Robert.Sales.Acme,,'"$status"
  e2e_expect_next '1,HKEY_USERS,3,\{SID}\Software\ZebSample\Users\ACME_TREE\Rob.Sales.Acme,DN,Robert.Sales.Acme,'"$status"
  # Windows: a path-form tree path, a name value, a printer entry, a dotted tree path and
  # UserName, in the values' name order.
  e2e_expect_next '1,HKEY_USERS,3,\{SID}\Software\ZebSample\Windows,Apps,\\ACME_TREE\Org\Vol1\APPS,'"$status"
  e2e_expect_next '1,HKEY_USERS,3,\{SID}\Software\ZebSample\Windows,Context,Robert.Sales.Acme,'"$status"
  e2e_expect_next '1,HKEY_USERS,3,\{SID}\Software\ZebSample\Windows,Device,"\\ACME_TREE\Acme\Sales\Q2,winspool,Ne00:",'"$status"
  e2e_expect_next '1,HKEY_USERS,3,\{SID}\Software\ZebSample\Windows,Home,\\ACME_TREE\Robert.Marketing.Acme\HOME,'"$status"
  e2e_expect_next '1,HKEY_USERS,3,\{SID}\Software\ZebSample\Windows,UserName,Robert.Marketing.Acme,'"$status"
}
