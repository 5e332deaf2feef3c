// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "catalogue/conversion.h"
#include "catalogue/unit_catalogue.h"
#include "platform/dialog.h"
#include "ui/accessories/accessories.h"
#include "ui/catalogue_file.h"
#include "ui/chrome/window_chrome.h"
#include "ui/converter_window.h"
#include "ui/editing/catalogue_editing.h"
#include "ui/log/conversion_log.h"
#include "ui/window_feature.h"

#include <array>
#include <optional>
#include <string>

namespace meridal {

class Resources;

namespace platform {
class ListControl;
class EditField;
class TextField;
enum class MessageIcon;
} // namespace platform

// The converter window: the catalogue in a dimension list and two unit lists, the value
// typed into the input field converted into the output field, everything kept in step
// when a selection changes. Its features (chrome, log, accessories, catalogue editing)
// are controllers of their own; the window offers them what it does not handle itself,
// in that order. It reaches its controls only through the platform interfaces.
class CConverterDlg : public platform::DialogController, public ConverterWindow {
  public:
    CConverterDlg(const Resources& resources, platform::DialogHost& host);
    ~CConverterDlg() override;

    CConverterDlg(const CConverterDlg&) = delete;
    CConverterDlg& operator=(const CConverterDlg&) = delete;

    // platform::DialogController. No exception leaves these: a command that fails shows
    // the error report, and the window goes on.
    bool onInitDialog() override;
    void onNotify(const platform::NotifyMessage& message) override;
    void onCommand(int commandId) override;
    void onClose() override;
    void onContextMenu(int controlId, platform::Point screen) override;
    std::optional<std::string> onTooltipText(int controlId) override;
    void onTimer(int timerId) override;
    void onPaint() override;
    void onSetCursor() override;

    // The window's own overridable operations, in their fixed order.
    virtual void loadLog();
    virtual bool loadCatalogue();
    virtual void fillDimensionList();
    virtual void refreshUnitLists();
    void updateFactors(int which) override;
    void convert() override;
    void saveCatalogue() override;
    void saveLog() override;
    virtual void showTip(bool first);
    virtual void writeDefaultCatalogue();
    virtual void fillEndUnitList(const std::string& dimensionLabel);

    void onDimensionChanged() override;
    void reselectDimension(const std::string& label) override;

    // State, for tests.
    const UnitCatalogue& catalogue() const { return m_catalogue; }
    const Conversion& conversion() const { return m_conversion; }
    const std::optional<std::string>& loadError() const { return m_loadError; }
    const std::string& allUnitsLabel() const override { return m_allUnitsLabel; }
    bool saveOnClose() const override { return m_saveOnClose; }
    bool readOnlyWarned() const override { return m_readOnlyWarned; }
    bool scientific() const override { return m_conversion.m_scientific; }
    int contextList() const override { return m_contextList; }
    bool valueEditFocused() const { return m_valueEditFocused; }

    // ConverterWindow: what the features share.
    const Resources& resources() const override { return m_resources; }
    platform::DialogHost& host() override { return m_host; }
    platform::ListControl& dimensionList() override { return *m_dimensionList; }
    platform::ListControl& startUnitList() override { return *m_startUnitList; }
    platform::ListControl& endUnitList() override { return *m_endUnitList; }
    platform::ListControl& logList() override { return *m_logList; }
    platform::EditField& input() override { return *m_input; }
    platform::EditField& output() override { return *m_output; }
    platform::TextField& startCaption() override { return *m_startCaption; }
    platform::TextField& endCaption() override { return *m_endCaption; }
    UnitCatalogue& catalogue() override { return m_catalogue; }
    void setScientific(bool scientific) override { m_conversion.m_scientific = scientific; }
    void setSaveOnClose(bool save) override;
    void setReadOnlyWarned(bool warned) override { m_readOnlyWarned = warned; }
    void setContextList(int list) override { m_contextList = list; }
    platform::MessageResult showMessage(unsigned textId, unsigned captionId, platform::MessageIcon icon,
                                        platform::MessageButtons buttons,
                                        platform::DefaultButton defaultButton) override;
    void showMessageWithReason(unsigned formatId, unsigned captionId, platform::MessageIcon icon,
                               const std::string& reason) override;
    platform::MessageResult showText(const std::string& text, const std::string& caption,
                                     platform::MessageIcon icon, platform::MessageButtons buttons,
                                     platform::DefaultButton defaultButton) override;

  private:
    using Route = Routes<CConverterDlg>;

    // Runs one message's handling; an exception from it becomes the error report.
    template <typename Handling> void guarded(Handling handling);
    void reportFailure(int errorCode);

    // Handlers of the window's own routing.
    void onStartUnitChanged(const platform::NotifyMessage&);
    void onEndUnitChanged(const platform::NotifyMessage&);
    void onDimensionSelected(const platform::NotifyMessage&);
    void onInputChanged(const platform::NotifyMessage&);
    void onValueFieldFocused(const platform::NotifyMessage&);
    void onValueFieldUnfocused(const platform::NotifyMessage&);
    void onNextTip(const platform::NotifyMessage&);
    void onCopy(int);
    void onPaste(int);

    bool initialise();
    void setUpIcon();
    void findControls();
    void restoreSelection();
    void showMessage(unsigned textId, unsigned captionId, platform::MessageIcon icon);

    const Resources& m_resources;
    platform::DialogHost& m_host;

    // Controls, not owned. Until the window is initialised, and for a control the layout
    // lacks, they point at inert stand-ins, so no handler ever meets a missing control.
    platform::ListControl* m_logList;
    platform::ListControl* m_dimensionList;
    platform::ListControl* m_startUnitList;
    platform::ListControl* m_endUnitList;
    platform::EditField* m_input;
    platform::EditField* m_output;
    platform::TextField* m_startCaption;
    platform::TextField* m_endCaption;
    platform::TextField* m_tipField;

    // The four prepared numbers of the conversion and the result's notation.
    Conversion m_conversion;
    // Whether the selected start and end units were found, so their numbers are the
    // conversion's; without both the output keeps what it shows.
    bool m_startUnitFound = false;
    bool m_endUnitFound = false;
    // The dimension whose units the end-unit list shows; empty while it shows all units.
    std::optional<std::string> m_endUnitDimension;

    std::optional<std::string> m_loadError;

    bool m_saveOnClose = false;
    bool m_readOnlyWarned = false;
    bool m_valueEditFocused = false;
    int m_contextList = 0;
    bool m_initialised = false;

    UnitCatalogue m_catalogue;
    // "Meridal.xml": what was loaded from it, and what closing may save into it.
    CatalogueFile m_catalogueFile{*this};

    std::string m_messageText;
    std::string m_allUnitsLabel;

    // The features, in the order they are offered a message.
    WindowChrome m_chrome{*this};
    ConversionLog m_log{*this};
    Accessories m_accessories{*this};
    CatalogueEditing m_editing{*this};
    std::array<WindowFeature*, 4> m_features{&m_chrome, &m_log, &m_accessories, &m_editing};
};

} // namespace meridal
