#include "app/search_texts.h"

namespace zeb {

void EnableSearchTexts(MainWindow& main, bool enabled) {
  for (MainControl control : {MainControl::kSearchLabel, MainControl::kReplaceLabel,
                              MainControl::kSearchEdit, MainControl::kReplaceEdit})
    main.SetEnabled(control, enabled);
}

void ApplySelectedMode(MainWindow& main) {
  EnableSearchTexts(main, main.SelectedMode() == ProgramMode::kSearchAndReplace);
}

}  // namespace zeb
