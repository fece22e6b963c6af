#pragma once
// A window as data: its settings and its controls with their places, settings, contents and event
// bindings. The main window's description lives in resources/; LoadWindow builds from it.
#include <windows.h>

#include <span>
#include <string_view>

#include "engine/text.h"

namespace vevidav::ui {

class MainWindow;
using EventHandler = void (*)(MainWindow& window);
using TextEventHandler = void (*)(MainWindow& window, const Text& text);

enum class ControlKind {
  kEditBox,
  kLabel,
  kButton,
  kComboBox,
  kStatusBar,
  kCommonDlg,
  kDropTarget
};

struct Colours {
  COLORREF text = RGB(0, 0, 0);
  COLORREF back = RGB(255, 255, 255);
};

struct ControlDescription {
  std::string_view name;  // UTF-8, as the code names the control
  ControlKind kind;
  int left = 0, top = 0, width = 0, height = 0;
  DWORD style = 0;        // WS_CHILD and the kind's own bits; visibility is the loader's
  const char* text = "";  // code page 936
  std::span<const char* const> items = {};
  int selected = -1;
  const Colours* colours = nullptr;  // answered to WM_CTLCOLOR*; none leaves the system's
  EventHandler on_click = nullptr;
  // DropTarget: the kinds of dragged data it takes, and its event.
  bool accept_text = false, accept_html = false, accept_url = false, accept_files = false;
  TextEventHandler on_files_dropped = nullptr;
};

struct WindowDescription {
  std::string_view name;
  const char* title;  // code page 936
  int left, top;      // stored, but a window is centred on the primary screen
  int width, height;  // outer size
  DWORD style, ex_style;
  bool visible;
  int icon_id;     // RT_ICON group in the executable, 0 for none
  int picture_id;  // RCDATA JPEG tiled as the background, 0 for none
  std::span<const ControlDescription> controls;
  std::span<const std::string_view> focus_cycle;  // control names in Tab order
  EventHandler on_create = nullptr;
  EventHandler on_destroy = nullptr;
};

// The program's window descriptions (one: the main window).
std::span<const WindowDescription> WindowDescriptions();

// The control names the handlers use.
namespace names {
inline constexpr std::string_view 状态条1 = "状态条1";
inline constexpr std::string_view 标签_分割行数 = "标签_分割行数";
inline constexpr std::string_view 编辑框_特别说明 = "编辑框_特别说明";
inline constexpr std::string_view 组合框_分割行数 = "组合框_分割行数";
inline constexpr std::string_view 拖放对象 = "拖放对象";
inline constexpr std::string_view 通用对话框_打开 = "通用对话框_打开";
inline constexpr std::string_view 按钮_选择文本 = "按钮_选择文本";
inline constexpr std::string_view 按钮_分割文本 = "按钮_分割文本";
inline constexpr std::string_view 编辑框_文件路径 = "编辑框_文件路径";
inline constexpr std::string_view 标签_文本路径 = "标签_文本路径";
inline constexpr std::string_view 主窗口 = "主窗口";
}  // namespace names

}  // namespace vevidav::ui
