#pragma once
// The main window in the test process: created from its description, shown, and driven with
// messages; modal UI is read and closed from a helper thread.
#include <windows.h>

#include <ole2.h>

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "engine/text.h"
#include "tests/support/support.h"
#include "ui/main_window.h"

namespace vevidav::testing {

inline constexpr char kInfoCaption[] = "\xD0\xC5\xCF\xA2\xA3\xBA";  // 信息：

// Runs the window's messages through its key handling for a while, as the program's loop does.
void Pump(ui::MainWindow* window, std::chrono::milliseconds time = std::chrono::milliseconds(50));
// Posts a key press (down, character, up) to the focused window, then pumps.
void PressKey(ui::MainWindow* window, WORD key, bool shift = false);
// Text of any window, ANSI.
std::string WindowText(HWND hwnd);
// A window's outer rectangle in its parent's client coordinates.
RECT PlaceInParent(HWND hwnd);

// OLE for the test process (drops, the picture decoder) and the main window of the description.
class MainWindowTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { OleInitialize(nullptr); }
  static void TearDownTestSuite() { OleUninitialize(); }
  void SetUp() override;
  void TearDown() override;
  // Creates and shows the window from `description` (the program's main window by default).
  void Open(const ui::WindowDescription* description = nullptr);
  HWND Control(std::string_view name) const { return window_->Control(name); }

  HWND owner_ = nullptr;
  Text selected_path_;
  bool gone_ = false;
  std::unique_ptr<ui::MainWindow> window_;
};

// What the open-file dialog showed, and what the helper did with it.
struct SeenDialog {
  bool found = false;
  std::string name_field;  // the file name field on opening
  std::string file_type;   // the selected file type
  bool has_owner = false;
};
// Waits for the open-file dialog of this process, reads it, then types `name` and presses OK, or
// presses Cancel when `name` is empty.
SeenDialog AnswerOpenDialog(const std::string& name,
                            std::chrono::milliseconds timeout = std::chrono::seconds(20));
// Closes any dialog or message box of this process that appears within `timeout` with Cancel;
// true when one appeared.
bool CancelAnyDialog(std::chrono::milliseconds timeout);

// A drag source's data (one reference, the caller's): a CF_HDROP list of ANSI names, or CF_TEXT
// alone.
IDataObject* NewFileData(const std::vector<std::string>& names);
IDataObject* NewTextData(const std::string& text);

}  // namespace vevidav::testing
