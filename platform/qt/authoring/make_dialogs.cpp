// SPDX-License-Identifier: GPL-3.0-or-later
// Writes the dialog templates (DIALOGEX) of the Windows resource module from Meridal's layouts.
//
// Each layout that the resource manifest lists is built with the program's own form reader,
// laid out by Qt offscreen in the dialog font of Windows - Tahoma 8 pt at 96 dots per inch,
// from Wine's fonts - and written with each control's identifier, Windows class, styles and
// rectangle in dialog units. An authoring tool: run it after changing a layout and commit what
// it writes; a test regenerates the file and fails on any difference.
//
//   meridal-make-dialogs [--fonts DIR] MANIFEST OUTPUT        writes OUTPUT
//   meridal-make-dialogs [--fonts DIR] --check MANIFEST FILE  exit status 1 when FILE differs
//   meridal-make-dialogs [--fonts DIR] --report MANIFEST      each control's rectangle in
//                                                              pixels, laid out and as Windows
//                                                              places it from the template
// DIR holds tahoma.ttf and tahomabd.ttf (/usr/share/wine/fonts, package fonts-wine).
//
// What each widget of a layout becomes:
//   QLabel with "notify"      Static picture: SS_BITMAP | SS_CENTERIMAGE | SS_NOTIFY (the
//                             program sets the picture and hears the clicks)
//   QLabel                    Static text: SS_LEFT, SS_CENTER or SS_RIGHT by its alignment when
//                             it wraps its words, else SS_LEFTNOWORDWRAP (or SS_CENTER,
//                             SS_RIGHT); SS_CENTERIMAGE when one line is centred vertically;
//                             SS_NOPREFIX unless it is a buddy label, so that an "&" the
//                             program puts in it shows as it is
//   QFrame with a frame       Static: SS_ETCHEDFRAME (SS_ETCHEDHORZ, SS_ETCHEDVERT for lines)
//   QGroupBox                 Button: BS_GROUPBOX
//   QPushButton with text     Button: BS_PUSHBUTTON | WS_TABSTOP (none is the default button:
//                             Enter clicks the window's OK button, if it has one)
//   QPushButton without text  Button: BS_PUSHBUTTON | BS_BITMAP | WS_TABSTOP, the program sets
//                             the picture; its text is the accessible name, which a screen
//                             reader reads
//   QCheckBox, QRadioButton   Button: BS_AUTOCHECKBOX, BS_AUTORADIOBUTTON | WS_TABSTOP
//   QLineEdit                 Edit: ES_AUTOHSCROLL (ES_READONLY when read-only) | WS_TABSTOP,
//                             WS_EX_CLIENTEDGE
//   QComboBox                 ComboBox: CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP; Windows
//                             sizes the field from the font (21 pixels with Tahoma 8), so the
//                             field is centred where the layout has it and the height given
//                             is the field's with its list of "maxVisibleItems" entries
//   QListWidget               ListBox: LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL |
//                             WS_TABSTOP, WS_EX_CLIENTEDGE; LBS_WANTKEYBOARDINPUT for a list
//                             with "wantsKeys" (the window hears its Delete key)
//   "sorted" on either        CBS_SORT, LBS_SORT: the list is sorted. The system would sort by
//                             the user's locale, so the program's window takes the flag off
//                             before the system makes the control and sorts the list itself in
//                             Windows-1252 order (platform/win32/win32_dialog_host.h)
//   QWidget, QFrame without a frame, layouts and spacers: nothing; their children are placed
//   where the layout puts them. A size grip neither: a resizable window has WS_THICKFRAME
// Any other widget stops the tool, so that no control is left out unseen.
//
// The order of the controls is Windows' tab and z-order: first the controls that take no
// focus, in the layout's order; then the controls that take the focus in the layout's tab
// order, each after the labels whose buddy it is, so that a label's "&" letter moves to it.
// WS_GROUP starts a group at every control but a button that follows a button of the same
// box: the arrow keys move along a row of buttons as in any Windows dialog.
//
// A dialog unit is a quarter of the font's average character width horizontally and an eighth
// of its height vertically: with Tahoma 8 pt at 96 dots per inch 6 by 13 pixels, so a
// horizontal unit is 1.5 pixels and a vertical one 1.625. Each edge of a control is rounded to
// the nearest unit on its own, so that controls which touch in the layout touch in the template.
// The windows set some fonts of their own when they open (the About box's title and bold
// lines, the edit dialog's note); those controls are laid out in their fonts here so that the
// templates leave them room.
#include "platform/qt/form_builder.h"
#include "resources/resource_ids.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QRect>
#include <QRegularExpression>
#include <QScreen>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <QXmlStreamReader>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace {

