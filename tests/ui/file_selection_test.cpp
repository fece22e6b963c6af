// Choosing the file: the txt test, the open-file dialog flows and drops on the window.
#include <windows.h>

#include <commdlg.h>
#include <ole2.h>
#include <wrl/client.h>

#include <gtest/gtest.h>

#include <future>
#include <string>
#include <vector>

#include "engine/message.h"
#include "tests/support/support.h"
#include "tests/ui/ui_testing.h"
#include "ui/common_dlg.h"
#include "ui/handlers.h"

namespace vevidav::testing {
namespace {

namespace names = ui::names;
using Microsoft::WRL::ComPtr;

constexpr char kNotTxt[] =
    "\xC4\xFA\xD1\xA1\xD4\xF1\xB5\xC4\xB2\xBB\xCA\xC7txt\xCE\xC4\xB1\xBE";  // 您选择的不是txt文本

std::string Ansi(const NativePath& path) {
  const std::wstring& wide = path.native();
  int size = WideCharToMultiByte(CP_ACP, 0, wide.c_str(), static_cast<int>(wide.size()), nullptr, 0,
                                 nullptr, nullptr);
  std::string out(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_ACP, 0, wide.c_str(), static_cast<int>(wide.size()), out.data(), size,
                      nullptr, nullptr);
  return out;
}

// The dialog got `path` in its name field: shown as it is, or (Wine) opened in its folder with the
// name alone in the field.
bool ShowsPath(const SeenDialog& dialog, const NativePath& path) {
  return dialog.name_field == Ansi(path) || dialog.name_field == Ansi(path.filename());
}

struct TxtCase {
  const char* name;
  bool passes;
};

const TxtCase kTxtCases[] = {
    {"C:\\a\\stock.txt", true},
    {"C:\\a\\STOCK.TXT", true},
    {"x.TxT", true},
    {"notetxt", true},  // no dot needed
    {"txt", true},
    {"xt", false},  // shorter than three bytes
    {"", false},
    {"a.txt ", false},     // a trailing blank
    {"a.txt\r\n", false},  // what several dropped names end in
    {"a.csv", false},
    {"a.tx", false},
    {"\xCE\xC4\xB1\xBE", false},  // 文本: ends in a double-byte character
    {"a.t\xD8t", false},
};

class TxtTest : public ::testing::TestWithParam<TxtCase> {};

TEST_P(TxtTest, LastThreeBytesAreTxtInAnyCase) {
  EXPECT_EQ(ui::PassesTxtTest(GetParam().name), GetParam().passes) << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(FileSelection, TxtTest, ::testing::ValuesIn(kTxtCases),
                         [](const auto& info) { return "case" + std::to_string(info.index); });

struct FilterCase {
  const char* filter;
  std::string platform;
};

const FilterCase kFilterCases[] = {
    // 文本文档(*.txt)|*.txt|: the program's one pair.
    {"\xCE\xC4\xB1\xBE\xCE\xC4\xB5\xB5(*.txt)|*.txt|",
     std::string("\xCE\xC4\xB1\xBE\xCE\xC4\xB5\xB5(*.txt)\0*.txt\0\0\0", 24)},
    {"", ""},
    {"   ", ""},
    {"a|b", std::string("a\0b\0\0", 5)},
    {"a|b||", std::string("a\0b\0\0", 5)},
    {"a|b \t\r\n", std::string("a\0b\0\0", 5)},
    // A double-byte character whose second byte is '|' is not cut.
    {"\x81|x|*.x", std::string("\x81|x\0*.x\0\0", 9)},
};

class FilterTest : public ::testing::TestWithParam<FilterCase> {};

TEST_P(FilterTest, BecomesZeroSeparatedPairs) {
  EXPECT_EQ(ui::FilterForPlatform(GetParam().filter), GetParam().platform);
}

INSTANTIATE_TEST_SUITE_P(FileSelection, FilterTest, ::testing::ValuesIn(kFilterCases),
                         [](const auto& info) { return "case" + std::to_string(info.index); });

TEST(CommonDlgTest, DefaultsGiveTheOpenFlagsAndANegativeFilterIndexIsStoredAsZero) {
  ui::CommonDlg dialog;
  EXPECT_EQ(dialog.Flags(),
            static_cast<DWORD>(OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST |
                               OFN_FILEMUSTEXIST | OFN_EXPLORER | OFN_ENABLESIZING));
  dialog.SetInitialFilter(-4);
  EXPECT_EQ(dialog.InitialFilter(), 0);
  dialog.SetFileName(Text());
  EXPECT_EQ(dialog.FileName(), Text());
}

// ---- the select-file button and its dialog

class SelectFileTest : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    Open();
  }
  // Presses the select-file button while a helper answers the dialog with `typed` (Cancel when
  // empty) and then, if `warning`, closes the message box that follows.
  std::pair<SeenDialog, SeenBox> Select(const std::string& typed, bool warning) {
    auto helper = std::async(std::launch::async, [typed, warning] {
      SeenDialog dialog = AnswerOpenDialog(typed);
      SeenBox box;
      if (warning) box = CloseMessageBox(GetCurrentProcessId(), kInfoCaption);
      return std::make_pair(dialog, box);
    });
    SendMessageA(Control(names::按钮_选择文本), BM_CLICK, 0, 0);
    auto seen = helper.get();
    Pump(window_.get());
    return seen;
  }
  std::string PathBox() const { return WindowText(Control(names::编辑框_文件路径)); }
  ui::CommonDlg& Dialog() { return *window_->Dialog(names::通用对话框_打开); }

