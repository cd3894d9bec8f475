// The real main window, created by the program's own code in this process and driven through
// its controls: the form, the start, the companion module, a whole round, help and About.
// Message boxes, log entries and the help viewer's command line go to recorders.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>
#include <objbase.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/win/about_window.h"
#include "app/engine/chain_solver.h"
#include "app/win/companion_modules.h"
#include "common/gbk_utf8.h"
#include "app/win/help_command.h"
#include "app/engine/layout.h"
#include "app/win/layout_shell.h"
#include "modules/log/log_entry.h"
#include "app/win/main_form.h"
#include "app/win/main_window.h"
#include "common/win/message_box.h"
#include "app/engine/round.h"
#include "tests/win/support/test_support.h"
#include "app/engine/texts.h"
#include "common/version.h"
#include "common/win/message_loop.h"
#include "common/win/wide_text.h"

namespace quadrivo {
namespace {

using app::kMainForm;
using app::MainControls;
using app::MainWindow;

std::string gbk(const char8_t* utf8) { return utf8_to_gbk(reinterpret_cast<const char*>(utf8)); }
std::string utf8(const std::string& gbk_text) { return gbk_to_utf8(gbk_text); }

struct ShownBox {
  std::string text, title;
  unsigned style;
};
struct LogEntry {
  std::string message;
  int kind;
  bool operator==(const LogEntry&) const = default;
};
void PrintTo(const LogEntry& entry, std::ostream* out) { *out << entry.kind << " \"" << utf8(entry.message) << "\""; }

std::string text_of(HWND window) {
  const int length = GetWindowTextLengthW(window);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), length + 1)));
  return win::wide_to_gbk(text);
}

void set_text(HWND window, const std::string& gbk_text) { SetWindowTextW(window, win::gbk_to_wide(gbk_text).c_str()); }

bool checked(HWND button) { return SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED; }
void set_checked(HWND button, bool on) { SendMessageW(button, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0); }

HBITMAP picture_of(HWND box) { return reinterpret_cast<HBITMAP>(SendMessageW(box, STM_GETIMAGE, IMAGE_BITMAP, 0)); }

// Removes a WM_QUIT the window's end posted, so that it cannot end a later test's loop.
void drain_quit() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message != WM_QUIT) DispatchMessageW(&message);
  }
}

class Environment : public testing::Environment {
 public:
  void SetUp() override {
    const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
  }
  void TearDown() override { CoUninitialize(); }
};
const auto* const environment = testing::AddGlobalTestEnvironment(new Environment);

class MainWindowTest : public testing::Test {
 protected:
  void SetUp() override {
    win::set_message_box_answerer([this](const std::string& text, const std::string& title, unsigned style) {
      boxes_.push_back({text, title, style});
      return IDOK;
    });
  }

  // The host the program would pass, with recorders in place of the log module and the help
  // viewer. Message boxes are the program's own, answered and recorded through their seam.
  app::MainWindowHost recording_host(const std::wstring& run_directory, int show_command) {
    app::MainWindowHost host;
    host.run_directory = run_directory;
    host.show_command = show_command;
    host.write_log = [this](const std::string& message, int kind) { entries_.push_back({message, kind}); };
    host.message_box = win::message_box;
    host.start_command = [this](const std::wstring& line) { started_.push_back(win::wide_to_gbk(line)); };
    return host;
  }

  void TearDown() override {
    window_.reset();
    drain_quit();
    win::set_message_box_answerer(nullptr);
  }

  void open(const std::wstring& run_directory, int show_command = SW_SHOWNORMAL) {
    window_ = std::make_unique<MainWindow>(results_, recording_host(run_directory, show_command));
    ASSERT_TRUE(window_->load());
    ASSERT_NE(window_->window(), nullptr);
  }
  void open() { open(run_dir_.path()); }

  const MainControls& c() const { return window_->controls(); }
  HWND main() const { return window_->window(); }
  void click(HWND button) { SendMessageW(button, BM_CLICK, 0, 0); }
  void menu(int command) { SendMessageW(main(), WM_COMMAND, MAKEWPARAM(command, 0), 0); }

  // Puts a problem on the table the way a deal leaves it: the number labels are its only record.
  void put_problem(const char* a, const char* b, const char* c2, const char* d) {
    set_text(c().标签_第一个数, a);
    set_text(c().标签_第二个数, b);
    set_text(c().标签_第三个数, c2);
    set_text(c().标签_第四个数, d);
  }

  std::vector<LogEntry> entries_since_start() const {
    std::vector<LogEntry> later = entries_;
    if (!later.empty() && later.front().kind == log::kStart) later.erase(later.begin());
    return later;
  }

  test::ScratchDirectory run_dir_{L"main-window"};
  ResultsList results_;
  std::unique_ptr<MainWindow> window_;
  std::vector<ShownBox> boxes_;
  std::vector<LogEntry> entries_;
  std::vector<std::string> started_;
};

// ---------------------------------------------------------------- texts

TEST(Texts, EveryTextIsValidCodePage936AndComesBackUnchanged) {
  for (const char* text : texts::kAllTexts) {
    const std::string bytes = text;
    const int wide_length = MultiByteToWideChar(936, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()),
                                                nullptr, 0);
    ASSERT_GT(wide_length, 0) << "not code page 936: " << utf8(bytes);
    std::wstring wide(static_cast<std::size_t>(wide_length), L'\0');
    MultiByteToWideChar(936, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()), wide.data(),
                        wide_length);
    EXPECT_EQ(win::wide_to_gbk(wide), bytes) << utf8(bytes);
    EXPECT_EQ(wide.find(L'\xFFFD'), std::wstring::npos) << utf8(bytes);
  }
}

// ---------------------------------------------------------------- the form at start

