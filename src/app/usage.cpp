#include "app/usage.h"

namespace zeb {

// Lines end in CR LF, as a message box breaks them.
const char kUsageText[] =
    "zeb.exe [switches]   (letter case does not matter; values keep theirs)\r\n"
    "\r\n"
    "/AUTO\tsearch, save and exit by itself\r\n"
    "/STEALTH\tthe same without the main window and without questions\r\n"
    "/QUIET\tas /STEALTH, with no window and no box at all; messages go to the report\r\n"
    "/REPORTONLY\tsearch and report the changes; write nothing (exit code 5 when some are found)\r\n"
    "/NOPROMPT\tno confirmation before Save, no restart question\r\n"
    "/NODESK\tleave out the Desktop shortcuts\r\n"
    "/NOMENU\tleave out the Start Menu shortcuts\r\n"
    "/NOINI\tleave out the INI files\r\n"
    "/NOREG\tleave out the Registry\r\n"
    "/NOEXIT\twith /AUTO or /STEALTH: Exit stays disabled during the run\r\n"
    "/REBOOT\trestart Windows on Exit once Save has run\r\n"
    "/CLASSES\talso search below HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes and \\Enum\r\n"
    "/SEARCH=text\tthe mode \"Search and Replace\" with this search text\r\n"
    "/REPLACE=text\tthe replacement text of \"Search and Replace\"\r\n"
    "/STARTING=date\trun at most once from this date on (short date format)\r\n"
    "/MESSAGE=file\tshow the text file beside the splash picture\r\n"
    "/REPORT=file\twrite every proposed change and its outcome as CSV; %NAME% expanded\r\n"
    "/DIRECTORY=file\tthe directory file (default directory.ldif beside zeb.exe); %NAME% expanded\r\n"
    "/TREE=name\tthe directory tree\r\n"
    "/USER=name\tthe logged-in user's dotted name\r\n"
    "/?\tthis list";

}  // namespace zeb
