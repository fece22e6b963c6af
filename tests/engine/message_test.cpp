#include "engine/message.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "engine/text.h"
#include "tests/support/support.h"

#ifdef _WIN32
#include <windows.h>
#endif

#if defined(__SANITIZE_ADDRESS__)
// The memory-failure child asks for more than any heap has; it must get nullptr back, not an abort.
extern "C" const char* __asan_default_options() { return "allocator_may_return_null=1"; }
#endif

namespace vevidav {
namespace {

#ifdef _WIN32
constexpr int kFatalExitCode = -1;
#else
constexpr int kFatalExitCode = 255;
#endif

// 运行时出错! / 错误信息： / 错误代码：
constexpr char kHead[] = "\xD4\xCB\xD0\xD0\xCA\xB1\xB3\xF6\xB4\xED!\r\n";
constexpr char kMessageLine[] = "\r\n\xB4\xED\xCE\xF3\xD0\xC5\xCF\xA2\xA3\xBA";
constexpr char kCodeLine[] = "\r\n\xB4\xED\xCE\xF3\xB4\xFA\xC2\xEB\xA3\xBA";
constexpr char kByZero[] =
    "\xB2\xBB\xC4\xDC\xC7\xF3\xD3\xE0\xCA\xFD\xD3\xDA\xC1\xE3";  // 不能求余数于零

TEST(MessageBoxStyle, AddsTaskModalUnlessSystemModal) {
  const struct {
    int style, expected;
  } cases[] = {{0, 0x2000},
               {48, 0x2030},
               {0x1000, 0x1000},
               {0x1030, 0x1030},
               // added, not or-ed: a style that already has the bit carries into the next one
               {0x2000, 0x4000}};
  for (const auto& c : cases) EXPECT_EQ(MessageBoxStyle(c.style), c.expected) << c.style;
}

TEST(RuntimeErrorText, BuildsTheBoxLines) {
  const struct {
    const char* message;
    int code, place1, place2;
    std::string expected;
  } cases[] = {
      {kByZero, 0, 0, 0, std::string(kHead) + kMessageLine + kByZero + "\r\n\r\n0, 0\r\n"},
      {"", 0, 0, 0, std::string(kHead) + "\r\n0, 0\r\n"},
      {"x", -5, 3, -4,
       std::string(kHead) + kCodeLine + "-5\r\n" + kMessageLine + "x\r\n\r\n3, -4\r\n"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(RuntimeErrorText(c.message, c.code, c.place1, c.place2).view(), c.expected);
}

std::vector<std::pair<std::string, int>> recorded;
void Record(const Text& message, int style) { recorded.emplace_back(message.view(), style); }

TEST(ShowMessage, GoesThroughTheHookWithTheCallersStyle) {
  recorded.clear();
  SetShowMessageHook(&Record);
  ShowMessage("a", 0);
  ShowMessage("b", kStyleExclamation);
  SetShowMessageHook(nullptr);
  EXPECT_EQ(recorded, (std::vector<std::pair<std::string, int>>{{"a", 0}, {"b", 48}}));
}

VEVIDAV_CHILD(remainder_by_zero) {
  Remainder(1, 0);
  return 0;  // not reached
}

VEVIDAV_CHILD(fatal_end_hook) {
  SetFatalEndHook([] {
    std::printf("hook ran\n");
    std::fflush(stdout);
    std::_Exit(7);
  });
  ReportRuntimeError("x", 0, 0, 0);
}

VEVIDAV_CHILD(memory_exhausted) {
  ByteBuffer huge;
  huge.resize(std::size_t{1} << (sizeof(void*) == 8 ? 62 : 31));
  return 0;  // not reached
}

// The box text as the platform showed it: a real box on Windows, stderr elsewhere.
struct FatalRun {
  testing::ProcessResult process;
  std::string box_text;
};

FatalRun RunFatalChild(const std::string& name) {
  FatalRun run;
#ifdef _WIN32
  testing::SeenBox box;
  run.process = testing::RunChild(name, [&](unsigned long pid) {
    box = testing::CloseMessageBox(pid, "\xB4\xED\xCE\xF3");  // 错误
  });
  EXPECT_TRUE(box.found) << "no runtime error box";
  EXPECT_FALSE(box.has_owner);
  EXPECT_TRUE(box.has_icon);
  EXPECT_EQ(box.buttons, 1);
  // The box drops the text's final line end when it shows it.
  run.box_text = box.text;
#else
  run.process = testing::RunChild(name);
  run.box_text = run.process.err;
#endif
  return run;
}

TEST(ReportRuntimeError, ZeroDivisorShowsTheBoxAndEndsWithMinusOne) {
  FatalRun run = RunFatalChild("remainder_by_zero");
  EXPECT_EQ(run.process.exit_code, kFatalExitCode);
  EXPECT_NE(run.box_text.find(std::string(kHead) + kMessageLine + kByZero + "\r\n\r\n0, 0"),
            std::string::npos)
      << run.box_text;
}

TEST(ReportRuntimeError, MemoryFailureNamesTheSizeAskedFor) {
  FatalRun run = RunFatalChild("memory_exhausted");
  EXPECT_EQ(run.process.exit_code, kFatalExitCode);
  std::string size = sizeof(void*) == 8 ? "4611686018427387904" : "2147483648";
  // 分配 %d 字节内存失败!
  std::string message =
      "\xB7\xD6\xC5\xE4 " + size + " \xD7\xD6\xBD\xDA\xC4\xDA\xB4\xE6\xCA\xA7\xB0\xDC!";
  EXPECT_NE(run.box_text.find(std::string(kMessageLine) + message + "\r\n"), std::string::npos)
      << run.box_text;
}

TEST(ReportRuntimeError, EndsThroughTheInstalledHook) {
#ifdef _WIN32
  auto result = testing::RunChild("fatal_end_hook", [](unsigned long pid) {
    testing::CloseMessageBox(pid, "\xB4\xED\xCE\xF3");
  });
#else
  auto result = testing::RunChild("fatal_end_hook");
#endif
  EXPECT_EQ(result.exit_code, 7);
  EXPECT_EQ(result.out.substr(0, 8), "hook ran");
}

#ifdef _WIN32
TEST(ShowMessage, ShowsATaskModalOwnerlessBox) {
  const struct {
    int style;
    bool icon;
  } cases[] = {{0, false}, {kStyleExclamation, true}};
  for (const auto& c : cases) {
    // A window of this thread: a task-modal box disables it while the box is up.
    HWND other = CreateWindowExA(0, "STATIC", "other", WS_OVERLAPPED, 0, 0, 50, 50, nullptr,
                                 nullptr, nullptr, nullptr);
    bool other_enabled_meanwhile = true;
    testing::SeenBox box;
    std::thread closer([&] {
      // 信息：
      box = testing::CloseMessageBox(GetCurrentProcessId(), "\xD0\xC5\xCF\xA2\xA3\xBA");
      other_enabled_meanwhile = IsWindowEnabled(other);
    });
    ShowMessage("\xB7\xD6\xB8\xEE\xCD\xEA\xB3\xC9", c.style);  // 分割完成
    closer.join();
    DestroyWindow(other);
    ASSERT_TRUE(box.found);
    EXPECT_EQ(box.text, "\xB7\xD6\xB8\xEE\xCD\xEA\xB3\xC9");
    EXPECT_FALSE(box.has_owner);
    EXPECT_EQ(box.has_icon, c.icon);
    EXPECT_EQ(box.buttons, 1);
    EXPECT_FALSE(other_enabled_meanwhile);
  }
}
#endif

}  // namespace
}  // namespace vevidav
