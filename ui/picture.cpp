#include "ui/picture.h"

#include <wincodec.h>
#include <wrl/client.h>

#include <cstring>

namespace vevidav::ui {

using Microsoft::WRL::ComPtr;

std::optional<Picture> DecodePictureResource(HMODULE module, int id) {
  HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(10));  // RT_RCDATA
  if (!found) return std::nullopt;
  HGLOBAL loaded = LoadResource(module, found);
  auto* bytes = static_cast<BYTE*>(LockResource(loaded));
  DWORD size = SizeofResource(module, found);
  if (!bytes || size == 0) return std::nullopt;

  ComPtr<IWICImagingFactory> factory;
  ComPtr<IWICStream> stream;
  ComPtr<IWICBitmapDecoder> decoder;
  ComPtr<IWICBitmapFrameDecode> frame;
  ComPtr<IWICFormatConverter> converter;
  if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                              IID_PPV_ARGS(&factory))) ||
      FAILED(factory->CreateStream(&stream)) || FAILED(stream->InitializeFromMemory(bytes, size)) ||
      FAILED(factory->CreateDecoderFromStream(stream.Get(), nullptr, WICDecodeMetadataCacheOnDemand,
                                              &decoder)) ||
      FAILED(decoder->GetFrame(0, &frame)) || FAILED(factory->CreateFormatConverter(&converter)) ||
      FAILED(converter->Initialize(frame.Get(), GUID_WICPixelFormat32bppBGRA,
                                   WICBitmapDitherTypeNone, nullptr, 0.0,
                                   WICBitmapPaletteTypeCustom)))
    return std::nullopt;
  UINT width = 0, height = 0;
  if (FAILED(converter->GetSize(&width, &height)) || width == 0 || height == 0) return std::nullopt;

  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = static_cast<LONG>(width);
  info.bmiHeader.biHeight = -static_cast<LONG>(height);  // top-down, as WIC delivers rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* pixels = nullptr;
  Picture picture;
  picture.bitmap.reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &pixels, nullptr, 0));
  if (!picture.bitmap || !pixels) return std::nullopt;
  UINT stride = width * 4;
  if (FAILED(converter->CopyPixels(nullptr, stride, stride * height, static_cast<BYTE*>(pixels))))
    return std::nullopt;
  picture.width = static_cast<int>(width);
  picture.height = static_cast<int>(height);
  return picture;
}

void DrawTiled(HDC dc, const Picture& picture, const RECT& area, const RECT& paint) {
  UniqueDc memory(CreateCompatibleDC(dc));
  if (!memory) return;
  SelectScope select(memory.get(), picture.bitmap.get());
  for (int top = area.top; top < area.bottom; top += picture.height) {
    for (int left = area.left; left < area.right; left += picture.width) {
      RECT tile{left, top, left + picture.width, top + picture.height};
      RECT meet;
      if (!IntersectRect(&meet, &tile, &paint)) continue;
      BitBlt(dc, left, top, picture.width, picture.height, memory.get(), 0, 0, SRCCOPY);
    }
  }
}

}  // namespace vevidav::ui
