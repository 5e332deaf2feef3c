// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QProxyStyle>

// The desktop's own style, with the keyboard focus shown on the controls whose own look shows
// it too faintly or not at all: a list box, and a push button that is a picture only.
namespace meridal::platform::qt {

// A list box with the focus gets a ring in the selection colour on its frame, as an edit field
// has; a picture button that the keyboard brought the focus to gets one over its edge, since
// the picture fills the whole button and leaves the style's own focus mark no room.
class FocusRingStyle final : public QProxyStyle {
  public:
    // The base is a style of the same kind as the application's.
    explicit FocusRingStyle(QObject* owner);

    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget = nullptr) const override;
};

} // namespace meridal::platform::qt
