#include "cli/options.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <vector>

namespace vevidav::cli {
namespace {

// Arguments written as UTF-8 in the tables, handed over as the system would (UTF-16 on Windows).
Argument Arg(const char* utf8) {
  return NativePath(std::u8string(reinterpret_cast<const char8_t*>(utf8))).native();
}

std::vector<Argument> Args(const std::vector<const char*>& utf8) {
  std::vector<Argument> args;
  args.reserve(utf8.size());
  for (const char* a : utf8) args.push_back(Arg(a));
  return args;
}

std::string Name(std::string text) {
  for (char& c : text) {
    if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
  }
  return text;
}

struct AcceptedCase {
  const char* name;
  std::vector<const char*> args;
  std::int64_t lines;
  const char* output_dir;
  const char* input;
};

void PrintTo(const AcceptedCase& c, std::ostream* os) { *os << c.name; }

class AcceptedTest : public ::testing::TestWithParam<AcceptedCase> {};

TEST_P(AcceptedTest, GivesTheSplit) {
  const AcceptedCase& c = GetParam();
  CommandLine command = ParseCommandLine(Args(c.args));
  ASSERT_EQ(command.action, CommandLine::Action::kSplit) << command.error;
  EXPECT_EQ(command.lines, c.lines);
  EXPECT_EQ(command.output_dir.native(), Arg(c.output_dir));
  EXPECT_EQ(command.input.native(), Arg(c.input));
}

INSTANTIATE_TEST_SUITE_P(
    CommandLine, AcceptedTest,
    ::testing::Values(
        AcceptedCase{"defaults", {"f.txt"}, 3000, ".", "f.txt"},
        AcceptedCase{"short_separate", {"-n", "500", "f"}, 500, ".", "f"},
        AcceptedCase{"short_glued", {"-n500", "f"}, 500, ".", "f"},
        AcceptedCase{"long_separate", {"--lines", "500", "f"}, 500, ".", "f"},
        AcceptedCase{"long_equals", {"--lines=500", "f"}, 500, ".", "f"},
        AcceptedCase{"one_line", {"-n", "1", "f"}, 1, ".", "f"},
        AcceptedCase{"largest", {"-n", "2147483647", "f"}, 2147483647, ".", "f"},
        AcceptedCase{"leading_zeros", {"-n", "000000000000500", "f"}, 500, ".", "f"},
        AcceptedCase{"dir_short_separate", {"-d", "out", "f"}, 3000, "out", "f"},
        AcceptedCase{"dir_short_glued", {"-dout", "f"}, 3000, "out", "f"},
        AcceptedCase{"dir_long_separate", {"--output-dir", "out", "f"}, 3000, "out", "f"},
        AcceptedCase{"dir_long_equals", {"--output-dir=out", "f"}, 3000, "out", "f"},
        AcceptedCase{"dir_that_looks_like_an_option", {"-d", "-n", "f"}, 3000, "-n", "f"},
        AcceptedCase{"options_after_the_file", {"f", "-n", "7", "-d", "o"}, 7, "o", "f"},
        AcceptedCase{"last_one_counts", {"-n", "5", "f", "--lines=6"}, 6, ".", "f"},
        AcceptedCase{"dash_is_a_file", {"-"}, 3000, ".", "-"},
        AcceptedCase{"double_dash_ends_options", {"-n", "2", "--", "-d"}, 2, ".", "-d"},
        AcceptedCase{"chinese_names",
                     {"-d", "输出 目录", "库存清单.txt"},
                     3000,
                     "输出 目录",
                     "库存清单.txt"}),
    [](const auto& info) { return std::string(info.param.name); });

struct RefusedCase {
  const char* name;
  std::vector<const char*> args;
  const char* error;
};

void PrintTo(const RefusedCase& c, std::ostream* os) { *os << c.name; }

class RefusedTest : public ::testing::TestWithParam<RefusedCase> {};

TEST_P(RefusedTest, IsAUsageError) {
  const RefusedCase& c = GetParam();
  CommandLine command = ParseCommandLine(Args(c.args));
  EXPECT_EQ(command.action, CommandLine::Action::kUsageError);
  // Messages are in the console's code page, so a Chinese argument shows as on Windows it would.
  EXPECT_EQ(command.error, ConsoleText(NativePath(Arg(c.error))));
}

#define BAD_LINES(v) \
  "invalid number of lines '" v "': give a whole number from 1 to 2147483647, digits only"

INSTANTIATE_TEST_SUITE_P(
    CommandLine, RefusedTest,
    ::testing::Values(
        RefusedCase{"nothing", {}, "no file to split"},
        RefusedCase{"only_options", {"-n", "5", "-d", "o"}, "no file to split"},
        RefusedCase{"two_files", {"a", "b"}, "one file at a time: extra operand 'b'"},
        RefusedCase{"two_files_after_double_dash",
                    {"--", "a", "-b"},
                    "one file at a time: extra operand '-b'"},
        RefusedCase{"empty_file_name", {""}, "the file name is empty"},
        RefusedCase{"unknown_short", {"-x", "f"}, "unknown option '-x'"},
        RefusedCase{"unknown_long", {"--verbose", "f"}, "unknown option '--verbose'"},
        RefusedCase{"unknown_long_with_value", {"--foo=1", "f"}, "unknown option '--foo'"},
        RefusedCase{"long_name_run_on", {"--lines5", "f"}, "unknown option '--lines5'"},
        RefusedCase{"help_glued", {"-hx"}, "unknown option '-hx'"},
        RefusedCase{"help_with_value", {"--help=1"}, "option '--help' takes no value"},
        RefusedCase{"version_with_value", {"--version=1"}, "option '--version' takes no value"},
        RefusedCase{"short_lines_at_end", {"f", "-n"}, "option '-n' needs a value"},
        RefusedCase{"long_lines_at_end", {"f", "--lines"}, "option '--lines' needs a value"},
        RefusedCase{"short_dir_at_end", {"f", "-d"}, "option '-d' needs a value"},
        RefusedCase{
            "long_dir_at_end", {"f", "--output-dir"}, "option '--output-dir' needs a value"},
        RefusedCase{"empty_dir", {"-d", "", "f"}, "the output folder name is empty"},
        RefusedCase{"empty_dir_equals", {"--output-dir=", "f"}, "the output folder name is empty"},
        RefusedCase{"zero", {"-n", "0", "f"}, BAD_LINES("0")},
        RefusedCase{"zeros", {"-n", "000", "f"}, BAD_LINES("000")},
        RefusedCase{"negative", {"-n", "-5", "f"}, BAD_LINES("-5")},
        RefusedCase{"plus_sign", {"-n", "+7", "f"}, BAD_LINES("+7")},
        RefusedCase{"leading_space", {"-n", " 7", "f"}, BAD_LINES(" 7")},
        RefusedCase{"trailing_space", {"-n", "7 ", "f"}, BAD_LINES("7 ")},
        RefusedCase{"fraction", {"-n", "3.5", "f"}, BAD_LINES("3.5")},
        RefusedCase{"trailing_letters", {"-n", "12abc", "f"}, BAD_LINES("12abc")},
        RefusedCase{"exponent", {"-n", "1e3", "f"}, BAD_LINES("1e3")},
        RefusedCase{"hexadecimal", {"-n", "0x10", "f"}, BAD_LINES("0x10")},
        RefusedCase{"full_width_digits", {"-n", "５００", "f"}, BAD_LINES("５００")},
        RefusedCase{"empty_count", {"-n", "", "f"}, BAD_LINES("")},
        RefusedCase{"empty_count_equals", {"--lines=", "f"}, BAD_LINES("")},
        RefusedCase{"one_too_many", {"-n", "2147483648", "f"}, BAD_LINES("2147483648")},
        RefusedCase{"far_too_many", {"-n", "99999999999", "f"}, BAD_LINES("99999999999")},
        RefusedCase{"beyond_64_bits",
                    {"-n", "99999999999999999999999", "f"},
                    BAD_LINES("99999999999999999999999")},
        RefusedCase{"file_taken_as_count", {"-n", "f"}, BAD_LINES("f")},
        RefusedCase{"first_problem_wins", {"-x", "--help"}, "unknown option '-x'"}),
    [](const auto& info) { return std::string(info.param.name); });

struct ActionCase {
  std::vector<const char*> args;
  CommandLine::Action action;
};

void PrintTo(const ActionCase& c, std::ostream* os) { *os << c.args.size() << " arguments"; }

class ActionTest : public ::testing::TestWithParam<ActionCase> {};

TEST_P(ActionTest, HelpAndVersionWinOverWhatFollows) {
  EXPECT_EQ(ParseCommandLine(Args(GetParam().args)).action, GetParam().action);
}

INSTANTIATE_TEST_SUITE_P(
    CommandLine, ActionTest,
    ::testing::Values(ActionCase{{"--help"}, CommandLine::Action::kHelp},
                      ActionCase{{"-h"}, CommandLine::Action::kHelp},
                      ActionCase{{"--version"}, CommandLine::Action::kVersion},
                      ActionCase{{"f", "-n", "5", "--version"}, CommandLine::Action::kVersion},
                      ActionCase{{"--help", "-n", "0", "a", "b"}, CommandLine::Action::kHelp},
                      ActionCase{{"--", "--help"}, CommandLine::Action::kSplit}),
    [](const auto& info) {
      std::string name;
      for (const char* a : info.param.args) name += Name(a) + "_";
      return name;
    });

TEST(VersionText, IsTheProductVersion) { EXPECT_EQ(VersionText(), "vevidav-split 2.0.0.4\n"); }

}  // namespace
}  // namespace vevidav::cli
