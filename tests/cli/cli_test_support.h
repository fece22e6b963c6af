#pragma once
// Running the built vevidav-split and make-stocklist from the end-to-end tests.
#include <filesystem>
#include <string>
#include <vector>

#include "cli/options.h"
#include "tests/support/support.h"

namespace vevidav::testing {

// A program path from the build. Under Wine the build's Unix path is reached through drive Z:.
inline NativePath BuiltProgram(const char* path) {
  NativePath program(path);
#ifdef _WIN32
  if (path[0] == '/') program = NativePath("Z:" + std::string(path)).make_preferred();
#endif
  return program;
}

inline NativePath SplitProgram() { return BuiltProgram(VEVIDAV_SPLIT_PATH); }
inline NativePath StocklistProgram() { return BuiltProgram(MAKE_STOCKLIST_PATH); }

// An argument written as UTF-8, as the system hands it over.
inline cli::Argument Arg(const std::string& utf8) {
  return NativePath(std::u8string(utf8.begin(), utf8.end())).native();
}

// Console text as the tests expect it: Windows writes "\r\n" for "\n" to a text-mode stream.
inline std::string Lines(std::string text) {
#ifdef _WIN32
  std::string plain;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) plain += text[i];
  }
  text = std::move(plain);
#endif
  return text;
}

// Runs a program with the given arguments, console output made plain.
inline ProcessResult RunWithArgs(const NativePath& program,
                                 const std::vector<cli::Argument>& args) {
  std::vector<NativePath::string_type> argv{program.native()};
  argv.insert(argv.end(), args.begin(), args.end());
  ProcessResult result = RunProgram(argv);
  result.out = Lines(std::move(result.out));
  result.err = Lines(std::move(result.err));
  return result;
}

// Makes `path` the current folder for a scope.
class CurrentFolder {
 public:
  explicit CurrentFolder(const NativePath& path) : saved_(std::filesystem::current_path()) {
    std::filesystem::current_path(path);
  }
  ~CurrentFolder() {
    std::error_code error;
    std::filesystem::current_path(saved_, error);
  }
  CurrentFolder(const CurrentFolder&) = delete;
  CurrentFolder& operator=(const CurrentFolder&) = delete;

 private:
  NativePath saved_;
};

}  // namespace vevidav::testing
