// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "catalogue/markup_element.h"
#include "catalogue/unit_catalogue.h"

#include <map>
#include <string>
#include <vector>

namespace meridal::test {

// What a saved file holds of a catalogue, whatever the order of its dimensions: per
// dimension label its attributes and its units' attributes in list order, and the
// remembered selection (a catalogue without one is saved with an empty one).
struct CatalogueSnapshot {
    std::map<std::string, std::vector<std::string>> dimensions;
    std::vector<std::string> config;
    bool operator==(const CatalogueSnapshot&) const = default;
};

inline CatalogueSnapshot snapshotOf(const UnitCatalogue& catalogue)
{
    CatalogueSnapshot s;
    catalogue.dimensions().forEach([&](const std::string& label, const ElementPtr& dimension) {
        auto& entry = s.dimensions[label];
        entry.push_back(attributeValue(*dimension, "label"));
        entry.push_back(attributeValue(*dimension, "baseunit"));
        if (const UnitList* list = catalogue.unitList(label))
            for (const auto& unit : *list)
                for (const char* name : {"label", "cf", "offset"})
                    entry.push_back(attributeValue(*unit, name));
    });
    for (const char* name : {"dim", "su", "eu", "sv"})
        s.config.push_back(catalogue.config() ? attributeValue(*catalogue.config(), name) : std::string());
    return s;
}

} // namespace meridal::test
