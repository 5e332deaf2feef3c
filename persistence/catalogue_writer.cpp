// SPDX-License-Identifier: GPL-3.0-or-later
#include "persistence/catalogue_writer.h"

#include "catalogue/markup_element.h"

#include <string_view>

namespace meridal {

namespace {

bool isSpace(char c)
{
    return c == ' ' || c == '\n' || c == '\t' || c == '\r';
}
bool isDelimiter(char c)
{
    return c == '<' || c == '>' || c == '=' || c == '/' || c == '"';
}

// Whether the reader takes the value back unchanged when it is written without quotes.
// `emptyAllowed` is false where an empty value would take the next attribute's name.
bool readsBackUnquoted(std::string_view value, bool emptyAllowed)
{
    if (value.empty())
        return emptyAllowed;
    for (char c : value)
        if (isSpace(c) || isDelimiter(c))
            return false;
    return true;
}

// Quoted, the reader drops leading white space and stops at the first double quote.
bool readsBackQuoted(std::string_view value)
{
    if (!value.empty() && isSpace(value.front()))
        return false;
    return value.find('"') == std::string_view::npos;
}

// A number or start value, unquoted when that reads back unchanged, quoted when only that
// does, and unquoted when neither form can carry it.
void appendValue(std::string& out, std::string_view value, bool emptyAllowed)
{
    if (!readsBackUnquoted(value, emptyAllowed) && readsBackQuoted(value)) {
        out += '"';
        out += value;
        out += '"';
    } else {
        out += value;
    }
}

void appendQuoted(std::string& out, const MarkupElement& element, std::string_view name)
{
    out += '"';
    if (const MarkupAttribute* attribute = findAttribute(element, name))
        out += attribute->value;
    out += '"';
}

std::string_view valueOf(const MarkupElement& element, std::string_view name)
{
    const MarkupAttribute* attribute = findAttribute(element, name);
    return attribute ? std::string_view(attribute->value) : std::string_view();
}

} // namespace

void CatalogueWriter::beginRoot(bool indent)
{
    m_text += "<root>";
    if (indent)
        m_text += '\n';
}

void CatalogueWriter::endRoot(bool /*indent*/)
{
    m_text += "</root>";
}

void CatalogueWriter::beginDimension(const MarkupElement& dimension, bool indent)
{
    if (indent)
        m_text += '\t';
    m_text += "<dimension label=";
    appendQuoted(m_text, dimension, "label");
    m_text += " baseunit=";
    appendQuoted(m_text, dimension, "baseunit");
    m_text += '>';
    if (indent)
        m_text += '\n';
}

void CatalogueWriter::endDimension(bool indent)
{
    if (indent)
        m_text += '\t';
    m_text += "</dimension>";
    if (indent)
        m_text += '\n';
}

void CatalogueWriter::writeUnit(const MarkupElement& unit, bool indent)
{
    if (indent)
        m_text += "\t\t";
    m_text += "<unit label=";
    appendQuoted(m_text, unit, "label");
    m_text += " cf=";
    appendValue(m_text, valueOf(unit, "cf"), false); // " offset=" follows
    m_text += " offset=";
    appendValue(m_text, valueOf(unit, "offset"), true); // "/>" follows
    m_text += "/>";
    if (indent)
        m_text += '\n';
}

void CatalogueWriter::writeConfig(const MarkupElement& config, bool indent)
{
    if (indent)
        m_text += '\t';
    m_text += "<config dim=";
    appendQuoted(m_text, config, "dim");
    m_text += " su=";
    appendQuoted(m_text, config, "su");
    m_text += " eu=";
    appendQuoted(m_text, config, "eu");
    m_text += " sv=";
    appendValue(m_text, valueOf(config, "sv"), true); // "/>" follows
    m_text += "/>";
    if (indent)
        m_text += '\n';
}

} // namespace meridal
