#pragma once
// The streaming splitter: cuts a file's text (its bytes up to the first zero byte) into pieces of
// a fixed number of CR LF lines, each written as a slice of the input as soon as it is known.
// Memory stays fixed whatever the input's size.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "engine/file.h"

namespace vevidav {

inline constexpr std::size_t kDefaultBlockSize = std::size_t{1} << 20;
inline constexpr std::size_t kMaxListedFailures = 10;

struct SplitOptions {
  std::int64_t lines_per_piece = 3000;  // at least 1
  std::size_t block_size = kDefaultBlockSize;
  // Called after every block with the bytes taken so far and the input's size at opening.
  std::function<void(std::uint64_t done, std::uint64_t total)> progress;
  // Reads the next block in place of InputFile::Read (same contract), so that tests can make a
  // read fail part-way, which no file on the test machines does.
  std::function<std::int64_t(InputFile& input, char* buffer, std::size_t size, std::string* reason)>
      read_block;
};

struct PieceFailure {
  NativePath path;
  std::string reason;
};

struct SplitResult {
  bool input_read = true;  // false: the input could not be opened or a read failed
  std::string input_error;
  std::int64_t pieces_written = 0;  // written in full
  std::int64_t pieces_failed = 0;
  std::vector<PieceFailure> first_failures;  // the first kMaxListedFailures of them

  bool Succeeded() const { return input_read && pieces_failed == 0; }
};

// `dir`/实时库存<k>.txt (the name in the file system's own encoding).
NativePath PiecePath(const NativePath& dir, std::int64_t number);

SplitResult SplitFile(const NativePath& input, const NativePath& out_dir,
                      const SplitOptions& options);

}  // namespace vevidav
