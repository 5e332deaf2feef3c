// SPDX-License-Identifier: GPL-3.0-or-later
// meridal-convert: the converter's engine at a terminal. It reads the catalogue exactly as the
// window loads it, converts and lists in the window's order, and never writes a file.

#include "catalogue/conversion.h"
#include "catalogue/decimal.h"
#include "catalogue/label_suggestions.h"
#include "catalogue/unit_catalogue.h"
#include "catalogue/windows1252.h"
#include "persistence/catalogue_file.h"
#include "persistence/markup_reader.h"
#include "persistence/user_file.h"
#include "resources/resource_ids.h"
#include "resources/resource_module.h"
#include "tools/terminal.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#ifndef MERIDAL_VERSION
#error "MERIDAL_VERSION must name the program's version"
#endif

// The four-part version stamped into the program (MERIDAL_VERSION and the build number).
extern "C" const char meridalVersion[];

namespace {

using namespace meridal;

constexpr int exitOk = 0;
constexpr int exitFailed = 1;
constexpr int exitUsage = 2;

constexpr const char* helpText =
    "Usage: meridal-convert [--catalogue FILE] [-e|--scientific] VALUE FROM TO\n"
    "       meridal-convert [--catalogue FILE] --list [DIMENSION]\n"
    "       meridal-convert --check [FILE]\n"
    "       meridal-convert --help | --version\n"
    "\n"
    "Converts VALUE from the unit FROM to the unit TO with the catalogue of the Meridal\n"
    "converter, and prints the result as the converter's output field shows it.\n"
    "\n"
    "  VALUE             a decimal number, the whole argument: an optional sign, digits\n"
    "                    with an optional \".\" and more digits, and an optional exponent\n"
    "                    (e or E, an optional sign, digits). \".\" is the decimal point\n"
    "                    whatever the locale. \"1e3\", \"-2.5E-3\", \"+4\" and \".5\" are\n"
    "                    values; \"1,5\", \"1e\", \".\", \"12abc\" and \"\" are refused. A VALUE\n"
    "                    beginning with \"-\" is a value (\"-3\"); only a dash and letters\n"
    "                    alone (\"-e\", \"--list\") make an option. The conversion and the\n"
    "                    result are the converter's own.\n"
    "  FROM, TO          unit labels, matched exactly (case counts); TO must be a unit of\n"
    "                    FROM's dimension. For a label that no unit carries, up to three\n"
    "                    labels are suggested (the same in another case, labels that begin\n"
    "                    with it or that it begins with, or labels one or two typing\n"
    "                    mistakes away); the same goes for --list DIMENSION.\n"
    "  -e, --scientific  print the result in scientific notation (1.000000e+000).\n"
    "  --catalogue FILE  read FILE instead of \"Meridal.xml\" in the current folder.\n"
    "  --list            print the dimension labels, one a line, in the converter's order.\n"
    "  --list DIMENSION  print that dimension's unit labels in the converter's order;\n"
    "                    \"(All units)\" lists every unit.\n"
    "  --check [FILE]    load FILE (default \"Meridal.xml\") as the converter does at start\n"
    "                    and print \"ok\" with the number of dimensions and units, or the\n"
    "                    message the converter would show (for a damaged file, with the\n"
    "                    line and column where reading stopped). Warnings on standard\n"
    "                    error, with line numbers, list what the converter's next save\n"
    "                    would not keep: unknown attributes, a dimension listed twice,\n"
    "                    white space at the start of a quoted value, text after </root>.\n"
    "  --                every argument after it is VALUE, FROM, TO, DIMENSION or FILE.\n"
    "\n"
    "When the catalogue file does not exist, the default catalogue of TessaryRes.dll is\n"
    "used in memory; no file is ever created or changed. Arguments and output are UTF-8;\n"
    "the catalogue is Windows-1252, and a character it cannot hold is an error.\n"
    "\n"
    "Exit status: 0 on success; 1 when a conversion or a load fails (an unknown label, a\n"
    "unit of another dimension, a damaged catalogue, a catalogue that is no regular file or\n"
    "is over 256 MB, a character Windows-1252 cannot hold, no TessaryRes.dll next to the\n"
    "program); 2 on bad usage, including a VALUE that is not one number or is too large\n"
    "for one (\"1e999\").\n";

void printError(std::string_view message)
{
    terminal::writeError("meridal-convert: " + std::string(message) + "\n");
}

// A text of the catalogue or the string table, for the terminal.
std::string forTerminal(std::string_view cp1252)
{
    return windows1252ToUtf8(cp1252);
}

void printLine(std::string_view cp1252)
{
    const std::string text = forTerminal(cp1252) + '\n';
    terminal::writeOut(text);
}

int usageError(std::string_view message)
{
    printError(message);
    terminal::writeError("Try 'meridal-convert --help'.\n");
    return exitUsage;
}

std::string quoted(std::string_view cp1252)
{
    return "\"" + forTerminal(cp1252) + "\"";
}

enum class Mode { Convert, List, Check, Help, Version };

struct Options {
    Mode mode = Mode::Convert;
    std::optional<std::string> cataloguePath;
    bool scientific = false;
    std::vector<std::string> operands;
};

// Any argument that is not an option is an operand, so "-3", "-.5" and "-1e5" are values.
// Only a dash (or two) followed by a letter, with no digit or point anywhere, is taken for
// an option; "--" ends the options for anything else.
bool looksLikeOption(std::string_view arg)
{
    auto isLetter = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); };
    const std::string_view name = arg.starts_with("--")  ? arg.substr(2)
                                  : arg.starts_with("-") ? arg.substr(1)
                                                         : "";
    return !name.empty() && isLetter(name.front()) &&
           name.find_first_of("0123456789.") == std::string_view::npos;
}

