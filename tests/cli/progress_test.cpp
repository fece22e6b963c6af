#include "cli/progress.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace vevidav::cli {
namespace {

constexpr std::uint64_t kMiB = std::uint64_t{1024} * 1024;
constexpr std::uint64_t kGiB = 1024 * kMiB;

struct SizeCase {
  std::uint64_t bytes;
  const char* shown;
};

void PrintTo(const SizeCase& c, std::ostream* os) { *os << c.bytes; }

class FormatSizeTest : public ::testing::TestWithParam<SizeCase> {};

TEST_P(FormatSizeTest, PicksTheUnit) { EXPECT_EQ(FormatSize(GetParam().bytes), GetParam().shown); }

INSTANTIATE_TEST_SUITE_P(Units, FormatSizeTest,
                         ::testing::Values(SizeCase{0, "0 B"}, SizeCase{1023, "1023 B"},
                                           SizeCase{1024, "1.0 KiB"}, SizeCase{3584, "3.5 KiB"},
                                           SizeCase{kMiB, "1.0 MiB"},
                                           SizeCase{462661222, "441.2 MiB"},
                                           SizeCase{kGiB, "1.00 GiB"},
                                           SizeCase{5 * kGiB + kGiB / 4, "5.25 GiB"}));

struct ProgressCase {
  const char* name;
  std::uint64_t done;
  std::uint64_t total;
  double seconds;
  const char* shown;
};

void PrintTo(const ProgressCase& c, std::ostream* os) { *os << c.name; }

class FormatProgressTest : public ::testing::TestWithParam<ProgressCase> {};

TEST_P(FormatProgressTest, ShowsPercentBytesAndSpeed) {
  const ProgressCase& c = GetParam();
  EXPECT_EQ(FormatProgress(c.done, c.total, c.seconds), c.shown);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, FormatProgressTest,
    ::testing::Values(
        ProgressCase{"typical", 462661222, kGiB, 462661222.0 / (812 * kMiB),
                     " 43%  441.2 MiB / 1.00 GiB  812 MiB/s"},
        // 99.99% is not done yet.
        ProgressCase{"rounds_down", kGiB - 1, kGiB, 1.0, " 99%  1024.0 MiB / 1.00 GiB  1024 MiB/s"},
        ProgressCase{"done", kGiB, kGiB, 2.0, "100%  1.00 GiB / 1.00 GiB  512 MiB/s"},
        ProgressCase{"slow", std::uint64_t{300} * 1024, std::uint64_t{600} * 1024, 3.0,
                     " 50%  300.0 KiB / 600.0 KiB  100 KiB/s"},
        ProgressCase{"crawling", 9, 18, 1.5, " 50%  9 B / 18 B  6 B/s"},
        // A pipe has no size, and a file can grow while it is read.
        ProgressCase{"size_unknown", 3 * kMiB, 0, 1.5, "      3.0 MiB  2 MiB/s"},
        ProgressCase{"grown_past_size", 3 * kMiB, kMiB, 1.5, "      3.0 MiB  2 MiB/s"},
        ProgressCase{"huge", 5 * kGiB, 10 * kGiB, 10.0, " 50%  5.00 GiB / 10.00 GiB  512 MiB/s"}),
    [](const auto& info) { return std::string(info.param.name); });

// What a ProgressLine wrote to its stream.
class ProgressLineTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_NE(file_, nullptr); }
  void TearDown() override {
    if (file_ != nullptr) std::fclose(file_);
  }
  std::string Written() {
    std::fflush(file_);
    std::rewind(file_);
    std::string text;
    int c;
    while ((c = std::fgetc(file_)) != EOF) text += static_cast<char>(c);
    return text;
  }
  std::FILE* file_ = std::tmpfile();
};

using Clock = ProgressLine::Clock;
using std::chrono::milliseconds;

TEST_F(ProgressLineTest, WritesNothingForAShortJob) {
  {
    ProgressLine line(true, file_);
    line.Update(kMiB, kGiB, Clock::now() + milliseconds(900));
  }
  EXPECT_EQ(Written(), "");
}

TEST_F(ProgressLineTest, WritesNothingWhenNotEnabled) {
  {
    ProgressLine line(false, file_);
    line.Update(kMiB, kGiB, Clock::now() + milliseconds(5000));
  }
  EXPECT_EQ(Written(), "");
}

TEST_F(ProgressLineTest, RewritesOneLineAtIntervalsAndClearsIt) {
  auto start = Clock::now();
  {
    ProgressLine line(true, file_);
    line.Update(kGiB / 2, kGiB, start + milliseconds(2000));
    // Too soon after the last one: skipped.
    line.Update(kGiB / 2 + kMiB, kGiB, start + milliseconds(2100));
    line.Update(kGiB, kGiB, start + milliseconds(4000));
  }
  std::string text = Written();
  // Nothing but carriage returns between the updates and no new line: one line on screen.
  EXPECT_EQ(text.find('\n'), std::string::npos) << text;
  EXPECT_NE(text.find("\r 50%  512.0 MiB / 1.00 GiB"), std::string::npos) << text;
  EXPECT_EQ(text.find(" 50%  513.0 MiB"), std::string::npos) << text;
  std::size_t last = text.find("\r100%  1.00 GiB / 1.00 GiB");
  ASSERT_NE(last, std::string::npos) << text;
  // Cleared at the end: the last thing written blanks the line and returns to its start.
  std::size_t clear = text.find('\r', last + 1);
  ASSERT_NE(clear, std::string::npos) << text;
  std::string blanks = text.substr(clear + 1);
  ASSERT_FALSE(blanks.empty());
  EXPECT_EQ(blanks.back(), '\r');
  blanks.pop_back();
  EXPECT_EQ(blanks, std::string(blanks.size(), ' '));
  std::string shown = text.substr(last + 1, clear - last - 1);
  EXPECT_GE(blanks.size(), shown.find_last_not_of(' ') + 1) << "blanks all of " << shown;
}

TEST_F(ProgressLineTest, BlanksTheRestOfALongerLineBefore) {
  auto start = Clock::now();
  ProgressLine line(true, file_);
  line.Update(999 * kMiB, kGiB, start + milliseconds(1500));  // " 97%  999.0 MiB / 1.00 GiB ..."
  line.Update(kGiB + 1, 0, start + milliseconds(3000));       // "      1.00 GiB ...", shorter
  std::string text = Written();
  std::size_t second = text.rfind('\r');
  std::size_t first_length = second - 1;
  EXPECT_EQ(text.size() - second - 1, first_length) << text;
  EXPECT_EQ(text.back(), ' ') << text;
}

}  // namespace
}  // namespace vevidav::cli
