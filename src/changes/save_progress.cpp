#include "changes/save_progress.h"

namespace zeb {
namespace {

struct OperationText {
  const char* main;
  const char* stealth;
};

OperationText OperationFor(std::uint8_t subType) {
  switch (subType) {
    case kRenameHive: return {"Rename Registy Hive", "Renaming "};
    case kChangeVariableName: return {"Change variable name", "Changing "};
    case kChangeVariableContents: return {"Change variable contents", "Changing "};
    case kChangeShortcutPath: return {"Change shortcut path", "Changing "};
    case kChangeShortcutDirectory: return {"Change shortcut directory", "Changing "};
    case kChangeShortcutArguments: return {"Change shortcut arguments", "Changing "};
    default: return {"", "Changing "};
  }
}

}  // namespace

void SaveProgress::ShowStep(const char* mainText, const char* stealthText) {
  if (stealthMode_)
    view_.SetStatus(StatusLine::kSplash3, stealthText);
  else
    view_.SetStatus(StatusLine::kMain3, mainText);
}

void SaveProgress::ShowSpoolerStopping() { ShowStep("Stopping Spooler Service", "Stopping "); }

void SaveProgress::ShowSpoolerStarting() { ShowStep("Starting Spooler Service", "Starting "); }

void SaveProgress::ShowOperation(std::uint8_t subType) {
  const OperationText text = OperationFor(subType);
  ShowStep(text.main, text.stealth);
}

void SaveProgress::ShowProgress(const ChangeRec& change) {
  if (stealthMode_) {
    // The operation word is set only for lines written in this pass; other lines' locations
    // run on after whatever the line already holds.
    view_.SetStatus(StatusLine::kSplash3, view_.StatusText(StatusLine::kSplash3) + change.location);
    view_.SetStatus(StatusLine::kSplash4, change.oldText);
    return;
  }
  system_.Sleep(100);
  view_.SetStatus(StatusLine::kMain2, change.location);
  view_.SetStatus(StatusLine::kMain4, change.oldText);
  view_.SetStatus(StatusLine::kMain1, change.newText);
}

void SaveProgress::ClearMainLabels() {
  for (StatusLine line : {StatusLine::kMain1, StatusLine::kMain2, StatusLine::kMain3,
                          StatusLine::kMain4})
    view_.SetStatus(line, "");
}

}  // namespace zeb
