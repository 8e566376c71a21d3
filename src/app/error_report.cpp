#include "app/error_report.h"

#include <exception>

namespace zeb {

bool ReportErrors(MessageBoxes& messages, const std::function<void()>& handler) {
  try {
    handler();
    return true;
  } catch (const std::exception& error) {
    messages.ShowError(error.what());
    return false;
  }
}

}  // namespace zeb