// Parses the command line; returns an exit status when it is done already.
std::optional<int> parseArguments(const std::vector<std::string>& arguments, Options& options)
{
    bool list = false;
    bool check = false;
    bool help = false;
    bool version = false;
    bool operandsOnly = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string_view arg = arguments[i];
        if (operandsOnly) {
            options.operands.emplace_back(arg);
        } else if (arg == "--") {
            operandsOnly = true;
        } else if (arg == "--help" || arg == "-h") {
            help = true;
        } else if (arg == "--version") {
            version = true;
        } else if (arg == "-e" || arg == "--scientific") {
            options.scientific = true;
        } else if (arg == "--list") {
            list = true;
        } else if (arg == "--check") {
            check = true;
        } else if (arg == "--catalogue" || arg.starts_with("--catalogue=")) {
            if (options.cataloguePath)
                return usageError("--catalogue is given twice");
            if (arg == "--catalogue") {
                if (i + 1 >= arguments.size())
                    return usageError("--catalogue needs a FILE");
                options.cataloguePath = arguments[++i];
            } else {
                options.cataloguePath = std::string(arg.substr(std::string_view("--catalogue=").size()));
            }
            if (options.cataloguePath->empty())
                return usageError("--catalogue needs a FILE");
        } else if (looksLikeOption(arg)) {
            return usageError("unknown option " + std::string(arg));
        } else {
            options.operands.emplace_back(arg);
        }
    }

    if (help) {
        terminal::writeOut(helpText);
        return exitOk;
    }
    if (version) {
        terminal::writeOut(std::string("meridal-convert ") + meridalVersion + "\n");
        return exitOk;
    }
    if (list && check)
        return usageError("--list and --check cannot be used together");
    if ((list || check) && options.scientific)
        return usageError("-e/--scientific belongs to a conversion");

    if (check) {
        options.mode = Mode::Check;
        if (options.operands.size() > 1)
            return usageError("--check takes one FILE at most");
        if (options.operands.size() == 1 && options.cataloguePath)
            return usageError("--check takes its FILE either as operand or with --catalogue");
        if (options.operands.size() == 1)
            options.cataloguePath = options.operands.front();
    } else if (list) {
        options.mode = Mode::List;
        if (options.operands.size() > 1)
            return usageError("--list takes one DIMENSION at most");
    } else {
        options.mode = Mode::Convert;
        if (options.operands.size() != 3)
            return usageError(options.operands.empty()
                                  ? "expected VALUE FROM TO"
                                  : "expected VALUE FROM TO, got " + std::to_string(options.operands.size()) +
                                        " operand(s)");
    }
    return std::nullopt;
}

