// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt/focus_ring_style.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QPainter>
#include <QStyleOption>

namespace meridal::platform::qt {

namespace {

// The ring: the selection colour, darkened as an edit field's focus outline is, on the outer
// pixel of `rect`, and faintly on the one inside it.
void drawRing(QPainter& painter, const QRect& rect, const QPalette& palette)
{
    QColor ring = palette.color(QPalette::Highlight).darker(125);
    if (ring.value() > 160)
        ring.setHsv(ring.hue(), ring.saturation(), 160);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(ring);
    painter.drawRoundedRect(QRectF(rect).adjusted(0.5, 0.5, -0.5, -0.5), 2, 2);
    ring.setAlpha(110);
    painter.setPen(ring);
    painter.drawRoundedRect(QRectF(rect).adjusted(1.5, 1.5, -1.5, -1.5), 1.5, 1.5);
    painter.restore();
}

} // namespace

FocusRingStyle::FocusRingStyle(QObject* owner) : QProxyStyle(QApplication::style()->name())
{
    setParent(owner);
}

void FocusRingStyle::drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                                 const QWidget* widget) const
{
    QProxyStyle::drawControl(element, option, painter, widget);
    const bool focus = option->state & State_HasFocus;
    if (element == CE_ShapedFrame && focus && qobject_cast<const QAbstractItemView*>(widget)) {
        drawRing(*painter, option->rect, option->palette);
    } else if (element == CE_PushButton && focus && (option->state & State_KeyboardFocusChange) &&
               qobject_cast<const QAbstractButton*>(widget)) {
        drawRing(*painter, option->rect, option->palette);
    }
}

} // namespace meridal::platform::qt
