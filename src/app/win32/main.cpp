// Program entry: the platform and the directory, the three windows in their order (the
// splash window first, so that it is the application's main window; the main window hidden;
// the review dialog), the program's logic between them, and the message loop.
#include <windows.h>

#include <exception>
#include <optional>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/program.h"
#include "app/win32/main_form.h"
#include "app/win32/message_pump.h"
#include "app/win32/program_events.h"
#include "app/win32/program_life.h"
#include "app/win32/screen_cursor.h"
#include "app/win32/splash_form.h"
#include "app/win32/window_view.h"
#include "app/workstation_saver.h"
#include "app/workstation_scanner_factory.h"
#include "changes/report.h"
#include "changes/text_file_writer.h"
#include "changes/win32/review_dialog.h"
#include "directory/directory_config.h"
#include "directory/ldif_directory.h"
#include "platform/registry.h"
#include "platform/text.h"
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

// The path of "/REPORT=", the last one given; empty without one.
std::string ReportPath(const std::vector<std::string>& arguments) {
  constexpr std::string_view kReportSwitch = "/REPORT=";
  std::string path;
  for (const std::string& argument : arguments)
    if (StartsWithIgnoreCase(argument, kReportSwitch)) path = argument.substr(kReportSwitch.size());
  return path;
}

int RunProgram() {
  Win32Workstation platform;
  Workstation& workstation = platform.seams;

  const std::vector<std::string> arguments = ProgramArguments(platform.system.CommandLine());
  Registry configRegistry(platform.registry, hkey::kLocalMachine);
  LdifDirectory directory(ReadDirectoryConfig(arguments, configRegistry, ProgramFolder()));

  ScreenCursor cursor;
  MessagePump pump;
  SplashForm splash(cursor);
  MainForm main(cursor);
  pump.AddKeyboardNavigation(main.hwnd());
  WindowView view(main, splash, cursor, pump);
  ReviewDialog review(main.hwnd(), view, pump);
  ProgramLife life(pump);

  DiskTextFiles textFiles;
  WorkstationScannerFactory scanners;
  StreamFileWriter reportWriter;
  std::optional<ChangeReport> report;
  if (const std::string path = ReportPath(arguments); !path.empty())
    report.emplace(path, reportWriter, view);
  WorkstationSaver saver(workstation, main, main.List(), view, view, report ? &*report : nullptr,
                         &platform.hives);

  const AppServices services{workstation, directory, main, splash,    life,  view,
                             main.List(), view,      textFiles, scanners, saver,
                             report ? &*report : nullptr, &platform.hives};
  Program program(services);
  ProgramEvents events(program, main, review, life, view);
  splash.SetEvents(&events);
  main.SetEvents(&events);

  splash.ShowFirst();
  return life.Run();
}

}  // namespace

}  // namespace zeb::ui

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  try {
    return zeb::ui::RunProgram();
  } catch (const std::exception& error) {
    // Only a program that could not set itself up gets here; a login script sees exit code 1.
    MessageBoxA(nullptr, error.what(), "ZEB", MB_OK | MB_ICONERROR);
    return 1;
  }
}
