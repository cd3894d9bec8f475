// The one way the system shows a message box: GBK text and title, a Windows style made of the
// MB_* constants, no owner window, modal for the whole task.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace quadrivo::win {

// Shows the box and returns the pressed button as a Windows id (IDOK, IDYES, IDNO, ...).
// Afterwards the window that was active is active again and the focus is back where it was:
// a task-modal box otherwise leaves no window active.
int message_box(std::string_view gbk_text, std::string_view gbk_title, unsigned style);

// A message box as a window's host hands it in: message_box() itself, or a test's recorder.
using MessageBoxFunction = std::function<int(const std::string& gbk_text, const std::string& gbk_title, unsigned style)>;

// Test seam for the code that has no host of its own to ask (the fatal binding message, the
// update module): while set, message_box() calls the answerer instead of showing a box.
using MessageBoxAnswerer = MessageBoxFunction;
void set_message_box_answerer(MessageBoxAnswerer answerer);

}  // namespace quadrivo::win
