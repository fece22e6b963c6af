// vevidav-split end to end: the built program on real files, its exit status, its output.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "engine/splitter.h"
#include "tests/cli/cli_test_support.h"

namespace vevidav::testing {
namespace {

// The text as the console shows it.
std::string Shown(const NativePath& path) { return std::string(TextFromPath(path).view()); }

std::string Piece(std::int64_t number) { return Shown(PiecePath(NativePath(), number)); }

// "1\r\n2\r\n…" up to `count`.
std::string NumberedLines(int count) {
  std::string text;
  for (int i = 1; i <= count; ++i) text += std::to_string(i) + "\r\n";
  return text;
}

// Chinese names with a space in them: they reach the program intact only through wide
// arguments on Windows and proper quoting.
class VevidavSplitTest : public ::testing::Test {
 protected:
  VevidavSplitTest()
      : input_(dir_ / u8"库存 清单.txt"), out_(dir_ / u8"输出 目录"), cwd_(dir_.path()) {
    std::filesystem::create_directory(out_);
  }

  ProcessResult Split(const std::vector<cli::Argument>& args) {
    return RunWithArgs(SplitProgram(), args);
  }

  // Everything a failed or refused run must leave as it was.
  void ExpectNothingWritten() {
    EXPECT_EQ(ListDir(out_), std::vector<NativePath>{});
    std::vector<NativePath> expected{out_.filename()};
    if (std::filesystem::exists(input_)) expected.push_back(input_.filename());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(ListDir(dir_.path()), expected);
  }

  TempDir dir_;
  NativePath input_;
  NativePath out_;
  CurrentFolder cwd_;
};

TEST_F(VevidavSplitTest, SplitsAGeneratedStockListIntoExactPieces) {
  ProcessResult made = RunProgram(
      {StocklistProgram().native(), Arg("--lines"), Arg("4321"), Arg("--seed"), Arg("7")});
  ASSERT_EQ(made.exit_code, 0) << made.err;
  WriteBytes(input_, made.out);

  std::vector<std::string> lines;
  for (std::size_t at = 0; at < made.out.size();) {
    std::size_t end = made.out.find("\r\n", at);
    ASSERT_NE(end, std::string::npos) << "the list ends in CR LF";
    lines.push_back(made.out.substr(at, end - at));
    at = end + 2;
  }
  ASSERT_EQ(lines.size(), 4321u);
  // Code page 936 product names: 商品名称 in the header.
  EXPECT_NE(lines[0].find("\xC9\xCC\xC6\xB7\xC3\xFB\xB3\xC6"), std::string::npos);

  ProcessResult run = Split({Arg("-n"), Arg("1000"), Arg("-d"), out_.native(), input_.native()});
  EXPECT_EQ(run.exit_code, 0);
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.out, "vevidav-split: 5 pieces of up to 1000 lines written to " + Shown(out_) +
                         " (" + Piece(1) + " " + Shown(NativePath(u8"…")) + " " + Piece(5) + ")\n");

