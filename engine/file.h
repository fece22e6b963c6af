#pragma once
// Files: the whole-file read and write of the primitives, the executable's folder, and the small
// streaming layer the splitter runs on. One header, a POSIX and a Win32 half.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <span>
#include <string>

#include "engine/text.h"

namespace vevidav {

// A path as the file system takes it: UTF-16 on Windows, bytes (UTF-8) elsewhere.
using NativePath = std::filesystem::path;

// The ANSI path as the file system reads it (CP_ACP on Windows, unchanged elsewhere).
NativePath PathFromText(const Text& path);
// For messages: the path in the ANSI code page, characters it lacks replaced.
Text TextFromPath(const NativePath& path);

// The whole file, or an empty buffer when it cannot be opened, read or is empty. Never reports.
ByteBuffer ReadWholeFile(const Text& path);
// Creates or truncates the file and writes the buffers in order. False on any failure.
bool WriteWholeFile(const Text& path, std::initializer_list<std::span<const char>> buffers);

// Everything before the last separator of `module_path`, a double-byte character's second byte
// never taken for one. A name in a drive's root gives "D:"; a name without separator gives "".
Text DirectoryOfModule(const Text& module_path);
// The folder that holds the executable, without a trailing separator; fixed once per process.
Text RunDirectory();
// The same folder as a native path, so it works whatever characters its name holds.
NativePath RunDirectoryPath();

// A file read front to back in blocks. Opening refuses a folder and, on Windows, a file that
// another process holds open for writing.
class InputFile {
 public:
  InputFile() = default;
  InputFile(InputFile&& other) noexcept;
  InputFile& operator=(InputFile&& other) noexcept;
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;
  ~InputFile();

  bool Open(const NativePath& path, std::string* reason);
  // Bytes read into buffer, 0 at the end, -1 on failure with the system's reason.
  std::int64_t Read(char* buffer, std::size_t size, std::string* reason);
  // The size at opening, for progress.
  std::uint64_t Size() const { return size_; }
  // Whether `path` names this very file (also through a hard link).
  bool IsSameFileAs(const NativePath& path) const;
  void Close();

 private:
#ifdef _WIN32
  void* handle_ = reinterpret_cast<void*>(-1);  // INVALID_HANDLE_VALUE
#else
  int fd_ = -1;
#endif
  std::uint64_t size_ = 0;
  // The file's identity: (volume serial, file index) on Windows, (st_dev, st_ino) elsewhere.
  std::uint64_t device_ = 0;
  std::uint64_t index_ = 0;
};

// A file created (or truncated) for writing, opened for nobody else meanwhile.
class OutputFile {
 public:
  OutputFile() = default;
  OutputFile(OutputFile&& other) noexcept;
  OutputFile& operator=(OutputFile&& other) noexcept;
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;
  ~OutputFile();

  bool Create(const NativePath& path, std::string* reason);
  // Writes all of it, or gives false with the system's reason (a short write is a failure).
  bool Write(const char* data, std::size_t size, std::string* reason);
  // Closes; false when the system reports that the data did not reach the file.
  bool Close(std::string* reason);
  bool IsOpen() const;

 private:
#ifdef _WIN32
  void* handle_ = reinterpret_cast<void*>(-1);  // INVALID_HANDLE_VALUE
#else
  int fd_ = -1;
#endif
};

// Renames `path` to a fresh name in the same folder, for a file still being read that is about to
// be replaced. The caller removes `*aside` when it no longer reads it.
bool MoveAside(const NativePath& path, NativePath* aside, std::string* reason);
bool RemoveFile(const NativePath& path);

}  // namespace vevidav
