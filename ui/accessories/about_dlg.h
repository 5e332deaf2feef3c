// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/dialog.h"

#include <string>

namespace meridal {

class Resources;

namespace platform {
class Desktop;
}

// The About box: the product and its version, the copyright notice, and the version and the
// creation date of the program's own file, read when the box opens.
class CAboutDlg final : public platform::DialogController {
  public:
    explicit CAboutDlg(const Resources& resources);

    void onAttach(platform::DialogHost& host) override { m_host = &host; }
    bool onInitDialog() override;
    void onNotify(const platform::NotifyMessage& message) override;
    void onCommand(int commandId) override;
    void onClose() override;

    // "DATE [VERSION]" for the program file as the desktop reports it.
    static std::string dateAndVersionLine(platform::Desktop& desktop, const Resources& resources);

    // The product title, "Meridal® v2.1", in Windows-1252.
    static const char* const productTitle;

  private:
    const Resources& m_resources;
    platform::DialogHost* m_host = nullptr;
    std::string m_text; // scratch while the fonts are made
};

} // namespace meridal
