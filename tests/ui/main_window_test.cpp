// The main window as the user meets it: settings, controls, colours, focus and keys.
#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <future>
#include <string>
#include <vector>

#include "engine/message.h"
#include "resources/resource_ids.h"
#include "tests/ui/ui_testing.h"
#include "ui/window_description.h"

namespace vevidav::testing {
namespace {

namespace names = ui::names;

constexpr char kTitle[] = "Vevidav byRedivez v20.04.23";
// 提示：分割后的文件保存在本程序所在的文件夹
constexpr char kNotice[] =
    "\xCC\xE1\xCA\xBE\xA3\xBA\xB7\xD6\xB8\xEE\xBA\xF3\xB5\xC4\xCE\xC4\xBC\xFE\xB1\xA3\xB4\xE6\xD4"
    "\xDA"
    "\xB1\xBE\xB3\xCC\xD0\xF2\xCB\xF9\xD4\xDA\xB5\xC4\xCE\xC4\xBC\xFE\xBC\xD0";

std::string Lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
  return s;
}

using MainWindowSettingsTest = MainWindowTest;

TEST_F(MainWindowSettingsTest, TitleSizePlaceFrameOwnerIconAndFont) {
  Open();
  HWND hwnd = window_->hwnd();
  EXPECT_EQ(WindowText(hwnd), kTitle);
  RECT outer;
  GetWindowRect(hwnd, &outer);
  EXPECT_EQ(outer.right - outer.left, 466);
  EXPECT_EQ(outer.bottom - outer.top, 271);
  EXPECT_EQ(outer.left, (GetSystemMetrics(SM_CXSCREEN) - 466) / 2);
  EXPECT_EQ(outer.top, (GetSystemMetrics(SM_CYSCREEN) - 271) / 2);

  LONG style = GetWindowLongA(hwnd, GWL_STYLE);
  for (LONG bit : {WS_CAPTION, WS_SYSMENU, WS_MINIMIZEBOX, WS_CLIPCHILDREN, WS_VISIBLE})
    EXPECT_EQ(style & bit, bit) << std::hex << bit;
  for (LONG bit : {LONG{WS_THICKFRAME}, LONG{WS_MAXIMIZEBOX}, LONG{WS_CHILD},
                   static_cast<LONG>(WS_POPUP), LONG{WS_DISABLED}})
    EXPECT_EQ(style & bit, 0) << std::hex << bit;
  LONG ex_style = GetWindowLongA(hwnd, GWL_EXSTYLE);
  for (LONG bit : {WS_EX_TOPMOST, WS_EX_APPWINDOW, WS_EX_TOOLWINDOW, WS_EX_ACCEPTFILES})
    EXPECT_EQ(ex_style & bit, 0) << std::hex << bit;
  EXPECT_EQ(GetWindow(hwnd, GW_OWNER), owner_);  // owned: no taskbar button

  auto big = reinterpret_cast<HICON>(SendMessageA(hwnd, WM_GETICON, ICON_BIG, 0));
  auto small = reinterpret_cast<HICON>(SendMessageA(hwnd, WM_GETICON, ICON_SMALL, 0));
  ASSERT_NE(big, nullptr);
  EXPECT_EQ(big, small);
  ICONINFO info{};
  ASSERT_TRUE(GetIconInfo(big, &info));
  BITMAP colour{};
  GetObjectA(info.hbmColor, sizeof colour, &colour);
  EXPECT_EQ(colour.bmWidth, 128);
  EXPECT_EQ(colour.bmHeight, 128);
  EXPECT_EQ(colour.bmBitsPixel, 32);
  DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);

  HGDIOBJ gui_font = GetStockObject(DEFAULT_GUI_FONT);
  EXPECT_EQ(reinterpret_cast<HGDIOBJ>(SendMessageA(hwnd, WM_GETFONT, 0, 0)), gui_font);
  for (const auto& control : ui::WindowDescriptions()[0].controls) {
    if (HWND child = Control(control.name)) {
      EXPECT_EQ(reinterpret_cast<HGDIOBJ>(SendMessageA(child, WM_GETFONT, 0, 0)), gui_font)
          << control.name;
    }
  }
}

