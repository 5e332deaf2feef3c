// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/controls.h"

#include <windows.h>

// The program's message boxes and the clipboard on Win32.
namespace meridal::platform::win32 {

// Modal message boxes (MessageBoxW) owned by a window, or by none. The owner is disabled while
// a box is on screen, as the system does it.
class Win32MessageBoxes final : public MessageBoxes {
  public:
    explicit Win32MessageBoxes(HWND owner = nullptr) : m_owner(owner) {}

    MessageResult show(const std::string& text, const std::string& caption, MessageIcon icon,
                       MessageButtons buttons = MessageButtons::Ok,
                       DefaultButton defaultButton = DefaultButton::First) override;

  private:
    HWND m_owner;
};

// The clipboard's Unicode text (CF_UNICODETEXT), Windows-1252 in the program. A character the
// code page cannot hold reads as "?".
class Win32Clipboard final : public Clipboard {
  public:
    explicit Win32Clipboard(HWND owner = nullptr) : m_owner(owner) {}
    void setOwner(HWND owner) { m_owner = owner; }

    bool setText(const std::string& text) override;
    std::string text() const override;

  private:
    HWND m_owner;
};

} // namespace meridal::platform::win32
