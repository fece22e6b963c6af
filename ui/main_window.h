#pragma once
// The main window built from its description: the controls, painting, colours, focus and keys.
// The handlers in ui/handlers.h run on its events.
#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "engine/text.h"
#include "ui/common_dlg.h"
#include "ui/drop_target.h"
#include "ui/handles.h"
#include "ui/picture.h"
#include "ui/window_description.h"

namespace vevidav::ui {

// What the window gets from the program that loads it.
struct WindowContext {
  HWND owner = nullptr;                   // the owner of a window without parent
  Text* selected_path = nullptr;          // the program's one global, which file selection writes
  std::function<void(MainWindow&)> gone;  // the window has disappeared (WM_NCDESTROY)
};

class MainWindow {
 public:
  // Steps 1 to 5 of loading: the window and its controls, the status bar laid out, the controls
  // shown, the creation handler run. The window itself is not yet shown. Nothing on failure.
  static std::unique_ptr<MainWindow> Create(const WindowDescription& description,
                                            WindowContext context);
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;
  ~MainWindow();

  void Show() { ShowWindow(hwnd_, SW_SHOW); }
  HWND hwnd() const { return hwnd_; }
  const WindowDescription& description() const { return description_; }
  bool alive() const { return hwnd_ != nullptr; }

  // The window's own key handling, before the control gets the message (Tab, Shift+Tab, Escape).
  // True when the message was taken.
  bool PreTranslateMessage(const MSG& message);

  // The platform window of a control, or nullptr.
  HWND Control(std::string_view name) const;
  CommonDlg* Dialog(std::string_view name);
  DropTarget* Drop(std::string_view name);
  Text& SelectedPath() { return *context_.selected_path; }

  // What an edit box or a combo box shows now (a combo box: its selected item).
  Text GetText(std::string_view name) const;
  // An edit box's text.
  void SetText(std::string_view name, const Text& text);
  // A status bar panel's text; an index outside the panels changes nothing.
  void SetPanelText(std::string_view name, int index, const Text& text);

 private:
  struct Live {
    const ControlDescription* description;
    HWND hwnd = nullptr;
    std::unique_ptr<CommonDlg> dialog;
    std::unique_ptr<DropTarget> drop;
  };

  MainWindow(const WindowDescription& description, WindowContext context);
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam);
  bool CreateControls();
  HWND CreateControl(const ControlDescription& control);
  void OnPaint();
  void OnCommand(WPARAM wparam, LPARAM lparam);
  LRESULT OnControlColour(UINT message, HDC dc, HWND control);
  void OnActivate(WPARAM wparam);
  void OnSetFocus();
  void LayOutStatusBar();
  void MoveFocus(int step);
  const Live* Find(std::string_view name) const;
  const Live* FindByWindow(HWND hwnd) const;
  HBRUSH BrushFor(COLORREF colour);
  void Raise(EventHandler handler);

  const WindowDescription& description_;
  WindowContext context_;
  HWND hwnd_ = nullptr;
  std::vector<Live> controls_;
  UniqueIcon icon_;
  std::vector<std::pair<COLORREF, UniqueBrush>> brushes_;
  bool picture_decoded_ = false;
  std::optional<Picture> picture_;
  HWND focus_at_deactivation_ = nullptr;
  HFONT font_ = nullptr;
  Text own_selected_path_;  // when the context brings none
};

}  // namespace vevidav::ui
