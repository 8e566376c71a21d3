#include "app/run_mode.h"

#include "app/command_line.h"
#include "app/message_file.h"

namespace zeb {

std::string ExpandPathSwitch(const std::string& value, SystemApi& system) {
  return ExpandEnvironmentInLine(value, system);
}

RunMode ReadRunMode(const std::vector<std::string>& arguments, SystemApi& system) {
  RunMode mode;
  mode.quiet = HasSwitch(arguments, Switch::kQuiet);
  mode.reportOnly = HasSwitch(arguments, Switch::kReportOnly);
  mode.help = HasSwitch(arguments, Switch::kHelp);
  mode.reportPath = ExpandPathSwitch(LastSwitchValue(arguments, "/REPORT="), system);
  mode.journalPath = ExpandPathSwitch(LastSwitchValue(arguments, "/JOURNAL="), system);
  mode.directoryPath = ExpandPathSwitch(LastSwitchValue(arguments, "/DIRECTORY="), system);
  return mode;
}

}  // namespace zeb
