#include "engine/text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/message.h"
#include "tests/support/support.h"

namespace vevidav {
namespace {

Text T(std::string_view bytes) { return Text(bytes); }

std::vector<std::string> Parts(const TextArray& parts) {
  std::vector<std::string> out;
  for (const auto& p : parts) out.emplace_back(p.view());
  return out;
}

TEST(TextValue, EndsAtTheFirstZeroByteAndEmptyEqualsAbsent) {
  EXPECT_EQ(Text(std::string_view("ab\0cd", 5)).view(), "ab");
  EXPECT_EQ(Text(nullptr), Text());
  EXPECT_EQ(Text(""), Text());
  EXPECT_TRUE(Text(std::string_view("\0x", 2)).empty());
}

struct CompareCase {
  std::string a, b;
  int expected;
};

TEST(CompareText, OrdersBytesAsUnsigned) {
  const CompareCase cases[] = {
      {"", "", 0},      {"abc", "abc", 0}, {"abc", "abcd", -1}, {"abcd", "abc", 1}, {"a", "b", -1},
      {"\x80", "z", 1}, {"z", "\xFF", -1}, {"", "a", -1},       {"TXT", "txt", -1},
  };
  for (const auto& c : cases)
    EXPECT_EQ(CompareText(T(c.a), T(c.b)), c.expected) << '"' << c.a << "\" vs \"" << c.b << '"';
  EXPECT_EQ(CompareText(Text(), Text(nullptr)), 0);
}

TEST(TextRight, CountsBytes) {
  const struct {
    std::string t;
    int n;
    std::string expected;
  } cases[] = {
      {"txt.TXT", 3, "TXT"}, {"txt.TXT", 0, ""}, {"txt.TXT", 99, "txt.TXT"},
      {"txt.TXT", -2, ""},   {"ab", 3, "ab"},    {"\xB0\xA1\xB0\xA1", 3, "\xA1\xB0\xA1"},
      {"", 3, ""},
  };
  for (const auto& c : cases)
    EXPECT_EQ(TextRight(T(c.t), c.n).view(), c.expected) << c.t << ' ' << c.n;
}

TEST(ToLowerCase, LowersAsciiCapitalsAndSkipsPairs) {
  const struct {
    std::string t, expected;
  } cases[] = {
      {"FILE.TXT", "file.txt"},
      {"\xB0\xC1\x41", "\xB0\xC1\x61"},  // C1 is B0's second byte, the final A is lowered
      {"\xB0\x41", "\xB0\x41"},          // a capital as second byte stays
      {"AZ[@`az", "az[@`az"},            // only A to Z move
      {"X\xB0", "x\xB0"},                // a lone first byte at the end
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(ToLowerCase(T(c.t)).view(), c.expected) << c.t;
}

TEST(TextToInt, ParsesNormalisedDigitsAndWraps) {
  const struct {
    std::string t;
    std::int32_t expected;
  } cases[] = {
      {"42", 42},
      {"\t-7x", -7},
      {"+0012", 12},
      {"\xA3\xB5\xA3\xB0", 50},  // full-width 5 and 0
      {"\xA1\xA1\x39", 9},       // ideographic space, then 9
      {"12\xA3\xAB\x33", 12},    // full-width plus ends the digits
      {"\xA3\xAD\x38", -8},      // full-width minus
      {"2147483648", -2147483647 - 1},
      {"4294967297", 1},
      {"-2147483648", -2147483647 - 1},
      {"", 0},
      {"abc", 0},
      {" \r\n\v\f3000", 3000},
      {"- 5", 0},           // the sign must touch the digits
      {"3000\xB0", 3000},   // a lone first byte at the end is dropped
      {"\xB0\xA1\x35", 0},  // an ordinary character is not white space
      {"\xA1\xEF\x35", 0},  // ★ becomes *, not a digit
  };
  for (const auto& c : cases) EXPECT_EQ(TextToInt(T(c.t)), c.expected) << c.t;
}

TEST(NumberTexts, FormatLikePrintf) {
  EXPECT_EQ(IntToText(0).view(), "0");
  EXPECT_EQ(IntToText(-2147483647 - 1).view(), "-2147483648");
  EXPECT_EQ(IntToText(3000).view(), "3000");
  const struct {
    double x;
    const char* expected;
  } reals[] = {{3.0, "3"},
               {-2.0, "-2"},
               {4.0, "4"},
               {0.5, "0.5"},
               {1e13, "1e+13"},
               {9999999999999.0, "9999999999999"},
               {1.0 / 3, "0.3333333333333"}};
  for (const auto& r : reals) EXPECT_EQ(RealToText(r.x).view(), r.expected) << r.x;
}

TEST(FloorToInt, SnapsNearWholeNumbers) {
  const struct {
    double x;
    std::int32_t expected;
  } cases[] = {
      {2.5, 2}, {-2.5, -3}, {2.9999999999995, 3}, {2.999999999, 2},          {-2.9999999999995, -3},
      {0.0, 0}, {7.0, 7},   {-0.5, -1},           {2147483647.0, 2147483647}};
  for (const auto& c : cases) EXPECT_EQ(FloorToInt(c.x), c.expected) << c.x;
}

TEST(Remainder, KeepsTheSignOfTheDividend) {
  const struct {
    double a, b, expected;
  } cases[] = {{7, 3, 1}, {-7, 3, -1}, {7, -3, 1}, {6, 3, 0}, {3000, 3000, 0}, {2999, 3000, 2999}};
  for (const auto& c : cases) EXPECT_EQ(Remainder(c.a, c.b), c.expected) << c.a << " % " << c.b;
}

struct SplitCase {
  const char* name;
  std::string text;
  std::string delimiter;
  std::vector<std::string> parts;
};

class SplitTextTest : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitTextTest, Splits) {
  const auto& c = GetParam();
  EXPECT_EQ(Parts(SplitText(T(c.text), T(c.delimiter))), c.parts);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SplitTextTest,
    ::testing::Values(
        SplitCase{"BlankLineInside", "a\r\n\r\nb", "\r\n", {"a", "", "b"}},
        SplitCase{"JustCrLf", "\r\n", "\r\n", {""}},
        SplitCase{"FinalCrLfAddsNothing", "a\r\n", "\r\n", {"a"}},
        SplitCase{"NoDelimiter", "a", "\r\n", {"a"}}, SplitCase{"Empty", "", "\r\n", {}},
        SplitCase{"AfterPair", "\xB0\xA1\r\nx", "\r\n", {"\xB0\xA1", "x"}},
        SplitCase{"OddHighRunTakesCr", "\xE4\xB8\xAD\r\nx", "\r\n", {"\xE4\xB8\xAD\r\nx"}},
        SplitCase{"LfOrCrAloneIsNoLineEnd", "a\nb\rc", "\r\n", {"a\nb\rc"}},
        SplitCase{"CrCrLf", "a\r\r\nb", "\r\n", {"a\r", "b"}},
        SplitCase{"OtherDelimiter", "a|b||c|", "|", {"a", "b", "", "c"}},
        SplitCase{"DelimiterInsidePairSkipped", "\xB0|a|b", "|", {"\xB0|a", "b"}},
        SplitCase{"HighDelimiter", "a\xB0\xA1\x62\xB0\xA1", "\xB0\xA1", {"a", "b"}},
        SplitCase{"HighDelimiterOffBoundary",
                  "\xC1\xB0\xA1\xB0\xA1\x62",
                  "\xB0\xA1",
                  {"\xC1\xB0\xA1\xB0\xA1\x62"}},
        SplitCase{"HighDelimiterAfterPair", "\xC1\xC1\xB0\xA1\x62", "\xB0\xA1", {"\xC1\xC1", "b"}},
        SplitCase{"OverlappingDelimiter", "aaa", "aa", {"", "a"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Bytes, TextEndsAtZeroAndBytesHaveNoTerminator) {
  const char with_zero[] = {'a', '\0', 'b'};
  EXPECT_EQ(BytesToText(with_zero).view(), "a");
  const char leading_zero[] = {'\0', 'a'};
  EXPECT_TRUE(BytesToText(leading_zero).empty());
  EXPECT_TRUE(BytesToText({}).empty());
  ByteBuffer bytes = TextToBytes("abc");
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "abc");
  EXPECT_TRUE(TextToBytes(Text()).empty());
}

}  // namespace
}  // namespace vevidav
