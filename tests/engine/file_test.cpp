#include "engine/file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/support.h"

namespace vevidav {
namespace {

using ::vevidav::testing::ReadBytes;
using ::vevidav::testing::TempDir;
using ::vevidav::testing::WriteBytes;

namespace fs = std::filesystem;
using namespace std::string_literals;

std::string ToString(const ByteBuffer& buffer) { return std::string(buffer.begin(), buffer.end()); }

enum class Entry { kNothing, kFile, kFolder };

struct ReadCase {
  const char* name;
  Entry entry;
  std::string bytes;     // the file's bytes when entry is kFile
  std::string expected;  // what ReadWholeFile gives
};

void PrintTo(const ReadCase& c, std::ostream* out) { *out << c.name; }

class ReadWholeFileTest : public ::testing::TestWithParam<ReadCase> {};

TEST_P(ReadWholeFileTest, GivesTheBytesOrAnEmptyBuffer) {
  const ReadCase& c = GetParam();
  TempDir dir;
  NativePath path = dir / "in.txt";
  if (c.entry == Entry::kFile) WriteBytes(path, c.bytes);
  if (c.entry == Entry::kFolder) fs::create_directory(path);
  EXPECT_EQ(ToString(ReadWholeFile(TextFromPath(path))), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, ReadWholeFileTest,
                         ::testing::Values(ReadCase{"Missing", Entry::kNothing, "", ""},
                                           ReadCase{"Empty", Entry::kFile, "", ""},
                                           ReadCase{"Folder", Entry::kFolder, "", ""},
                                           ReadCase{"ZeroBytesKept", Entry::kFile,
                                                    "a\0b\r\n\xB0\xA1"s, "a\0b\r\n\xB0\xA1"s}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ReadWholeFile, EmptyPathGivesEmptyBuffer) { EXPECT_TRUE(ReadWholeFile(Text()).empty()); }

struct WriteCase {
  const char* name;
  Entry entry;  // what is at the path before
  std::string before;
  std::string buffers[3];  // unused ones are empty, and empty buffers are skipped
  bool ok;
  std::string after;  // the file's bytes afterwards (when ok)
};

void PrintTo(const WriteCase& c, std::ostream* out) { *out << c.name; }

class WriteWholeFileTest : public ::testing::TestWithParam<WriteCase> {};

TEST_P(WriteWholeFileTest, CreatesOrTruncatesAndWritesInOrder) {
  const WriteCase& c = GetParam();
  TempDir dir;
  NativePath path = dir / "out.txt";
  if (c.entry == Entry::kFile) WriteBytes(path, c.before);
  if (c.entry == Entry::kFolder) fs::create_directory(path);
  bool ok = WriteWholeFile(TextFromPath(path), {c.buffers[0], c.buffers[1], c.buffers[2]});
  EXPECT_EQ(ok, c.ok);
  if (c.ok) {
    EXPECT_EQ(ReadBytes(path), c.after);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WriteWholeFileTest,
    ::testing::Values(
        WriteCase{"OneEmptyBufferMakesEmptyFile", Entry::kNothing, "", {"", "", ""}, true, ""},
        WriteCase{"EmptyBufferTruncates", Entry::kFile, "old text", {"", "", ""}, true, ""},
        WriteCase{"ShorterContentTruncates", Entry::kFile, "old text", {"ab", "", ""}, true, "ab"},
        WriteCase{"BuffersInOrder", Entry::kNothing, "", {"ab", "", "c\0d"s}, true, "abc\0d"s},
        WriteCase{"FolderOfThatName", Entry::kFolder, "", {"x", "", ""}, false, ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(WriteWholeFile, FailsWithoutCreatingAnything) {
  TempDir dir;
  EXPECT_FALSE(WriteWholeFile(Text(), {std::string("x")}));
  EXPECT_FALSE(WriteWholeFile(TextFromPath(dir / "missing" / "out.txt"), {std::string("x")}));
  EXPECT_TRUE(testing::ListDir(dir.path()).empty());
}

TEST(RunDirectory, IsTheFolderOfTheExecutable) {
  NativePath self = testing::SelfPath();
  EXPECT_EQ(RunDirectoryPath(), self.parent_path());
  EXPECT_EQ(RunDirectory(), TextFromPath(self.parent_path()));
}

TEST(InputFile, ReadsInBlocksUpToTheEnd) {
  TempDir dir;
  WriteBytes(dir / "in", "abcdefg");
  InputFile input;
  std::string reason;
  ASSERT_TRUE(input.Open(dir / "in", &reason)) << reason;
  EXPECT_EQ(input.Size(), 7u);
  std::vector<std::string> blocks;
  char buffer[3];
  for (std::int64_t got; (got = input.Read(buffer, sizeof buffer, &reason)) > 0;)
    blocks.emplace_back(buffer, static_cast<std::size_t>(got));
  EXPECT_EQ(blocks, (std::vector<std::string>{"abc", "def", "g"}));
}

TEST(InputFile, RefusesWhatIsNoReadableFile) {
  TempDir dir;
  fs::create_directory(dir / "folder");
  for (const char* name : {"missing", "folder"}) {
    InputFile input;
    std::string reason;
    EXPECT_FALSE(input.Open(dir / name, &reason)) << name;
    EXPECT_FALSE(reason.empty()) << name;
  }
}

TEST(InputFile, KnowsItselfByNameAndHardLink) {
  TempDir dir;
  WriteBytes(dir / "in", "same");
  WriteBytes(dir / "copy", "same");
  fs::create_hard_link(dir / "in", dir / "link");
  InputFile input;
  std::string reason;
  ASSERT_TRUE(input.Open(dir / "in", &reason)) << reason;
  EXPECT_TRUE(input.IsSameFileAs(dir / "in"));
  EXPECT_TRUE(input.IsSameFileAs(dir / "link"));
  EXPECT_FALSE(input.IsSameFileAs(dir / "copy"));
  EXPECT_FALSE(input.IsSameFileAs(dir / "missing"));
  EXPECT_FALSE(InputFile().IsSameFileAs(dir / "in"));
}

// Sizes past 4 GiB stay whole (the 32-bit build counts in 64 bits). The file is sparse: instant.
TEST(InputFile, SizeBeyondFourGigabytes) {
  TempDir dir;
  const std::uint64_t size = (std::uint64_t{1} << 32) + 12345;
  testing::WriteSparse(dir / "big", "", size);
  InputFile input;
  std::string reason;
  ASSERT_TRUE(input.Open(dir / "big", &reason)) << reason;
  EXPECT_EQ(input.Size(), size);
}

TEST(OutputFile, CreateTruncatesAndWrites) {
  TempDir dir;
  WriteBytes(dir / "out", "a longer old content");
  OutputFile out;
  std::string reason;
  ASSERT_TRUE(out.Create(dir / "out", &reason)) << reason;
  EXPECT_TRUE(out.IsOpen());
  EXPECT_TRUE(out.Write("new\0", 4, &reason)) << reason;
  EXPECT_TRUE(out.Close(&reason)) << reason;
  EXPECT_FALSE(out.IsOpen());
  EXPECT_EQ(ReadBytes(dir / "out"), "new\0"s);
}

TEST(OutputFile, CannotCreateOverAFolder) {
  TempDir dir;
  fs::create_directory(dir / "out");
  OutputFile out;
  std::string reason;
  EXPECT_FALSE(out.Create(dir / "out", &reason));
  EXPECT_FALSE(reason.empty());
  EXPECT_FALSE(out.IsOpen());
}

// The splitter renames a piece that is its own input aside while still reading it.
TEST(MoveAside, RenamesAnOpenInputWithoutReplacingAnything) {
  TempDir dir;
  WriteBytes(dir / "piece", "old data");
  WriteBytes(dir / "piece.bak", "someone's backup");
  InputFile input;
  std::string reason;
  ASSERT_TRUE(input.Open(dir / "piece", &reason)) << reason;

  NativePath aside;
  ASSERT_TRUE(MoveAside(dir / "piece", &aside, &reason)) << reason;
  EXPECT_EQ(aside.parent_path(), dir.path());
  EXPECT_NE(aside.filename(), NativePath("piece.bak"));
  EXPECT_FALSE(fs::exists(dir / "piece"));
  EXPECT_EQ(ReadBytes(dir / "piece.bak"), "someone's backup");
  EXPECT_TRUE(input.IsSameFileAs(aside));

  // A new file under the old name does not disturb the reading.
  WriteBytes(dir / "piece", "new");
  char buffer[16];
  std::int64_t got = input.Read(buffer, sizeof buffer, &reason);
  EXPECT_EQ(std::string(buffer, static_cast<std::size_t>(got < 0 ? 0 : got)), "old data");
  input.Close();
  EXPECT_TRUE(RemoveFile(aside));
  EXPECT_FALSE(fs::exists(aside));
}

}  // namespace
}  // namespace vevidav
