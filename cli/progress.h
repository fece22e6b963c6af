#pragma once
// The progress line on a terminal: percent, bytes and speed, rewritten in place, only for a job
// long enough to want it.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>

namespace vevidav::cli {

// " 43%  441.2 MiB / 1.00 GiB  812 MiB/s"; without the percent and the total when the size is
// not known (0) or has been passed.
std::string FormatProgress(std::uint64_t done, std::uint64_t total, double seconds);
// "512 B", "3.5 KiB", "441.2 MiB", "1.00 GiB".
std::string FormatSize(std::uint64_t bytes);

// Whether standard error is a terminal (on Windows: a console).
bool StderrIsTerminal();

class ProgressLine {
 public:
  using Clock = std::chrono::steady_clock;
  static constexpr std::chrono::milliseconds kDelay{1000};
  static constexpr std::chrono::milliseconds kInterval{200};

  // Writes nothing at all unless `enabled`.
  ProgressLine(bool enabled, std::FILE* out);
  ~ProgressLine() { Clear(); }
  ProgressLine(const ProgressLine&) = delete;
  ProgressLine& operator=(const ProgressLine&) = delete;

  void Update(std::uint64_t done, std::uint64_t total) { Update(done, total, Clock::now()); }
  void Update(std::uint64_t done, std::uint64_t total, Clock::time_point now);
  // Erases the line, if one was written, so messages after it start on a clean line.
  void Clear();

 private:
  bool enabled_;
  std::FILE* out_;
  Clock::time_point start_;
  Clock::time_point last_{};
  std::size_t shown_ = 0;  // width of the line on screen
};

}  // namespace vevidav::cli