TEST_F(MainWindowSettingsTest, ControlsAreChildrenInTheDescriptionsOrder) {
  Open();
  std::vector<HWND> expected;
  for (const auto& control : ui::WindowDescriptions()[0].controls)
    if (HWND child = Control(control.name)) expected.push_back(child);
  std::vector<HWND> children;
  for (HWND child = GetWindow(window_->hwnd(), GW_CHILD); child;
       child = GetWindow(child, GW_HWNDNEXT))
    children.push_back(child);
  EXPECT_EQ(children, expected);
  EXPECT_EQ(expected.size(), 8u);
}

struct ControlCase {
  std::string_view name;
  const char* window_class;
  int left, top, width, height;  // height -1: checked elsewhere
  LONG required, forbidden;
  const char* text;  // nullptr: checked elsewhere
};

constexpr LONG kEdit = WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_READONLY;
constexpr LONG kButton = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_CENTER | BS_VCENTER | BS_MULTILINE;

const ControlCase kControlCases[] = {
    {names::标签_分割行数, "VevidavLabel", 166, 182, 56, 24, WS_CHILD | WS_VISIBLE,
     WS_TABSTOP | WS_BORDER, "\xB7\xD6\xB8\xEE\xD0\xD0\xCA\xFD\xA3\xBA"},  // 分割行数：
    {names::编辑框_特别说明, "Edit", -1, 0, 464, 128,
     kEdit | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN,
     ES_AUTOHSCROLL | ES_NOHIDESEL | WS_VSCROLL | WS_HSCROLL | ES_CENTER | ES_RIGHT, nullptr},
    {names::组合框_分割行数, "ComboBox", 228, 185, 56, -1,
     WS_CHILD | WS_VISIBLE | WS_TABSTOP | CBS_DROPDOWNLIST | CBS_AUTOHSCROLL, CBS_SORT, "3000"},
    {names::按钮_选择文本, "Button", 84, 182, 56, 24, kButton, BS_DEFPUSHBUTTON,
     "\xD1\xA1\xD4\xF1\xCE\xC4\xB1\xBE"},  // 选择文本
    {names::按钮_分割文本, "Button", 312, 184, 56, 24, kButton, BS_DEFPUSHBUTTON,
     "\xB7\xD6\xB8\xEE\xCE\xC4\xB1\xBE"},  // 分割文本
    {names::编辑框_文件路径, "Edit", 80, 136, 360, 24, kEdit | ES_AUTOHSCROLL,
     ES_MULTILINE | ES_NOHIDESEL | WS_VSCROLL | WS_HSCROLL | ES_CENTER | ES_RIGHT, ""},
    {names::标签_文本路径, "VevidavLabel", 8, 136, 56, 24, WS_CHILD | WS_VISIBLE,
     WS_TABSTOP | WS_BORDER, "\xCE\xC4\xB1\xBE\xC2\xB7\xBE\xB6"},  // 文本路径
    {names::状态条1, "msctls_statusbar32", 0, -1, -1, -1,
     WS_CHILD | WS_VISIBLE | CCS_BOTTOM | SBT_TOOLTIPS, SBARS_SIZEGRIP | WS_TABSTOP, nullptr},
};

class ControlTest : public MainWindowTest, public ::testing::WithParamInterface<ControlCase> {};

