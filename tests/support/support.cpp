#include "tests/support/support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <fstream>
#include <map>
#include <random>
#include <sstream>
#include <stdexcept>
#include <thread>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace vevidav::testing {
namespace {

std::map<std::string, int (*)()>& Children() {
  static std::map<std::string, int (*)()> children;
  return children;
}

}  // namespace

ChildRegistration::ChildRegistration(const char* name, int (*body)()) { Children()[name] = body; }

NativePath SelfPath() {
#ifdef _WIN32
  wchar_t buffer[32768];
  DWORD n = GetModuleFileNameW(nullptr, buffer, 32768);
  return NativePath(std::wstring(buffer, n));
#else
  return std::filesystem::read_symlink("/proc/self/exe");
#endif
}

ProcessResult RunChild(const std::string& name,
                       const std::function<void(unsigned long)>& on_started) {
  std::string flag = "--child=" + name;
  return RunProgram({SelfPath().native(), NativePath::string_type(flag.begin(), flag.end())}, {},
                    on_started);
}

#ifdef _WIN32
namespace {

std::wstring QuoteArgument(const std::wstring& arg) {
  if (!arg.empty() && arg.find_first_of(L" \t\"") == std::wstring::npos) return arg;
  std::wstring quoted = L"\"";
  size_t backslashes = 0;
  for (wchar_t c : arg) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    quoted.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
    backslashes = 0;
    quoted += c;
  }
  quoted.append(backslashes * 2, L'\\');
  return quoted + L"\"";
}

std::string DrainPipe(HANDLE pipe) {
  std::string data;
  char buffer[4096];
  DWORD got = 0;
  while (ReadFile(pipe, buffer, sizeof buffer, &got, nullptr) && got > 0) data.append(buffer, got);
  return data;
}

}  // namespace

ProcessResult RunProgram(const std::vector<std::wstring>& argv, const std::string& input,
                         const std::function<void(unsigned long)>& on_started) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE out_read, out_write, err_read, err_write, in_read, in_write;
  CreatePipe(&out_read, &out_write, &inherit, 0);
  CreatePipe(&err_read, &err_write, &inherit, 0);
  CreatePipe(&in_read, &in_write, &inherit, 0);
  SetHandleInformation(out_read, HANDLE_FLAG_INHERIT, 0);
  SetHandleInformation(err_read, HANDLE_FLAG_INHERIT, 0);
  SetHandleInformation(in_write, HANDLE_FLAG_INHERIT, 0);

  std::wstring command_line;
  for (const auto& arg : argv)
    command_line += (command_line.empty() ? L"" : L" ") + QuoteArgument(arg);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = in_read;
  startup.hStdOutput = out_write;
  startup.hStdError = err_write;
  PROCESS_INFORMATION info{};
  ProcessResult result;
  BOOL started = CreateProcessW(nullptr, command_line.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                nullptr, &startup, &info);
  CloseHandle(out_write);
  CloseHandle(err_write);
  CloseHandle(in_read);
  if (!started) {
    CloseHandle(out_read);
    CloseHandle(err_read);
    CloseHandle(in_write);
    throw std::runtime_error("CreateProcessW failed");
  }
  result.pid = info.dwProcessId;
  std::thread watcher;
  if (on_started) watcher = std::thread([&] { on_started(info.dwProcessId); });
  std::thread feeder([&] {
    DWORD put = 0;
    if (!input.empty())
      WriteFile(in_write, input.data(), static_cast<DWORD>(input.size()), &put, nullptr);
    CloseHandle(in_write);
  });
  std::string err;
  std::thread err_reader([&] { err = DrainPipe(err_read); });
  result.out = DrainPipe(out_read);
  err_reader.join();
  feeder.join();
  WaitForSingleObject(info.hProcess, INFINITE);
  if (watcher.joinable()) watcher.join();
  DWORD code = 0;
  GetExitCodeProcess(info.hProcess, &code);
  result.exit_code = static_cast<int>(code);
  result.err = std::move(err);
  CloseHandle(info.hProcess);
  CloseHandle(info.hThread);
  CloseHandle(out_read);
  CloseHandle(err_read);
  return result;
}

namespace {

BOOL CALLBACK CountButtons(HWND hwnd, LPARAM param) {
  char class_name[64] = {};
  GetClassNameA(hwnd, class_name, sizeof class_name);
  if (_stricmp(class_name, "Button") == 0) ++*reinterpret_cast<int*>(param);
  return TRUE;
}

}  // namespace

namespace {

struct TopWindowSearch {
  DWORD pid;
  const std::function<bool(HWND)>* matches;
  HWND found;
};

BOOL CALLBACK VisitTopWindow(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<TopWindowSearch*>(param);
  DWORD owner_pid = 0;
  GetWindowThreadProcessId(window, &owner_pid);
  if (owner_pid != search->pid || !IsWindowVisible(window) || !(*search->matches)(window))
    return TRUE;
  search->found = window;
  return FALSE;
}

}  // namespace

HWND WaitForTopWindow(unsigned long pid, const std::function<bool(HWND)>& matches,
                      std::chrono::milliseconds timeout) {
  TopWindowSearch search{static_cast<DWORD>(pid), &matches, nullptr};
  auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    EnumWindows(VisitTopWindow, reinterpret_cast<LPARAM>(&search));
    if (search.found || std::chrono::steady_clock::now() >= deadline) return search.found;
    Sleep(20);
  }
}

std::string WindowClass(HWND window) {
  char name[256] = {};
  GetClassNameA(window, name, sizeof name);
  return name;
}

std::string WindowTitle(HWND window) {
  char title[1024] = {};
  GetWindowTextA(window, title, sizeof title);
  return title;
}

