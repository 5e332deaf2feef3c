// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "catalogue/utf16.h"

#include <string>
#include <string_view>

// The program's UTF-8 file names and arguments as the wide text of the Windows interfaces
// (wchar_t is a UTF-16 unit there).
namespace meridal {

inline std::wstring toWide(std::string_view utf8)
{
    const std::u16string text = utf8ToUtf16(utf8);
    return std::wstring(text.begin(), text.end());
}

inline std::string fromWide(std::wstring_view wide)
{
    return utf16ToUtf8(std::u16string(wide.begin(), wide.end()));
}

} // namespace meridal
