// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/resources/loaded_module.h"

#include "resources/resource_ids.h"
#include "resources/resource_module.h"

#include <array>
#include <cstdint>
#include <cstdlib>
#include <gtest/gtest.h>
#include <string_view>

namespace meridal {
namespace {

using test::loadedModule;

// A 4-byte number at `at`, little- or big-endian.
std::uint32_t number(std::string_view d, std::size_t at, bool little = true)
{
    std::uint32_t v = 0;
    for (std::size_t i = 0; i < 4; ++i)
        v = v << 8 | static_cast<unsigned char>(d[at + (little ? 3 - i : i)]);
    return v;
}

TEST(Pictures, BitmapsAreWhole24BitBmpFilesOfTheirLayoutSize)
{
    using Bmp = std::array<unsigned, 3>; // number, width, height
    for (const auto [id, width, height] :
         {Bmp{res::bitmapAddLog, 24, 24}, Bmp{res::bitmapDeleteLog, 24, 24}, Bmp{res::bitmapClearLog, 24, 24},
          Bmp{res::bitmapRestoreLog, 24, 24}, Bmp{res::bitmapBanner, 152, 68},
          Bmp{res::bitmapBannerHot, 152, 68}}) {
        SCOPED_TRACE(id);
        auto data = loadedModule().find(res::typeBitmap, id);
        ASSERT_TRUE(data && data->size() >= 54u);
        // The 14-byte file header is kept, so image loaders take the data as a file.
        EXPECT_EQ(data->substr(0, 2), "BM");
        EXPECT_EQ(number(*data, 2), data->size());
        EXPECT_EQ(number(*data, 18), width);
        EXPECT_EQ(std::abs(static_cast<std::int32_t>(number(*data, 22))), static_cast<std::int32_t>(height));
        EXPECT_EQ(number(*data, 28) & 0xFFFF, 24u); // bits per pixel
    }
}

// Mean luminance of a 24-bit BMP whose rows need no padding (pixels stored blue, green, red).
double brightness(std::string_view bmp)
{
    double sum = 0;
    std::size_t count = 0;
    for (std::size_t i = number(bmp, 10); i + 2 < bmp.size(); i += 3, ++count)
        sum += 0.114 * static_cast<unsigned char>(bmp[i]) + 0.587 * static_cast<unsigned char>(bmp[i + 1]) +
               0.299 * static_cast<unsigned char>(bmp[i + 2]);
    return sum / double(count);
}

TEST(Pictures, HighlightedBannerIsBrighterThanTheNormalOne)
{
    auto normal = loadedModule().find(res::typeBitmap, res::bitmapBanner);
    auto hot = loadedModule().find(res::typeBitmap, res::bitmapBannerHot);
    ASSERT_TRUE(normal && hot);
    EXPECT_GT(brightness(*hot), brightness(*normal));
}

TEST(Pictures, IconAndCursorAreSquarePngImagesWithAlpha)
{
    using Png = std::array<unsigned, 4>; // type, number, smallest and largest side
    for (const auto [type, id, minSide, maxSide] :
         {Png{res::typeIcon, res::iconMain, 64, 256}, Png{res::typeCursor, res::cursorBanner, 16, 64}}) {
        SCOPED_TRACE(id);
        auto data = loadedModule().find(type, id);
        ASSERT_TRUE(data && data->size() >= 33u);
        EXPECT_EQ(data->substr(0, 8), std::string_view("\x89PNG\r\n\x1a\n", 8));
        EXPECT_EQ(number(*data, 16, false), number(*data, 20, false));
        EXPECT_GE(number(*data, 16, false), minSide);
        EXPECT_LE(number(*data, 16, false), maxSide);
        EXPECT_EQ(static_cast<unsigned char>((*data)[25]), 6); // RGBA: transparent around the glyph
    }
}

} // namespace
} // namespace meridal
