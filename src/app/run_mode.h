#pragma once
// What kind of run this is, decided once from the command line before any window exists:
// whether it may show anything, whether it may write, and where its files go. The start-up,
// the scan run, Save and the program's end all read it from here.
#include <string>
#include <vector>

#include "platform/system_api.h"

namespace zeb {

struct RunMode {
  // "/QUIET": an unattended run with no window and no box; every text a box would have
  // shown goes to the report as a "message: " line, and every question gets the answer
  // "/NOPROMPT" gives.
  bool quiet = false;
  // "/REPORTONLY": scan and report; nothing is written (no Save, no "Last Run", no
  // restart, no journal, no key created).
  bool reportOnly = false;
  // "/?": the switches, one line each, then the program ends.
  bool help = false;
  // The values of "/REPORT=", "/JOURNAL=" and "/DIRECTORY=" (the last of each), with
  // %NAME% expanded; empty when not given.
  std::string reportPath;
  std::string journalPath;
  std::string directoryPath;
};

// `arguments` as ProgramArguments splits them.
RunMode ReadRunMode(const std::vector<std::string>& arguments, SystemApi& system);

// A path given on the command line with its %NAME% environment variables replaced, by the
// rules of the message file's lines, so that one login script can name a file per computer
// (\\server\zeb$\%COMPUTERNAME%.csv).
std::string ExpandPathSwitch(const std::string& value, SystemApi& system);

}  // namespace zeb