using meridal::platform::qt::FormBuilder;

// The dialog font of the templates and its base units in pixels at 96 dots per inch.
constexpr const char* fontFace = "Tahoma";
constexpr int fontPoints = 8;
constexpr int baseUnitX = 6;
constexpr int baseUnitY = 13;
// The height of a drop-down list's field in that font, and of one entry of its list.
constexpr int comboFieldHeight = 21;
constexpr int listEntryHeight = 13;

// A point size as Windows makes it a pixel height at 96 dots per inch.
int pixelsOfPoints(int points)
{
    return static_cast<int>(std::lround(points * 96.0 / 72.0));
}

// Fonts that the windows set when they open: dialog, control, point size, bold.
struct RunTimeFont {
    int dialog;
    int control;
    int points;
    bool bold;
};
// (ui/accessories/about_dlg.cpp, ui/editing/unit_edit_dlg.cpp)
constexpr RunTimeFont runTimeFonts[] = {
    {meridal::res::dialogAbout, 1034, 16, false}, // the product title
    {meridal::res::dialogAbout, 1036, 8, true},   // the two bold lines
    {meridal::res::dialogAbout, 1037, 8, true},
    {meridal::res::dialogUnitEdit, meridal::res::idEditNote, 10, false},
};

[[noreturn]] void fail(const QString& message)
{
    std::fprintf(stderr, "meridal-make-dialogs: %s\n", qUtf8Printable(message));
    std::exit(2);
}

int horizontalUnits(int pixels)
{
    return static_cast<int>(std::lround(pixels * 4.0 / baseUnitX));
}
int verticalUnits(int pixels)
{
    return static_cast<int>(std::lround(pixels * 8.0 / baseUnitY));
}
// Back to pixels as Windows does (MulDiv rounds).
int horizontalPixels(int units)
{
    return static_cast<int>(std::lround(units * baseUnitX / 4.0));
}
int verticalPixels(int units)
{
    return static_cast<int>(std::lround(units * baseUnitY / 8.0));
}

// A text as the inside of a quoted resource-script string.
QString quoted(const QString& text)
{
    QString out = text;
    out.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    out.replace(QLatin1Char('"'), QLatin1String("\"\""));
    out.replace(QLatin1Char('\n'), QLatin1String("\\n"));
    return QLatin1Char('"') + out + QLatin1Char('"');
}

int controlId(const QWidget& widget)
{
    bool ok = false;
    const int id = widget.property("controlId").toInt(&ok);
    return ok ? id : -1;
}

// One control of a template.
struct Control {
    QString name;   // the widget's in the layout
    QString parent; // the name of the widget that holds it
    QString text;
    int id = -1;
    QString windowClass;
    QStringList styles;
    QStringList extendedStyles;
    bool takesFocus = false;
    bool isButton = false;
    QRect pixels; // the layout's rectangle
    QRect field;  // where Windows shows it (a drop-down list's field differs)
    QRect units;  // the template's rectangle
};