TEST_F(MainWindowTest, StartShowsZeroScoresEmptyLabelsAndTheCreditInTheCaption) {
  open();
  for (HWND box : {c().编辑框_第一组, c().编辑框_第二组, c().编辑框_第三组}) EXPECT_EQ(text_of(box), "0");
  for (HWND label : {c().标签_第一个数, c().标签_第二个数, c().标签_第三个数, c().标签_第四个数}) {
    EXPECT_EQ(text_of(label), "");
  }
  for (HWND picture : {c().第一张图片框, c().第二张图片框, c().第三张图片框, c().第四张图片框}) {
    EXPECT_EQ(picture_of(picture), nullptr);
  }
  EXPECT_EQ(text_of(c().编辑框_答案), "");
  EXPECT_EQ(text_of(c().出题按钮), gbk(u8"出题"));
  EXPECT_EQ(text_of(main()), std::string("Quadrivo   ") + texts::kCredit);
  EXPECT_TRUE(IsWindowVisible(main()));

  RECT outer;
  GetWindowRect(main(), &outer);
  EXPECT_EQ(outer.left, 50);
  EXPECT_EQ(outer.top, 50);
  EXPECT_EQ(window_->initial_window_height(), 660);
  EXPECT_EQ(window_->initial_window_width(), 800);
  EXPECT_EQ(window_->deal_count(), 0);
  EXPECT_TRUE(boxes_.empty());
}

// Where a control stands once the window is up: the form's place, moved by the first layout pass
// for the controls the pass lays out.
RECT expected_rect(const app::FormControl& control, const LayoutGeometry& laid_out) {
  for (const LayoutControl& layout : kLayoutControls) {
    if (app::layout_handle(layout) != control.handle) continue;
    const Box& box = laid_out.*layout.box;
    return {box.left, box.top, box.left + box.width, box.top + box.height};
  }
  return {control.left, control.top, control.left + control.width, control.top + control.height};
}

TEST_F(MainWindowTest, EveryControlHasTheFormsContainerPlaceSizeCaptionAndFont) {
  open();
  RECT outer, client;
  GetWindowRect(main(), &outer);
  GetClientRect(main(), &client);
  LayoutGeometry laid_out =
      app::form_layout_geometry(outer.right - outer.left, outer.bottom - outer.top, client.right, client.bottom);
  run_layout_pass(laid_out);
  for (const auto& control : kMainForm) {
    SCOPED_TRACE(utf8(control.name));
    const HWND handle = c().*control.handle;
    ASSERT_NE(handle, nullptr);
    const HWND container = control.container ? c().*control.container : main();
    EXPECT_EQ(GetParent(handle), container);
    EXPECT_EQ(GetDlgCtrlID(handle), control.id);

    RECT rect;
    GetWindowRect(handle, &rect);
    MapWindowPoints(nullptr, container, reinterpret_cast<POINT*>(&rect), 2);
    const RECT expected = expected_rect(control, laid_out);
    EXPECT_EQ(rect.left, expected.left);
    EXPECT_EQ(rect.top, expected.top);
    EXPECT_EQ(rect.right, expected.right);
    EXPECT_EQ(rect.bottom, expected.bottom);

    if (control.caption) {
      EXPECT_EQ(text_of(handle), control.caption);
    }

    const auto font = reinterpret_cast<HFONT>(SendMessageW(handle, WM_GETFONT, 0, 0));
    if (control.font.height == 0) continue;
    ASSERT_NE(font, nullptr);
    LOGFONTW logical{};
    ASSERT_TRUE(GetObjectW(font, sizeof logical, &logical));
    EXPECT_EQ(logical.lfHeight, -control.font.height);
    EXPECT_EQ(logical.lfCharSet, GB2312_CHARSET);
    EXPECT_EQ(logical.lfWeight, control.font.bold ? FW_BOLD : FW_NORMAL);
    EXPECT_EQ(win::wide_to_gbk(logical.lfFaceName), control.font.face ? control.font.face : "");
  }
}

TEST_F(MainWindowTest, EditBoxesAreSetUpAsTheFormSays) {
  open();
  const auto style = [](HWND h) { return static_cast<DWORD>(GetWindowLongPtrW(h, GWL_STYLE)); };
  const DWORD answer = style(c().编辑框_答案);
  EXPECT_TRUE(answer & ES_MULTILINE);
  EXPECT_TRUE(answer & WS_VSCROLL);
  EXPECT_TRUE(answer & WS_HSCROLL);
  EXPECT_FALSE(answer & (ES_CENTER | ES_RIGHT));
  EXPECT_FALSE(answer & ES_READONLY);
  for (HWND box : {c().编辑框_第一组, c().编辑框_第二组, c().编辑框_第三组}) {
    EXPECT_FALSE(style(box) & ES_MULTILINE);
    EXPECT_TRUE(style(box) & ES_CENTER);
    EXPECT_FALSE(style(box) & ES_READONLY);
  }

  // The colours the window gives each box when it paints.
  const HDC dc = CreateCompatibleDC(nullptr);
  const struct {
    HWND box;
    COLORREF text;
  } boxes[] = {{c().编辑框_第一组, RGB(255, 0, 0)}, {c().编辑框_第二组, RGB(255, 0, 0)},
               {c().编辑框_第三组, RGB(255, 0, 0)}, {c().编辑框_答案, RGB(0, 0, 0)}};
  for (const auto& b : boxes) {
    for (UINT message : {WM_CTLCOLOREDIT, WM_CTLCOLORSTATIC}) {
      SetTextColor(dc, RGB(1, 2, 3));
      SetBkColor(dc, RGB(4, 5, 6));
      const auto brush = reinterpret_cast<HBRUSH>(
          SendMessageW(main(), message, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(b.box)));
      ASSERT_NE(brush, nullptr);
      LOGBRUSH logical{};
      GetObjectW(brush, sizeof logical, &logical);
      EXPECT_EQ(logical.lbColor, RGB(255, 255, 255));
      EXPECT_EQ(GetTextColor(dc), b.text);
      EXPECT_EQ(GetBkColor(dc), RGB(255, 255, 255));
    }
  }
  DeleteDC(dc);

  // No 30,000-character limit: a long listing must not be cut.
  EXPECT_GT(static_cast<DWORD>(SendMessageW(c().编辑框_答案, EM_GETLIMITTEXT, 0, 0)), 1000000u);
}

