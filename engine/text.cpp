#include "engine/text.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

#include "engine/message.h"

namespace vevidav {
namespace {

bool IsHigh(unsigned char byte) { return byte >= 0x80; }

// Full-width forms of code page 936 that TextToInt reads as ASCII; 0 when the pair is not one.
unsigned char NarrowOfPair(unsigned char first, unsigned char second) {
  if (first == 0xA3 && second >= 0xA1 && second <= 0xFE) return second - 0x80;  // ！ to ￣
  if (first == 0xA1) {
    if (second == 0xA1) return 0x20;                    // ideographic space
    if (second == 0xAB) return 0x7E;                    // ～
    if (second == 0xEE || second == 0xEF) return 0x2A;  // ☆ ★
  }
  return 0;
}

}  // namespace

Text::Text(const char* zero_terminated) {
  if (zero_terminated != nullptr) bytes_.assign(zero_terminated);
}

Text::Text(std::string_view bytes) { bytes_.assign(bytes.substr(0, bytes.find('\0'))); }

Text& Text::operator+=(const Text& more) {
  bytes_.append(more.bytes_);
  return *this;
}

int CompareText(const Text& a, const Text& b) {
  std::size_t common = a.size() < b.size() ? a.size() : b.size();
  int order = common == 0 ? 0 : std::memcmp(a.data(), b.data(), common);  // unsigned bytes
  if (order == 0) order = a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
  return order < 0 ? -1 : order > 0 ? 1 : 0;
}

Text TextRight(const Text& t, int n) {
  if (n <= 0) return {};
  std::size_t count = static_cast<std::size_t>(n);
  return count >= t.size() ? t : Text(t.view().substr(t.size() - count));
}

Text ToLowerCase(const Text& t) {
  std::string lowered(t.view());
  for (std::size_t i = 0; i < lowered.size(); ++i) {
    unsigned char byte = static_cast<unsigned char>(lowered[i]);
    if (IsHigh(byte)) {
      ++i;  // the pair's second byte is not examined
    } else if (byte >= 'A' && byte <= 'Z') {
      lowered[i] = static_cast<char>(byte + 0x20);
    }
  }
  return Text(lowered);
}

std::int32_t TextToInt(const Text& t) {
  std::string narrow;
  narrow.reserve(t.size());
  for (std::size_t i = 0; i < t.size(); ++i) {
    unsigned char byte = t[i];
    if (!IsHigh(byte)) {
      narrow += static_cast<char>(byte);
      continue;
    }
    if (i + 1 == t.size()) break;  // a lone first byte at the end is dropped
    unsigned char second = t[++i];
    if (unsigned char ascii = NarrowOfPair(byte, second)) {
      narrow += static_cast<char>(ascii);
    } else {
      narrow += static_cast<char>(byte);
      narrow += static_cast<char>(second);
    }
  }

  std::size_t i = 0;
  while (i < narrow.size() && (narrow[i] == ' ' || (narrow[i] >= '\t' && narrow[i] <= '\r'))) ++i;
  bool negative = false;
  if (i < narrow.size() && (narrow[i] == '+' || narrow[i] == '-')) negative = narrow[i++] == '-';
  std::uint32_t value = 0;  // wraps modulo 2^32, as the count box's texts never need more
  for (; i < narrow.size() && narrow[i] >= '0' && narrow[i] <= '9'; ++i)
    value = value * 10u + static_cast<std::uint32_t>(narrow[i] - '0');
  if (negative) value = 0u - value;
  return static_cast<std::int32_t>(value);
}

Text IntToText(std::int32_t v) {
  char digits[16];
  int n = std::snprintf(digits, sizeof digits, "%d", static_cast<int>(v));
  return Text(std::string_view(digits, static_cast<std::size_t>(n)));
}

Text RealToText(double x) {
  char digits[40];
  int n = std::snprintf(digits, sizeof digits, "%.13g", x);
  return Text(std::string_view(digits, static_cast<std::size_t>(n)));
}

std::int32_t FloorToInt(double x) {
  double whole = 0;
  double fraction = std::modf(x, &whole);
  if (std::fabs(fraction) > 0.999999999999) x = x > 0 ? whole + 1 : whole - 1;
  double floored = std::floor(x);
  // Callers pass values that fit; clamp the rest rather than convert out of range.
  if (!(floored >= std::numeric_limits<std::int32_t>::min()))
    return std::numeric_limits<std::int32_t>::min();
  if (floored > std::numeric_limits<std::int32_t>::max())
    return std::numeric_limits<std::int32_t>::max();
  return static_cast<std::int32_t>(floored);
}

double Remainder(double a, double b) {
  if (b == 0)
    ReportRuntimeError("\xB2\xBB\xC4\xDC\xC7\xF3\xD3\xE0\xCA\xFD\xD3\xDA\xC1\xE3", 0, 0,
                       0);  // 不能求余数于零
  return std::fmod(a, b);   // a - trunc(a / b) * b, exactly
}

TextArray SplitText(const Text& t, const Text& delimiter) {
  TextArray parts;
  if (t.empty()) return parts;
  std::string_view text = t.view();
  std::string_view d = delimiter.view();
  if (d.empty()) {
    parts.push_back(t);
    return parts;
  }
  std::size_t start = 0;  // where the next element begins
  std::size_t scan = 0;   // where the search goes on; it starts a character when at_start
  bool at_start = true;
  for (;;) {
    std::size_t found = text.find(d, scan);
    if (found == std::string_view::npos) break;
    if (!StartsCharacter(text.data(), scan, found, at_start)) {
      // The match begins inside a pair: its first byte is that pair's second byte.
      scan = found + 1;
      at_start = true;
      continue;
    }
    parts.push_back(Text(text.substr(start, found - start)));
    scan = start = found + d.size();
    at_start = true;
  }
  if (start < text.size()) parts.push_back(Text(text.substr(start)));
  return parts;
}

Text BytesToText(std::span<const char> buffer) {
  return Text(std::string_view(buffer.data(), buffer.size()));
}

ByteBuffer TextToBytes(const Text& t) { return ByteBuffer(t.data(), t.data() + t.size()); }

}  // namespace vevidav
