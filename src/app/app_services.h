#pragma once
// Everything the program's logic reaches outside itself: the platform, the directory, the
// windows, and the two larger pieces it calls (the scanners and Save).
#include <memory>
#include <string>

#include "app/app_window.h"
#include "app/message_file.h"
#include "app/run_mode.h"
#include "changes/report.h"
#include "directory/directory_client.h"
#include "platform/hive_api.h"
#include "platform/view.h"
#include "platform/workstation.h"
#include "scan/scan_context.h"
#include "scan/scanners.h"

namespace zeb {

class AppState;

// Makes the scanners of one scan run over that run's context.
class ScannerFactory {
 public:
  virtual ~ScannerFactory() = default;
  virtual std::unique_ptr<Scanners> Create(ScanContext& context) = 0;
};

// Save: writes the ticked changes.
class ChangeSaver {
 public:
  virtual ~ChangeSaver() = default;
  virtual void SaveChanges(AppState& state) = 0;
};

struct AppServices {
  Workstation& workstation;
  DirectoryClient& directory;
  MainWindow& main;
  SplashWindow& splash;
  ProgramControl& control;
  ProgressView& progress;
  CheckList& list;
  MessageBoxes& messages;
  TextFiles& files;
  ScannerFactory& scanners;
  ChangeSaver& saver;
  // The "/REPORT=" file, or null: written at the end of the scan run, and again by Save.
  ChangeReport* report;
  // What this run may show and write, and its files' paths (run_mode.h).
  const RunMode& mode;
  // "/ROLLBACK=": the journal whose run is undone; empty for an ordinary run. The Search
  // button then lists the journal's restorations instead of scanning.
  std::string rollbackJournal;
  // Loads and unloads the profiles' hives under "/ALLUSERS"; null where the platform has none.
  HiveApi* hives = nullptr;
};

}  // namespace zeb
