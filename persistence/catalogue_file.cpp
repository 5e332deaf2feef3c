// SPDX-License-Identifier: GPL-3.0-or-later
#include "persistence/catalogue_file.h"

#include "catalogue/windows1252.h"
#include "persistence/atomic_file.h"
#include "persistence/catalogue_writer.h"
#include "persistence/markup_reader.h"
#include "persistence/tracked_file.h"
#include "resources/resource_ids.h"
#include "resources/resource_module.h"

#include <new>

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

LoadResult readCatalogue(const std::string& path, UnitCatalogue& catalogue, const Resources& strings)
{
    return readCatalogueContent(readUserFile(path), catalogue, strings);
}

LoadResult readCatalogueContent(UserFileContent content, UnitCatalogue& catalogue, const Resources& strings)
{
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
        result.reason = tooLargeForMemoryReason;
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
    return createFile(path, toCrLf(defaultCatalogueText(resources)), error);
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
    TrackedFile file(path, TrackedFile::TheirChange::Merge);
    return openCatalogue(file, catalogue, resources, missing);
}

OpenedCatalogue openCatalogue(TrackedFile& file, UnitCatalogue& catalogue, const Resources& resources,
                              MissingCatalogue missing)
{
    OpenedCatalogue opened;
    opened.state = fileState(file.path());
    if (opened.state != FileState::Missing) {
        opened.result = readCatalogueContent(file.read(), catalogue, resources);
        if (opened.result.unreadable)
            file.markUnreadable();
        return opened;
    }

    opened.usedDefault = true;
    opened.defaultMissing = !resources.find(res::typeHtml, res::htmlDefaultCatalogue);
    if (opened.defaultMissing) {
        // Nothing to write or read: the program starts with an empty catalogue.
        opened.result.ok = true;
        return opened;
    }
    // The same text the file holds (or would hold), read the way the file is read.
    const std::string text = toCrLf(defaultCatalogueText(resources));
    std::string error;
    if (missing == MissingCatalogue::WriteDefault && !file.create(text, error))
        opened.defaultNotWritten = true; // the folder would not take the file: the default serves from memory
    opened.result = readCatalogueText(text, catalogue, resources);
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
