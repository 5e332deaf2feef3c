// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/accessories/accessories.h"

#include "platform/controls.h"
#include "platform/desktop.h"
#include "platform/dialog.h"
#include "resources/resource_ids.h"
#include "resources/resource_module.h"
#include "ui/accessories/about_dlg.h"
#include "ui/converter_window.h"

namespace meridal {

using platform::DefaultButton;
using platform::MessageButtons;
using platform::MessageIcon;

namespace {

// The string whose text a target command opens.
unsigned targetString(int commandId)
{
    switch (commandId) {
    case res::cmdTarget1:
        return res::strTargetFirst; // 243
    case res::cmdTarget2First:
        return res::strTargetFirst + 1; // 244
    default:
        // 0x8007 to 0x800A: strings 245 to 248.
        return res::strTargetFirst + 2 + static_cast<unsigned>(commandId - (res::cmdTarget2First + 1));
    }
}

} // namespace

Accessories::Accessories(ConverterWindow& window) : m_window(window) {}

bool Accessories::onNotify(const platform::NotifyMessage& message)
{
    static const Route::Notify routes[] = {
        {res::idBanner, platform::Notification::Clicked, &Accessories::onBannerClicked},
    };
    return Route::dispatch(*this, routes, message);
}

bool Accessories::onCommand(int commandId)
{
    static const Route::Command routes[] = {
        {res::cmdCalculator, res::cmdCalculator, &Accessories::onCalculator},
        {res::cmdTarget1, res::cmdTarget1, &Accessories::onTargetCommand},
        {res::cmdTarget2First, res::cmdTarget2Last, &Accessories::onTargetCommand},
        {res::cmdAbout, res::cmdAbout, &Accessories::onAbout},
    };
    return Route::dispatch(*this, routes, commandId);
}

void Accessories::openCalculator()
{
    platform::Desktop& desktop = m_window.host().desktop();
    // The calculator's scientific view; whether the setting could be written does not matter.
    desktop.writeProfileString("SciCalc", "layout", "0");
    if (!desktop.startCalculator())
        m_window.showMessage(res::strCalculatorStarted, res::strErrorCaption, MessageIcon::Information,
                             MessageButtons::Ok, DefaultButton::First);
}

void Accessories::openTarget(const std::string& target)
{
    // The failure may be reported long after this returns: it keeps its own copy of the text.
    m_window.host().desktop().openTarget(target, [this, target] {
        const std::string text =
            formatWithArgument(m_window.resources().string(res::strCannotOpenTarget), target);
        m_window.showText(text, m_window.resources().string(res::strErrorCaption), MessageIcon::Error,
                          MessageButtons::Ok, DefaultButton::First);
    });
}

void Accessories::openAbout()
{
    CAboutDlg about(m_window.resources());
    m_window.host().runDialog(res::dialogAbout, about);
}

void Accessories::onCalculator(int /*commandId*/)
{
    openCalculator();
}

void Accessories::onTargetCommand(int commandId)
{
    openTarget(m_window.resources().string(targetString(commandId)));
}

void Accessories::onBannerClicked(const platform::NotifyMessage& /*message*/)
{
    openTarget(m_window.resources().string(res::strTargetFirst + 4)); // 247, as command 0x8009
}

void Accessories::onAbout(int /*commandId*/)
{
    openAbout();
}

} // namespace meridal
