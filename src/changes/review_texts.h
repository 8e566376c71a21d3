#pragma once
// What the dialog "Workstation Change" shows for one change: the caption of each of its four
// rows and the texts beside them. Every review sets all eight.
#include <string>

#include "changes/change_list.h"

namespace zeb {

struct ReviewTexts {
  std::string element;         // caption of row 1: what kind of thing is changed
  std::string operation;       // row 1: the operation
  std::string subjectCaption;  // caption of row 2
  std::string subject;         // row 2: the file or key path
  std::string oldCaption;      // caption of row 3
  std::string oldName;         // row 3
  std::string newCaption;      // caption of row 4
  std::string newName;         // row 4
};

// The captions follow the change's kind and subtype; a subtype the scanners never produce
// leaves the operation and the captions of rows 2 to 4 empty but still shows its texts.
ReviewTexts ReviewTextsFor(const ChangeRec& change);

}  // namespace zeb
