// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/converter_dlg.h"

#include "catalogue/markup_element.h"
#include "catalogue/windows1252.h"
#include "platform/controls.h"
#include "resources/resource_ids.h"
#include "resources/resource_module.h"
#include "ui/list_selection.h"
#include "ui/numeric_entry.h"

#include <cerrno>
#include <cstring>
#include <exception>
#include <iostream>
#include <new>
#include <utility>

namespace meridal {

using platform::MessageIcon;
using platform::Notification;

namespace {

// The tip shown last: string strTipBase + counter. It outlives any one window.
int s_tipCounter = 0;
// The input field's reentrancy flag (see filterNumericEntry).
bool s_inputRewriting = false;

// Inert controls for a window that has not found its own yet.
class NoList final : public platform::ListControl {
  public:
    void reset() override {}
    void addEntry(const std::string&) override {}
    void insertEntry(int, const std::string&) override {}
    void removeEntry(int) override {}
    void selectIndex(int) override {}
    int selectedIndex() const override { return -1; }
    std::string entryText(int) const override { return {}; }
    int entryCount() const override { return 0; }
    int selectPrefix(const std::string&) override { return -1; }
    int entryAt(platform::Point) const override { return -1; }
};

class NoEdit final : public platform::EditField {
  public:
    std::string text() const override { return {}; }
    void setText(const std::string&) override {}
    int selectionStart() const override { return 0; }
    int selectionEnd() const override { return 0; }
    void setSelection(int, int) override {}
    void clearSelection() override {}
    void scrollCaret() override {}
    void copy() override {}
    void paste() override {}
    std::optional<char32_t> unrepresentable() const override { return std::nullopt; }
    void setReadOnly(bool) override {}
};

class NoText final : public platform::TextField {
  public:
    void setText(const std::string&) override {}
    std::string text() const override { return {}; }
};

NoList s_noList;
NoEdit s_noEdit;
NoText s_noText;

void selectFirst(platform::ListControl& list)
{
    if (list.entryCount() > 0)
        list.selectIndex(0);
}

} // namespace

CConverterDlg::CConverterDlg(const Resources& resources, platform::DialogHost& host)
    : m_resources(resources), m_host(host), m_logList(&s_noList), m_dimensionList(&s_noList),
      m_startUnitList(&s_noList), m_endUnitList(&s_noList), m_input(&s_noEdit), m_output(&s_noEdit),
      m_startCaption(&s_noText), m_endCaption(&s_noText), m_tipField(&s_noText)
{
    m_resources.loadString(res::strAllUnits, m_allUnitsLabel);
}

CConverterDlg::~CConverterDlg() = default;

// ---------------------------------------------------------------------------------------
// Routing

namespace {

// The system's own text for an error number, in the program's code page. The system hands
// it over in the user's language and in UTF-8.
std::string systemErrorText(int code)
{
    return utf8ToWindows1252Lossy(std::strerror(code));
}

} // namespace

template <typename Handling> void CConverterDlg::guarded(Handling handling)
{
    // The report names only the system's error; what went wrong goes to standard error, where
    // the session's journal keeps it.
    try {
        handling();
    } catch (const std::bad_alloc& failure) {
        std::cerr << "meridal: " << failure.what() << std::endl;
        reportFailure(ENOMEM);
    } catch (const std::exception& failure) {
        std::cerr << "meridal: " << failure.what() << std::endl;
        reportFailure(EINVAL);
    } catch (...) {
        std::cerr << "meridal: an exception of unknown type" << std::endl;
        reportFailure(EINVAL);
    }
}

void CConverterDlg::reportFailure(int errorCode)
{
    // The standard error report of a failed command: the system's text, the stop icon.
    try {
        m_resources.loadString(res::strErrorCaption, m_messageText);
        m_host.messageBoxes().show(systemErrorText(errorCode), m_messageText, MessageIcon::Error);
    } catch (...) {
        // Nothing more can be told; the window goes on.
    }
}

void CConverterDlg::onNotify(const platform::NotifyMessage& message)
{
    static const Route::Notify routes[] = {
        {res::idDimensionList, Notification::SelectionChanged, &CConverterDlg::onDimensionSelected},
        {res::idStartUnitList, Notification::SelectionChanged, &CConverterDlg::onStartUnitChanged},
        {res::idEndUnitList, Notification::SelectionChanged, &CConverterDlg::onEndUnitChanged},
        {res::idInput, Notification::TextChanged, &CConverterDlg::onInputChanged},
        {res::idInput, Notification::FocusGained, &CConverterDlg::onValueFieldFocused},
        {res::idInput, Notification::FocusLost, &CConverterDlg::onValueFieldUnfocused},
        {res::idOutput, Notification::FocusGained, &CConverterDlg::onValueFieldFocused},
        {res::idOutput, Notification::FocusLost, &CConverterDlg::onValueFieldUnfocused},
        {res::idNextTip, Notification::Clicked, &CConverterDlg::onNextTip},
        {res::idOutput, Notification::TextChanged, nullptr},
    };
    guarded([&] {
        if (Route::dispatch(*this, routes, message))
            return;
        for (WindowFeature* feature : m_features)
            if (feature->onNotify(message))
                return;
    });
}

void CConverterDlg::onCommand(int commandId)
{
    static const Route::Command routes[] = {
        {res::cmdCopy, res::cmdCopy, &CConverterDlg::onCopy},
        {res::cmdPaste, res::cmdPaste, &CConverterDlg::onPaste},
    };
    guarded([&] {
        if (Route::dispatch(*this, routes, commandId))
            return;
        for (WindowFeature* feature : m_features)
            if (feature->onCommand(commandId))
                return;
    });
}

void CConverterDlg::onContextMenu(int controlId, platform::Point screen)
{
    guarded([&] {
        for (WindowFeature* feature : m_features)
            if (feature->onContextMenu(controlId, screen))
                return;
    });
}

std::optional<std::string> CConverterDlg::onTooltipText(int controlId)
{
    std::optional<std::string> text;
    guarded([&] {
        for (WindowFeature* feature : m_features) {
            if (auto answer = feature->onTooltipText(controlId)) {
                text = std::move(*answer);
                return;
            }
        }
    });
    return text;
}

void CConverterDlg::onTimer(int timerId)
{
    guarded([&] {
        for (WindowFeature* feature : m_features)
            if (feature->onTimer(timerId))
                return;
    });
}

void CConverterDlg::onPaint()
{
    guarded([&] {
        for (WindowFeature* feature : m_features)
            feature->onPaint();
    });
}

void CConverterDlg::onSetCursor()
{
    guarded([&] {
        for (WindowFeature* feature : m_features)
            if (feature->onSetCursor())
                return;
    });
}

// ---------------------------------------------------------------------------------------
// Initialisation and closing

bool CConverterDlg::onInitDialog()
{
    bool initialised = false;
    guarded([&] { initialised = initialise(); });
    return initialised;
}

bool CConverterDlg::initialise()
{
    setUpIcon();

    m_readOnlyWarned = false;
    if (!loadCatalogue()) {
        m_resources.loadString(res::strErrorCaption, m_messageText);
        m_host.messageBoxes().show(m_loadError.value_or(std::string()), m_messageText, MessageIcon::Error);
        // The window ends here: nothing is filled, and nothing will be saved.
        m_host.endDialog(-1);
        return false;
    }

    findControls();
    m_chrome.loadMenus();

    m_dimensionList->reset();
    fillDimensionList();
    m_input->clearSelection();
    m_output->clearSelection();

    m_chrome.setUpButtonBitmaps();

    m_saveOnClose = true;

    restoreSelection();

    // The restored unit selections came after the factors were read: read them again.
    updateFactors(0);
    convert();

    loadLog();
    showTip(true);

    m_chrome.setUpTooltips();
    m_chrome.startTimer();
    m_initialised = true;
    return true;
}

void CConverterDlg::findControls()
{
    auto list = [this](int id) {
        platform::ListControl* control = m_host.list(id);
        return control ? control : &s_noList;
    };
    auto edit = [this](int id) {
        platform::EditField* control = m_host.edit(id);
        return control ? control : &s_noEdit;
    };
    auto text = [this](int id) {
        platform::TextField* control = m_host.text(id);
        return control ? control : &s_noText;
    };
    m_logList = list(res::idLogList);
    m_dimensionList = list(res::idDimensionList);
    m_startUnitList = list(res::idStartUnitList);
    m_endUnitList = list(res::idEndUnitList);
    m_input = edit(res::idInput);
    m_output = edit(res::idOutput);
    m_startCaption = text(res::idStartCaption);
    m_endCaption = text(res::idEndCaption);
    m_tipField = text(res::idTip);
}

void CConverterDlg::restoreSelection()
{
    if (m_dimensionList->entryCount() <= 0)
        return;

    if (const MarkupElement* config = m_catalogue.config()) {
        const std::string dim = attributeValue(*config, "dim");
        const std::string su = attributeValue(*config, "su");
        const std::string eu = attributeValue(*config, "eu");
        const std::string sv = attributeValue(*config, "sv");
        // A label that no longer exists matches nothing: the first entries stay selected.
        selectLabel(*m_dimensionList, dim);
        onDimensionChanged();
        selectLabel(*m_startUnitList, su);
        selectLabel(*m_endUnitList, eu);
        // Goes through the input's text-changed handling: cleaned, then converted.
        m_input->setText(sv);
    } else {
        m_dimensionList->selectIndex(0);
        onDimensionChanged();
        selectFirst(*m_startUnitList);
        selectFirst(*m_endUnitList);
        m_resources.loadString(res::strDefaultInput, m_messageText);
        m_input->setText(m_messageText);
    }
}

void CConverterDlg::onClose()
{
    guarded([&] { m_chrome.onClose(); });
}

void CConverterDlg::setUpIcon() {} // the layout names icon 169; the platform sets it

// ---------------------------------------------------------------------------------------
// The catalogue file

bool CConverterDlg::loadCatalogue()
{
    std::string error;
    if (m_catalogueFile.load(error))
        return true;
    m_loadError = std::move(error);
    return false;
}

void CConverterDlg::writeDefaultCatalogue()
{
    m_catalogueFile.writeDefault();
}

void CConverterDlg::setSaveOnClose(bool save)
{
    // After initialisation only a completed edit of the catalogue asks for saving.
    if (save && m_initialised)
        m_catalogueFile.noteEdited();
    m_saveOnClose = save;
}

void CConverterDlg::saveCatalogue()
{
    m_catalogueFile.save();
}

// ---------------------------------------------------------------------------------------
// The conversion log

void CConverterDlg::loadLog()
{
    m_log.loadLog();
}

void CConverterDlg::saveLog()
{
    m_log.saveLog();
}

// ---------------------------------------------------------------------------------------
// Lists and conversion

void CConverterDlg::fillDimensionList()
{
    // A sorted list places what is added; the all-units entry is inserted first of all.
    for (const std::string& label : m_catalogue.dimensionLabels())
        m_dimensionList->addEntry(label);
    m_dimensionList->insertEntry(0, m_allUnitsLabel);
    m_dimensionList->selectIndex(0);
}

void CConverterDlg::reselectDimension(const std::string& label)
{
    m_dimensionList->reset();
    fillDimensionList();
    selectLabel(*m_dimensionList, label);
    onDimensionChanged();
}

void CConverterDlg::onDimensionChanged()
{
    refreshUnitLists();
    updateFactors(0);
}

void CConverterDlg::refreshUnitLists()
{
    const int selected = m_dimensionList->selectedIndex();
    m_startUnitList->reset();
    m_endUnitList->reset();
    m_endUnitDimension.reset();
    if (selected < 0)
        return;
    const std::string dimension = m_dimensionList->entryText(selected);
    const bool allUnits = dimension == m_allUnitsLabel;

    if (!allUnits) {
        for (const std::string& label : m_catalogue.unitLabels(dimension))
            m_startUnitList->addEntry(label);
    } else {
        // Both lists get every unit; the start unit's factors narrow the end list at once.
        for (const std::string& label : m_catalogue.allUnitLabels()) {
            m_startUnitList->addEntry(label);
            m_endUnitList->addEntry(label);
        }
    }

    selectFirst(*m_startUnitList);

    if (!allUnits && m_startUnitList->entryCount() > 0) {
        // The end list shows the units of the first start unit's own dimension.
        if (const std::string* owner = m_catalogue.ownerOf(m_startUnitList->entryText(0))) {
            const std::string ownerLabel = *owner;
            fillEndUnitList(ownerLabel);
        }
    }

    selectFirst(*m_endUnitList);
}

void CConverterDlg::fillEndUnitList(const std::string& dimensionLabel)
{
    m_endUnitList->reset();
    m_endUnitDimension = dimensionLabel;
    for (const std::string& label : m_catalogue.unitLabels(dimensionLabel))
        m_endUnitList->addEntry(label);
    if (m_endUnitList->entryCount() > 0) {
        m_endUnitList->selectIndex(0);
        m_endCaption->setText(m_endUnitList->entryText(0));
    }
}

void CConverterDlg::updateFactors(int which)
{
    const std::string dimension = selectedText(*m_dimensionList);
    const bool allUnits = m_dimensionList->selectedIndex() >= 0 && dimension == m_allUnitsLabel;

    if (which == 0 || which == 1) {
        m_startUnitFound = false;
        const int selected = m_startUnitList->selectedIndex();
        if (selected >= 0) {
            const std::string label = m_startUnitList->entryText(selected);
            std::optional<std::string> unitDimension;
            if (!allUnits) {
                unitDimension = dimension;
            } else if (const std::string* owner = m_catalogue.ownerOf(label)) {
                // In the all-units view the end list follows the start unit's dimension.
                unitDimension = *owner;
                fillEndUnitList(*unitDimension);
                which = 0;
            }
            const MarkupElement* unit = unitDimension ? m_catalogue.unit(*unitDimension, label) : nullptr;
            if (unit) {
                m_conversion.setStartUnit(*unit);
                m_startUnitFound = true;
                m_startCaption->setText(label);
            }
        }
    }

    if (which == 0 || which == 2) {
        m_endUnitFound = false;
        const int selected = m_endUnitList->selectedIndex();
        if (selected >= 0) {
            const std::string label = m_endUnitList->entryText(selected);
            // The end unit belongs to the dimension whose units the end list shows.
            std::optional<std::string> unitDimension = m_endUnitDimension;
            if (!unitDimension) {
                if (!allUnits)
                    unitDimension = dimension;
                else if (const std::string* owner = m_catalogue.ownerOf(label))
                    unitDimension = *owner;
            }
            const MarkupElement* unit = unitDimension ? m_catalogue.unit(*unitDimension, label) : nullptr;
            if (unit) {
                m_conversion.setEndUnit(*unit);
                m_endUnitFound = true;
                m_endCaption->setText(label);
            }
        }
    }

    convert();
}

void CConverterDlg::convert()
{
    // Without both units there is nothing to convert between; the output stays as it is.
    if (!m_startUnitFound || !m_endUnitFound)
        return;
    if (std::optional<std::string> result = m_conversion.convert(m_input->text()))
        m_output->setText(*result);
}

void CConverterDlg::onDimensionSelected(const platform::NotifyMessage&)
{
    onDimensionChanged();
}

void CConverterDlg::onStartUnitChanged(const platform::NotifyMessage&)
{
    updateFactors(1);
}

void CConverterDlg::onEndUnitChanged(const platform::NotifyMessage&)
{
    updateFactors(2);
}

// ---------------------------------------------------------------------------------------
// Numeric entry and the clipboard

void CConverterDlg::onInputChanged(const platform::NotifyMessage&)
{
    if (!filterNumericEntry(*m_input, s_inputRewriting))
        return;
    convert();
}

void CConverterDlg::onCopy(int)
{
    m_output->setSelection(0, -1);
    m_output->scrollCaret();
    m_output->copy();
}

void CConverterDlg::onPaste(int)
{
    m_input->setSelection(0, -1);
    m_input->scrollCaret();
    m_input->paste();
}

void CConverterDlg::onValueFieldFocused(const platform::NotifyMessage&)
{
    m_valueEditFocused = true;
}

void CConverterDlg::onValueFieldUnfocused(const platform::NotifyMessage&)
{
    m_valueEditFocused = false;
}

// ---------------------------------------------------------------------------------------
// Tips

void CConverterDlg::showTip(bool first)
{
    if (first)
        s_tipCounter = 1;
    else if (s_tipCounter >= 7)
        s_tipCounter = 1;
    m_tipField->setText(m_resources.string(res::strTipBase + static_cast<unsigned>(s_tipCounter)));
    ++s_tipCounter;
}

void CConverterDlg::onNextTip(const platform::NotifyMessage&)
{
    // The tip stays put while the input or the output field has the focus.
    if (!m_valueEditFocused)
        showTip(false);
}

// ---------------------------------------------------------------------------------------

void CConverterDlg::showMessage(unsigned textId, unsigned captionId, MessageIcon icon)
{
    showMessage(textId, captionId, icon, platform::MessageButtons::Ok, platform::DefaultButton::First);
}

platform::MessageResult CConverterDlg::showMessage(unsigned textId, unsigned captionId, MessageIcon icon,
                                                   platform::MessageButtons buttons,
                                                   platform::DefaultButton defaultButton)
{
    const std::string text = m_resources.string(textId);
    m_resources.loadString(captionId, m_messageText);
    return m_host.messageBoxes().show(text, m_messageText, icon, buttons, defaultButton);
}

void CConverterDlg::showMessageWithReason(unsigned formatId, unsigned captionId, MessageIcon icon,
                                          const std::string& reason)
{
    const std::string text = formatWithArgument(m_resources.string(formatId), utf8ToWindows1252Lossy(reason));
    m_resources.loadString(captionId, m_messageText);
    m_host.messageBoxes().show(text, m_messageText, icon);
}

platform::MessageResult CConverterDlg::showText(const std::string& text, const std::string& caption,
                                                MessageIcon icon, platform::MessageButtons buttons,
                                                platform::DefaultButton defaultButton)
{
    return m_host.messageBoxes().show(text, caption, icon, buttons, defaultButton);
}

} // namespace meridal
