#include <windows.h>

#include <algorithm>
#include <string>
#include <utility>

#include "engine/file.h"
#include "engine/memory.h"

namespace vevidav {
namespace {

// ReadFile and WriteFile count in DWORDs; larger transfers go in pieces of this size.
constexpr std::size_t kMaxTransfer = std::size_t{1} << 30;

// The system's text for an error code, in the ANSI code page, with the code after it.
std::string Reason(DWORD error) {
  char* text = nullptr;
  DWORD n = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, error, 0, reinterpret_cast<char*>(&text), 0, nullptr);
  std::string reason = n > 0 && text ? std::string(text, n) : std::string();
  if (text) LocalFree(text);
  while (!reason.empty() && (reason.back() == '\r' || reason.back() == '\n' ||
                             reason.back() == ' ' || reason.back() == '.'))
    reason.pop_back();
  if (reason.empty()) return "error " + std::to_string(error);
  return reason + " (" + std::to_string(error) + ")";
}

bool IsValid(HANDLE handle) { return handle != INVALID_HANDLE_VALUE && handle != nullptr; }

// Writes all of it; a short count is a failure (the file keeps what was written).
bool WriteFully(HANDLE file, const char* data, std::size_t size, DWORD* error) {
  while (size > 0) {
    DWORD ask = static_cast<DWORD>(std::min(size, kMaxTransfer));
    DWORD put = 0;
    if (!WriteFile(file, data, ask, &put, nullptr)) {
      *error = GetLastError();
      return false;
    }
    if (put < ask) {
      *error = ERROR_HANDLE_DISK_FULL;
      return false;
    }
    data += put;
    size -= put;
  }
  return true;
}

std::wstring ModuleFileNameW() {
  std::wstring name(MAX_PATH, L'\0');
  for (;;) {
    DWORD n = GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size()));
    if (n == 0) return {};
    if (n < name.size()) {
      name.resize(n);
      return name;
    }
    name.resize(name.size() * 2);
  }
}

}  // namespace

NativePath PathFromText(const Text& path) {
  if (path.empty()) return {};
  int size = static_cast<int>(path.size());
  int n = MultiByteToWideChar(CP_ACP, 0, path.data(), size, nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, path.data(), size, wide.data(), n);
  return NativePath(std::move(wide));
}

