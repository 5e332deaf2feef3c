// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/editing/unit_edit_dlg.h"

#include "catalogue/decimal.h"
#include "platform/controls.h"
#include "resources/resource_ids.h"
#include "resources/resource_module.h"
#include "ui/numeric_entry.h"

#include <cmath>
#include <cstdio>
#include <limits>

namespace meridal {

using platform::Notification;

std::string filterDecimalText(std::string_view text)
{
    std::string kept;
    kept.reserve(text.size());
    for (char c : text) {
        if ((c >= '0' && c <= '9') || c == '.' || c == '-' || c == '+' || c == 'e' || c == 'E')
            kept += c;
    }
    return kept;
}

namespace {

// The five fields in reading order, which is also their tab order.
constexpr int fieldsInOrder[] = {res::idEditDimension, res::idEditBaseUnit, res::idEditUnit,
                                 res::idEditFactor, res::idEditOffset};

unsigned captionOf(EditMode mode)
{
    switch (mode) {
    case EditMode::NewDimension:
        return 203;
    case EditMode::RelabelDimension:
        return 204;
    case EditMode::NewUnit:
        return 205;
    case EditMode::EditUnit:
        break;
    }
    return 206;
}

// Whether the digits of a number's text before its exponent are all zeros ("0.0", "-0e5"),
// as opposed to a number too small to be held ("1e-400").
bool mantissaIsZero(std::string_view number)
{
    for (char c : number.substr(0, number.find_first_of("eE")))
        if (c >= '1' && c <= '9')
            return false;
    return true;
}

std::string codePointName(char32_t codePoint)
{
    char name[16];
    std::snprintf(name, sizeof name, "U+%04X", static_cast<unsigned>(codePoint));
    return name;
}

} // namespace

CUnitEditDlg::CUnitEditDlg(EditMode mode, const Resources& resources) : m_resources(resources), m_mode(mode)
{
}

bool CUnitEditDlg::onInitDialog()
{
    // The window's icon comes with the layout.
    applyMode();
    showPresets();
    m_presetFactor = m_factor;
    m_presetOffset = m_offset;
    if (host().hasControl(res::idEditNote)) {
        host().setFont(res::idEditNote, m_resources.string(res::strEditFontFace), 10, 400);
    }
    focusFirstWritable();
    return true;
}

void CUnitEditDlg::focusFirstWritable()
{
    // Typing starts in the first field the mode lets the user change; the read-only fields
    // before it only show what the change is about.
    for (int id : fieldsInOrder) {
        if (writable(id) && host().edit(id)) {
            host().setFocus(id);
            return;
        }
    }
}

bool CUnitEditDlg::writable(int controlId) const
{
    switch (m_mode) {
    case EditMode::NewDimension:
        return controlId == res::idEditDimension || controlId == res::idEditBaseUnit;
    case EditMode::RelabelDimension:
        return controlId == res::idEditDimension;
    case EditMode::NewUnit:
    case EditMode::EditUnit:
        break;
    }
    return controlId == res::idEditUnit || controlId == res::idEditFactor || controlId == res::idEditOffset;
}

void CUnitEditDlg::applyMode()
{
    for (int id : fieldsInOrder) {
        if (platform::EditField* field = host().edit(id))
            field->setReadOnly(!writable(id));
    }
    m_resources.loadString(captionOf(m_mode), m_messageText);
    host().setCaption(m_messageText);
}

void CUnitEditDlg::preset(int controlId, const std::optional<std::string>& text)
{
    if (!text)
        return;
    // The field's change notification stores the text (filtered, for the numbers).
    const std::string shown = *text;
    if (platform::EditField* field = host().edit(controlId))
        field->setText(shown);
}

void CUnitEditDlg::showPresets()
{
    preset(res::idEditDimension, m_dimensionLabel);
    preset(res::idEditBaseUnit, m_baseUnit);
    preset(res::idEditUnit, m_unitLabel);
    const bool newDimension = m_mode == EditMode::NewDimension;
    std::optional<std::string> factor = m_factor;
    if (!factor && newDimension)
        factor = m_resources.string(res::strDefaultFactor);
    preset(res::idEditFactor, factor);
    std::optional<std::string> offset = m_offset;
    if (!offset && newDimension)
        offset = m_resources.string(res::strDefaultOffset);
    preset(res::idEditOffset, offset);
    // A layout without a numeric field still hands the defaults on.
    if (!m_factor)
        m_factor = factor;
    if (!m_offset)
        m_offset = offset;
}

void CUnitEditDlg::onNotify(const platform::NotifyMessage& message)
{
    static const Route::Notify routes[] = {
        {res::idEditDimension, Notification::TextChanged, &CUnitEditDlg::onDimensionLabelChanged},
        {res::idEditBaseUnit, Notification::TextChanged, &CUnitEditDlg::onBaseUnitChanged},
        {res::idEditUnit, Notification::TextChanged, &CUnitEditDlg::onUnitLabelChanged},
        {res::idEditFactor, Notification::TextChanged, &CUnitEditDlg::onFactorChanged},
        {res::idEditOffset, Notification::TextChanged, &CUnitEditDlg::onOffsetChanged},
        {res::idOk, Notification::Clicked, &CUnitEditDlg::onOk},
        {res::idCancel, Notification::Clicked, &CUnitEditDlg::onCancel},
    };
    Route::dispatch(*this, routes, message);
}

std::string CUnitEditDlg::fieldText(int controlId)
{
    platform::EditField* field = host().edit(controlId);
    return field ? field->text() : std::string();
}

void CUnitEditDlg::onDimensionLabelChanged(const platform::NotifyMessage&)
{
    m_dimensionLabel = fieldText(res::idEditDimension);
}

void CUnitEditDlg::onBaseUnitChanged(const platform::NotifyMessage&)
{
    m_baseUnit = fieldText(res::idEditBaseUnit);
    // A new dimension's first unit is its base unit, under the same name.
    if (m_mode == EditMode::NewDimension) {
        const std::string text = *m_baseUnit;
        if (platform::EditField* unit = host().edit(res::idEditUnit))
            unit->setText(text);
        else
            m_unitLabel = text;
    }
}

void CUnitEditDlg::onUnitLabelChanged(const platform::NotifyMessage&)
{
    m_unitLabel = fieldText(res::idEditUnit);
}

void CUnitEditDlg::onFactorChanged(const platform::NotifyMessage&)
{
    platform::EditField* field = host().edit(res::idEditFactor);
    if (field && filterNumericEntry(*field, m_rewritingFactor, filterDecimalText))
        m_factor = field->text();
}

void CUnitEditDlg::onOffsetChanged(const platform::NotifyMessage&)
{
    platform::EditField* field = host().edit(res::idEditOffset);
    if (field && filterNumericEntry(*field, m_rewritingOffset, filterDecimalText))
        m_offset = field->text();
}

void CUnitEditDlg::onOk(const platform::NotifyMessage&)
{
    for (const std::optional<std::string>* member :
         {&m_dimensionLabel, &m_baseUnit, &m_unitLabel, &m_factor, &m_offset}) {
        if (!*member || (*member)->empty())
            return refuse(m_resources.string(res::strEditFieldEmpty));
    }
    if (const std::optional<std::string> why = refusal())
        return refuse(*why);
    host().endDialog(okResult);
}

std::optional<std::string> CUnitEditDlg::refusal()
{
    // What the user typed: a character the file cannot hold reads as "?" in the field.
    for (int id : {res::idEditDimension, res::idEditBaseUnit, res::idEditUnit}) {
        platform::EditField* field = writable(id) ? host().edit(id) : nullptr;
        if (!field)
            continue;
        if (const std::optional<char32_t> codePoint = field->unrepresentable())
            return formatWithArgument(m_resources.string(res::strCharacterNotKept),
                                      codePointName(*codePoint));
    }
    // The numbers must read whole, and the factor must be usable as a divisor. A number the
    // dialog was opened with is the catalogue's own and stays as it is.
    if (writable(res::idEditFactor) && m_factor != m_presetFactor) {
        const std::optional<double> factor = parseWholeDecimal(*m_factor);
        if (!factor || !std::isfinite(*factor))
            return formatWithArgument(m_resources.string(res::strFactorUnreadable), *m_factor);
        if (*factor == 0 && mantissaIsZero(*m_factor))
            return m_resources.string(res::strFactorZero);
        // Below the smallest normal number (or read as 0 although it is not) its reciprocal,
        // which converting into the unit multiplies by, is no longer a finite number.
        if (std::fabs(*factor) < std::numeric_limits<double>::min())
            return formatWithArgument(m_resources.string(res::strFactorTooSmall), *m_factor);
    }
    if (writable(res::idEditOffset) && m_offset != m_presetOffset) {
        const std::optional<double> offset = parseWholeDecimal(*m_offset);
        if (!offset || !std::isfinite(*offset))
            return formatWithArgument(m_resources.string(res::strOffsetUnreadable), *m_offset);
    }
    if (m_check)
        return m_check(*this);
    return std::nullopt;
}

void CUnitEditDlg::refuse(const std::string& text)
{
    m_resources.loadString(res::strErrorCaption, m_messageText);
    host().messageBoxes().show(text, m_messageText, platform::MessageIcon::Error);
}

void CUnitEditDlg::onCancel(const platform::NotifyMessage&)
{
    host().endDialog(cancelResult);
}

void CUnitEditDlg::onClose()
{
    host().endDialog(cancelResult);
}

} // namespace meridal
