// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt/form_builder.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMetaEnum>
#include <QMetaProperty>
#include <QPushButton>
#include <QRadioButton>
#include <QRect>
#include <QSize>
#include <QSizePolicy>
#include <QSpacerItem>
#include <QVersionNumber>
#include <QXmlStreamReader>

#include <algorithm>
#include <array>
#include <initializer_list>
#include <map>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace meridal::platform::qt {

namespace {

template <typename Widget> QWidget* make(QWidget* parent)
{
    return new Widget(parent);
}

QWidget* makeWidget(const QString& className, QWidget* parent)
{
    static const std::pair<const char*, QWidget* (*)(QWidget*)> classes[] = {
        {"QWidget", make<QWidget>},
        {"QDialog", make<QDialog>},
        {"QFrame", make<QFrame>},
        {"QGroupBox", make<QGroupBox>},
        {"QLabel", make<QLabel>},
        {"QLineEdit", make<QLineEdit>},
        {"QComboBox", make<QComboBox>},
        {"QListWidget", make<QListWidget>},
        {"QPushButton", make<QPushButton>},
        {"QCheckBox", make<QCheckBox>},
        {"QRadioButton", make<QRadioButton>},
    };
    for (const auto& [name, create] : classes) {
        if (className == QLatin1String(name))
            return create(parent);
    }
    return nullptr;
}

// "Qt::AlignLeft|Qt::AlignVCenter" -> the value of the keys in `metaEnum`, scopes dropped.
std::optional<int> enumValue(const QMetaEnum& metaEnum, const QString& text)
{
    QStringList keys = text.split(QLatin1Char('|'));
    for (QString& key : keys) {
        key = key.trimmed();
        const qsizetype scope = key.lastIndexOf(QLatin1String("::"));
        if (scope >= 0)
            key = key.mid(scope + 2);
    }
    bool ok = false;
    const int value = metaEnum.keysToValue(keys.join(QLatin1Char('|')).toLatin1().constData(), &ok);
    return ok ? std::optional<int>(value) : std::nullopt;
}

// The alignment of a layout item: Qt's form loader knows these seven flags, written in full,
// and nothing else (not even Qt::AlignCenter).
std::optional<Qt::Alignment> itemAlignment(const QString& text)
{
    static const std::pair<const char*, Qt::AlignmentFlag> flags[] = {
        {"Qt::AlignLeft", Qt::AlignLeft},       {"Qt::AlignRight", Qt::AlignRight},
        {"Qt::AlignHCenter", Qt::AlignHCenter}, {"Qt::AlignJustify", Qt::AlignJustify},
        {"Qt::AlignTop", Qt::AlignTop},         {"Qt::AlignBottom", Qt::AlignBottom},
        {"Qt::AlignVCenter", Qt::AlignVCenter},
    };
    Qt::Alignment alignment;
    for (const QString& key : text.split(QLatin1Char('|'))) {
        const auto* found = std::find_if(std::begin(flags), std::end(flags), [&key](const auto& flag) {
            return key == QLatin1String(flag.first);
        });
        if (found == std::end(flags))
            return std::nullopt;
        alignment |= found->second;
    }
    return alignment;
}

// The value of a <property>: plain values are ready to set; enums and sets keep their text
// until the property they go to says which enumeration they name.
struct Value {
    enum class Kind { Plain, Enum, CString };
    Kind kind = Kind::Plain;
    QVariant value;
    QString text;
};

// Where a layout goes: a widget's own layout, or an item of another layout.
struct Place {
    QLayout* layout = nullptr; // nullptr: the widget's own layout
    int row = 0, column = 0, rowSpan = 1, columnSpan = 1;
};

class FormReader {
  public:
    FormReader(QByteArrayView form, const FormBuilder& builder)
        : m_xml(QByteArray::fromRawData(form.data(), form.size())), m_builder(builder)
    {
    }

    QWidget* read(QWidget* parent, QString& error);

  private:
    // The first error ends the reading; it is what the form is refused for.
    void fail(const QString& message)
    {
        if (!m_xml.hasError())
            m_xml.raiseError(message);
    }
    // Refuses the element just entered when it carries an attribute outside `known`.
    bool knownAttributes(std::initializer_list<const char*> known);
    // Refuses the element just entered, inside `where`.
    void refuseElement(const QString& where)
    {
        fail(QStringLiteral("<%1> in %2 is not built").arg(m_xml.name(), where));
    }
    // Reads the element just entered, which must be empty.
    void readEmpty();