TEST_F(MainWindowTest, MenuBarHasTwoMenusAndExactlyOneSeparator) {
  open();
  const HMENU bar = GetMenu(main());
  ASSERT_NE(bar, nullptr);
  const auto caption = [](HMENU menu, int position) {
    wchar_t text[64] = {};
    GetMenuStringW(menu, static_cast<UINT>(position), text, 64, MF_BYPOSITION);
    return win::wide_to_gbk(text);
  };
  ASSERT_EQ(GetMenuItemCount(bar), 2);
  EXPECT_EQ(caption(bar, 0), gbk(u8"文件"));
  EXPECT_EQ(caption(bar, 1), gbk(u8"帮助"));

  const struct {
    int menu;
    std::vector<std::string> captions;  // "-": a separator
    std::vector<int> commands;
  } expected[] = {
      {0, {gbk(u8"检查更新"), "-", gbk(u8"退出")}, {app::kCommandCheckUpdate, 0, app::kCommandExit}},
      {1, {gbk(u8"帮助文档"), gbk(u8"关于Quadrivo")}, {app::kCommandHelpDocument, app::kCommandAbout}},
  };
  int separators = 0;
  for (const auto& e : expected) {
    const HMENU popup = GetSubMenu(bar, e.menu);
    ASSERT_NE(popup, nullptr);
    ASSERT_EQ(GetMenuItemCount(popup), static_cast<int>(e.captions.size()));
    for (std::size_t i = 0; i < e.captions.size(); ++i) {
      MENUITEMINFOW item{};
      item.cbSize = sizeof item;
      item.fMask = MIIM_FTYPE | MIIM_ID;
      ASSERT_TRUE(GetMenuItemInfoW(popup, static_cast<UINT>(i), TRUE, &item));
      if (item.fType & MFT_SEPARATOR) {
        ++separators;
        EXPECT_EQ(e.captions[i], "-");
        continue;
      }
      EXPECT_EQ(caption(popup, static_cast<int>(i)), e.captions[i]);
      EXPECT_EQ(static_cast<int>(item.wID), e.commands[i]);
    }
  }
  EXPECT_EQ(separators, 1);
}

TEST_F(MainWindowTest, TabMovesFromTheDealButtonIntoTheJudgingBoxAndOn) {
  open();
  SetFocus(c().出题按钮);
  ASSERT_EQ(GetFocus(), c().出题按钮);
  std::vector<HWND> visited;
  for (int i = 0; i < 14; ++i) {
    MSG tab{GetFocus(), WM_KEYDOWN, VK_TAB, 0, 0, {}};
    win::dispatch_message(tab);
    visited.push_back(GetFocus());
  }
  std::string order;
  for (HWND h : visited) order += std::to_string(GetDlgCtrlID(h)) + " ";
  const auto seen = [&](HWND h) { return std::find(visited.begin(), visited.end(), h) != visited.end(); };
  EXPECT_EQ(visited.front(), c().单选框_第一组);
  EXPECT_EQ(text_of(c().编辑框_答案), "") << "Tab is no character of the answer box";
  for (HWND h : {c().选择框_第二种方法答对, c().选择框_第三种方法答对, c().按钮_确定, c().编辑框_第一组,
                 c().编辑框_答案, c().按钮_正确答案, c().按钮_清空得分, c().出题按钮}) {
    EXPECT_TRUE(seen(h)) << "Tab never reached control " << GetDlgCtrlID(h) << "; the order was " << order;
  }
}

bool entered_menu = false;
void CALLBACK leave_menu(HWND, UINT, UINT_PTR timer, DWORD) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  if (!GetGUIThreadInfo(GetCurrentThreadId(), &info) || !(info.flags & GUI_INMENUMODE)) return;
  KillTimer(nullptr, timer);
  entered_menu = true;
  EndMenu();
}

TEST_F(MainWindowTest, AltReachesTheMenuBarThroughTheKeyboardHandlingOfTheLoop) {
  open();
  SetForegroundWindow(main());
  SetFocus(c().编辑框_第一组);
  entered_menu = false;
  const UINT_PTR timer = SetTimer(nullptr, 0, 30, leave_menu);
  // Alt pressed and released in a score box, as the message loop hands them on.
  MSG down{GetFocus(), WM_SYSKEYDOWN, VK_MENU, 0x20380001, 0, {}};
  MSG up{GetFocus(), WM_SYSKEYUP, VK_MENU, static_cast<LPARAM>(0xE0380001u), 0, {}};
  win::dispatch_message(down);
  win::dispatch_message(up);  // the menu loop runs inside; the timer ends it
  KillTimer(nullptr, timer);
  EXPECT_TRUE(entered_menu) << "Alt did not activate the menu bar";
  EXPECT_NE(main(), nullptr);
}

// ---------------------------------------------------------------- the companion module at start

TEST_F(MainWindowTest, AFreshRunDirectoryGetsTheBuiltModuleThenTheStartEntry) {
  open();
  const auto written = test::read_file_bytes(run_dir_.file(L"Scribbet.dll"));
  const auto built = test::read_file_bytes(test::build_bin_directory() + L"\\Scribbet.dll");
  ASSERT_TRUE(written && built);
  EXPECT_GT(built->size(), 1000u);
  EXPECT_TRUE(*written == *built) << "the provisioned module differs from the built one";
  EXPECT_EQ(entries_, (std::vector<LogEntry>{{"Start", log::kStart}}));
  EXPECT_TRUE(boxes_.empty());
}

TEST_F(MainWindowTest, APresentModuleFileOrDirectoryIsLeftAsItIs) {
  ASSERT_TRUE(test::write_file_bytes(run_dir_.file(L"Scribbet.dll"), "not a module"));
  EXPECT_EQ(app::provision_module(app::kScribbetModule, run_dir_.path(), win::message_box), app::Provisioning::kPresent);
  EXPECT_EQ(test::read_file_bytes(run_dir_.file(L"Scribbet.dll")), std::string("not a module"));

  test::ScratchDirectory other(L"module-directory");
  ASSERT_TRUE(CreateDirectoryW(other.file(L"Novavis.dll").c_str(), nullptr));
  EXPECT_EQ(app::provision_module(app::kNovavisModule, other.path(), win::message_box), app::Provisioning::kPresent);
  EXPECT_TRUE(GetFileAttributesW(other.file(L"Novavis.dll").c_str()) & FILE_ATTRIBUTE_DIRECTORY);
  EXPECT_TRUE(boxes_.empty());
}

