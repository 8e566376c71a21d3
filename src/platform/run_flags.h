#pragma once
// The program-wide run flags, all off until the start-up gives them their defaults.

namespace zeb {

struct RunFlags {
  bool stealthMode = false;
  bool autoRun = false;
  bool promptUser = false;
  bool noExit = false;
  bool rebootAfter = false;
  bool searchClasses = false;
  bool startingDateGiven = false;
  bool changesMade = false;
  bool shortcutsTicked = false;
  bool allUsers = false;  // "/ALLUSERS": every profile's hive and shortcuts too
};

}  // namespace zeb
