#include "main_window.h"

#include <algorithm>

#include "about_window.h"
#include "companion_modules.h"
#include "help_command.h"
#include "layout_shell.h"
#include "log_entry.h"
#include "message_box.h"
#include "module_binding.h"
#include "numbers.h"
#include "picture.h"
#include "resource_ids.h"
#include "texts.h"
#include "wide_text.h"

namespace quadrivo::app {
namespace {

// How much work one append of the listing may carry before pending events get their turn.
constexpr double kListingSliceMs = 15.0;

constexpr COLORREF kScoreText = RGB(255, 0, 0);
constexpr COLORREF kAnswerText = RGB(0, 0, 0);
constexpr COLORREF kBoxBackground = RGB(255, 255, 255);

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;

struct ControlClass {
  const wchar_t* class_name;
  DWORD style;
  DWORD extended_style;
};

ControlClass control_class(ControlKind kind) {
  switch (kind) {
    case ControlKind::kGroupBox:
      return {L"BUTTON", kChild | WS_GROUP | WS_CLIPCHILDREN | BS_GROUPBOX, WS_EX_CONTROLPARENT};
    case ControlKind::kPicture:
      // SS_CENTERIMAGE keeps the box at its size and centres the slightly smaller card in it.
      return {L"STATIC", kChild | SS_BITMAP | SS_CENTERIMAGE, 0};
    case ControlKind::kNumberLabel:
    case ControlKind::kScoreLabel:
      return {L"STATIC", kChild | SS_CENTER, 0};
    case ControlKind::kButton:
      return {L"BUTTON", kChild | WS_GROUP | WS_TABSTOP | BS_PUSHBUTTON, 0};
    case ControlKind::kRadioButton:
      return {L"BUTTON", kChild | WS_TABSTOP | BS_AUTORADIOBUTTON, 0};
    case ControlKind::kCheckBox:
      return {L"BUTTON", kChild | WS_GROUP | WS_TABSTOP | BS_AUTOCHECKBOX, 0};
    case ControlKind::kScoreBox:
      return {L"EDIT", kChild | WS_GROUP | WS_TABSTOP | ES_CENTER | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE};
    case ControlKind::kAnswerBox:
      return {L"EDIT",
              kChild | WS_GROUP | WS_TABSTOP | WS_VSCROLL | WS_HSCROLL | ES_LEFT | ES_MULTILINE | ES_AUTOVSCROLL |
                  ES_AUTOHSCROLL | ES_WANTRETURN,
              WS_EX_CLIENTEDGE};
  }
  return {L"STATIC", kChild, 0};
}

bool same_font(const FontSpec& a, const FontSpec& b) {
  const bool same_face = (a.face == nullptr && b.face == nullptr) ||
                         (a.face != nullptr && b.face != nullptr && std::string_view(a.face) == b.face);
  return same_face && a.height == b.height && a.bold == b.bold && a.underline == b.underline;
}

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

bool register_window_class(HINSTANCE instance, WNDPROC procedure) {
  WNDCLASSEXW existing{};
  existing.cbSize = sizeof existing;
  if (GetClassInfoExW(instance, MainWindow::kClassName, &existing)) return true;
  WNDCLASSEXW window_class{};
  window_class.cbSize = sizeof window_class;
  window_class.lpfnWndProc = procedure;
  window_class.hInstance = instance;
  window_class.hIcon = static_cast<HICON>(
      LoadImageW(instance, MAKEINTRESOURCEW(IDI_QUADRIVO), IMAGE_ICON, 32, 32, LR_DEFAULTCOLOR | LR_SHARED));
  window_class.hIconSm = static_cast<HICON>(
      LoadImageW(instance, MAKEINTRESOURCEW(IDI_QUADRIVO), IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR | LR_SHARED));
  window_class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  window_class.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  window_class.lpszClassName = MainWindow::kClassName;
  return RegisterClassExW(&window_class) != 0;
}

}  // namespace

MainWindow::MainWindow(ResultsList& results, Options options)
    : results_(results), options_(std::move(options)), white_brush_(CreateSolidBrush(kBoxBackground)) {}

MainWindow::~MainWindow() {
  if (window_) DestroyWindow(window_);
}

bool MainWindow::load() {
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  if (!register_window_class(instance, &MainWindow::window_procedure)) return false;
  const HMENU menu = create_menu_bar();
  // The object reaches the window procedure through WM_NCCREATE; window_ is set there too.
  const HWND created = CreateWindowExW(0, kClassName, win::gbk_to_wide(texts::kMainCaption).c_str(),
                                       WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, kMainLeft, kMainTop, kMainWidth,
                                       kMainHeight, nullptr, menu, instance, this);
  if (!created) {
    DestroyMenu(menu);
    return false;
  }
  if (!create_controls()) {
    DestroyWindow(window_);
    return false;
  }
  loaded_ = true;

  on_created();
  // The moved event is not handled; the size-changed event follows.
  if (window_) on_size_changed();
  if (!window_) return true;
  ShowWindow(window_, options_.show_command);
  UpdateWindow(window_);
  return true;
}

bool MainWindow::create_controls() {
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  for (const FormControl& control : kMainForm) {
    const ControlClass kind = control_class(control.kind);
    const HWND parent = control.container ? controls_.*control.container : window_;
    const std::wstring caption = control.caption ? win::gbk_to_wide(control.caption) : std::wstring();
    DWORD style = kind.style;
    // The first radio button opens the group the three form; the rest join it.
    if (control.handle == &MainControls::单选框_第一组) style |= WS_GROUP;
    const HWND handle =
        CreateWindowExW(kind.extended_style, kind.class_name, caption.c_str(), style, control.left, control.top,
                        control.width, control.height, parent,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(control.id)), instance, nullptr);
    if (!handle) return false;
    controls_.*control.handle = handle;
    if (control.font.height > 0) SendMessageW(handle, WM_SETFONT, reinterpret_cast<WPARAM>(font_for(control.font)), FALSE);
    if (control.kind == ControlKind::kGroupBox) make_container(handle);
    if (control.kind == ControlKind::kScoreBox || control.kind == ControlKind::kAnswerBox) {
      SendMessageW(handle, EM_SETLIMITTEXT, 0, 0);  // the default 30,000 characters would cut a listing
    }
    if (control.kind == ControlKind::kAnswerBox) pass_tab_on(handle);
  }
  // The card area lies under the pictures, the number labels and the deal button, which belong
  // to the client area: below them in the drawing order, so it never paints over them, and
  // right after the deal button in the tab order, so Tab goes on into the judging box.
  SetWindowPos(controls_.分组框_出题区, controls_.出题按钮, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOREDRAW);
  return true;
}

