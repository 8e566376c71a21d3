#include "app/win32/program_events.h"

#include "app/error_report.h"

namespace zeb::ui {

void ProgramEvents::UnattendedRunTimer() {
  if (!life_.EndRequested()) program_.OnUnattendedRunTimer();
}

void ProgramEvents::HandOverTimer() {
  if (!life_.EndRequested()) program_.OnHandOverTimer();
}

void ProgramEvents::ListDoubleClicked() {
  ReportErrors(messages_, [this] {
    review_.ShowChange(program_.Changes(), main_.List().SelectedLine());
  });
}

}  // namespace zeb::ui