QStringList labelStyles(const QLabel& label, bool isBuddyLabel)
{
    QStringList styles;
    const Qt::Alignment alignment = label.alignment();
    if (alignment & Qt::AlignHCenter)
        styles << QStringLiteral("SS_CENTER");
    else if (alignment & Qt::AlignRight)
        styles << QStringLiteral("SS_RIGHT");
    else
        styles << (label.wordWrap() ? QStringLiteral("SS_LEFT") : QStringLiteral("SS_LEFTNOWORDWRAP"));
    if (!label.wordWrap() && (alignment & Qt::AlignVCenter))
        styles << QStringLiteral("SS_CENTERIMAGE");
    if (!isBuddyLabel)
        styles << QStringLiteral("SS_NOPREFIX");
    return styles;
}

// The control a widget becomes, or nullopt for a widget that only holds others.
std::optional<Control> controlOf(const QWidget& widget, const std::set<const QWidget*>& buddyLabels)
{
    Control control;
    control.name = widget.objectName();
    control.parent = widget.parentWidget() ? widget.parentWidget()->objectName() : QString();
    control.id = controlId(widget);
    const QString className = QLatin1String(widget.metaObject()->className());
    if (auto* label = qobject_cast<const QLabel*>(&widget)) {
        control.windowClass = QStringLiteral("Static");
        if (label->property("notify").toBool()) {
            control.styles << QStringLiteral("SS_BITMAP") << QStringLiteral("SS_CENTERIMAGE")
                           << QStringLiteral("SS_NOTIFY");
        } else {
            control.text = label->text();
            control.styles = labelStyles(*label, buddyLabels.count(&widget) != 0);
        }
    } else if (auto* group = qobject_cast<const QGroupBox*>(&widget)) {
        control.windowClass = QStringLiteral("Button");
        control.text = group->title();
        control.styles << QStringLiteral("BS_GROUPBOX");
    } else if (auto* line = qobject_cast<const QLineEdit*>(&widget)) {
        control.windowClass = QStringLiteral("Edit");
        control.styles << QStringLiteral("ES_AUTOHSCROLL");
        if (line->isReadOnly())
            control.styles << QStringLiteral("ES_READONLY");
        control.extendedStyles << QStringLiteral("WS_EX_CLIENTEDGE");
        control.takesFocus = true;
    } else if (qobject_cast<const QComboBox*>(&widget)) {
        control.windowClass = QStringLiteral("ComboBox");
        control.styles << QStringLiteral("CBS_DROPDOWNLIST");
        if (widget.property("sorted").toBool())
            control.styles << QStringLiteral("CBS_SORT");
        control.styles << QStringLiteral("WS_VSCROLL");
        control.takesFocus = true;
    } else if (qobject_cast<const QListWidget*>(&widget)) {
        control.windowClass = QStringLiteral("ListBox");
        control.styles << QStringLiteral("LBS_NOTIFY");
        if (widget.property("sorted").toBool())
            control.styles << QStringLiteral("LBS_SORT");
        control.styles << QStringLiteral("LBS_NOINTEGRALHEIGHT");
        if (widget.property("wantsKeys").toBool())
            control.styles << QStringLiteral("LBS_WANTKEYBOARDINPUT");
        control.styles << QStringLiteral("WS_VSCROLL");
        control.extendedStyles << QStringLiteral("WS_EX_CLIENTEDGE");
        control.takesFocus = true;
    } else if (auto* push = qobject_cast<const QPushButton*>(&widget)) {
        control.windowClass = QStringLiteral("Button");
        control.styles << QStringLiteral("BS_PUSHBUTTON");
        control.text = push->text();
        if (control.text.isEmpty()) {
            control.styles << QStringLiteral("BS_BITMAP");
            control.text = push->accessibleName();
        }
        control.takesFocus = control.isButton = true;
    } else if (auto* check = qobject_cast<const QCheckBox*>(&widget)) {
        control.windowClass = QStringLiteral("Button");
        control.styles << QStringLiteral("BS_AUTOCHECKBOX");
        control.text = check->text();
        control.takesFocus = true;
    } else if (auto* radio = qobject_cast<const QRadioButton*>(&widget)) {
        control.windowClass = QStringLiteral("Button");
        control.styles << QStringLiteral("BS_AUTORADIOBUTTON");
        control.text = radio->text();
        control.takesFocus = true;
    } else if (auto* frame = qobject_cast<const QFrame*>(&widget); frame && className == "QFrame") {
        switch (frame->frameShape()) {
        case QFrame::NoFrame:
            return std::nullopt;
        case QFrame::HLine:
            control.styles << QStringLiteral("SS_ETCHEDHORZ");
            break;
        case QFrame::VLine:
            control.styles << QStringLiteral("SS_ETCHEDVERT");
            break;
        default:
            control.styles << QStringLiteral("SS_ETCHEDFRAME");
            break;
        }
        control.windowClass = QStringLiteral("Static");
    } else if (className == QLatin1String("QWidget") || className == QLatin1String("QSizeGrip")) {
        // A resizable window's grip is the frame's on Windows (WS_THICKFRAME).
        return std::nullopt;
    } else {
        fail(QStringLiteral("no Windows control for the %1 \"%2\"").arg(className, widget.objectName()));
    }
    if (control.takesFocus)
        control.styles << QStringLiteral("WS_TABSTOP");
    return control;
}

