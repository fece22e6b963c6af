#include "ui/main_window.h"

#include <commctrl.h>

#include <string>

#include "ui/label.h"

namespace vevidav::ui {
namespace {

constexpr char kMainWindowClass[] = "VevidavMainWindow";
constexpr int kFirstControlId = 100;

HMODULE Module() { return GetModuleHandleA(nullptr); }

HFONT GuiFont() { return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)); }

int LineHeight(HWND control, HFONT font) {
  HDC dc = GetDC(control);
  TEXTMETRICA metrics{};
  {
    SelectScope select(dc, font);
    GetTextMetricsA(dc, &metrics);
  }
  ReleaseDC(control, dc);
  return metrics.tmHeight;
}

bool KeyDown(int key) { return GetKeyState(key) < 0; }

}  // namespace

MainWindow::MainWindow(const WindowDescription& description, WindowContext context)
    : description_(description), context_(std::move(context)) {
  if (!context_.selected_path) context_.selected_path = &own_selected_path_;
}

MainWindow::~MainWindow() {
  if (hwnd_) DestroyWindow(hwnd_);
}

std::unique_ptr<MainWindow> MainWindow::Create(const WindowDescription& description,
                                               WindowContext context) {
  static const bool registered = [] {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    WNDCLASSEXA window_class{};
    window_class.cbSize = sizeof window_class;
    window_class.lpfnWndProc = WindowProc;
    window_class.hInstance = Module();
    window_class.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
    window_class.lpszClassName = kMainWindowClass;
    return RegisterClassExA(&window_class) != 0;
  }();
  if (!registered) return nullptr;

  std::unique_ptr<MainWindow> window(new MainWindow(description, std::move(context)));
  // Centred on the primary screen; the stored place is not used.
  int left = (GetSystemMetrics(SM_CXSCREEN) - description.width) / 2;
  int top = (GetSystemMetrics(SM_CYSCREEN) - description.height) / 2;
  HWND hwnd = CreateWindowExA(description.ex_style, kMainWindowClass, description.title,
                              description.style, left, top, description.width, description.height,
                              window->context_.owner, nullptr, Module(), window.get());
  if (!hwnd) return nullptr;
  RECT outer;
  GetWindowRect(hwnd, &outer);
  if (outer.right - outer.left != description.width ||
      outer.bottom - outer.top != description.height)
    SetWindowPos(hwnd, nullptr, left, top, description.width, description.height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  if (description.icon_id) {
    // The icon's own size (no LR_DEFAULTSIZE) serves as both the large and the small icon.
    window->icon_.reset(static_cast<HICON>(
        LoadImageA(Module(), MAKEINTRESOURCEA(description.icon_id), IMAGE_ICON, 0, 0, 0)));
    SendMessageA(hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(window->icon_.get()));
    SendMessageA(hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(window->icon_.get()));
  }
  SendMessageA(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(GuiFont()), FALSE);

  if (!window->CreateControls()) return nullptr;  // the destructor destroys the window
  window->LayOutStatusBar();
  for (const Live& control : window->controls_)
    if (control.hwnd) ShowWindow(control.hwnd, SW_SHOW);
  window->Raise(description.on_create);
  return window;
}

bool MainWindow::CreateControls() {
  for (const ControlDescription& control : description_.controls) {
    Live live{&control, nullptr, nullptr, nullptr};
    switch (control.kind) {
      case ControlKind::kCommonDlg:
        live.dialog = std::make_unique<CommonDlg>(hwnd_);
        break;
      case ControlKind::kDropTarget:
        live.drop = std::make_unique<DropTarget>();
        live.drop->accept_text = control.accept_text;
        live.drop->accept_html = control.accept_html;
        live.drop->accept_url = control.accept_url;
        live.drop->accept_files = control.accept_files;
        if (control.on_files_dropped) {
          live.drop->files_dropped = [this, handler = control.on_files_dropped](const Text& t) {
            handler(*this, t);
          };
        }
        break;
      default:
        live.hwnd = CreateControl(control);
        if (!live.hwnd) return false;
        break;
    }
    controls_.push_back(std::move(live));
  }
  return true;
}

HWND MainWindow::CreateControl(const ControlDescription& control) {
  const char* window_class = nullptr;
  switch (control.kind) {
    case ControlKind::kEditBox:
      window_class = "EDIT";
      break;
    case ControlKind::kLabel:
      window_class = LabelClassName();
      break;
    case ControlKind::kButton:
      window_class = "BUTTON";
      break;
    case ControlKind::kComboBox:
      window_class = "COMBOBOX";
      break;
    case ControlKind::kStatusBar:
      window_class = STATUSCLASSNAMEA;
      break;
    default:
      return nullptr;
  }
  auto id = static_cast<INT_PTR>(kFirstControlId + controls_.size());
  HWND hwnd = CreateWindowExA(0, window_class, control.text, control.style, control.left,
                              control.top, control.width, control.height, hwnd_,
                              reinterpret_cast<HMENU>(id), Module(), nullptr);
  if (!hwnd) return nullptr;
  SendMessageA(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(GuiFont()), FALSE);

  switch (control.kind) {
    case ControlKind::kEditBox:
      SendMessageA(hwnd, EM_LIMITTEXT, 0, 0);
      SendMessageA(hwnd, EM_SETSEL, 0, 0);
      if (!(control.style & ES_MULTILINE)) {
        // Never lower than a line of its font and the edges.
        int least = LineHeight(hwnd, GuiFont()) + 2 * GetSystemMetrics(SM_CYEDGE);
        if (control.height < least)
          SetWindowPos(hwnd, nullptr, 0, 0, control.width, least,
                       SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
      }
      break;
    case ControlKind::kComboBox: {
      for (const char* item : control.items)
        SendMessageA(hwnd, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
      LRESULT item_height = SendMessageA(hwnd, CB_GETITEMHEIGHT, 0, 0);
      if (item_height != CB_ERR) SendMessageA(hwnd, CB_SETITEMHEIGHT, 0, item_height + 1);
      SendMessageA(hwnd, CB_SETCURSEL, static_cast<WPARAM>(control.selected), 0);
      break;
    }
    case ControlKind::kStatusBar: {
      int right_edges[] = {-1};
      SendMessageA(hwnd, SB_SETPARTS, 1, reinterpret_cast<LPARAM>(right_edges));
      SendMessageA(hwnd, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>(""));
      break;
    }
    default:
      break;
  }
  return hwnd;
}

LRESULT CALLBACK MainWindow::WindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  MainWindow* self = nullptr;
  if (message == WM_NCCREATE) {
    self = static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTA*>(lparam)->lpCreateParams);
    self->hwnd_ = hwnd;
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  } else {
    self = reinterpret_cast<MainWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  }
  if (!self) return DefWindowProcA(hwnd, message, wparam, lparam);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
    self->hwnd_ = nullptr;
    try {
      if (self->context_.gone) self->context_.gone(*self);
    } catch (...) {
    }
    return DefWindowProcA(hwnd, message, wparam, lparam);
  }
  try {
    return self->HandleMessage(message, wparam, lparam);
  } catch (...) {
    return DefWindowProcA(hwnd, message, wparam, lparam);
  }
}

