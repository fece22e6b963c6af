#pragma once
// vevidav-split's command line: what it asks for, or why it cannot be run.
#include <cstdint>
#include <string>
#include <vector>

#include "engine/file.h"

namespace vevidav::cli {

// One argument as the system hands it over: UTF-16 on Windows, bytes elsewhere.
using Argument = NativePath::string_type;

inline constexpr std::int64_t kDefaultLines = 3000;
inline constexpr std::int64_t kMaxLines = 2147483647;

struct CommandLine {
  enum class Action { kSplit, kHelp, kVersion, kUsageError };
  Action action = Action::kSplit;
  std::int64_t lines = kDefaultLines;
  NativePath output_dir = NativePath(".");
  NativePath input;
  std::string error;  // for kUsageError: what is wrong, as the console shows it
};

// `args` without the program's name. Options may follow the file name; "--" ends the options.
// The first problem, --help or --version met decides.
CommandLine ParseCommandLine(const std::vector<Argument>& args);

// A line count: decimal digits only (no sign, no spaces), 1 to kMaxLines.
bool ParseLineCount(const Argument& text, std::int64_t* lines);

// For messages: a path or argument in the console's text (the ANSI code page on Windows).
std::string ConsoleText(const NativePath& path);

std::string HelpText();
std::string VersionText();

}  // namespace vevidav::cli
