// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/geometry.h"

#include <optional>
#include <string_view>
#include <windows.h>

namespace meridal {
class Resources;
}

// Pictures, menus and keyboard shortcuts of the resource module as the system's objects. Each
// is made from the bytes the module holds (Resources::find), so a test's own resources serve
// as well as the loaded module. A resource the module lacks, or cannot be read, gives nothing.
namespace meridal::platform::win32 {

// A bitmap resource (a BITMAPINFOHEADER, its colours and its bits, without a file header) as
// 0xRRGGBB pixels.
std::optional<Image> decodeBitmap(std::string_view packed);
std::optional<Image> loadBitmap(const Resources& resources, unsigned id);

// A bitmap the system draws: a top-down 32-bit DIB section holding `image`. The caller owns it.
HBITMAP createBitmap(const Image& image);

// The image of icon group `id` that fits `size` pixels best, at that size; the caller owns it.
HICON loadIcon(const Resources& resources, unsigned id, int size);

// Cursor group `id`. The system reads a cursor's images from the loaded module itself
// (the module's lookup gives the group only), so a cursor comes only from the module that
// holds the group's bytes. Shared: not to be destroyed.
HCURSOR loadCursor(const Resources& resources, unsigned id);

// Menu resource `id` (a menu template); the caller owns it.
HMENU loadMenu(const Resources& resources, unsigned id);

// The keyboard shortcuts of accelerator table `id`; the caller owns them.
HACCEL loadAccelerators(const Resources& resources, unsigned id);

} // namespace meridal::platform::win32