TEST_F(MainWindowTest, AnUnwritableRunDirectoryShowsTheMissingModuleMessageAndTheWindowStillWorks) {
  // Tests run as root under Wine, where neither a read-only attribute nor a chmod'ed folder stops
  // a write. A run directory that does not exist fails the same way a read-only one does on
  // Windows: the module file cannot be created.
  const std::wstring missing = run_dir_.file(L"not-there\\run");
  open(missing);
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_EQ(boxes_[0].text, gbk(u8"未找到关键dll文件"));
  EXPECT_EQ(boxes_[0].title, gbk(u8"错误提示"));
  EXPECT_EQ(boxes_[0].style, 16u);
  EXPECT_TRUE(entries_.empty()) << "no Start entry after a failed provisioning";
  EXPECT_FALSE(test::file_exists(missing + L"\\Scribbet.dll"));

  click(c().出题按钮);
  EXPECT_FALSE(text_of(c().标签_第一个数).empty());
  EXPECT_EQ(text_of(c().出题按钮), gbk(u8"下一题"));
  ASSERT_EQ(entries_.size(), 1u);
  EXPECT_EQ(entries_[0].kind, log::kQuestion);
}

#if defined(__i386__)
TEST(ModuleCall, StackCheckTellsAStdcallCalleeFromACdeclOne) {
  struct Callee {
    static int __stdcall balanced(const char*, int kind) { return kind; }
    static int __cdecl leaves_arguments(const char*, int kind) { return kind; }
    static int __stdcall removes_three(const char*, int kind, int) { return kind; }
  };
  EXPECT_EQ(app::quadrivo_call_stdcall2(reinterpret_cast<const void*>(&Callee::balanced), 0, 7), 0);
  EXPECT_EQ(app::quadrivo_call_stdcall2(reinterpret_cast<const void*>(&Callee::leaves_arguments), 0, 7), -8);
  EXPECT_EQ(app::quadrivo_call_stdcall2(reinterpret_cast<const void*>(&Callee::removes_three), 0, 7), 4);
}
#endif

// ---------------------------------------------------------------- dealing

TEST_F(MainWindowTest, DealShowsFourCardsAndNumbersAndWritesTheQuestion) {
  open();
  RandomGenerator mirror;
  window_->random().seed(20240305);
  mirror.seed(20240305);
  const HWND labels[] = {c().标签_第一个数, c().标签_第二个数, c().标签_第三个数, c().标签_第四个数};
  const HWND pictures[] = {c().第一张图片框, c().第二张图片框, c().第三张图片框, c().第四张图片框};

  for (int deal = 1; deal <= 3; ++deal) {
    SCOPED_TRACE(deal);
    click(c().出题按钮);
    NumberCaptions expected;
    for (int card = 0; card < 4; ++card) {
      expected[card] = std::to_string(draw_rank(mirror));
      EXPECT_EQ(text_of(labels[card]), expected[card]);
      const HBITMAP bitmap = picture_of(pictures[card]);
      ASSERT_NE(bitmap, nullptr);
      BITMAP info{};
      ASSERT_TRUE(GetObjectW(bitmap, sizeof info, &info));
      EXPECT_GE(info.bmWidth, 139);
      EXPECT_LE(info.bmWidth, 144);
      EXPECT_EQ(info.bmHeight, 197);
      // The box keeps its size around the smaller picture.
      RECT rect;
      GetWindowRect(pictures[card], &rect);
      EXPECT_EQ(rect.right - rect.left, 150);
      EXPECT_EQ(rect.bottom - rect.top, 200);
    }
    EXPECT_EQ(text_of(c().出题按钮), gbk(u8"下一题"));
    EXPECT_EQ(window_->deal_count(), deal);
    ASSERT_FALSE(entries_.empty());
    EXPECT_EQ(entries_.back(), (LogEntry{question_text(deal, expected), log::kQuestion}));
  }
  EXPECT_TRUE(entries_.back().message.starts_with("3    "));
  // A deal leaves the answer box, the caption and the scores alone.
  EXPECT_EQ(text_of(c().编辑框_答案), "");
  EXPECT_EQ(text_of(main()), std::string("Quadrivo   ") + texts::kCredit);
  EXPECT_TRUE(boxes_.empty());
}

TEST_F(MainWindowTest, TheFirstDealOfTheExampleShowsTheTenAceFourAce) {
  open();
  // Find a seed whose first deal is 10, 1, 4, 1, then deal with it.
  std::uint32_t seed = 0;
  for (;; ++seed) {
    RandomGenerator probe;
    probe.seed(seed);
    if (draw_rank(probe) == 10 && draw_rank(probe) == 1 && draw_rank(probe) == 4 && draw_rank(probe) == 1) break;
  }
  window_->random().seed(seed);
  click(c().出题按钮);
  EXPECT_EQ(entries_.back(), (LogEntry{gbk(u8"1    10、1、4、1"), log::kQuestion}));

  // The ace and the four are different pictures, and both aces show the same one.
  const auto pixels_of = [](HBITMAP bitmap) {
    DIBSECTION section{};
    GetObjectW(bitmap, sizeof section, &section);
    const auto* bytes = static_cast<const unsigned char*>(section.dsBm.bmBits);
    return std::string(bytes, bytes + section.dsBm.bmWidthBytes * section.dsBm.bmHeight);
  };
  const std::string ace = pixels_of(picture_of(c().第二张图片框));
  EXPECT_EQ(ace, pixels_of(picture_of(c().第四张图片框)));
  EXPECT_NE(ace, pixels_of(picture_of(c().第三张图片框)));
  EXPECT_NE(picture_of(c().第二张图片框), picture_of(c().第四张图片框)) << "each box owns its bitmap";
}

// ---------------------------------------------------------------- showing the answer

TEST_F(MainWindowTest, ShowAnswerBeforeAnyDealOnlyPrompts) {
  open();
  click(c().按钮_正确答案);
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_EQ(boxes_[0].text, gbk(u8"还没有出题哦!"));
  EXPECT_EQ(boxes_[0].title, gbk(u8"出题提示"));
  EXPECT_EQ(boxes_[0].style, 64u);
  EXPECT_EQ(text_of(c().编辑框_答案), "");
  EXPECT_EQ(text_of(main()), std::string("Quadrivo   ") + texts::kCredit);
  EXPECT_TRUE(entries_since_start().empty());
}

