#include "engine/split_command.h"

#include <algorithm>
#include <string>

#include "engine/message.h"

namespace vevidav {
namespace {

// 分割完成
constexpr char kDone[] = "\xB7\xD6\xB8\xEE\xCD\xEA\xB3\xC9";
// 无法读取文件：
constexpr char kCannotRead[] = "\xCE\xDE\xB7\xA8\xB6\xC1\xC8\xA1\xCE\xC4\xBC\xFE\xA3\xBA";
// 分割未完成，以下文件未能写入：
constexpr char kNotWritten[] =
    "\xB7\xD6\xB8\xEE\xCE\xB4\xCD\xEA\xB3\xC9\xA3\xAC\xD2\xD4\xCF\xC2\xCE\xC4\xBC\xFE\xCE\xB4\xC4"
    "\xDC\xD0\xB4\xC8\xEB\xA3\xBA";
// ……共
constexpr char kInAll[] = "\xA1\xAD\xA1\xAD\xB9\xB2 ";
// 个文件
constexpr char kFiles[] = " \xB8\xF6\xCE\xC4\xBC\xFE";
// 请先选择txt文件或拖拽txt
constexpr char kChooseFirst[] =
    "\xC7\xEB\xCF\xC8\xD1\xA1\xD4\xF1txt\xCE\xC4\xBC\xFE\xBB\xF2\xCD\xCF\xD7\xA7txt";
// 不能求余数于零
constexpr char kRemainderByZero[] = "\xB2\xBB\xC4\xDC\xC7\xF3\xD3\xE0\xCA\xFD\xD3\xDA\xC1\xE3";

// A count of 0 cannot cut anything: the first line's remainder by it is the fatal error, so a
// non-empty text ends the program as that arithmetic does. An empty text has no line to divide.
SplitResult CheckSplitByZero(const Text& path) {
  SplitResult result;
  InputFile input;
  if (!input.Open(PathFromText(path), &result.input_error)) {
    result.input_read = false;
    return result;
  }
  char first = 0;
  std::int64_t got = input.Read(&first, 1, &result.input_error);
  if (got < 0) {
    result.input_read = false;
    return result;
  }
  if (got == 1 && first != 0) ReportRuntimeError(kRemainderByZero, 0, 0, 0);
  return result;
}

}  // namespace

SplitReport DescribeSplit(const Text& path, const SplitResult& result) {
  if (!result.input_read) return {Text(kCannotRead) + path, kStyleExclamation};
  if (result.pieces_failed == 0) return {Text(kDone), 0};
  Text message(kNotWritten);
  std::size_t listed = std::min(result.first_failures.size(), kMaxListedFailures);
  for (std::size_t i = 0; i < listed; ++i)
    message += Text("\r\n") + TextFromPath(result.first_failures[i].path);
  if (result.pieces_failed > static_cast<std::int64_t>(kMaxListedFailures))
    message += Text("\r\n") + kInAll + Text(std::to_string(result.pieces_failed)) + kFiles;
  return {message, kStyleExclamation};
}

void SplitIntoDirectory(const Text& path, const Text& count, const NativePath& out_dir) {
  if (CompareText(path, Text()) == 0) {
    ShowMessage(kChooseFirst, 0);
    return;
  }
  std::int64_t lines = TextToInt(count);
  SplitResult result;
  if (lines == 0) {
    result = CheckSplitByZero(path);
  } else {
    SplitOptions options;
    // The list offers positive counts only; a negative one cuts the same pieces as its size
    // would, and numbering them from 1 keeps two pieces from sharing a name.
    options.lines_per_piece = lines < 0 ? -lines : lines;
    result = SplitFile(PathFromText(path), out_dir, options);
  }
  SplitReport report = DescribeSplit(path, result);
  ShowMessage(report.message, report.style);
}

void SplitCommand(const Text& path, const Text& count) {
  SplitIntoDirectory(path, count, RunDirectoryPath());
}

}  // namespace vevidav
