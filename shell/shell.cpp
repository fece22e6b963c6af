#include "shell/shell.h"

#include <float.h>
#include <ole2.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "engine/file.h"
#include "engine/message.h"
#include "ui/handles.h"
#include "ui/window_description.h"

namespace vevidav::shell {
namespace {

constexpr char kOwnerClass[] = "VevidavOwner";

struct Entry {
  const ui::WindowDescription* description;
  std::unique_ptr<ui::MainWindow> window;
  bool up = false;
};

struct ShellState {
  ui::UniqueWindow owner;
  std::vector<ExitRoutine> exit_routines;
  Text selected_path;
  bool loop_entered = false;
  ui::MainWindow* modal = nullptr;
  std::vector<Entry> registry;
  bool ole_initialized = false;
};

ShellState& State() {
  static ShellState state;
  return state;
}

bool AnyWindowUp() {
  return std::any_of(State().registry.begin(), State().registry.end(),
                     [](const Entry& entry) { return entry.up; });
}

Entry* FindEntry(std::string_view name) {
  for (Entry& entry : State().registry)
    if (entry.description->name == name) return &entry;
  return nullptr;
}

// WM_NCDESTROY of a loaded window.
void WindowGone(ui::MainWindow& window) {
  ShellState& state = State();
  for (Entry& entry : state.registry)
    if (entry.window.get() == &window) entry.up = false;
  if (state.modal == &window) state.modal = nullptr;
  if (!AnyWindowUp() && state.loop_entered) PostQuitMessage(0);
}

bool PreTranslate(const MSG& message) {
  for (Entry& entry : State().registry)
    if (entry.up && entry.window->PreTranslateMessage(message)) return true;
  return false;
}

// One pump for both loops. The nested one leaves as soon as its modal window is gone, and leaves
// a WM_QUIT in the queue for the outer one.
void RunLoop(bool nested) {
  ShellState& state = State();
  for (;;) {
    MSG message;
    while (!PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE)) {
      if (nested && !state.modal) return;
      WaitMessage();
    }
    if (nested && message.message == WM_QUIT) return;
    BOOL got = GetMessageA(&message, nullptr, 0, 0);
    if (got == 0) {
      if (nested) PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    if (got == -1) return;
    if (!PreTranslate(message)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
    if (nested && !state.modal) return;
  }
}

HWND CreateOwnerWindow() {
  static const bool registered = [] {
    WNDCLASSEXA window_class{};
    window_class.cbSize = sizeof window_class;
    window_class.lpfnWndProc = DefWindowProcA;
    window_class.hInstance = GetModuleHandleA(nullptr);
    window_class.lpszClassName = kOwnerClass;
    return RegisterClassExA(&window_class) != 0;
  }();
  if (!registered) return nullptr;
  return CreateWindowExA(WS_EX_TOOLWINDOW, kOwnerClass, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                         GetModuleHandleA(nullptr), nullptr);
}

}  // namespace

void InitializeShell() {
  ShellState& state = State();
  SetFatalEndHook(FatalEnd);
  // Only a successful start is balanced by OleUninitialize at the end.
  state.ole_initialized = SUCCEEDED(OleInitialize(nullptr));
  // Relative paths resolve against the executable's folder. The native path keeps a drive root
  // as "C:\" (plain "C:" would mean the drive's current folder) and any characters in its name.
  NativePath run_directory = RunDirectoryPath();
  std::wstring folder = run_directory.native();
  if (!folder.empty() && folder.back() == L':') folder += L'\\';
  SetCurrentDirectoryW(folder.c_str());
  state.owner.reset(CreateOwnerWindow());
  state.registry.clear();
  for (const ui::WindowDescription& description : ui::WindowDescriptions())
    state.registry.push_back(Entry{&description, nullptr, false});
  if (state.registry.empty()) {
    // 载入窗口模板数据段出错!
    ReportRuntimeError(
        "\xD4\xD8\xC8\xEB\xB4\xB0\xBF\xDA\xC4\xA3\xB0\xE5\xCA\xFD\xBE\xDD\xB6\xCE\xB3\xF6"
        "\xB4\xED!",
        0, 0, 0);
  }
}

void RegisterExitRoutine(ExitRoutine routine) {
  auto& routines = State().exit_routines;
  if (std::find(routines.begin(), routines.end(), routine) == routines.end())
    routines.push_back(routine);
}

bool LoadWindow(std::string_view name, HWND parent, bool dialog_style) {
  ShellState& state = State();
  Entry* entry = FindEntry(name);
  if (!entry) return false;
  if (entry->up) return false;
  ui::WindowContext context;
  context.owner = dialog_style || !parent ? state.owner.get() : parent;
  context.selected_path = &state.selected_path;
  context.gone = WindowGone;
  std::unique_ptr<ui::MainWindow> window = ui::MainWindow::Create(*entry->description, context);
  if (!window) return false;
  entry->window = std::move(window);
  entry->up = true;
  ui::MainWindow* live = entry->window.get();
  if (entry->description->visible) live->Show();
  if (!dialog_style) return true;
  for (Entry& other : state.registry)
    if (&other != entry && other.up && !GetParent(other.window->hwnd()))
      EnableWindow(other.window->hwnd(), FALSE);
  if (!entry->description->visible) return true;
  state.modal = live;
  RunLoop(true);
  return true;
}

void RunMessageLoop() {
  State().loop_entered = true;
  if (!AnyWindowUp()) return;
  RunLoop(false);
}

void FreeSelectedPath() { State().selected_path = Text(); }

void EndProgram(int) {
  ShellState& state = State();
  for (Entry& entry : state.registry) entry.window.reset();
  state.registry.clear();
  state.modal = nullptr;
  std::vector<ExitRoutine> routines;
  routines.swap(state.exit_routines);
  for (ExitRoutine routine : routines) routine();
  state.owner.reset();
  state.loop_entered = false;
  if (state.ole_initialized) {
    OleUninitialize();
    state.ole_initialized = false;
  }
}

void FatalEnd() {
  State().exit_routines.clear();
  EndProgram(-1);
  ExitProcess(static_cast<UINT>(-1));
}

int StartProgram() {
  InitializeShell();
  _fpreset();  // the floating-point unit in its default state, every exception masked
  State().selected_path = Text();
  RegisterExitRoutine(FreeSelectedPath);
  LoadWindow(ui::names::主窗口, nullptr, true);
  RunMessageLoop();
  return 0;
}

Text& SelectedPath() { return State().selected_path; }

HWND HiddenOwnerWindow() { return State().owner.get(); }

ui::MainWindow* LiveWindow(std::string_view name) {
  Entry* entry = FindEntry(name);
  return entry && entry->up ? entry->window.get() : nullptr;
}

}  // namespace vevidav::shell
