#pragma once
// What Save shows while it writes: the main window's four labels, or in stealth mode the
// splash window's two status lines.
#include <cstdint>

#include "changes/change_list.h"
#include "platform/system_api.h"
#include "platform/view.h"

namespace zeb {

class SaveProgress {
 public:
  SaveProgress(ProgressView& view, SystemApi& system, bool stealthMode)
      : view_(view), system_(system), stealthMode_(stealthMode) {}

  void ShowSpoolerStopping();
  void ShowSpoolerStarting();
  // The operation about to be written, e.g. "Change variable name" (stealth: "Changing ").
  void ShowOperation(std::uint8_t subType);
  // After each ticked line. Normal mode pauses 100 ms so that a person can follow.
  void ShowProgress(const ChangeRec& change);
  void ClearMainLabels();

 private:
  void ShowStep(const char* mainText, const char* stealthText);

  ProgressView& view_;
  SystemApi& system_;
  bool stealthMode_;
};

}  // namespace zeb
