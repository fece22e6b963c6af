#include "ui/label.h"

#include <string>

#include "ui/handles.h"

namespace vevidav::ui {
namespace {

constexpr char kLabelClass[] = "VevidavLabel";

void PaintLabel(HWND hwnd) {
  PaintScope paint(hwnd);
  FillRect(paint.dc(), &paint.area(), GetSysColorBrush(COLOR_BTNFACE));
  int length = GetWindowTextLengthA(hwnd);
  if (length <= 0) return;
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  length = GetWindowTextA(hwnd, text.data(), length + 1);
  RECT client;
  GetClientRect(hwnd, &client);
  SelectScope font(paint.dc(), GetStockObject(DEFAULT_GUI_FONT));
  SetBkMode(paint.dc(), TRANSPARENT);
  SetTextColor(paint.dc(), RGB(0, 0, 0));
  DrawTextA(paint.dc(), text.c_str(), length, &client,
            DT_LEFT | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
}

LRESULT CALLBACK LabelProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  try {
    switch (message) {
      case WM_PAINT:
        PaintLabel(hwnd);
        return 0;
      case WM_ERASEBKGND:
        return 1;       // the paint fills everything it draws
      case WM_SETFONT:  // kept to be answered; the label always paints in the default GUI font
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, static_cast<LONG_PTR>(wparam));
        return 0;
      case WM_GETFONT:
        return GetWindowLongPtrA(hwnd, GWLP_USERDATA);
      case WM_SETTEXT: {
        LRESULT result = DefWindowProcA(hwnd, message, wparam, lparam);
        InvalidateRect(hwnd, nullptr, FALSE);
        return result;
      }
    }
  } catch (...) {
  }
  return DefWindowProcA(hwnd, message, wparam, lparam);
}

}  // namespace

const char* LabelClassName() {
  static const bool registered = [] {
    WNDCLASSEXA window_class{};
    window_class.cbSize = sizeof window_class;
    window_class.lpfnWndProc = LabelProc;
    window_class.hInstance = GetModuleHandleA(nullptr);
    window_class.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
    window_class.lpszClassName = kLabelClass;
    return RegisterClassExA(&window_class) != 0;
  }();
  (void)registered;
  return kLabelClass;
}

}  // namespace vevidav::ui
