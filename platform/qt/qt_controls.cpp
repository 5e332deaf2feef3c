#include "platform/qt/qt_controls.h"

#include "catalogue/windows1252.h"
#include "platform/qt/qt_text.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QSignalBlocker>

#include <algorithm>

namespace meridal::platform::qt {

namespace {

// The bytes the program gave an entry are kept in this role beside the Unicode text.
constexpr int bytesRole = Qt::UserRole + 1;

QByteArray toBytes(const std::string& text)
{
    return QByteArray(text.data(), static_cast<qsizetype>(text.size()));
}

std::string fromBytes(const QVariant& value, const QString& shown)
{
    if (value.isValid()) {
        const QByteArray bytes = value.toByteArray();
        return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    }
    return fromQString(shown);
}

// The first entry, from the top, that begins with `prefix` ignoring case; -1 when none does.
template <typename TextOf>
int findPrefix(int count, const std::string& prefix, TextOf textOf)
{
    for (int i = 0; i < count; ++i) {
        if (startsWithIgnoreCase1252(textOf(i), prefix))
            return i;
    }
    return -1;
}

} // namespace

// QtComboList ----------------------------------------------------------------------------

void QtComboList::reset()
{
    const QSignalBlocker blocker(m_combo);
    m_combo.clear();
}

void QtComboList::addEntry(const std::string& text)
{
    const QSignalBlocker blocker(m_combo);
    m_combo.addItem(toQString(text), toBytes(text));
}

void QtComboList::insertEntry(int index, const std::string& text)
{
    const QSignalBlocker blocker(m_combo);
    m_combo.insertItem(index, toQString(text), toBytes(text));
}

void QtComboList::removeEntry(int index)
{
    const QSignalBlocker blocker(m_combo);
    m_combo.removeItem(index);
}

void QtComboList::selectIndex(int index)
{
    const QSignalBlocker blocker(m_combo);
    m_combo.setCurrentIndex(index < m_combo.count() ? index : -1);
}

int QtComboList::selectedIndex() const
{
    return m_combo.currentIndex();
}

std::string QtComboList::entryText(int index) const
{
    if (index < 0 || index >= m_combo.count())
        return {};
    return fromBytes(m_combo.itemData(index, Qt::UserRole), m_combo.itemText(index));
}

int QtComboList::entryCount() const
{
    return m_combo.count();
}

int QtComboList::selectPrefix(const std::string& prefix)
{
    const int found = findPrefix(m_combo.count(), prefix, [this](int i) { return entryText(i); });
    if (found >= 0)
        selectIndex(found);
    return found;
}

// QtListBox ------------------------------------------------------------------------------

QtListBox::QtListBox(QListWidget& list) : m_list(list)
{
    m_list.setSelectionMode(QAbstractItemView::SingleSelection);
}

void QtListBox::reset()
{
    const QSignalBlocker blocker(m_list);
    m_list.clear();
}

void QtListBox::addEntry(const std::string& text)
{
    insertEntry(m_list.count(), text);
}

void QtListBox::insertEntry(int index, const std::string& text)
{
    const QSignalBlocker blocker(m_list);
    auto* item = new QListWidgetItem(toQString(text));
    item->setData(bytesRole, toBytes(text));
    m_list.insertItem(std::clamp(index, 0, m_list.count()), item);
}

void QtListBox::removeEntry(int index)
{
    const QSignalBlocker blocker(m_list);
    const bool wasSelected = selectedIndex() == index;
    delete m_list.takeItem(index);
    // Qt moves the selection on to a neighbour; a list box leaves none.
    if (wasSelected) {
        m_list.clearSelection();
        m_list.setCurrentRow(-1);
    }
}

void QtListBox::selectIndex(int index)
{
    const QSignalBlocker blocker(m_list);
    if (index < 0 || index >= m_list.count()) {
        m_list.clearSelection();
        m_list.setCurrentRow(-1);
        return;
    }
    // A visible list scrolls the new current entry into view by itself; a hidden one does
    // when it is shown.
    m_list.setCurrentRow(index, QItemSelectionModel::ClearAndSelect);
}

int QtListBox::selectedIndex() const
{
    const auto selected = m_list.selectedItems();
    return selected.isEmpty() ? -1 : m_list.row(selected.front());
}

std::string QtListBox::entryText(int index) const
{
    const QListWidgetItem* item = m_list.item(index);
    if (!item)
        return {};
    return fromBytes(item->data(bytesRole), item->text());
}

int QtListBox::entryCount() const
{
    return m_list.count();
}

int QtListBox::selectPrefix(const std::string& prefix)
{
    const int found = findPrefix(m_list.count(), prefix, [this](int i) { return entryText(i); });
    if (found >= 0)
        selectIndex(found);
    return found;
}

// QtEditField ----------------------------------------------------------------------------

std::string QtEditField::text() const
{
    return fromQString(m_edit.text());
}

void QtEditField::setText(const std::string& text)
{
    const QString shown = toQString(text);
    if (shown == m_edit.text()) {
        // Qt stays silent when nothing changes; the program's own change still notifies.
        if (m_notifyUnchanged)
            m_notifyUnchanged();
        return;
    }
    m_edit.setText(shown);
}

int QtEditField::selectionStart() const
{
    return m_edit.hasSelectedText() ? m_edit.selectionStart() : m_edit.cursorPosition();
}

int QtEditField::selectionEnd() const
{
    return m_edit.hasSelectedText() ? m_edit.selectionEnd() : m_edit.cursorPosition();
}

void QtEditField::setSelection(int start, int end)
{
    const int length = static_cast<int>(m_edit.text().size());
    if (start < 0) {
        m_edit.deselect();
        return;
    }
    if (end < 0)
        end = length;
    start = std::min(start, length);
    end = std::min(end, length);
    if (start == end)
        m_edit.setCursorPosition(start);
    else
        m_edit.setSelection(start, end - start);
}

void QtEditField::clearSelection()
{
    m_edit.deselect();
}

void QtEditField::scrollCaret()
{
    // A QLineEdit keeps its caret in view by itself whenever the caret moves.
}

void QtEditField::copy()
{
    m_edit.copy();
}

void QtEditField::paste()
{
    m_edit.paste();
}

// QtTextField ----------------------------------------------------------------------------

QtTextField::QtTextField(QLabel& label) : m_label(label)
{
    m_label.setTextFormat(Qt::PlainText);
}

void QtTextField::setText(const std::string& text)
{
    m_label.setText(toQString(text));
}

std::string QtTextField::text() const
{
    return fromQString(m_label.text());
}

} // namespace meridal::platform::qt
