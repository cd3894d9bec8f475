// The one way the system shows a message box: GBK text and title, a Windows style number, no
// owner window, modal for the whole task. Tests replace the box with an answerer of their own
// and so see every text, title and style that was asked.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace quadrivo::win {

// The Windows styles the system uses.
enum MessageStyle : unsigned {
  kOkOnly = 0,           // MB_OK
  kYesNo = 4,            // MB_YESNO
  kErrorOk = 16,         // MB_ICONERROR | MB_OK
  kQuestionYesNo = 36,   // MB_ICONQUESTION | MB_YESNO
  kInformationOk = 64,   // MB_ICONINFORMATION | MB_OK
};

// Shows the box and returns the pressed button as a Windows id (IDOK, IDYES, IDNO, ...).
// Afterwards the window that was active is active again and the focus is back where it was:
// a task-modal box otherwise leaves no window active.
int message_box(std::string_view gbk_text, std::string_view gbk_title, unsigned style);

// Test seam: while set, message_box() calls the answerer instead of showing a box.
using MessageBoxAnswerer = std::function<int(const std::string& gbk_text, const std::string& gbk_title, unsigned style)>;
void set_message_box_answerer(MessageBoxAnswerer answerer);

}  // namespace quadrivo::win
