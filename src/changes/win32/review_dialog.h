#pragma once
// The dialog "Workstation Change" (TForm2): one change of the check-list shown in full in
// four labelled rows. Created once, hidden, and shown modally for each review.
#include <windows.h>

#include "app/win32/gdi.h"
#include "app/win32/message_pump.h"
#include "app/win32/native_window.h"
#include "app/win32/window_class.h"
#include "changes/change_list.h"
#include "changes/review_texts.h"
#include "platform/view.h"

namespace zeb::ui {

class ReviewDialog : public NativeWindow {
 public:
  ReviewDialog(HWND owner, ProgressView& view, MessagePump& pump);
  ~ReviewDialog() override { Destroy(); }

  // The check-list's double-click: shows the change of the selected line (line i is change
  // i; with no line selected, the first). Nothing happens while the list is empty.
  void ShowChange(const ChangeList& changes, int selectedLine);

 private:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void CreateControls();
  void SetTexts(const ReviewTexts& texts);
  // Caption labels keep their right edge and grow to the left with their text.
  void SetCaption(int id, const std::string& text);
  void RunModal();

  WindowClass class_;
  Font font_;
  ProgressView& view_;
  MessagePump& pump_;
  bool closed_ = true;
};

}  // namespace zeb::ui
