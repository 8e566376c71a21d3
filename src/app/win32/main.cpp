// Program entry: the platform and the directory, the three windows in their order (the
// splash window first, so that it is the application's main window; the main window hidden;
// the review dialog), the program's logic between them, and the message loop.
#include <windows.h>

#include <algorithm>
#include <exception>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/program.h"
#include "app/run_mode.h"
#include "app/run_outlets.h"
#include "app/usage.h"
#include "app/win32/main_form.h"
#include "app/win32/message_pump.h"
#include "app/win32/program_events.h"
#include "app/win32/program_life.h"
#include "app/win32/screen_cursor.h"
#include "app/win32/splash_form.h"
#include "app/win32/window_boxes.h"
#include "app/win32/window_view.h"
#include "app/workstation_saver.h"
#include "app/workstation_scanner_factory.h"
#include "changes/report.h"
#include "changes/text_file_writer.h"
#include "changes/win32/review_dialog.h"
#include "directory/directory_config.h"
#include "directory/directory_factory.h"
#include "platform/registry.h"
#include "platform/text.h"
#include "platform/win32/win32_append_file.h"
#include "platform/win32/win32_file_writer.h"
#include "platform/win32/win32_ldap.h"
#include "platform/win32/win32_workstation.h"

namespace zeb::ui {

namespace {

// The folder zeb.exe was started from, where the default directory file lies.
std::string ProgramFolder() {
  char path[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  const std::string full(path, length < MAX_PATH ? length : 0);
  const std::size_t slash = full.find_last_of("\\/");
  return slash == std::string::npos ? std::string() : full.substr(0, slash);
}

// Read here, not by the start-up's table: the journal a rollback undoes (the last one given).
constexpr std::string_view kRollbackSwitch = "/ROLLBACK=";

// The windows and everything that works them, made and run. Throws when a window cannot
// be made; the run's exit code otherwise.
int RunWindows(Win32Workstation& platform, const std::vector<std::string>& arguments,
               const RunMode& mode, WindowBoxes& windowBoxes, RunBoxes& boxes,
               ChangeReport* report) {
  Workstation& workstation = platform.seams;
  Registry configRegistry(platform.registry, hkey::kLocalMachine);
  DirectoryConfig config = ReadDirectoryConfig(arguments, configRegistry, ProgramFolder());
  if (!mode.directoryPath.empty()) config.directoryPath = mode.directoryPath;
  Win32LdapApi ldap;
  const std::unique_ptr<DirectoryClient> client =
      MakeDirectoryClient(config, ReadServerSwitches(arguments), platform.system, ldap);
  DirectoryClient& directory = *client;

  ScreenCursor cursor;
  MessagePump pump;
  SplashForm splash(cursor);
  MainForm main(cursor);
  windowBoxes.AddOwner(main.hwnd());
  windowBoxes.AddOwner(splash.hwnd());
  pump.AddKeyboardNavigation(main.hwnd());
  WindowView windowView(main, splash, cursor, pump);
  RunProgress view(mode.quiet, windowView);
  ReviewDialog review(main.hwnd(), view, pump);
  ProgramLife life(pump);

  DiskTextFiles textFiles;
  WorkstationScannerFactory scanners;
  WorkstationSaver saver(workstation, main, main.List(), view, boxes, report, &platform.hives);
  Win32AppendFiles journalFiles;
  if (!mode.journalPath.empty()) saver.JournalTo(mode.journalPath, journalFiles);

  const AppServices services{workstation, directory, main,      splash,   life,  view,
                             main.List(), boxes,     textFiles, scanners, saver, report,
                             mode,        LastSwitchValue(arguments, kRollbackSwitch),
                             &platform.hives};
  Program program(services);
  ProgramEvents events(program, main, review, life, boxes);
  splash.SetEvents(&events);
  main.SetEvents(&events);

  // A quiet run shows no window at all: the start-up that the splash window's first
  // activation runs is started directly instead.
  if (mode.quiet)
    events.SplashActivated();
  else
    splash.ShowFirst();
  const int loopCode = life.Run();
  return std::max(loopCode, program.Finish());
}

int RunProgram() {
  Win32Workstation platform;
  const std::vector<std::string> arguments = ProgramArguments(platform.system.CommandLine());
  const RunMode mode = ReadRunMode(arguments, platform.system);

  WindowBoxes windowBoxes;
  RunBoxes boxes(mode.quiet, windowBoxes);
  if (mode.help) {
    boxes.ShowMessage(kUsageText);
    return static_cast<int>(ExitCode::kCompleted);
  }
  Win32FileWriter reportWriter;
  std::optional<ChangeReport> report;
  if (!mode.reportPath.empty()) report.emplace(mode.reportPath, reportWriter, boxes);
  boxes.SetReport(report ? &*report : nullptr);

  try {
    return RunWindows(platform, arguments, mode, windowBoxes, boxes, report ? &*report : nullptr);
  } catch (const std::exception& error) {
    // Only a program that could not set itself up gets here; a login script sees exit code 1.
    boxes.ShowError(error.what());
    if (report) report->WriteMessagesOnly();
    return static_cast<int>(ExitCode::kNoWindows);
  }
}

}  // namespace

}  // namespace zeb::ui

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return zeb::ui::RunProgram(); }