TEST_F(MainWindowTest, ShowAnswerListsEveryPathAndLogsTheBoxText) {
  open();
  const struct {
    const char* numbers[4];
    std::optional<std::size_t> count;
    std::string text;  // empty: compare with the solver's own listing
  } cases[] = {
      {{"10", "1", "4", "1"}, 2,
       gbk(u8"共有2种算法 \r\n|1+1=2|10 ×2=20|4+20=24\r\n\r\n|1+1=2|10 ×2=20|4+20=24\r\n\r\n")},
      {{"2", "7", "1", "1"}, 0, gbk(u8"本题无解")},
      {{"12", "12", "12", "12"}, 384, ""},
      {{"3", "8", "13", "1"}, std::nullopt, ""},
  };
  for (const auto& e : cases) {
    SCOPED_TRACE(e.numbers[0]);
    put_problem(e.numbers[0], e.numbers[1], e.numbers[2], e.numbers[3]);
    entries_.clear();
    click(c().按钮_正确答案);
    ResultsList expected_paths;
    solve(std::stoi(e.numbers[0]), std::stoi(e.numbers[1]), std::stoi(e.numbers[2]), std::stoi(e.numbers[3]),
          expected_paths);
    const std::string expected = e.text.empty() ? listing_text(expected_paths) : e.text;
    if (e.count) {
      EXPECT_EQ(results_.size(), *e.count);
    }
    EXPECT_EQ(results_, expected_paths);
    EXPECT_EQ(text_of(c().编辑框_答案), expected);
    EXPECT_EQ(text_of(main()), answer_caption(expected_paths.size()));
    EXPECT_EQ(entries_, (std::vector<LogEntry>{{expected, log::kAnswer}}));
  }
  EXPECT_TRUE(text_of(c().编辑框_答案).starts_with(gbk(u8"本题无解")) ||
              text_of(c().编辑框_答案).starts_with(gbk(u8"共有")));
  EXPECT_TRUE(boxes_.empty());
}

TEST_F(MainWindowTest, ShowAnswerTwiceGivesOneListingAndTwoEqualEntries) {
  open();
  put_problem("10", "1", "4", "1");
  entries_.clear();
  click(c().按钮_正确答案);
  click(c().按钮_正确答案);
  const std::string expected =
      gbk(u8"共有2种算法 \r\n|1+1=2|10 ×2=20|4+20=24\r\n\r\n|1+1=2|10 ×2=20|4+20=24\r\n\r\n");
  EXPECT_EQ(text_of(c().编辑框_答案), expected);
  EXPECT_EQ(entries_, (std::vector<LogEntry>{{expected, log::kAnswer}, {expected, log::kAnswer}}));

  // A deal afterwards leaves the listing and the caption of the last answer in place.
  click(c().出题按钮);
  EXPECT_EQ(text_of(c().编辑框_答案), expected);
  EXPECT_EQ(text_of(main()), answer_caption(2));
}

TEST_F(MainWindowTest, ASecondShowAnswerDuringAListingIsIgnored) {
  open();
  put_problem("12", "12", "12", "12");
  entries_.clear();
  // Handled by the listing's own pump, while the first listing runs.
  PostMessageW(c().按钮_正确答案, BM_CLICK, 0, 0);
  click(c().按钮_正确答案);
  drain_quit();
  EXPECT_FALSE(window_->listing_under_way());
  ResultsList expected;
  solve(12, 12, 12, 12, expected);
  EXPECT_EQ(text_of(c().编辑框_答案), listing_text(expected));
  EXPECT_EQ(entries_, (std::vector<LogEntry>{{listing_text(expected), log::kAnswer}}));
}

TEST_F(MainWindowTest, ClosingDuringAListingEndsItAtOnceWithTheStopEntryLast) {
  open();
  put_problem("12", "12", "12", "12");
  entries_.clear();
  PostMessageW(main(), WM_CLOSE, 0, 0);
  click(c().按钮_正确答案);
  EXPECT_EQ(window_->window(), nullptr) << "the window was closed from inside the listing";
  EXPECT_EQ(entries_, (std::vector<LogEntry>{{"Stop", log::kExit}}));
  MSG quit;
  EXPECT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE)) << "WM_QUIT is left for the loop";
}

TEST_F(MainWindowTest, ADealDuringAListingDoesNotDisturbIt) {
  open();
  put_problem("12", "12", "12", "12");
  entries_.clear();
  PostMessageW(c().出题按钮, BM_CLICK, 0, 0);
  click(c().按钮_正确答案);
  ResultsList expected;
  solve(12, 12, 12, 12, expected);
  EXPECT_EQ(text_of(c().编辑框_答案), listing_text(expected));
  ASSERT_EQ(entries_.size(), 2u);
  EXPECT_EQ(entries_[0].kind, log::kQuestion);
  EXPECT_EQ(entries_[1], (LogEntry{listing_text(expected), log::kAnswer}));
}

// ---------------------------------------------------------------- group scoring

struct AwardStep {
  const char* name;
  std::array<bool, 3> radios;
  bool second, third;
  std::array<const char*, 3> scores_before;  // nullptr: leave the box as it is
  std::array<const char8_t*, 3> scores_after;
  const char8_t* message;
  const char8_t* title;
  int kind;
};

