#include <cstring>

#include "engine/text.h"

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
  if (size == 0) return kNone;
  if (from == 0 && pending_cr_) {
    pending_cr_ = false;
    if (data[0] == '\n') {
      at_start_ = true;
      return 1;
    }
  }
  std::size_t p = from;
  while (p < size) {
    const void* found = std::memchr(data + p, '\r', size - p);
    if (found == nullptr) break;
    std::size_t cr = static_cast<std::size_t>(static_cast<const char*>(found) - data);
    bool starts = StartsCharacter(data, p, cr, at_start_);
    // Whether the CR starts a character or ends a pair, the position after it starts one.
    at_start_ = true;
    p = cr + 1;
    if (!starts) continue;
    if (p == size) {
      pending_cr_ = true;
      return kNone;
    }
    if (data[p] == '\n') return p + 1;
  }
  if (p < size) at_start_ = StartsCharacter(data, p, size, at_start_);
  return kNone;
}

}  // namespace vevidav
