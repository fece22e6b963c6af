#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "engine/splitter.h"
#include "tests/support/support.h"

namespace vevidav {
namespace {

using ::vevidav::testing::HeldFile;
using ::vevidav::testing::ListDir;
using ::vevidav::testing::ReadBytes;
using ::vevidav::testing::TempDir;
using ::vevidav::testing::WriteBytes;

namespace fs = std::filesystem;

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

class SplitterOnWindows : public ::testing::Test {
 protected:
  SplitterOnWindows() { fs::create_directory(out_); }

  SplitResult Split(std::int64_t n, std::size_t block_size = kDefaultBlockSize) {
    SplitOptions options;
    options.lines_per_piece = n;
    options.block_size = block_size;
    return SplitFile(input_, out_, options);
  }

  TempDir dir_;
  NativePath input_ = dir_ / "input.txt";
  NativePath out_ = dir_ / "out";
};

TEST_F(SplitterOnWindows, InputHeldOpenForWritingIsNotRead) {
  WriteBytes(input_, "a\r\nb\r\n");
  HeldFile writer(input_, GENERIC_WRITE, kShareAll);
  ASSERT_TRUE(writer.ok());
  SplitResult result = Split(1);
  EXPECT_FALSE(result.input_read);
  EXPECT_FALSE(result.input_error.empty());
  EXPECT_TRUE(ListDir(out_).empty());
}

TEST_F(SplitterOnWindows, LockedPieceFailsTheOthersAreWritten) {
  WriteBytes(input_, "a\r\nb\r\nc\r\nd\r\ne");
  WriteBytes(PiecePath(out_, 2), "locked");
  HeldFile locker(PiecePath(out_, 2), GENERIC_READ, 0);
  ASSERT_TRUE(locker.ok());
  SplitResult result = Split(2);
  EXPECT_EQ(result.pieces_written, 2);
  EXPECT_EQ(result.pieces_failed, 1);
  ASSERT_EQ(result.first_failures.size(), 1u);
  EXPECT_EQ(result.first_failures[0].path, PiecePath(out_, 2));
  EXPECT_FALSE(result.first_failures[0].reason.empty());
  EXPECT_EQ(ReadBytes(PiecePath(out_, 1)), "a\r\nb");
  EXPECT_EQ(ReadBytes(PiecePath(out_, 3)), "e\r\n");
}

// On a code page 936 system the ANSI names are exactly 实时库存<k>.txt in that code page.
TEST_F(SplitterOnWindows, PieceNamesInTheAnsiCodePage) {
  if (GetACP() != 936) GTEST_SKIP() << "ANSI code page is not 936";
  WriteBytes(input_, "a\r\nb\r\n");
  Split(1);
  std::vector<std::string> names;
  WIN32_FIND_DATAA found;
  std::string pattern = std::string(TextFromPath(out_).view()) + "\\*.txt";
  HANDLE search = FindFirstFileA(pattern.c_str(), &found);
  ASSERT_NE(search, INVALID_HANDLE_VALUE);
  do names.emplace_back(found.cFileName);
  while (FindNextFileA(search, &found));
  FindClose(search);
  std::sort(names.begin(), names.end());
  // 实时库存
  EXPECT_EQ(names, (std::vector<std::string>{"\xCA\xB5\xCA\xB1\xBF\xE2\xB4\xE6"
                                             "1.txt",
                                             "\xCA\xB5\xCA\xB1\xBF\xE2\xB4\xE6"
                                             "2.txt"}));
}

// Ωé한ő日本: 한 and ő have no form in code page 936; the pieces are written all the same.
TEST_F(SplitterOnWindows, FolderNameOutsideTheAnsiCodePage) {
  NativePath folder = dir_ / L"\u03A9\u00E9\uD55C\u0151\u65E5\u672C";
  fs::create_directory(folder);
  WriteBytes(input_, "a\r\nb\r\nc");
  SplitOptions options;
  options.lines_per_piece = 2;
  SplitResult result = SplitFile(input_, folder, options);
  EXPECT_TRUE(result.Succeeded()) << (result.first_failures.empty()
                                          ? ""
                                          : result.first_failures[0].reason);
  EXPECT_EQ(ReadBytes(PiecePath(folder, 1)), "a\r\nb");
  EXPECT_EQ(ReadBytes(PiecePath(folder, 2)), "c\r\n");
}

}  // namespace
}  // namespace vevidav