TEST_F(MainWindowTest, AwardFollowsTheNineCasesAndTheRefusals) {
  open();
  const bool T = true, F = false;
  // Before any deal: refused whatever is selected.
  set_checked(c().单选框_第二组, true);
  click(c().按钮_确定);
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_EQ(boxes_[0].text, gbk(u8"还没有出题呢,怎么会有人得分?"));
  EXPECT_EQ(boxes_[0].title, gbk(u8"得分提示"));
  EXPECT_EQ(boxes_[0].style, 64u);
  EXPECT_EQ(entries_since_start(), (std::vector<LogEntry>{{gbk(u8"还没有出题呢,怎么会有人得分?"), log::kError}}));
  EXPECT_EQ(text_of(c().编辑框_第二组), "0");

  click(c().出题按钮);
  const AwardStep steps[] = {
      {"no group", {F, F, F}, T, F, {}, {u8"0", u8"0", u8"0"}, u8"哪一组算正确了呢?请你选择好哦", u8"得分提示", log::kError},
      {"case 1", {T, F, F}, F, F, {}, {u8"3", u8"0", u8"0"}, u8"恭喜第一组得三分", u8"恭喜", log::kScore},
      {"case 2", {F, T, F}, F, F, {}, {u8"3", u8"3", u8"0"}, u8"恭喜第二组得三分", u8"恭喜", log::kScore},
      {"case 3", {F, F, T}, F, F, {}, {u8"3", u8"3", u8"3"}, u8"恭喜第三组得三分", u8"恭喜", log::kScore},
      {"case 4", {T, F, F}, T, F, {}, {u8"5", u8"3", u8"3"}, u8"恭喜第一组再得二分", u8"恭喜", log::kScore},
      {"case 5", {F, T, F}, T, F, {}, {u8"5", u8"5", u8"3"}, u8"恭喜第二组再得二分", u8"恭喜", log::kScore},
      {"case 6", {F, F, T}, T, F, {}, {u8"5", u8"5", u8"5"}, u8"恭喜第三组再得二分", u8"恭喜", log::kScore},
      {"case 7", {T, F, F}, F, T, {}, {u8"6", u8"5", u8"5"}, u8"恭喜第一组再得一分", u8"恭喜", log::kScore},
      {"case 8", {F, T, F}, F, T, {}, {u8"6", u8"6", u8"5"}, u8"恭喜第二组再得一分", u8"恭喜", log::kScore},
      {"case 9", {F, F, T}, F, T, {}, {u8"6", u8"6", u8"6"}, u8"恭喜第三组再得一分", u8"恭喜", log::kScore},
      {"both methods", {F, F, T}, T, T, {}, {u8"6", u8"6", u8"6"},
       u8"出错了，【第一种方法】和【第二种方法】不能同时选中哦~", u8"出错提示", log::kError},
      {"again the same", {F, F, T}, F, T, {}, {u8"6", u8"6", u8"7"}, u8"恭喜第三组再得一分", u8"恭喜", log::kScore},
      {"2.5 and two", {T, F, F}, T, F, {"2.5", nullptr, nullptr}, {u8"4.5", u8"6", u8"7"}, u8"恭喜第一组再得二分",
       u8"恭喜", log::kScore},
      {"7分 and three", {F, T, F}, F, F, {nullptr, "7\xB7\xD6", nullptr}, {u8"4.5", u8"10", u8"7"},
       u8"恭喜第二组得三分", u8"恭喜", log::kScore},
      {"letters and one", {F, F, T}, F, T, {nullptr, nullptr, "abc"}, {u8"4.5", u8"10", u8"1"},
       u8"恭喜第三组再得一分", u8"恭喜", log::kScore},
      {"empty and one", {T, F, F}, F, T, {"", nullptr, nullptr}, {u8"1", u8"10", u8"1"}, u8"恭喜第一组再得一分",
       u8"恭喜", log::kScore},
      {"full-width 12 and three", {F, F, T}, F, F, {nullptr, nullptr, "\xA3\xB1\xA3\xB2"}, {u8"1", u8"10", u8"15"},
       u8"恭喜第三组得三分", u8"恭喜", log::kScore},
  };
  const HWND radios[] = {c().单选框_第一组, c().单选框_第二组, c().单选框_第三组};
  const HWND scores[] = {c().编辑框_第一组, c().编辑框_第二组, c().编辑框_第三组};
  for (const auto& step : steps) {
    SCOPED_TRACE(step.name);
    for (int g = 0; g < 3; ++g) {
      if (step.radios[g]) click(radios[g]);  // the form keeps the three exclusive
      if (step.scores_before[g]) set_text(scores[g], step.scores_before[g]);
    }
    if (!step.radios[0] && !step.radios[1] && !step.radios[2]) {
      for (HWND r : radios) set_checked(r, false);
    }
    for (int g = 0; g < 3; ++g) ASSERT_EQ(checked(radios[g]), step.radios[g]);
    set_checked(c().选择框_第二种方法答对, step.second);
    set_checked(c().选择框_第三种方法答对, step.third);
    boxes_.clear();
    entries_.clear();
    click(c().按钮_确定);
    ASSERT_EQ(boxes_.size(), 1u);
    EXPECT_EQ(boxes_[0].text, gbk(step.message));
    EXPECT_EQ(boxes_[0].title, gbk(step.title));
    EXPECT_EQ(boxes_[0].style, 64u);
    EXPECT_EQ(entries_, (std::vector<LogEntry>{{gbk(step.message), step.kind}}));
    for (int g = 0; g < 3; ++g) EXPECT_EQ(text_of(scores[g]), gbk(step.scores_after[g])) << "group " << g + 1;
    // The selections stay as they were.
    for (int g = 0; g < 3; ++g) EXPECT_EQ(checked(radios[g]), step.radios[g]);
    EXPECT_EQ(checked(c().选择框_第二种方法答对), step.second);
    EXPECT_EQ(checked(c().选择框_第三种方法答对), step.third);
  }
}

TEST_F(MainWindowTest, TheScoreIsShownBeforeTheCongratulationAndLoggedAfterIt) {
  open();
  click(c().出题按钮);
  click(c().单选框_第二组);
  entries_.clear();
  std::string score_while_open;
  std::size_t entries_while_open = 99;
  win::set_message_box_answerer([&](const std::string&, const std::string&, unsigned) {
    score_while_open = text_of(c().编辑框_第二组);
    entries_while_open = entries_.size();
    return IDOK;
  });
  click(c().按钮_确定);
  EXPECT_EQ(score_while_open, "3");
  EXPECT_EQ(entries_while_open, 0u);
  EXPECT_EQ(entries_.size(), 1u);
}