  std::vector<NativePath> names;
  for (int k = 1; k <= 5; ++k) {
    names.push_back(PiecePath(NativePath(), k));
    std::string expected;
    for (std::size_t i = std::size_t{1000} * (k - 1);
         i < std::min(std::size_t{1000} * k, lines.size()); ++i) {
      if (!expected.empty()) expected += "\r\n";
      expected += lines[i];
    }
    if (k == 5) expected += "\r\n";  // the shorter last piece ends every line
    EXPECT_EQ(ReadBytes(PiecePath(out_, k)), expected) << "piece " << k;
  }
  std::sort(names.begin(), names.end());
  EXPECT_EQ(ListDir(out_), names);
}

TEST_F(VevidavSplitTest, WritesPiecesOf3000LinesIntoTheCurrentFolderByDefault) {
  WriteBytes(input_, NumberedLines(3001));
  ProcessResult run = Split({input_.filename().native()});
  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(run.out, "vevidav-split: 2 pieces of up to 3000 lines written to " +
                         Shown(std::filesystem::current_path()) + " (" + Piece(1) + " " +
                         Shown(NativePath(u8"…")) + " " + Piece(2) + ")\n");
  std::string all = NumberedLines(3000);
  EXPECT_EQ(ReadBytes(dir_ / PiecePath(NativePath(), 1)), all.substr(0, all.size() - 2));
  EXPECT_EQ(ReadBytes(dir_ / PiecePath(NativePath(), 2)), "3001\r\n");
}

struct SmallCase {
  const char* name;
  std::string content;
  std::vector<std::string> pieces;  // none: nothing written
};

void PrintTo(const SmallCase& c, std::ostream* os) { *os << c.name; }

class SmallInputTest : public VevidavSplitTest, public ::testing::WithParamInterface<SmallCase> {};

TEST_P(SmallInputTest, SaysWhatWasWritten) {
  const SmallCase& c = GetParam();
  WriteBytes(input_, c.content);
  ProcessResult run =
      Split({Arg("--lines=2"), Arg("--output-dir=") + out_.native(), input_.native()});
  EXPECT_EQ(run.exit_code, 0);
  EXPECT_EQ(run.err, "");
  if (c.pieces.empty()) {
    EXPECT_EQ(run.out, "vevidav-split: no lines in '" + Shown(input_) + "': nothing written\n");
    ExpectNothingWritten();
    return;
  }
  std::string names = Piece(1);
  if (c.pieces.size() > 1) {
    names += " " + Shown(NativePath(u8"…")) + " " + Piece(static_cast<int>(c.pieces.size()));
  }
  EXPECT_EQ(run.out, "vevidav-split: " + std::to_string(c.pieces.size()) +
                         (c.pieces.size() == 1 ? " piece" : " pieces") +
                         " of up to 2 lines written to " + Shown(out_) + " (" + names + ")\n");
  ASSERT_EQ(ListDir(out_).size(), c.pieces.size());
  for (std::size_t k = 0; k < c.pieces.size(); ++k) {
    EXPECT_EQ(ReadBytes(PiecePath(out_, static_cast<std::int64_t>(k + 1))), c.pieces[k]);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Contents, SmallInputTest,
    ::testing::Values(SmallCase{"empty", "", {}},
                      SmallCase{"zero_byte_first", std::string("\0a\r\nb\r\n", 7), {}},
                      SmallCase{"one_line", "a\r\n", {"a\r\n"}},
                      SmallCase{"three_lines", "a\r\nb\r\nc", {"a\r\nb", "c\r\n"}},
                      // B0 A1 (啊) before the CR: the line end is found after a whole character.
                      SmallCase{"double_byte", "\xB0\xA1\r\nx\r\ny", {"\xB0\xA1\r\nx", "y\r\n"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(VevidavSplitTest, HelpAndVersionGoToStandardOutput) {
  ProcessResult version = Split({Arg("--version")});
  EXPECT_EQ(version.exit_code, 0);
  EXPECT_EQ(version.out, "vevidav-split 2.0.0.4\n");
  EXPECT_EQ(version.err, "");

  ProcessResult help = Split({Arg("--help")});
  EXPECT_EQ(help.exit_code, 0);
  EXPECT_EQ(help.out.rfind("Usage: vevidav-split [-n LINES] [-d DIR] FILE\n", 0), 0u) << help.out;
  EXPECT_NE(help.out.find("--output-dir"), std::string::npos);
  EXPECT_EQ(help.err, "");
  ExpectNothingWritten();
}

class UsageErrorTest : public VevidavSplitTest,
                       public ::testing::WithParamInterface<std::vector<std::string>> {};

TEST_P(UsageErrorTest, ExitsWith2AndTouchesNothing) {
  WriteBytes(input_, "a\r\nb\r\n");
  std::vector<cli::Argument> args;
  for (const std::string& a : GetParam()) {
    args.push_back(a == "IN" ? input_.native() : a == "OUT" ? out_.native() : Arg(a));
  }
  ProcessResult run = Split(args);
  EXPECT_EQ(run.exit_code, 2);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err.rfind("vevidav-split: ", 0), 0u) << run.err;
  EXPECT_NE(run.err.find("Try 'vevidav-split --help' for more information.\n"), std::string::npos);
  ExpectNothingWritten();
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, UsageErrorTest,
    ::testing::Values(std::vector<std::string>{}, std::vector<std::string>{"-d", "OUT"},
                      std::vector<std::string>{"-n", "0", "-d", "OUT", "IN"},
                      std::vector<std::string>{"--lines=99999999999", "-d", "OUT", "IN"},
                      std::vector<std::string>{"-x", "-d", "OUT", "IN"},
                      std::vector<std::string>{"-d", "OUT", "IN", "IN"},
                      std::vector<std::string>{"IN", "-d"}),
    [](const auto& info) { return "case" + std::to_string(info.index); });

TEST_F(VevidavSplitTest, NamesAnInputItCannotRead) {
  std::filesystem::create_directory(dir_ / "folder.txt");
  for (const char* name : {"no such file.txt", "folder.txt"}) {
    SCOPED_TRACE(name);
    ProcessResult run = Split({Arg("-d"), out_.native(), Arg(name)});
    EXPECT_EQ(run.exit_code, 1);
    EXPECT_EQ(run.out, "");
    std::string start = "vevidav-split: cannot read '" + std::string(name) + "': ";
    EXPECT_EQ(run.err.rfind(start, 0), 0u) << run.err;
    // The system's reason, on one line.
    EXPECT_GT(run.err.size(), start.size() + 1) << run.err;
    EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << run.err;
    EXPECT_EQ(ListDir(out_), std::vector<NativePath>{});
  }
}

TEST_F(VevidavSplitTest, RefusesAnOutputFolderThatIsNotThere) {
  WriteBytes(input_, "a\r\n");
  struct Case {
    NativePath dir;
    std::string problem;
  };
  for (const Case& c :
       {Case{dir_ / "missing", "does not exist"},
        Case{dir_ / "missing" / "deeper", "does not exist"}, Case{input_, "is not a folder"}}) {
    SCOPED_TRACE(Shown(c.dir));
    ProcessResult run = Split({Arg("-d"), c.dir.native(), input_.native()});
    EXPECT_EQ(run.exit_code, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "vevidav-split: output folder '" + Shown(c.dir) + "' " + c.problem + "\n");
    ExpectNothingWritten();
  }
}

TEST_F(VevidavSplitTest, WritesTheOtherPiecesWhenOneCannotBeWritten) {
  WriteBytes(input_, NumberedLines(5));
  // A folder where piece 2 should go: it cannot be created, even by root.
  std::filesystem::create_directory(PiecePath(out_, 2));
  ProcessResult run = Split({Arg("-n2"), Arg("-d"), out_.native(), input_.native()});
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_EQ(run.out, "");
  std::string start = "vevidav-split: cannot write '" + Shown(PiecePath(out_, 2)) + "': ";
  ASSERT_EQ(run.err.rfind(start, 0), 0u) << run.err;
  std::size_t end = run.err.find('\n');
  EXPECT_GT(end, start.size()) << "the system's reason";
  EXPECT_EQ(run.err.substr(end + 1), "vevidav-split: incomplete: 2 pieces written in full to " +
                                         Shown(out_) + ", 1 not written\n");
  EXPECT_EQ(ReadBytes(PiecePath(out_, 1)), "1\r\n2");
  EXPECT_EQ(ReadBytes(PiecePath(out_, 3)), "5\r\n");
}

TEST_F(VevidavSplitTest, ListsTenFailedPiecesAndCountsTheRest) {
  WriteBytes(input_, NumberedLines(14));
  for (int k = 1; k <= 13; ++k) std::filesystem::create_directory(PiecePath(out_, k));
  ProcessResult run = Split({Arg("-n"), Arg("1"), Arg("-d"), out_.native(), input_.native()});
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_EQ(run.out, "");
  std::vector<std::string> lines;
  for (std::size_t at = 0; at < run.err.size();) {
    std::size_t end = run.err.find('\n', at);
    ASSERT_NE(end, std::string::npos);
    lines.push_back(run.err.substr(at, end - at));
    at = end + 1;
  }
  ASSERT_EQ(lines.size(), 12u) << run.err;
  for (int k = 1; k <= 10; ++k) {
    EXPECT_EQ(
        lines[k - 1].rfind("vevidav-split: cannot write '" + Shown(PiecePath(out_, k)) + "': ", 0),
        0u)
        << lines[k - 1];
  }
  EXPECT_EQ(lines[10],
            "vevidav-split: " + Shown(NativePath(u8"…")) + " and 3 more pieces not written");
  EXPECT_EQ(lines[11], "vevidav-split: incomplete: 1 piece written in full to " + Shown(out_) +
                           ", 13 not written");
  EXPECT_EQ(ReadBytes(PiecePath(out_, 14)), "14");
}

}  // namespace
}  // namespace vevidav::testing