  TempDir dir_;
};

struct ChosenCase {
  const char* file;
  bool passes;
};

class ChosenFileTest : public SelectFileTest, public ::testing::WithParamInterface<ChosenCase> {};

TEST_P(ChosenFileTest, AcceptedNameFillsThePathBoxRefusedNameWarns) {
  NativePath file = dir_ / GetParam().file;
  WriteBytes(file, "a\r\n");
  std::string path = Ansi(file);
  window_->SetText(names::编辑框_文件路径, "C:\\earlier.txt");

  auto [dialog, box] = Select(path, !GetParam().passes);
  ASSERT_TRUE(dialog.found);
  EXPECT_TRUE(dialog.has_owner);
  EXPECT_EQ(dialog.name_field, "");
  EXPECT_EQ(dialog.file_type, "\xCE\xC4\xB1\xBE\xCE\xC4\xB5\xB5(*.txt)");  // 文本文档(*.txt)
  EXPECT_EQ(selected_path_, Text(path));
  EXPECT_EQ(Dialog().FileName(), Text(path));
  if (GetParam().passes) {
    EXPECT_EQ(PathBox(), path);
  } else {
    EXPECT_EQ(PathBox(), "");
    ASSERT_TRUE(box.found);
    EXPECT_EQ(box.text, kNotTxt);
    EXPECT_FALSE(box.has_owner);
    EXPECT_TRUE(box.has_icon);
    EXPECT_EQ(box.buttons, 1);
  }
}

INSTANTIATE_TEST_SUITE_P(FileSelection, ChosenFileTest,
                         ::testing::Values(ChosenCase{"UPPER.TXT", true},
                                           ChosenCase{"stock.txt", true},
                                           ChosenCase{"stock.csv", false}),
                         [](const auto& info) { return "case" + std::to_string(info.index); });

TEST_F(SelectFileTest, NameEndingInTxtWithoutADotPasses) {
  NativePath file = dir_ / "inventorytxt";
  WriteBytes(file, "a\r\n");
  auto [dialog, box] = Select(Ansi(file), false);
  ASSERT_TRUE(dialog.found);
  EXPECT_EQ(PathBox(), Ansi(file));
}

TEST_F(SelectFileTest, RefusedNameIsOfferedAgainAtTheNextOpening) {
  NativePath file = dir_ / "report.xls";
  WriteBytes(file, "a\r\n");
  auto first = Select(Ansi(file), true);
  ASSERT_TRUE(first.second.found);
  auto [dialog, box] = Select("", false);
  ASSERT_TRUE(dialog.found);
  EXPECT_TRUE(ShowsPath(dialog, file)) << dialog.name_field;
  EXPECT_EQ(PathBox(), "");
  EXPECT_EQ(selected_path_, Text(Ansi(file)));
}

TEST_F(SelectFileTest, CancelEmptiesThePathBoxAndKeepsTheSelectedPath) {
  NativePath file = dir_ / "kept.txt";
  WriteBytes(file, "a\r\n");
  Select(Ansi(file), false);
  ASSERT_EQ(PathBox(), Ansi(file));

  auto [dialog, box] = Select("", false);
  ASSERT_TRUE(dialog.found);
  EXPECT_TRUE(ShowsPath(dialog, file)) << dialog.name_field;
  EXPECT_EQ(PathBox(), "");
  EXPECT_EQ(selected_path_, Text(Ansi(file)));
  EXPECT_EQ(Dialog().FileName(), Text(Ansi(file)));
}

// ---- drops

std::vector<std::pair<Text, int>> g_messages;
void RecordMessage(const Text& message, int style) { g_messages.emplace_back(message, style); }

struct DropCase {
  const char* label;
  std::vector<std::string> files;  // empty: text data only
  bool accepted;                   // the drag is taken at all
  bool warning;
  std::string path_box;  // afterwards ("" keeps the earlier one)
};

const DropCase kDropCases[] = {
    {"one_txt", {"C:\\data\\STOCK.TXT"}, true, false, "C:\\data\\STOCK.TXT"},
    {"folder_named_txt", {"C:\\data\\lists.txt"}, true, false, "C:\\data\\lists.txt"},
    {"no_dot", {"C:\\data\\stocktxt"}, true, false, "C:\\data\\stocktxt"},
    {"two_txt", {"C:\\a.txt", "C:\\b.txt"}, true, true, ""},
    {"not_txt", {"C:\\data\\stock.xls"}, true, true, ""},
    {"text_only", {}, false, false, ""},
};

class DropFixture : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    Open();
    g_messages.clear();
    SetShowMessageHook(RecordMessage);
  }
  void TearDown() override {
    SetShowMessageHook(nullptr);
    MainWindowTest::TearDown();
  }
};

