#include "engine/splitter.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/support.h"

namespace vevidav {
namespace {

using ::vevidav::testing::ListDir;
using ::vevidav::testing::ReadBytes;
using ::vevidav::testing::TempDir;
using ::vevidav::testing::WriteBytes;

namespace fs = std::filesystem;
using namespace std::string_literals;
using Pieces = std::vector<std::string>;

// The whole-file algorithm, written plainly: the text is the content up to its first zero byte;
// it is split at CR LF, scanning with every byte of 0x80 or above taking the next byte along;
// every N lines joined by CR LF make a piece, and the remaining lines, each with CR LF, the last.
Pieces WholeFileModel(const std::string& content, std::int64_t n) {
  std::string text = content.substr(0, content.find('\0'));
  std::vector<std::string> lines;
  std::size_t start = 0, p = 0;
  while (text.size() - p >= 2) {
    if (text[p] == '\r' && text[p + 1] == '\n') {
      lines.push_back(text.substr(start, p - start));
      p += 2;
      start = p;
    } else {
      p += static_cast<unsigned char>(text[p]) >= 0x80 ? 2 : 1;
    }
  }
  if (start < text.size()) lines.push_back(text.substr(start));
  Pieces pieces;
  std::string pending;
  for (std::size_t i = 1; i <= lines.size(); ++i) {
    if (i % n != 0) pending += lines[i - 1] + "\r\n";
    if (i % n == 0) {
      pieces.push_back(pending + lines[i - 1]);
      pending.clear();
    }
    if (i % n != 0 && i == lines.size()) pieces.push_back(pending);
  }
  return pieces;
}

// The pieces in `dir`, numbered from 1; the folder must hold nothing else.
Pieces ReadPieces(const NativePath& dir) {
  Pieces pieces;
  for (std::int64_t k = 1; fs::exists(PiecePath(dir, k)); ++k)
    pieces.push_back(ReadBytes(PiecePath(dir, k)));
  EXPECT_EQ(ListDir(dir).size(), pieces.size()) << "files besides pieces 1.." << pieces.size();
  return pieces;
}

SplitOptions Options(std::int64_t n, std::size_t block_size = kDefaultBlockSize) {
  SplitOptions options;
  options.lines_per_piece = n;
  options.block_size = block_size;
  return options;
}

// An input and an output folder of their own.
class SplitterTest : public ::testing::Test {
 protected:
  SplitterTest() { fs::create_directory(out_); }

  SplitResult Split(const std::string& content, const SplitOptions& options) {
    WriteBytes(input_, content);
    return SplitFile(input_, out_, options);
  }

