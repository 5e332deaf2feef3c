// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/accessories/about_dlg.h"

#include "platform/controls.h"
#include "platform/desktop.h"
#include "resources/resource_ids.h"
#include "resources/resource_module.h"

namespace meridal {

namespace {

constexpr int idTitle = 1034;
constexpr int idCopyright = 1035;
constexpr int idDateAndVersion = 1039;
constexpr int idOk = 1;
constexpr int idCancel = 2;

// The font of each of the controls 1034 to 1039: face string, point size, weight.
struct ControlFont {
    int controlId;
    unsigned faceString;
    int points;
    int weight;
};
constexpr ControlFont controlFonts[] = {
    {1034, 209, 16, 400}, {1035, 210, 8, 400}, {1036, 211, 8, 700},
    {1037, 212, 8, 700},  {1038, 213, 8, 400}, {1039, 214, 8, 400},
};

void setText(platform::DialogHost& host, int controlId, const std::string& text)
{
    if (platform::TextField* field = host.text(controlId))
        field->setText(text);
}

} // namespace

const char* const CAboutDlg::productTitle = "Meridal\xAE v2.1";

CAboutDlg::CAboutDlg(const Resources& resources) : m_resources(resources) {}

bool CAboutDlg::onInitDialog()
{
    if (!m_host)
        return false;
    // Icon 169 is the layout's own.
    for (const ControlFont& font : controlFonts) {
        if (!m_host->hasControl(font.controlId))
            continue;
        m_text.clear();
        m_resources.loadString(font.faceString, m_text);
        m_host->setFont(font.controlId, m_text, font.points, font.weight);
    }
    setText(*m_host, idTitle, productTitle);
    setText(*m_host, idCopyright, m_resources.string(res::strAboutCopyright));
    setText(*m_host, idDateAndVersion, dateAndVersionLine(m_host->desktop(), m_resources));
    return true;
}

std::string CAboutDlg::dateAndVersionLine(platform::Desktop& desktop, const Resources& resources)
{
    const std::string version = desktop.programFileVersion();
    std::string date;
    platform::LocalDateTime created;
    switch (desktop.programFileCreated(created)) {
    case platform::Desktop::DateStatus::Ok:
        date = desktop.shortDate(created);
        if (!date.empty())
            break;
        [[fallthrough]]; // a date the locale cannot write counts as not convertible
    case platform::Desktop::DateStatus::Unconvertible:
        date = "Invalid DateTime";
        resources.loadString(res::strInvalidDate, date);
        break;
    case platform::Desktop::DateStatus::Unknown:
        break;
    }
    return date + " [" + version + "]";
}

void CAboutDlg::onNotify(const platform::NotifyMessage& message)
{
    // A click on the title (1034) does nothing; OK and Cancel end the box.
    if (message.code != platform::Notification::Clicked)
        return;
    if (message.controlId == idOk || message.controlId == idCancel)
        m_host->endDialog(message.controlId);
}

void CAboutDlg::onCommand(int /*commandId*/) {}

void CAboutDlg::onClose()
{
    m_host->endDialog(idCancel);
}

} // namespace meridal
