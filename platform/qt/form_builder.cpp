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
#include <QXmlStreamReader>

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

// The value of a <property>: plain values are ready to set; enums and sets keep their text
// until the property they go to says which enumeration they name.
struct Value {
    enum class Kind { Plain, Enum, CString };
    Kind kind = Kind::Plain;
    QVariant value;
    QString text;
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

    QWidget* readWidget(QWidget* parent, bool top);
    std::unique_ptr<QLayout> readLayout(QWidget& owner);
    void readItem(QLayout& layout, QWidget& owner);
    std::unique_ptr<QSpacerItem> readSpacer();
    std::optional<Value> readValue();
    std::map<QString, int> readNumbers();
    void setProperty(QObject& object, const QString& name, bool dynamic, const Value& value);
    void setLayoutProperty(QLayout& layout, const QString& name, const Value& value, QMargins& margins,
                           bool& marginsSet);
    void finish(QWidget& top);

    QXmlStreamReader m_xml;
    const FormBuilder& m_builder;
    std::vector<std::pair<QLabel*, QString>> m_buddies;
    QStringList m_tabStops;
};

QWidget* FormReader::read(QWidget* parent, QString& error)
{
    std::unique_ptr<QWidget> top;
    if (m_xml.readNextStartElement() && m_xml.name() == QLatin1String("ui")) {
        while (m_xml.readNextStartElement()) {
            if (m_xml.name() == QLatin1String("widget") && !top) {
                top.reset(readWidget(parent, true));
            } else if (m_xml.name() == QLatin1String("tabstops")) {
                while (m_xml.readNextStartElement()) {
                    if (m_xml.name() == QLatin1String("tabstop"))
                        m_tabStops.append(m_xml.readElementText());
                    else
                        m_xml.skipCurrentElement();
                }
            } else {
                m_xml.skipCurrentElement();
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
    const QString className = m_xml.attributes().value(QLatin1String("class")).toString();
    QWidget* widget = top && m_builder.createTop ? m_builder.createTop(className, parent) : nullptr;
    if (!widget)
        widget = makeWidget(className, parent);
    if (!widget) {
        fail(QStringLiteral("no widget of class \"%1\"").arg(className));
        return nullptr;
    }
    widget->setObjectName(m_xml.attributes().value(QLatin1String("name")).toString());

    while (!m_xml.hasError() && m_xml.readNextStartElement()) {
        if (m_xml.name() == QLatin1String("property")) {
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
                widget->resize(value->value.toRect().size()); // a window places itself
            } else {
                setProperty(*widget, name, dynamic, *value);
            }
        } else if (m_xml.name() == QLatin1String("layout")) {
            if (widget->layout()) {
                fail(QStringLiteral("a second layout in \"%1\"").arg(widget->objectName()));
                break;
            }
            if (std::unique_ptr<QLayout> layout = readLayout(*widget))
                widget->setLayout(layout.release());
        } else if (m_xml.name() == QLatin1String("widget")) {
            readWidget(widget, false);
        } else {
            m_xml.skipCurrentElement();
        }
    }
    return widget;
}

std::unique_ptr<QLayout> FormReader::readLayout(QWidget& owner)
{
    const QXmlStreamAttributes attributes = m_xml.attributes();
    const QStringView className = attributes.value(QLatin1String("class"));
    std::unique_ptr<QLayout> layout;
    if (className == QLatin1String("QVBoxLayout"))
        layout = std::make_unique<QVBoxLayout>();
    else if (className == QLatin1String("QHBoxLayout"))
        layout = std::make_unique<QHBoxLayout>();
    else if (className == QLatin1String("QGridLayout"))
        layout = std::make_unique<QGridLayout>();
    if (!layout) {
        fail(QStringLiteral("no layout of class \"%1\"").arg(className));
        return nullptr;
    }
    layout->setObjectName(attributes.value(QLatin1String("name")).toString());

    QMargins margins = layout->contentsMargins();
    bool marginsSet = false;
    while (!m_xml.hasError() && m_xml.readNextStartElement()) {
        if (m_xml.name() == QLatin1String("property")) {
            const QString name = m_xml.attributes().value(QLatin1String("name")).toString();
            if (const std::optional<Value> value = readValue())
                setLayoutProperty(*layout, name, *value, margins, marginsSet);
        } else if (m_xml.name() == QLatin1String("item")) {
            readItem(*layout, owner);
        } else {
            m_xml.skipCurrentElement();
        }
    }
    if (m_xml.hasError())
        return nullptr;
    if (marginsSet)
        layout->setContentsMargins(margins);

    // Stretch factors: "0,0,4,0,1", one a box item, a grid row or a grid column.
    auto stretches = [&](const char* attribute, auto&& set) {
        const QStringList factors =
            attributes.value(QLatin1String(attribute)).toString().split(QLatin1Char(','), Qt::SkipEmptyParts);
        for (int index = 0; index < factors.size(); ++index)
            set(index, factors[index].toInt());
    };
    if (auto* box = qobject_cast<QBoxLayout*>(layout.get())) {
        stretches("stretch", [box](int index, int factor) { box->setStretch(index, factor); });
    } else if (auto* grid = qobject_cast<QGridLayout*>(layout.get())) {
        stretches("rowstretch", [grid](int row, int factor) { grid->setRowStretch(row, factor); });
        stretches("columnstretch",
                  [grid](int column, int factor) { grid->setColumnStretch(column, factor); });
    }
    return layout;
}

void FormReader::readItem(QLayout& layout, QWidget& owner)
{
    const QXmlStreamAttributes attributes = m_xml.attributes();
    auto number = [&attributes](const char* name, int absent) {
        bool ok = false;
        const int value = attributes.value(QLatin1String(name)).toInt(&ok);
        return ok ? value : absent;
    };
    const int row = number("row", 0);
    const int column = number("column", 0);
    const int rowSpan = number("rowspan", 1);
    const int columnSpan = number("colspan", 1);
    Qt::Alignment alignment;
    if (attributes.hasAttribute(QLatin1String("alignment"))) {
        const std::optional<int> value = enumValue(QMetaEnum::fromType<Qt::Alignment>(),
                                                   attributes.value(QLatin1String("alignment")).toString());
        if (!value)
            return fail(QStringLiteral("an item alignment that is no alignment"));
        alignment = Qt::Alignment(*value);
    }
    auto* grid = qobject_cast<QGridLayout*>(&layout);
    auto* box = qobject_cast<QBoxLayout*>(&layout);

    while (!m_xml.hasError() && m_xml.readNextStartElement()) {
        if (m_xml.name() == QLatin1String("widget")) {
            QWidget* widget = readWidget(&owner, false);
            if (!widget)
                break;
            if (grid)
                grid->addWidget(widget, row, column, rowSpan, columnSpan, alignment);
            else if (box)
                box->addWidget(widget, 0, alignment);
        } else if (m_xml.name() == QLatin1String("layout")) {
            std::unique_ptr<QLayout> inner = readLayout(owner);
            if (!inner)
                break;
            if (grid)
                grid->addLayout(inner.release(), row, column, rowSpan, columnSpan, alignment);
            else if (box)
                box->addLayout(inner.release());
        } else if (m_xml.name() == QLatin1String("spacer")) {
            std::unique_ptr<QSpacerItem> spacer = readSpacer();
            if (!spacer)
                break;
            if (grid)
                grid->addItem(spacer.release(), row, column, rowSpan, columnSpan, alignment);
            else
                layout.addItem(spacer.release());
        } else {
            m_xml.skipCurrentElement();
        }
    }
}

std::unique_ptr<QSpacerItem> FormReader::readSpacer()
{
    bool horizontal = true;
    QSizePolicy::Policy sizeType = QSizePolicy::Expanding;
    QSize size(0, 0);
    while (!m_xml.hasError() && m_xml.readNextStartElement()) {
        if (m_xml.name() != QLatin1String("property")) {
            m_xml.skipCurrentElement();
            continue;
        }
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
        } else if (name == QLatin1String("sizeHint")) {
            size = value->value.toSize();
        } else {
            fail(QStringLiteral("no spacer property \"%1\"").arg(name));
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
    const QStringView type = m_xml.name();
    Value value;
    if (type == QLatin1String("string")) {
        value.value = m_xml.readElementText();
    } else if (type == QLatin1String("cstring")) {
        value.kind = Value::Kind::CString;
        value.text = m_xml.readElementText();
        value.value = value.text.toUtf8();
    } else if (type == QLatin1String("enum") || type == QLatin1String("set")) {
        value.kind = Value::Kind::Enum;
        value.text = m_xml.readElementText();
    } else if (type == QLatin1String("number") || type == QLatin1String("double") ||
               type == QLatin1String("bool")) {
        const QString text = m_xml.readElementText().trimmed();
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
        auto n = readNumbers();
        value.value = QRect(n[QStringLiteral("x")], n[QStringLiteral("y")], n[QStringLiteral("width")],
                            n[QStringLiteral("height")]);
    } else if (type == QLatin1String("size")) {
        auto n = readNumbers();
        value.value = QSize(n[QStringLiteral("width")], n[QStringLiteral("height")]);
    } else if (type == QLatin1String("sizepolicy")) {
        const QMetaEnum policies = QMetaEnum::fromType<QSizePolicy::Policy>();
        const std::optional<int> horizontal =
            enumValue(policies, m_xml.attributes().value(QLatin1String("hsizetype")).toString());
        const std::optional<int> vertical =
            enumValue(policies, m_xml.attributes().value(QLatin1String("vsizetype")).toString());
        auto n = readNumbers();
        if (!horizontal || !vertical)
            fail(QStringLiteral("a size policy with an unknown size type"));
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

// <width>10</width><height>20</height> and the like, up to the end of the enclosing element.
std::map<QString, int> FormReader::readNumbers()
{
    std::map<QString, int> numbers;
    while (!m_xml.hasError() && m_xml.readNextStartElement()) {
        const QString name = m_xml.name().toString();
        bool ok = false;
        numbers[name] = m_xml.readElementText().trimmed().toInt(&ok);
        if (!ok)
            fail(QStringLiteral("<%1> is no number").arg(name));
    }
    return numbers;
}

void FormReader::setProperty(QObject& object, const QString& name, bool dynamic, const Value& value)
{
    const QByteArray key = name.toLatin1();
    if (dynamic) {
        // The program's own properties (controlId, bitmapResource, ...): kept as they are.
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
                                   QMargins& margins, bool& marginsSet)
{
    static const std::pair<const char*, void (QMargins::*)(int)> sides[] = {
        {"leftMargin", &QMargins::setLeft},
        {"topMargin", &QMargins::setTop},
        {"rightMargin", &QMargins::setRight},
        {"bottomMargin", &QMargins::setBottom},
    };
    for (const auto& [side, set] : sides) {
        if (name == QLatin1String(side)) {
            (margins.*set)(value.value.toInt());
            marginsSet = true;
            return;
        }
    }
    if (auto* grid = qobject_cast<QGridLayout*>(&layout)) {
        if (name == QLatin1String("horizontalSpacing")) {
            grid->setHorizontalSpacing(value.value.toInt());
            return;
        }
        if (name == QLatin1String("verticalSpacing")) {
            grid->setVerticalSpacing(value.value.toInt());
            return;
        }
    }
    setProperty(layout, name, false, value);
}

// What names other widgets: buddies and the tab order, once every widget exists.
void FormReader::finish(QWidget& top)
{
    auto find = [&top](const QString& name) -> QWidget* {
        return top.objectName() == name ? &top : top.findChild<QWidget*>(name);
    };
    for (const auto& [label, name] : m_buddies) {
        QWidget* buddy = find(name);
        if (!buddy)
            return fail(
                QStringLiteral("no widget \"%1\" for the buddy of \"%2\"").arg(name, label->objectName()));
        label->setBuddy(buddy);
    }
    QWidget* previous = nullptr;
    for (const QString& name : std::as_const(m_tabStops)) {
        QWidget* widget = find(name);
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