// A label or value argument in the catalogue's encoding.
std::optional<std::string> argumentIn1252(const std::string& utf8)
{
    auto text = utf8ToWindows1252(utf8);
    if (!text)
        printError("\"" + utf8 + "\" holds a character that Windows-1252 cannot hold (or is not UTF-8 text)");
    return text;
}

// "; did you mean "a", "b" or "c"?" for a label that is not among `labels`, or nothing.
std::string suggestion(std::string_view typed, const std::vector<std::string>& labels)
{
    const std::vector<std::string> found = suggestLabels(typed, labels);
    if (found.empty())
        return {};
    std::string text = "; did you mean ";
    for (std::size_t i = 0; i < found.size(); ++i) {
        if (i > 0)
            text += i + 1 == found.size() ? " or " : ", ";
        text += quoted(found[i]);
    }
    return text + "?";
}

std::string counted(std::size_t n, const char* singular, const char* plural)
{
    return std::to_string(n) + " " + (n == 1 ? singular : plural);
}

// The catalogue as the window would load it, and what the load found. Where the window would
// write the default catalogue into a missing file, the default is read in memory and the
// folder is left alone.
struct Loaded {
    UnitCatalogue catalogue;
    OpenedCatalogue opened;
};

Loaded loadCatalogue(const std::string& path, const Resources& resources)
{
    Loaded loaded;
    loaded.opened = openCatalogue(path, loaded.catalogue, resources, MissingCatalogue::ReadDefault);
    return loaded;
}

// The string table's messages name "Meridal.xml"; the tool names the file it really read.
std::string aboutFile(std::string message, const std::string& path)
{
    constexpr std::string_view defaultName = catalogueFileName;
    if (path == defaultName)
        return message;
    for (std::size_t at = message.find(defaultName); at != std::string::npos;
         at = message.find(defaultName, at + path.size()))
        message.replace(at, defaultName.size(), path);
    return message;
}

// The message for a file that exists but is no catalogue that can be read.
std::string unreadableMessage(const LoadResult& result, const std::string& path, const Resources& resources)
{
    const std::string text =
        result.fileStatus == UserFileContent::Status::TooLarge && result.reason == sizeLimitReason()
            ? resources.string(res::strCatalogueTooLarge)
            : formatWithArgument(resources.string(res::strCatalogueUnreadable), result.reason);
    return aboutFile(text, path);
}

