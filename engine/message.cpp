#include "engine/message.h"

#include <atomic>
#include <cstdio>
#include <cstring>

#include "engine/message_platform.h"

namespace vevidav {
namespace {

std::atomic<ShowMessageHook> show_message_hook{nullptr};
std::atomic<FatalEndHook> fatal_end_hook{nullptr};

// Appends into a fixed buffer, cutting what does not fit; the result stays zero-terminated.
class FixedText {
 public:
  FixedText(char* buffer, std::size_t capacity) : buffer_(buffer), capacity_(capacity) {
    buffer_[0] = '\0';
  }
  void Append(std::string_view bytes) {
    std::size_t room = capacity_ - 1 - size_;
    std::size_t n = bytes.size() < room ? bytes.size() : room;
    std::memcpy(buffer_ + size_, bytes.data(), n);
    size_ += n;
    buffer_[size_] = '\0';
  }
  void AppendNumber(int value) {
    char digits[16];
    int n = std::snprintf(digits, sizeof digits, "%d", value);
    Append({digits, static_cast<std::size_t>(n)});
  }
  std::size_t size() const { return size_; }

 private:
  char* buffer_;
  std::size_t capacity_;
  std::size_t size_ = 0;
};

std::size_t FormatRuntimeError(char* buffer, std::size_t capacity, std::string_view message,
                               int code, int place1, int place2) {
  message = message.substr(0, message.find('\0'));
  FixedText text(buffer, capacity);
  text.Append("\xD4\xCB\xD0\xD0\xCA\xB1\xB3\xF6\xB4\xED!\r\n");  // 运行时出错!
  if (code != 0) {
    text.Append("\r\n\xB4\xED\xCE\xF3\xB4\xFA\xC2\xEB\xA3\xBA");  // 错误代码：
    text.AppendNumber(code);
    text.Append("\r\n");
  }
  if (!message.empty()) {
    text.Append("\r\n\xB4\xED\xCE\xF3\xD0\xC5\xCF\xA2\xA3\xBA");  // 错误信息：
    text.Append(message);
    text.Append("\r\n");
  }
  text.Append("\r\n");
  text.AppendNumber(place1);
  text.Append(", ");
  text.AppendNumber(place2);
  text.Append("\r\n");
  return text.size();
}

}  // namespace

int MessageBoxStyle(int style) { return (style & 0x1000) != 0 ? style : style + 0x2000; }

void ShowMessage(const Text& message, int style) {
  if (ShowMessageHook hook = show_message_hook.load()) {
    hook(message, style);
    return;
  }
  platform::ShowMessageBox(message.c_str(), MessageBoxStyle(style));
}

Text RuntimeErrorText(const Text& message, int code, int place1, int place2) {
  char buffer[8192];
  std::size_t n = FormatRuntimeError(buffer, sizeof buffer, message, code, place1, place2);
  return Text(std::string_view(buffer, n));
}

void ReportRuntimeError(std::string_view message, int code, int place1, int place2) {
  // A second report while the first box is up (another failure on the way out) only ends.
  static std::atomic<bool> reporting{false};
  if (!reporting.exchange(true)) {
    char buffer[8192];
    FormatRuntimeError(buffer, sizeof buffer, message, code, place1, place2);
    platform::ShowRuntimeErrorBox(buffer);
  }
  if (FatalEndHook hook = fatal_end_hook.load()) hook();
  platform::EndProcessWithFailure();
}

void SetShowMessageHook(ShowMessageHook hook) { show_message_hook.store(hook); }
void SetFatalEndHook(FatalEndHook hook) { fatal_end_hook.store(hook); }

}  // namespace vevidav