TEST_F(MainWindowTest, ClearScoresSetsAllThreeToZeroAndLogsOnce) {
  open();
  set_text(c().编辑框_第一组, "12");
  set_text(c().编辑框_第二组, gbk(u8"乱写的"));
  set_text(c().编辑框_第三组, "");
  entries_.clear();
  click(c().按钮_清空得分);
  for (HWND box : {c().编辑框_第一组, c().编辑框_第二组, c().编辑框_第三组}) EXPECT_EQ(text_of(box), "0");
  EXPECT_EQ(entries_, (std::vector<LogEntry>{{"Empty score", log::kOther}}));
  EXPECT_TRUE(boxes_.empty());
  // The deal counter goes on.
  click(c().出题按钮);
  click(c().出题按钮);
  EXPECT_TRUE(entries_.back().message.starts_with("2    "));
}

// ---------------------------------------------------------------- the end

TEST_F(MainWindowTest, ExitAndTheCloseButtonEachWriteExactlyOneStopEntry) {
  for (const bool by_menu : {true, false}) {
    SCOPED_TRACE(by_menu ? "退出" : "close button");
    entries_.clear();
    open();
    if (by_menu) {
      menu(app::kCommandExit);
    } else {
      SendMessageW(main(), WM_SYSCOMMAND, SC_CLOSE, 0);
    }
    EXPECT_EQ(window_->window(), nullptr);
    EXPECT_EQ(entries_, (std::vector<LogEntry>{{"Start", log::kStart}, {"Stop", log::kExit}}));
    MSG quit;
    EXPECT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    window_.reset();
    EXPECT_EQ(entries_.size(), 2u) << "nothing more when the object goes";
  }
}

// Closed while a handler's message box is open: the handler goes on once the box is answered,
// but its window is gone and the Stop entry is the last one.
TEST_F(MainWindowTest, AHandlerWhoseWindowWentWhileItsBoxWasOpenWritesNothingAfterTheStopEntry) {
  const struct {
    const char* name;
    bool dealt;
  } cases[] = {{"congratulation", true}, {"refusal", false}};
  for (const auto& e : cases) {
    SCOPED_TRACE(e.name);
    window_.reset();
    drain_quit();
    entries_.clear();
    open();
    if (e.dealt) click(c().出题按钮);
    click(c().单选框_第一组);
    const HWND window = main();
    std::size_t boxes_shown = 0;
    win::set_message_box_answerer([&](const std::string&, const std::string&, unsigned) {
      ++boxes_shown;
      DestroyWindow(window);  // the close button, clicked while the box waits
      return IDOK;
    });
    SendMessageW(window, WM_COMMAND, MAKEWPARAM(app::kIdAwardButton, BN_CLICKED), 0);
    EXPECT_EQ(boxes_shown, 1u);
    EXPECT_EQ(window_->window(), nullptr);
    ASSERT_FALSE(entries_.empty());
    EXPECT_EQ(entries_.back(), (LogEntry{"Stop", log::kExit}));
  }
}

// ---------------------------------------------------------------- help

TEST_F(MainWindowTest, HelpWithoutTheDocumentShowsItsMessageOnly) {
  open();
  menu(app::kCommandHelpDocument);
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_EQ(boxes_[0].text, gbk(u8"未找到帮助文件"));
  EXPECT_EQ(boxes_[0].title, gbk(u8"错误提示"));
  EXPECT_EQ(boxes_[0].style, 16u);
  EXPECT_TRUE(started_.empty());
  EXPECT_FALSE(test::file_exists(run_dir_.file(L"Help.CHM")));
}

TEST_F(MainWindowTest, HelpOpensTheDocumentWithTheViewerAndTheQuotedPath) {
  test::ScratchDirectory with_blanks(L"run dir with blanks");
  const struct {
    const test::ScratchDirectory* directory;
    const wchar_t* file_name;
  } cases[] = {{&run_dir_, L"Help.CHM"}, {&with_blanks, L"help.chm"}};
  for (const auto& e : cases) {
    SCOPED_TRACE(win::wide_to_utf8(e.directory->path()));
    ASSERT_TRUE(test::write_file_bytes(e.directory->file(e.file_name), "ITSF"));
    window_.reset();
    drain_quit();
    started_.clear();
    open(e.directory->path());
    menu(app::kCommandHelpDocument);
    EXPECT_TRUE(boxes_.empty());
    ASSERT_EQ(started_.size(), 1u);
    EXPECT_EQ(started_[0], "hh.exe \"" + win::wide_to_gbk(e.directory->path()) + "\\help.chm\"");
  }
  // A directory of that name is no document.
  test::ScratchDirectory with_directory(L"help-directory");
  ASSERT_TRUE(CreateDirectoryW(with_directory.file(L"Help.CHM").c_str(), nullptr));
  started_.clear();
  app::run_help_command(with_directory.path(), win::message_box,
                        [this](const std::wstring& line) { started_.push_back(win::wide_to_gbk(line)); });
  EXPECT_TRUE(started_.empty());
  ASSERT_FALSE(boxes_.empty());
  EXPECT_EQ(boxes_.back().text, gbk(u8"未找到帮助文件"));
}

// ---------------------------------------------------------------- modal windows, real boxes

// What a timer running inside a modal loop saw and did.
struct ModalObservation {
  HWND main = nullptr;
  bool seen = false;
  bool main_enabled = true;
  std::string caption, about_text, licence, ok;
  RECT outer{};
  std::vector<RECT> children;
  std::string box_text;
};
ModalObservation* observation = nullptr;

BOOL CALLBACK find_visible_dialog(HWND window, LPARAM found) {
  wchar_t name[32] = {};
  GetClassNameW(window, name, 32);
  if (IsWindowVisible(window) && std::wstring(name) == L"#32770") {
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
  }
  return TRUE;
}

void CALLBACK inspect_about(HWND, UINT, UINT_PTR timer, DWORD) {
  const HWND about = FindWindowW(app::kAboutClassName, nullptr);
  if (!about || !IsWindowVisible(about)) return;
  KillTimer(nullptr, timer);
  observation->seen = true;
  observation->main_enabled = IsWindowEnabled(observation->main) != FALSE;
  observation->caption = text_of(about);
  GetWindowRect(about, &observation->outer);
  for (int id = 2001; id <= 2005; ++id) {
    const HWND child = GetDlgItem(about, id);
    RECT rect{};
    if (child) {
      GetWindowRect(child, &rect);
      MapWindowPoints(nullptr, about, reinterpret_cast<POINT*>(&rect), 2);
    }
    observation->children.push_back(rect);
  }
  observation->about_text = text_of(GetDlgItem(about, 2003));
  observation->licence = text_of(GetDlgItem(about, 2004));
  observation->ok = text_of(GetDlgItem(about, 2005));
  SendMessageW(GetDlgItem(about, 2005), BM_CLICK, 0, 0);
}

