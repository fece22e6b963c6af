#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <string>
#include <utility>

#include "engine/file.h"
#include "engine/memory.h"

namespace vevidav {
namespace {

// One read or write never asks for more than this (the kernel moves at most about 2 GiB at once).
constexpr std::size_t kMaxTransfer = std::size_t{1} << 30;

std::string Reason(int error) { return std::strerror(error); }

int OpenRetrying(const char* path, int flags, mode_t mode = 0) {
  int fd;
  do {
    fd = ::open(path, flags | O_CLOEXEC, mode);
  } while (fd < 0 && errno == EINTR);
  return fd;
}

// Reads up to `size` bytes; a short count means the end of the file.
std::int64_t ReadFully(int fd, char* buffer, std::size_t size, int* error) {
  std::size_t done = 0;
  while (done < size) {
    ssize_t got = ::read(fd, buffer + done, std::min(size - done, kMaxTransfer));
    if (got < 0) {
      if (errno == EINTR) continue;
      *error = errno;
      return -1;
    }
    if (got == 0) break;
    done += static_cast<std::size_t>(got);
  }
  return static_cast<std::int64_t>(done);
}

bool WriteFully(int fd, const char* data, std::size_t size, int* error) {
  while (size > 0) {
    ssize_t put = ::write(fd, data, std::min(size, kMaxTransfer));
    if (put < 0) {
      if (errno == EINTR) continue;
      *error = errno;
      return false;
    }
    // A regular file only takes less than asked when the disk is full; the next call says so.
    data += put;
    size -= static_cast<std::size_t>(put);
  }
  return true;
}

bool CloseFd(int fd, int* error) {
  // After an interrupted close the descriptor is gone on Linux: do not retry.
  if (::close(fd) == 0 || errno == EINTR) return true;
  *error = errno;
  return false;
}

}  // namespace

NativePath PathFromText(const Text& path) { return NativePath(std::string(path.view())); }

Text TextFromPath(const NativePath& path) { return Text(std::string_view(path.native())); }

ByteBuffer ReadWholeFile(const Text& path) {
  if (path.empty()) return {};
  int fd = OpenRetrying(path.c_str(), O_RDONLY);
  if (fd < 0) return {};
  ByteBuffer buffer;
  struct stat info;
  if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0 &&
      static_cast<std::uint64_t>(info.st_size) <= buffer.max_size()) {
    auto size = static_cast<std::size_t>(info.st_size);
    // This read does without the buffer rather than end the program: see that the memory can be
    // had before the buffer takes it.
    if (void* probe = TryAllocateResult(size)) {
      FreeResult(probe);
      buffer.resize(size);
      int error = 0;
      std::int64_t got = ReadFully(fd, buffer.data(), size, &error);
      if (got < 0) {
        buffer = ByteBuffer();
      } else {
        buffer.resize(static_cast<std::size_t>(got));
      }
    }
  }
  int error = 0;
  CloseFd(fd, &error);
  return buffer;
}

bool WriteWholeFile(const Text& path, std::initializer_list<std::span<const char>> buffers) {
  if (path.empty()) return false;
  int fd = OpenRetrying(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
  if (fd < 0) return false;
  int error = 0;
  for (std::span<const char> buffer : buffers) {
    if (buffer.empty()) continue;
    if (!WriteFully(fd, buffer.data(), buffer.size(), &error)) {
      CloseFd(fd, &error);
      return false;
    }
  }
  return CloseFd(fd, &error);
}

Text DirectoryOfModule(const Text& module_path) {
  // UTF-8 never has '/' inside a character, so the last one is the separator.
  std::size_t slash = module_path.view().rfind('/');
  if (slash == std::string_view::npos) return Text();
  return Text(module_path.view().substr(0, slash));
}

namespace {

std::string ExecutablePath() {
  std::string name(PATH_MAX, '\0');
  for (;;) {
    ssize_t n = ::readlink("/proc/self/exe", name.data(), name.size());
    if (n < 0) return {};
    if (static_cast<std::size_t>(n) < name.size()) {
      name.resize(static_cast<std::size_t>(n));
      return name;
    }
    name.resize(name.size() * 2);
  }
}

}  // namespace

Text RunDirectory() {
  static const std::string directory(DirectoryOfModule(Text(ExecutablePath())).view());
  return Text(directory);
}

NativePath RunDirectoryPath() {
  static const NativePath directory = NativePath(ExecutablePath()).parent_path();
  return directory;
}

InputFile::InputFile(InputFile&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)),
      size_(other.size_),
      device_(other.device_),
      index_(other.index_) {}