// The widgets below `parent`, in the layout's order; the inner parts of a control (a list's
// scroll bars, say) are no widgets of the layout.
void collect(const QWidget& parent, std::vector<QWidget*>& widgets)
{
    for (QObject* child : parent.children()) {
        auto* widget = qobject_cast<QWidget*>(child);
        if (!widget || widget->isWindow())
            continue;
        widgets.push_back(widget);
        const QString className = QLatin1String(widget->metaObject()->className());
        if (className == QLatin1String("QWidget") || className == QLatin1String("QFrame") ||
            className == QLatin1String("QGroupBox"))
            collect(*widget, widgets);
    }
}

struct Dialog {
    int id = 0;
    QString layoutName;
    QString objectName;
    QString caption;
    int menu = 0;
    int icon = 0;
    bool resizable = false;
    QSize pixels;
    std::vector<Control> controls;
};

// The name of the first <tabstop> of a form, or empty.
QString firstTabStop(const QByteArray& form)
{
    QXmlStreamReader xml(form);
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == QLatin1String("tabstop"))
            return xml.readElementText().trimmed();
    }
    return {};
}

Dialog layOut(int id, const QString& layoutPath, const QString& layoutName)
{
    QFile file(layoutPath);
    if (!file.open(QIODevice::ReadOnly))
        fail(QStringLiteral("cannot read %1").arg(layoutPath));
    const QByteArray form = file.readAll();
    FormBuilder builder;
    std::unique_ptr<QWidget> top(builder.build(form));
    if (!top)
        fail(QStringLiteral("%1: %2").arg(layoutPath, builder.error));

    std::vector<QWidget*> widgets;
    collect(*top, widgets);
    for (const RunTimeFont& runTime : runTimeFonts) {
        if (runTime.dialog != id)
            continue;
        for (QWidget* widget : widgets) {
            if (controlId(*widget) != runTime.control)
                continue;
            QFont font{QLatin1String(fontFace)};
            font.setPixelSize(pixelsOfPoints(runTime.points));
            font.setBold(runTime.bold);
            widget->setFont(font);
        }
    }
    top->resize(top->size().expandedTo(top->minimumSizeHint()));
    top->show();
    QApplication::processEvents();

    Dialog dialog;
    dialog.id = id;
    dialog.layoutName = layoutName;
    dialog.objectName = top->objectName();
    dialog.caption = top->windowTitle();
    dialog.menu = top->property("menuResource").toInt();
    dialog.icon = top->property("iconResource").toInt();
    dialog.resizable = top->property("sizeGripEnabled").toBool();
    dialog.pixels = top->size();

    std::set<const QWidget*> buddyLabels;
    std::multimap<const QWidget*, const QWidget*> labelsOf; // buddy -> its labels
    for (const QWidget* widget : widgets) {
        if (auto* label = qobject_cast<const QLabel*>(widget); label && label->buddy()) {
            buddyLabels.insert(label);
            labelsOf.emplace(label->buddy(), label);
        }
    }

    std::map<const QWidget*, Control> controls;
    for (const QWidget* widget : widgets) {
        std::optional<Control> control = controlOf(*widget, buddyLabels);
        if (!control)
            continue;
        control->pixels = QRect(widget->mapTo(top.get(), QPoint(0, 0)), widget->size());
        control->field = control->pixels;
        QRect units(QPoint(horizontalUnits(control->pixels.left()), verticalUnits(control->pixels.top())),
                    QPoint(horizontalUnits(control->pixels.left() + control->pixels.width()) - 1,
                           verticalUnits(control->pixels.top() + control->pixels.height()) - 1));
        if (auto* combo = qobject_cast<const QComboBox*>(widget)) {
            control->field = QRect(control->pixels.left(),
                                   control->pixels.top() + (control->pixels.height() - comboFieldHeight) / 2,
                                   control->pixels.width(), comboFieldHeight);
            units.moveTop(verticalUnits(control->field.top()));
            units.setHeight(verticalUnits(comboFieldHeight + combo->maxVisibleItems() * listEntryHeight + 2));
        }
        control->units = units;
        controls.emplace(widget, std::move(*control));
    }

    // Windows' order: what takes no focus first, then the tab order with each control's labels.
    for (const QWidget* widget : widgets) {
        const auto found = controls.find(widget);
        if (found != controls.end() && !found->second.takesFocus && !buddyLabels.count(widget))
            dialog.controls.push_back(found->second);
    }
    // The tab order goes round: it starts where the layout's list of tab stops starts.
    std::vector<const QWidget*> tabOrder;
    for (const QWidget* at = top->nextInFocusChain(); at != top.get(); at = at->nextInFocusChain()) {
        const auto found = controls.find(at);
        if (found != controls.end() && found->second.takesFocus)
            tabOrder.push_back(at);
    }
    const QString firstStop = firstTabStop(form);
    const auto start = std::find_if(tabOrder.begin(), tabOrder.end(),
                                    [&firstStop](const QWidget* w) { return w->objectName() == firstStop; });
    if (start != tabOrder.end())
        std::rotate(tabOrder.begin(), start, tabOrder.end());
    for (const QWidget* at : tabOrder) {
        const auto [first, last] = labelsOf.equal_range(at);
        for (auto label = first; label != last; ++label)
            dialog.controls.push_back(controls.at(label->second));
        dialog.controls.push_back(controls.at(at));
    }
    for (const QWidget* widget : widgets) {
        if (buddyLabels.count(widget) && !controls.count(qobject_cast<const QLabel*>(widget)->buddy()))
            fail(QStringLiteral("%1: the buddy of \"%2\" is no control")
                     .arg(layoutPath, widget->objectName()));
    }
    return dialog;
}

