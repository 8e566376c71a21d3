#pragma once
// The application's general error handler: an error that ends an event handler is shown in
// the error box, and the program carries on with the next event.
#include <functional>

#include "platform/view.h"

namespace zeb {

// Runs the handler; false when an error ended it (the error has been shown).
bool ReportErrors(MessageBoxes& messages, const std::function<void()>& handler);

}  // namespace zeb
