#include "engine/split_command.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "engine/message.h"
#include "tests/support/support.h"

namespace vevidav {
namespace {

using ::vevidav::testing::ListDir;
using ::vevidav::testing::ReadBytes;
using ::vevidav::testing::TempDir;
using ::vevidav::testing::WriteBytes;

namespace fs = std::filesystem;
using namespace std::string_literals;

const std::string kDone = "\xB7\xD6\xB8\xEE\xCD\xEA\xB3\xC9";  // 分割完成
const std::string kCannotRead =
    "\xCE\xDE\xB7\xA8\xB6\xC1\xC8\xA1\xCE\xC4\xBC\xFE\xA3\xBA";  // 无法读取文件：
// 分割未完成，以下文件未能写入：
const std::string kNotWritten =
    "\xB7\xD6\xB8\xEE\xCE\xB4\xCD\xEA\xB3\xC9\xA3\xAC\xD2\xD4\xCF\xC2\xCE\xC4\xBC\xFE\xCE\xB4\xC4"
    "\xDC\xD0\xB4\xC8\xEB\xA3\xBA";
// 请先选择txt文件或拖拽txt
const std::string kChooseFirst =
    "\xC7\xEB\xCF\xC8\xD1\xA1\xD4\xF1txt\xCE\xC4\xBC\xFE\xBB\xF2\xCD\xCF\xD7\xA7txt";
const std::string kRemainderByZero =
    "\xB2\xBB\xC4\xDC\xC7\xF3\xD3\xE0\xCA\xFD\xD3\xDA\xC1\xE3";  // 不能求余数于零

std::string InAll(const char* n) {
  return "\xA1\xAD\xA1\xAD\xB9\xB2 "s + n + " \xB8\xF6\xCE\xC4\xBC\xFE";  // ……共 N 个文件
}

struct Shown {
  std::string message;
  int style;
  bool operator==(const Shown&) const = default;
};
std::ostream& operator<<(std::ostream& out, const Shown& shown) {
  return out << "[" << shown.message << "] style " << shown.style;
}

std::vector<Shown> shown_messages;
void RecordMessage(const Text& message, int style) {
  shown_messages.push_back({std::string(message.view()), style});
}

// The paths in the failure list; here plain names, so the text is the same on every system.
SplitResult PiecesFailed(std::int64_t failed) {
  SplitResult result;
  result.pieces_failed = failed;
  for (std::int64_t k = 1; k <= failed && k <= 10; ++k)
    result.first_failures.push_back({NativePath("f" + std::to_string(k)), "reason"});
  return result;
}

std::string Listed(int count) {
  std::string lines;
  for (int k = 1; k <= count; ++k) lines += "\r\nf" + std::to_string(k);
  return lines;
}

struct DescribeCase {
  const char* name;
  SplitResult result;
  Shown report;
};

void PrintTo(const DescribeCase& c, std::ostream* out) { *out << c.name; }

class DescribeSplitTest : public ::testing::TestWithParam<DescribeCase> {};

TEST_P(DescribeSplitTest, SaysWhatHappened) {
  SplitReport report = DescribeSplit("C:\\in.txt", GetParam().result);
  EXPECT_EQ((Shown{std::string(report.message.view()), report.style}), GetParam().report);
}

SplitResult InputFailed(SplitResult result) {
  result.input_read = false;
  result.input_error = "gone";
  return result;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DescribeSplitTest,
    ::testing::Values(
        DescribeCase{"Done", SplitResult(), {kDone, 0}},
        DescribeCase{"InputFailed", InputFailed(SplitResult()), {kCannotRead + "C:\\in.txt", 48}},
        DescribeCase{"InputFailureComesFirst",
                     InputFailed(PiecesFailed(3)),
                     {kCannotRead + "C:\\in.txt", 48}},
        DescribeCase{"OnePiece", PiecesFailed(1), {kNotWritten + Listed(1), 48}},
        DescribeCase{"TenPieces", PiecesFailed(10), {kNotWritten + Listed(10), 48}},
        DescribeCase{"ElevenPieces",
                     PiecesFailed(11),
                     {kNotWritten + Listed(10) + "\r\n" + InAll("11"), 48}},
        DescribeCase{"ManyPieces",
                     PiecesFailed(12345),
                     {kNotWritten + Listed(10) + "\r\n" + InAll("12345"), 48}}),
    [](const auto& info) { return std::string(info.param.name); });

class SplitIntoDirectoryTest : public ::testing::Test {
 protected:
  SplitIntoDirectoryTest() {
    fs::create_directory(out_);
    shown_messages.clear();
    SetShowMessageHook(RecordMessage);
  }
  ~SplitIntoDirectoryTest() override { SetShowMessageHook(nullptr); }

