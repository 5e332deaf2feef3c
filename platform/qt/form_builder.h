// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArrayView>
#include <QString>

#include <functional>

class QWidget;

namespace meridal::platform::qt {

// Builds the widgets of a Qt Designer form (a ".ui" file) held in memory, as Qt's own form
// loader (QUiLoader) would build them.
//
// It reads the part of the format that the program's own layouts use: widgets of the classes
// in form_builder.cpp, box and grid layouts with their items, spacers, stretch factors,
// minimum sizes and margins, properties of the types string, cstring, number, double, bool,
// enum, set, rect, size and sizepolicy (dynamic ones too, stdset="0"), label buddies and the
// tab order. Everything else - an unknown widget class, layout, property or property type,
// entries of lists (<item> in a widget), page attributes, actions, layout defaults, custom
// widgets, connections, stacking order, an unknown attribute, a form whose parts come in an
// order Qt's loader would build differently - fails the whole form with the reason, so that a
// layout never comes up half built or different from what it says. Only the form's class
// name, author and comment (names for Designer) and empty <resources>/<connections> pass.
//
// Qt's form loader reads the whole format, but costs several milliseconds more at start-up
// and three more libraries to load; the window is up sooner without it. A test builds every
// layout the program ships with both and compares the results.
struct FormBuilder {
    // Creates the top widget, so that a host can put its own subclass there; nullptr means
    // "the usual widget of that class".
    std::function<QWidget*(const QString& className, QWidget* parent)> createTop;

    // The top widget, with every other widget its descendant; nullptr when the form cannot
    // be built, with the reason in `error`.
    QWidget* build(QByteArrayView form, QWidget* parent = nullptr);

    QString error;
};

} // namespace meridal::platform::qt
