// What the program's windows share: GBK text in and out of controls, fonts of the forms,
// group boxes that work as containers, and the dispatching of queued messages.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "handles.h"

namespace quadrivo::app {

// A font of a form: a character height in pixels (given to Windows as a negative logical
// height), a face (nullptr: the default face of the character set), bold, underlined. Every
// font of the program uses the GB2312 character set.
struct FontSpec {
  const char* face;  // GBK
  int height;        // 0: the control keeps the system's font
  bool bold = false;
  bool underline = false;
};

win::UniqueFont create_font(const FontSpec& font_spec);

// A control's text as GBK, and back.
std::string window_text(HWND window);
void set_window_text(HWND window, std::string_view gbk_text);

// Appends text at the end of an edit box's text (the caret moved to the end first, so whatever
// the user selected is left alone) and scrolls so that the end is visible.
void append_text(HWND edit_box, std::string_view gbk_text);

// Makes a group box a real container: the notifications and colour requests of its children
// reach the top-level window, and it paints its own background, so that moving or resizing it
// leaves no copies of it behind.
void make_container(HWND group_box);

// A multi-line edit box takes every key, Tab included, so keyboard users could not leave it;
// this one lets Tab and Shift+Tab move the focus on, as they do everywhere else in the form.
void pass_tab_on(HWND edit_box);

// One queued message through the keyboard handling of its top-level window (Tab, arrows, the
// default buttons) and then to its window procedure.
void dispatch_message(MSG& message);

// Dispatches every message already queued and returns; false when the queue held WM_QUIT,
// which is posted again so that the loop that owns it still sees it.
bool pump_pending_events();

}  // namespace quadrivo::app
