#pragma once

#include "catalogue/conversion.h"
#include "catalogue/unit_catalogue.h"
#include "platform/dialog.h"

#include <optional>
#include <span>
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
// when a selection changes. It reaches its controls only through the platform interfaces.
class CConverterDlg : public platform::DialogController {
  public:
    CConverterDlg(const Resources& resources, platform::DialogHost& host);
    ~CConverterDlg() override;

    CConverterDlg(const CConverterDlg&) = delete;
    CConverterDlg& operator=(const CConverterDlg&) = delete;

    // platform::DialogController
    bool onInitDialog() override;
    void onNotify(int controlId, platform::Notification notification) override;
    void onCommand(int commandId) override;
    void onClose() override;

    // The window's own overridable operations, in their fixed order.
    virtual void loadLog();
    virtual bool loadCatalogue();
    virtual void fillDimensionList();
    virtual void refreshUnitLists();
    virtual void updateFactors(int which);
    virtual void convert();
    virtual void saveCatalogue();
    virtual void saveLog();
    virtual void showTip(bool first);
    virtual void writeDefaultCatalogue();
    virtual void fillEndUnitList(const std::string& dimensionLabel);

    // Refills both unit lists for the selected dimension, re-reads both units' factors and
    // converts. Also the last step of every catalogue edit and of restoring a log entry.
    void onDimensionChanged();

    // State, for the window's other parts and for tests.
    const UnitCatalogue& catalogue() const { return m_catalogue; }
    const Conversion& conversion() const { return m_conversion; }
    const std::optional<std::string>& loadError() const { return m_loadError; }
    const std::string& allUnitsLabel() const { return m_allUnitsLabel; }
    bool saveOnClose() const { return m_saveOnClose; }
    bool readOnlyWarned() const { return m_readOnlyWarned; }
    bool valueEditFocused() const { return m_valueEditFocused; }

  private:
    using Handler = void (CConverterDlg::*)();
    // A row of the routing: a control's notification, or a command, and its handler.
    // A row without a handler takes the message and does nothing.
    struct NotifyRoute {
        int controlId;
        platform::Notification notification;
        Handler handler;
    };
    struct CommandRoute {
        int commandId;
        Handler handler;
    };
    static std::span<const NotifyRoute> notifyRoutes();
    static std::span<const CommandRoute> commandRoutes();

    // Handlers of the routing.
    void onStartUnitChanged();
    void onEndUnitChanged();
    void onInputChanged();
    void onValueFieldFocused();
    void onValueFieldUnfocused();
    void onNextTip();
    void onExit();
    void onCopy();
    void onPaste();

    // Initialisation steps that belong to the window's chrome.
    void setUpIcon();
    void loadMenus();
    void setUpButtonBitmaps();
    void setUpTooltips();
    void startTimer();
    void stopTimer();

    void findControls();
    void restoreSelection();
    void showMessage(unsigned textId, unsigned captionId, platform::MessageIcon icon);
    std::string selectedText(const platform::ListControl& list) const;

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
    // The catalogue file existed but could not be read: it is never saved over.
    bool m_catalogueUnreadable = false;

    UnitCatalogue m_catalogue;

    std::string m_messageText;
    std::string m_allUnitsLabel;
};

} // namespace meridal
