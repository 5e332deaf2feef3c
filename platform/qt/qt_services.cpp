// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt/qt_services.h"

#include "platform/qt/qt_text.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMessageBox>

namespace meridal::platform::qt {

namespace {

QMessageBox::Icon toQtIcon(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::Error:
        return QMessageBox::Critical;
    case MessageIcon::Warning:
        return QMessageBox::Warning;
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::Question:
        return QMessageBox::Question;
    case MessageIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons toQtButtons(MessageButtons buttons)
{
    switch (buttons) {
    case MessageButtons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case MessageButtons::OkCancel:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case MessageButtons::Ok:
        break;
    }
    return QMessageBox::Ok;
}

} // namespace

MessageResult QtMessageBoxes::show(const std::string& text, const std::string& caption, MessageIcon icon,
                                   MessageButtons buttons, DefaultButton defaultButton)
{
    QMessageBox box(toQtIcon(icon), toShownQString(caption), toShownQString(text, shownMessageLimit),
                    toQtButtons(buttons), m_owner.data());
    box.setTextFormat(Qt::PlainText);
    if (buttons == MessageButtons::YesNo)
        box.setEscapeButton(QMessageBox::No);
    const bool second = defaultButton == DefaultButton::Second;
    switch (buttons) {
    case MessageButtons::YesNo:
        box.setDefaultButton(second ? QMessageBox::No : QMessageBox::Yes);
        break;
    case MessageButtons::OkCancel:
        box.setDefaultButton(second ? QMessageBox::Cancel : QMessageBox::Ok);
        break;
    case MessageButtons::Ok:
        box.setDefaultButton(QMessageBox::Ok);
        break;
    }
    switch (box.exec()) {
    case QMessageBox::Yes:
        return MessageResult::Yes;
    case QMessageBox::No:
        return MessageResult::No;
    case QMessageBox::Cancel:
        return MessageResult::Cancel;
    default:
        return MessageResult::Ok;
    }
}

bool QtClipboard::setText(const std::string& text)
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard)
        return false;
    clipboard->setText(toQString(text));
    return true;
}

std::string QtClipboard::text() const
{
    const QClipboard* clipboard = QGuiApplication::clipboard();
    return clipboard ? fromQString(clipboard->text()) : std::string();
}

} // namespace meridal::platform::qt
