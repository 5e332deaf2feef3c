// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace meridal {

class Resources;
class UnitCatalogue;

namespace platform {
class DialogHost;
class ListControl;
class EditField;
class TextField;
enum class MessageIcon;
enum class MessageButtons;
enum class MessageResult;
enum class DefaultButton;
} // namespace platform

// What the converter window shares with its features: its controls, the catalogue and the
// conversion flow, and the few flags several features read or set. Nothing else of the
// window is reachable from a feature.
class ConverterWindow {
  public:
    virtual const Resources& resources() const = 0;
    virtual platform::DialogHost& host() = 0;

    virtual platform::ListControl& dimensionList() = 0;
    virtual platform::ListControl& startUnitList() = 0;
    virtual platform::ListControl& endUnitList() = 0;
    virtual platform::ListControl& logList() = 0;
    virtual platform::EditField& input() = 0;
    virtual platform::EditField& output() = 0;
    virtual platform::TextField& startCaption() = 0;
    virtual platform::TextField& endCaption() = 0;

    virtual UnitCatalogue& catalogue() = 0;
    // The label of the first entry of the dimension list, which shows every unit.
    virtual const std::string& allUnitsLabel() const = 0;

    // The conversion flow.
    // Refills both unit lists for the selected dimension, re-reads the factors, converts.
    virtual void onDimensionChanged() = 0;
    virtual void updateFactors(int which) = 0; // 0 both units, 1 the start unit, 2 the end unit
    virtual void convert() = 0;
    virtual bool scientific() const = 0;
    virtual void setScientific(bool scientific) = 0;
    // Refills the dimension list and selects `label` (an exact match first, else the first
    // entry that begins with it, ignoring case), then refills the unit lists.
    virtual void reselectDimension(const std::string& label) = 0;

    // Saving at close.
    virtual void saveCatalogue() = 0;
    virtual void saveLog() = 0;

    // Flags shared between features.
    virtual bool saveOnClose() const = 0;
    virtual void setSaveOnClose(bool save) = 0;
    virtual bool readOnlyWarned() const = 0;
    virtual void setReadOnlyWarned(bool warned) = 0;
    // 0 when the last context menu was opened over the start-unit list, 1 over the end-unit list.
    virtual int contextList() const = 0;
    virtual void setContextList(int list) = 0;

    // Message boxes owned by the window: texts and captions by string number, or as given.
    virtual platform::MessageResult showMessage(unsigned textId, unsigned captionId,
                                                platform::MessageIcon icon, platform::MessageButtons buttons,
                                                platform::DefaultButton defaultButton) = 0;
    // String `formatId` with its one %s filled by `reason`, the system's own words (UTF-8, the
    // user's language), converted and never used as a format itself; OK button.
    virtual void showMessageWithReason(unsigned formatId, unsigned captionId, platform::MessageIcon icon,
                                       const std::string& reason) = 0;
    virtual platform::MessageResult showText(const std::string& text, const std::string& caption,
                                             platform::MessageIcon icon, platform::MessageButtons buttons,
                                             platform::DefaultButton defaultButton) = 0;

  protected:
    ~ConverterWindow() = default;
};

} // namespace meridal
