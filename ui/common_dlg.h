#pragma once
// The open-file dialog component: settings kept from one opening to the next, and Open.
#include <windows.h>

#include "engine/text.h"

namespace vevidav::ui {

class CommonDlg {
 public:
  explicit CommonDlg(HWND owner = nullptr) : owner_(owner) {}

  int Kind() const { return kind_; }
  void SetKind(int kind) { kind_ = kind; }
  Text Title() const { return title_; }
  void SetTitle(const Text& title) { title_ = title; }
  Text FileName() const { return file_name_; }
  void SetFileName(const Text& name) { file_name_ = name; }
  Text Filter() const { return filter_; }
  void SetFilter(const Text& filter) { filter_ = filter; }
  int InitialFilter() const { return initial_filter_; }
  void SetInitialFilter(int index) { initial_filter_ = index < 0 ? 0 : index; }
  Text InitialDirectory() const { return initial_directory_; }
  void SetInitialDirectory(const Text& folder) { initial_directory_ = folder; }
  Text DefaultExtension() const { return default_extension_; }
  void SetDefaultExtension(const Text& extension) { default_extension_ = extension; }

  bool prompt_to_create = false;
  bool file_must_exist = true;
  bool prompt_to_overwrite = true;
  bool path_must_exist = true;
  bool keep_current_directory = false;

  // The OFN_ flags the settings give.
  DWORD Flags() const;
  // Shows the dialog (open for kind 0, save for kind 1) owned by the window. True on OK, with
  // FileName set to the chosen path; otherwise nothing changes.
  bool Open();

 private:
  HWND owner_;
  int kind_ = 0;
  Text title_, file_name_, filter_, initial_directory_, default_extension_;
  int initial_filter_ = 0;
};

// "a|b|" as the platform wants it: trailing white space trimmed, "||" ensured at the end, every
// "|" outside a double-byte character turned into a zero byte. Empty stays empty.
std::string FilterForPlatform(const Text& filter);

}  // namespace vevidav::ui
