#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "engine/splitter.h"
#include "tests/support/support.h"

namespace vevidav {
namespace {

using ::vevidav::testing::ReadBytes;
using ::vevidav::testing::TempDir;
using ::vevidav::testing::WriteBytes;

namespace fs = std::filesystem;

// Piece 2's name leads to /dev/full: it is created, then every write fails as on a full disk.
TEST(SplitterOnPosix, PieceOnAFullDiskIsAFailure) {
  TempDir dir;
  fs::create_directory(dir / "out");
  fs::create_symlink("/dev/full", PiecePath(dir / "out", 2));
  WriteBytes(dir / "in", "a\r\nb\r\nc\r\nd\r\ne");
  SplitOptions options;
  options.lines_per_piece = 2;
  SplitResult result = SplitFile(dir / "in", dir / "out", options);
  EXPECT_EQ(result.pieces_written, 2);
  EXPECT_EQ(result.pieces_failed, 1);
  ASSERT_EQ(result.first_failures.size(), 1u);
  EXPECT_EQ(result.first_failures[0].path, PiecePath(dir / "out", 2));
  EXPECT_EQ(result.first_failures[0].reason, "No space left on device");
  EXPECT_EQ(ReadBytes(PiecePath(dir / "out", 1)), "a\r\nb");
  EXPECT_EQ(ReadBytes(PiecePath(dir / "out", 3)), "e\r\n");
}

// /proc/self/mem opens but its first bytes cannot be read.
TEST(SplitterOnPosix, ReadErrorIsAnInputFailure) {
  TempDir dir;
  SplitResult result = SplitFile("/proc/self/mem", dir.path(), SplitOptions());
  EXPECT_FALSE(result.input_read);
  EXPECT_EQ(result.input_error, "Input/output error");
  EXPECT_TRUE(testing::ListDir(dir.path()).empty());
}

}  // namespace
}  // namespace vevidav
