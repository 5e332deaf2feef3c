// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt/qt_controls.h"

#include "catalogue/windows1252.h"
#include "platform/qt/qt_text.h"

#include <QApplication>
#include <QComboBox>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPalette>
#include <QSignalBlocker>

#include <algorithm>
#include <numeric>

namespace meridal::platform::qt {

namespace {

QByteArray toBytes(const std::string& text)
{
    return QByteArray(text.data(), static_cast<qsizetype>(text.size()));
}

// A drop-down entry keeps the bytes the program gave it as its data.
std::string fromBytes(const QVariant& value, const QString& shown)
{
    if (value.isValid()) {
        const QByteArray bytes = value.toByteArray();
        return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    }
    return fromQString(shown);
}

// The first entry, from the top, that begins with `prefix` ignoring case; -1 when none does.
template <typename TextOf> int findPrefix(int count, const std::string& prefix, TextOf textOf)
{
    for (int i = 0; i < count; ++i) {
        if (startsWithIgnoreCase1252(textOf(i), prefix))
            return i;
    }
    return -1;
}

// The selection of a list box. Qt's single selection lets the user take the selection away:
// Ctrl+click or Ctrl+Space on the selected entry deselects it, a click below the entries
// clears it. A list box holds on to its entry: a change that the user makes and that would
// leave nothing selected is refused here, before anything changes or notifies. The program's
// own changes come with the list's signals blocked, since they notify nothing; those may clear
// the selection.
class ListBoxSelection final : public QItemSelectionModel {
  public:
    explicit ListBoxSelection(QListWidget& list) : QItemSelectionModel(list.model(), &list), m_list(list) {}

    using QItemSelectionModel::select;
    void select(const QItemSelection& selection, QItemSelectionModel::SelectionFlags command) override
    {
        if (!m_list.signalsBlocked() && hasSelection() && leavesNothingSelected(selection, command))
            return;
        QItemSelectionModel::select(selection, command);
    }

  private:
    bool leavesNothingSelected(const QItemSelection& selection,
                               QItemSelectionModel::SelectionFlags command) const
    {
        const QModelIndexList named = selection.indexes();
        // Clearing first leaves what the command then selects or toggles on.
        if (command & QItemSelectionModel::Clear)
            return named.isEmpty() ||
                   !(command & (QItemSelectionModel::Select | QItemSelectionModel::Toggle));
        if (command & QItemSelectionModel::Select)
            return false;
        if (command & QItemSelectionModel::Toggle) {
            if (std::any_of(named.begin(), named.end(),
                            [this](const QModelIndex& index) { return !isSelected(index); }))
                return false;
        } else if (!(command & QItemSelectionModel::Deselect)) {
            return false;
        }
        // Deselecting: what stays selected is what the command does not name.
        const QModelIndexList selected = selectedIndexes();
        return std::all_of(selected.begin(), selected.end(),
                           [&named](const QModelIndex& index) { return named.contains(index); });
    }

