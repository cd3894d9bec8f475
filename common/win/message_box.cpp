#include "common/win/message_box.h"

#include <windows.h>

#include "common/win/wide_text.h"

namespace quadrivo::win {
namespace {

// At namespace scope, made before any thread of the process can ask for a box.
MessageBoxAnswerer g_answerer;

MessageBoxAnswerer& answerer() { return g_answerer; }

}  // namespace

void set_message_box_answerer(MessageBoxAnswerer replacement) { answerer() = std::move(replacement); }

int message_box(std::string_view gbk_text, std::string_view gbk_title, unsigned style) {
  if (answerer()) return answerer()(std::string(gbk_text), std::string(gbk_title), style);

  const HWND was_active = GetActiveWindow();
  const HWND had_focus = GetFocus();
  const int button = MessageBoxW(nullptr, gbk_to_wide(gbk_text).c_str(), gbk_to_wide(gbk_title).c_str(),
                                 style | MB_TASKMODAL);
  if (was_active && IsWindow(was_active)) SetActiveWindow(was_active);
  if (had_focus && IsWindow(had_focus)) SetFocus(had_focus);
  return button;
}

}  // namespace quadrivo::win
