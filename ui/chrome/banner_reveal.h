// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/geometry.h"

#include <cstdint>

namespace meridal {

// The banner's pictures are drawn as this many pixels, centred in the banner.
inline constexpr int bannerPictureWidth = 152;
inline constexpr int bannerPictureHeight = 68;
inline constexpr std::uint32_t bannerBackground = 0xFFFFFF;

// The banner at rest: `size` in white, with the top-left 152 by 68 pixels of `picture` at
// ((w - 152) / 2, (h - 68) / 2), clipped to the banner. Without a picture, white only.
platform::Image composeBanner(const platform::Image* picture, platform::Size size);

// The banner's animated first drawing, column by column from the left, into a frame of its
// own. For each pixel of a column, from the top, a line in that pixel's colour is drawn from
// it towards the bottom-right corner (w, h), the corner itself left out; the pen changes only
// when the colour differs from the pixel before (black before the first). Lines never reach
// back into earlier columns, so after column k the columns 0 to k show the banner, and after
// the last column every pixel does. The frame starts white.
class BannerReveal {
  public:
    explicit BannerReveal(platform::Image banner);

    int columns() const { return m_banner.width; }
    // Columns drawn so far.
    int columnsDone() const { return m_next; }
    bool done() const { return m_next >= columns(); }
    // Draws the next column; nothing once done.
    void drawColumn();
    const platform::Image& frame() const { return m_frame; }
    // How many times the pen has changed colour.
    int penChanges() const { return m_penChanges; }

  private:
    void drawLine(int x0, int y0, int x1, int y1);

    platform::Image m_banner;
    platform::Image m_frame;
    int m_next = 0;
    std::uint32_t m_pen = 0x000000;
    int m_penChanges = 0;
};

} // namespace meridal