LRESULT MainWindow::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_PAINT:
      OnPaint();
      return 0;
    case WM_SIZE:
      LayOutStatusBar();
      return 0;
    case WM_COMMAND:
      OnCommand(wparam, lparam);
      return 0;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORLISTBOX:
      return OnControlColour(message, reinterpret_cast<HDC>(wparam),
                             reinterpret_cast<HWND>(lparam));
    case WM_ACTIVATE:
      OnActivate(wparam);
      break;
    case WM_SETFOCUS:
      OnSetFocus();
      return 0;
    case WM_DESTROY:
      Raise(description_.on_destroy);
      return 0;
    case WM_SETFONT:
      font_ = reinterpret_cast<HFONT>(wparam);
      return 0;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(font_);
  }
  return DefWindowProcA(hwnd_, message, wparam, lparam);
}

void MainWindow::OnPaint() {
  PaintScope paint(hwnd_);
  if (!picture_decoded_) {
    // One attempt: the picture is part of the executable and does not change.
    picture_decoded_ = true;
    if (description_.picture_id)
      picture_ = DecodePictureResource(Module(), description_.picture_id);
  }
  if (picture_) {
    RECT client;
    GetClientRect(hwnd_, &client);
    DrawTiled(paint.dc(), *picture_, client, paint.area());
  } else {
    FillRect(paint.dc(), &paint.area(), GetSysColorBrush(COLOR_BTNFACE));
  }
}

void MainWindow::OnCommand(WPARAM wparam, LPARAM lparam) {
  if (HIWORD(wparam) != BN_CLICKED || !lparam) return;
  const Live* control = FindByWindow(reinterpret_cast<HWND>(lparam));
  if (control && control->description->on_click) Raise(control->description->on_click);
}

LRESULT MainWindow::OnControlColour(UINT message, HDC dc, HWND control) {
  const Live* live = FindByWindow(control);
  if (!live && message == WM_CTLCOLORLISTBOX) {
    // The drop-down list of a combo box speaks for the combo box.
    for (const Live& candidate : controls_) {
      if (candidate.description->kind != ControlKind::kComboBox) continue;
      COMBOBOXINFO info{};
      info.cbSize = sizeof info;
      if (GetComboBoxInfo(candidate.hwnd, &info) && info.hwndList == control) live = &candidate;
    }
  }
  if (!live || !live->description->colours)
    return DefWindowProcA(hwnd_, message, reinterpret_cast<WPARAM>(dc),
                          reinterpret_cast<LPARAM>(control));
  const Colours& colours = *live->description->colours;
  SetTextColor(dc, colours.text);
  SetBkColor(dc, colours.back);
  return reinterpret_cast<LRESULT>(BrushFor(colours.back));
}

void MainWindow::OnActivate(WPARAM wparam) {
  if (LOWORD(wparam) != WA_INACTIVE) return;
  HWND focus = GetFocus();
  if (focus && IsChild(hwnd_, focus)) focus_at_deactivation_ = focus;
}