TEST_P(ControlTest, ClassPlaceSizeStylesAndText) {
  Open();
  const ControlCase& c = GetParam();
  HWND control = Control(c.name);
  ASSERT_NE(control, nullptr);
  EXPECT_EQ(Lower(WindowClass(control)), Lower(c.window_class));
  RECT place = PlaceInParent(control);
  EXPECT_EQ(place.left, c.left);
  if (c.top >= 0) {
    EXPECT_EQ(place.top, c.top);
  }
  if (c.width >= 0) {
    EXPECT_EQ(place.right - place.left, c.width);
  }
  if (c.height >= 0) {
    EXPECT_EQ(place.bottom - place.top, c.height);
  }
  LONG style = GetWindowLongA(control, GWL_STYLE);
  EXPECT_EQ(style & c.required, c.required) << std::hex << style;
  EXPECT_EQ(style & c.forbidden, 0) << std::hex << style;
  EXPECT_EQ(GetWindowLongA(control, GWL_EXSTYLE) & WS_EX_CLIENTEDGE, 0);
  EXPECT_TRUE(IsWindowEnabled(control));
  if (c.text) {
    EXPECT_EQ(WindowText(control), c.text);
  }
}

INSTANTIATE_TEST_SUITE_P(MainWindow, ControlTest, ::testing::ValuesIn(kControlCases),
                         [](const auto& info) { return "control" + std::to_string(info.index); });

TEST_F(MainWindowSettingsTest, NotesTextIsExactAndWraps) {
  Open();
  HWND notes = Control(names::编辑框_特别说明);
  std::string text = WindowText(notes);
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 9);
  EXPECT_EQ(text.substr(0, 12), "\xCC\xD8\xB1\xF0\xCB\xB5\xC3\xF7\xA3\xBA\r\n");  // 特别说明：
  EXPECT_NE(text.find("\r\n\r\n1 "), std::string::npos);
  EXPECT_NE(text.find("\r\n" + std::string(14, ' ') + "\r\n" + std::string(36, ' ') +
                      "\xD3\xDA 2020.04.23"),  // 于 2020.04.23
            std::string::npos);
  EXPECT_EQ(text.substr(text.size() - 10), "2020.04.23");
  // A line wider than the box wraps.
  SetWindowTextA(notes, std::string(200, 'w').c_str());
  EXPECT_GT(SendMessageA(notes, EM_GETLINECOUNT, 0, 0), 1);
  LRESULT caret = SendMessageA(notes, EM_GETSEL, 0, 0);
  EXPECT_EQ(LOWORD(caret), 0);
}

TEST_F(MainWindowSettingsTest, StatusBarIsDockedWithOnePanelAndTheNotice) {
  Open();
  HWND bar = Control(names::状态条1);
  RECT client, place = PlaceInParent(bar);
  GetClientRect(window_->hwnd(), &client);
  EXPECT_EQ(place.left, 0);
  EXPECT_EQ(place.right, client.right);
  EXPECT_EQ(place.bottom, client.bottom);
  int edges[4] = {};
  ASSERT_EQ(SendMessageA(bar, SB_GETPARTS, 4, reinterpret_cast<LPARAM>(edges)), 1);
  EXPECT_EQ(edges[0], -1);
  char text[256] = {};
  LRESULT length_and_type = SendMessageA(bar, SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(text));
  EXPECT_STREQ(text, kNotice);
  EXPECT_EQ(HIWORD(length_and_type), 0);  // the normal sunken border
}

TEST_F(MainWindowSettingsTest, MinimisingAndRestoringKeepTheLayout) {
  Open();
  HWND bar = Control(names::状态条1);
  RECT before = PlaceInParent(bar), outer_before;
  GetWindowRect(window_->hwnd(), &outer_before);
  ShowWindow(window_->hwnd(), SW_MINIMIZE);
  Pump(window_.get());
  EXPECT_TRUE(IsIconic(window_->hwnd()));
  ShowWindow(window_->hwnd(), SW_RESTORE);
  Pump(window_.get());
  RECT after = PlaceInParent(bar), outer_after;
  GetWindowRect(window_->hwnd(), &outer_after);
  EXPECT_TRUE(EqualRect(&before, &after));
  EXPECT_EQ(outer_after.right - outer_after.left, 466);
  EXPECT_EQ(outer_after.bottom - outer_after.top, 271);
}

