// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/win32/win32_pictures.h"

#include "resources/resource_ids.h"
#include "resources/resource_module.h"

#include <cstdint>
#include <cstring>
#include <vector>

namespace meridal::platform::win32 {

namespace {

constexpr unsigned typeIconImage = 3;              // RT_ICON: one image of an icon group
constexpr unsigned typeAccelerators = 9;           // RT_ACCELERATOR
constexpr long largestPicture = 16L * 1024 * 1024; // pixels

// The resource's bytes, copied to storage aligned as the system's structures need.
std::vector<std::uint32_t> aligned(std::string_view bytes)
{
    std::vector<std::uint32_t> words((bytes.size() + 3) / 4 + 1, 0);
    std::memcpy(words.data(), bytes.data(), bytes.size());
    return words;
}

// The module whose image holds `data`, as the handle that its loading as an image of
// resources gives (the mapping's base with bit 2 set); nullptr for data elsewhere.
HMODULE moduleHolding(const void* data)
{
    MEMORY_BASIC_INFORMATION region{};
    if (VirtualQuery(data, &region, sizeof region) == 0 || region.Type != MEM_IMAGE || !region.AllocationBase)
        return nullptr;
    const auto* dos = static_cast<const IMAGE_DOS_HEADER*>(region.AllocationBase);
    if (dos->e_magic != IMAGE_DOS_SIGNATURE)
        return nullptr;
    return reinterpret_cast<HMODULE>(reinterpret_cast<ULONG_PTR>(region.AllocationBase) | 2);
}

} // namespace

std::optional<Image> decodeBitmap(std::string_view packed)
{
    BITMAPINFOHEADER header{};
    if (packed.size() < sizeof header)
        return std::nullopt;
    std::memcpy(&header, packed.data(), sizeof header);
    const long width = header.biWidth;
    const long height = header.biHeight < 0 ? -static_cast<long>(header.biHeight) : header.biHeight;
    if (header.biSize < sizeof header || header.biSize > packed.size() || width <= 0 || height <= 0 ||
        width > largestPicture / height || header.biPlanes != 1)
        return std::nullopt;
    const std::size_t colours = header.biClrUsed != 0
                                    ? header.biClrUsed
                                    : (header.biBitCount <= 8 ? std::size_t{1} << header.biBitCount : 0);
    const std::size_t masks = header.biSize == sizeof header && header.biCompression == BI_BITFIELDS ? 12 : 0;
    const std::size_t bitsAt = header.biSize + masks + colours * sizeof(RGBQUAD);
    if (colours > 256 || bitsAt > packed.size())
        return std::nullopt;
    const std::size_t stride = ((static_cast<std::size_t>(width) * header.biBitCount + 31) / 32) * 4;
    const std::size_t needed = header.biCompression == BI_RGB || header.biCompression == BI_BITFIELDS
                                   ? stride * static_cast<std::size_t>(height)
                                   : header.biSizeImage;
    if (needed == 0 || packed.size() - bitsAt < needed)
        return std::nullopt;

    // The system reads every form of bitmap; its pixels are taken from a 32-bit copy.
    const std::vector<std::uint32_t> source = aligned(packed);
    const auto* info = reinterpret_cast<const BITMAPINFO*>(source.data());
    const auto* bits = reinterpret_cast<const char*>(source.data()) + bitsAt;
    Image image(static_cast<int>(width), static_cast<int>(height));
    HBITMAP target = createBitmap(image);
    HDC context = target ? CreateCompatibleDC(nullptr) : nullptr;
    bool drawn = false;
    if (context) {
        HGDIOBJ before = SelectObject(context, target);
        drawn = SetDIBitsToDevice(context, 0, 0, static_cast<DWORD>(width), static_cast<DWORD>(height), 0, 0,
                                  0, static_cast<UINT>(height), bits, info, DIB_RGB_COLORS) != 0;
        GdiFlush();
        SelectObject(context, before);
        DeleteDC(context);
    }
    if (drawn) {
        DIBSECTION section{};
        GetObjectW(target, sizeof section, &section);
        const auto* pixels = static_cast<const std::uint32_t*>(section.dsBm.bmBits);
        for (std::size_t i = 0; i < image.pixels.size(); ++i)
            image.pixels[i] = pixels[i] & 0xFFFFFFu;
    }
    if (target)
        DeleteObject(target);
    if (!drawn)
        return std::nullopt;
    return image;
}

std::optional<Image> loadBitmap(const Resources& resources, unsigned id)
{
    const auto data = resources.find(res::typeBitmap, id);
    return data ? decodeBitmap(*data) : std::nullopt;
}

HBITMAP createBitmap(const Image& image)
{
    if (image.width <= 0 || image.height <= 0)
        return nullptr;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = image.width;
    info.bmiHeader.biHeight = -image.height; // rows from the top, as the program's are
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap || !bits)
        return bitmap;
    // Blue, green, red in memory, as 0xRRGGBB is; opaque, for whoever reads the fourth byte.
    auto* pixels = static_cast<std::uint32_t*>(bits);
    for (std::size_t i = 0; i < image.pixels.size(); ++i)
        pixels[i] = 0xFF000000u | (image.pixels[i] & 0xFFFFFFu);
    GdiFlush();
    return bitmap;
}

