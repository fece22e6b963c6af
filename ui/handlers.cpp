#include "ui/handlers.h"

#include "engine/message.h"
#include "engine/split_command.h"

namespace vevidav::ui {
namespace {

// 提示：分割后的文件保存在本程序所在的文件夹
constexpr char kNotice[] =
    "\xCC\xE1\xCA\xBE\xA3\xBA\xB7\xD6\xB8\xEE\xBA\xF3\xB5\xC4\xCE\xC4\xBC\xFE\xB1\xA3\xB4\xE6\xD4"
    "\xDA"
    "\xB1\xBE\xB3\xCC\xD0\xF2\xCB\xF9\xD4\xDA\xB5\xC4\xCE\xC4\xBC\xFE\xBC\xD0";
// 您选择的不是txt文本
constexpr char kNotTxt[] = "\xC4\xFA\xD1\xA1\xD4\xF1\xB5\xC4\xB2\xBB\xCA\xC7txt\xCE\xC4\xB1\xBE";
// 文本文档(*.txt)|*.txt|
constexpr char kTxtFilter[] = "\xCE\xC4\xB1\xBE\xCE\xC4\xB5\xB5(*.txt)|*.txt|";

}  // namespace

bool PassesTxtTest(const Text& name) {
  return CompareText(ToLowerCase(TextRight(name, 3)), "txt") == 0;
}

void MainWindowCreated(MainWindow& window) {
  if (DropTarget* drop = window.Drop(names::拖放对象)) drop->Register(window.hwnd());
  window.SetPanelText(names::状态条1, 0, kNotice);
}

void MainWindowDestroying(MainWindow& window) {
  if (DropTarget* drop = window.Drop(names::拖放对象)) drop->Unregister(window.hwnd());
}

void SplitClicked(MainWindow& window) {
  Text path = window.GetText(names::编辑框_文件路径);
  Text count = window.GetText(names::组合框_分割行数);
  SplitCommand(path, count);
}

void SelectFileClicked(MainWindow& window) {
  window.SetText(names::编辑框_文件路径, Text());
  CommonDlg* dialog = window.Dialog(names::通用对话框_打开);
  if (!dialog) return;
  dialog->SetKind(0);
  dialog->SetFilter(kTxtFilter);
  // The whole filter text as the default extension, as the program always handed it over.
  dialog->SetDefaultExtension(kTxtFilter);
  if (!dialog->Open()) return;
  window.SelectedPath() = dialog->FileName();
  if (!PassesTxtTest(window.SelectedPath())) {
    ShowMessage(kNotTxt, kStyleExclamation);
    return;
  }
  window.SetText(names::编辑框_文件路径, window.SelectedPath());
}

void FilesDropped(MainWindow& window, const Text& dropped) {
  if (!PassesTxtTest(dropped)) {
    ShowMessage(kNotTxt, kStyleExclamation);
    return;
  }
  window.SelectedPath() = dropped;
  window.SetText(names::编辑框_文件路径, window.SelectedPath());
}

}  // namespace vevidav::ui
