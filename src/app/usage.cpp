#include "app/usage.h"

namespace zeb {

// Lines end in CR LF, as a message box breaks them. Each is short enough for a box on a
// small screen not to wrap it (Wine makes boxes about 3/8 of the screen wide), and has no
// tab, whose stops would push the text out.
const char kUsageText[] =
    "zeb.exe [switches]\r\n"
    "\r\n"
    "/AUTO  search, save and exit by itself\r\n"
    "/STEALTH  the same, hidden, no questions\r\n"
    "/QUIET  as /STEALTH, with no window at all\r\n"
    "/REPORTONLY  report changes, write nothing\r\n"
    "/NOPROMPT  no questions\r\n"
    "/NODESK  leave out the Desktop\r\n"
    "/NOMENU  leave out the Start Menu\r\n"
    "/NOINI  leave out the INI files\r\n"
    "/NOREG  leave out the Registry\r\n"
    "/NOEXIT  no Exit button during /AUTO\r\n"
    "/REBOOT  restart Windows after Save\r\n"
    "/CLASSES  also search Classes and Enum\r\n"
    "/SEARCH=text  search for this text\r\n"
    "/REPLACE=text  and replace it by this\r\n"
    "/STARTING=date  run once from this date on\r\n"
    "/MESSAGE=file  show this file at start\r\n"
    "/REPORT=file  the CSV report (%NAME%)\r\n"
    "/DIRECTORY=file  the LDIF file (%NAME%)\r\n"
    "/TREE=name  the directory tree\r\n"
    "/USER=name  the logged-in user\r\n"
    "/?  this list";

}  // namespace zeb
