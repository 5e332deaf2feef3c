// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/dialog.h"
#include "ui/window_feature.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace meridal {

class Resources;

// What the edit dialog is opened for; it decides which fields can be changed and the caption.
enum class EditMode {
    NewDimension = 0,     // a dimension with its base unit
    NewUnit = 1,          // a unit of a given dimension
    RelabelDimension = 2, // a dimension's label only
    EditUnit = 3,         // a unit's label, factor and offset
};

// The factor and offset fields keep what the decimal rule reads: ASCII digits, ".", "-",
// and the exponent's "e", "E" and "+".
std::string filterDecimalText(std::string_view text);

// The modal dialog in which the user types a catalogue change: dimension label, base unit,
// unit label, conversion factor and offset. It collects and checks text; it never reads or
// changes the catalogue. Whoever opens it presets the fields, runs it with
// DialogHost::runDialog and, when the run returned `okResult`, reads the fields back.
class CUnitEditDlg final : public platform::DialogController {
  public:
    static constexpr int okResult = 1;
    static constexpr int cancelResult = 2;

    // Runs when OK is pressed and every field is filled in and readable: the message that
    // refuses the input (the dialog stays open), or nullopt to accept it.
    using Check = std::function<std::optional<std::string>(const CUnitEditDlg&)>;

    CUnitEditDlg(EditMode mode, const Resources& resources);

    EditMode mode() const { return m_mode; }
    void setCheck(Check check) { m_check = std::move(check); }

    // Each is absent until set by the caller or by a change of its field.
    const std::optional<std::string>& dimensionLabel() const { return m_dimensionLabel; }
    void setDimensionLabel(std::string text) { m_dimensionLabel = std::move(text); }
    const std::optional<std::string>& baseUnit() const { return m_baseUnit; }
    void setBaseUnit(std::string text) { m_baseUnit = std::move(text); }
    const std::optional<std::string>& unitLabel() const { return m_unitLabel; }
    void setUnitLabel(std::string text) { m_unitLabel = std::move(text); }
    const std::optional<std::string>& factor() const { return m_factor; }
    void setFactor(std::string text) { m_factor = std::move(text); }
    const std::optional<std::string>& offset() const { return m_offset; }
    void setOffset(std::string text) { m_offset = std::move(text); }

    // platform::DialogController
    void onAttach(platform::DialogHost& host) override { m_host = &host; }
    bool onInitDialog() override;
    void onNotify(const platform::NotifyMessage& message) override;
    void onCommand(int /*commandId*/) override {}
    void onClose() override;

  private:
    using Route = Routes<CUnitEditDlg>;

    platform::DialogHost& host() { return *m_host; }
    void applyMode();
    void showPresets();
    void focusFirstWritable();
    void preset(int controlId, const std::optional<std::string>& text);

    void onDimensionLabelChanged(const platform::NotifyMessage&);
    void onBaseUnitChanged(const platform::NotifyMessage&);
    void onUnitLabelChanged(const platform::NotifyMessage&);
    void onFactorChanged(const platform::NotifyMessage&);
    void onOffsetChanged(const platform::NotifyMessage&);
    void onOk(const platform::NotifyMessage&);
    void onCancel(const platform::NotifyMessage&);

    // Why OK cannot end the dialog, or nullopt.
    std::optional<std::string> refusal();
    void refuse(const std::string& text);
    bool writable(int controlId) const;
    std::string fieldText(int controlId);

    const Resources& m_resources;
    platform::DialogHost* m_host = nullptr;

    std::optional<std::string> m_dimensionLabel;
    std::optional<std::string> m_baseUnit;
    std::optional<std::string> m_unitLabel;
    std::optional<std::string> m_factor;
    std::optional<std::string> m_offset;
    std::string m_messageText;
    const EditMode m_mode;

    // The numeric fields as the dialog opened with them: what was already there is not
    // refused, only what the user types.
    std::optional<std::string> m_presetFactor;
    std::optional<std::string> m_presetOffset;
    // Each numeric field's reentrancy flag (see filterNumericEntry).
    bool m_rewritingFactor = false;
    bool m_rewritingOffset = false;
    Check m_check;
};

} // namespace meridal
