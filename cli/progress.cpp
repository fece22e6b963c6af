#include "cli/progress.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace vevidav::cli {
namespace {

constexpr double kKiB = 1024.0;
constexpr double kMiB = kKiB * 1024;
constexpr double kGiB = kMiB * 1024;

std::string Format(const char* format, double value) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, format, value);
  return buffer;
}

}  // namespace

std::string FormatSize(std::uint64_t bytes) {
  double b = static_cast<double>(bytes);
  if (b < kKiB) return std::to_string(bytes) + " B";
  if (b < kMiB) return Format("%.1f KiB", b / kKiB);
  if (b < kGiB) return Format("%.1f MiB", b / kMiB);
  return Format("%.2f GiB", b / kGiB);
}

std::string FormatProgress(std::uint64_t done, std::uint64_t total, double seconds) {
  std::string line;
  if (total != 0 && done <= total) {
    // Whole percent, rounded down: 100% only at the very end.
    auto percent = static_cast<unsigned>(static_cast<long double>(done) * 100 / total);
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%3u%%  ", percent);
    line = buffer + FormatSize(done) + " / " + FormatSize(total);
  } else {
    line = "      " + FormatSize(done);
  }
  if (seconds > 0) {
    double rate = static_cast<double>(done) / seconds;
    line += rate < kKiB   ? Format("  %.0f B/s", rate)
            : rate < kMiB ? Format("  %.0f KiB/s", rate / kKiB)
                          : Format("  %.0f MiB/s", rate / kMiB);
  }
  return line;
}

bool StderrIsTerminal() {
#ifdef _WIN32
  DWORD mode = 0;
  return GetConsoleMode(GetStdHandle(STD_ERROR_HANDLE), &mode) != 0;
#else
  return isatty(STDERR_FILENO) == 1;
#endif
}

ProgressLine::ProgressLine(bool enabled, std::FILE* out)
    : enabled_(enabled), out_(out), start_(Clock::now()) {}

void ProgressLine::Update(std::uint64_t done, std::uint64_t total, Clock::time_point now) {
  if (!enabled_ || now - start_ < kDelay) return;
  if (shown_ != 0 && now - last_ < kInterval) return;
  last_ = now;
  std::string line =
      FormatProgress(done, total, std::chrono::duration<double>(now - start_).count());
  std::size_t width = line.size();
  // Blank out what is left of a longer line before.
  if (width < shown_) line.append(shown_ - width, ' ');
  std::fprintf(out_, "\r%s", line.c_str());
  std::fflush(out_);
  shown_ = width;
}

void ProgressLine::Clear() {
  if (shown_ == 0) return;
  std::fprintf(out_, "\r%s\r", std::string(shown_, ' ').c_str());
  std::fflush(out_);
  shown_ = 0;
}

}  // namespace vevidav::cli
