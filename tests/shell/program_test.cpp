// Vevidav.exe as the user runs it: a copy in a folder of its own, driven from this process.
#include <windows.h>

#include <winver.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/support/support.h"

namespace vevidav::testing {
namespace {

constexpr char kTitle[] = "Vevidav byRedivez v20.04.23";
constexpr char kInfoCaption[] = "\xD0\xC5\xCF\xA2\xA3\xBA";  // 信息：
// 提示：分割后的文件保存在本程序所在的文件夹
constexpr char kNotice[] =
    "\xCC\xE1\xCA\xBE\xA3\xBA\xB7\xD6\xB8\xEE\xBA\xF3\xB5\xC4\xCE\xC4\xBC\xFE\xB1\xA3\xB4\xE6\xD4"
    "\xDA"
    "\xB1\xBE\xB3\xCC\xD0\xF2\xCB\xF9\xD4\xDA\xB5\xC4\xCE\xC4\xBC\xFE\xBC\xD0";

NativePath BuiltProgram() {
  return (SelfPath().parent_path() / VEVIDAV_EXE_FROM_TESTS).lexically_normal();
}

std::string TextOf(HWND hwnd) {
  char text[1024] = {};
  SendMessageA(hwnd, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
  return text;
}

// The first child of `window` whose class and text (when given) match.
HWND Child(HWND window, const char* window_class, const char* text = nullptr) {
  for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (_stricmp(WindowClass(child).c_str(), window_class) != 0) continue;
    if (text && TextOf(child) != text) continue;
    return child;
  }
  return nullptr;
}

// Runs the program from `folder`, waits for its window and hands it to `drive`. A process that
// does not end on its own within `patience` after `drive` returns is killed, so a fault fails the
// test instead of hanging it.
ProcessResult RunProgramIn(const TempDir& folder, const std::function<void(HWND, DWORD)>& drive,
                           bool* found_window, DWORD patience = 15000) {
  NativePath program = folder / "Vevidav.exe";
  std::filesystem::copy_file(BuiltProgram(), program);
  return RunProgram({program.native()}, {}, [&](unsigned long pid) {
    HWND window = WaitForTopWindow(pid, [](HWND w) { return WindowTitle(w) == kTitle; });
    *found_window = window != nullptr;
    if (window) drive(window, static_cast<DWORD>(pid));
    HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, static_cast<DWORD>(pid));
    if (process && WaitForSingleObject(process, window ? patience : 0) == WAIT_TIMEOUT)
      TerminateProcess(process, 0xDEAD);
    if (process) CloseHandle(process);
  });
}

HWND FocusOf(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
  return info.hwndFocus;
}

TEST(ProgramTest, StartsOwnedByAHiddenWindowWithThePathBoxFocusedAndEscapeEndsIt) {
  TempDir folder;
  bool found = false;
  HWND owner = nullptr, focus = nullptr, path_box = nullptr;
  std::string notice;
  bool owner_visible = true, owner_tool = false;
  ProcessResult result = RunProgramIn(
      folder,
      [&](HWND window, DWORD) {
        owner = GetWindow(window, GW_OWNER);
        owner_visible = owner && IsWindowVisible(owner);
        owner_tool = owner && (GetWindowLongA(owner, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
        for (HWND edit = Child(window, "Edit"); edit; edit = GetWindow(edit, GW_HWNDNEXT))
          if (WindowClass(edit) == "Edit" && !(GetWindowLongA(edit, GWL_STYLE) & ES_MULTILINE))
            path_box = edit;
        notice = TextOf(Child(window, "msctls_statusbar32"));  // part 0
        focus = FocusOf(window);
        PostMessageA(focus, WM_KEYDOWN, VK_ESCAPE, 1);
      },
      &found);
  ASSERT_TRUE(found);
  EXPECT_NE(owner, nullptr);
  EXPECT_FALSE(owner_visible);
  EXPECT_TRUE(owner_tool);
  EXPECT_EQ(focus, path_box);
  EXPECT_EQ(notice, kNotice);
  EXPECT_EQ(result.exit_code, 0);  // ended by Escape, not killed
  EXPECT_EQ(ListDir(folder.path()), std::vector<NativePath>{L"Vevidav.exe"});  // nothing written
}

TEST(ProgramTest, SplitButtonWritesThePiecesBesideTheProgram) {
  TempDir folder;
  std::string input, pieces[3];
  for (int i = 1; i <= 1200; ++i) {
    std::string line = "\xBF\xE2\xB4\xE6 " + std::to_string(i) + "\r\n";  // 库存 i
    input += line;
    pieces[(i - 1) / 500] += line;
  }
  WriteBytes(folder / "stock.txt", input);
  std::string path = (folder / "stock.txt").string();

  bool found = false;
  SeenBox done;
  ProcessResult result = RunProgramIn(
      folder,
      [&](HWND window, DWORD pid) {
        SendMessageA(Child(window, "Edit"), WM_SETTEXT, 0, 0);
        for (HWND edit = GetWindow(window, GW_CHILD); edit; edit = GetWindow(edit, GW_HWNDNEXT)) {
          if (WindowClass(edit) == "Edit" && !(GetWindowLongA(edit, GWL_STYLE) & ES_MULTILINE))
            SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
        }
        SendMessageA(Child(window, "ComboBox"), CB_SETCURSEL, 0, 0);  // "500"
        PostMessageA(Child(window, "Button", "\xB7\xD6\xB8\xEE\xCE\xC4\xB1\xBE"), BM_CLICK, 0,
                     0);  // 分割文本
        done = CloseMessageBox(pid, kInfoCaption);
        PostMessageA(window, WM_CLOSE, 0, 0);
      },
      &found);
  ASSERT_TRUE(found);
  ASSERT_TRUE(done.found);
  EXPECT_EQ(done.text, "\xB7\xD6\xB8\xEE\xCD\xEA\xB3\xC9");  // 分割完成
  EXPECT_FALSE(done.has_owner);
  EXPECT_FALSE(done.has_icon);  // style 0: OK alone
  EXPECT_EQ(done.buttons, 1);
  EXPECT_EQ(result.exit_code, 0);
  EXPECT_EQ(ListDir(folder.path()),
            (std::vector<NativePath>{L"Vevidav.exe", L"stock.txt", L"实时库存1.txt",
                                     L"实时库存2.txt", L"实时库存3.txt"}));
  // Full pieces end with their last line, no line end after it; the last, partial piece keeps its
  // CR LF.
  pieces[0].resize(pieces[0].size() - 2);
  pieces[1].resize(pieces[1].size() - 2);
  for (int k = 0; k < 3; ++k) {
    std::string got = ReadBytes(folder / (L"实时库存" + std::to_wstring(k + 1) + L".txt"));
    EXPECT_TRUE(got == pieces[k]) << "piece " << k + 1 << ": " << got.size() << " bytes, expected "
                                  << pieces[k].size();
  }
}

// ---- the executable's manifest and version

TEST(ProgramTest, ManifestBindsCommonControls6ForThisArchitecture) {
  NativePath program = BuiltProgram();
  ACTCTXW request{};
  request.cbSize = sizeof request;
  request.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
  request.lpSource = program.c_str();
  request.lpResourceName = MAKEINTRESOURCEW(1);
  HANDLE context = CreateActCtxW(&request);
  ASSERT_NE(context, INVALID_HANDLE_VALUE);
  ULONG_PTR cookie = 0;
  ASSERT_TRUE(ActivateActCtx(context, &cookie));
  ACTCTX_SECTION_KEYED_DATA data{};
  data.cbSize = sizeof data;
  EXPECT_TRUE(FindActCtxSectionStringA(0, nullptr, ACTIVATION_CONTEXT_SECTION_DLL_REDIRECTION,
                                       "comctl32.dll", &data));
  DeactivateActCtx(0, cookie);
  ReleaseActCtx(context);

  HMODULE module = LoadLibraryExW(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(module, nullptr);
  HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));  // RT_MANIFEST
  ASSERT_NE(found, nullptr);
  std::string manifest(static_cast<const char*>(LockResource(LoadResource(module, found))),
                       SizeofResource(module, found));
  FreeLibrary(module);
  const std::string arch = sizeof(void*) == 8 ? "\"amd64\"" : "\"x86\"";
  EXPECT_NE(manifest.find("Microsoft.Windows.Common-Controls"), std::string::npos);
  EXPECT_NE(manifest.find("version=\"6.0.0.0\""), std::string::npos);
  // The program's own identity and the controls' both name the build's architecture.
  std::size_t named = 0;
  for (std::size_t at = 0;
       (at = manifest.find("processorArchitecture=" + arch, at)) != std::string::npos; ++at)
    ++named;
  EXPECT_EQ(named, 2u) << manifest;
  EXPECT_EQ(manifest.find("dpiAware"), std::string::npos);
  EXPECT_EQ(manifest.find("requestedExecutionLevel"), std::string::npos);
}

TEST(ProgramTest, VersionResourceSays2004AndVevidav) {
  NativePath program = BuiltProgram();
  DWORD ignored = 0;
  DWORD size = GetFileVersionInfoSizeW(program.c_str(), &ignored);
  ASSERT_GT(size, 0u);
  std::vector<char> block(size);
  ASSERT_TRUE(GetFileVersionInfoW(program.c_str(), 0, size, block.data()));
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(fixed->dwFileVersionMS, 0x00020000u);
  EXPECT_EQ(fixed->dwFileVersionLS, 0x00000004u);
  EXPECT_EQ(fixed->dwProductVersionMS, 0x00020000u);
  EXPECT_EQ(fixed->dwProductVersionLS, 0x00000004u);

  WORD* translation = nullptr;
  ASSERT_TRUE(VerQueryValueA(block.data(), "\\VarFileInfo\\Translation",
                             reinterpret_cast<void**>(&translation), &length));
  char key[64];
  for (const char* name : {"ProductName", "ProductVersion", "FileVersion"}) {
    std::snprintf(key, sizeof key, "\\StringFileInfo\\%04x%04x\\%s", translation[0], translation[1],
                  name);
    char* value = nullptr;
    ASSERT_TRUE(VerQueryValueA(block.data(), key, reinterpret_cast<void**>(&value), &length))
        << key;
    EXPECT_STREQ(value, std::string(name) == "ProductName" ? "Vevidav" : "2.0.0.4");
  }
}

}  // namespace
}  // namespace vevidav::testing
