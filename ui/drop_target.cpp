#include "ui/drop_target.h"

#include <shellapi.h>

#include <vector>

namespace vevidav::ui {
namespace {

FORMATETC GlobalFormat(CLIPFORMAT format) {
  return FORMATETC{format, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
}

bool Offers(IDataObject* data, CLIPFORMAT format) {
  FORMATETC wanted = GlobalFormat(format);
  return data->QueryGetData(&wanted) == S_OK;
}

}  // namespace

DropTarget::~DropTarget() {
  if (window_) RevokeDragDrop(window_);
}

bool DropTarget::Register(HWND window) {
  if (window_) return false;
  if (FAILED(RegisterDragDrop(window, this))) return false;
  window_ = window;
  return true;
}

void DropTarget::Unregister(HWND) {
  if (!window_) return;
  RevokeDragDrop(window_);
  window_ = nullptr;
}

HRESULT DropTarget::QueryInterface(REFIID riid, void** object) {
  if (!object) return E_POINTER;
  if (riid == IID_IUnknown || riid == IID_IDropTarget) {
    *object = static_cast<IDropTarget*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

ULONG DropTarget::AddRef() { return ++references_; }
ULONG DropTarget::Release() { return references_ > 1 ? --references_ : 1; }

bool DropTarget::Accepts(IDataObject* data) const {
  if (!data) return false;
  if (accept_files && Offers(data, CF_HDROP)) return true;
  if (accept_text && Offers(data, CF_TEXT)) return true;
  if (accept_html && Offers(data, static_cast<CLIPFORMAT>(RegisterClipboardFormatA("HTML Format"))))
    return true;
  if (accept_url &&
      Offers(data, static_cast<CLIPFORMAT>(RegisterClipboardFormatA("UniformResourceLocator"))))
    return true;
  return false;
}

// Copy when the source allows it. Never a move: a drop must leave the dropped items alone.
DWORD DropTarget::EffectFor(DWORD allowed) {
  if (allowed & DROPEFFECT_COPY) return DROPEFFECT_COPY;
  if (allowed & DROPEFFECT_LINK) return DROPEFFECT_LINK;
  return DROPEFFECT_NONE;
}

HRESULT DropTarget::DragEnter(IDataObject* data, DWORD, POINTL, DWORD* effect) {
  try {
    drag_accepted_ = Accepts(data);
    if (effect) *effect = drag_accepted_ ? EffectFor(*effect) : DROPEFFECT_NONE;
    return S_OK;
  } catch (...) {
    return E_UNEXPECTED;
  }
}

HRESULT DropTarget::DragOver(DWORD, POINTL, DWORD* effect) {
  if (effect) *effect = drag_accepted_ ? EffectFor(*effect) : DROPEFFECT_NONE;
  return S_OK;
}

HRESULT DropTarget::DragLeave() {
  drag_accepted_ = false;
  return S_OK;
}

HRESULT DropTarget::Drop(IDataObject* data, DWORD, POINTL, DWORD* effect) {
  try {
    bool accepted = drag_accepted_ && data;
    drag_accepted_ = false;
    if (effect) *effect = accepted ? EffectFor(*effect) : DROPEFFECT_NONE;
    if (!accepted || !accept_files) return S_OK;
    FORMATETC wanted = GlobalFormat(CF_HDROP);
    STGMEDIUM medium{};
    if (data->GetData(&wanted, &medium) != S_OK) return S_OK;
    if (medium.tymed == TYMED_HGLOBAL && medium.hGlobal) {
      Text dropped = DroppedText(static_cast<HDROP>(medium.hGlobal));
      if (files_dropped) files_dropped(dropped);
    }
    ReleaseStgMedium(&medium);
    return S_OK;
  } catch (...) {
    return E_UNEXPECTED;
  }
}

Text DroppedText(HDROP drop) {
  UINT count = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
  Text dropped;
  for (UINT i = 0; i < count; ++i) {
    UINT length = DragQueryFileA(drop, i, nullptr, 0);
    std::vector<char> name(length + 1);
    DragQueryFileA(drop, i, name.data(), length + 1);
    dropped += Text(name.data());
    if (count > 1) dropped += "\r\n";
  }
  return dropped;
}

}  // namespace vevidav::ui
