#pragma once
// Test helpers shared by every test executable.
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "engine/file.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace vevidav::testing {

// A function that the test executable runs instead of its tests when started with --child=NAME;
// its return value is the process's exit status. Register at namespace scope:
//   VEVIDAV_CHILD(remainder_by_zero) { Remainder(1, 0); return 0; }
struct ChildRegistration {
  ChildRegistration(const char* name, int (*body)());
};
#define VEVIDAV_CHILD(name)                                                                    \
  static int VevidavChild_##name();                                                            \
  static ::vevidav::testing::ChildRegistration vevidav_child_reg_##name(#name,                 \
                                                                        &VevidavChild_##name); \
  static int VevidavChild_##name()

struct ProcessResult {
  int exit_code = -1;  // as the platform reports it (a Windows -1 reads as -1 here too)
  std::string out;     // stdout
  std::string err;     // stderr
  unsigned long pid = 0;
};

// Runs a program with arguments and optional stdin, capturing stdout and stderr.
// `on_started` runs on a helper thread with the child's process id once it is running.
ProcessResult RunProgram(const std::vector<NativePath::string_type>& argv,
                         const std::string& input = {},
                         const std::function<void(unsigned long pid)>& on_started = {});
// Runs this test executable in child mode NAME.
ProcessResult RunChild(const std::string& name,
                       const std::function<void(unsigned long pid)>& on_started = {});
// The path of the running test executable.
NativePath SelfPath();

// A fresh folder, removed with everything in it at the end of the scope.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const NativePath& path() const { return path_; }
  NativePath operator/(const NativePath& name) const { return path_ / name; }

 private:
  NativePath path_;
};

std::string ReadBytes(const NativePath& path);
void WriteBytes(const NativePath& path, const std::string& bytes);
// A file of `size` bytes that starts with `head` and is a hole (zero bytes) after it: big files
// without the disk time.
void WriteSparse(const NativePath& path, const std::string& head, std::uint64_t size);
// The names in a folder, sorted.
std::vector<NativePath> ListDir(const NativePath& dir);

#ifdef _WIN32
// Waits up to `timeout` for a visible top-level window of process `pid` that `matches`; nullptr
// when none came.
HWND WaitForTopWindow(unsigned long pid, const std::function<bool(HWND)>& matches,
                      std::chrono::milliseconds timeout = std::chrono::seconds(20));
std::string WindowClass(HWND window);
std::string WindowTitle(HWND window);

// An existing file held open by the test with the given access and share mode, as another
// program would hold it; closed at the end of the scope.
class HeldFile {
 public:
  HeldFile(const NativePath& path, DWORD access, DWORD share);
  ~HeldFile();
  HeldFile(const HeldFile&) = delete;
  HeldFile& operator=(const HeldFile&) = delete;
  bool ok() const { return handle_ != INVALID_HANDLE_VALUE; }

 private:
  HANDLE handle_;
};

// A message box (#32770 dialog) of process `pid` as a test sees it.
struct SeenBox {
  bool found = false;
  std::string caption;  // ANSI
  std::string text;     // ANSI
  long style = 0;
  long ex_style = 0;
  bool has_owner = false;
  bool has_icon = false;  // the static icon control 0x0440 holds an icon
  int buttons = 0;        // number of Button children
};
// Waits up to `timeout` for a top-level #32770 window of `pid` (with `caption` when it is not
// empty), reads it and closes it with IDOK (or IDCANCEL when it has no OK button).
SeenBox CloseMessageBox(unsigned long pid, const std::string& caption,
                        std::chrono::milliseconds timeout = std::chrono::seconds(20));
#endif

}  // namespace vevidav::testing
