#pragma once

#include <QByteArrayView>
#include <QString>

#include <functional>

class QWidget;

namespace meridal::platform::qt {

// Builds the widgets of a Qt Designer form (a ".ui" file) held in memory.
//
// It reads the part of the format that the program's own layouts use: widgets of the classes
// in form_builder.cpp, box and grid layouts with their items, spacers, stretch factors and
// margins, properties of the types string, cstring, number, double, bool, enum, set, rect,
// size and sizepolicy (dynamic ones too, stdset="0"), label buddies and the tab order.
// Anything else that would change the window (an unknown widget class, layout, property or
// property type) fails the whole form, so that a layout never comes up half built; elements
// that only concern Designer (zorder, resources, connections) are skipped.
//
// Qt's own form loader reads the whole format, but costs several milliseconds more at
// start-up and three more libraries to load; the window is up sooner without it.
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
