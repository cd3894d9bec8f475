#include "common/win/message_loop.h"

namespace quadrivo::win {

void dispatch_message(MSG& message) {
  const HWND root = message.hwnd ? GetAncestor(message.hwnd, GA_ROOT) : nullptr;
  if (root && IsDialogMessageW(root, &message)) return;
  TranslateMessage(&message);
  DispatchMessageW(&message);
}

bool pump_pending_messages() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(message.wParam));
      return false;
    }
    dispatch_message(message);
  }
  return true;
}

LoopEnd run_message_loop(const std::function<bool()>& done) {
  MSG message;
  while (!done || !done()) {
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got == -1) return {false, 1};
    if (got == 0) {
      const int exit_code = static_cast<int>(message.wParam);
      if (done) PostQuitMessage(exit_code);
      return {true, exit_code};
    }
    dispatch_message(message);
  }
  return {false, 0};
}

}  // namespace quadrivo::win