QString templateText(const Dialog& dialog)
{
    QString out;
    out += QStringLiteral("// %1 (%2), laid out at %3 x %4 pixels\n")
               .arg(dialog.layoutName, dialog.objectName)
               .arg(dialog.pixels.width())
               .arg(dialog.pixels.height());
    if (dialog.icon)
        out +=
            QStringLiteral("// Its icon is icon %1, which the window sets when it opens.\n").arg(dialog.icon);
    out += QStringLiteral("%1 DIALOGEX 0, 0, %2, %3\n")
               .arg(dialog.id)
               .arg(horizontalUnits(dialog.pixels.width()))
               .arg(verticalUnits(dialog.pixels.height()));
    QStringList style = {QStringLiteral("DS_SETFONT"), QStringLiteral("DS_CENTER")};
    if (!dialog.menu)
        style << QStringLiteral("DS_MODALFRAME");
    style << QStringLiteral("WS_POPUP") << QStringLiteral("WS_CAPTION") << QStringLiteral("WS_SYSMENU");
    if (dialog.menu)
        style << QStringLiteral("WS_MINIMIZEBOX");
    if (dialog.resizable)
        style << QStringLiteral("WS_MAXIMIZEBOX") << QStringLiteral("WS_THICKFRAME");
    out += QStringLiteral("STYLE %1\n").arg(style.join(QLatin1String(" | ")));
    out += QStringLiteral("CAPTION %1\n").arg(quoted(dialog.caption));
    if (dialog.menu)
        out += QStringLiteral("MENU %1\n").arg(dialog.menu);
    out += QStringLiteral("FONT %1, %2, 400, 0, 0x1\n").arg(fontPoints).arg(quoted(QLatin1String(fontFace)));
    out += QStringLiteral("BEGIN\n");
    const Control* previous = nullptr;
    for (const Control& control : dialog.controls) {
        QStringList styles = control.styles;
        if (!(control.isButton && previous && previous->isButton && previous->parent == control.parent))
            styles << QStringLiteral("WS_GROUP");
        styles << QStringLiteral("WS_CHILD") << QStringLiteral("WS_VISIBLE");
        out += QStringLiteral("    CONTROL %1, %2, %3, %4, %5, %6, %7, %8")
                   .arg(quoted(control.text))
                   .arg(control.id)
                   .arg(quoted(control.windowClass), styles.join(QLatin1String(" | ")))
                   .arg(control.units.left())
                   .arg(control.units.top())
                   .arg(control.units.width())
                   .arg(control.units.height());
        if (!control.extendedStyles.isEmpty())
            out += QStringLiteral(", ") + control.extendedStyles.join(QLatin1String(" | "));
        out += QLatin1Char('\n');
        previous = &control;
    }
    out += QStringLiteral("END\n");
    return out;
}