HFONT MainWindow::font_for(const FontSpec& font_spec) {
  for (const auto& [known, font] : fonts_) {
    if (same_font(known, font_spec)) return font.get();
  }
  fonts_.emplace_back(font_spec, create_font(font_spec));
  return fonts_.back().second.get();
}

LRESULT CALLBACK MainWindow::window_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    auto* created = static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
    created->window_ = window;
  }
  auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!self) return DefWindowProcW(window, message, wparam, lparam);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    self->window_ = nullptr;
    self->controls_ = MainControls();
    return DefWindowProcW(window, message, wparam, lparam);
  }
  // No exception can leave a window procedure (the frames below it belong to the system): the
  // program is built without them, and a failure of the library ends the process instead.
  return self->handle(message, wparam, lparam);
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
        if (focus && IsChild(window_, focus)) focus_before_deactivation_ = focus;
      } else if (!HIWORD(wparam)) {
        const HWND focus = focus_before_deactivation_ && IsWindow(focus_before_deactivation_)
                               ? focus_before_deactivation_
                               : controls_.出题按钮;
        if (focus) SetFocus(focus);
      }
      return 0;
    case WM_DESTROY:
      if (loaded_) on_stop();
      return 0;
    default:
      break;
  }
  return DefWindowProcW(window_, message, wparam, lparam);
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
  GetWindowRect(window_, &outer);
  initial_window_height_ = outer.bottom - outer.top;
  GetWindowRect(window_, &outer);
  initial_window_width_ = outer.right - outer.left;
  for (const HWND box : score_boxes()) set_window_text(box, texts::kZeroScore);
  set_window_text(window_, start_caption(window_text(window_)));
  if (is_ready(provision_module(kScribbetModule, options_.run_directory))) {
    write_log_entry(texts::kStartMessage, log::kStart);
  }
}

void MainWindow::on_size_changed() {
  // A minimised window has a client area of 0 x 0: a pass then would shrink the card area to 28
  // high, and since its height is computed from its own, restoring would not bring it back and
  // the answer box would sit over the cards. Nothing is laid out until the window is restored.
  if (IsIconic(window_)) return;
  // Windows also sends WM_SIZE when nothing changed (when the window is first shown, or
  // restored to the size it had); the pass runs for a change of size only, since each pass
  // moves the card area's height a little further.
  const WindowSizes sizes = current_sizes(window_);
  if (laid_out_ && laid_out_sizes_ == sizes) return;
  laid_out_ = true;
  laid_out_sizes_ = sizes;
  run_layout_pass_on(window_, controls_, initial_window_width_, initial_window_height_);
}

