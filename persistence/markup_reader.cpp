// SPDX-License-Identifier: GPL-3.0-or-later
#include "persistence/markup_reader.h"

#include "catalogue/windows1252.h"
#include "persistence/user_file.h"
#include "resources/resource_ids.h"
#include "resources/resource_module.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <utility>

namespace meridal {

namespace {

// CR LF to LF, as reading a file in Windows text mode does; a lone CR stays.
std::string fromTextMode(std::string bytes)
{
    std::size_t in = bytes.find('\r');
    if (in == std::string::npos)
        return bytes;
    std::size_t out = in;
    for (; in < bytes.size(); ++in) {
        if (bytes[in] == '\r' && in + 1 < bytes.size() && bytes[in + 1] == '\n')
            continue;
        bytes[out++] = bytes[in];
    }
    bytes.resize(out);
    return bytes;
}

bool isSpace(char c)
{
    return c == ' ' || c == '\n' || c == '\t' || c == '\r';
}
bool isDelimiter(char c)
{
    return c == '<' || c == '>' || c == '=' || c == '/' || c == '"';
}

// Element names match in any case; the usual lower-case spelling is checked first.
bool isName(const std::string& name, std::string_view known)
{
    return name == known || equalsIgnoreCase1252(name, known);
}

} // namespace

// The input is held in memory and scanned with an index. A lookahead never moves the
// index and never marks the end; only a consuming read that finds no character does.
struct MarkupReader::State {
    std::string text;
    std::size_t pos = 0;
    bool hasInput = false;
    bool endSeen = false;
    unsigned trimmed = 0;
    const Resources* strings = nullptr;

    bool atEnd() const { return !hasInput || endSeen; }
    bool more() const { return hasInput && pos < text.size(); }
    char next() const { return text[pos]; }

    bool peekIsSpace() const { return more() && isSpace(next()); }
    bool peekIsQuote() const { return more() && next() == '"'; }
    bool peekIsSlash() const { return more() && next() == '/'; }
    bool peekIsDelimiter() const { return more() && isDelimiter(next()); }

    // Consumes one character; at the end nothing is consumed and the end is marked.
    std::optional<char> consume()
    {
        if (!more()) {
            endSeen = true;
            return std::nullopt;
        }
        return text[pos++];
    }

    void skipWhitespace()
    {
        while (!atEnd() && peekIsSpace())
            ++pos;
    }

    bool expect(char c)
    {
        auto got = consume();
        skipWhitespace();
        return got && *got == c;
    }

    // Characters up to whitespace, a delimiter or the end.
    std::string collectWord()
    {
        const std::size_t start = pos;
        while (more() && !isSpace(next()) && !isDelimiter(next()))
            ++pos;
        return text.substr(start, pos - start);
    }

    std::string readName()
    {
        std::string name = collectWord();
        skipWhitespace();
        return name;
    }

    struct Attribute {
        std::string name;
        std::string value;
        bool trimmed = false;
    };

    std::optional<Attribute> readAttribute()
    {
        Attribute attribute;
        attribute.name = readName();
        if (!expect('='))
            return std::nullopt;
        skipWhitespace();
        if (peekIsQuote()) {
            ++pos;
            const std::size_t quoted = pos;
            skipWhitespace();
            attribute.trimmed = pos != quoted;
            const std::size_t start = pos;
            while (more() && next() != '"')
                ++pos;
            attribute.value = text.substr(start, pos - start);
            // Only the end of the input stops the value short of its closing quote.
            if (!expect('"'))
                return std::nullopt;
        } else {
            attribute.value = collectWord();
        }
        skipWhitespace();
        return attribute;
    }

    bool readAttributes(MarkupElement& element, std::size_t count)
    {
        element.attributes.reserve(count);
        for (std::size_t i = 0; i < count; ++i) {
            auto attribute = readAttribute();
            if (!attribute)
                return false;
            if (attribute->trimmed)
                trimmed |= 1u << i;
            element.attributes.push_back({std::move(attribute->name), std::move(attribute->value)});
        }
        return true;
    }

    [[noreturn]] void fail(unsigned stringId) const { throw MarkupError(strings->string(stringId)); }

    std::unique_ptr<MarkupElement> readElement()
    {
        auto element = std::make_unique<MarkupElement>();
        trimmed = 0;
        if (!expect('<'))
            fail(res::strReaderExpectedTag);
        if (peekIsSlash()) {
            element->closes = true;
            element->opens = false;
            expect('/');
        } else {
            element->opens = true;
            element->closes = false;
        }
        element->name = readName();

        if (isName(element->name, "root")) {
            if (!expect('>'))
                fail(res::strReaderExpectedTagEnd);
        } else if (isName(element->name, "dimension")) {
            if (!element->closes && !readAttributes(*element, 2))
                fail(res::strReaderBadDimensionAttribute);
            if (!expect('>'))
                fail(res::strReaderExpectedTagEnd);
        } else if (isName(element->name, "unit")) {
            if (!readAttributes(*element, 3))
                fail(res::strReaderBadUnitAttribute);
            if (!expect('/'))
                fail(res::strReaderExpectedSlash);
            element->closes = true;
            if (!expect('>'))
                fail(res::strReaderExpectedTagEnd);
        } else if (isName(element->name, "config")) {
            if (!readAttributes(*element, 4))
                fail(res::strReaderBadConfigAttribute);
            if (!expect('/'))
                fail(res::strReaderExpectedSlash);
            element->closes = true;
            if (!expect('>'))
                fail(res::strReaderExpectedTagEnd);
        } else {
            fail(res::strReaderUnknownElement);
        }
        return element;
    }
};

MarkupReader::MarkupReader(std::unique_ptr<State> state) : m_state(std::move(state))
{
    m_state->skipWhitespace();
}

MarkupReader::MarkupReader(const std::string& path, const Resources& strings)
    : m_state(std::make_unique<State>())
{
    m_state->strings = &strings;
    UserFileContent content = readUserFile(path);
    if (content.status == UserFileContent::Status::Ok) {
        m_state->text = fromTextMode(std::move(content.bytes));
        m_state->hasInput = true;
    }
    m_state->skipWhitespace();
}

MarkupReader MarkupReader::fromText(std::string text, const Resources& strings)
{
    auto state = std::make_unique<State>();
    state->strings = &strings;
    state->text = fromTextMode(std::move(text));
    state->hasInput = true;
    return MarkupReader(std::move(state));
}

MarkupReader::MarkupReader(MarkupReader&&) noexcept = default;
MarkupReader::~MarkupReader() = default;

bool MarkupReader::isAtEnd() const
{
    return m_state->atEnd();
}

std::unique_ptr<MarkupElement> MarkupReader::readElement()
{
    return m_state->readElement();
}

std::size_t MarkupReader::offset() const
{
    return m_state->pos;
}

MarkupReader::Position MarkupReader::positionOf(std::size_t offset) const
{
    const std::string& text = m_state->text;
    offset = std::min(offset, text.size());
    Position position;
    position.line = 1;
    std::size_t lineStart = 0;
    for (std::size_t i = text.find('\n'); i < offset; i = text.find('\n', i + 1)) {
        ++position.line;
        lineStart = i + 1;
    }
    position.column = offset - lineStart + 1;
    return position;
}

bool MarkupReader::hasTextLeft() const
{
    return m_state->more();
}

unsigned MarkupReader::trimmedAttributes() const
{
    return m_state->trimmed;
}

} // namespace meridal
