#include "ui/common_dlg.h"

#include <commdlg.h>

#include <algorithm>
#include <cstring>
#include <string>

namespace vevidav::ui {

std::string FilterForPlatform(const Text& filter) {
  std::string out(filter.view());
  while (!out.empty() &&
         (out.back() == ' ' || out.back() == '\t' || out.back() == '\r' || out.back() == '\n'))
    out.pop_back();
  if (out.empty()) return out;
  if (!out.ends_with("||")) out += "||";
  for (std::size_t i = 0; i < out.size(); ++i) {
    if (static_cast<unsigned char>(out[i]) >= 0x80) {
      ++i;  // the second byte of a double-byte character may be '|'
    } else if (out[i] == '|') {
      out[i] = '\0';
    }
  }
  return out;
}

DWORD CommonDlg::Flags() const {
  DWORD flags = OFN_HIDEREADONLY | OFN_EXPLORER | OFN_ENABLESIZING;
  if (prompt_to_create) flags |= OFN_CREATEPROMPT;
  if (file_must_exist) flags |= OFN_FILEMUSTEXIST;
  if (prompt_to_overwrite) flags |= OFN_OVERWRITEPROMPT;
  if (path_must_exist) flags |= OFN_PATHMUSTEXIST;
  if (keep_current_directory) flags |= OFN_NOCHANGEDIR;
  return flags;
}

bool CommonDlg::Open() {
  std::string filter = FilterForPlatform(filter_);
  char name[260] = {};
  std::memcpy(name, file_name_.data(), std::min<std::size_t>(file_name_.size(), 259));

  OPENFILENAMEA record{};
  record.lStructSize = sizeof record;
  record.hwndOwner = owner_;
  record.lpstrFilter = filter.empty() ? nullptr : filter.c_str();
  record.nFilterIndex = filter.empty() ? 0 : static_cast<DWORD>(initial_filter_) + 1;
  record.lpstrFile = name;
  record.nMaxFile = sizeof name;
  record.lpstrTitle = title_.empty() ? nullptr : title_.c_str();
  record.lpstrInitialDir = initial_directory_.empty() ? nullptr : initial_directory_.c_str();
  record.lpstrDefExt = default_extension_.empty() ? nullptr : default_extension_.c_str();
  record.Flags = Flags();

  BOOL ok = kind_ == 1 ? GetSaveFileNameA(&record) : GetOpenFileNameA(&record);
  if (!ok) return false;
  file_name_ = Text(name);
  return true;
}

}  // namespace vevidav::ui
