#include "cli/options.h"

#include <string_view>

#include "engine/splitter.h"

#ifndef VEVIDAV_VERSION
#error "VEVIDAV_VERSION must come from the build"
#endif

namespace vevidav::cli {
namespace {

// Option names are ASCII, so they compare unit by unit with a narrow or a wide argument.
bool StartsWith(const Argument& arg, std::string_view ascii) {
  if (arg.size() < ascii.size()) return false;
  for (std::size_t i = 0; i < ascii.size(); ++i) {
    if (arg[i] != static_cast<Argument::value_type>(ascii[i])) return false;
  }
  return true;
}

bool Is(const Argument& arg, std::string_view ascii) {
  return arg.size() == ascii.size() && StartsWith(arg, ascii);
}

std::string Quoted(const Argument& arg) {
  // Appended rather than "'" + text + "'", which trips a false -Wrestrict in GCC 12 at -O3.
  std::string quoted(1, '\'');
  quoted += ConsoleText(NativePath(arg));
  quoted += '\'';
  return quoted;
}

enum class Takes { kNothing, kLines, kDir };

struct Option {
  char short_name;  // 0: none
  std::string_view long_name;
  Takes takes;
  CommandLine::Action action;
};

constexpr Option kOptions[] = {
    {'n', "lines", Takes::kLines, CommandLine::Action::kSplit},
    {'d', "output-dir", Takes::kDir, CommandLine::Action::kSplit},
    {'h', "help", Takes::kNothing, CommandLine::Action::kHelp},
    {0, "version", Takes::kNothing, CommandLine::Action::kVersion},
};

CommandLine UsageError(std::string message) {
  CommandLine result;
  result.action = CommandLine::Action::kUsageError;
  result.error = std::move(message);
  return result;
}

}  // namespace

std::string ConsoleText(const NativePath& path) { return std::string(TextFromPath(path).view()); }

bool ParseLineCount(const Argument& text, std::int64_t* lines) {
  // Strict on purpose: "+7", " 7" or "7 " are most likely a slip in a script, not a count.
  if (text.empty()) return false;
  std::int64_t value = 0;
  for (auto c : text) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
    if (value > kMaxLines) return false;
  }
  if (value < 1) return false;
  *lines = value;
  return true;
}

CommandLine ParseCommandLine(const std::vector<Argument>& args) {
  CommandLine result;
  std::vector<const Argument*> operands;
  bool options_ended = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const Argument& arg = args[i];
    if (options_ended || arg.size() < 2 || arg[0] != '-') {
      operands.push_back(&arg);
      continue;
    }
    if (Is(arg, "--")) {
      options_ended = true;
      continue;
    }

    // Find the option, and its value when it is glued on: "-n500", "--lines=500".
    const Option* option = nullptr;
    std::string shown;  // the option as the user wrote it, for messages
    Argument glued;
    bool has_glued = false;
    if (StartsWith(arg, "--")) {
      for (const Option& o : kOptions) {
        std::string name = "--" + std::string(o.long_name);
        if (Is(arg, name)) {
          option = &o;
        } else if (StartsWith(arg, name + "=")) {
          option = &o;
          glued = arg.substr(name.size() + 1);
          has_glued = true;
        }
        if (option != nullptr) {
          shown = name;
          break;
        }
      }
    } else {
      for (const Option& o : kOptions) {
        if (o.short_name == 0 || arg[1] != static_cast<Argument::value_type>(o.short_name))
          continue;
        if (arg.size() > 2 && o.takes == Takes::kNothing) break;
        option = &o;
        shown = std::string("-") + o.short_name;
        glued = arg.substr(2);
        has_glued = arg.size() > 2;
        break;
      }
    }
    if (option == nullptr) {
      std::string name = ConsoleText(NativePath(arg));
      auto equals = name.find('=');
      if (StartsWith(arg, "--") && equals != std::string::npos) name.resize(equals);
      return UsageError("unknown option '" + name + "'");
    }

    if (option->takes == Takes::kNothing) {
      if (has_glued) return UsageError("option '" + shown + "' takes no value");
      result.action = option->action;
      return result;
    }
    const Argument* value = &glued;
    if (!has_glued) {
      if (i + 1 == args.size()) return UsageError("option '" + shown + "' needs a value");
      value = &args[++i];
    }
    if (option->takes == Takes::kLines) {
      if (!ParseLineCount(*value, &result.lines)) {
        return UsageError("invalid number of lines " + Quoted(*value) +
                          ": give a whole number from 1 to 2147483647, digits only");
      }
    } else {
      if (value->empty()) return UsageError("the output folder name is empty");
      result.output_dir = NativePath(*value);
    }
  }

  if (operands.empty()) return UsageError("no file to split");
  if (operands.size() > 1) {
    return UsageError("one file at a time: extra operand " + Quoted(*operands[1]));
  }
  if (operands[0]->empty()) return UsageError("the file name is empty");
  result.input = NativePath(*operands[0]);
  return result;
}

std::string HelpText() {
  NativePath dir("DIR");
  std::string first = ConsoleText(PiecePath(dir, 1));
  std::string second = ConsoleText(PiecePath(dir, 2));
  return "Usage: vevidav-split [-n LINES] [-d DIR] FILE\n"
         "Split FILE, a text with CR LF line ends, into pieces of LINES lines each:\n"
         "  " +
         first + ", " + second +
         ", ...\n"
         "Files of those names are replaced; the bytes are copied unchanged.\n"
         "\n"
         "  -n, --lines=LINES       lines per piece, 1 to 2147483647, digits only\n"
         "                          (default 3000)\n"
         "  -d, --output-dir=DIR    the folder for the pieces (default: the current folder)\n"
         "  -h, --help              show this help and exit\n"
         "      --version           show the version and exit\n"
         "\n"
         "The text ends at the file's first zero byte. A full piece has no line end after\n"
         "its last line; a shorter last piece has CR LF after every line.\n"
         "\n"
         "Exit status: 0 all pieces written; 1 the file could not be read or a piece was not\n"
         "written in full (the others are still written); 2 the command line is wrong.\n";
}

std::string VersionText() { return "vevidav-split " VEVIDAV_VERSION "\n"; }

}  // namespace vevidav::cli
