// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "catalogue/label_table.h"
#include "catalogue/markup_element.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace meridal {

using ElementPtr = std::unique_ptr<MarkupElement>;
using UnitTable = LabelTable<MarkupElement*>; // unit label -> unit element (not owned)
using UnitList = std::vector<ElementPtr>;     // a dimension's units in file order (owned)

// The catalogue: the dimension and unit elements as read or created, indexed by label.
//
// A unit element is owned by its dimension's list in m_unitLists and referenced from the
// dimension's inner table in m_unitTables; two units with one label in one dimension are
// both in the list, and the table holds the later one.
class UnitCatalogue {
  public:
    UnitCatalogue() = default;
    UnitCatalogue(const UnitCatalogue&) = delete;
    UnitCatalogue& operator=(const UnitCatalogue&) = delete;
    UnitCatalogue(UnitCatalogue&&) noexcept = default;
    UnitCatalogue& operator=(UnitCatalogue&&) noexcept = default;

    // Stores the element in m_dimensions under its "label" (replacing, keeping the place).
    // Returns the label.
    std::string registerDimension(ElementPtr dimension);

    // Appends the unit to the dimension's list, stores it in the dimension's inner table
    // under its "label", and records the dimension as the label's owner. Lists and tables
    // are created when the dimension has none yet.
    MarkupElement& registerUnit(const std::string& dimensionLabel, ElementPtr unit);

    // Destroys the dimension, every unit of its list, and the owner entries of the labels
    // of its inner table.
    void removeDimension(const std::string& dimensionLabel);

    // Takes the unit that the dimension's inner table holds under `unitLabel` out of the
    // table and the list, destroys it, and removes the label's owner entry. No other unit
    // of the list is touched.
    void removeUnit(const std::string& dimensionLabel, const std::string& unitLabel);

    // Gives the dimension `from` the label `to`: its element's "label" becomes `to`, and its
    // element, inner table and list move to the new key in their three tables, where the key
    // becomes the most recent of its bucket (also when `to` equals `from`). Owner entries that
    // named `from` for the labels of its inner table name `to`. False when `from` is absent.
    bool relabelDimension(const std::string& from, const std::string& to);

    // Changes the unit that the dimension's inner table holds under `unitLabel` in place, so it
    // keeps its place in the dimension's list: it becomes a self-closing "unit" element with
    // exactly the attributes "label", "cf" and "offset". The inner table drops the old label
    // and stores the unit under the new one (the most recent key of its bucket, also when the
    // label stays); the old label's owner entry goes when it named this dimension, and the new
    // label's names it. False when there is no such unit.
    bool changeUnit(const std::string& dimensionLabel, const std::string& unitLabel, std::string newLabel,
                    std::string factor, std::string offset);

    // Lookups; nullptr when absent.
    const MarkupElement* dimension(std::string_view label) const;
    const MarkupElement* unit(std::string_view dimensionLabel, std::string_view unitLabel) const;
    const std::string* ownerOf(std::string_view unitLabel) const;
    const UnitTable* unitTable(std::string_view dimensionLabel) const;
    const UnitList* unitList(std::string_view dimensionLabel) const;

    // Labels in table order.
    std::vector<std::string> dimensionLabels() const;
    std::vector<std::string> unitLabels(std::string_view dimensionLabel) const;
    // For each dimension in the order of m_unitTables, its units in inner-table order.
    std::vector<std::string> allUnitLabels() const;

    std::size_t unitCount() const; // units held by the lists

    const MarkupElement* config() const { return m_config.get(); }
    void setConfig(ElementPtr config) { m_config = std::move(config); }

    const LabelTable<ElementPtr>& dimensions() const { return m_dimensions; }
    const LabelTable<UnitTable>& unitTables() const { return m_unitTables; }
    const LabelTable<UnitList>& unitLists() const { return m_unitLists; }

  private:
    LabelTable<ElementPtr> m_dimensions;
    LabelTable<UnitTable> m_unitTables;
    LabelTable<UnitList> m_unitLists;
    LabelTable<std::string> m_unitOwners;
    ElementPtr m_config;
};

} // namespace meridal
