// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/log/conversion_log.h"

#include "catalogue/unit_catalogue.h"
#include "platform/controls.h"
#include "resources/resource_ids.h"
#include "resources/resource_module.h"
#include "ui/converter_window.h"
#include "ui/list_selection.h"

#include <algorithm>
#include <new>
#include <stdexcept>
#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

namespace meridal {

using platform::DefaultButton;
using platform::MessageButtons;
using platform::MessageIcon;
using platform::MessageResult;
using platform::Notification;

namespace {

// An add drops the entry at this position, so the list then holds at most one more.
constexpr int droppedPosition = 100;

// One side of an entry: the value up to the first space, the unit label after it.
std::pair<std::string, std::string> splitSide(std::string_view side)
{
    const std::size_t space = side.find(' ');
    if (space == std::string_view::npos)
        throw std::invalid_argument("a log entry side without a space");
    return {std::string(side.substr(0, space)), std::string(side.substr(space + 1))};
}

} // namespace

ConversionLog::ConversionLog(ConverterWindow& window) : m_window(window) {}

bool ConversionLog::onNotify(const platform::NotifyMessage& message)
{
    static const Route::Notify routes[] = {
        {res::idAddLogButton, Notification::Clicked, &ConversionLog::onAdd},
        {res::idDeleteLogButton, Notification::Clicked, &ConversionLog::onDelete},
        {res::idClearLogButton, Notification::Clicked, &ConversionLog::onClear},
        {res::idRestoreLogButton, Notification::Clicked, &ConversionLog::onRestore},
        {res::idLogList, Notification::DoubleClicked, &ConversionLog::onRestore},
        {res::idLogList, Notification::DeletePressed, &ConversionLog::onDelete},
        {res::idLogList, Notification::SelectionChanged, nullptr},
    };
    return Route::dispatch(*this, routes, message);
}

bool ConversionLog::onCommand(int commandId)
{
    static const Route::Command routes[] = {
        {res::cmdCopyLogEntry, res::cmdCopyLogEntry, &ConversionLog::onCopy},
    };
    return Route::dispatch(*this, routes, commandId);
}

// ---------------------------------------------------------------------------------------
// The file

void ConversionLog::loadLog()
{
    const OpenedLog opened = openLog(m_file);
    if (opened.state == FileState::ReadOnly) {
        m_window.showMessage(res::strLogReadOnly, res::strWarningCaption, MessageIcon::Warning,
                             MessageButtons::Ok, DefaultButton::First);
        m_window.setReadOnlyWarned(true);
    }
    switch (opened.status) {
    case OpenedLog::Status::Read:
    case OpenedLog::Status::Created:
        break;
    case OpenedLog::Status::NotCreated:
        m_window.showMessageWithReason(res::strLogNotCreated, res::strWarningCaption, MessageIcon::Warning,
                                       opened.reason);
        return;
    case OpenedLog::Status::Unreadable:
        refuseLog(opened.reason);
        return;
    }

    platform::ListControl& list = m_window.logList();
    try {
        for (const std::string& entry : opened.entries)
            list.addEntry(entry);
    } catch (const std::bad_alloc&) {
        // Nothing read from the file may end the program.
        refuseLog(tooLargeForMemoryReason);
    }
}

void ConversionLog::refuseLog(const std::string& reason)
{
    m_file.markUnreadable();
    m_window.logList().reset();
    m_window.showMessageWithReason(res::strLogUnreadable, res::strWarningCaption, MessageIcon::Warning,
                                   reason);
}

void ConversionLog::saveLog()
{
    platform::ListControl& list = m_window.logList();
    const int count = list.entryCount();

    switch (m_file.checkBeforeSave(m_changed).action) {
    case TrackedFile::Action::NeverSaveOver:
        // Writing what was read from a file that could not be read would wipe that file.
        if (count > 0)
            m_window.showMessage(res::strLogNotSavedUnreadable, res::strErrorCaption, MessageIcon::Error,
                                 MessageButtons::Ok, DefaultButton::First);
        return;
    case TrackedFile::Action::Gone:
        // Deleted while the window ran: it is not created again.
        m_window.showMessage(res::strLogMissing, res::strErrorCaption, MessageIcon::Error, MessageButtons::Ok,
                             DefaultButton::First);
        return;
    case TrackedFile::Action::StillMissing:
        // It could not be made at start (and that was told); an empty log has nothing to keep,
        // entries are tried.
        if (count == 0)
            return;
        break;
    case TrackedFile::Action::ReadOnly:
        if (!m_window.readOnlyWarned())
            m_window.showMessage(res::strLogReadOnly, res::strErrorCaption, MessageIcon::Error,
                                 MessageButtons::Ok, DefaultButton::First);
        return;
    case TrackedFile::Action::KeepTheirs:
    case TrackedFile::Action::Merge: // a log is never merged: theirs is kept
        return;
    case TrackedFile::Action::Ask:
        if (m_window.showMessage(res::strLogChangedReplace, res::strWarningCaption, MessageIcon::Question,
                                 MessageButtons::YesNo, DefaultButton::Second) != MessageResult::Yes)
            return;
        break;
    case TrackedFile::Action::Save:
        break;
    }

    std::vector<std::string> entries;
    entries.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        entries.push_back(list.entryText(i));
    std::string reason;
    if (!m_file.save(logBytes(entries), reason)) {
        m_window.showMessageWithReason(res::strLogSaveFailed, res::strErrorCaption, MessageIcon::Error,
                                       reason);
        return;
    }
    m_changed = false;
}

// ---------------------------------------------------------------------------------------
// Commands

void ConversionLog::addLogEntry()
{
    const std::string entry = m_window.input().text() + " " + m_window.startCaption().text() + "  =  " +
                              m_window.output().text() + " " + m_window.endCaption().text();
    platform::ListControl& list = m_window.logList();
    if (list.entryCount() > droppedPosition)
        list.removeEntry(droppedPosition);
    list.insertEntry(0, entry);
    m_changed = true;
}

void ConversionLog::deleteLogEntry()
{
    platform::ListControl& list = m_window.logList();
    const int selected = list.selectedIndex();
    if (selected >= 0) {
        list.removeEntry(selected);
        m_changed = true;
    }
}

void ConversionLog::clearLog()
{
    const MessageResult answer =
        m_window.showMessage(res::strClearLogQuestion, res::strClearLogCaption, MessageIcon::Error,
                             MessageButtons::YesNo, DefaultButton::First);
    if (answer == MessageResult::Yes) {
        m_window.logList().reset();
        m_changed = true;
    }
}

void ConversionLog::copyLogEntry()
{
    // A clipboard that cannot be opened leaves nothing to do.
    (void)m_window.host().clipboard().setText(requireSelectedText(m_window.logList()));
}

LogEntryParts ConversionLog::parseLogEntry(const std::string& entry)
{
    const auto n = static_cast<std::ptrdiff_t>(entry.size());
    const std::size_t equals = entry.find('=');
    const std::ptrdiff_t p = equals == std::string::npos ? -1 : static_cast<std::ptrdiff_t>(equals);

    const std::ptrdiff_t leftCount = p - 2;
    const std::ptrdiff_t rightCount = std::min(n - p - 3, n);
    const std::string_view whole(entry);
    const std::string_view left =
        leftCount > 0 ? whole.substr(0, static_cast<std::size_t>(leftCount)) : std::string_view();
    const std::string_view right =
        rightCount > 0 ? whole.substr(static_cast<std::size_t>(n - rightCount)) : std::string_view();

    LogEntryParts parts;
    std::tie(parts.input, parts.startUnit) = splitSide(left);
    std::tie(parts.result, parts.endUnit) = splitSide(right);
    return parts;
}

void ConversionLog::restoreLogEntry()
{
    const LogEntryParts parts = parseLogEntry(requireSelectedText(m_window.logList()));

    UnitCatalogue& catalogue = m_window.catalogue();
    const std::string* startOwner = catalogue.ownerOf(parts.startUnit);
    const std::string* endOwner = catalogue.ownerOf(parts.endUnit);
    // Both units must be found in the end unit's dimension, or the captions would name a
    // start unit that the start list does not show, and the next conversion would use another.
    if (!startOwner || !endOwner || !catalogue.unit(*endOwner, parts.startUnit)) {
        m_window.showText("The dimension or unit no longer exists", "Log Error", MessageIcon::Error,
                          MessageButtons::Ok, DefaultButton::First);
        return;
    }
    // The end unit's dimension is the one shown; a copy, as the lists are refilled below.
    const std::string dimension = *endOwner;

    selectLabel(m_window.dimensionList(), dimension);
    m_window.onDimensionChanged();
    selectLabel(m_window.startUnitList(), parts.startUnit);
    selectLabel(m_window.endUnitList(), parts.endUnit);
    m_window.updateFactors(0);

    // The input converts again as it changes; then the entry's own result and captions.
    m_window.input().setText(parts.input);
    m_window.output().setText(parts.result);
    m_window.endCaption().setText(parts.endUnit);
    m_window.startCaption().setText(parts.startUnit);
}

} // namespace meridal
