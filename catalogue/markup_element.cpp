// SPDX-License-Identifier: GPL-3.0-or-later
#include "catalogue/markup_element.h"

#include "catalogue/windows1252.h"

namespace meridal {

const MarkupAttribute* findAttribute(const MarkupElement& element, std::string_view name)
{
    for (const auto& attribute : element.attributes)
        if (equalsIgnoreCase1252(attribute.name, name))
            return &attribute;
    return nullptr;
}

std::string attributeValue(const MarkupElement& element, std::string_view name)
{
    const MarkupAttribute* attribute = findAttribute(element, name);
    return attribute ? attribute->value : std::string();
}

} // namespace meridal
