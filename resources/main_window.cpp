// The main window as data: settings, controls in their order, contents and event bindings.
#include <windows.h>

#include <commctrl.h>

#include <array>

#include "resources/resource_ids.h"
#include "ui/handlers.h"
#include "ui/window_description.h"

namespace vevidav::ui {
namespace {

// 特别说明：... (ten lines, the ninth 14 blanks, the tenth 36 blanks and 于 2020.04.23)
constexpr char kNotes[] =
    // 特别说明：
    "\xCC\xD8\xB1\xF0\xCB\xB5\xC3\xF7\xA3\xBA\r\n"
    // 此程序是为了解决切换软件手工导入库存，txt文件行数过大造成软件卡死
    "\xB4\xCB\xB3\xCC\xD0\xF2\xCA\xC7\xCE\xAA\xC1\xCB\xBD\xE2\xBE\xF6\xC7\xD0\xBB\xBB\xC8\xED\xBC"
    "\xFE"
    "\xCA\xD6\xB9\xA4\xB5\xBC\xC8\xEB\xBF\xE2\xB4\xE6\xA3\xACtxt\xCE\xC4\xBC\xFE\xD0\xD0\xCA\xFD"
    "\xB9\xFD"
    "\xB4\xF3\xD4\xEC\xB3\xC9\xC8\xED\xBC\xFE\xBF\xA8\xCB\xC0\r\n"
    "\r\n"
    // 1 此软件仅仅支持txt文件，不支持 excel文件
    "1 "
    "\xB4\xCB\xC8\xED\xBC\xFE\xBD\xF6\xBD\xF6\xD6\xA7\xB3\xD6txt\xCE\xC4\xBC\xFE\xA3\xAC\xB2\xBB"
    "\xD6\xA7"
    "\xB3\xD6 excel\xCE\xC4\xBC\xFE\r\n"
    // 2 此软件是按照txt文本行数进行分割
    "2 "
    "\xB4\xCB\xC8\xED\xBC\xFE\xCA\xC7\xB0\xB4\xD5\xD5txt\xCE\xC4\xB1\xBE\xD0\xD0\xCA\xFD\xBD\xF8"
    "\xD0\xD0"
    "\xB7\xD6\xB8\xEE\r\n"
    // 3 分割完毕之后会有数个小文件，在导入库存时候注意不要缺少。
    "3 "
    "\xB7\xD6\xB8\xEE\xCD\xEA\xB1\xCF\xD6\xAE\xBA\xF3\xBB\xE1\xD3\xD0\xCA\xFD\xB8\xF6\xD0\xA1\xCE"
    "\xC4"
    "\xBC\xFE\xA3\xAC\xD4\xDA\xB5\xBC\xC8\xEB\xBF\xE2\xB4\xE6\xCA\xB1\xBA\xF2\xD7\xA2\xD2\xE2\xB2"
    "\xBB\xD2"
    "\xAA\xC8\xB1\xC9\xD9\xA1\xA3\r\n"
    // 4 软件支持打开txt文件，也支持拖拽到窗口
    "4 "
    "\xC8\xED\xBC\xFE\xD6\xA7\xB3\xD6\xB4\xF2\xBF\xAAtxt\xCE\xC4\xBC\xFE\xA3\xAC\xD2\xB2\xD6\xA7"
    "\xB3\xD6"
    "\xCD\xCF\xD7\xA7\xB5\xBD\xB4\xB0\xBF\xDA\r\n"
    // 5 不完善的地方请大家多多包含，提出建议。
    "5 "
    "\xB2\xBB\xCD\xEA\xC9\xC6\xB5\xC4\xB5\xD8\xB7\xBD\xC7\xEB\xB4\xF3\xBC\xD2\xB6\xE0\xB6\xE0\xB0"
    "\xFC"
    "\xBA\xAC\xA3\xAC\xCC\xE1\xB3\xF6\xBD\xA8\xD2\xE9\xA1\xA3\r\n"
    "              \r\n"
    // 于 2020.04.23
    "                                    \xD3\xDA 2020.04.23";

constexpr std::array<const char*, 13> kLineCounts = {"500",  "1000", "1500", "2000", "2500",
                                                     "3000", "4000", "5000", "6000", "7000",
                                                     "8000", "9000", "10000"};

constexpr Colours kNotesColours{RGB(192, 96, 0), RGB(255, 255, 255)};
constexpr Colours kPathColours{RGB(255, 0, 0), RGB(255, 255, 255)};
constexpr Colours kComboColours{RGB(0, 0, 0), RGB(255, 255, 255)};

constexpr DWORD kEditStyle = WS_CHILD | WS_BORDER | WS_TABSTOP | ES_LEFT | ES_READONLY;
constexpr DWORD kButtonStyle =
    WS_CHILD | WS_TABSTOP | BS_PUSHBUTTON | BS_CENTER | BS_VCENTER | BS_MULTILINE;

const ControlDescription kControls[] = {
    {.name = names::状态条1,
     .kind = ControlKind::kStatusBar,
     .left = 0,
     .top = 211,
     .width = 460,
     .height = 20,
     .style = WS_CHILD | CCS_BOTTOM | SBT_TOOLTIPS},
    {.name = names::标签_分割行数,
     .kind = ControlKind::kLabel,
     .left = 166,
     .top = 182,
     .width = 56,
     .height = 24,
     .style = WS_CHILD,
     .text = "\xB7\xD6\xB8\xEE\xD0\xD0\xCA\xFD\xA3\xBA"},  // 分割行数：
    {.name = names::编辑框_特别说明,
     .kind = ControlKind::kEditBox,
     .left = -1,
     .top = 0,
     .width = 464,
     .height = 128,
     .style = kEditStyle | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN,
     .text = kNotes,
     .colours = &kNotesColours},
    {.name = names::组合框_分割行数,
     .kind = ControlKind::kComboBox,
     .left = 228,
     .top = 185,
     .width = 56,
     .height = 160,
     .style = WS_CHILD | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST | CBS_AUTOHSCROLL,
     .items = kLineCounts,
     .selected = 5,
     .colours = &kComboColours},
    {.name = names::拖放对象,
     .kind = ControlKind::kDropTarget,
     .accept_files = true,
     .on_files_dropped = FilesDropped},
    {.name = names::通用对话框_打开, .kind = ControlKind::kCommonDlg},
    {.name = names::按钮_选择文本,
     .kind = ControlKind::kButton,
     .left = 84,
     .top = 182,
     .width = 56,
     .height = 24,
     .style = kButtonStyle,
     .text = "\xD1\xA1\xD4\xF1\xCE\xC4\xB1\xBE",  // 选择文本
     .on_click = SelectFileClicked},
    {.name = names::按钮_分割文本,
     .kind = ControlKind::kButton,
     .left = 312,
     .top = 184,
     .width = 56,
     .height = 24,
     .style = kButtonStyle,
     .text = "\xB7\xD6\xB8\xEE\xCE\xC4\xB1\xBE",  // 分割文本
     .on_click = SplitClicked},
    {.name = names::编辑框_文件路径,
     .kind = ControlKind::kEditBox,
     .left = 80,
     .top = 136,
     .width = 360,
     .height = 24,
     .style = kEditStyle | ES_AUTOHSCROLL,
     .colours = &kPathColours},
    {.name = names::标签_文本路径,
     .kind = ControlKind::kLabel,
     .left = 8,
     .top = 136,
     .width = 56,
     .height = 24,
     .style = WS_CHILD,
     .text = "\xCE\xC4\xB1\xBE\xC2\xB7\xBE\xB6"},  // 文本路径
};

constexpr std::string_view kFocusCycle[] = {names::编辑框_文件路径, names::按钮_分割文本,
                                            names::按钮_选择文本, names::组合框_分割行数,
                                            names::编辑框_特别说明};

const WindowDescription kWindows[] = {
    {.name = names::主窗口,
     .title = "Vevidav byRedivez v20.04.23",
     .left = 50,
     .top = 50,
     .width = 466,
     .height = 271,
     .style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN,
     .ex_style = 0,
     .visible = true,
     .icon_id = IDI_VEVIDAV,
     .picture_id = IDR_BACKGROUND,
     .controls = kControls,
     .focus_cycle = kFocusCycle,
     .on_create = MainWindowCreated,
     .on_destroy = MainWindowDestroying},
};

}  // namespace

std::span<const WindowDescription> WindowDescriptions() { return kWindows; }

}  // namespace vevidav::ui
