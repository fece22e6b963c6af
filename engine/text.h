#pragma once
// Texts, byte buffers and the text and number operations that the split command and the window
// are written in. A Text is bytes in the system's ANSI code page and never holds a zero byte.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "engine/memory.h"

namespace vevidav {

class Text {
 public:
  Text() = default;
  Text(const char* zero_terminated);  // NOLINT(google-explicit-constructor): texts are literals
  // Takes the bytes up to the first zero byte, if any.
  explicit Text(std::string_view bytes);

  const char* c_str() const { return bytes_.c_str(); }
  const char* data() const { return bytes_.data(); }
  std::size_t size() const { return bytes_.size(); }
  bool empty() const { return bytes_.empty(); }
  std::string_view view() const { return {bytes_.data(), bytes_.size()}; }
  operator std::string_view() const { return view(); }  // NOLINT(google-explicit-constructor)
  unsigned char operator[](std::size_t i) const { return static_cast<unsigned char>(bytes_[i]); }

  Text& operator+=(const Text& more);
  friend Text operator+(Text a, const Text& b) { return a += b; }
  friend bool operator==(const Text& a, const Text& b) { return a.view() == b.view(); }

 private:
  std::basic_string<char, std::char_traits<char>, ResultAllocator<char>> bytes_;
};

using ByteBuffer = std::vector<char, ResultAllocator<char>>;
using TextArray = std::vector<Text, ResultAllocator<Text>>;

// -1, 0 or 1, comparing bytes as unsigned values; a text that ends first is the smaller.
int CompareText(const Text& a, const Text& b);
// The last n bytes (all of t when n reaches its length, empty when n <= 0).
Text TextRight(const Text& t, int n);
// ASCII capitals lowered; a byte of 0x80 or above and the byte after it are left alone.
Text ToLowerCase(const Text& t);
// Full-width forms normalised, then white space, sign and digits, wrapping modulo 2^32.
std::int32_t TextToInt(const Text& t);
Text IntToText(std::int32_t v);
// "%.13g".
Text RealToText(double x);
// Floor, after snapping values within about 1e-12 of a whole number onto it.
std::int32_t FloorToInt(double x);
// a - trunc(a / b) * b; a zero divisor ends the program with the runtime error report.
double Remainder(double a, double b);
// Splits at every delimiter found on a character boundary (pair rule); no empty last element.
TextArray SplitText(const Text& t, const Text& delimiter);
// The bytes up to the first zero byte.
Text BytesToText(std::span<const char> buffer);
ByteBuffer TextToBytes(const Text& t);

// The pair rule: walking a text, every byte of 0x80 or above takes the byte after it as the second
// byte of a two-byte character. Given whether position `from` starts a character, says whether
// position `to` (from <= to) does. Only the run of high bytes just before `to` is looked at: the
// position after any byte below 0x80 always starts a character.
bool StartsCharacter(const char* data, std::size_t from, std::size_t to, bool from_starts);

// Finds CR LF line ends under the pair rule in a stream of blocks; the streaming splitter's scan.
class LineEndScanner {
 public:
  static constexpr std::size_t kNone = static_cast<std::size_t>(-1);

  // Looks for the next line end in data[from, size). `data` continues the stream where the last
  // call left it: either the same block with `from` at the value last returned, or the next block
  // with `from` 0 after a call that returned kNone. Returns the offset just past the LF; that is
  // 1 when the CR was the last byte of the previous block. Returns kNone when the block holds no
  // further line end; then the whole rest of the block has been taken in.
  std::size_t Next(const char* data, std::size_t size, std::size_t from);

  // As Next, but takes in line ends until `wanted` (at least 1) have been found or the block is
  // used up, and gives how many were found; `*last_end` is set just past the last one found.
  // Fewer than `wanted` means the whole rest of the block has been taken in. The splitter only
  // needs every Nth line end, so it counts them in bulk.
  std::int64_t Skip(const char* data, std::size_t size, std::size_t from, std::int64_t wanted,
                    std::size_t* last_end);

  // After kNone: the block's last byte is a CR that starts a character, so it begins a line end
  // if the next block starts with LF.
  bool EndsInCarriageReturn() const { return pending_cr_; }

 private:
  bool at_start_ = true;  // the position where the next call begins starts a character
  bool pending_cr_ = false;
};

}  // namespace vevidav
