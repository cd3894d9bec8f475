#include "app/win/main_window.h"

#include <algorithm>

#include "app/engine/texts.h"
#include "app/win/about_window.h"
#include "app/win/companion_modules.h"
#include "app/win/layout_shell.h"
#include "app/win/picture.h"
#include "app/win/resource_ids.h"
#include "common/log_kinds.h"
#include "common/numbers.h"
#include "common/scoped_flag.h"
#include "common/win/message_loop.h"
#include "common/win/module.h"
#include "common/win/wide_text.h"

namespace quadrivo::app {

using win::append_text;
using win::set_window_text;
using win::window_text;

namespace {

// How much work one append of the listing may carry before pending events get their turn.
constexpr double kListingSliceMs = 15.0;

constexpr COLORREF kScoreText = RGB(255, 0, 0);
constexpr COLORREF kAnswerText = RGB(0, 0, 0);
constexpr COLORREF kBoxBackground = RGB(255, 255, 255);

bool is_checked(HWND button) { return SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED; }

WindowSizes current_sizes(HWND window) {
  RECT outer{}, client{};
  GetWindowRect(window, &outer);
  GetClientRect(window, &client);
  return {outer.right - outer.left, outer.bottom - outer.top, client.right, client.bottom};
}

double milliseconds_now() {
  LARGE_INTEGER counter, frequency;
  QueryPerformanceCounter(&counter);
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(counter.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

HMENU create_menu_bar() {
  const HMENU bar = CreateMenu();
  for (const auto& menu : kMainMenu) {
    const HMENU popup = CreatePopupMenu();
    for (std::size_t i = 0; i < menu.count; ++i) {
      const MenuEntry& entry = menu.entries[i];
      if (std::string_view(entry.caption) == kSeparator) {
        AppendMenuW(popup, MF_SEPARATOR, 0, nullptr);
      } else {
        AppendMenuW(popup, MF_STRING, static_cast<UINT_PTR>(entry.command), win::gbk_to_wide(entry.caption).c_str());
      }
    }
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(popup), win::gbk_to_wide(menu.caption).c_str());
  }
  return bar;
}

win::WindowClass main_window_class() {
  const HINSTANCE module = win::this_module();
  return {MainWindow::kClassName,
          static_cast<HICON>(LoadImageW(module, MAKEINTRESOURCEW(IDI_QUADRIVO), IMAGE_ICON, 32, 32,
                                        LR_DEFAULTCOLOR | LR_SHARED)),
          static_cast<HICON>(LoadImageW(module, MAKEINTRESOURCEW(IDI_QUADRIVO), IMAGE_ICON, 16, 16,
                                        LR_DEFAULTCOLOR | LR_SHARED))};
}

}  // namespace

MainWindow::MainWindow(ResultsList& results, MainWindowHost host)
    : results_(results), host_(std::move(host)), white_brush_(CreateSolidBrush(kBoxBackground)) {}

// Destroyed here, not by the base: the stop handler must still run.
MainWindow::~MainWindow() { destroy(); }

bool MainWindow::load() {
  const HMENU menu = create_menu_bar();
  const win::WindowPlacement placement{0, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, kMainLeft, kMainTop, kMainWidth,
                                       kMainHeight};
  if (!create(main_window_class(), placement, win::gbk_to_wide(texts::kMainCaption).c_str(), menu)) {
    DestroyMenu(menu);
    return false;
  }
  if (!create_controls()) {
    destroy();
    return false;
  }
  loaded_ = true;

  on_created();
  // The moved event is not handled; the size-changed event follows.
  if (window()) on_size_changed();
  if (!window()) return true;
  ShowWindow(window(), host_.show_command);
  UpdateWindow(window());
  return true;
}

bool MainWindow::create_controls() {
  if (!win::build_form<MainControls>(window(), kMainForm, controls_, fonts_)) return false;
  // The card area lies under the pictures, the number labels and the deal button, which belong
  // to the client area: below them in the drawing order, so it never paints over them, and
  // right after the deal button in the tab order, so Tab goes on into the judging box.
  SetWindowPos(controls_.分组框_出题区, controls_.出题按钮, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOREDRAW);
  return true;
}

void MainWindow::on_gone() { controls_ = MainControls(); }

void MainWindow::write_log(std::string_view gbk_message, int kind) {
  if (stopped_ || !host_.write_log) return;
  host_.write_log(std::string(gbk_message), kind);
}

win::MessageBoxFunction MainWindow::message_box_function() {
  return [this](const std::string& text, const std::string& title, unsigned style) {
    return show_message(text, title, style);
  };
}

int MainWindow::show_message(std::string_view gbk_text, std::string_view gbk_title, unsigned style) {
  if (!host_.message_box) return IDOK;
  return host_.message_box(std::string(gbk_text), std::string(gbk_title), style);
}

LRESULT MainWindow::handle(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_COMMAND:
      if (loaded_) on_command(LOWORD(wparam), HIWORD(wparam));
      return 0;
    case WM_SIZE:
      if (loaded_) on_size_changed();
      return 0;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
      if (const LRESULT brush = edit_colours(reinterpret_cast<HDC>(wparam), reinterpret_cast<HWND>(lparam))) {
        return brush;
      }
      break;
    case WM_ACTIVATE:
      // Keyboard users get their focus back when the window is activated again.
      if (LOWORD(wparam) == WA_INACTIVE) {
        const HWND focus = GetFocus();
        if (focus && IsChild(window(), focus)) focus_before_deactivation_ = focus;
      } else if (!HIWORD(wparam)) {
        const HWND focus = focus_before_deactivation_ && IsWindow(focus_before_deactivation_)
                               ? focus_before_deactivation_
                               : controls_.出题按钮;
        if (focus) SetFocus(focus);
      }
      return 0;
    case WM_GETMINMAXINFO: {
      auto* limits = reinterpret_cast<MINMAXINFO*>(lparam);
      limits->ptMinTrackSize = {kMainMinimumWidth, kMainMinimumHeight};
      return 0;
    }
    case WM_DESTROY:
      if (loaded_) on_stop();
      return 0;
    default:
      break;
  }
  return default_handling(message, wparam, lparam);
}

LRESULT MainWindow::edit_colours(HDC dc, HWND control) {
  const auto scores = score_boxes();
  const bool score = std::find(scores.begin(), scores.end(), control) != scores.end();
  if (!score && control != controls_.编辑框_答案) return 0;
  SetTextColor(dc, score ? kScoreText : kAnswerText);
  SetBkColor(dc, kBoxBackground);
  return reinterpret_cast<LRESULT>(white_brush_.get());
}

void MainWindow::on_command(int id, int code) {
  switch (id) {
    case kCommandCheckUpdate: return on_update_command();
    case kCommandExit: return on_exit_command();
    case kCommandHelpDocument: return on_help_command();
    case kCommandAbout: return on_about_command();
    default: break;
  }
  if (code != BN_CLICKED) return;
  switch (id) {
    case kIdDealButton: return on_deal();
    case kIdShowAnswerButton: return on_show_answer();
    case kIdAwardButton: return on_award();
    case kIdClearScoresButton: return on_clear_scores();
    default: break;
  }
}

std::array<HWND, kCardsPerDeal> MainWindow::number_labels() const {
  return {controls_.标签_第一个数, controls_.标签_第二个数, controls_.标签_第三个数, controls_.标签_第四个数};
}

std::array<HWND, kCardsPerDeal> MainWindow::picture_boxes() const {
  return {controls_.第一张图片框, controls_.第二张图片框, controls_.第三张图片框, controls_.第四张图片框};
}

std::array<HWND, 3> MainWindow::score_boxes() const {
  return {controls_.编辑框_第一组, controls_.编辑框_第二组, controls_.编辑框_第三组};
}

void MainWindow::on_created() {
  random_.seed(GetTickCount());
  RECT outer;
  GetWindowRect(window(), &outer);
  initial_window_height_ = outer.bottom - outer.top;
  GetWindowRect(window(), &outer);
  initial_window_width_ = outer.right - outer.left;
  for (const HWND box : score_boxes()) set_window_text(box, texts::kZeroScore);
  set_window_text(window(), start_caption(window_text(window())));
  if (is_ready(provision_module(kScribbetModule, host_.run_directory, message_box_function()))) {
    write_log(texts::kStartMessage, log::kStart);
  }
}

void MainWindow::on_size_changed() {
  // A minimised window has a client area of 0 x 0: a pass then would shrink the card area to 28
  // high, and since its height is computed from its own, restoring would not bring it back and
  // the answer box would sit over the cards. Nothing is laid out until the window is restored.
  if (IsIconic(window())) return;
  // Windows also sends WM_SIZE when nothing changed (when the window is first shown, or
  // restored to the size it had); the pass runs for a change of size only, since each pass
  // moves the card area's height a little further.
  const WindowSizes sizes = current_sizes(window());
  if (laid_out_ && laid_out_sizes_ == sizes) return;
  laid_out_ = true;
  laid_out_sizes_ = sizes;
  run_layout_pass_on(window(), controls_, initial_window_width_, initial_window_height_);
}

void MainWindow::on_stop() {
  // The static controls do not delete the bitmaps they show.
  for (const HWND box : picture_boxes()) clear_picture(box);
  write_log(texts::kStopMessage, log::kExit);
  stopped_ = true;
  PostQuitMessage(0);
  loaded_ = false;  // nothing of the form runs any more, not even from a listing's pump
}

void MainWindow::on_deal() {
  const auto labels = number_labels();
  std::array<win::UniqueBitmap, kCardsPerDeal> pictures;
  for (int card = 0; card < kCardsPerDeal; ++card) {
    const int rank = draw_rank(random_);
    pictures[card] = decode_picture(win::resource_bytes(IDR_CARD_FIRST + rank - kLowestRank));
    set_window_text(labels[card], int_to_text(rank));
  }
  const auto boxes = picture_boxes();
  for (int card = 0; card < kCardsPerDeal; ++card) set_picture(boxes[card], std::move(pictures[card]));
  set_window_text(controls_.出题按钮, texts::kNextDeal);
  deal_count_ = next_deal_count(deal_count_);
  NumberCaptions captions;
  for (int card = 0; card < kCardsPerDeal; ++card) captions[card] = window_text(labels[card]);
  write_log(question_text(deal_count_, captions), log::kQuestion);
}

void MainWindow::on_show_answer() {
  // A click that arrives while a listing runs (from the listing's own pump) is ignored: a second
  // solve would empty the results list under the running listing.
  if (listing_under_way_) return;
  if (window_text(controls_.标签_第一个数).empty()) {
    show_message(texts::kNotDealtYet, texts::kDealPromptTitle, MB_ICONINFORMATION | MB_OK);
    return;
  }
  NumberCaptions captions;
  const auto labels = number_labels();
  for (int card = 0; card < kCardsPerDeal; ++card) captions[card] = window_text(labels[card]);
  const auto numbers = problem_from_captions(captions);
  set_window_text(controls_.编辑框_答案, "");
  solve(numbers[0], numbers[1], numbers[2], numbers[3], results_);
  set_window_text(window(), answer_caption(results_.size()));
  if (results_.empty()) {
    append_text(controls_.编辑框_答案, texts::kNoSolution);
  } else {
    bool complete = false;
    {
      // Cleared however the listing ends, an exception included: a flag left set would make every
      // later click on the button do nothing.
      const ScopedFlag listing(listing_under_way_);
      complete = list_answers();
    }
    // Closed meanwhile: the Stop entry is written and the controls are gone.
    if (!complete) return;
  }
  write_log(window_text(controls_.编辑框_答案), log::kAnswer);
}

bool MainWindow::list_answers() {
  // Under Wine each append to the visible box costs about 16 ms whatever it carries (the scroll
  // bars' update), so one append per path would take seconds for a long list. The paths go in
  // batches instead; pending events run after each batch.
  const std::size_t count = results_.size();
  AppendBatcher batcher(kListingSliceMs);
  std::string text = listing_header(count);
  for (std::size_t next = 0; next < count;) {
    const std::size_t batch = std::min(batcher.next_count(), count - next);
    for (std::size_t i = 0; i < batch; ++i) text += listing_piece(results_[next + i]);
    next += batch;
    const double started = milliseconds_now();
    append_text(controls_.编辑框_答案, text);
    text.clear();
    const bool quit = !win::pump_pending_messages();
    if (quit || !loaded_ || !window()) return false;
    batcher.record(batch, milliseconds_now() - started);
  }
  return true;
}

void MainWindow::on_award() {
  AwardInputs inputs;
  inputs.dealt = !window_text(controls_.标签_第一个数).empty();
  inputs.group = {is_checked(controls_.单选框_第一组), is_checked(controls_.单选框_第二组),
                  is_checked(controls_.单选框_第三组)};
  inputs.second_method = is_checked(controls_.选择框_第二种方法答对);
  inputs.third_method = is_checked(controls_.选择框_第三种方法答对);
  const AwardDecision decision = decide_award(inputs);
  if (decision.refusal == AwardRefusal::kNone) {
    const HWND box = score_boxes()[static_cast<std::size_t>(decision.group)];
    set_window_text(box, add_points(window_text(box), decision.points));
  }
  show_message(decision.message, decision.title, MB_ICONINFORMATION | MB_OK);
  write_log(decision.message, decision.log_kind);
}

void MainWindow::on_clear_scores() {
  for (const HWND box : score_boxes()) set_window_text(box, texts::kZeroScore);
  write_log(texts::kScoresCleared, log::kOther);
}

void MainWindow::on_update_command() {
  // A file just written is called at once too: the host expects the window at the first click.
  if (!is_ready(provision_module(kNovavisModule, host_.run_directory, message_box_function()))) return;
  // Returns when the update window closes; chosen again while it is open (its loop dispatches
  // this menu), it brings that window to the front and starts nothing new.
  if (host_.run_update) host_.run_update();
}

void MainWindow::on_exit_command() { destroy(); }

void MainWindow::on_help_command() {
  const auto show = [this](const std::string& text, const std::string& title, unsigned style) {
    return show_message(text, title, style);
  };
  const auto start = [this](const std::wstring& command_line) {
    if (host_.start_command) host_.start_command(command_line);
  };
  run_help_command(host_.run_directory, show, start);
}

void MainWindow::on_about_command() { run_about_window(); }

}  // namespace quadrivo::app