    QListWidget& m_list;
};

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
    int index = m_combo.count();
    if (m_sorted) {
        // After every entry that sorts before it or equal to it.
        int low = 0;
        while (low < index) {
            const int middle = (low + index) / 2;
            if (sortsBefore1252(text, entryText(middle)))
                index = middle;
            else
                low = middle + 1;
        }
    }
    m_combo.insertItem(index, toShownQString(text), toBytes(text));
}

void QtComboList::insertEntry(int index, const std::string& text)
{
    const QSignalBlocker blocker(m_combo);
    m_combo.insertItem(index, toShownQString(text), toBytes(text));
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

int QtComboList::entryAt(Point client) const
{
    // A closed drop-down shows its selected entry, and nothing else, over its whole face.
    const bool inside =
        client.x >= 0 && client.y >= 0 && client.x < m_combo.width() && client.y < m_combo.height();
    return inside ? m_combo.currentIndex() : -1;
}

// QtListBox ------------------------------------------------------------------------------

QtListBox::QtListBox(QListWidget& list, const int& deferring, bool sorted)
    : m_list(list), m_deferring(deferring), m_sorted(sorted)
{
    m_list.setSelectionMode(QAbstractItemView::SingleSelection);
    QItemSelectionModel* usual = m_list.selectionModel();
    m_list.setSelectionModel(new ListBoxSelection(m_list));
    delete usual;
    // Every entry is one line of text in the list's font: the view measures one entry rather
    // than laying out the text of thousands before it can show the first.
    m_list.setUniformItemSizes(true);
    for (int i = 0; i < m_list.count(); ++i)
        m_entries.push_back(fromQString(m_list.item(i)->text()));
    m_inWidget = m_list.count();
}

int QtListBox::widgetSelection() const
{
    const auto selected = m_list.selectedItems();
    return selected.isEmpty() ? -1 : m_list.row(selected.front());
}

void QtListBox::markStale()
{
    if (!m_stale) {
        m_selected = widgetSelection();
        m_stale = true;
    }
}

void QtListBox::settle()
{
    if (m_deferring == 0)
        sync();
}

void QtListBox::sortPending() const
{
    if (!m_unsorted)
        return;
    m_unsorted = false;
    std::vector<int> order(m_entries.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [this](int a, int b) {
        return sortsBefore1252(m_entries[static_cast<std::size_t>(a)],
                               m_entries[static_cast<std::size_t>(b)]);
    });
    std::vector<std::string> sorted;
    sorted.reserve(m_entries.size());
    int selected = -1;
    for (std::size_t i = 0; i < order.size(); ++i) {
        if (order[i] == m_selected)
            selected = static_cast<int>(i);
        sorted.push_back(std::move(m_entries[static_cast<std::size_t>(order[i])]));
    }
    m_entries = std::move(sorted);
    m_selected = selected; // the same entry, in its new place
}

void QtListBox::sync()
{
    sortPending();
    if (!m_stale)
        return;
    const QSignalBlocker blocker(m_list);
    if (m_inWidget == 0 && m_list.count() > 0)
        m_list.clear();
    const auto count = static_cast<int>(m_entries.size());
    if (m_inWidget < count) {
        QStringList texts;
        texts.reserve(count - m_inWidget);
        for (int i = m_inWidget; i < count; ++i)
            texts.append(toShownQString(m_entries[static_cast<std::size_t>(i)]));
        m_list.addItems(texts);
    }
    m_inWidget = count;
    m_stale = false;
    if (m_selected < 0) {
        m_list.clearSelection();
        m_list.setCurrentRow(-1);
    } else if (m_selected != widgetSelection()) {
        // A visible list scrolls the new current entry into view by itself, a hidden one
        // when it is shown.
        m_list.setCurrentRow(m_selected, QItemSelectionModel::ClearAndSelect);
    }
}

void QtListBox::reset()
{
    markStale();
    m_entries.clear();
    m_inWidget = 0;
    m_selected = -1;
    settle();
}

void QtListBox::addEntry(const std::string& text)
{
    markStale();
    if (m_sorted && !m_entries.empty()) {
        if (sortsBefore1252(text, m_entries.back())) {
            // It goes among the entries before it; the widget is filled again when it holds any.
            m_unsorted = true;
            m_inWidget = 0;
        }
    }
    m_entries.push_back(text);
    settle();
}

void QtListBox::insertEntry(int index, const std::string& text)
{
    sync();
    index = std::clamp(index, 0, entryCount());
    const QSignalBlocker blocker(m_list);
    m_entries.insert(m_entries.begin() + index, text);
    m_list.insertItem(index, toShownQString(text));
    m_inWidget = entryCount();
}

void QtListBox::removeEntry(int index)
{
    sync();
    if (index < 0 || index >= entryCount())
        return;
    const QSignalBlocker blocker(m_list);
    const bool wasSelected = widgetSelection() == index;
    m_entries.erase(m_entries.begin() + index);
    delete m_list.takeItem(index);
    m_inWidget = entryCount();
    // Qt moves the selection on to a neighbour; a list box leaves none.
    if (wasSelected) {
        m_list.clearSelection();
        m_list.setCurrentRow(-1);
    }
}

void QtListBox::selectIndex(int index)
{
    sortPending();
    markStale();
    m_selected = index < entryCount() ? std::max(index, -1) : -1;
    settle();
}

int QtListBox::selectedIndex() const
{
    sortPending();
    return m_stale ? m_selected : widgetSelection();
}

std::string QtListBox::entryText(int index) const
{
    sortPending();
    if (index < 0 || index >= entryCount())
        return {};
    return m_entries[static_cast<std::size_t>(index)];
}

int QtListBox::entryCount() const
{
    return static_cast<int>(m_entries.size());
}

int QtListBox::entryAt(Point client) const
{
    const_cast<QtListBox*>(this)->sync();
    const QListWidgetItem* item = m_list.itemAt(QPoint(client.x, client.y));
    return item ? m_list.row(item) : -1;
}

int QtListBox::selectPrefix(const std::string& prefix)
{
    const int found = findPrefix(entryCount(), prefix, [this](int i) { return entryText(i); });
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

namespace {

// The program counts positions in characters (one Windows-1252 byte each; a character the code
// page lacks is one "?"), QLineEdit in UTF-16 units: a character outside the Basic
// Multilingual Plane is one character but two units.
int toCharacters(const QString& text, int units)
{
    int characters = 0;
    for (qsizetype i = 0; i < units && i < text.size(); ++i) {
        if (!(text[i].isLowSurrogate() && i > 0 && text[i - 1].isHighSurrogate()))
            ++characters;
    }
    return characters;
}

int toUnits(const QString& text, int characters)
{
    qsizetype i = 0;
    for (; characters > 0 && i < text.size(); --characters) {
        const bool pair = text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate();
        i += pair ? 2 : 1;
    }
    return static_cast<int>(i);
}

} // namespace

int QtEditField::selectionStart() const
{
    return toCharacters(m_edit.text(),
                        m_edit.hasSelectedText() ? m_edit.selectionStart() : m_edit.cursorPosition());
}

int QtEditField::selectionEnd() const
{
    return toCharacters(m_edit.text(),
                        m_edit.hasSelectedText() ? m_edit.selectionEnd() : m_edit.cursorPosition());
}

void QtEditField::setSelection(int start, int end)
{
    const QString text = m_edit.text();
    if (start < 0) {
        m_edit.deselect();
        return;
    }
    // Positions past the end, and an end of -1, stand for the end of the text.
    const int first = toUnits(text, start);
    const int last = end < 0 ? static_cast<int>(text.size()) : toUnits(text, end);
    if (first == last)
        m_edit.setCursorPosition(first);
    else
        m_edit.setSelection(first, last - first);
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

std::optional<char32_t> QtEditField::unrepresentable() const
{
    for (const char32_t codePoint : m_edit.text().toUcs4()) {
        if (!codePointTo1252(codePoint))
            return codePoint;
    }
    return std::nullopt;
}

void QtEditField::setReadOnly(bool readOnly)
{
    m_edit.setReadOnly(readOnly);
    // A field that takes no typing shows it: the window's colour behind the text, as a label has.
    QPalette palette = m_edit.palette();
    const QPalette usual = QApplication::palette(&m_edit);
    palette.setBrush(QPalette::Base, usual.brush(readOnly ? QPalette::Window : QPalette::Base));
    m_edit.setPalette(palette);
}

// QtTextField ----------------------------------------------------------------------------

QtTextField::QtTextField(QLabel& label) : m_label(label), m_text(fromQString(label.text()))
{
    m_label.setTextFormat(Qt::PlainText);
}

void QtTextField::setText(const std::string& text)
{
    m_text = text;
    m_label.setText(toShownQString(text));
}

std::string QtTextField::text() const
{
    return m_text;
}

} // namespace meridal::platform::qt
