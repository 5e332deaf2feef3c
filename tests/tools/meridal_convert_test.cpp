// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/resources/loaded_module.h"
#include "tests/support/process_runner.h"
#include "tests/support/temp_folder.h"

#include "catalogue/unit_catalogue.h"
#include "catalogue/windows1252.h"
#include "persistence/catalogue_file.h"
#include "resources/resource_ids.h"
#include "resources/resource_module.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#ifndef _WIN32
#include <sys/stat.h> // mkfifo
#endif

namespace meridal {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using ::testing::StartsWith;
using Text = ::testing::Matcher<const std::string&>;

std::string readFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void writeFile(const fs::path& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

// The program under test, next to the test program.
fs::path convertProgram()
{
    return test::besideTestProgram(MERIDAL_CONVERT_PROGRAM);
}

// Three dimensions in Windows-1252 with CRLF line ends, the degree sign as the byte B0 (octal 260).
const std::string sampleCatalogue =
    "<root>\r\n\t<config dim=\"Length\" su=\"m\" eu=\"m\" sv=1/>\r\n"
    "\t<dimension label=\"Length\" baseunit=\"m\">\r\n\t\t<unit label=\"m\" cf=1 offset=0/>\r\n"
    "\t\t<unit label=\"in\" cf=0.0254 offset=0/>\r\n"
    "\t\t<unit label=\"ft\" cf=0.3048 offset=0/>\r\n\t</dimension>\r\n"
    "\t<dimension label=\"Temperature\" baseunit=\"K\">\r\n\t\t<unit label=\"K\" cf=1 offset=0/>\r\n"
    "\t\t<unit label=\"\260C\" cf=1 offset=273.15/>\r\n"
    "\t\t<unit label=\"\260F\" cf=0.5555555555555556 offset=255.37222222222223/>\r\n\t</dimension>\r\n"
    "\t<dimension label=\"Mass\" baseunit=\"kg\">\r\n\t\t<unit label=\"kg\" cf=1 offset=0/>\r\n"
    "\t\t<unit label=\"g\" cf=0.001 offset=0/>\r\n\t</dimension>\r\n</root>";

// A text of the resource module the command loads, for the exact texts of its messages.
std::string moduleString(unsigned id)
{
    return windows1252ToUtf8(test::loadedModule().string(id));
}

// The whole of stderr when the program reports `text`; a report on stderr that holds `part`.
std::string message(const std::string& text)
{
    return "meridal-convert: " + text + "\n";
}
Text error(const std::string& part)
{
    return ::testing::AllOf(StartsWith("meridal-convert: "), HasSubstr(part));
}

struct Case {
    std::vector<std::string> args;
    Text out, err;
    int status;
};

// Each test runs the program in a fresh working folder, "work", of a temporary folder of its own.
class MeridalConvert : public ::testing::Test {
  protected:
    void SetUp() override { fs::create_directories(work()); }
    void TearDown() override
    {
        // A read-only file would stop the removal on Windows.
        std::error_code ignored;
        for (const auto& entry : fs::recursive_directory_iterator(m_root, ignored))
            fs::permissions(entry.path(), fs::perms::owner_write, fs::perm_options::add, ignored);
        fs::remove_all(m_root, ignored);
    }

    fs::path work() const { return m_root / "work"; }
    fs::path catalogue() const { return work() / "Meridal.xml"; }
    // Runs the program in the working folder once for each case and checks what it gives back.
    // A run that takes more than 20 s is stopped.
    void expectRuns(const std::vector<Case>& cases, const fs::path& program = convertProgram(),
                    const std::map<std::string, std::string>& environment = {})
    {
        for (const Case& c : cases) {
            std::string args;
            for (const auto& arg : c.args)
                args += " '" + arg + "'";
            SCOPED_TRACE("meridal-convert" + args);
            const test::ProgramRun run =
                test::runProgram(program, c.args, work(), environment, std::chrono::seconds(20));
            EXPECT_FALSE(run.timedOut);
            EXPECT_EQ(run.status, c.status);
            EXPECT_THAT(test::withPlainLineEnds(run.out), c.out);
            EXPECT_THAT(test::withPlainLineEnds(run.err), c.err);
        }
    }

    const fs::path m_root = test::makeTempFolder("meridal-convert");
};

TEST_F(MeridalConvert, ConvertsListsAndRefusesAsDocumented)
{
    writeFile(catalogue(), sampleCatalogue);
    expectRuns({
        {{"12", "in", "ft"}, "1.000000\n", "", 0},
        {{"-e", "12", "in", "ft"}, "1.000000e+000\n", "", 0},
        {{"0.0000001", "m", "m", "--scientific"}, "1.000000e-007\n", "", 0},
        {{"-3", "m", "in"}, "-118.110236\n", "", 0},
        {{"--", "-3", "m", "in"}, "-118.110236\n", "", 0},
        {{"100", "°C", "°F"}, "212.000000\n", "", 0},
        {{"12", "in", "parsec"}, "", message("no unit is labelled \"parsec\""), 1},
        {{"12", "in", "kg"}, "", error("\"kg\" is a unit of \"Mass\", not of \"Length\""), 1},
        {{"12", "in", "\xE2\x86\x92"}, "", error("Windows-1252 cannot hold"), 1},
        {{"--list"}, "Mass\nLength\nTemperature\n", "", 0},
        {{"--list", "Length"}, "in\nm\nft\n", "", 0},
        {{"--list", moduleString(res::strAllUnits)}, "g\nkg\nin\nm\nft\nK\n°C\n°F\n", "", 0},
        {{"--list", "Volume"}, "", message("no dimension is labelled \"Volume\""), 1},
        {{"--check"}, "ok: 3 dimensions, 8 units\n", "", 0},
        {{"--version"}, StartsWith("meridal-convert " MERIDAL_VERSION "."), "", 0},
        {{"--help"}, StartsWith("Usage: meridal-convert "), "", 0},
        {{}, "", error("expected VALUE FROM TO"), 2},
        {{"12", "in", "ft", "m"}, "", error("expected VALUE FROM TO"), 2},
        {{"--bogus", "12", "in", "ft"}, "", error("unknown option --bogus"), 2},
        {{"--catalogue"}, "", error("--catalogue needs a FILE"), 2},
        {{"--list", "--check"}, "", error("cannot be used together"), 2},
        {{"--list", "Length", "Mass"}, "", error("one DIMENSION at most"), 2},
    });
    EXPECT_EQ(readFile(catalogue()), sampleCatalogue); // never written
    EXPECT_EQ(std::distance(fs::directory_iterator(work()), {}), 1);
}

// The value is one number, read whole by the catalogue's decimal rule, or the command stops
// before it loads anything; the conversion is the window's.
TEST_F(MeridalConvert, ValueIsReadWholeOrRefused)
{
    writeFile(catalogue(), sampleCatalogue);
    expectRuns({
        {{"1e3", "m", "m"}, "1000.000000\n", "", 0},
        {{"-2.5E-3", "m", "m"}, "-0.002500\n", "", 0},
        {{"+4", "m", "m"}, "4.000000\n", "", 0},
        {{".5", "in", "ft"}, "0.041667\n", "", 0},
        {{"-e", "1e308", "m", "m"}, "1.000000e+308\n", "", 0},
        {{"1e-999", "m", "m"}, "0.000000\n", "", 0},
    });
    std::vector<Case> refused;
    for (const char* value : {"1,5", "1e", ".", "12abc", "", "-", "-e5", "1,234.5 kg", " 1", "1.2.3", "0x1A",
                              "inf", "\xC2\xBD"}) {
        refused.push_back(
            {{value, "m", "m"}, "", error("VALUE \"" + std::string(value) + "\" is not a number"), 2});
    }
    refused.push_back({{"1e999", "m", "m"}, "", error("VALUE \"1e999\" is too large for a number"), 2});
    expectRuns(refused);
}

// A label that nothing carries gets the labels it most likely means, of the default catalogue
// here; the status stays that of a failed conversion.
TEST_F(MeridalConvert, UnknownLabelsGetSuggestions)
{
    std::string allUnits = moduleString(res::strAllUnits);
    std::transform(allUnits.begin(), allUnits.end(), allUnits.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    expectRuns({
        {{"1", "KM", "m"}, "", message("no unit is labelled \"KM\"; did you mean \"km\"?"), 1},
        {{"26.2", "mile", "km"},
         "",
         message("no unit is labelled \"mile\"; did you mean \"mil\" or \"mi\"?"),
         1},
        {{"--list", "Lenght"},
         "",
         message("no dimension is labelled \"Lenght\"; did you mean \"Length\"?"),
         1},
        {{"--list", allUnits},
         "",
         message("no dimension is labelled \"" + allUnits + "\"; did you mean \"" +
                 moduleString(res::strAllUnits) + "\"?"),
         1},
        {{"1", "°c", "K"}, "", message("no unit is labelled \"°c\"; did you mean \"°C\"?"), 1},
    });
    EXPECT_TRUE(fs::is_empty(work()));

    // TO is looked for among the units of FROM's dimension: "Kg" is none of them.
    writeFile(catalogue(), sampleCatalogue);
    expectRuns({
        {{"12", "IN", "ft"}, "", message("no unit is labelled \"IN\"; did you mean \"in\"?"), 1},
        {{"12", "in", "FT"}, "", message("no unit is labelled \"FT\"; did you mean \"ft\"?"), 1},
        {{"12", "in", "Kg"}, "", message("no unit is labelled \"Kg\""), 1},
        {{"--list", "length"},
         "",
         message("no dimension is labelled \"length\"; did you mean \"Length\"?"),
         1},
    });
}

// --catalogue reads another file. Without its catalogue file the program reads the module's
// default catalogue in memory and creates nothing; without the module it stops.
TEST_F(MeridalConvert, CatalogueOptionAndMissingFiles)
{
    const std::string other = (m_root / "other.xml").string();
    writeFile(other, "<root><dimension label=\"Speed\" baseunit=\"m/s\"><unit label=\"m/s\" cf=1 offset=0/>"
                     "<unit label=\"km/h\" cf=0.2777777777777778 offset=0/></dimension></root>");
    UnitCatalogue defaults;
    const Resources& module = test::loadedModule();
    ASSERT_TRUE(readCatalogueText(std::string(defaultCatalogueText(module)), defaults, module).ok);
    const std::string checked = "ok: " + std::to_string(defaults.dimensions().size()) + " dimensions, " +
                                std::to_string(defaults.unitCount()) + " units (Meridal.xml does not exist";
    const std::string fallback = message("missing.xml does not exist; using the default catalogue");
    expectRuns({
        {{"--catalogue", other, "36", "km/h", "m/s"}, "10.000000\n", "", 0},
        {{"--catalogue=" + other, "--list"}, "Speed\n", "", 0},
        {{"--check", other}, "ok: 1 dimension, 2 units\n", "", 0},
        {{"--catalogue", "missing.xml", "1", "m", "m"}, "1.000000\n", fallback, 0},
        {{"--check"}, StartsWith(checked), "", 0},
    });
    EXPECT_TRUE(fs::is_empty(work()));

    // A copy in a folder without TessaryRes.dll does not take one from the working folder or
    // from LD_LIBRARY_PATH.
    const fs::path alone = m_root / MERIDAL_CONVERT_PROGRAM;
    fs::copy_file(convertProgram(), alone);
    const fs::path builtModule = convertProgram().parent_path() / "TessaryRes.dll";
    fs::create_directory(m_root / "lib");
    fs::copy_file(builtModule, m_root / "lib" / "TessaryRes.dll");
    fs::copy_file(builtModule, work() / "TessaryRes.dll");
    const Case notFound{{"12", "in", "ft"}, "", message("Could not find TessaryRes.dll"), 1};
    expectRuns({notFound}, alone);
    expectRuns({notFound}, alone, {{test::librarySearchPath, (m_root / "lib").string()}});
}

// The loader's message for a damaged catalogue is its own test's; here it reaches the terminal.
TEST_F(MeridalConvert, DamagedReadOnlyAndUnreadableCataloguesAreReportedAsTheWindowWould)
{
    const std::string damaged =
        "<root><dimension label=\"L\" baseunit=\"m\"><unit cf=1 offset=0 x=1/></root>";
    writeFile(catalogue(), damaged);
    const std::string loaderMessage = message(moduleString(res::strUnitWithoutLabel));
    expectRuns({{{"--check"},
                 "",
                 loaderMessage + message("Meridal.xml: the reader stopped at line 1, column 66"),
                 1},
                {{"1", "m", "m"}, "", loaderMessage, 1}});
    EXPECT_EQ(readFile(catalogue()), damaged);

    writeFile(catalogue(), sampleCatalogue);
    fs::permissions(catalogue(), fs::perms::owner_read);
    expectRuns(
        {{{"--check"}, "ok: 3 dimensions, 8 units\n", error(moduleString(res::strCatalogueReadOnly)), 0}});

    // Damaged: the message names the file checked and tells where the reader stopped.
    const std::string other = (m_root / "other.xml").string();
    writeFile(
        other,
        "<root>\r\n\t<dimension label=\"L\" baseunit=\"m\">\r\n\t\t<unit label=\"m\" cf=1/>\r\n</root>");
    std::string expected = moduleString(res::strReaderBadUnitAttribute);
    ASSERT_NE(expected.find("Meridal.xml"), std::string::npos);
    expected.replace(expected.find("Meridal.xml"), 11, other);
    expectRuns({{{"--check", other},
                 "",
                 message(expected) + message(other + ": the reader stopped at line 3, column 24"),
                 1}});
}

// What is no catalogue at all (not a regular file, or too large for one) stops the check at once
// with its reason; a conversion does not go on with an empty catalogue either.
TEST_F(MeridalConvert, FilesThatAreNoCatalogueAreRefusedAtOnce)
{
    struct Kind {
        const char* name;
        std::function<void(const fs::path&)> make;
        const char* reason;
    };
    const std::vector<Kind> kinds = {
#ifndef _WIN32
        {"FIFO", [](const fs::path& p) { ::mkfifo(p.c_str(), 0644); }, "named pipe"},
        {"link loop", [](const fs::path& p) { fs::create_symlink(p, p); }, "loop"},
#endif
        {"folder", [](const fs::path& p) { fs::create_directory(p); }, "folder"},
        {"sparse file over the limit",
         [](const fs::path& p) {
             writeFile(p, "<root></root>");
             fs::resize_file(p, std::uintmax_t{300} << 20);
         },
         "256 MB"},
    };
    for (const Kind& kind : kinds) {
        SCOPED_TRACE(kind.name);
        fs::remove(catalogue());
        kind.make(catalogue());
        const fs::file_type before = fs::symlink_status(catalogue()).type();
        const auto refused = ::testing::AllOf(error("Meridal.xml"), HasSubstr(kind.reason));
        expectRuns({{{"--check"}, "", refused, 1}, {{"1", "m", "m"}, "", refused, 1}});
        EXPECT_EQ(fs::symlink_status(catalogue()).type(), before); // left as it was
    }
    fs::remove(catalogue());
#ifdef _WIN32
    // The system's devices are refused by name, without being read.
    for (const char* device : {"NUL", "CON", "COM1"}) {
        const auto refused = ::testing::AllOf(error(device), HasSubstr("device"));
        expectRuns({{{"--check", device}, "", refused, 1},
                    {{"--catalogue", device, "1", "m", "m"}, "", refused, 1}});
    }
#endif
}

TEST_F(MeridalConvert, CheckWarnsOfWhatTheNextSaveWouldNotKeep)
{
    writeFile(catalogue(), "<root>\r\n"
                           "\t<config dim=\"L\" su=\"m\" eu=\"m\" sv=1/>\r\n"
                           "\t<dimension label=\"L\" baseunit=\"m\">\r\n"
                           "\t\t<unit label=\"m\" cf=1 colour=red/>\r\n"
                           "\t</dimension>\r\n"
                           "\t<dimension label=\"L\" baseunit=\"km\">\r\n"
                           "\t\t<unit label=\"  km\" cf=1000 offset=0/>\r\n"
                           "\t</dimension>\r\n"
                           "</root>\r\n<!-- notes -->");
    const std::string warning = "meridal-convert: warning: Meridal.xml line ";
    expectRuns(
        {{{"--check"},
          "ok: 1 dimension, 2 units\n",
          warning + "4: the attribute \"colour\" of the unit \"m\" is dropped by the next save\n" + warning +
              "6: a second dimension \"L\": the next save keeps one, with the base unit of this one "
              "and the units of both\n" +
              warning + "7: the white space before the label \"km\" is dropped by the next save\n" + warning +
              "10: the text after </root> is dropped by the next save\n",
          0}});
}

} // namespace
} // namespace meridal