    QWidget* readWidget(QWidget* parent, bool top);
    QLayout* readLayout(QWidget& owner, const Place& place);
    void readItem(QLayout& layout, QWidget& owner);
    std::unique_ptr<QSpacerItem> readSpacer();
    std::optional<Value> readValue();
    std::map<QString, int> readNumbers(std::initializer_list<const char*> names);
    void setProperty(QObject& object, const QString& name, bool dynamic, const Value& value);
    void setLayoutProperty(QLayout& layout, const QString& name, const Value& value,
                           std::array<std::optional<int>, 4>& margins);
    void setPerCell(QLayout& layout, const QString& attribute, const QString& list);
    void finish(QWidget& top);

    QXmlStreamReader m_xml;
    const FormBuilder& m_builder;
    std::vector<std::pair<QLabel*, QString>> m_buddies;
    QStringList m_tabStops;
    // Qt's form loader gives the layout that follows a plain QWidget (Designer's stand-in
    // for a layout placed on a form) margins of 0 where the form names none; the flag is
    // set and cleared at the same steps as there.
    bool m_layoutWidget = false;
};

bool FormReader::knownAttributes(std::initializer_list<const char*> known)
{
    for (const QXmlStreamAttribute& attribute : m_xml.attributes()) {
        const bool isKnown = std::any_of(known.begin(), known.end(), [&attribute](const char* name) {
            return attribute.qualifiedName() == QLatin1String(name);
        });
        if (!isKnown) {
            fail(QStringLiteral("the attribute %1 of <%2> is not built")
                     .arg(attribute.qualifiedName(), m_xml.name()));
            return false;
        }
    }
    return true;
}

void FormReader::readEmpty()
{
    const QString name = m_xml.name().toString();
    if (m_xml.readNextStartElement())
        refuseElement(QStringLiteral("<%1>").arg(name));
}

QWidget* FormReader::read(QWidget* parent, QString& error)
{
    std::unique_ptr<QWidget> top;
    if (m_xml.readNextStartElement() && m_xml.name() == QLatin1String("ui")) {
        const QStringView version = m_xml.attributes().value(QLatin1String("version"));
        const QStringView language = m_xml.attributes().value(QLatin1String("language"));
        if (!version.isEmpty() && QVersionNumber::fromString(version) < QVersionNumber(4))
            fail(QStringLiteral("a form of version %1").arg(version));
        else if (!language.isEmpty() && language.compare(QLatin1String("c++"), Qt::CaseInsensitive) != 0)
            fail(QStringLiteral("a form for %1").arg(language));
        else
            knownAttributes({"version", "language", "displayname", "connectslotsbyname"});
        while (!m_xml.hasError() && m_xml.readNextStartElement()) {
            const QStringView name = m_xml.name();
            if (name == QLatin1String("widget") && !top) {
                top.reset(readWidget(parent, true));
            } else if (name == QLatin1String("tabstops") && knownAttributes({})) {
                while (!m_xml.hasError() && m_xml.readNextStartElement()) {
                    if (m_xml.name() == QLatin1String("tabstop") && knownAttributes({}))
                        m_tabStops.append(m_xml.readElementText());
                    else
                        refuseElement(QStringLiteral("<tabstops>"));
                }
            } else if (name == QLatin1String("class") || name == QLatin1String("author") ||
                       name == QLatin1String("comment")) {
                // Names for Designer and the code generator; nothing that is built.
                m_xml.readElementText();
            } else if (name == QLatin1String("resources") || name == QLatin1String("connections")) {
                // Qt's form loader makes the connections a form lists; these forms list none.
                readEmpty();
            } else {
                refuseElement(QStringLiteral("the form"));
            }
        }
    } else {
        fail(QStringLiteral("the form does not start with <ui>"));
    }
    if (!m_xml.hasError() && !top)
        fail(QStringLiteral("the form has no widget"));
    if (!m_xml.hasError())
        finish(*top);
    if (m_xml.hasError()) {
        error = QStringLiteral("line %1: %2").arg(m_xml.lineNumber()).arg(m_xml.errorString());
        return nullptr;
    }
    error.clear();
    return top.release();
}

QWidget* FormReader::readWidget(QWidget* parent, bool top)
{
    if (!knownAttributes({"class", "name", "native"}))
        return nullptr;
    const QXmlStreamAttributes attributes = m_xml.attributes();
    const QString className = attributes.value(QLatin1String("class")).toString();
    QWidget* widget = top && m_builder.createTop ? m_builder.createTop(className, parent) : nullptr;
    if (!widget)
        widget = makeWidget(className, parent);
    if (!widget) {
        fail(QStringLiteral("no widget of class \"%1\"").arg(className));
        return nullptr;
    }
    widget->setObjectName(attributes.value(QLatin1String("name")).toString());
    m_layoutWidget = className == QLatin1String("QWidget") &&
                     !attributes.hasAttribute(QLatin1String("native")) && parent != nullptr;
    const QString where = QStringLiteral("widget \"%1\"").arg(widget->objectName());

    // Qt's form loader sets the properties first, then makes the child widgets, then the
    // layout; a form in another order would come up differently here.
    enum class Stage { Properties, Widgets, Layout } stage = Stage::Properties;
    auto enter = [&](Stage next) {
        if (next < stage)
            fail(QStringLiteral("<%1> after the children of %2").arg(m_xml.name(), where));
        stage = next;
        return !m_xml.hasError();
    };
    while (!m_xml.hasError() && m_xml.readNextStartElement()) {
        const QStringView element = m_xml.name();
        if (element == QLatin1String("property") && enter(Stage::Properties)) {
            if (!knownAttributes({"name", "stdset"}))
                break;
            const QString name = m_xml.attributes().value(QLatin1String("name")).toString();
            const bool dynamic = m_xml.attributes().value(QLatin1String("stdset")) == QLatin1String("0");
            const std::optional<Value> value = readValue();
            if (!value)
                break;
            if (name == QLatin1String("buddy") && value->kind == Value::Kind::CString) {
                if (auto* label = qobject_cast<QLabel*>(widget))
                    m_buddies.emplace_back(label, value->text);
                else
                    fail(QStringLiteral("a buddy for \"%1\", which is no label").arg(widget->objectName()));
            } else if (top && name == QLatin1String("geometry")) {
                if (value->value.typeId() != QMetaType::QRect)
                    fail(QStringLiteral("a geometry that is no rectangle"));
                widget->resize(value->value.toRect().size()); // a window places itself
            } else {
                setProperty(*widget, name, dynamic, *value);
            }
        } else if (element == QLatin1String("widget") && enter(Stage::Widgets)) {
            readWidget(widget, false);
        } else if (element == QLatin1String("layout") && enter(Stage::Layout)) {
            if (widget->layout()) {
                fail(QStringLiteral("a second layout in %1").arg(where));
                break;
            }
            readLayout(*widget, Place{});
        } else if (!m_xml.hasError()) {
            // <item> (entries of a list), <attribute> (of a page in a container), <action>,
            // <addaction>, <zorder> and the rest: the program's forms use none of them.
            refuseElement(where);
        }
    }
    return widget;
}

QLayout* FormReader::readLayout(QWidget& owner, const Place& place)
{
    if (!knownAttributes({"class", "name", "stretch", "rowstretch", "columnstretch", "rowminimumheight",
                          "columnminimumwidth"}))
        return nullptr;
    const bool layoutWidget = std::exchange(m_layoutWidget, false);
    const QXmlStreamAttributes attributes = m_xml.attributes();
    const QStringView className = attributes.value(QLatin1String("class"));
    QLayout* layout = nullptr;
    if (className == QLatin1String("QVBoxLayout"))
        layout = new QVBoxLayout;
    else if (className == QLatin1String("QHBoxLayout"))
        layout = new QHBoxLayout;
    else if (className == QLatin1String("QGridLayout"))
        layout = new QGridLayout;
    if (!layout) {
        fail(QStringLiteral("no layout of class \"%1\"").arg(className));
        return nullptr;
    }
    layout->setObjectName(attributes.value(QLatin1String("name")).toString());
    // In its place at once: a layout's default margins depend on where it is.
    if (!place.layout) {
        owner.setLayout(layout);
    } else if (auto* grid = qobject_cast<QGridLayout*>(place.layout)) {
        grid->addLayout(layout, place.row, place.column, place.rowSpan, place.columnSpan);
    } else {
        static_cast<QBoxLayout*>(place.layout)->addLayout(layout);
    }

    std::array<std::optional<int>, 4> margins; // left, top, right, bottom
    bool itemsBegun = false;
    // Qt's loader sets the margins the form names, the others as they are, before the items
    // (later, one more layout pass would be left pending); a stand-in's layout gets 0 for
    // the others once its items are in.
    auto setMargins = [&margins, layout](const QMargins& others) {
        layout->setContentsMargins(margins[0].value_or(others.left()), margins[1].value_or(others.top()),
                                   margins[2].value_or(others.right()), margins[3].value_or(others.bottom()));
    };
    while (!m_xml.hasError() && m_xml.readNextStartElement()) {
        if (m_xml.name() == QLatin1String("property")) {
            if (itemsBegun) {
                fail(QStringLiteral("a property of layout \"%1\" after its items").arg(layout->objectName()));
                break;
            }
            if (!knownAttributes({"name", "stdset"}))
                break;
            const QString name = m_xml.attributes().value(QLatin1String("name")).toString();
            if (const std::optional<Value> value = readValue())
                setLayoutProperty(*layout, name, *value, margins);
        } else if (m_xml.name() == QLatin1String("item")) {
            if (!std::exchange(itemsBegun, true))
                setMargins(layout->contentsMargins());
            readItem(*layout, owner);
        } else {
            refuseElement(QStringLiteral("layout \"%1\"").arg(layout->objectName()));
        }
    }
    if (m_xml.hasError())
        return nullptr;

    if (!itemsBegun)
        setMargins(layout->contentsMargins());
    if (layoutWidget)
        setMargins(QMargins());
    for (const char* attribute :
         {"stretch", "rowstretch", "columnstretch", "rowminimumheight", "columnminimumwidth"}) {
        if (attributes.hasAttribute(QLatin1String(attribute)))
            setPerCell(*layout, QLatin1String(attribute),
                       attributes.value(QLatin1String(attribute)).toString());
    }
    return m_xml.hasError() ? nullptr : layout;
}

// Stretch factors and minimum sizes: "0,0,4,0,1", one value a box item, a grid row or column.
void FormReader::setPerCell(QLayout& layout, const QString& attribute, const QString& list)
{
    using GridSetter = void (QGridLayout::*)(int, int);
    static const std::pair<const char*, GridSetter> gridSetters[] = {
        {"rowstretch", &QGridLayout::setRowStretch},
        {"columnstretch", &QGridLayout::setColumnStretch},
        {"rowminimumheight", &QGridLayout::setRowMinimumHeight},
        {"columnminimumwidth", &QGridLayout::setColumnMinimumWidth},
    };
    auto* box = qobject_cast<QBoxLayout*>(&layout);
    auto* grid = qobject_cast<QGridLayout*>(&layout);
    GridSetter gridSetter = nullptr;
    for (const auto& [name, setter] : gridSetters) {
        if (attribute == QLatin1String(name))
            gridSetter = setter;
    }
    int cells = 0;
    if (box && attribute == QLatin1String("stretch"))
        cells = box->count();
    else if (grid && gridSetter)
        cells = attribute.startsWith(QLatin1String("row")) ? grid->rowCount() : grid->columnCount();
    else
        return fail(QStringLiteral("%1 on layout \"%2\", which has no such cells")
                        .arg(attribute, layout.objectName()));
    if (list.isEmpty())
        return;
    const QStringList values = list.split(QLatin1Char(','));
    if (values.size() > cells)
        return fail(QStringLiteral("%1 \"%2\" names more than the %3 cells of layout \"%4\"")
                        .arg(attribute, list)
                        .arg(cells)
                        .arg(layout.objectName()));
    for (int index = 0; index < values.size(); ++index) {
        bool ok = false;
        const int value = values[index].toInt(&ok);
        if (!ok || value < 0)
            return fail(QStringLiteral("%1 \"%2\" is no list of numbers").arg(attribute, list));
        if (box)
            box->setStretch(index, value);
        else
            (grid->*gridSetter)(index, value);
    }
}

void FormReader::readItem(QLayout& layout, QWidget& owner)
{
    auto* grid = qobject_cast<QGridLayout*>(&layout);
    if (grid ? !knownAttributes({"row", "column", "rowspan", "colspan", "alignment"})
             : !knownAttributes({"alignment"}))
        return;
    const QXmlStreamAttributes attributes = m_xml.attributes();
    Place place{&layout};
    for (auto [name, field] :
         {std::pair{"row", &Place::row}, std::pair{"column", &Place::column},
          std::pair{"rowspan", &Place::rowSpan}, std::pair{"colspan", &Place::columnSpan}}) {
        if (!attributes.hasAttribute(QLatin1String(name)))
            continue;
        bool ok = false;
        place.*field = attributes.value(QLatin1String(name)).toInt(&ok);
        if (!ok || place.*field < 0)
            return fail(QStringLiteral("an item %1 that is no number").arg(name));
    }
    std::optional<Qt::Alignment> alignment = Qt::Alignment();
    if (attributes.hasAttribute(QLatin1String("alignment")))
        alignment = itemAlignment(attributes.value(QLatin1String("alignment")).toString());
    if (!alignment)
        return fail(QStringLiteral("an item alignment that is no alignment"));

    if (!m_xml.readNextStartElement())
        return fail(QStringLiteral("an empty item in layout \"%1\"").arg(layout.objectName()));
    if (alignment->toInt() != 0 && m_xml.name() != QLatin1String("widget"))
        return fail(QStringLiteral("an alignment for a <%1>, which only a widget takes").arg(m_xml.name()));
    if (m_xml.name() == QLatin1String("widget")) {
        QWidget* widget = readWidget(&owner, false);
        if (!widget)
            return;
        if (grid)
            grid->addWidget(widget, place.row, place.column, place.rowSpan, place.columnSpan, *alignment);
        else
            static_cast<QBoxLayout&>(layout).addWidget(widget, 0, *alignment);
    } else if (m_xml.name() == QLatin1String("layout")) {
        if (!readLayout(owner, place))
            return;
    } else if (m_xml.name() == QLatin1String("spacer")) {
        std::unique_ptr<QSpacerItem> spacer = readSpacer();
        if (!spacer)
            return;
        if (grid)
            grid->addItem(spacer.release(), place.row, place.column, place.rowSpan, place.columnSpan);
        else
            layout.addItem(spacer.release());
    } else {
        return refuseElement(QStringLiteral("an item of layout \"%1\"").arg(layout.objectName()));
    }
    if (!m_xml.hasError() && m_xml.readNextStartElement())
        fail(QStringLiteral("an item of layout \"%1\" with two things in it").arg(layout.objectName()));
}

std::unique_ptr<QSpacerItem> FormReader::readSpacer()
{
    if (!knownAttributes({"name"}))
        return nullptr;
    bool horizontal = true;
    QSizePolicy::Policy sizeType = QSizePolicy::Expanding;
    QSize size(0, 0);
    while (!m_xml.hasError() && m_xml.readNextStartElement()) {
        if (m_xml.name() != QLatin1String("property")) {
            refuseElement(QStringLiteral("a spacer"));
            break;
        }
        if (!knownAttributes({"name", "stdset"}))
            break;
        const QString name = m_xml.attributes().value(QLatin1String("name")).toString();
        const std::optional<Value> value = readValue();
        if (!value)
            break;
        if (name == QLatin1String("orientation") && value->kind == Value::Kind::Enum) {
            const std::optional<int> orientation =
                enumValue(QMetaEnum::fromType<Qt::Orientation>(), value->text);
            if (!orientation)
                fail(QStringLiteral("a spacer orientation that is no orientation"));
            horizontal = orientation == Qt::Horizontal;
        } else if (name == QLatin1String("sizeType") && value->kind == Value::Kind::Enum) {
            const std::optional<int> type =
                enumValue(QMetaEnum::fromType<QSizePolicy::Policy>(), value->text);
            if (!type)
                fail(QStringLiteral("a spacer size type that is no size policy"));
            sizeType = static_cast<QSizePolicy::Policy>(type.value_or(QSizePolicy::Expanding));
        } else if (name == QLatin1String("sizeHint") && value->value.typeId() == QMetaType::QSize) {
            size = value->value.toSize();
        } else {
            fail(QStringLiteral("no spacer property \"%1\" of that type").arg(name));
        }
    }
    if (m_xml.hasError())
        return nullptr;
    return horizontal
               ? std::make_unique<QSpacerItem>(size.width(), size.height(), sizeType, QSizePolicy::Minimum)
               : std::make_unique<QSpacerItem>(size.width(), size.height(), QSizePolicy::Minimum, sizeType);
}

// Reads the value element of the <property> just entered, and the property's end.
std::optional<Value> FormReader::readValue()
{
    if (!m_xml.readNextStartElement()) {
        fail(QStringLiteral("a property without a value"));
        return std::nullopt;
    }
    const QString type = m_xml.name().toString();
    Value value;
    if (type == QLatin1String("string")) {
        // The other attributes serve translators; the program's forms are not translated.
        if (knownAttributes({"notr", "comment", "extracomment"}))
            value.value = m_xml.readElementText();
    } else if (type == QLatin1String("cstring")) {
        value.kind = Value::Kind::CString;
        if (knownAttributes({}))
            value.text = m_xml.readElementText();
        value.value = value.text.toUtf8();
    } else if (type == QLatin1String("enum") || type == QLatin1String("set")) {
        value.kind = Value::Kind::Enum;
        if (knownAttributes({}))
            value.text = m_xml.readElementText();
    } else if (type == QLatin1String("number") || type == QLatin1String("double") ||
               type == QLatin1String("bool")) {
        const QString text = knownAttributes({}) ? m_xml.readElementText().trimmed() : QString();
        bool ok = true;
        if (type == QLatin1String("number"))
            value.value = text.toInt(&ok);
        else if (type == QLatin1String("double"))
            value.value = text.toDouble(&ok);
        else if (text == QLatin1String("true") || text == QLatin1String("false"))
            value.value = text == QLatin1String("true");
        else
            ok = false;
        if (!ok)
            fail(QStringLiteral("\"%1\" is no %2").arg(text, type));
    } else if (type == QLatin1String("rect")) {
        auto n = knownAttributes({}) ? readNumbers({"x", "y", "width", "height"}) : std::map<QString, int>{};
        value.value = QRect(n[QStringLiteral("x")], n[QStringLiteral("y")], n[QStringLiteral("width")],
                            n[QStringLiteral("height")]);
    } else if (type == QLatin1String("size")) {
        auto n = knownAttributes({}) ? readNumbers({"width", "height"}) : std::map<QString, int>{};
        value.value = QSize(n[QStringLiteral("width")], n[QStringLiteral("height")]);
    } else if (type == QLatin1String("sizepolicy")) {
        const QMetaEnum policies = QMetaEnum::fromType<QSizePolicy::Policy>();
        const std::optional<int> horizontal =
            enumValue(policies, m_xml.attributes().value(QLatin1String("hsizetype")).toString());
        const std::optional<int> vertical =
            enumValue(policies, m_xml.attributes().value(QLatin1String("vsizetype")).toString());
        if (knownAttributes({"hsizetype", "vsizetype"}) && (!horizontal || !vertical))
            fail(QStringLiteral("a size policy with an unknown size type"));
        auto n = m_xml.hasError() ? std::map<QString, int>{} : readNumbers({"horstretch", "verstretch"});
        QSizePolicy policy(static_cast<QSizePolicy::Policy>(horizontal.value_or(0)),
                           static_cast<QSizePolicy::Policy>(vertical.value_or(0)));
        policy.setHorizontalStretch(n[QStringLiteral("horstretch")]);
        policy.setVerticalStretch(n[QStringLiteral("verstretch")]);
        value.value = QVariant::fromValue(policy);
    } else {
        fail(QStringLiteral("no property type \"%1\" in the program's forms").arg(type));
    }
    if (!m_xml.hasError() && m_xml.readNextStartElement())
        fail(QStringLiteral("a property with two values"));
    if (m_xml.hasError())
        return std::nullopt;
    return value;
}

// <width>10</width><height>20</height> and the like, up to the end of the enclosing element;
// a number it does not name is refused, one it names and the form leaves out counts 0.
std::map<QString, int> FormReader::readNumbers(std::initializer_list<const char*> names)
{
    std::map<QString, int> numbers;
    while (!m_xml.hasError() && m_xml.readNextStartElement()) {
        const QString name = m_xml.name().toString();
        if (std::none_of(names.begin(), names.end(),
                         [&name](const char* known) { return name == QLatin1String(known); })) {
            refuseElement(QStringLiteral("a value"));
            break;
        }
        bool ok = false;
        numbers[name] = knownAttributes({}) ? m_xml.readElementText().trimmed().toInt(&ok) : 0;
        if (!ok)
            fail(QStringLiteral("<%1> is no number").arg(name));
    }
    return numbers;
}

void FormReader::setProperty(QObject& object, const QString& name, bool dynamic, const Value& value)
{
    if (m_xml.hasError())
        return;
    const QByteArray key = name.toLatin1();
    if (dynamic) {
        // The program's own properties (controlId, sorted, ...): kept as they are.
        if (value.kind == Value::Kind::Enum)
            return fail(QStringLiteral("an enumeration in the dynamic property \"%1\"").arg(name));
        object.setProperty(key.constData(), value.value);
        return;
    }
    const QMetaObject& meta = *object.metaObject();
    const int index = meta.indexOfProperty(key.constData());
    if (index < 0)
        return fail(QStringLiteral("%1 has no property \"%2\"").arg(QLatin1String(meta.className()), name));
    const QMetaProperty property = meta.property(index);
    QVariant written = value.value;
    if (value.kind == Value::Kind::Enum) {
        const std::optional<int> number =
            property.isEnumType() ? enumValue(property.enumerator(), value.text) : std::nullopt;
        if (!number)
            return fail(QStringLiteral("\"%1\" is no value of %2").arg(value.text, name));
        written = *number;
    }
    if (!property.write(&object, written))
        return fail(QStringLiteral("%1 cannot take that value").arg(name));
}

void FormReader::setLayoutProperty(QLayout& layout, const QString& name, const Value& value,
                                   std::array<std::optional<int>, 4>& margins)
{
    static const char* const sides[] = {"leftMargin", "topMargin", "rightMargin", "bottomMargin"};
    const bool number = value.value.typeId() == QMetaType::Int;
    for (std::size_t side = 0; side < margins.size(); ++side) {
        if (name == QLatin1String(sides[side])) {
            if (!number)
                return fail(QStringLiteral("a margin that is no number"));
            margins[side] = value.value.toInt();
            return;
        }
    }
    if (auto* grid = qobject_cast<QGridLayout*>(&layout)) {
        if (name == QLatin1String("horizontalSpacing") || name == QLatin1String("verticalSpacing")) {
            if (!number)
                return fail(QStringLiteral("a spacing that is no number"));
            if (name == QLatin1String("horizontalSpacing"))
                grid->setHorizontalSpacing(value.value.toInt());
            else
                grid->setVerticalSpacing(value.value.toInt());
            return;
        }
    }
    setProperty(layout, name, false, value);
}

// What names other widgets: buddies and the tab order, once every widget exists. As with
// Qt's form loader, the name is looked for among the top widget's descendants.
void FormReader::finish(QWidget& top)
{
    for (const auto& [label, name] : m_buddies) {
        QWidget* buddy = top.findChild<QWidget*>(name);
        if (!buddy)
            return fail(
                QStringLiteral("no widget \"%1\" for the buddy of \"%2\"").arg(name, label->objectName()));
        label->setBuddy(buddy);
    }
    QWidget* previous = nullptr;
    for (const QString& name : std::as_const(m_tabStops)) {
        QWidget* widget = top.findChild<QWidget*>(name);
        if (!widget)
            return fail(QStringLiteral("no widget \"%1\" for the tab order").arg(name));
        if (previous)
            QWidget::setTabOrder(previous, widget);
        previous = widget;
    }
}

} // namespace

QWidget* FormBuilder::build(QByteArrayView form, QWidget* parent)
{
    return FormReader(form, *this).read(parent, error);
}

} // namespace meridal::platform::qt