void MainWindow::on_stop() {
  // The static controls do not delete the bitmaps they show.
  for (const HWND box : picture_boxes()) clear_picture(box);
  write_log_entry(texts::kStopMessage, log::kExit);
  PostQuitMessage(0);
  loaded_ = false;  // nothing of the form runs any more, not even from a listing's pump
}

void MainWindow::on_deal() {
  const auto labels = number_labels();
  std::array<win::UniqueBitmap, kCardsPerDeal> pictures;
  for (int card = 0; card < kCardsPerDeal; ++card) {
    const int rank = draw_rank(random_);
    pictures[card] = decode_picture(resource_bytes(IDR_CARD_FIRST + rank - kLowestRank));
    set_window_text(labels[card], int_to_text(rank));
  }
  const auto boxes = picture_boxes();
  for (int card = 0; card < kCardsPerDeal; ++card) set_picture(boxes[card], std::move(pictures[card]));
  set_window_text(controls_.出题按钮, texts::kNextDeal);
  deal_count_ = next_deal_count(deal_count_);
  NumberCaptions captions;
  for (int card = 0; card < kCardsPerDeal; ++card) captions[card] = window_text(labels[card]);
  write_log_entry(question_text(deal_count_, captions), log::kQuestion);
}

void MainWindow::on_show_answer() {
  // A click that arrives while a listing runs (from the listing's own pump) is ignored: a second
  // solve would empty the results list under the running listing.
  if (listing_under_way_) return;
  if (window_text(controls_.标签_第一个数).empty()) {
    win::message_box(texts::kNotDealtYet, texts::kDealPromptTitle, win::kInformationOk);
    return;
  }
  NumberCaptions captions;
  const auto labels = number_labels();
  for (int card = 0; card < kCardsPerDeal; ++card) captions[card] = window_text(labels[card]);
  const auto numbers = problem_from_captions(captions);
  set_window_text(controls_.编辑框_答案, "");
  solve(numbers[0], numbers[1], numbers[2], numbers[3], results_);
  set_window_text(window_, answer_caption(results_.size()));
  if (results_.empty()) {
    append_text(controls_.编辑框_答案, texts::kNoSolution);
  } else {
    listing_under_way_ = true;
    const bool complete = list_answers();
    listing_under_way_ = false;
    // Closed meanwhile: the Stop entry is written and the controls are gone.
    if (!complete) return;
  }
  write_log_entry(window_text(controls_.编辑框_答案), log::kAnswer);
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
    const bool quit = !pump_pending_events();
    if (quit || !loaded_ || !window_) return false;
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
  win::message_box(decision.message, decision.title, win::kInformationOk);
  write_log_entry(decision.message, decision.log_kind);
}

void MainWindow::on_clear_scores() {
  for (const HWND box : score_boxes()) set_window_text(box, texts::kZeroScore);
  write_log_entry(texts::kScoresCleared, log::kOther);
}

namespace {

using NovavisFunction = int __stdcall();
// The same fatal end as a Scribbet that cannot be bound.
constexpr UINT kNovavisBindingFailedExitCode = 3;
// Bound at its first call and kept, with its module-wide state, until the process ends.
constinit win::LazyExport<NovavisFunction> g_novavis(kNovavisModule.file_name, "Novavis",
                                                     kNovavisBindingFailedExitCode);

}  // namespace

void MainWindow::on_update_command() {
  // A file just written is called at once too: the host expects the window at the first click.
  if (!is_ready(provision_module(kNovavisModule, options_.run_directory))) return;
  // Returns when the update window closes; chosen again while it is open (its loop dispatches
  // this menu), it brings that window to the front and starts nothing new.
  g_novavis.get()();
}

void MainWindow::on_exit_command() { DestroyWindow(window_); }

void MainWindow::on_help_command() { run_help_command(options_.run_directory); }

void MainWindow::on_about_command() { run_about_window(); }

int run_message_loop() {
  MSG message;
  for (;;) {
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got == 0) return static_cast<int>(message.wParam);
    if (got == -1) return 1;
    dispatch_message(message);
  }
}

}  // namespace quadrivo::app
