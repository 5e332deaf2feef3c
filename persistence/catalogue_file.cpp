#include "persistence/catalogue_file.h"

#include "catalogue/windows1252.h"
#include "persistence/atomic_file.h"
#include "persistence/catalogue_writer.h"
#include "persistence/markup_reader.h"
#include "resources/resource_ids.h"
#include "resources/resource_module.h"

#include <cerrno>
#include <fcntl.h>
#include <new>
#include <sys/stat.h>
#include <unistd.h>

namespace meridal {

namespace {

// Element names match in any case; the usual lower-case spelling is checked first.
bool isName(const std::string& name, std::string_view known)
{
    return name == known || equalsIgnoreCase1252(name, known);
}

// A failed load, with where the reader stopped: after the element whose content is wrong,
// or where the markup went wrong.
LoadResult failure(std::string message, const MarkupReader& reader)
{
    LoadResult result;
    result.ok = false;
    result.error = std::move(message);
    const MarkupReader::Position where = reader.positionOf(reader.offset());
    result.errorLine = where.line;
    result.errorColumn = where.column;
    return result;
}

// Reads elements until the root end tag or the end of the input. The tables are filled
// into a catalogue of their own and handed over only when the whole file has loaded.
LoadResult load(MarkupReader& reader, UnitCatalogue& catalogue, const Resources& strings)
{
    UnitCatalogue loaded;
    std::string currentDimension;
    bool haveDimension = false;
    bool rootClosed = false;

    try {
        while (!reader.isAtEnd() && !rootClosed) {
            ElementPtr element = reader.readElement();
            const std::string& name = element->name;
            if (isName(name, "root")) {
                if (element->closes)
                    rootClosed = true;
            } else if (isName(name, "dimension")) {
                if (element->closes)
                    continue; // an end tag leaves the current dimension as it is
                if (!findAttribute(*element, "label"))
                    return failure(strings.string(res::strDimensionWithoutLabel), reader);
                currentDimension = loaded.registerDimension(std::move(element));
                haveDimension = true;
            } else if (isName(name, "unit")) {
                if (!findAttribute(*element, "label"))
                    return failure(strings.string(res::strUnitWithoutLabel), reader);
                if (!haveDimension)
                    return failure(strings.string(res::strUnitBeforeDimension), reader);
                loaded.registerUnit(currentDimension, std::move(element));
            } else if (isName(name, "config")) {
                loaded.setConfig(std::move(element));
            }
        }
    } catch (const MarkupError& error) {
        return failure(error.message(), reader);
    }

    catalogue = std::move(loaded);
    LoadResult result;
    result.ok = true;
    return result;
}

} // namespace

FileState fileState(const std::string& path)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        // A link that leads nowhere is missing: the file is created where it points. Anything
        // else that exists but cannot be looked at (a loop of links, say) is left for the
        // reader, which tells why it cannot be read.
        return errno == ENOENT || errno == ENOTDIR ? FileState::Missing : FileState::Writable;
    }
    // No write permission bit at all is read-only whoever we are (root included); otherwise
    // the file is read-only when this user may not write it (another user's file, a file
    // system mounted read-only).
    if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
        return FileState::ReadOnly;
    if (S_ISREG(st.st_mode) && ::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0 && errno != ENOENT)
        return FileState::ReadOnly;
    return FileState::Writable;
}

LoadResult readCatalogue(const std::string& path, UnitCatalogue& catalogue, const Resources& strings)
{
    UserFileContent content = readUserFile(path);
    LoadResult result;
    switch (content.status) {
    case UserFileContent::Status::Ok:
        break;
    case UserFileContent::Status::Missing:
        // Nothing to read: the empty catalogue.
        result.ok = true;
        return result;
    default:
        // Loaded as empty, and never to be saved over.
        result.ok = true;
        result.unreadable = true;
        result.fileStatus = content.status;
        result.reason = std::move(content.reason);
        return result;
    }
    try {
        MarkupReader reader = MarkupReader::fromText(std::move(content.bytes), strings);
        return load(reader, catalogue, strings);
    } catch (const std::bad_alloc&) {
        // A file within the size limit whose catalogue does not fit into memory.
        catalogue = UnitCatalogue();
        result.ok = true;
        result.unreadable = true;
        result.fileStatus = UserFileContent::Status::TooLarge;
        result.reason = "it is too large for the memory available";
        return result;
    }
}

LoadResult readCatalogueText(std::string text, UnitCatalogue& catalogue, const Resources& strings)
{
    MarkupReader reader = MarkupReader::fromText(std::move(text), strings);
    return load(reader, catalogue, strings);
}

std::string_view defaultCatalogueText(const Resources& resources)
{
    auto data = resources.find(res::typeHtml, res::htmlDefaultCatalogue);
    if (!data)
        return {};
    const std::size_t nul = data->find('\0');
    return nul == std::string_view::npos ? *data : data->substr(0, nul);
}

bool writeDefaultCatalogue(const std::string& path, const Resources& resources)
{
    if (!resources.find(res::typeHtml, res::htmlDefaultCatalogue))
        return false;
    std::string error;
    return writeFileAtomically(path, toCrLf(defaultCatalogueText(resources)), error);
}

std::string catalogueBytes(const UnitCatalogue& catalogue)
{
    CatalogueWriter writer;
    writer.beginRoot(true);
    if (const MarkupElement* config = catalogue.config())
        writer.writeConfig(*config, true);
    else
        writer.writeConfig(*makeConfig({}, {}, {}, {}), true);
    catalogue.dimensions().forEach([&](const std::string& label, const ElementPtr& dimension) {
        writer.beginDimension(*dimension, true);
        if (const UnitList* units = catalogue.unitList(label))
            for (const ElementPtr& unit : *units)
                writer.writeUnit(*unit, true);
        writer.endDimension(true);
    });
    writer.endRoot(true);
    return toCrLf(writer.text());
}

bool writeCatalogue(const std::string& path, const UnitCatalogue& catalogue, std::string& error)
{
    return writeFileAtomically(path, catalogueBytes(catalogue), error);
}

OpenedCatalogue openCatalogue(const std::string& path, UnitCatalogue& catalogue, const Resources& resources,
                              MissingCatalogue missing)
{
    OpenedCatalogue opened;
    opened.state = fileState(path);
    if (opened.state != FileState::Missing) {
        opened.result = readCatalogue(path, catalogue, resources);
        return opened;
    }

    opened.usedDefault = true;
    opened.defaultMissing = !resources.find(res::typeHtml, res::htmlDefaultCatalogue);
    if (opened.defaultMissing) {
        // Nothing to write or read: the program starts with an empty catalogue.
        opened.result.ok = true;
        return opened;
    }
    if (missing == MissingCatalogue::WriteDefault) {
        if (writeDefaultCatalogue(path, resources)) {
            opened.result = readCatalogue(path, catalogue, resources);
            return opened;
        }
        // The folder would not take the file: the default serves from memory.
        opened.defaultNotWritten = true;
    }
    // The same text the file would hold, read the way the file would be read.
    opened.result = readCatalogueText(toCrLf(defaultCatalogueText(resources)), catalogue, resources);
    return opened;
}

ElementPtr makeConfig(std::string dim, std::string su, std::string eu, std::string sv)
{
    auto config = std::make_unique<MarkupElement>();
    config->name = "config";
    config->opens = true;
    config->closes = true;
    config->attributes.push_back({"dim", std::move(dim)});
    config->attributes.push_back({"su", std::move(su)});
    config->attributes.push_back({"eu", std::move(eu)});
    config->attributes.push_back({"sv", std::move(sv)});
    return config;
}

} // namespace meridal