void MainWindow::OnSetFocus() {
  HWND target = focus_at_deactivation_;
  if (!target || !IsChild(hwnd_, target)) {
    target = description_.focus_cycle.empty() ? nullptr : Control(description_.focus_cycle[0]);
  }
  if (target) SetFocus(target);
}

void MainWindow::LayOutStatusBar() {
  for (const Live& control : controls_)
    if (control.description->kind == ControlKind::kStatusBar)
      SendMessageA(control.hwnd, WM_SIZE, 0, 0);
}

bool MainWindow::PreTranslateMessage(const MSG& message) {
  if (message.message != WM_KEYDOWN || !hwnd_) return false;
  if (message.hwnd != hwnd_ && !IsChild(hwnd_, message.hwnd)) return false;
  bool control = KeyDown(VK_CONTROL), shift = KeyDown(VK_SHIFT), alt = KeyDown(VK_MENU);
  switch (message.wParam) {
    case VK_TAB:
      if (control || alt) return false;
      MoveFocus(shift ? -1 : 1);
      return true;
    case VK_ESCAPE:
      if (control || shift || alt) return false;
      SendMessageA(hwnd_, WM_CLOSE, 0, 0);
      return true;
  }
  return false;
}

void MainWindow::MoveFocus(int step) {
  std::vector<HWND> cycle;
  for (std::string_view name : description_.focus_cycle) {
    HWND control = Control(name);
    if (control && IsWindowVisible(control) && IsWindowEnabled(control) &&
        (GetWindowLongA(control, GWL_STYLE) & WS_TABSTOP))
      cycle.push_back(control);
  }
  if (cycle.empty()) return;
  int count = static_cast<int>(cycle.size());
  HWND focus = GetFocus();
  int current = -1;
  for (int i = 0; i < count; ++i)
    if (focus && (cycle[i] == focus || IsChild(cycle[i], focus))) current = i;
  int next = current < 0 ? (step > 0 ? 0 : count - 1) : (current + step + count) % count;
  SetFocus(cycle[next]);
}

const MainWindow::Live* MainWindow::Find(std::string_view name) const {
  for (const Live& control : controls_)
    if (control.description->name == name) return &control;
  return nullptr;
}

const MainWindow::Live* MainWindow::FindByWindow(HWND hwnd) const {
  if (!hwnd) return nullptr;
  for (const Live& control : controls_)
    if (control.hwnd == hwnd) return &control;
  return nullptr;
}

HWND MainWindow::Control(std::string_view name) const {
  const Live* control = Find(name);
  return control ? control->hwnd : nullptr;
}

CommonDlg* MainWindow::Dialog(std::string_view name) {
  const Live* control = Find(name);
  return control ? control->dialog.get() : nullptr;
}

DropTarget* MainWindow::Drop(std::string_view name) {
  const Live* control = Find(name);
  return control ? control->drop.get() : nullptr;
}

Text MainWindow::GetText(std::string_view name) const {
  const Live* control = Find(name);
  if (!control || !control->hwnd) return {};
  std::string text;
  if (control->description->kind == ControlKind::kComboBox) {
    LRESULT selected = SendMessageA(control->hwnd, CB_GETCURSEL, 0, 0);
    if (selected == CB_ERR) return {};
    LRESULT length = SendMessageA(control->hwnd, CB_GETLBTEXTLEN, selected, 0);
    if (length == CB_ERR || length <= 0) return {};
    text.resize(static_cast<std::size_t>(length) + 1);
    length =
        SendMessageA(control->hwnd, CB_GETLBTEXT, selected, reinterpret_cast<LPARAM>(text.data()));
    if (length == CB_ERR) return {};
    text.resize(static_cast<std::size_t>(length));
  } else {
    int length = GetWindowTextLengthA(control->hwnd);
    if (length <= 0) return {};
    text.resize(static_cast<std::size_t>(length) + 1);
    length = GetWindowTextA(control->hwnd, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(length));
  }
  return Text(std::string_view(text));
}

void MainWindow::SetText(std::string_view name, const Text& text) {
  if (HWND control = Control(name)) SetWindowTextA(control, text.c_str());
}

void MainWindow::SetPanelText(std::string_view name, int index, const Text& text) {
  HWND bar = Control(name);
  if (!bar) return;
  auto panels = static_cast<int>(SendMessageA(bar, SB_GETPARTS, 0, 0));
  if (index < 0 || index >= panels) return;
  SendMessageA(bar, SB_SETTEXTA, static_cast<WPARAM>(index),
               reinterpret_cast<LPARAM>(text.c_str()));
}

HBRUSH MainWindow::BrushFor(COLORREF colour) {
  for (auto& [known, brush] : brushes_)
    if (known == colour) return brush.get();
  brushes_.emplace_back(colour, UniqueBrush(CreateSolidBrush(colour)));
  return brushes_.back().second.get();
}

void MainWindow::Raise(EventHandler handler) {
  if (!handler) return;
  try {
    handler(*this);
  } catch (...) {
  }
}

}  // namespace vevidav::ui