void CALLBACK answer_real_box(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND dialog = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), find_visible_dialog, reinterpret_cast<LPARAM>(&dialog));
  if (!dialog) return;
  KillTimer(nullptr, timer);
  observation->seen = true;
  observation->main_enabled = IsWindowEnabled(observation->main) != FALSE;
  wchar_t text[256] = {};
  GetDlgItemTextW(dialog, 0xFFFF, text, 256);
  observation->box_text = win::wide_to_gbk(text);
  observation->caption = text_of(dialog);
  PostMessageW(dialog, WM_COMMAND, IDOK, 0);
}

TEST_F(MainWindowTest, AboutIsModalShowsTheVersionAndReturnsOnOk) {
  open();
  ModalObservation seen;
  seen.main = main();
  observation = &seen;
  SetTimer(nullptr, 0, 30, inspect_about);
  menu(app::kCommandAbout);  // returns only when the About window has closed
  observation = nullptr;
  ASSERT_TRUE(seen.seen) << "the About window never showed";
  EXPECT_FALSE(seen.main_enabled) << "the main window takes no input while About is open";
  EXPECT_TRUE(IsWindowEnabled(main()));
  EXPECT_EQ(FindWindowW(app::kAboutClassName, nullptr), nullptr);
  EXPECT_EQ(GetActiveWindow(), main());

  EXPECT_EQ(seen.caption, gbk(u8"关于 Quadrivo"));
  EXPECT_EQ(seen.outer.left, 50);
  EXPECT_EQ(seen.outer.top, 50);
  EXPECT_EQ(seen.outer.right - seen.outer.left, 323);
  EXPECT_EQ(seen.outer.bottom - seen.outer.top, 357);
  const RECT expected[] = {{0, 0, 320, 64}, {6, 72, 38, 104}, {46, 72, 320, 288}, {134, 212, 233, 236}, {228, 292, 278, 322}};
  ASSERT_EQ(seen.children.size(), 5u);
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(seen.children[i].left, expected[i].left) << i;
    EXPECT_EQ(seen.children[i].top, expected[i].top) << i;
    EXPECT_EQ(seen.children[i].right, expected[i].right) << i;
    EXPECT_EQ(seen.children[i].bottom, expected[i].bottom) << i;
  }
  // The release's version source, as the About text must show it.
  EXPECT_TRUE(seen.about_text.starts_with(std::string("Quadrivo V") + QUADRIVO_PRODUCT_VERSION_TEXT + "\r\n\r\n" +
                                          gbk(u8"版本") + QUADRIVO_RELEASE_TEXT + gbk(u8"（内部版本号 ") +
                                          QUADRIVO_FILE_VERSION_TEXT + gbk(u8"） \r\n\r\n")))
      << utf8(seen.about_text);
  EXPECT_EQ(seen.licence, gbk(u8"最终用户协议"));
  EXPECT_EQ(seen.ok, gbk(u8"确定"));
  EXPECT_TRUE(entries_since_start().empty());
}

TEST_F(MainWindowTest, ARealMessageBoxIsTaskModalAndGivesTheFocusBack) {
  open();
  win::set_message_box_answerer(nullptr);
  SetForegroundWindow(main());
  SetFocus(c().按钮_正确答案);
  ModalObservation seen;
  seen.main = main();
  observation = &seen;
  SetTimer(nullptr, 0, 30, answer_real_box);
  click(c().按钮_正确答案);  // before any deal: "还没有出题哦!"
  observation = nullptr;
  ASSERT_TRUE(seen.seen) << "no message box appeared";
  EXPECT_EQ(seen.box_text, gbk(u8"还没有出题哦!"));
  EXPECT_EQ(seen.caption, gbk(u8"出题提示"));
  EXPECT_FALSE(seen.main_enabled) << "task-modal: the main window is disabled while the box is open";
  EXPECT_TRUE(IsWindowEnabled(main()));
  EXPECT_EQ(GetActiveWindow(), main());
  EXPECT_EQ(GetFocus(), c().按钮_正确答案);
}

// ---------------------------------------------------------------- no leaks

TEST_F(MainWindowTest, AThousandDealsAndAnswersFreeEveryReplacedCard) {
  // Hidden: appending to a hidden box skips the scroll bars' drawing, which is all the time a
  // visible listing costs; the handles are the same.
  open(run_dir_.path(), SW_HIDE);
  const HWND pictures[] = {c().第一张图片框, c().第二张图片框, c().第三张图片框, c().第四张图片框};
  std::vector<HBITMAP> replaced;
  for (int cycle = 0; cycle < 1000; ++cycle) {
    HBITMAP before[4];
    for (int i = 0; i < 4; ++i) before[i] = picture_of(pictures[i]);
    click(c().出题按钮);
    click(c().按钮_正确答案);
    for (int i = 0; i < 4; ++i) {
      const HBITMAP now = picture_of(pictures[i]);
      ASSERT_EQ(GetObjectType(now), static_cast<DWORD>(OBJ_BITMAP));
      if (before[i]) {
        ASSERT_NE(now, before[i]);
        ASSERT_EQ(GetObjectType(before[i]), 0u) << "cycle " << cycle << ": the replaced card is still a bitmap";
      }
    }
  }
  EXPECT_EQ(window_->deal_count(), 1000);
  EXPECT_EQ(boxes_.size(), 0u);
  // The window's end frees the last four too.
  HBITMAP last[4];
  for (int i = 0; i < 4; ++i) last[i] = picture_of(pictures[i]);
  menu(app::kCommandExit);
  for (HBITMAP h : last) EXPECT_EQ(GetObjectType(h), 0u);
}

}  // namespace
}  // namespace quadrivo
