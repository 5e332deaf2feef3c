// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/controls.h"

#include <QPointer>
#include <QWidget>

// The program's message boxes and clipboard on Qt.
namespace meridal::platform::qt {

// Modal QMessageBoxes owned by `owner`, or by no window when it is null.
class QtMessageBoxes final : public MessageBoxes {
  public:
    explicit QtMessageBoxes(QWidget* owner = nullptr) : m_owner(owner) {}

    MessageResult show(const std::string& text, const std::string& caption, MessageIcon icon,
                       MessageButtons buttons = MessageButtons::Ok,
                       DefaultButton defaultButton = DefaultButton::First) override;

  private:
    QPointer<QWidget> m_owner;
};

// The system clipboard's text; Windows-1252 in the program, Unicode on the clipboard.
class QtClipboard final : public Clipboard {
  public:
    bool setText(const std::string& text) override;
    std::string text() const override;
};

} // namespace meridal::platform::qt