// Where Windows puts a control of the template, in pixels.
QRect placedPixels(const Control& control)
{
    const int left = horizontalPixels(control.units.left());
    const int top = verticalPixels(control.units.top());
    const int right = horizontalPixels(control.units.left() + control.units.width());
    int bottom = verticalPixels(control.units.top() + control.units.height());
    if (control.windowClass == QLatin1String("ComboBox"))
        bottom = top + comboFieldHeight;
    return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
}

QString reportText(const std::vector<Dialog>& dialogs)
{
    QString out;
    int worst = 0, within1 = 0, within2 = 0, count = 0;
    for (const Dialog& dialog : dialogs) {
        out += QStringLiteral("dialog %1: %2 x %3 pixels\n")
                   .arg(dialog.id)
                   .arg(dialog.pixels.width())
                   .arg(dialog.pixels.height());
        for (const Control& control : dialog.controls) {
            const QRect placed = placedPixels(control);
            const QRect laid = control.field;
            const int error = std::max(
                {std::abs(placed.left() - laid.left()), std::abs(placed.top() - laid.top()),
                 std::abs(placed.right() - laid.right()), std::abs(placed.bottom() - laid.bottom())});
            worst = std::max(worst, error);
            within1 += error <= 1;
            within2 += error <= 2;
            ++count;
            out += QStringLiteral("  %1 %2 %3: laid out %4,%5 %6x%7, placed %8,%9 %10x%11, off by %12\n")
                       .arg(control.id, 5)
                       .arg(control.windowClass, -8)
                       .arg(control.name, -18)
                       .arg(laid.left())
                       .arg(laid.top())
                       .arg(laid.width())
                       .arg(laid.height())
                       .arg(placed.left())
                       .arg(placed.top())
                       .arg(placed.width())
                       .arg(placed.height())
                       .arg(error);
        }
    }
    out += QStringLiteral("%1 controls: %2 within 1 pixel, %3 within 2, at most %4 off\n")
               .arg(count)
               .arg(within1)
               .arg(within2)
               .arg(worst);
    return out;
}

