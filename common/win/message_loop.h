// The thread's message loops: the program's own, the nested ones of modal windows, and letting
// pending events run inside a handler. Every one hands each message to dispatch_message().
#pragma once

#include <windows.h>

#include <functional>

namespace quadrivo::win {

// One queued message through the keyboard handling of its top-level window (Tab, arrows, the
// default buttons) and then to its window procedure.
void dispatch_message(MSG& message);

// Lets pending events run: dispatches every message already queued and returns. False when the
// queue held WM_QUIT, which is posted again so that the loop that owns it still sees it.
bool pump_pending_messages();

struct LoopEnd {
  bool quit;      // WM_QUIT ended the loop
  int exit_code;  // what WM_QUIT carried; 1 when GetMessageW failed
};

// Dispatches messages until done() answers true (asked before every wait) or WM_QUIT arrives.
// The program's loop has no end condition. A loop with one is nested in another: when WM_QUIT
// ends it, it posts WM_QUIT again so that the loops around it end too.
LoopEnd run_message_loop(const std::function<bool()>& done = {});

}  // namespace quadrivo::win