TEST_F(MainWindowSettingsTest, LineCountBoxOffersThirteenItemsWith3000Selected) {
  Open();
  HWND combo = Control(names::组合框_分割行数);
  const std::vector<std::string> expected = {"500",  "1000", "1500", "2000", "2500", "3000", "4000",
                                             "5000", "6000", "7000", "8000", "9000", "10000"};
  ASSERT_EQ(SendMessageA(combo, CB_GETCOUNT, 0, 0), 13);
  for (int i = 0; i < 13; ++i) {
    char item[32] = {};
    SendMessageA(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item));
    EXPECT_EQ(item, expected[i]);
  }
  EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), 5);
  EXPECT_EQ(window_->GetText(names::组合框_分割行数), Text("3000"));
  // Created 160 high with its list: the same drop-down as a combo box made 160 high. (Wine
  // refuses CB_SETITEMHEIGHT on a combo box that is not owner-drawn, so the item height is not
  // compared here.)
  HWND reference = CreateWindowExA(0, "COMBOBOX", "", WS_CHILD | CBS_DROPDOWNLIST | WS_VSCROLL, 0,
                                   0, 56, 160, window_->hwnd(), nullptr, nullptr, nullptr);
  RECT dropped{}, reference_dropped{};
  SendMessageA(combo, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped));
  SendMessageA(reference, CB_GETDROPPEDCONTROLRECT, 0,
               reinterpret_cast<LPARAM>(&reference_dropped));
  EXPECT_EQ(dropped.bottom - dropped.top, reference_dropped.bottom - reference_dropped.top);
  DestroyWindow(reference);

  // A later pick is what GetText sees.
  SendMessageA(combo, CB_SETCURSEL, 12, 0);
  EXPECT_EQ(window_->GetText(names::组合框_分割行数), Text("10000"));
}

TEST_F(MainWindowSettingsTest, SetTextGetTextAndSetPanelText) {
  Open();
  window_->SetText(names::编辑框_文件路径, "C:\\a\\b.txt");
  EXPECT_EQ(window_->GetText(names::编辑框_文件路径), Text("C:\\a\\b.txt"));
  window_->SetText(names::编辑框_文件路径, Text());
  EXPECT_EQ(window_->GetText(names::编辑框_文件路径), Text());

  HWND bar = Control(names::状态条1);
  for (int outside : {-1, 1, 7}) {
    window_->SetPanelText(names::状态条1, outside, "x");
    char text[256] = {};
    SendMessageA(bar, SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, kNotice) << outside;
  }
  window_->SetPanelText(names::状态条1, 0, "a&b");
  char text[256] = {};
  SendMessageA(bar, SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(text));
  EXPECT_STREQ(text, "a&b");
}

TEST_F(MainWindowSettingsTest, TypingIntoTheBoxesChangesNothing) {
  Open();
  for (std::string_view name : {names::编辑框_文件路径, names::编辑框_特别说明}) {
    HWND box = Control(name);
    std::string before = WindowText(box);
    SetFocus(box);
    PostMessageA(box, WM_CHAR, 'x', 1);
    PostMessageA(box, WM_KEYDOWN, VK_BACK, 1);
    PostMessageA(box, WM_CHAR, VK_BACK, 1);
    Pump(window_.get());
    EXPECT_EQ(WindowText(box), before);
  }
}

struct ColourCase {
  std::string_view name;
  UINT message;
  COLORREF text, back;
};

const ColourCase kColourCases[] = {
    {names::编辑框_特别说明, WM_CTLCOLORSTATIC, RGB(192, 96, 0), RGB(255, 255, 255)},
    {names::编辑框_特别说明, WM_CTLCOLOREDIT, RGB(192, 96, 0), RGB(255, 255, 255)},
    {names::编辑框_文件路径, WM_CTLCOLORSTATIC, RGB(255, 0, 0), RGB(255, 255, 255)},
    {names::编辑框_文件路径, WM_CTLCOLOREDIT, RGB(255, 0, 0), RGB(255, 255, 255)},
    {names::组合框_分割行数, WM_CTLCOLOREDIT, RGB(0, 0, 0), RGB(255, 255, 255)},
    {names::组合框_分割行数, WM_CTLCOLORSTATIC, RGB(0, 0, 0), RGB(255, 255, 255)},
};