InputFile& InputFile::operator=(InputFile&& other) noexcept {
  if (this != &other) {
    Close();
    fd_ = std::exchange(other.fd_, -1);
    size_ = other.size_;
    device_ = other.device_;
    index_ = other.index_;
  }
  return *this;
}

InputFile::~InputFile() { Close(); }

bool InputFile::Open(const NativePath& path, std::string* reason) {
  Close();
  int fd = OpenRetrying(path.c_str(), O_RDONLY);
  if (fd < 0) {
    *reason = Reason(errno);
    return false;
  }
  struct stat info;
  if (::fstat(fd, &info) != 0) {
    *reason = Reason(errno);
    ::close(fd);
    return false;
  }
  if (S_ISDIR(info.st_mode)) {
    *reason = Reason(EISDIR);
    ::close(fd);
    return false;
  }
  ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
  fd_ = fd;
  size_ = S_ISREG(info.st_mode) ? static_cast<std::uint64_t>(info.st_size) : 0;
  device_ = static_cast<std::uint64_t>(info.st_dev);
  index_ = static_cast<std::uint64_t>(info.st_ino);
  return true;
}

std::int64_t InputFile::Read(char* buffer, std::size_t size, std::string* reason) {
  for (;;) {
    ssize_t got = ::read(fd_, buffer, std::min(size, kMaxTransfer));
    if (got >= 0) return got;
    if (errno != EINTR) {
      *reason = Reason(errno);
      return -1;
    }
  }
}

bool InputFile::IsSameFileAs(const NativePath& path) const {
  struct stat info;
  if (fd_ < 0 || ::stat(path.c_str(), &info) != 0) return false;
  return static_cast<std::uint64_t>(info.st_dev) == device_ &&
         static_cast<std::uint64_t>(info.st_ino) == index_;
}

void InputFile::Close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  size_ = 0;
}

OutputFile::OutputFile(OutputFile&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}

OutputFile& OutputFile::operator=(OutputFile&& other) noexcept {
  if (this != &other) {
    std::string ignored;
    Close(&ignored);
    fd_ = std::exchange(other.fd_, -1);
  }
  return *this;
}

OutputFile::~OutputFile() {
  std::string ignored;
  Close(&ignored);
}

bool OutputFile::Create(const NativePath& path, std::string* reason) {
  Close(reason);
  fd_ = OpenRetrying(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
  if (fd_ < 0) *reason = Reason(errno);
  return fd_ >= 0;
}

bool OutputFile::Write(const char* data, std::size_t size, std::string* reason) {
  int error = 0;
  if (WriteFully(fd_, data, size, &error)) return true;
  *reason = Reason(error);
  return false;
}

bool OutputFile::Close(std::string* reason) {
  if (fd_ < 0) return true;
  int error = 0;
  bool closed = CloseFd(std::exchange(fd_, -1), &error);
  if (!closed) *reason = Reason(error);
  return closed;
}

bool OutputFile::IsOpen() const { return fd_ >= 0; }

bool MoveAside(const NativePath& path, NativePath* aside, std::string* reason) {
  for (int attempt = 0; attempt < 1000; ++attempt) {
    NativePath candidate = path;
    // Appended piece by piece: "." + std::to_string(n) trips a false -Wrestrict in GCC 12 at -O3.
    if (attempt != 0) {
      candidate += ".";
      candidate += std::to_string(attempt);
    }
    candidate += ".bak";
    struct stat info;
    if (::lstat(candidate.c_str(), &info) == 0 || errno != ENOENT) continue;
    if (::rename(path.c_str(), candidate.c_str()) != 0) {
      *reason = Reason(errno);
      return false;
    }
    *aside = std::move(candidate);
    return true;
  }
  *reason = Reason(EEXIST);
  return false;
}

bool RemoveFile(const NativePath& path) { return ::unlink(path.c_str()) == 0; }

}  // namespace vevidav
