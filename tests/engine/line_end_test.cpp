#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/text.h"

namespace vevidav {
namespace {

// Offsets just past each line end, found with the stream cut into blocks of `block` bytes.
std::vector<std::size_t> LineEnds(const std::string& bytes, std::size_t block) {
  LineEndScanner scanner;
  std::vector<std::size_t> ends;
  for (std::size_t base = 0; base < bytes.size(); base += block) {
    std::size_t size = std::min(block, bytes.size() - base);
    for (std::size_t at = 0;;) {
      at = scanner.Next(bytes.data() + base, size, at);
      if (at == LineEndScanner::kNone) break;
      ends.push_back(base + at);
    }
  }
  return ends;
}

struct LineEndCase {
  const char* name;
  std::string bytes;
  std::vector<std::size_t> ends;
};

class LineEndTest : public ::testing::TestWithParam<LineEndCase> {};

TEST_P(LineEndTest, SameEndsForEveryBlockSize) {
  const auto& c = GetParam();
  for (std::size_t block = 1; block <= c.bytes.size() + 1; ++block)
    EXPECT_EQ(LineEnds(c.bytes, block), c.ends) << "block size " << block;
}

INSTANTIATE_TEST_SUITE_P(
    PairRule, LineEndTest,
    ::testing::Values(LineEndCase{"Ascii", "a\r\nb\r\nc", {3, 6}},
                      LineEndCase{"LoneCrAndLf", "a\rb\nc\r\r\n", {8}},
                      LineEndCase{"PairThenCrLf", "\xB0\xA1\r\nx", {4}},
                      LineEndCase{"OddRunSwallowsCr", "\xE4\xB8\xAD\r\nx", {}},
                      LineEndCase{"PairWithLowTrailByte", "\xB0\x41\r\n", {4}},
                      LineEndCase{"CrAsTrailThenCrLf", "\xAD\r\r\n", {4}},
                      LineEndCase{"HighRunAfterLineEnd", "\r\n\xB0\xA1\xB0\r\n\r\n", {2, 9}},
                      LineEndCase{"EmptyLines", "\r\n\r\n", {2, 4}},
                      LineEndCase{"TrailingCr", "a\r", {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(StartsCharacter, FollowsThePairsFromAKnownStart) {
  const char* bytes = "\xB0\xA1\xB0x";
  EXPECT_TRUE(StartsCharacter(bytes, 0, 2, true));
  EXPECT_FALSE(StartsCharacter(bytes, 0, 3, true));
  EXPECT_TRUE(StartsCharacter(bytes, 1, 2, false));  // position 1 is A1, a second byte
  EXPECT_FALSE(StartsCharacter(bytes, 1, 3, false));
  EXPECT_FALSE(StartsCharacter(bytes, 0, 0, false));
  EXPECT_TRUE(StartsCharacter(bytes, 0, 4, false));  // after x, whatever came before
}

}  // namespace
}  // namespace vevidav
