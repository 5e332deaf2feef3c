// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/editing/catalogue_editing.h"

#include "catalogue/unit_catalogue.h"
#include "catalogue/windows1252.h"
#include "persistence/catalogue_file.h"
#include "platform/controls.h"
#include "platform/dialog.h"
#include "resources/resource_ids.h"
#include "resources/resource_module.h"
#include "ui/converter_window.h"
#include "ui/editing/unit_edit_dlg.h"
#include "ui/list_selection.h"

#include <stdexcept>
#include <utility>
#include <vector>

namespace meridal {

using platform::DefaultButton;
using platform::MessageButtons;
using platform::MessageIcon;
using platform::MessageResult;

namespace {

ElementPtr makeDimension(std::string label, std::string baseUnit)
{
    auto element = std::make_unique<MarkupElement>();
    element->name = "dimension";
    element->opens = true;
    element->closes = false;
    element->attributes = {{"label", std::move(label)}, {"baseunit", std::move(baseUnit)}};
    return element;
}

ElementPtr makeUnit(std::string label, std::string factor, std::string offset)
{
    auto element = std::make_unique<MarkupElement>();
    element->name = "unit";
    element->opens = true;
    element->closes = true;
    element->attributes = {
        {"label", std::move(label)}, {"cf", std::move(factor)}, {"offset", std::move(offset)}};
    return element;
}

// Whether the catalogue file gives these labels back unchanged: written by the file's own
// writer and read again by its own reader, so the rule is the file format's.
bool fileKeeps(const std::string& dimension, const std::string& baseUnit, const std::string& unit,
               const Resources& resources)
{
    UnitCatalogue written;
    written.registerDimension(makeDimension(dimension, baseUnit));
    written.registerUnit(dimension, makeUnit(unit, "1", "0"));
    UnitCatalogue read;
    if (!readCatalogueText(catalogueBytes(written), read, resources).ok)
        return false;
    const MarkupElement* element = read.dimension(dimension);
    return read.dimensionLabels() == std::vector<std::string>{dimension} && element &&
           attributeValue(*element, "baseunit") == baseUnit &&
           read.unitLabels(dimension) == std::vector<std::string>{unit};
}

// The text of a field the dialog read; OK guarantees it is there.
std::string valueOf(const std::optional<std::string>& field)
{
    return field.value_or(std::string());
}

} // namespace

CatalogueEditing::CatalogueEditing(ConverterWindow& window) : m_window(window) {}

bool CatalogueEditing::onCommand(int commandId)
{
    static const Route::Command routes[] = {
        {res::cmdAddDimension, res::cmdAddDimension, &CatalogueEditing::onAddDimension},
        {res::cmdAddDimension2, res::cmdAddDimension2, &CatalogueEditing::onAddDimension},
        {res::cmdRelabelDimension, res::cmdRelabelDimension2, &CatalogueEditing::onRelabelDimension},
        {res::cmdDeleteDimension, res::cmdDeleteDimension, &CatalogueEditing::onDeleteDimension},
        {res::cmdDeleteDimension2, res::cmdDeleteDimension2, &CatalogueEditing::onDeleteDimension},
        {res::cmdAddUnit, res::cmdAddUnit, &CatalogueEditing::onAddUnit},
        {res::cmdAddUnit2, res::cmdAddUnit2, &CatalogueEditing::onAddUnit},
        {res::cmdChangeUnit, res::cmdChangeUnit, &CatalogueEditing::onEditUnit},
        {res::cmdChangeUnit2, res::cmdChangeUnit2, &CatalogueEditing::onEditStartUnit},
        {res::cmdDeleteUnit, res::cmdDeleteUnit, &CatalogueEditing::onDeleteUnit},
        {res::cmdDeleteUnit2, res::cmdDeleteUnit2, &CatalogueEditing::onDeleteStartUnit},
    };
    return Route::dispatch(*this, routes, commandId);
}

void CatalogueEditing::onEditStartUnit(int)
{
    m_window.setContextList(0);
    editUnit();
}

void CatalogueEditing::onDeleteStartUnit(int)
{
    m_window.setContextList(0);
    deleteUnit();
}

// ---------------------------------------------------------------------------------------
// Dimensions

void CatalogueEditing::addDimension()
{
    CUnitEditDlg dialog(EditMode::NewDimension, m_window.resources());
    dialog.setCheck([this](const CUnitEditDlg& d) { return refusal(d, {}, {}); });
    if (runDialog(dialog) != CUnitEditDlg::okResult)
        return;

    const std::string label = valueOf(dialog.dimensionLabel());
    UnitCatalogue& catalogue = m_window.catalogue();
    catalogue.registerDimension(makeDimension(label, valueOf(dialog.baseUnit())));
    catalogue.registerUnit(
        label, makeUnit(valueOf(dialog.unitLabel()), valueOf(dialog.factor()), valueOf(dialog.offset())));
    finish(label);
}

void CatalogueEditing::relabelDimension()
{
    const std::string label = requireSelectedText(m_window.dimensionList());
    if (label == m_window.allUnitsLabel())
        return showError(res::strDimensionMessage1);
    const MarkupElement* dimension = m_window.catalogue().dimension(label);
    if (!dimension)
        throw std::invalid_argument("the selected dimension is not in the catalogue");

    const Resources& resources = m_window.resources();
    CUnitEditDlg dialog(EditMode::RelabelDimension, resources);
    const std::string baseUnit = attributeValue(*dimension, "baseunit");
    dialog.setDimensionLabel(label);
    dialog.setBaseUnit(baseUnit);
    dialog.setUnitLabel(baseUnit);
    dialog.setFactor(resources.string(res::strDefaultFactor));
    dialog.setOffset(resources.string(res::strDefaultOffset));
    dialog.setCheck([this, &label](const CUnitEditDlg& d) { return refusal(d, label, {}); });
    if (runDialog(dialog) != CUnitEditDlg::okResult)
        return;

    const std::string newLabel = valueOf(dialog.dimensionLabel());
    m_window.catalogue().relabelDimension(label, newLabel);
    finish(newLabel);
}

void CatalogueEditing::deleteDimension()
{
    platform::ListControl& list = m_window.dimensionList();
    const std::string label = requireSelectedText(list);
    if (list.entryCount() <= 1 || label == m_window.allUnitsLabel())
        return showError(res::strDimensionMessage2);
    if (!confirmDelete(res::strConfirmDeleteDimension, label))
        return;
    m_window.catalogue().removeDimension(label);
    finish(label);
}

// ---------------------------------------------------------------------------------------
// Units

CatalogueEditing::UnitContext CatalogueEditing::unitContext(bool withTarget)
{
    UnitContext context;
    const std::string reference = requireSelectedText(m_window.startUnitList());
    const UnitCatalogue& catalogue = m_window.catalogue();
    // A real dimension's start list holds that dimension's units; in the all-units view the
    // start unit's owner says where it belongs.
    const std::string shown = requireSelectedText(m_window.dimensionList());
    if (shown != m_window.allUnitsLabel() && catalogue.unit(shown, reference)) {
        context.dimension = shown;
    } else if (const std::string* owner = catalogue.ownerOf(reference)) {
        context.dimension = *owner;
    } else {
        throw std::invalid_argument("the start unit belongs to no dimension");
    }
    const MarkupElement* dimension = catalogue.dimension(context.dimension);
    if (!dimension)
        throw std::invalid_argument("the start unit's dimension is not in the catalogue");
    context.baseUnit = attributeValue(*dimension, "baseunit");
    if (withTarget)
        context.target = m_window.contextList() == 1 ? requireSelectedText(m_window.endUnitList())
                                                     : requireSelectedText(m_window.startUnitList());
    return context;
}

void CatalogueEditing::addUnit()
{
    const UnitContext context = unitContext(false);
    CUnitEditDlg dialog(EditMode::NewUnit, m_window.resources());
    dialog.setDimensionLabel(context.dimension);
    dialog.setBaseUnit(context.baseUnit);
    dialog.setOffset(m_window.resources().string(res::strDefaultOffset));
    dialog.setCheck([this](const CUnitEditDlg& d) { return refusal(d, {}, {}); });
    if (runDialog(dialog) != CUnitEditDlg::okResult)
        return;

    m_window.catalogue().registerUnit(
        context.dimension,
        makeUnit(valueOf(dialog.unitLabel()), valueOf(dialog.factor()), valueOf(dialog.offset())));
    finish(context.dimension);
}

void CatalogueEditing::editUnit()
{
    const UnitContext context = unitContext(true);
    if (equalsIgnoreCase1252(context.target, context.baseUnit))
        return showError(res::strUnitMessage1);
    const MarkupElement* unit = m_window.catalogue().unit(context.dimension, context.target);
    if (!unit)
        throw std::invalid_argument("the unit is not in its dimension's table");
    const std::string factor = attributeValue(*unit, "cf");
    const std::string offset = attributeValue(*unit, "offset");

    CUnitEditDlg dialog(EditMode::EditUnit, m_window.resources());
    dialog.setDimensionLabel(context.dimension);
    dialog.setBaseUnit(context.baseUnit);
    dialog.setUnitLabel(context.target);
    dialog.setFactor(factor);
    dialog.setOffset(offset);
    dialog.setCheck([this, &context](const CUnitEditDlg& d) { return refusal(d, {}, context.target); });
    if (runDialog(dialog) != CUnitEditDlg::okResult)
        return;

    // A number the user left as it was shown keeps its stored text, even where the field had
    // to drop characters the decimal rule never read.
    auto kept = [](const std::string& typed, const std::string& stored) {
        return typed == filterDecimalText(stored) ? stored : typed;
    };
    m_window.catalogue().changeUnit(context.dimension, context.target, valueOf(dialog.unitLabel()),
                                    kept(valueOf(dialog.factor()), factor),
                                    kept(valueOf(dialog.offset()), offset));
    finish(context.dimension);
}

void CatalogueEditing::deleteUnit()
{
    const UnitContext context = unitContext(true);
    if (equalsIgnoreCase1252(context.target, context.baseUnit))
        return showError(res::strUnitMessage2);
    if (!confirmDelete(res::strConfirmDeleteUnit, context.target))
        return;
    m_window.catalogue().removeUnit(context.dimension, context.target);
    finish(context.dimension);
}

// ---------------------------------------------------------------------------------------

int CatalogueEditing::runDialog(CUnitEditDlg& dialog)
{
    return m_window.host().runDialog(res::dialogUnitEdit, dialog);
}

std::optional<std::string> CatalogueEditing::refusal(const CUnitEditDlg& dialog,
                                                     const std::string& keepDimension,
                                                     const std::string& keepUnit) const
{
    const Resources& resources = m_window.resources();
    const UnitCatalogue& catalogue = m_window.catalogue();
    auto refuse = [&resources](unsigned textId, const std::string& label) {
        return std::optional<std::string>(formatWithArgument(resources.string(textId), label));
    };
    const std::string dimension = valueOf(dialog.dimensionLabel());
    const std::string baseUnit = valueOf(dialog.baseUnit());
    const std::string unit = valueOf(dialog.unitLabel());
    // A log entry is one line that names its units: a label is one line too.
    auto oneLine = [](const std::string& label) { return label.find_first_of("\r\n") == std::string::npos; };
    const std::optional<std::string> lineBreak = resources.string(res::strLabelLineBreak);

    switch (dialog.mode()) {
    case EditMode::NewDimension:
    case EditMode::RelabelDimension:
        if (dimension == m_window.allUnitsLabel())
            return refuse(res::strLabelIsAllUnits, dimension);
        if (dimension != keepDimension && catalogue.dimension(dimension))
            return refuse(res::strDimensionLabelInUse, dimension);
        if (dimension != keepDimension && !oneLine(dimension))
            return lineBreak;
        if (dimension != keepDimension && !fileKeeps(dimension, "u", "u", resources))
            return refuse(res::strLabelNotKeptByFile, dimension);
        if (dialog.mode() == EditMode::NewDimension) {
            if (catalogue.ownerOf(baseUnit))
                return refuse(res::strUnitLabelInUse, baseUnit);
            if (!oneLine(baseUnit))
                return lineBreak;
            if (!fileKeeps("d", baseUnit, baseUnit, resources))
                return refuse(res::strLabelNotKeptByFile, baseUnit);
        }
        break;
    case EditMode::NewUnit:
    case EditMode::EditUnit:
        if (unit == keepUnit && dialog.mode() == EditMode::EditUnit)
            break;
        if (catalogue.ownerOf(unit))
            return refuse(res::strUnitLabelInUse, unit);
        if (!oneLine(unit))
            return lineBreak;
        if (!fileKeeps("d", "u", unit, resources))
            return refuse(res::strLabelNotKeptByFile, unit);
        break;
    }
    return std::nullopt;
}

bool CatalogueEditing::confirmDelete(unsigned questionId, const std::string& label)
{
    const Resources& resources = m_window.resources();
    // The label is an argument, never part of the format.
    const std::string question = formatWithArgument(resources.string(questionId), label);
    return m_window.showText(question, resources.string(res::strConfirmCaption), MessageIcon::Question,
                             MessageButtons::YesNo, DefaultButton::Second) == MessageResult::Yes;
}

void CatalogueEditing::showError(unsigned textId)
{
    m_window.showMessage(textId, res::strErrorCaption, MessageIcon::Error, MessageButtons::Ok,
                         DefaultButton::First);
}

void CatalogueEditing::finish(const std::string& dimension)
{
    const std::string label = dimension;
    m_window.reselectDimension(label);
    m_window.setSaveOnClose(true);
}

} // namespace meridal