class ColourTest : public MainWindowTest, public ::testing::WithParamInterface<ColourCase> {};

TEST_P(ColourTest, AnswersTheControlsColoursAndASolidBrush) {
  Open();
  const ColourCase& c = GetParam();
  HDC dc = CreateCompatibleDC(nullptr);
  SetTextColor(dc, RGB(1, 2, 3));
  SetBkColor(dc, RGB(4, 5, 6));
  auto brush = reinterpret_cast<HBRUSH>(SendMessageA(window_->hwnd(), c.message,
                                                     reinterpret_cast<WPARAM>(dc),
                                                     reinterpret_cast<LPARAM>(Control(c.name))));
  EXPECT_EQ(GetTextColor(dc), c.text);
  EXPECT_EQ(GetBkColor(dc), c.back);
  LOGBRUSH logical{};
  ASSERT_TRUE(GetObjectA(brush, sizeof logical, &logical));
  EXPECT_EQ(logical.lbStyle, static_cast<UINT>(BS_SOLID));
  EXPECT_EQ(logical.lbColor, c.back);
  DeleteDC(dc);
}

INSTANTIATE_TEST_SUITE_P(MainWindow, ColourTest, ::testing::ValuesIn(kColourCases),
                         [](const auto& info) { return "case" + std::to_string(info.index); });

TEST_F(MainWindowSettingsTest, ComboListAnswersTheComboColours) {
  Open();
  COMBOBOXINFO info{};
  info.cbSize = sizeof info;
  ASSERT_TRUE(GetComboBoxInfo(Control(names::组合框_分割行数), &info));
  HDC dc = CreateCompatibleDC(nullptr);
  SendMessageA(window_->hwnd(), WM_CTLCOLORLISTBOX, reinterpret_cast<WPARAM>(dc),
               reinterpret_cast<LPARAM>(info.hwndList));
  EXPECT_EQ(GetBkColor(dc), RGB(255, 255, 255));
  EXPECT_EQ(GetTextColor(dc), RGB(0, 0, 0));
  DeleteDC(dc);
}

