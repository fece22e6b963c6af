#include "tests/ui/ui_testing.h"

#include <commctrl.h>
#include <shlobj.h>

#include <cstring>
#include <thread>

#include "tests/support/support.h"

namespace vevidav::testing {

void Pump(ui::MainWindow* window, std::chrono::milliseconds time) {
  auto end = std::chrono::steady_clock::now() + time;
  do {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (window && window->alive() && window->PreTranslateMessage(message)) continue;
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
    Sleep(5);
  } while (std::chrono::steady_clock::now() < end);
}

void PressKey(ui::MainWindow* window, WORD key, bool shift) {
  BYTE keys[256];
  GetKeyboardState(keys);
  keys[VK_SHIFT] = shift ? 0x80 : 0;
  SetKeyboardState(keys);
  HWND focus = GetFocus();
  PostMessageA(focus, WM_KEYDOWN, key, 1);
  Pump(window);
  PostMessageA(focus, WM_KEYUP, key, 0xC0000001);
  Pump(window);
  keys[VK_SHIFT] = 0;
  SetKeyboardState(keys);
}

std::string WindowText(HWND hwnd) {
  int length = GetWindowTextLengthA(hwnd);
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  text.resize(static_cast<std::size_t>(GetWindowTextA(hwnd, text.data(), length + 1)));
  return text;
}

RECT PlaceInParent(HWND hwnd) {
  RECT rect;
  GetWindowRect(hwnd, &rect);
  MapWindowPoints(HWND_DESKTOP, GetParent(hwnd), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

void MainWindowTest::SetUp() {
  owner_ = CreateWindowExA(WS_EX_TOOLWINDOW, "STATIC", "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                           nullptr, nullptr);
}

void MainWindowTest::TearDown() {
  window_.reset();
  DestroyWindow(owner_);
  Pump(nullptr, std::chrono::milliseconds(10));
}

void MainWindowTest::Open(const ui::WindowDescription* description) {
  ui::WindowContext context;
  context.owner = owner_;
  context.selected_path = &selected_path_;
  context.gone = [this](ui::MainWindow&) { gone_ = true; };
  window_ =
      ui::MainWindow::Create(description ? *description : ui::WindowDescriptions()[0], context);
  ASSERT_TRUE(window_);
  window_->Show();
  SetForegroundWindow(window_->hwnd());
  Pump(window_.get());
}

namespace {

HWND WaitForDialog(bool file_dialog_only, std::chrono::milliseconds timeout) {
  return testing::WaitForTopWindow(
      GetCurrentProcessId(),
      [&](HWND window) {
        return WindowClass(window) == "#32770" && (!file_dialog_only || GetDlgItem(window, 0x47C));
      },
      timeout);
}

// The edit inside the name field (a ComboBoxEx32 holding a ComboBox holding an Edit, all 0x47C).
HWND NameEdit(HWND dialog) {
  HWND field = GetDlgItem(dialog, 0x47C);
  for (HWND inner = field; inner;) {
    if (WindowClass(inner) == "Edit") return inner;
    HWND next = FindWindowExA(inner, nullptr, nullptr, nullptr);
    HWND edit = FindWindowExA(inner, nullptr, "Edit", nullptr);
    if (edit) return edit;
    inner = next;
  }
  return field;
}

}  // namespace

SeenDialog AnswerOpenDialog(const std::string& name, std::chrono::milliseconds timeout) {
  SeenDialog seen;
  HWND dialog = WaitForDialog(true, timeout);
  if (!dialog) return seen;
  Sleep(200);  // let the dialog fill its fields
  seen.found = true;
  seen.has_owner = GetWindow(dialog, GW_OWNER) != nullptr;
  seen.name_field = WindowText(NameEdit(dialog));
  HWND types = GetDlgItem(dialog, 0x470);
  if (types) {
    LRESULT selected = SendMessageA(types, CB_GETCURSEL, 0, 0);
    char text[512] = {};
    if (selected != CB_ERR)
      SendMessageA(types, CB_GETLBTEXT, selected, reinterpret_cast<LPARAM>(text));
    seen.file_type = text;
  }
  if (name.empty()) {
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  } else {
    SetWindowTextA(GetDlgItem(dialog, 0x47C), name.c_str());
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  }
  return seen;
}

bool CancelAnyDialog(std::chrono::milliseconds timeout) {
  HWND dialog = WaitForDialog(false, timeout);
  if (!dialog) return false;
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  return true;
}

namespace {

class DataObject final : public IDataObject {
 public:
  DataObject(CLIPFORMAT format, std::string payload)
      : format_(format), payload_(std::move(payload)) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
    if (riid == IID_IUnknown || riid == IID_IDataObject) {
      *object = static_cast<IDataObject*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }
  HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override {
    if (QueryGetData(format) != S_OK) return DV_E_FORMATETC;
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, payload_.size());
    std::memcpy(GlobalLock(memory), payload_.data(), payload_.size());
    GlobalUnlock(memory);
    medium->tymed = TYMED_HGLOBAL;
    medium->hGlobal = memory;
    medium->pUnkForRelease = nullptr;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override {
    return format && format->cfFormat == format_ && (format->tymed & TYMED_HGLOBAL) &&
                   format->dwAspect == DVASPECT_CONTENT
               ? S_OK
               : DV_E_FORMATETC;
  }
  HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override {
    out->ptd = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override {
    return OLE_E_ADVISENOTSUPPORTED;
  }
  HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
  HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override {
    return OLE_E_ADVISENOTSUPPORTED;
  }

 private:
  CLIPFORMAT format_;
  std::string payload_;
  ULONG references_ = 1;
};

}  // namespace

IDataObject* NewFileData(const std::vector<std::string>& names) {
  DROPFILES header{};
  header.pFiles = sizeof header;
  header.fWide = FALSE;
  std::string payload(reinterpret_cast<const char*>(&header), sizeof header);
  for (const std::string& name : names) payload += name + '\0';
  payload += '\0';
  return new DataObject(CF_HDROP, payload);
}

IDataObject* NewTextData(const std::string& text) { return new DataObject(CF_TEXT, text + '\0'); }

}  // namespace vevidav::testing
