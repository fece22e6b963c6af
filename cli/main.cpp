// vevidav-split: the split of the window's 分割文本 button, for scripts and consoles, with the
// output folder and the line count given on the command line.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "cli/options.h"
#include "cli/progress.h"
#include "engine/splitter.h"

namespace vevidav::cli {
namespace {

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

void Error(const std::string& message) {
  std::fprintf(stderr, "vevidav-split: %s\n", message.c_str());
}

std::string Quoted(const NativePath& path) {
  // Appended rather than "'" + text + "'", which trips a false -Wrestrict in GCC 12 at -O3.
  std::string quoted(1, '\'');
  quoted += ConsoleText(path);
  quoted += '\'';
  return quoted;
}

std::string Pieces(std::int64_t n) { return std::to_string(n) + (n == 1 ? " piece" : " pieces"); }

// The folder as a reader wants to see it: absolute, without "." or a trailing separator.
NativePath ShownFolder(const NativePath& dir) {
  std::error_code error;
  NativePath shown = std::filesystem::absolute(dir, error);
  if (error) return dir;
  shown = shown.lexically_normal();
  if (!shown.has_filename() && shown.has_relative_path()) shown = shown.parent_path();
  return shown;
}

// Refuses a folder that is plainly not there before the input is read: every piece would fail.
// Anything less plain is left to the writes, which report the system's reason.
bool CheckOutputFolder(const NativePath& dir) {
  std::error_code error;
  auto status = std::filesystem::status(dir, error);
  if (status.type() == std::filesystem::file_type::not_found) {
    Error("output folder " + Quoted(dir) + " does not exist");
    return false;
  }
  if (!error && status.type() != std::filesystem::file_type::directory) {
    Error("output folder " + Quoted(dir) + " is not a folder");
    return false;
  }
  return true;
}

int Split(const CommandLine& command) {
  if (!CheckOutputFolder(command.output_dir)) return kExitFailure;

  ProgressLine progress(StderrIsTerminal(), stderr);
  SplitOptions options;
  options.lines_per_piece = command.lines;
  options.progress = [&progress](std::uint64_t done, std::uint64_t total) {
    progress.Update(done, total);
  };
  SplitResult result = SplitFile(command.input, command.output_dir, options);
  progress.Clear();

  std::string folder = ConsoleText(ShownFolder(command.output_dir));
  if (result.Succeeded()) {
    if (result.pieces_written == 0) {
      std::printf("vevidav-split: no lines in %s: nothing written\n",
                  Quoted(command.input).c_str());
    } else {
      std::string names = ConsoleText(PiecePath(NativePath(), 1));
      if (result.pieces_written > 1) {
        names += " " + ConsoleText(NativePath(u8"…")) + " " +
                 ConsoleText(PiecePath(NativePath(), result.pieces_written));
      }
      std::printf("vevidav-split: %s of up to %lld %s written to %s (%s)\n",
                  Pieces(result.pieces_written).c_str(), static_cast<long long>(command.lines),
                  command.lines == 1 ? "line" : "lines", folder.c_str(), names.c_str());
    }
    if (std::fflush(stdout) != 0) {
      Error(std::string("cannot write to standard output: ") + std::strerror(errno));
      return kExitFailure;
    }
    return 0;
  }

  if (!result.input_read) Error("cannot read " + Quoted(command.input) + ": " + result.input_error);
  for (const PieceFailure& failure : result.first_failures) {
    Error("cannot write " + Quoted(failure.path) + ": " + failure.reason);
  }
  auto unlisted = result.pieces_failed - static_cast<std::int64_t>(result.first_failures.size());
  if (unlisted > 0) {
    Error(ConsoleText(NativePath(u8"…")) + " and " + std::to_string(unlisted) + " more " +
          (unlisted == 1 ? "piece" : "pieces") + " not written");
  }
  if (result.pieces_written > 0) {
    std::string line =
        "incomplete: " + Pieces(result.pieces_written) + " written in full to " + folder;
    if (result.pieces_failed > 0) {
      line += ", " + std::to_string(result.pieces_failed) + " not written";
    }
    Error(line);
  }
  return kExitFailure;
}

int Run(const std::vector<Argument>& args) {
  CommandLine command = ParseCommandLine(args);
  switch (command.action) {
    case CommandLine::Action::kHelp:
      std::fputs(HelpText().c_str(), stdout);
      return 0;
    case CommandLine::Action::kVersion:
      std::fputs(VersionText().c_str(), stdout);
      return 0;
    case CommandLine::Action::kUsageError:
      Error(command.error);
      std::fputs("Try 'vevidav-split --help' for more information.\n", stderr);
      return kExitUsage;
    case CommandLine::Action::kSplit:
      break;
  }
  return Split(command);
}

}  // namespace
}  // namespace vevidav::cli

// Wide arguments on Windows, so that any file name arrives intact whatever the code page.
#ifdef _WIN32
int wmain(int argc, wchar_t** argv) {
#else
int main(int argc, char** argv) {
#endif
  try {
    std::vector<vevidav::cli::Argument> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    return vevidav::cli::Run(args);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "vevidav-split: %s\n", e.what());
    return 1;
  }
}