// Lists what the window's next save would not write back: it writes each element's known
// attributes by name, one dimension per label, quoted values without their leading white
// space, and nothing after "</root>".
void warnOfWhatASaveDrops(const std::string& path, const Resources& resources)
{
    UserFileContent content = readUserFile(path);
    if (content.status != UserFileContent::Status::Ok)
        return;
    MarkupReader reader = MarkupReader::fromText(std::move(content.bytes), resources);
    auto warn = [&](std::size_t offset, const std::string& what) {
        printError("warning: " + path + " line " + std::to_string(reader.positionOf(offset).line) + ": " +
                   forTerminal(what) + " is dropped by the next save");
    };
    struct Kind {
        std::string_view name;
        std::vector<std::string_view> attributes;
    };
    static const Kind kinds[] = {{"root", {}},
                                 {"dimension", {"label", "baseunit"}},
                                 {"unit", {"label", "cf", "offset"}},
                                 {"config", {"dim", "su", "eu", "sv"}}};
    std::unordered_set<std::string> dimensions;
    try {
        while (!reader.isAtEnd()) {
            const std::size_t start = reader.offset();
            const ElementPtr element = reader.readElement();
            const Kind* kind = nullptr;
            for (const Kind& k : kinds)
                if (equalsIgnoreCase1252(element->name, k.name))
                    kind = &k;
            if (!kind)
                return;
            const MarkupAttribute* label = findAttribute(*element, "label");
            const std::string owner =
                std::string(kind->name) + (label ? " \"" + label->value + "\"" : std::string());
            std::vector<std::string_view> seen;
            for (std::size_t i = 0; i < element->attributes.size(); ++i) {
                const MarkupAttribute& attribute = element->attributes[i];
                const bool known =
                    std::any_of(kind->attributes.begin(), kind->attributes.end(),
                                [&](auto name) { return equalsIgnoreCase1252(attribute.name, name); });
                const bool repeated = std::any_of(seen.begin(), seen.end(), [&](auto name) {
                    return equalsIgnoreCase1252(attribute.name, name);
                });
                seen.push_back(attribute.name);
                if (!known)
                    warn(start, "the attribute \"" + attribute.name + "\" of the " + owner);
                else if (repeated)
                    warn(start, "the second attribute \"" + attribute.name + "\" of the " + owner);
                else if (reader.trimmedAttributes() & (1u << i))
                    warn(start,
                         "the white space before the " + attribute.name + " \"" + attribute.value + "\"");
            }
            if (kind->name == "dimension" && element->opens && label) {
                if (!dimensions.insert(label->value).second)
                    printError(
                        "warning: " + path + " line " + std::to_string(reader.positionOf(start).line) +
                        ": a second dimension \"" + forTerminal(label->value) +
                        "\": the next save keeps one, with the base unit of this one and the units of both");
            }
            if (kind->name == "root" && element->closes) {
                if (reader.hasTextLeft())
                    warn(reader.offset(), "the text after </root>");
                return;
            }
        }
    } catch (const MarkupError&) {
        // The load has reported it already.
    }
}

int runCheck(const std::string& path, const Resources& resources)
{
    Loaded loaded = loadCatalogue(path, resources);
    if (loaded.opened.state == FileState::ReadOnly)
        printError("warning: " + forTerminal(aboutFile(resources.string(res::strCatalogueReadOnly), path)));
    if (loaded.opened.result.unreadable) {
        printError(forTerminal(unreadableMessage(loaded.opened.result, path, resources)));
        return exitFailed;
    }
    if (!loaded.opened.result.ok) {
        if (loaded.opened.usedDefault) {
            printError(path +
                       " does not exist; the default catalogue the program would write there fails to load:");
            printError(forTerminal(loaded.opened.result.error));
        } else {
            printError(forTerminal(aboutFile(loaded.opened.result.error, path)));
        }
        if (loaded.opened.result.errorLine != 0)
            printError((loaded.opened.usedDefault ? std::string("the default catalogue") : path) +
                       ": the reader stopped at line " + std::to_string(loaded.opened.result.errorLine) +
                       ", column " + std::to_string(loaded.opened.result.errorColumn));
        return exitFailed;
    }
    if (!loaded.opened.usedDefault)
        warnOfWhatASaveDrops(path, resources);
    std::string line = "ok: " + counted(loaded.catalogue.dimensions().size(), "dimension", "dimensions") +
                       ", " + counted(loaded.catalogue.unitCount(), "unit", "units");
    if (loaded.opened.usedDefault && loaded.opened.defaultMissing)
        line += " (" + path + " does not exist and the resource module has no default catalogue)";
    else if (loaded.opened.usedDefault)
        line += " (" + path + " does not exist: checked the default catalogue the program would write there)";
    terminal::writeOut(line + "\n");
    return exitOk;
}

int runList(const Options& options, const UnitCatalogue& catalogue, const Resources& resources)
{
    if (options.operands.empty()) {
        for (const std::string& label : catalogue.dimensionLabels())
            printLine(label);
        return exitOk;
    }
    const auto dimension = argumentIn1252(options.operands.front());
    if (!dimension)
        return exitFailed;
    // As in the window, the all-units entry comes before any dimension of the same text.
    if (*dimension == resources.string(res::strAllUnits)) {
        for (const std::string& label : catalogue.allUnitLabels())
            printLine(label);
        return exitOk;
    }
    if (!catalogue.dimension(*dimension)) {
        std::vector<std::string> listed = catalogue.dimensionLabels();
        listed.insert(listed.begin(), resources.string(res::strAllUnits));
        printError("no dimension is labelled " + quoted(*dimension) + suggestion(*dimension, listed));
        return exitFailed;
    }
    for (const std::string& label : catalogue.unitLabels(*dimension))
        printLine(label);
    return exitOk;
}

