// The main window: its form, the handlers bound to its events, and the program-wide values it
// keeps (the initial window size, the deal counter, the random generator). One object per
// window; it outlives the window, so a handler that let pending events run can still look at it
// after the window was destroyed under it.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "app/engine/chain_solver.h"
#include "app/win/help_command.h"
#include "common/win/form.h"
#include "common/win/handles.h"
#include "common/win/message_box.h"
#include "common/win/window.h"
#include "app/win/main_form.h"
#include "app/engine/round.h"

namespace quadrivo::app {

// The outer and client size of a window, as the layout pass last saw them.
struct WindowSizes {
  std::int32_t width, height, client_width, client_height;
  bool operator==(const WindowSizes&) const = default;
};

// What the program around the main window provides. The program passes its own (the log module,
// real message boxes, WinExec, the update module); tests pass recorders. An empty function does
// nothing (a box then counts as answered with OK).
struct MainWindowHost {
  // Where the companion modules are provisioned and Help.CHM is looked for: the program's run
  // directory, or another one a test chose.
  std::wstring run_directory;
  int show_command = SW_SHOWNORMAL;
  std::function<void(const std::string& gbk_message, int kind)> write_log;
  win::MessageBoxFunction message_box;
  CommandStarter start_command;
  std::function<void()> run_update;  // the update module's window; returns when it closes
};

class MainWindow : public win::Window {
 public:
  static constexpr const wchar_t* kClassName = L"QuadrivoMainWindow";

  // results: the program-wide results list, filled by each solve and read by the listing.
  MainWindow(ResultsList& results, MainWindowHost host);
  ~MainWindow() override;

  // Creates the window and all its controls, then raises the creation handler and the first
  // size change, each only while the window still exists, then shows it. False when the window
  // could not be created.
  bool load();

  const MainControls& controls() const { return controls_; }

  std::int32_t initial_window_height() const { return initial_window_height_; }
  std::int32_t initial_window_width() const { return initial_window_width_; }
  std::int32_t deal_count() const { return deal_count_; }
  RandomGenerator& random() { return random_; }
  bool listing_under_way() const { return listing_under_way_; }

 private:
  LRESULT handle(UINT message, WPARAM wparam, LPARAM lparam) override;
  void on_gone() override;
  bool create_controls();
  LRESULT edit_colours(HDC dc, HWND control);
  void on_command(int id, int code);

  // Event handlers.
  void on_created();
  void on_size_changed();
  void on_stop();
  void on_deal();
  void on_show_answer();
  void on_award();
  void on_clear_scores();
  void on_update_command();
  void on_exit_command();
  void on_help_command();
  void on_about_command();

  // Writes an entry through the host, unless the Stop entry has been written: a handler whose
  // window went while it waited (a message box, pending events) writes nothing after it.
  void write_log(std::string_view gbk_message, int kind);
  int show_message(std::string_view gbk_text, std::string_view gbk_title, unsigned style);
  win::MessageBoxFunction message_box_function();

  // Appends the listing of the results list in batches, letting pending events run after each;
  // false when the window went away meanwhile.
  bool list_answers();

  std::array<HWND, kCardsPerDeal> number_labels() const;
  std::array<HWND, kCardsPerDeal> picture_boxes() const;
  std::array<HWND, 3> score_boxes() const;

  ResultsList& results_;
  MainWindowHost host_;
  MainControls controls_;
  bool loaded_ = false;   // no handler runs while the window and its controls are being created
  bool stopped_ = false;  // the Stop entry is written: nothing more goes to the log
  HWND focus_before_deactivation_ = nullptr;
  win::FontCache fonts_;
  win::UniqueBrush white_brush_;

  bool laid_out_ = false;
  WindowSizes laid_out_sizes_{};
  std::int32_t initial_window_height_ = 0;
  std::int32_t initial_window_width_ = 0;
  std::int32_t deal_count_ = 0;
  RandomGenerator random_;
  bool listing_under_way_ = false;
};

}  // namespace quadrivo::app
