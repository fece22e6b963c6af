#pragma once
// The drop-target component: an IDropTarget registered for one window, taking the kinds of
// dragged data its switches allow and raising FilesDropped with the dropped names.
#include <windows.h>

#include <ole2.h>
#include <shellapi.h>

#include <functional>

#include "engine/text.h"

namespace vevidav::ui {

class DropTarget final : public IDropTarget {
 public:
  // The dropped text: one path alone, or every path followed by "\r\n".
  using FilesDroppedHandler = std::function<void(const Text& dropped)>;

  DropTarget() = default;
  DropTarget(const DropTarget&) = delete;
  DropTarget& operator=(const DropTarget&) = delete;
  ~DropTarget();

  bool accept_text = false;   // CF_TEXT
  bool accept_html = false;   // "HTML Format"
  bool accept_url = false;    // "UniformResourceLocator"
  bool accept_files = false;  // CF_HDROP
  FilesDroppedHandler files_dropped;

  // Registers for `window`; false when already registered or when the system refuses.
  bool Register(HWND window);
  // Revokes the registration made by Register, whatever window is given.
  void Unregister(HWND window);
  HWND registered_window() const { return window_; }

  // IUnknown. The window owns the component; OLE's references only keep the count honest.
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  // IDropTarget.
  HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD keys, POINTL point,
                                      DWORD* effect) override;
  HRESULT STDMETHODCALLTYPE DragOver(DWORD keys, POINTL point, DWORD* effect) override;
  HRESULT STDMETHODCALLTYPE DragLeave() override;
  HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD keys, POINTL point,
                                 DWORD* effect) override;

 private:
  bool Accepts(IDataObject* data) const;
  static DWORD EffectFor(DWORD allowed);

  HWND window_ = nullptr;
  ULONG references_ = 1;
  bool drag_accepted_ = false;
};

// The dropped text of a CF_HDROP list.
Text DroppedText(HDROP drop);

}  // namespace vevidav::ui
