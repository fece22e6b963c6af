#pragma once
// The split button's command: the path box's text and the line-count box's text in, the pieces
// beside the executable and one message box out.
#include "engine/file.h"
#include "engine/splitter.h"
#include "engine/text.h"

namespace vevidav {

// The message that ends a split: "分割完成" (style 0), or what went wrong (style 48).
struct SplitReport {
  Text message;
  int style = 0;
};
SplitReport DescribeSplit(const Text& path, const SplitResult& result);

// Splits into `out_dir` and shows the report. Refuses an empty path with its own message.
void SplitIntoDirectory(const Text& path, const Text& count, const NativePath& out_dir);
// The window's command: pieces go to the run directory.
void SplitCommand(const Text& path, const Text& count);

}  // namespace vevidav