  std::vector<std::string> Pieces() {
    std::vector<std::string> pieces;
    for (std::int64_t k = 1; fs::exists(PiecePath(out_, k)); ++k)
      pieces.push_back(ReadBytes(PiecePath(out_, k)));
    EXPECT_EQ(ListDir(out_).size(), pieces.size());
    return pieces;
  }

  TempDir dir_;
  NativePath input_ = dir_ / "input.txt";
  Text input_text_ = TextFromPath(input_);
  NativePath out_ = dir_ / "out";
};

enum class Input { kNone, kFile, kFolder, kEmptyPath };

struct CommandCase {
  const char* name;
  Input input;
  std::string content;
  const char* count;
  std::string message;  // the input's path follows it when it is the cannot-read message
  int style;
  std::vector<std::string> pieces;
};

void PrintTo(const CommandCase& c, std::ostream* out) { *out << c.name; }

class SplitCommandCaseTest : public SplitIntoDirectoryTest,
                             public ::testing::WithParamInterface<CommandCase> {};

TEST_P(SplitCommandCaseTest, ShowsOneMessageAndWritesThePieces) {
  const CommandCase& c = GetParam();
  if (c.input == Input::kFile) WriteBytes(input_, c.content);
  if (c.input == Input::kFolder) fs::create_directory(input_);
  SplitIntoDirectory(c.input == Input::kEmptyPath ? Text() : input_text_, c.count, out_);
  std::string message = c.message;
  if (message == kCannotRead) message += std::string(input_text_.view());
  EXPECT_EQ(shown_messages, (std::vector<Shown>{{message, c.style}}));
  EXPECT_EQ(Pieces(), c.pieces);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SplitCommandCaseTest,
    ::testing::Values(
        CommandCase{"EmptyPath", Input::kEmptyPath, "", "2", kChooseFirst, 0, {}},
        CommandCase{"EmptyPathBeforeTheCount", Input::kEmptyPath, "", "0", kChooseFirst, 0, {}},
        CommandCase{"Missing", Input::kNone, "", "2", kCannotRead, 48, {}},
        CommandCase{"Folder", Input::kFolder, "", "2", kCannotRead, 48, {}},
        CommandCase{"EmptyFile", Input::kFile, "", "2", kDone, 0, {}},
        CommandCase{"FirstByteZero", Input::kFile, "\0a\r\n"s, "2", kDone, 0, {}},
        CommandCase{"Split", Input::kFile, "a\r\nb\r\nc", "2", kDone, 0, {"a\r\nb", "c\r\n"}},
        // ２ (full width) and a tab before it: the count goes through TextToInt.
        CommandCase{"FullWidthCount",
                    Input::kFile,
                    "a\r\nb\r\nc",
                    "\t\xA3\xB2",
                    kDone,
                    0,
                    {"a\r\nb", "c\r\n"}},
        CommandCase{"NegativeCountCutsByItsSize",
                    Input::kFile,
                    "a\r\nb\r\nc",
                    "-2",
                    kDone,
                    0,
                    {"a\r\nb", "c\r\n"}},
        CommandCase{"ZeroCountEmptyText", Input::kFile, "\0a"s, "0", kDone, 0, {}},
        CommandCase{"ZeroCountMissing", Input::kNone, "", "0", kCannotRead, 48, {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SplitIntoDirectoryTest, PieceFailureIsListed) {
  WriteBytes(input_, "a\r\nb\r\nc\r\nd");
  fs::create_directory(PiecePath(out_, 1));
  SplitIntoDirectory(input_text_, "2", out_);
  std::string listed = "\r\n" + std::string(TextFromPath(PiecePath(out_, 1)).view());
  EXPECT_EQ(shown_messages, (std::vector<Shown>{{kNotWritten + listed, 48}}));
  EXPECT_EQ(ReadBytes(PiecePath(out_, 2)), "c\r\nd");
}

void SetEnvironment(const char* name, const char* value) {
#ifdef _WIN32
  _putenv_s(name, value);
#else
  setenv(name, value, 1);
#endif
}

// A count of 0 with a text to cut ends the program with the runtime error, as dividing by it
// does; nothing is written.
VEVIDAV_CHILD(split_by_zero) {
  const char* input = std::getenv("VEVIDAV_TEST_INPUT");
  const char* out = std::getenv("VEVIDAV_TEST_OUT");
  SplitIntoDirectory(input, "0", PathFromText(out));
  return 0;
}

TEST_F(SplitIntoDirectoryTest, ZeroCountWithATextIsFatal) {
  WriteBytes(input_, "a\r\nb");
  SetEnvironment("VEVIDAV_TEST_INPUT", input_text_.c_str());
  SetEnvironment("VEVIDAV_TEST_OUT", TextFromPath(out_).c_str());
  std::string shown;
  auto result = testing::RunChild("split_by_zero", [&](unsigned long pid) {
#ifdef _WIN32
    shown = testing::CloseMessageBox(pid, "\xB4\xED\xCE\xF3").text;  // 错误
#else
    (void)pid;
#endif
  });
#ifndef _WIN32
  shown = result.err;
#endif
  EXPECT_EQ(result.exit_code & 0xFF, 0xFF);
  EXPECT_NE(shown.find(kRemainderByZero), std::string::npos) << shown;
  EXPECT_TRUE(ListDir(out_).empty());
}

// The window's command: the pieces go beside the executable, wherever it is.
VEVIDAV_CHILD(split_beside_executable) {
  SetShowMessageHook([](const Text& message, int style) {
    std::fwrite(message.data(), 1, message.size(), stdout);
    std::printf("|%d", style);
  });
  SplitCommand(TextFromPath(RunDirectoryPath().parent_path() / "input.txt"), "2");
  return 0;
}

TEST(SplitCommand, WritesBesideTheExecutable) {
  std::vector<NativePath> folders = {"run"};
#ifdef _WIN32
  folders.push_back(L"\u03A9\u00E9\uD55C\u0151\u65E5\u672C");  // Ωé한ő日本: outside code page 936
#endif
  NativePath self = testing::SelfPath();
  for (const NativePath& folder : folders) {
    TempDir dir;
    fs::create_directory(dir / folder);
    NativePath copy = dir / folder / self.filename();
    fs::copy_file(self, copy);
    WriteBytes(dir / "input.txt", "a\r\nb\r\nc");
    auto result = testing::RunProgram(
        {copy.native(), NativePath("--child=split_beside_executable").native()});
    EXPECT_EQ(result.exit_code, 0);
    EXPECT_EQ(result.out, kDone + "|0");
    EXPECT_EQ(ReadBytes(PiecePath(dir / folder, 1)), "a\r\nb");
    EXPECT_EQ(ReadBytes(PiecePath(dir / folder, 2)), "c\r\n");
  }
}

}  // namespace
}  // namespace vevidav