int runConversion(const Options& options, const std::string& value, const UnitCatalogue& catalogue)
{
    const auto from = argumentIn1252(options.operands[1]);
    const auto to = argumentIn1252(options.operands[2]);
    if (!from || !to)
        return exitFailed;

    const std::string* dimension = catalogue.ownerOf(*from);
    const MarkupElement* start = dimension ? catalogue.unit(*dimension, *from) : nullptr;
    if (!start) {
        printError("no unit is labelled " + quoted(*from) + suggestion(*from, catalogue.allUnitLabels()));
        return exitFailed;
    }
    const MarkupElement* end = catalogue.unit(*dimension, *to);
    if (!end) {
        const std::string* otherDimension = catalogue.ownerOf(*to);
        if (otherDimension && *otherDimension != *dimension)
            printError(quoted(*to) + " is a unit of " + quoted(*otherDimension) + ", not of " +
                       quoted(*dimension) + ": there is no conversion between them");
        else // only a unit of the same dimension can be meant
            printError("no unit is labelled " + quoted(*to) +
                       suggestion(*to, catalogue.unitLabels(*dimension)));
        return exitFailed;
    }

    Conversion conversion;
    conversion.m_scientific = options.scientific;
    conversion.setStartUnit(*start);
    conversion.setEndUnit(*end);
    const std::optional<std::string> result = conversion.convert(value);
    terminal::writeOut(result.value_or("") + "\n");
    return exitOk;
}

int run(const std::vector<std::string>& arguments)
{
    Options options;
    if (auto done = parseArguments(arguments, options))
        return *done;

    // The value must be one number, read whole by the catalogue's decimal rule, before anything
    // is loaded: what a window's input filter would drop silently is an error here. Such a
    // value is ASCII text, the same in UTF-8 and Windows-1252.
    const std::string value = options.mode == Mode::Convert ? options.operands[0] : std::string();
    if (options.mode == Mode::Convert) {
        const std::optional<double> number = parseWholeDecimal(value);
        if (!number)
            return usageError("VALUE \"" + value +
                              "\" is not a number: write it like 12, -2.5, .5 or 1.5e-3, with \".\" as the "
                              "decimal point");
        if (!std::isfinite(*number))
            return usageError("VALUE \"" + value + "\" is too large for a number");
    }

    const std::unique_ptr<ResourceModule> resources = ResourceModule::load("TessaryRes.dll");
    if (!resources) {
        printError("Could not find TessaryRes.dll");
        return exitFailed;
    }

    const std::string path = options.cataloguePath.value_or(catalogueFileName);
    if (options.mode == Mode::Check)
        return runCheck(path, *resources);

    Loaded loaded = loadCatalogue(path, *resources);
    if (loaded.opened.result.unreadable) {
        printError(forTerminal(unreadableMessage(loaded.opened.result, path, *resources)));
        return exitFailed;
    }
    if (!loaded.opened.result.ok) {
        printError(forTerminal(aboutFile(loaded.opened.result.error, path)));
        return exitFailed;
    }
    if (loaded.opened.usedDefault && options.cataloguePath)
        printError(path + " does not exist; using the default catalogue");

    if (options.mode == Mode::List)
        return runList(options, loaded.catalogue, *resources);
    return runConversion(options, value, loaded.catalogue);
}

} // namespace

int main(int argc, char** argv)
{
    int status = exitFailed;
    try {
        status = run(terminal::arguments(argc, argv));
    } catch (const std::bad_alloc&) {
        printError("not enough memory");
    } catch (const std::exception& failure) {
        printError(failure.what());
    } catch (...) {
        printError("an exception of unknown type");
    }
    if (!terminal::flushOutput()) {
        printError("cannot write the output");
        return exitFailed;
    }
    return status;
}
