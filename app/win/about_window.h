// The About window: banner, icon, the version and credit text, and an OK button. Modal: every
// other window of the thread is disabled while it is open.
#pragma once

namespace quadrivo::app {

inline constexpr const wchar_t* kAboutClassName = L"QuadrivoAboutWindow";

// Creates the About window anew, with no owner, and returns only after it has been closed (its
// OK button or the window's close button). Afterwards the window that was active is active
// again and the focus is back where it was.
void run_about_window();

}  // namespace quadrivo::app
