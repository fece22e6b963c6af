#pragma once
// A JPEG (or any picture the system can decode) from the executable's resources, as a bitmap.
#include <windows.h>

#include <optional>

#include "ui/handles.h"

namespace vevidav::ui {

struct Picture {
  UniqueBitmap bitmap;
  int width = 0;
  int height = 0;
};

// Decodes RCDATA resource `id` of `module` with the Windows Imaging Component. Nothing when the
// resource is missing or cannot be decoded. COM must be initialised on the thread.
std::optional<Picture> DecodePictureResource(HMODULE module, int id);

// Draws `picture` at its natural size in tiles from (0, 0) over `area`, skipping tiles that do not
// meet `paint`.
void DrawTiled(HDC dc, const Picture& picture, const RECT& area, const RECT& paint);

}  // namespace vevidav::ui
