#pragma once
// The search and replacement texts of the main window and the mode that asks for them.
#include "app/app_window.h"

namespace zeb {

// "Search for:", "Replace with:" and their two edits together.
void EnableSearchTexts(MainWindow& main, bool enabled);

// The texts are wanted in "Search and Replace" only; they keep their contents either way.
void ApplySelectedMode(MainWindow& main);

}  // namespace zeb
