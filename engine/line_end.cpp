#include <cstdint>
#include <cstring>

#include "engine/text.h"

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace vevidav {

bool StartsCharacter(const char* data, std::size_t from, std::size_t to, bool from_starts) {
  std::size_t run_start = to;
  while (run_start > from && static_cast<unsigned char>(data[run_start - 1]) >= 0x80) --run_start;
  std::size_t run = to - run_start;
  // The run is preceded by a byte below 0x80, or by `from` itself when it starts a character:
  // it then starts on a character and pairs up from its first byte.
  if (run_start > from || from_starts) return run % 2 == 0;
  // `from` is the second byte of a pair, so the run pairs up from its second byte.
  return run > 0 && (run - 1) % 2 == 0;
}

std::size_t LineEndScanner::Next(const char* data, std::size_t size, std::size_t from) {
  std::size_t end = kNone;
  return Skip(data, size, from, 1, &end) == 1 ? end : kNone;
}

std::int64_t LineEndScanner::Skip(const char* data, std::size_t size, std::size_t from,
                                  std::int64_t wanted, std::size_t* last_end) {
  std::int64_t found = 0;
  if (size == 0) return found;
  if (from == 0 && pending_cr_) {
    pending_cr_ = false;
    if (data[0] == '\n') {
      at_start_ = true;
      *last_end = from = 1;
      if (++found == wanted) return found;
    }
  }
  // `scan` is where the pair rule was last known to hold: at_start_ says whether it starts a
  // character. Each CR LF found is a line end when its CR starts a character.
  std::size_t scan = from;
  auto take = [&](std::size_t cr) {
    bool starts = StartsCharacter(data, scan, cr, at_start_);
    // Whether the CR starts a character or ends a pair, the position after it starts one.
    at_start_ = true;
    scan = starts ? cr + 2 : cr + 1;
    if (starts) {
      *last_end = scan;
      ++found;
    }
  };

  std::size_t p = from;
#ifdef __SSE2__
  // Lines are short: test 64 positions for CR-followed-by-LF at a time rather than start a
  // search per line.
  const __m128i cr = _mm_set1_epi8('\r');
  const __m128i lf = _mm_set1_epi8('\n');
  for (; p + 65 <= size; p += 64) {
    std::uint64_t candidates = 0;
    for (int k = 0; k < 4; ++k) {
      const char* at = data + p + 16 * k;
      __m128i here = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
      __m128i next = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at + 1));
      auto bits = static_cast<std::uint32_t>(
          _mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi8(here, cr), _mm_cmpeq_epi8(next, lf))));
      candidates |= std::uint64_t{bits} << (16 * k);
    }
    for (; candidates != 0; candidates &= candidates - 1) {
      take(p + static_cast<std::size_t>(__builtin_ctzll(candidates)));
      if (found == wanted) return found;
    }
  }
#endif
  while (p + 1 < size) {
    const void* at = std::memchr(data + p, '\r', size - 1 - p);
    if (at == nullptr) break;
    std::size_t cr_at = static_cast<std::size_t>(static_cast<const char*>(at) - data);
    p = cr_at + 1;
    if (data[p] != '\n') continue;
    take(cr_at);
    if (found == wanted) return found;
  }

  if (scan >= size) return found;
  // A CR as the block's last byte may begin a line end that the next block completes.
  if (data[size - 1] == '\r' && StartsCharacter(data, scan, size - 1, at_start_)) {
    pending_cr_ = true;
    at_start_ = true;
    return found;
  }
  at_start_ = StartsCharacter(data, scan, size, at_start_);
  return found;
}

}  // namespace vevidav
