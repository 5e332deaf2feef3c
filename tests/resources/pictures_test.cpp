#include "tests/resources/loaded_module.h"

#include "resources/resource_ids.h"
#include "resources/resource_module.h"

#include <cstdint>
#include <cstdlib>
#include <gtest/gtest.h>
#include <string>
#include <string_view>

namespace meridal {
namespace {

using test::loadedModule;

std::uint32_t le32(std::string_view d, std::size_t at)
{
    std::uint32_t v = 0;
    for (std::size_t i = 0; i < 4; ++i)
        v |= std::uint32_t(static_cast<unsigned char>(d[at + i])) << (8 * i);
    return v;
}
std::uint16_t le16(std::string_view d, std::size_t at)
{
    return std::uint16_t(static_cast<unsigned char>(d[at]) | static_cast<unsigned char>(d[at + 1]) << 8);
}
std::uint32_t be32(std::string_view d, std::size_t at)
{
    std::uint32_t v = 0;
    for (std::size_t i = 0; i < 4; ++i)
        v = v << 8 | static_cast<unsigned char>(d[at + i]);
    return v;
}

struct Bmp {
    unsigned id;
    std::int32_t width;
    std::int32_t height;
};

const Bmp bitmaps[] = {
    {res::bitmapAddLog, 24, 24},     {res::bitmapDeleteLog, 24, 24}, {res::bitmapClearLog, 24, 24},
    {res::bitmapRestoreLog, 24, 24}, {res::bitmapBanner, 152, 68},   {res::bitmapBannerHot, 152, 68},
};

TEST(Pictures, BitmapsAreWholeUncompressedBmpFiles)
{
    for (const auto& [id, width, height] : bitmaps) {
        SCOPED_TRACE(id);
        auto data = loadedModule().find(res::typeBitmap, id);
        ASSERT_TRUE(data);
        ASSERT_GE(data->size(), 54u);
        // The 14-byte file header is kept, so image loaders take the data as a file.
        EXPECT_EQ(data->substr(0, 2), "BM");
        EXPECT_EQ(le32(*data, 2), data->size());
        const std::uint32_t pixels = le32(*data, 10);
        EXPECT_GE(le32(*data, 14), 40u); // info header size
        EXPECT_EQ(static_cast<std::int32_t>(le32(*data, 18)), width);
        EXPECT_EQ(std::abs(static_cast<std::int32_t>(le32(*data, 22))), height);
        EXPECT_EQ(le16(*data, 28), 24); // bits per pixel
        EXPECT_EQ(le32(*data, 30), 0u); // no compression
        const std::size_t stride = (std::size_t(width) * 3 + 3) / 4 * 4;
        EXPECT_EQ(pixels + stride * std::size_t(height), data->size());
    }
}

// Mean luminance of a 24-bit BMP whose rows need no padding (pixels stored blue, green, red).
double brightness(std::string_view bmp)
{
    const std::uint32_t pixels = le32(bmp, 10);
    double sum = 0;
    std::size_t count = 0;
    for (std::size_t i = pixels; i + 2 < bmp.size(); i += 3, ++count) {
        const auto b = static_cast<unsigned char>(bmp[i]), g = static_cast<unsigned char>(bmp[i + 1]),
                   r = static_cast<unsigned char>(bmp[i + 2]);
        sum += 0.299 * r + 0.587 * g + 0.114 * b;
    }
    return sum / double(count);
}

TEST(Pictures, HighlightedBannerIsBrighterThanTheNormalOne)
{
    auto normal = loadedModule().find(res::typeBitmap, res::bitmapBanner);
    auto hot = loadedModule().find(res::typeBitmap, res::bitmapBannerHot);
    ASSERT_TRUE(normal && hot);
    EXPECT_NE(*normal, *hot);
    EXPECT_GT(brightness(*hot), brightness(*normal));
}

TEST(Pictures, IconAndCursorArePngImagesWithAlpha)
{
    struct Png {
        unsigned type, id;
        std::uint32_t minSide, maxSide;
    };
    for (const auto& [type, id, minSide, maxSide] :
         {Png{res::typeIcon, res::iconMain, 64, 256}, Png{res::typeCursor, res::cursorBanner, 16, 64}}) {
        SCOPED_TRACE(id);
        auto data = loadedModule().find(type, id);
        ASSERT_TRUE(data);
        ASSERT_GE(data->size(), 33u);
        EXPECT_EQ(data->substr(0, 8), std::string_view("\x89PNG\r\n\x1a\n", 8));
        EXPECT_EQ(data->substr(12, 4), "IHDR");
        const std::uint32_t width = be32(*data, 16), height = be32(*data, 20);
        EXPECT_EQ(width, height);
        EXPECT_GE(width, minSide);
        EXPECT_LE(width, maxSide);
        EXPECT_EQ(static_cast<unsigned char>((*data)[25]), 6); // RGBA: transparent around the glyph
        EXPECT_EQ(data->substr(data->size() - 8, 4), "IEND");
    }
}

} // namespace
} // namespace meridal