  TempDir dir_;
  NativePath input_ = dir_ / "input.txt";
  NativePath out_ = dir_ / "out";
};

std::string Lines(int from, int to, bool final_line_end) {
  std::string text;
  for (int i = from; i <= to; ++i) text += "line " + std::to_string(i) + (i < to ? "\r\n" : "");
  return final_line_end ? text + "\r\n" : text;
}

struct PieceCase {
  const char* name;
  std::string content;
  std::int64_t n;
  Pieces pieces;
};

void PrintTo(const PieceCase& c, std::ostream* out) { *out << c.name; }

class PieceCaseTest : public SplitterTest, public ::testing::WithParamInterface<PieceCase> {};

TEST_P(PieceCaseTest, WritesExactlyThesePieces) {
  const PieceCase& c = GetParam();
  // Whole blocks, and blocks that cut every line end and character in two.
  for (std::size_t block : {kDefaultBlockSize, std::size_t{1}, std::size_t{3}}) {
    SplitResult result = Split(c.content, Options(c.n, block));
    EXPECT_TRUE(result.Succeeded()) << result.input_error;
    EXPECT_EQ(result.pieces_written, static_cast<std::int64_t>(c.pieces.size()));
    EXPECT_EQ(ReadPieces(out_), c.pieces) << "block size " << block;
    for (const NativePath& name : ListDir(out_)) fs::remove(out_ / name);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PieceCaseTest,
    ::testing::Values(
        PieceCase{"EmptyFile", "", 2, {}}, PieceCase{"FirstByteZero", "\0a\r\nb"s, 2, {}},
        PieceCase{"ZeroEndsTheText", "a\r\nb\0c\r\nd"s, 1, {"a", "b"}},
        PieceCase{"ZeroRightAfterAPiece", "a\r\nb\r\n\0c"s, 1, {"a", "b"}},
        PieceCase{"FullAndPartial", "a\r\nb\r\nc", 2, {"a\r\nb", "c\r\n"}},
        PieceCase{"FinalLineEndEndsLastLine", "a\r\nb\r\n", 2, {"a\r\nb"}},
        PieceCase{"FewerLinesThanN", "a\r\nb\r\n", 3, {"a\r\nb\r\n"}},
        PieceCase{"BlankLineIsALine", "a\r\n\r\nb", 2, {"a\r\n", "b\r\n"}},
        PieceCase{"JustALineEnd", "\r\n", 2, {"\r\n"}},
        PieceCase{"OneEmptyLinePerPiece", "\r\n\r\n", 1, {"", ""}},
        PieceCase{"LfAndCrAreNoLineEnds", "a\nb\rc", 2, {"a\nb\rc\r\n"}},
        PieceCase{"CrAtTheEnd", "a\r", 2, {"a\r\r\n"}},
        PieceCase{"LastLineCompletesAFullPiece", "a\r\nb", 2, {"a\r\nb"}},
        PieceCase{"DoubleByteThenLineEnd", "\xB0\xA1\r\nx", 1, {"\xB0\xA1", "x"}},
        PieceCase{"OddHighRunTakesTheCr", "\xE4\xB8\xAD\r\nx", 2, {"\xE4\xB8\xAD\r\nx\r\n"}},
        PieceCase{"Lines1001By500",
                  Lines(1, 1001, false),
                  500,
                  {Lines(1, 500, false), Lines(501, 1000, false), "line 1001\r\n"}},
        PieceCase{"Lines1001By500WithFinalLineEnd",
                  Lines(1, 1001, true),
                  500,
                  {Lines(1, 500, false), Lines(501, 1000, false), "line 1001\r\n"}},
        PieceCase{"MultipleOfN", Lines(1, 6, true), 3, {Lines(1, 3, false), Lines(4, 6, false)}}),
    [](const auto& info) { return std::string(info.param.name); });

// Random inputs from the bytes that matter, split with every small block size, against the model.
// Longer inputs in bigger blocks take the scanner's wide search as well.
TEST_F(SplitterTest, SameAsTheWholeFileModelForEveryBlockSize) {
  std::mt19937 random(20240611);
  auto pick = [&](int below) { return static_cast<int>(random() % static_cast<unsigned>(below)); };
  const std::vector<std::size_t> small_blocks = {1, 2,  3,  4,  5,  6,  7,  8,
                                                 9, 10, 11, 12, 13, 14, 15, 16};
  const std::vector<std::size_t> wide_blocks = {1, 16, 64, 65, 130, kDefaultBlockSize};
  for (int round = 0; round < 80; ++round) {
    const bool wide = round >= 60;
    std::string content;
    int length = wide ? pick(600) : pick(40);
    while (static_cast<int>(content.size()) < length) {
      switch (pick(9)) {
        case 0:
          content += "\r\n";
          break;
        case 1:
          content += '\r';
          break;
        case 2:
          content += '\n';
          break;
        case 3:
        case 4:
          content += static_cast<char>(0x80 + pick(0x80));
          break;
        case 5:
          // A zero byte ends the text, so long inputs get none: all their text must count.
          if (!wide && pick(4) == 0) content += '\0';
          break;
        default:
          content += static_cast<char>('a' + pick(3));
          break;
      }
    }
    if (round % 2 == 1) content += "\r\n";
    WriteBytes(input_, content);
    for (std::int64_t n : {1, 2, 3, 7}) {
      Pieces expected = WholeFileModel(content, n);
      for (std::size_t block : wide ? wide_blocks : small_blocks) {
        SplitResult result = SplitFile(input_, out_, Options(n, block));
        ASSERT_TRUE(result.Succeeded()) << result.input_error;
        ASSERT_EQ(ReadPieces(out_), expected) << ::testing::PrintToString(content) << " round "
                                              << round << ", n " << n << ", block size " << block;
        for (std::int64_t k = 1; k <= static_cast<std::int64_t>(expected.size()); ++k)
          fs::remove(PiecePath(out_, k));
      }
    }
  }
}

// Thousands of pieces out of one block: the writes queue up far beyond what one job holds.
TEST_F(SplitterTest, ManyPiecesFromOneBlock) {
  std::string content;
  for (int i = 1; i <= 1500; ++i) content += std::to_string(i) + (i % 7 == 0 ? "\r\n\r\n" : "\r\n");
  SplitResult result = Split(content, Options(1));
  EXPECT_TRUE(result.Succeeded());
  Pieces expected = WholeFileModel(content, 1);
  EXPECT_EQ(result.pieces_written, static_cast<std::int64_t>(expected.size()));
  EXPECT_EQ(ReadPieces(out_), expected);
}

TEST_F(SplitterTest, PiecesOfAnEarlierRunBeyondTheseStay) {
  WriteBytes(PiecePath(out_, 1), "old first piece, longer than the new one");
  WriteBytes(PiecePath(out_, 4), "old fourth piece");
  Split("a\r\nb\r\nc\r\n", Options(1));
  EXPECT_EQ(ReadBytes(PiecePath(out_, 1)), "a");
  EXPECT_EQ(ReadBytes(PiecePath(out_, 3)), "c");
  EXPECT_EQ(ReadBytes(PiecePath(out_, 4)), "old fourth piece");
}

TEST_F(SplitterTest, ReportsProgressAfterEveryBlock) {
  std::vector<std::pair<std::uint64_t, std::uint64_t>> calls;
  SplitOptions options = Options(2, 4);
  options.progress = [&](std::uint64_t done, std::uint64_t total) {
    calls.emplace_back(done, total);
  };
  Split("0123456789", options);
  using Call = std::pair<std::uint64_t, std::uint64_t>;
  EXPECT_EQ(calls, (std::vector<Call>{{4, 10}, {8, 10}, {10, 10}}));
}

// The input is one of the pieces about to be written: it is split as it was before anything
// was overwritten, and nothing is left besides the pieces.
struct SelfCase {
  const char* name;
  std::int64_t piece;  // the piece that is the input
  bool hard_link;      // the input is elsewhere and the piece a hard link to it
};

void PrintTo(const SelfCase& c, std::ostream* out) { *out << c.name; }

class InputIsAPieceTest : public SplitterTest, public ::testing::WithParamInterface<SelfCase> {};

TEST_P(InputIsAPieceTest, SplitsTheOldContent) {
  const SelfCase& c = GetParam();
  const std::string content = Lines(1, 7, true);
  NativePath piece = PiecePath(out_, c.piece);
  WriteBytes(c.hard_link ? input_ : piece, content);
  if (c.hard_link) fs::create_hard_link(input_, piece);
  // Small blocks: most of the input is read after its name has been given to a new piece.
  SplitResult result = SplitFile(c.hard_link ? input_ : piece, out_, Options(2, 5));
  EXPECT_TRUE(result.Succeeded()) << result.input_error;
  EXPECT_EQ(ReadPieces(out_), WholeFileModel(content, 2));
  if (c.hard_link) {
    EXPECT_EQ(ReadBytes(input_), content);
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, InputIsAPieceTest,
                         ::testing::Values(SelfCase{"FirstPiece", 1, false},
                                           SelfCase{"LaterPiece", 3, false},
                                           SelfCase{"FinalPartialPiece", 4, false},
                                           SelfCase{"HardLinkToFirstPiece", 1, true},
                                           SelfCase{"HardLinkToLaterPiece", 2, true}),
                         [](const auto& info) { return std::string(info.param.name); });

// When the split goes wrong, the input's old content, renamed aside, is kept: no line is lost.
TEST_F(SplitterTest, InputThatWasAPieceIsKeptAsideWhenTheSplitFails) {
  const std::string content = Lines(1, 4, false);
  WriteBytes(PiecePath(out_, 1), content);
  fs::create_directory(PiecePath(out_, 2));
  SplitResult result = SplitFile(PiecePath(out_, 1), out_, Options(2, 5));
  EXPECT_EQ(result.pieces_failed, 1);
  EXPECT_EQ(ReadBytes(PiecePath(out_, 1)), Lines(1, 2, false));
  NativePath aside = PiecePath(out_, 1);
  aside += ".bak";
  EXPECT_EQ(ReadBytes(aside), content);
}

struct InputFailureCase {
  const char* name;
  bool folder;  // a folder of the input's name, else nothing there
};

void PrintTo(const InputFailureCase& c, std::ostream* out) { *out << c.name; }

class InputFailureTest : public SplitterTest,
                         public ::testing::WithParamInterface<InputFailureCase> {};

TEST_P(InputFailureTest, NothingWrittenAndTheReasonKept) {
  if (GetParam().folder) fs::create_directory(input_);
  SplitResult result = SplitFile(input_, out_, Options(1));
  EXPECT_FALSE(result.input_read);
  EXPECT_FALSE(result.input_error.empty());
  EXPECT_FALSE(result.Succeeded());
  EXPECT_TRUE(ListDir(out_).empty());
}

INSTANTIATE_TEST_SUITE_P(Cases, InputFailureTest,
                         ::testing::Values(InputFailureCase{"Missing", false},
                                           InputFailureCase{"Folder", true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(SplitterTest, APieceThatCannotBeWrittenDoesNotStopTheOthers) {
  fs::create_directory(PiecePath(out_, 2));
  SplitResult result = Split("a\r\nb\r\nc\r\nd\r\ne", Options(2));
  EXPECT_TRUE(result.input_read);
  EXPECT_FALSE(result.Succeeded());
  EXPECT_EQ(result.pieces_written, 2);
  EXPECT_EQ(result.pieces_failed, 1);
  ASSERT_EQ(result.first_failures.size(), 1u);
  EXPECT_EQ(result.first_failures[0].path, PiecePath(out_, 2));
  EXPECT_FALSE(result.first_failures[0].reason.empty());
  EXPECT_EQ(ReadBytes(PiecePath(out_, 1)), "a\r\nb");
  EXPECT_EQ(ReadBytes(PiecePath(out_, 3)), "e\r\n");
}

// The third read fails: what was written stays, the piece being written is left as it is, and
// nothing is written after the failure.
TEST_F(SplitterTest, ReadErrorPartWayStopsAndKeepsThePiecesWritten) {
  SplitOptions options = Options(1, 4);
  int reads = 0;
  options.read_block = [&](InputFile& input, char* buffer, std::size_t size, std::string* reason) {
    if (++reads < 3) return input.Read(buffer, size, reason);
    *reason = "device error";
    return std::int64_t{-1};
  };
  // Blocks of 4: "a CR LF b", "CR LF c CR", then the failure.
  SplitResult result = Split("a\r\nb\r\nc\r\nd\r\ne\r\n", options);
  EXPECT_FALSE(result.input_read);
  EXPECT_EQ(result.input_error, "device error");
  EXPECT_EQ(result.pieces_written, 2);
  EXPECT_EQ(result.pieces_failed, 0);
  EXPECT_EQ(ReadPieces(out_), (Pieces{"a", "b", "c"}));
}

// A file where the folder should be: no piece can be created.
TEST_F(SplitterTest, EveryPieceFailedKeepsTheFirstTenAndTheCount) {
  NativePath not_a_folder = dir_ / "file";
  WriteBytes(not_a_folder, "");
  WriteBytes(input_, Lines(1, 12, false));
  SplitResult result = SplitFile(input_, not_a_folder, Options(1));
  EXPECT_TRUE(result.input_read);
  EXPECT_EQ(result.pieces_written, 0);
  EXPECT_EQ(result.pieces_failed, 12);
  ASSERT_EQ(result.first_failures.size(), kMaxListedFailures);
  for (std::size_t i = 0; i < kMaxListedFailures; ++i)
    EXPECT_EQ(result.first_failures[i].path,
              PiecePath(not_a_folder, static_cast<std::int64_t>(i) + 1));
}

// Over 4 GiB of input whose text ends early: the size stays whole and the hole is never read.
TEST_F(SplitterTest, HugeInputWhoseTextEndsEarly) {
  const std::uint64_t size = (std::uint64_t{1} << 32) + 100;
  testing::WriteSparse(input_, "a\r\nb\r\nc", size);
  std::uint64_t reported_total = 0, reported_done = 0;
  SplitOptions options = Options(2);
  options.progress = [&](std::uint64_t done, std::uint64_t total) {
    reported_done = done;
    reported_total = total;
  };
  SplitResult result = SplitFile(input_, out_, options);
  EXPECT_TRUE(result.Succeeded());
  EXPECT_EQ(ReadPieces(out_), (Pieces{"a\r\nb", "c\r\n"}));
  EXPECT_EQ(reported_total, size);
  EXPECT_EQ(reported_done, kDefaultBlockSize);
}

}  // namespace
}  // namespace vevidav
