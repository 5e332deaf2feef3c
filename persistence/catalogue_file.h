// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "catalogue/unit_catalogue.h"
#include "persistence/user_file.h"

#include <string>
#include <string_view>

namespace meridal {

class Resources;
class TrackedFile;

inline constexpr const char* catalogueFileName = "Meridal.xml";

// The result of reading a catalogue file.
struct LoadResult {
    bool ok = false;
    std::string error;       // the message when !ok
    bool unreadable = false; // the file exists but could not be read (loaded as empty)
    // When unreadable: what stands in the way (not a regular file, too large, no permission...)
    // and why, in words for a message.
    UserFileContent::Status fileStatus = UserFileContent::Status::Ok;
    std::string reason;
    // When !ok because the markup is damaged: where the reader stopped, line and column from 1.
    std::size_t errorLine = 0;
    std::size_t errorColumn = 0;
};

// Reads the catalogue file into `catalogue` (which should be empty). Creates nothing,
// shows nothing: the caller checks fileState first and handles missing and read-only files.
// A failed load leaves `catalogue` as it was; a file that exists but cannot be read (not a
// regular file, over maxUserFileBytes, no permission, too large for memory) loads as an
// empty catalogue with `unreadable`, `fileStatus` and `reason` set, and must not be saved over.
LoadResult readCatalogue(const std::string& path, UnitCatalogue& catalogue, const Resources& strings);

// The same for what reading the file gave.
LoadResult readCatalogueContent(UserFileContent content, UnitCatalogue& catalogue, const Resources& strings);

// The same for catalogue text in memory, taken as a file's content (CR LF reads as LF).
LoadResult readCatalogueText(std::string text, UnitCatalogue& catalogue, const Resources& strings);

// The default catalogue text of the resource module (empty when the module lacks it).
std::string_view defaultCatalogueText(const Resources& resources);

// Creates the file `path` (see createFile) holding the default catalogue text, LF as CR LF,
// unchanged otherwise. False when the module has no such text or the file could not be made.
bool writeDefaultCatalogue(const std::string& path, const Resources& resources);

// The bytes of the saved file for this catalogue, its config element included
// (CR LF line ends, no line end after "</root>"). A catalogue without a config element
// gets a config line with empty values.
std::string catalogueBytes(const UnitCatalogue& catalogue);

// Writes catalogueBytes(catalogue) to `path` (see writeFileAtomically in atomic_file.h).
// On failure `error` says why and the file keeps its content; a read-only file, a FIFO,
// device, socket or folder, or a loop of links, is refused and left alone.
bool writeCatalogue(const std::string& path, const UnitCatalogue& catalogue, std::string& error);

// What to do when the catalogue file does not exist.
enum class MissingCatalogue {
    WriteDefault, // write the default catalogue there, then load the file (the window)
    ReadDefault,  // load the default catalogue in memory and write nothing (meridal-convert)
};

// The catalogue as the program opens it at start, and what opening it found.
struct OpenedCatalogue {
    FileState state = FileState::Missing; // the file as it was found, before anything was written
    LoadResult result;
    bool usedDefault = false;       // the file was missing, so the default catalogue was used
    bool defaultMissing = false;    // ... and the resource module has none: the catalogue is empty
    bool defaultNotWritten = false; // WriteDefault could not create the file: the default is
                                    // loaded from memory, and there is no file to save into
};

// Opens the catalogue at `path` into `catalogue` the way the program starts: a missing file
// is replaced by the default catalogue as `missing` says, a present one is read. Shows nothing.
OpenedCatalogue openCatalogue(const std::string& path, UnitCatalogue& catalogue, const Resources& resources,
                              MissingCatalogue missing);
// The same through `file`, which then remembers what was read or written for the save at close;
// a file that could not be read is marked so that it is never saved over.
OpenedCatalogue openCatalogue(TrackedFile& file, UnitCatalogue& catalogue, const Resources& resources,
                              MissingCatalogue missing);

// A config element holding the given selection, attributes "dim", "su", "eu", "sv".
ElementPtr makeConfig(std::string dim, std::string su, std::string eu, std::string sv);

} // namespace meridal