Text TextFromPath(const NativePath& path) {
  const std::wstring& wide = path.native();
  if (wide.empty()) return Text();
  int size = static_cast<int>(wide.size());
  int n = WideCharToMultiByte(CP_ACP, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
  std::string bytes(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(CP_ACP, 0, wide.data(), size, bytes.data(), n, nullptr, nullptr);
  return Text(bytes);
}

ByteBuffer ReadWholeFile(const Text& path) {
  if (path.empty()) return {};
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (!IsValid(file)) return {};
  ByteBuffer buffer;
  LARGE_INTEGER size{};
  if (GetFileSizeEx(file, &size) && size.QuadPart > 0 &&
      static_cast<std::uint64_t>(size.QuadPart) <= buffer.max_size()) {
    auto total = static_cast<std::size_t>(size.QuadPart);
    // This read does without the buffer rather than end the program: see that the memory can be
    // had before the buffer takes it.
    if (void* probe = TryAllocateResult(total)) {
      FreeResult(probe);
      buffer.resize(total);
      std::size_t done = 0;
      bool failed = false;
      // One read for the whole size; only sizes beyond a DWORD take more than one.
      while (done < total) {
        DWORD ask = static_cast<DWORD>(std::min(total - done, kMaxTransfer));
        DWORD got = 0;
        if (!ReadFile(file, buffer.data() + done, ask, &got, nullptr)) {
          failed = true;
          break;
        }
        done += got;
        if (got < ask) break;
      }
      if (failed) {
        buffer = ByteBuffer();
      } else {
        buffer.resize(done);
      }
    }
  }
  CloseHandle(file);
  return buffer;
}

bool WriteWholeFile(const Text& path, std::initializer_list<std::span<const char>> buffers) {
  if (path.empty()) return false;
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (!IsValid(file)) return false;
  DWORD error = 0;
  for (std::span<const char> buffer : buffers) {
    if (buffer.empty()) continue;
    if (!WriteFully(file, buffer.data(), buffer.size(), &error)) {
      CloseHandle(file);
      return false;
    }
  }
  return CloseHandle(file) != FALSE;
}

Text DirectoryOfModule(const Text& module_path) {
  std::string_view name = module_path.view();
  std::size_t last = std::string_view::npos;
  for (std::size_t p = 0; p < name.size();) {
    if (name[p] == '\\') {
      last = p++;
    } else if (IsDBCSLeadByte(static_cast<BYTE>(name[p])) && p + 1 < name.size()) {
      p += 2;  // the second byte may be 0x5C and is still not a separator
    } else {
      ++p;
    }
  }
  if (last == std::string_view::npos) return Text();
  return Text(name.substr(0, last));
}

Text RunDirectory() {
  static const std::string directory = [] {
    char name[MAX_PATH + 1] = {};
    DWORD n = GetModuleFileNameA(nullptr, name, MAX_PATH);
    return std::string(DirectoryOfModule(Text(std::string_view(name, n))).view());
  }();
  return Text(directory);
}

NativePath RunDirectoryPath() {
  // parent_path keeps the root's backslash, so a folder "D:\" does not become drive-relative.
  static const NativePath directory = NativePath(ModuleFileNameW()).parent_path();
  return directory;
}

InputFile::InputFile(InputFile&& other) noexcept
    : handle_(std::exchange(other.handle_, INVALID_HANDLE_VALUE)),
      size_(other.size_),
      device_(other.device_),
      index_(other.index_) {}

InputFile& InputFile::operator=(InputFile&& other) noexcept {
  if (this != &other) {
    Close();
    handle_ = std::exchange(other.handle_, INVALID_HANDLE_VALUE);
    size_ = other.size_;
    device_ = other.device_;
    index_ = other.index_;
  }
  return *this;
}

InputFile::~InputFile() { Close(); }

bool InputFile::Open(const NativePath& path, std::string* reason) {
  Close();
  // Others may read meanwhile, not write: a file still being written is refused. Sharing delete
  // lets a piece that is this very file be renamed aside while it is read.
  HANDLE file =
      CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (!IsValid(file)) {
    *reason = Reason(GetLastError());
    return false;
  }
  BY_HANDLE_FILE_INFORMATION info;
  if (!GetFileInformationByHandle(file, &info)) {
    *reason = Reason(GetLastError());
    CloseHandle(file);
    return false;
  }
  if (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
    *reason = Reason(ERROR_ACCESS_DENIED);
    CloseHandle(file);
    return false;
  }
  handle_ = file;
  size_ = (std::uint64_t{info.nFileSizeHigh} << 32) | info.nFileSizeLow;
  device_ = info.dwVolumeSerialNumber;
  index_ = (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow;
  return true;
}

std::int64_t InputFile::Read(char* buffer, std::size_t size, std::string* reason) {
  DWORD got = 0;
  if (!ReadFile(handle_, buffer, static_cast<DWORD>(std::min(size, kMaxTransfer)), &got, nullptr)) {
    DWORD error = GetLastError();
    if (error == ERROR_HANDLE_EOF) return 0;
    *reason = Reason(error);
    return -1;
  }
  return got;
}

bool InputFile::IsSameFileAs(const NativePath& path) const {
  if (!IsValid(handle_)) return false;
  // No access asked and everything shared: this open disturbs nobody, the input included.
  HANDLE other =
      CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (!IsValid(other)) return false;
  BY_HANDLE_FILE_INFORMATION info;
  bool same = GetFileInformationByHandle(other, &info) && info.dwVolumeSerialNumber == device_ &&
              ((std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow) == index_;
  CloseHandle(other);
  return same;
}

void InputFile::Close() {
  if (IsValid(handle_)) CloseHandle(handle_);
  handle_ = INVALID_HANDLE_VALUE;
  size_ = 0;
}

OutputFile::OutputFile(OutputFile&& other) noexcept
    : handle_(std::exchange(other.handle_, INVALID_HANDLE_VALUE)) {}

OutputFile& OutputFile::operator=(OutputFile&& other) noexcept {
  if (this != &other) {
    std::string ignored;
    Close(&ignored);
    handle_ = std::exchange(other.handle_, INVALID_HANDLE_VALUE);
  }
  return *this;
}

OutputFile::~OutputFile() {
  std::string ignored;
  Close(&ignored);
}

bool OutputFile::Create(const NativePath& path, std::string* reason) {
  Close(reason);
  handle_ = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                        FILE_ATTRIBUTE_NORMAL, nullptr);
  if (!IsValid(handle_)) {
    *reason = Reason(GetLastError());
    handle_ = INVALID_HANDLE_VALUE;
    return false;
  }
  return true;
}

bool OutputFile::Write(const char* data, std::size_t size, std::string* reason) {
  DWORD error = 0;
  if (WriteFully(handle_, data, size, &error)) return true;
  *reason = Reason(error);
  return false;
}

bool OutputFile::Close(std::string* reason) {
  if (!IsValid(handle_)) return true;
  if (CloseHandle(std::exchange(handle_, INVALID_HANDLE_VALUE))) return true;
  *reason = Reason(GetLastError());
  return false;
}

bool OutputFile::IsOpen() const { return IsValid(handle_); }

bool MoveAside(const NativePath& path, NativePath* aside, std::string* reason) {
  for (int attempt = 0; attempt < 1000; ++attempt) {
    NativePath candidate = path;
    candidate += attempt == 0 ? L".bak" : L"." + std::to_wstring(attempt) + L".bak";
    // Without MOVEFILE_REPLACE_EXISTING an existing file of that name is never replaced.
    if (MoveFileExW(path.c_str(), candidate.c_str(), 0)) {
      *aside = std::move(candidate);
      return true;
    }
    DWORD error = GetLastError();
    if (error != ERROR_ALREADY_EXISTS && error != ERROR_FILE_EXISTS) {
      *reason = Reason(error);
      return false;
    }
  }
  *reason = Reason(ERROR_ALREADY_EXISTS);
  return false;
}

bool RemoveFile(const NativePath& path) { return DeleteFileW(path.c_str()) != FALSE; }

}  // namespace vevidav
