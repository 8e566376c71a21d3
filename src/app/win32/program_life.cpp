#include "app/win32/program_life.h"

#include <windows.h>

namespace zeb::ui {

int ProgramLife::Run() {
  int exitCode = 0;
  pump_.RunUntil([this] { return endRequested_; }, &exitCode);
  return exitCode;
}

void ProgramLife::RequestEnd() {
  endRequested_ = true;
  // Wakes the loop if it is waiting; a WM_QUIT here would also close any message box still
  // to come in the start-up.
  PostThreadMessageA(GetCurrentThreadId(), WM_NULL, 0, 0);
}

void ProgramLife::EndNow(int exitCode) { ExitProcess(static_cast<UINT>(exitCode)); }

}  // namespace zeb::ui
