// SPDX-License-Identifier: GPL-3.0-or-later
#include "catalogue/unit_catalogue.h"

#include "catalogue/windows1252.h"

#include <algorithm>
#include <utility>

namespace meridal {

std::string UnitCatalogue::registerDimension(ElementPtr dimension)
{
    std::string label = attributeValue(*dimension, "label");
    m_dimensions.set(label, std::move(dimension));
    return label;
}

MarkupElement& UnitCatalogue::registerUnit(const std::string& dimensionLabel, ElementPtr unit)
{
    MarkupElement& element = *unit;
    const std::string label = attributeValue(element, "label");
    m_unitLists.getOrCreate(dimensionLabel).push_back(std::move(unit));
    m_unitTables.getOrCreate(dimensionLabel).set(label, &element);
    m_unitOwners.set(label, dimensionLabel);
    return element;
}

void UnitCatalogue::removeDimension(const std::string& dimensionLabel)
{
    // Copy the label: the caller's text may be one of the keys that go.
    const std::string label = dimensionLabel;
    if (const UnitTable* table = m_unitTables.find(label)) {
        // Each label of the inner table loses its owner entry, whichever dimension it names.
        table->forEach(
            [this](const std::string& unitLabel, MarkupElement* const&) { m_unitOwners.remove(unitLabel); });
    }
    // The list owns every unit of the dimension, also those that a later unit of the same
    // label hid from the inner table.
    m_unitTables.remove(label);
    m_unitLists.remove(label);
    m_dimensions.remove(label);
}

void UnitCatalogue::removeUnit(const std::string& dimensionLabel, const std::string& unitLabel)
{
    const std::string label = unitLabel;
    UnitTable* table = m_unitTables.find(dimensionLabel);
    MarkupElement* const* held = table ? table->find(label) : nullptr;
    if (!held)
        return;
    const MarkupElement* element = *held;
    table->remove(label);
    if (UnitList* list = m_unitLists.find(dimensionLabel)) {
        auto it = std::find_if(list->begin(), list->end(),
                               [element](const ElementPtr& p) { return p.get() == element; });
        if (it != list->end())
            list->erase(it);
    }
    m_unitOwners.remove(label);
}

bool UnitCatalogue::relabelDimension(const std::string& from, const std::string& to)
{
    // Copies: the caller's texts may be keys that are about to go.
    const std::string oldLabel = from;
    const std::string newLabel = to;
    ElementPtr* held = m_dimensions.find(oldLabel);
    if (!held)
        return false;
    ElementPtr element = std::move(*held);
    bool labelled = false;
    for (MarkupAttribute& attribute : element->attributes) {
        if (equalsIgnoreCase1252(attribute.name, "label")) {
            attribute.value = newLabel;
            labelled = true;
            break;
        }
    }
    if (!labelled)
        element->attributes.insert(element->attributes.begin(), {"label", newLabel});
    m_dimensions.remove(oldLabel);
    m_dimensions.set(newLabel, std::move(element));

    UnitTable table;
    if (UnitTable* found = m_unitTables.find(oldLabel)) {
        table = std::move(*found);
        m_unitTables.remove(oldLabel);
    }
    table.forEach([this, &oldLabel, &newLabel](const std::string& unitLabel, MarkupElement* const&) {
        // A label that another dimension also carries keeps naming that dimension.
        if (std::string* owner = m_unitOwners.find(unitLabel); owner && *owner == oldLabel)
            *owner = newLabel;
    });
    m_unitTables.set(newLabel, std::move(table));

    UnitList list;
    if (UnitList* found = m_unitLists.find(oldLabel)) {
        list = std::move(*found);
        m_unitLists.remove(oldLabel);
    }
    m_unitLists.set(newLabel, std::move(list));
    return true;
}

bool UnitCatalogue::changeUnit(const std::string& dimensionLabel, const std::string& unitLabel,
                               std::string newLabel, std::string factor, std::string offset)
{
    const std::string dimension = dimensionLabel;
    const std::string oldLabel = unitLabel;
    UnitTable* table = m_unitTables.find(dimension);
    MarkupElement* const* held = table ? table->find(oldLabel) : nullptr;
    if (!held)
        return false;
    MarkupElement& element = **held;
    element.name = "unit";
    element.opens = true;
    element.closes = true;
    element.attributes = {{"label", newLabel}, {"cf", std::move(factor)}, {"offset", std::move(offset)}};

    // Removal first, so the label may stay.
    table->remove(oldLabel);
    table->set(newLabel, &element);
    if (const std::string* owner = m_unitOwners.find(oldLabel); owner && *owner == dimension)
        m_unitOwners.remove(oldLabel);
    m_unitOwners.set(newLabel, dimension);
    return true;
}

const MarkupElement* UnitCatalogue::dimension(std::string_view label) const
{
    const ElementPtr* found = m_dimensions.find(label);
    return found ? found->get() : nullptr;
}

const MarkupElement* UnitCatalogue::unit(std::string_view dimensionLabel, std::string_view unitLabel) const
{
    const UnitTable* table = m_unitTables.find(dimensionLabel);
    if (!table)
        return nullptr;
    MarkupElement* const* found = table->find(unitLabel);
    return found ? *found : nullptr;
}

const std::string* UnitCatalogue::ownerOf(std::string_view unitLabel) const
{
    return m_unitOwners.find(unitLabel);
}

const UnitTable* UnitCatalogue::unitTable(std::string_view dimensionLabel) const
{
    return m_unitTables.find(dimensionLabel);
}

const UnitList* UnitCatalogue::unitList(std::string_view dimensionLabel) const
{
    return m_unitLists.find(dimensionLabel);
}

std::vector<std::string> UnitCatalogue::dimensionLabels() const
{
    std::vector<std::string> labels;
    labels.reserve(m_dimensions.size());
    m_dimensions.forEach([&labels](const std::string& label, const ElementPtr&) { labels.push_back(label); });
    return labels;
}

std::vector<std::string> UnitCatalogue::unitLabels(std::string_view dimensionLabel) const
{
    std::vector<std::string> labels;
    if (const UnitTable* table = m_unitTables.find(dimensionLabel)) {
        labels.reserve(table->size());
        table->forEach(
            [&labels](const std::string& label, MarkupElement* const&) { labels.push_back(label); });
    }
    return labels;
}

std::vector<std::string> UnitCatalogue::allUnitLabels() const
{
    std::vector<std::string> labels;
    m_unitTables.forEach([&labels](const std::string&, const UnitTable& table) {
        table.forEach(
            [&labels](const std::string& label, MarkupElement* const&) { labels.push_back(label); });
    });
    return labels;
}

std::size_t UnitCatalogue::unitCount() const
{
    std::size_t count = 0;
    m_unitLists.forEach([&count](const std::string&, const UnitList& list) { count += list.size(); });
    return count;
}

} // namespace meridal
