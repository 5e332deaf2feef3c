// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/chrome/banner_reveal.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

namespace meridal {

using platform::Image;

Image composeBanner(const Image* picture, platform::Size size)
{
    Image banner(size.width, size.height, bannerBackground);
    if (!picture || banner.pixels.empty())
        return banner;
    // Integer division rounds toward zero, also for a banner smaller than the picture.
    const int left = (size.width - bannerPictureWidth) / 2;
    const int top = (size.height - bannerPictureHeight) / 2;
    const int width = std::min(picture->width, bannerPictureWidth);
    const int height = std::min(picture->height, bannerPictureHeight);
    for (int y = std::max(0, -top); y < height && top + y < size.height; ++y)
        for (int x = std::max(0, -left); x < width && left + x < size.width; ++x)
            banner.set(left + x, top + y, picture->at(x, y));
    return banner;
}

BannerReveal::BannerReveal(Image banner)
    : m_banner(std::move(banner)), m_frame(m_banner.width, m_banner.height, bannerBackground)
{
}

void BannerReveal::drawColumn()
{
    if (done())
        return;
    const int x = m_next++;
    for (int y = 0; y < m_banner.height; ++y) {
        const std::uint32_t colour = m_banner.at(x, y);
        if (colour != m_pen) {
            m_pen = colour;
            ++m_penChanges;
        }
        drawLine(x, y, m_banner.width, m_banner.height);
    }
}

void BannerReveal::drawLine(int x0, int y0, int x1, int y1)
{
    // Bresenham's line from (x0, y0) up to, not including, (x1, y1), clipped to the frame.
    const int dx = std::abs(x1 - x0);
    const int dy = -std::abs(y1 - y0);
    const int stepX = x0 < x1 ? 1 : -1;
    const int stepY = y0 < y1 ? 1 : -1;
    int error = dx + dy;
    int x = x0;
    int y = y0;
    while (x != x1 || y != y1) {
        if (!m_frame.contains(x, y))
            break; // heading away from the frame, towards the corner outside it
        m_frame.set(x, y, m_pen);
        const int twice = 2 * error;
        if (twice >= dy) {
            error += dy;
            x += stepX;
        }
        if (twice <= dx) {
            error += dx;
            y += stepY;
        }
    }
}

} // namespace meridal