class DropTest : public DropFixture, public ::testing::WithParamInterface<DropCase> {};

TEST_P(DropTest, DropFillsThePathBoxOrWarnsOrIsRefused) {
  const DropCase& c = GetParam();
  const std::string earlier = "C:\\earlier.txt";
  window_->SetText(names::编辑框_文件路径, earlier.c_str());
  selected_path_ = earlier.c_str();
  auto* target = static_cast<IDropTarget*>(GetPropA(window_->hwnd(), "OleDropTargetInterface"));
  ASSERT_NE(target, nullptr);

  ComPtr<IDataObject> data;
  data.Attach(c.files.empty() ? NewTextData("dragged words") : NewFileData(c.files));
  POINTL point{300, 300};
  DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
  ASSERT_EQ(target->DragEnter(data.Get(), MK_LBUTTON, point, &effect), S_OK);
  EXPECT_EQ(effect, c.accepted ? DWORD{DROPEFFECT_COPY} : DWORD{DROPEFFECT_NONE});
  effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
  ASSERT_EQ(target->DragOver(MK_LBUTTON, point, &effect), S_OK);
  effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
  ASSERT_EQ(target->Drop(data.Get(), 0, point, &effect), S_OK);

  std::string expected = c.path_box.empty() ? earlier : c.path_box;
  EXPECT_EQ(WindowText(Control(names::编辑框_文件路径)), expected);
  EXPECT_EQ(selected_path_, Text(expected.c_str()));
  if (c.warning) {
    ASSERT_EQ(g_messages.size(), 1u);
    EXPECT_EQ(g_messages[0].first, Text(kNotTxt));
    EXPECT_EQ(g_messages[0].second, 48);
  } else {
    EXPECT_TRUE(g_messages.empty());
  }
  EXPECT_EQ(window_->Dialog(names::通用对话框_打开)->FileName(), Text());
}

INSTANTIATE_TEST_SUITE_P(FileSelection, DropTest, ::testing::ValuesIn(kDropCases),
                         [](const auto& info) { return std::string(info.param.label); });

TEST_F(DropFixture, TwoNamesReachTheHandlerEachFollowedByCrLf) {
  ComPtr<IDataObject> data;
  data.Attach(NewFileData({"C:\\a.txt", "C:\\b.txt"}));
  FORMATETC format{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
  STGMEDIUM medium{};
  ASSERT_EQ(data->GetData(&format, &medium), S_OK);
  EXPECT_EQ(ui::DroppedText(static_cast<HDROP>(medium.hGlobal)),
            Text("C:\\a.txt\r\nC:\\b.txt\r\n"));
  ReleaseStgMedium(&medium);
}

struct EffectCase {
  DWORD allowed, effect;
};

class DropEffectTest : public DropFixture, public ::testing::WithParamInterface<EffectCase> {};

// A drop copies or links, never moves: the dropped items stay where they are.
TEST_P(DropEffectTest, NeverAMove) {
  auto* target = static_cast<IDropTarget*>(GetPropA(window_->hwnd(), "OleDropTargetInterface"));
  ASSERT_NE(target, nullptr);
  ComPtr<IDataObject> data;
  data.Attach(NewFileData({"C:\\a.txt"}));
  DWORD effect = GetParam().allowed;
  target->DragEnter(data.Get(), MK_LBUTTON | MK_SHIFT, POINTL{1, 1}, &effect);
  EXPECT_EQ(effect, GetParam().effect);
  target->DragLeave();
}

INSTANTIATE_TEST_SUITE_P(
    FileSelection, DropEffectTest,
    ::testing::Values(EffectCase{DROPEFFECT_COPY | DROPEFFECT_MOVE, DROPEFFECT_COPY},
                      EffectCase{DROPEFFECT_MOVE, DROPEFFECT_NONE},
                      EffectCase{DROPEFFECT_MOVE | DROPEFFECT_LINK, DROPEFFECT_LINK}),
    [](const auto& info) { return "case" + std::to_string(info.index); });

TEST_F(DropFixture, RegisteredOnceFromCreationUntilUnregistered) {
  ui::DropTarget* drop = window_->Drop(names::拖放对象);
  ASSERT_NE(drop, nullptr);
  EXPECT_EQ(drop->registered_window(), window_->hwnd());
  EXPECT_FALSE(drop->Register(window_->hwnd()));
  drop->Unregister(nullptr);  // whatever handle: the remembered registration goes
  EXPECT_EQ(GetPropA(window_->hwnd(), "OleDropTargetInterface"), nullptr);
  EXPECT_TRUE(drop->Register(window_->hwnd()));
  HWND hwnd = window_->hwnd();
  DestroyWindow(hwnd);
  EXPECT_EQ(drop->registered_window(), nullptr);  // the before-destruction handler revoked it
}

}  // namespace
}  // namespace vevidav::testing
