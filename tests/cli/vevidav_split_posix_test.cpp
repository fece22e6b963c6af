// vevidav-split on Linux: the progress line on a terminal and a full device.
#include <gtest/gtest.h>

#include <string>

#include "engine/splitter.h"
#include "tests/cli/cli_test_support.h"

namespace vevidav::testing {
namespace {

std::string ShellQuoted(const NativePath& path) { return "'" + path.native() + "'"; }

class VevidavSplitPosixTest : public ::testing::Test {
 protected:
  VevidavSplitPosixTest() : out_(dir_ / u8"输出 目录") { std::filesystem::create_directory(out_); }

  // A job that takes a while: the input comes through a pipe, its last line after a pause.
  std::string SlowSplit() const {
    return "(printf 'a\\r\\nb\\r\\n'; sleep 1.5; printf 'c\\r\\n') | " +
           ShellQuoted(SplitProgram()) + " -n 1 -d " + ShellQuoted(out_) + " /dev/stdin";
  }

  void ExpectPieces() {
    EXPECT_EQ(ReadBytes(PiecePath(out_, 1)), "a");
    EXPECT_EQ(ReadBytes(PiecePath(out_, 2)), "b");
    EXPECT_EQ(ReadBytes(PiecePath(out_, 3)), "c");
  }

  TempDir dir_;
  NativePath out_;
};

TEST_F(VevidavSplitPosixTest, ShowsProgressOnATerminalAndClearsIt) {
  if (!std::filesystem::exists("/usr/bin/script")) GTEST_SKIP() << "no script(1) for a terminal";
  // script(1) runs the command with a pseudo-terminal as its standard output and error.
  ProcessResult run = RunProgram({"/usr/bin/script", "-qec", SlowSplit(), "/dev/null"});
  ASSERT_EQ(run.exit_code, 0) << run.out;
  ExpectPieces();
  std::string summary = "vevidav-split: 3 pieces of up to 1 line written to " + out_.native();
  std::size_t at = run.out.find(summary);
  ASSERT_NE(at, std::string::npos) << run.out;
  std::string before = run.out.substr(0, at);
  // "\r      <bytes>  <speed>" then "\r<blanks>\r" right before the summary.
  EXPECT_EQ(before.rfind('\r', 0), 0u) << before;
  EXPECT_NE(before.find("B/s"), std::string::npos) << before;
  ASSERT_GE(before.size(), 2u);
  EXPECT_EQ(before.back(), '\r');
  std::size_t blank_start = before.rfind('\r', before.size() - 2) + 1;
  std::string blanks = before.substr(blank_start, before.size() - 1 - blank_start);
  EXPECT_EQ(blanks, std::string(blanks.size(), ' ')) << before;
  std::size_t line_end = before.find('\r', 1);
  EXPECT_GE(blanks.size(), line_end - 1) << "blanks all of the last progress line: " << before;
}

TEST_F(VevidavSplitPosixTest, ShowsNoProgressWhenStandardErrorIsAPipe) {
  ProcessResult run = RunProgram({"/bin/sh", "-c", SlowSplit()});
  EXPECT_EQ(run.exit_code, 0);
  EXPECT_EQ(run.err, "");
  ExpectPieces();
}

TEST_F(VevidavSplitPosixTest, ReportsAFullDevice) {
  NativePath input = dir_ / "in.txt";
  WriteBytes(input, "a\r\nb\r\n");
  std::filesystem::create_symlink("/dev/full", PiecePath(out_, 1));
  ProcessResult run = RunProgram({SplitProgram(), "-d", out_.native(), input.native()});
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, "vevidav-split: cannot write '" + PiecePath(out_, 1).native() +
                         "': No space left on device\n");
}

}  // namespace
}  // namespace vevidav::testing