HICON loadIcon(const Resources& resources, unsigned id, int size)
{
    const auto group = resources.find(res::typeIcon, id);
    // A group directory: a 6-byte header, then 14 bytes for each image.
    if (!group || group->size() < 6)
        return nullptr;
    std::vector<std::uint32_t> directory = aligned(*group);
    auto* bytes = reinterpret_cast<PBYTE>(directory.data());
    std::uint16_t count = 0;
    std::memcpy(&count, bytes + 4, sizeof count);
    if (count == 0 || group->size() < 6 + 14u * count)
        return nullptr;
    const int imageId = LookupIconIdFromDirectoryEx(bytes, TRUE, size, size, LR_DEFAULTCOLOR);
    const auto image =
        imageId > 0 ? resources.find(typeIconImage, static_cast<unsigned>(imageId)) : std::nullopt;
    if (!image || image->empty())
        return nullptr;
    std::vector<std::uint32_t> imageBytes = aligned(*image);
    return CreateIconFromResourceEx(reinterpret_cast<PBYTE>(imageBytes.data()),
                                    static_cast<DWORD>(image->size()), TRUE, 0x00030000, size, size,
                                    LR_DEFAULTCOLOR);
}

HCURSOR loadCursor(const Resources& resources, unsigned id)
{
    const auto group = resources.find(res::typeCursor, id);
    if (!group || group->empty())
        return nullptr;
    HMODULE module = moduleHolding(group->data());
    if (!module)
        return nullptr;
    // Only when the module finds these very bytes as the group is it the module they came from.
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(12)); // RT_GROUP_CURSOR
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    if (!loaded || LockResource(loaded) != group->data())
        return nullptr;
    return static_cast<HCURSOR>(
        LoadImageW(module, MAKEINTRESOURCEW(id), IMAGE_CURSOR, 0, 0, LR_DEFAULTSIZE | LR_SHARED));
}

HMENU loadMenu(const Resources& resources, unsigned id)
{
    const auto menu = resources.find(res::typeMenu, id);
    if (!menu || menu->size() < 4)
        return nullptr;
    const std::vector<std::uint32_t> bytes = aligned(*menu);
    return LoadMenuIndirectW(bytes.data());
}

HACCEL loadAccelerators(const Resources& resources, unsigned id)
{
    const auto table = resources.find(typeAccelerators, id);
    if (!table)
        return nullptr;
    // Entries of 8 bytes: flags, key, command, padding; the last one's flags carry 0x80.
    std::vector<ACCEL> accelerators;
    for (std::size_t at = 0; at + 8 <= table->size(); at += 8) {
        std::uint16_t entry[3];
        std::memcpy(entry, table->data() + at, sizeof entry);
        accelerators.push_back({static_cast<BYTE>(entry[0] & 0x7F), entry[1], entry[2]});
        if (entry[0] & 0x80)
            break;
    }
    if (accelerators.empty())
        return nullptr;
    return CreateAcceleratorTableW(accelerators.data(), static_cast<int>(accelerators.size()));
}

} // namespace meridal::platform::win32