HeldFile::HeldFile(const NativePath& path, DWORD access, DWORD share)
    : handle_(CreateFileW(path.c_str(), access, share, nullptr, OPEN_EXISTING, 0, nullptr)) {}

HeldFile::~HeldFile() {
  if (ok()) CloseHandle(handle_);
}

SeenBox CloseMessageBox(unsigned long pid, const std::string& caption,
                        std::chrono::milliseconds timeout) {
  SeenBox seen;
  HWND box = WaitForTopWindow(
      pid,
      [&](HWND window) {
        return WindowClass(window) == "#32770" &&
               (caption.empty() || WindowTitle(window) == caption);
      },
      timeout);
  if (!box) return seen;
  seen.found = true;
  char buffer[4096] = {};
  GetWindowTextA(box, buffer, sizeof buffer);
  seen.caption = buffer;
  buffer[0] = 0;
  GetDlgItemTextA(box, 0xFFFF, buffer, sizeof buffer);
  seen.text = buffer;
  seen.style = GetWindowLongA(box, GWL_STYLE);
  seen.ex_style = GetWindowLongA(box, GWL_EXSTYLE);
  seen.has_owner = GetWindow(box, GW_OWNER) != nullptr;
  HWND icon = GetDlgItem(box, 0x0440);
  seen.has_icon = icon != nullptr && SendMessageA(icon, STM_GETICON, 0, 0) != 0;
  EnumChildWindows(box, CountButtons, reinterpret_cast<LPARAM>(&seen.buttons));
  PostMessageA(box, WM_COMMAND, GetDlgItem(box, IDOK) ? IDOK : IDCANCEL, 0);
  return seen;
}

#else

ProcessResult RunProgram(const std::vector<std::string>& argv, const std::string& input,
                         const std::function<void(unsigned long)>& on_started) {
  int out_pipe[2], err_pipe[2], in_pipe[2];
  if (pipe(out_pipe) || pipe(err_pipe) || pipe(in_pipe)) throw std::runtime_error("pipe failed");
  pid_t pid = fork();
  if (pid == 0) {
    dup2(in_pipe[0], 0);
    dup2(out_pipe[1], 1);
    dup2(err_pipe[1], 2);
    for (int fd : {out_pipe[0], out_pipe[1], err_pipe[0], err_pipe[1], in_pipe[0], in_pipe[1]})
      close(fd);
    std::vector<char*> args;
    for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    execv(args[0], args.data());
    _exit(127);
  }
  close(out_pipe[1]);
  close(err_pipe[1]);
  close(in_pipe[0]);
  ProcessResult result;
  result.pid = static_cast<unsigned long>(pid);
  std::thread watcher;
  if (on_started) watcher = std::thread([&] { on_started(result.pid); });
  signal(SIGPIPE, SIG_IGN);
  std::thread feeder([&] {
    size_t done = 0;
    while (done < input.size()) {
      ssize_t n = write(in_pipe[1], input.data() + done, input.size() - done);
      if (n <= 0) break;
      done += static_cast<size_t>(n);
    }
    close(in_pipe[1]);
  });
  pollfd fds[2] = {{out_pipe[0], POLLIN, 0}, {err_pipe[0], POLLIN, 0}};
  std::string* sinks[2] = {&result.out, &result.err};
  int open_count = 2;
  while (open_count > 0) {
    if (poll(fds, 2, -1) < 0) break;
    for (int i = 0; i < 2; ++i) {
      if (fds[i].fd < 0 || !(fds[i].revents & (POLLIN | POLLHUP | POLLERR))) continue;
      char buffer[4096];
      ssize_t n = read(fds[i].fd, buffer, sizeof buffer);
      if (n > 0) {
        sinks[i]->append(buffer, static_cast<size_t>(n));
      } else {
        close(fds[i].fd);
        fds[i].fd = -1;
        --open_count;
      }
    }
  }
  feeder.join();
  int status = 0;
  waitpid(pid, &status, 0);
  if (watcher.joinable()) watcher.join();
  result.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  return result;
}

#endif

TempDir::TempDir() {
  std::random_device random;
  auto base = std::filesystem::temp_directory_path();
  for (;;) {
    auto name = "vevidav-test-" + std::to_string(random());
    path_ = base / name;
    std::error_code error;
    if (std::filesystem::create_directory(path_, error)) break;
  }
}

TempDir::~TempDir() {
  std::error_code error;
  std::filesystem::remove_all(path_, error);
}

std::string ReadBytes(const NativePath& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path.string());
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

void WriteBytes(const NativePath& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path.string());
}

void WriteSparse(const NativePath& path, const std::string& head, std::uint64_t size) {
  WriteBytes(path, head);
#ifdef _WIN32
  // Not resize_file: the C runtime may grow a file by writing the zeros.
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  LARGE_INTEGER end;
  end.QuadPart = static_cast<LONGLONG>(size);
  bool ok = file != INVALID_HANDLE_VALUE && SetFilePointerEx(file, end, nullptr, FILE_BEGIN) &&
            SetEndOfFile(file);
  if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
  if (!ok) throw std::runtime_error("cannot extend " + path.string());
#else
  std::filesystem::resize_file(path, size);
#endif
}

std::vector<NativePath> ListDir(const NativePath& dir) {
  std::vector<NativePath> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir))
    names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace vevidav::testing

// Runs a registered child mode when asked to, else the tests.
int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (std::strncmp(argv[i], "--child=", 8) == 0) {
      auto& children = vevidav::testing::Children();
      auto it = children.find(argv[i] + 8);
      return it == children.end() ? 99 : it->second();
    }
  }
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
