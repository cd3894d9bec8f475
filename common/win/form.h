// Forms: one table format for the controls of every window of the system, one builder that
// creates them from it, the fonts they name, and GBK text in and out of controls.
#pragma once

#include <windows.h>

#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/win/handles.h"

namespace quadrivo::win {

// A font of a form: a character height in pixels (given to Windows as a negative logical
// height), a face (nullptr: the default face of the character set), bold, underlined. Every
// font of the system uses the GB2312 character set.
struct FontSpec {
  const char* face;  // GBK
  int height;        // 0: the control keeps the system's font
  bool bold = false;
  bool underline = false;

  bool operator==(const FontSpec& other) const;
};

inline constexpr const char* kDefaultFace = nullptr;
inline constexpr FontSpec kNoFont{nullptr, 0};

UniqueFont create_font(const FontSpec& font_spec);

// The fonts of one window: each different FontSpec is made once and lives as long as the cache.
class FontCache {
 public:
  HFONT get(const FontSpec& font_spec);

 private:
  std::vector<std::pair<FontSpec, UniqueFont>> fonts_;
};

// What the builder does to a control besides creating it.
enum ControlTrait : unsigned {
  kContainer = 1,      // a group box its children live in: make_container()
  kUnlimitedText = 2,  // an edit box without the default limit of 30,000 characters
  kPassesTab = 4,      // a multi-line edit box that lets Tab move on: pass_tab_on()
};

// A kind of control of a form: its window class and styles (WS_CHILD and WS_VISIBLE come with
// every control) and its traits.
struct ControlKind {
  const wchar_t* class_name;
  DWORD style;
  DWORD extended_style;
  unsigned traits;
};

// One control of a form whose handles live in Controls, a struct of HWNDs named as the form names
// the controls. A special case of one control is an entry of the table (extra_style), not code.
template <typename Controls>
struct FormControl {
  const char* name;                // GBK, the control's name on the form
  HWND Controls::*handle;
  HWND Controls::*container;       // nullptr: the window's client area
  const ControlKind* kind;
  int left, top, width, height;    // in the container's client coordinates
  const char* caption;             // GBK; nullptr: empty
  FontSpec font;                   // height 0: no font of its own
  int id;                          // the control id its notifications carry
  DWORD extra_style = 0;           // added to the kind's style for this control alone
};

// Creates one control in parent as the table says, with its font from fonts; nullptr on failure.
HWND create_control(HWND parent, const ControlKind& kind, DWORD extra_style, int left, int top, int width,
                    int height, const char* caption, const FontSpec& font, int id, FontCache& fonts);

// Creates every control of form in table order (a container before its children), each in its
// container, and records the handles in controls. False as soon as one cannot be created.
template <typename Controls>
bool build_form(HWND window, std::span<const FormControl<Controls>> form, Controls& controls, FontCache& fonts) {
  for (const FormControl<Controls>& control : form) {
    const HWND parent = control.container ? controls.*control.container : window;
    const HWND handle = create_control(parent, *control.kind, control.extra_style, control.left, control.top,
                                       control.width, control.height, control.caption, control.font, control.id,
                                       fonts);
    if (!handle) return false;
    controls.*control.handle = handle;
  }
  return true;
}

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

}  // namespace quadrivo::win
