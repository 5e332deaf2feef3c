// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "catalogue/markup_element.h"

#include <memory>
#include <stdexcept>
#include <string>

namespace meridal {

class Resources;

// A malformed catalogue file. Carries only the message text, which comes from the string
// table (the empty text when the table lacks the string).
class MarkupError : public std::runtime_error {
  public:
    explicit MarkupError(const std::string& message) : std::runtime_error(message) {}
    std::string message() const { return what(); }
};

// Reads catalogue markup one tag at a time: the four elements "root", "dimension", "unit"
// and "config" in the shapes the catalogue file uses, and nothing else.
//
// The file is read with Windows text-mode conventions on every platform: CR LF reads as LF.
class MarkupReader {
  public:
    // Reads the file; a file that cannot be opened or read (a directory, say) leaves the
    // reader at its end.
    MarkupReader(const std::string& path, const Resources& strings);
    // Reads text in memory as if it were the content of a file (CR LF reads as LF).
    static MarkupReader fromText(std::string text, const Resources& strings);

    MarkupReader(MarkupReader&&) noexcept;
    ~MarkupReader();

    // True when there is no file, or when a consuming read found the end of the input.
    bool isAtEnd() const;

    // Reads one tag; throws MarkupError with the message of strings 234, 236 to 241.
    std::unique_ptr<MarkupElement> readElement();

    // Where reading goes on (or stopped, after an error): an offset into the text as read,
    // CR LF counted as one character.
    std::size_t offset() const;
    // The line and column of an offset, both from 1.
    struct Position {
        std::size_t line = 0;
        std::size_t column = 0;
    };
    Position positionOf(std::size_t offset) const;
    // Text that no tag has taken yet (whitespace aside).
    bool hasTextLeft() const;
    // Attributes of the element read last whose quoted value lost white space at its start:
    // bit i for attribute i.
    unsigned trimmedAttributes() const;

  private:
    struct State;
    explicit MarkupReader(std::unique_ptr<State> state);
    std::unique_ptr<State> m_state;
};

} // namespace meridal
