// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace meridal {

struct MarkupElement;

// Writes the catalogue file's lines into a text buffer, one operation per kind of line.
// Values of "cf", "offset" and "sv" are written unquoted when they read back unchanged
// that way, and quoted otherwise, so a saved file always loads back into the same catalogue.
class CatalogueWriter {
  public:
    virtual ~CatalogueWriter() = default;

    virtual void beginRoot(bool indent);
    virtual void endRoot(bool indent);
    virtual void beginDimension(const MarkupElement& dimension, bool indent);
    virtual void endDimension(bool indent);
    virtual void writeUnit(const MarkupElement& unit, bool indent);
    virtual void writeConfig(const MarkupElement& config, bool indent);

    // The text written so far, with LF line ends.
    const std::string& text() const { return m_text; }

  private:
    std::string m_text;
};

} // namespace meridal