// The dialogs of the manifest: lines "dialog <id> <path>".
std::vector<std::pair<int, QString>> dialogsOf(const QString& manifestPath)
{
    QFile file(manifestPath);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        fail(QStringLiteral("cannot read %1").arg(manifestPath));
    std::vector<std::pair<int, QString>> dialogs;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        const QStringList fields = line.split(QRegularExpression(QStringLiteral("[ \t]+")));
        if (fields.size() >= 3 && fields[0] == QLatin1String("dialog"))
            dialogs.emplace_back(fields[1].toInt(), fields[2]);
    }
    return dialogs;
}

QString fileText(const std::vector<Dialog>& dialogs)
{
    QString out =
        QStringLiteral(
            "// Dialog templates of TessaryRes.dll for Windows, generated from the layouts of\n"
            "// resources/manifest.txt by platform/qt/authoring/make_dialogs.cpp: do not edit.\n"
            "// After changing a layout, run  build/dev/bin/meridal-make-dialogs resources/manifest.txt "
            "resources/win32/dialogs.rc\n"
            "// Laid out in %1 %2 pt at 96 dots per inch; a dialog unit is a quarter of %3 pixels across "
            "and\n"
            "// an eighth of %4 pixels down.\n")
            .arg(QLatin1String(fontFace))
            .arg(fontPoints)
            .arg(baseUnitX)
            .arg(baseUnitY);
    for (const Dialog& dialog : dialogs)
        out += QLatin1Char('\n') + templateText(dialog);
    return out;
}

// A font file's bytes made to measure as Windows measures it. Windows' text metrics take a
// line's height from the font's usWinAscent and usWinDescent; Qt takes the typographic ones
// when the font asks for them (USE_TYPO_METRICS, which Wine's Tahoma sets), and the metrics of
// an embedded bitmap at the sizes that have one (Wine's Tahoma has them at 8 pt). With those
// tables renamed and that flag cleared, Qt reads the outlines and the line metrics that
// Windows uses: 13 pixels a line at 8 pt rather than 11, as a dialog on Windows shows it.
QByteArray measuredAsWindows(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        fail(QStringLiteral("cannot read %1 (package fonts-wine)").arg(path));
    QByteArray font = file.readAll();
    auto number = [&font](qsizetype at, int bytes) {
        quint32 value = 0;
        for (int i = 0; i < bytes && at + i < font.size(); ++i)
            value = value << 8 | static_cast<uchar>(font[at + i]);
        return value;
    };
    const quint32 tables = number(4, 2);
    for (quint32 table = 0; table < tables; ++table) {
        const qsizetype entry = 12 + 16 * static_cast<qsizetype>(table);
        const QByteArray tag = font.mid(entry, 4);
        if (tag == "EBDT" || tag == "EBLC" || tag == "BDF ") {
            font[entry] = 'x';
        } else if (tag == "OS/2") {
            const qsizetype selection = static_cast<qsizetype>(number(entry + 8, 4)) + 62;
            if (selection + 1 >= font.size())
                fail(QStringLiteral("%1 is no font").arg(path));
            font[selection + 1] = static_cast<char>(static_cast<uchar>(font[selection + 1]) & ~0x80u);
        }
    }
    return font;
}

void loadFonts(const QString& folder)
{
    for (const char* name : {"tahoma.ttf", "tahomabd.ttf"}) {
        const QString path = QDir(folder).filePath(QLatin1String(name));
        if (QFontDatabase::addApplicationFontFromData(measuredAsWindows(path)) < 0)
            fail(QStringLiteral("cannot load %1 (package fonts-wine)").arg(path));
    }
    QFont font{QLatin1String(fontFace)};
    font.setPixelSize(pixelsOfPoints(fontPoints));
    QApplication::setFont(font);
    if (QFontInfo(font).family() != QLatin1String(fontFace))
        fail(QStringLiteral("%1 is not the font in use").arg(QLatin1String(fontFace)));
    // Windows' base units of the font: the average width of the letters, rounded, and the
    // height of a line.
    const QFontMetrics metrics(font);
    const int letters =
        metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    const int averageWidth = (letters / 26 + 1) / 2;
    const int height = metrics.ascent() + metrics.descent();
    if (averageWidth != baseUnitX || height != baseUnitY)
        fail(QStringLiteral("%1 measures %2 x %3 pixels here, not %4 x %5")
                 .arg(QLatin1String(fontFace))
                 .arg(averageWidth)
                 .arg(height)
                 .arg(baseUnitX)
                 .arg(baseUnitY));
    const QScreen* screen = QApplication::primaryScreen();
    if (!screen || std::lround(screen->logicalDotsPerInch()) != 96 || screen->devicePixelRatio() != 1.0)
        fail(QStringLiteral("the offscreen screen is not one of 96 dots per inch"));
}

} // namespace

