// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "persistence/catalogue_file.h"
#include "persistence/tracked_file.h"

#include <string>

namespace meridal {

class ConverterWindow;

// The converter window's catalogue file, "Meridal.xml": read once while the window
// initialises (a missing file first made from the default catalogue), and saved with the
// selection of the moment when the window closes. What stands in the way is told: a
// read-only file, a file that cannot be read or made (then it is never saved over), a file
// gone since the start, a file another program changed meanwhile (then its change is kept,
// or the person decides when the catalogue was edited too), a save that fails.
class CatalogueFile final {
  public:
    explicit CatalogueFile(ConverterWindow& window);

    // Loads the file into the window's catalogue. False, with the message in `error`, when
    // the file is damaged: nothing may then be saved.
    bool load(std::string& error);
    // Makes the missing file from the default catalogue; nothing when it cannot be made.
    void writeDefault();
    // Saves the catalogue with the window's selection of the moment, or tells why not.
    void save();

    // The person changed the catalogue itself in this session, not only the selection.
    void noteEdited() { m_edited = true; }

  private:
    ConverterWindow& m_window;
    TrackedFile m_file{catalogueFileName, TrackedFile::TheirChange::Merge};
    // There was no file and none could be made: the default catalogue serves from memory and
    // nothing is saved.
    bool m_neverCreated = false;
    bool m_edited = false;
};

} // namespace meridal
