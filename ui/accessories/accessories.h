// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ui/window_feature.h"

#include <string>

namespace meridal {

class ConverterWindow;

// What the converter window hands to others: the desktop's calculator, the help and
// reference targets of the string table, and the About box.
class Accessories final : public WindowFeature {
  public:
    explicit Accessories(ConverterWindow& window);

    bool onNotify(const platform::NotifyMessage& message) override;
    bool onCommand(int commandId) override;

    // Starts the calculator in its scientific view; its layout setting is written first.
    void openCalculator();
    // Hands `target` to the desktop's opener; a failure is shown when it is reported.
    void openTarget(const std::string& target);
    // Runs the About box modally.
    void openAbout();

  private:
    using Route = Routes<Accessories>;

    void onCalculator(int commandId);
    void onTargetCommand(int commandId);
    void onBannerClicked(const platform::NotifyMessage& message);
    void onAbout(int commandId);

    ConverterWindow& m_window;
};

} // namespace meridal