int main(int argc, char** argv)
{
    // The offscreen platform says that it cannot pass size hints on to a window system; there
    // is none, and nothing else it says is dropped.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString& message) {
        if (!message.contains(QLatin1String("propagateSizeHints")))
            std::fprintf(stderr, "%s\n", qUtf8Printable(message));
    });
    // The layout never depends on a screen or a desktop's style.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qunsetenv("QT_SCALE_FACTOR");
    qunsetenv("QT_SCREEN_SCALE_FACTORS");
    qunsetenv("QT_FONT_DPI");
    QApplication application(argc, argv);
    QApplication::setStyle(QStringLiteral("Fusion"));

    QStringList arguments = QApplication::arguments().mid(1);
    QString fonts = QStringLiteral("/usr/share/wine/fonts");
    enum class Mode { Write, Check, Report } mode = Mode::Write;
    if (arguments.size() >= 2 && arguments[0] == QLatin1String("--fonts")) {
        fonts = arguments[1];
        arguments = arguments.mid(2);
    }
    if (!arguments.isEmpty() && arguments[0] == QLatin1String("--check")) {
        mode = Mode::Check;
        arguments.removeFirst();
    } else if (!arguments.isEmpty() && arguments[0] == QLatin1String("--report")) {
        mode = Mode::Report;
        arguments.removeFirst();
    }
    if (arguments.size() != (mode == Mode::Report ? 1 : 2)) {
        std::fprintf(stderr,
                     "usage: meridal-make-dialogs [--fonts DIR] [--check | --report] MANIFEST [FILE]\n");
        return 2;
    }
    loadFonts(fonts);

    const QString manifest = arguments[0];
    const QDir sourceDir = QFileInfo(manifest).dir();
    std::vector<Dialog> dialogs;
    for (const auto& [id, path] : dialogsOf(manifest))
        dialogs.push_back(layOut(id, sourceDir.filePath(path), path));

    if (mode == Mode::Report) {
        std::fputs(qUtf8Printable(reportText(dialogs)), stdout);
        return 0;
    }
    const QByteArray text = fileText(dialogs).toUtf8();
    QFile file(arguments[1]);
    if (mode == Mode::Check) {
        if (!file.open(QIODevice::ReadOnly))
            fail(QStringLiteral("cannot read %1").arg(arguments[1]));
        const QByteArray committed = file.readAll();
        if (committed == text)
            return 0;
        const QList<QByteArray> made = text.split('\n'), kept = committed.split('\n');
        qsizetype line = 0;
        while (line < made.size() && line < kept.size() && made[line] == kept[line])
            ++line;
        std::fprintf(stderr,
                     "%s is not what the layouts make, from line %lld:\n  has:   %s\n  makes: %s\n"
                     "Run meridal-make-dialogs MANIFEST FILE and commit the result.\n",
                     qUtf8Printable(arguments[1]), static_cast<long long>(line + 1),
                     line < kept.size() ? kept[line].constData() : "(the end)",
                     line < made.size() ? made[line].constData() : "(the end)");
        return 1;
    }
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(text) != text.size())
        fail(QStringLiteral("cannot write %1").arg(arguments[1]));
    return 0;
}
