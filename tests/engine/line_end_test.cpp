#include <gtest/gtest.h>

#include <algorithm>
#include <random>
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

// The pair rule walked byte by byte, as plainly as it reads: offsets just past each CR LF.
std::vector<std::size_t> WalkedLineEnds(const std::string& bytes) {
  std::vector<std::size_t> ends;
  for (std::size_t p = 0; p + 1 < bytes.size();) {
    if (bytes[p] == '\r' && bytes[p + 1] == '\n') {
      ends.push_back(p += 2);
    } else {
      p += static_cast<unsigned char>(bytes[p]) >= 0x80 ? 2 : 1;
    }
  }
  return ends;
}

// Every `wanted`-th line end and the count of all, as the splitter takes them with Skip.
std::pair<std::vector<std::size_t>, std::int64_t> SkippedLineEnds(const std::string& bytes,
                                                                  std::size_t block,
                                                                  std::int64_t wanted) {
  LineEndScanner scanner;
  std::vector<std::size_t> ends;
  std::int64_t count = 0;
  std::int64_t pending = 0;  // found towards the next `wanted`
  for (std::size_t base = 0; base < bytes.size(); base += block) {
    std::size_t size = std::min(block, bytes.size() - base);
    for (std::size_t at = 0;;) {
      std::size_t last = 0;
      std::int64_t found = scanner.Skip(bytes.data() + base, size, at, wanted - pending, &last);
      count += found;
      if (found < wanted - pending) {
        pending += found;
        break;
      }
      ends.push_back(base + last);
      pending = 0;
      at = last;
    }
  }
  return {ends, count};
}

// Long blocks take the wide search; compare it with the plain walk on random bytes made of line
// ends, lone CRs and LFs, and high bytes in runs of every length.
TEST(LineEndScanner, SkipAgreesWithTheWalkOnRandomBlocks) {
  std::mt19937 random(2020);
  const char alphabet[] = {'a', '\r', '\n', '\r', '\n', '\xB0', '\xA1', '\xE4', '7'};
  for (int round = 0; round < 300; ++round) {
    std::string bytes(random() % 700, 'x');
    for (char& byte : bytes) byte = alphabet[random() % sizeof alphabet];
    std::vector<std::size_t> all = WalkedLineEnds(bytes);
    for (std::size_t block : {1, 5, 63, 64, 65, 66, 129, 200, 4096}) {
      for (std::int64_t wanted : {1, 2, 3, 1000}) {
        std::vector<std::size_t> every;
        for (std::size_t i = static_cast<std::size_t>(wanted); i <= all.size(); i += wanted)
          every.push_back(all[i - 1]);
        auto [ends, count] = SkippedLineEnds(bytes, block, wanted);
        ASSERT_EQ(ends, every) << "round " << round << ", block " << block << ", wanted " << wanted;
        ASSERT_EQ(count, static_cast<std::int64_t>(all.size()));
      }
    }
  }
}

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
