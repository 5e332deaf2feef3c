// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace meridal {

// One attribute of a catalogue element: name and value exactly as read or entered.
struct MarkupAttribute {
    std::string name;
    std::string value;
};

// One element of the catalogue markup. The catalogue keeps these very records as its
// dimensions, units and remembered selection; every value stays text.
struct MarkupElement {
    std::string name;
    std::vector<MarkupAttribute> attributes; // in the order read or created; names may repeat
    bool closes = false;                     // an end tag, or self-closing
    bool opens = false;                      // a start tag, or self-closing
};

// The first attribute whose name equals `name`, ignoring case (Windows-1252 folding);
// nullptr when there is none.
const MarkupAttribute* findAttribute(const MarkupElement& element, std::string_view name);

// The value of the attribute that findAttribute yields; the empty text when there is none.
std::string attributeValue(const MarkupElement& element, std::string_view name);

} // namespace meridal
