// The shell in the test process and in child processes: start-up, exit routines, LoadWindow and
// its nested loop, the fatal end.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <future>
#include <string>
#include <vector>

#include "engine/message.h"
#include "engine/text.h"
#include "shell/shell.h"
#include "tests/support/support.h"
#include "ui/window_description.h"

namespace vevidav::testing {
namespace {

constexpr char kTitle[] = "Vevidav byRedivez v20.04.23";
constexpr wchar_t kMarkerVariable[] = L"VEVIDAV_TEST_MARKER";

HWND WaitForMainWindow(unsigned long pid) {
  return testing::WaitForTopWindow(
      pid, [](HWND window) { return testing::WindowTitle(window) == kTitle; });
}

// An exit routine the tests can see from outside: it writes the file the variable names.
void WriteMarker() {
  if (const wchar_t* path = _wgetenv(kMarkerVariable)) WriteBytes(path, "ran");
}

class ShellTest : public ::testing::Test {
 protected:
  void TearDown() override {
    shell::EndProgram(0);
    SetFatalEndHook(nullptr);
  }
};

TEST_F(ShellTest, InitializeShellMakesTheRunDirectoryCurrentAndAHiddenOwner) {
  TempDir elsewhere;
  SetCurrentDirectoryW(elsewhere.path().c_str());
  shell::InitializeShell();
  wchar_t current[MAX_PATH] = {};
  GetCurrentDirectoryW(MAX_PATH, current);
  EXPECT_EQ(NativePath(current), SelfPath().parent_path());

  HWND owner = shell::HiddenOwnerWindow();
  ASSERT_NE(owner, nullptr);
  EXPECT_FALSE(IsWindowVisible(owner));
  EXPECT_NE(GetWindowLongA(owner, GWL_EXSTYLE) & WS_EX_TOOLWINDOW, 0);
  EXPECT_EQ(GetParent(owner), nullptr);

  shell::RunMessageLoop();  // no window up: returns at once
  shell::EndProgram(0);
  EXPECT_EQ(shell::HiddenOwnerWindow(), nullptr);
  EXPECT_FALSE(IsWindow(owner));
}

std::vector<int> g_runs;
void RoutineA() { g_runs.push_back(1); }
void RoutineB() { g_runs.push_back(2); }

TEST_F(ShellTest, ExitRoutinesRunOnceInRegistrationOrder) {
  g_runs.clear();
  shell::InitializeShell();
  shell::RegisterExitRoutine(RoutineB);
  shell::RegisterExitRoutine(RoutineA);
  shell::RegisterExitRoutine(RoutineB);
  shell::EndProgram(0);
  EXPECT_EQ(g_runs, (std::vector<int>{2, 1}));
  shell::EndProgram(0);  // the list was emptied
  EXPECT_EQ(g_runs.size(), 2u);
}

TEST_F(ShellTest, FreeSelectedPathReleasesThePath) {
  shell::InitializeShell();
  shell::SelectedPath() = "C:\\stock.txt";
  shell::RegisterExitRoutine(shell::FreeSelectedPath);
  shell::EndProgram(0);
  EXPECT_EQ(shell::SelectedPath(), Text());
}

TEST_F(ShellTest, LoadWindowInDialogStyleWaitsUntilTheWindowIsGone) {
  shell::InitializeShell();
  HWND stranger =
      CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
  auto seen = std::async(std::launch::async, [] {
    HWND window = WaitForMainWindow(GetCurrentProcessId());
    std::pair<HWND, bool> result{nullptr, false};
    if (!window) return result;
    result = {GetWindow(window, GW_OWNER), IsWindowEnabled(window) != 0};
    PostMessageA(window, WM_CLOSE, 0, 0);
    return result;
  });
  // A parent given in dialog style is ignored.
  EXPECT_TRUE(shell::LoadWindow(ui::names::主窗口, stranger, true));
  auto [owner, enabled] = seen.get();
  EXPECT_EQ(owner, shell::HiddenOwnerWindow());
  EXPECT_TRUE(enabled);
  EXPECT_EQ(shell::LiveWindow(ui::names::主窗口), nullptr);
  shell::RunMessageLoop();  // returns: no window up any more
  DestroyWindow(stranger);
}

TEST_F(ShellTest, LoadWindowWithoutADescriptionFails) {
  shell::InitializeShell();
  EXPECT_FALSE(shell::LoadWindow("no such window", nullptr, true));
}

// ---- whole processes

VOID CALLBACK DivideByZero(HWND, UINT, UINT_PTR, DWORD) { Remainder(1, 0); }

// A runtime error inside a handler of the running window.
VEVIDAV_CHILD(fatal_end_in_window) {
  shell::InitializeShell();
  shell::RegisterExitRoutine(shell::FreeSelectedPath);
  shell::RegisterExitRoutine(WriteMarker);
  SetTimer(nullptr, 0, 100, DivideByZero);
  shell::LoadWindow(ui::names::主窗口, nullptr, true);
  return 0;
}

VEVIDAV_CHILD(normal_end) {
  shell::InitializeShell();
  shell::RegisterExitRoutine(shell::FreeSelectedPath);
  shell::RegisterExitRoutine(WriteMarker);
  shell::EndProgram(0);
  return 0;
}

class ChildTest : public ::testing::Test {
 protected:
  void SetUp() override { SetEnvironmentVariableW(kMarkerVariable, (dir_ / "marker").c_str()); }
  void TearDown() override { SetEnvironmentVariableW(kMarkerVariable, nullptr); }
  bool MarkerWritten() const { return std::filesystem::exists(dir_ / "marker"); }
  TempDir dir_;
};

TEST_F(ChildTest, FatalEndShowsTheBoxEndsWithMinusOneAndSkipsTheExitRoutines) {
  SeenBox box;
  bool window_enabled_under_box = false;
  ProcessResult result = RunChild("fatal_end_in_window", [&](unsigned long pid) {
    HWND window = WaitForMainWindow(pid);
    for (int i = 0; i < 1500 && !FindWindowA("#32770", "\xB4\xED\xCE\xF3"); ++i) Sleep(20);
    // The box has no owner: the window stays usable under it.
    window_enabled_under_box = window && IsWindowEnabled(window);
    box = CloseMessageBox(pid, "\xB4\xED\xCE\xF3", std::chrono::seconds(30));  // 错误
  });
  ASSERT_TRUE(box.found);
  // 不能求余数于零
  EXPECT_NE(box.text.find("\xB2\xBB\xC4\xDC\xC7\xF3\xD3\xE0\xCA\xFD\xD3\xDA\xC1\xE3"),
            std::string::npos)
      << box.text;
  EXPECT_FALSE(box.has_owner);
  EXPECT_TRUE(window_enabled_under_box);
  EXPECT_EQ(result.exit_code, -1);
  EXPECT_FALSE(MarkerWritten());
}

TEST_F(ChildTest, NormalEndRunsTheExitRoutines) {
  ProcessResult result = RunChild("normal_end");
  EXPECT_EQ(result.exit_code, 0);
  EXPECT_TRUE(MarkerWritten());
}

}  // namespace
}  // namespace vevidav::testing
