// The main window: its form, the handlers bound to its events, and the program-wide values it
// keeps (the initial window size, the deal counter, the random generator). One object per
// window; it outlives the window, so a handler that let pending events run can still look at it
// after the window was destroyed under it.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "chain_solver.h"
#include "handles.h"
#include "main_form.h"
#include "round.h"

namespace quadrivo::app {

// The outer and client size of a window, as the layout pass last saw them.
struct WindowSizes {
  std::int32_t width, height, client_width, client_height;
  bool operator==(const WindowSizes&) const = default;
};

class MainWindow {
 public:
  static constexpr const wchar_t* kClassName = L"QuadrivoMainWindow";

  struct Options {
    // Where the companion modules are provisioned and Help.CHM is looked for: the program's
    // run directory, or another one a test chose.
    std::wstring run_directory;
    int show_command = SW_SHOWNORMAL;
  };

  // results: the program-wide results list, filled by each solve and read by the listing.
  MainWindow(ResultsList& results, Options options);
  ~MainWindow();
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  // Creates the window and all its controls, then raises the creation handler and the first
  // size change, each only while the window still exists, then shows it. False when the window
  // could not be created.
  bool load();

  HWND window() const { return window_; }
  const MainControls& controls() const { return controls_; }

  std::int32_t initial_window_height() const { return initial_window_height_; }
  std::int32_t initial_window_width() const { return initial_window_width_; }
  std::int32_t deal_count() const { return deal_count_; }
  RandomGenerator& random() { return random_; }
  bool listing_under_way() const { return listing_under_way_; }

 private:
  static LRESULT CALLBACK window_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT handle(UINT message, WPARAM wparam, LPARAM lparam);
  bool create_controls();
  HFONT font_for(const FontSpec& font_spec);
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

  // Appends the listing of the results list in batches, letting pending events run after each;
  // false when the window went away meanwhile.
  bool list_answers();

  std::array<HWND, kCardsPerDeal> number_labels() const;
  std::array<HWND, kCardsPerDeal> picture_boxes() const;
  std::array<HWND, 3> score_boxes() const;

  ResultsList& results_;
  Options options_;
  HWND window_ = nullptr;
  MainControls controls_;
  bool loaded_ = false;  // no handler runs while the window and its controls are being created
  HWND focus_before_deactivation_ = nullptr;
  std::vector<std::pair<FontSpec, win::UniqueFont>> fonts_;
  win::UniqueBrush white_brush_;

  bool laid_out_ = false;
  WindowSizes laid_out_sizes_{};
  std::int32_t initial_window_height_ = 0;
  std::int32_t initial_window_width_ = 0;
  std::int32_t deal_count_ = 0;
  RandomGenerator random_;
  bool listing_under_way_ = false;
};

// Runs the message loop until WM_QUIT, with the keyboard handling of each top-level window;
// returns the exit code WM_QUIT carried.
int run_message_loop();

}  // namespace quadrivo::app
