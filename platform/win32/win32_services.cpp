// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/win32/win32_services.h"

#include "platform/win32/win32_text.h"

#include <cstring>

namespace meridal::platform::win32 {

namespace {

UINT iconFlags(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::Error:
        return MB_ICONERROR;
    case MessageIcon::Warning:
        return MB_ICONWARNING;
    case MessageIcon::Information:
        return MB_ICONINFORMATION;
    case MessageIcon::Question:
        return MB_ICONQUESTION;
    case MessageIcon::None:
        break;
    }
    return 0;
}

UINT buttonFlags(MessageButtons buttons)
{
    switch (buttons) {
    case MessageButtons::YesNo:
        return MB_YESNO;
    case MessageButtons::OkCancel:
        return MB_OKCANCEL;
    case MessageButtons::Ok:
        break;
    }
    return MB_OK;
}

// Opening the clipboard fails while another program holds it open; it is tried a few times.
bool openClipboard(HWND owner)
{
    for (int attempt = 0; attempt < 5; ++attempt) {
        if (OpenClipboard(owner))
            return true;
        Sleep(10);
    }
    return false;
}

} // namespace

MessageResult Win32MessageBoxes::show(const std::string& text, const std::string& caption, MessageIcon icon,
                                      MessageButtons buttons, DefaultButton defaultButton)
{
    UINT flags = iconFlags(icon) | buttonFlags(buttons);
    if (defaultButton == DefaultButton::Second && buttons != MessageButtons::Ok)
        flags |= MB_DEFBUTTON2;
    // A box of no window stays in front of the program's windows all the same.
    if (!m_owner)
        flags |= MB_TASKMODAL;
    const HWND owner = m_owner && IsWindow(m_owner) ? m_owner : nullptr;
    switch (MessageBoxW(owner, toWide(text).c_str(), toWide(caption).c_str(), flags)) {
    case IDYES:
        return MessageResult::Yes;
    case IDNO:
        return MessageResult::No;
    case IDCANCEL:
        return MessageResult::Cancel;
    default:
        return MessageResult::Ok;
    }
}

bool Win32Clipboard::setText(const std::string& text)
{
    const std::wstring wide = toWide(text);
    if (!openClipboard(m_owner))
        return false;
    bool done = false;
    if (EmptyClipboard()) {
        const std::size_t bytes = (wide.size() + 1) * sizeof(wchar_t);
        if (HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes)) {
            if (void* data = GlobalLock(block)) {
                std::memcpy(data, wide.c_str(), bytes);
                GlobalUnlock(block);
                // The clipboard owns the block once it has taken it.
                done = SetClipboardData(CF_UNICODETEXT, block) != nullptr;
            }
            if (!done)
                GlobalFree(block);
        }
    }
    CloseClipboard();
    return done;
}

std::string Win32Clipboard::text() const
{
    if (!IsClipboardFormatAvailable(CF_UNICODETEXT) || !openClipboard(m_owner))
        return {};
    std::string text;
    if (HANDLE block = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* data = static_cast<const wchar_t*>(GlobalLock(block))) {
            // The text ends at its NUL, or at the end of the block.
            const std::size_t units = GlobalSize(block) / sizeof(wchar_t);
            text = fromWide(std::wstring_view(data, wcsnlen(data, units)));
            GlobalUnlock(block);
        }
    }
    CloseClipboard();
    return text;
}

} // namespace meridal::platform::win32