// The picture's colours at the left and right edge of the client area, below the path box.
TEST_F(MainWindowSettingsTest, BackgroundShowsThePictureLeftPinkRightBlue) {
  Open();
  RedrawWindow(window_->hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  Pump(window_.get(), std::chrono::milliseconds(200));
  HDC dc = GetDC(window_->hwnd());
  COLORREF left = GetPixel(dc, 2, 172), right = GetPixel(dc, 452, 172);
  ReleaseDC(window_->hwnd(), dc);
  EXPECT_GT(GetRValue(left), GetBValue(left) + 20) << std::hex << left;
  EXPECT_GT(GetBValue(right), GetRValue(right) + 20) << std::hex << right;
}

TEST_F(MainWindowSettingsTest, BackgroundIsButtonFaceWhenThePictureCannotBeDecoded) {
  // The description with a picture that is not in the executable; the icon is not a JPEG either.
  for (int picture : {999, IDI_VEVIDAV}) {
    ui::WindowDescription description = ui::WindowDescriptions()[0];
    description.picture_id = picture;
    Open(&description);
    RedrawWindow(window_->hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    Pump(window_.get(), std::chrono::milliseconds(200));
    HDC dc = GetDC(window_->hwnd());
    EXPECT_EQ(GetPixel(dc, 2, 172), GetSysColor(COLOR_BTNFACE)) << picture;
    EXPECT_EQ(GetPixel(dc, 452, 172), GetSysColor(COLOR_BTNFACE)) << picture;
    ReleaseDC(window_->hwnd(), dc);
    window_.reset();
  }
}

// ---- focus and keys

using KeyboardTest = MainWindowTest;

TEST_F(KeyboardTest, PathBoxHasTheFocusAtStart) {
  Open();
  EXPECT_EQ(GetFocus(), Control(names::编辑框_文件路径));
}

TEST_F(KeyboardTest, TabAndShiftTabWalkTheFocusCycle) {
  Open();
  const std::vector<HWND> cycle = {Control(names::编辑框_文件路径), Control(names::按钮_分割文本),
                                   Control(names::按钮_选择文本), Control(names::组合框_分割行数),
                                   Control(names::编辑框_特别说明)};
  ASSERT_EQ(GetFocus(), cycle[0]);
  for (int step = 1; step <= 6; ++step) {
    PressKey(window_.get(), VK_TAB);
    EXPECT_EQ(GetFocus(), cycle[step % 5]) << "Tab " << step;
  }
  // Now on the split button; Shift+Tab goes back round.
  for (int step = 1; step <= 6; ++step) {
    PressKey(window_.get(), VK_TAB, true);
    EXPECT_EQ(GetFocus(), cycle[((1 - step) % 5 + 5) % 5]) << "Shift+Tab " << step;
  }
}

TEST_F(KeyboardTest, FocusComesBackToTheLastFocusedControlOnActivation) {
  Open();
  SetFocus(Control(names::组合框_分割行数));
  SendMessageA(window_->hwnd(), WM_ACTIVATE, WA_INACTIVE, 0);
  SetFocus(nullptr);
  SendMessageA(window_->hwnd(), WM_SETFOCUS, 0, 0);
  EXPECT_EQ(GetFocus(), Control(names::组合框_分割行数));
}

class EscapeTest : public MainWindowTest, public ::testing::WithParamInterface<std::string_view> {};

TEST_P(EscapeTest, EscapeClosesTheWindowFromAnyControl) {
  Open();
  SetFocus(Control(GetParam()));
  PressKey(window_.get(), VK_ESCAPE);
  EXPECT_TRUE(gone_);
  EXPECT_FALSE(window_->alive());
}

INSTANTIATE_TEST_SUITE_P(MainWindow, EscapeTest,
                         ::testing::Values(names::编辑框_文件路径, names::按钮_分割文本,
                                           names::按钮_选择文本, names::组合框_分割行数,
                                           names::编辑框_特别说明),
                         [](const auto& info) { return "control" + std::to_string(info.index); });

TEST_F(KeyboardTest, ShiftEscapeDoesNotClose) {
  Open();
  PressKey(window_.get(), VK_ESCAPE, true);
  EXPECT_FALSE(gone_);
}

std::vector<std::pair<Text, int>> g_messages;
void RecordMessage(const Text& message, int style) { g_messages.emplace_back(message, style); }

TEST_F(KeyboardTest, EnterOnAFocusedButtonPressesNothing) {
  Open();
  g_messages.clear();
  SetShowMessageHook(RecordMessage);
  auto watchdog = std::async(std::launch::async,
                             [] { return CancelAnyDialog(std::chrono::milliseconds(1500)); });
  for (std::string_view name : {names::按钮_分割文本, names::按钮_选择文本}) {
    SetFocus(Control(name));
    HWND focus = GetFocus();
    PostMessageA(focus, WM_KEYDOWN, VK_RETURN, 1);
    PostMessageA(focus, WM_CHAR, '\r', 1);
    PostMessageA(focus, WM_KEYUP, VK_RETURN, 0xC0000001);
    Pump(window_.get(), std::chrono::milliseconds(100));
  }
  EXPECT_FALSE(watchdog.get());  // no open-file dialog
  SetShowMessageHook(nullptr);
  EXPECT_TRUE(g_messages.empty());  // no split ran
  EXPECT_FALSE(gone_);
  for (std::string_view name : {names::按钮_分割文本, names::按钮_选择文本})
    EXPECT_EQ(GetWindowLongA(Control(name), GWL_STYLE) & BS_DEFPUSHBUTTON, 0);
}

}  // namespace
}  // namespace vevidav::testing
