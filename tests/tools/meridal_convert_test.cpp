#include "tests/resources/loaded_module.h"

#include "catalogue/unit_catalogue.h"
#include "catalogue/windows1252.h"
#include "persistence/catalogue_file.h"
#include "resources/resource_ids.h"
#include "resources/resource_module.h"

#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <optional>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace meridal {
namespace {

namespace fs = std::filesystem;

struct RunResult {
    std::string out, err;
    int status = -1;
};

std::string readFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void writeFile(const fs::path& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

// Runs `program` with `args` in the folder `cwd`; its output is caught in files of `scratch`.
RunResult runProgram(const std::string& program, const std::vector<std::string>& args, const fs::path& cwd,
                     const fs::path& scratch)
{
    const fs::path outPath = scratch / "stdout", errPath = scratch / "stderr";
    const pid_t pid = fork();
    if (pid == 0) {
        const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (out < 0 || err < 0 || dup2(out, 1) < 0 || dup2(err, 2) < 0 || chdir(cwd.c_str()) != 0)
            _exit(127);
        std::vector<char*> argv{const_cast<char*>(program.c_str())};
        for (const auto& arg : args)
            argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    int status = 0;
    const bool exited = pid > 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status);
    return {readFile(outPath), readFile(errPath), exited ? WEXITSTATUS(status) : -1};
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

class MeridalConvert : public ::testing::Test {
  protected:
    void SetUp() override
    {
        m_root = fs::temp_directory_path() / ("meridal-convert-" + std::to_string(getpid()));
        fs::remove_all(m_root);
        fs::create_directories(m_root / "work");
        fs::create_directories(m_root / "scratch");
    }
    void TearDown() override
    {
        std::error_code ec;
        fs::permissions(work() / "Meridal.xml", fs::perms::owner_all, ec);
        fs::remove_all(m_root, ec);
    }

    fs::path work() const { return m_root / "work"; }
    void writeCatalogue(const std::string& bytes) { writeFile(work() / "Meridal.xml", bytes); }
    RunResult run(const std::vector<std::string>& args)
    {
        return runProgram(MERIDAL_CONVERT_PROGRAM, args, work(), m_root / "scratch");
    }
    auto filesInWork() const
    {
        return std::distance(fs::directory_iterator(work()), fs::directory_iterator());
    }

    fs::path m_root;
};

struct Case {
    std::vector<std::string> args;
    std::optional<std::string> out; // exact stdout, when given
    std::string errPart;            // a part of stderr; empty: stderr must be empty
    int status;
};

TEST_F(MeridalConvert, ConvertsListsAndRefusesAsDocumented)
{
    writeCatalogue(sampleCatalogue);
    const std::vector<Case> cases = {
        {{"12", "in", "ft"}, "1.000000\n", "", 0},
        {{"-e", "12", "in", "ft"}, "1.000000e+000\n", "", 0},
        {{"0.0000001", "m", "m", "--scientific"}, "1.000000e-007\n", "", 0},
        {{"-3", "m", "in"}, "-118.110236\n", "", 0},
        {{"--", "-3", "m", "in"}, "-118.110236\n", "", 0},
        {{"-e5", "m", "m"}, "-5.000000\n", "", 0},
        {{"-.5", "m", "m"}, "-0.500000\n", "", 0},
        {{"1.5-2", "m", "m"}, "1.500000\n", "", 0},
        {{"1,234.5 kg", "m", "m"}, "1234.500000\n", "", 0},
        {{"-", "m", "m"}, "0.000000\n", "", 0},
        {{"100", "°C", "°F"}, "212.000000\n", "", 0},
        {{"abc", "m", "m"}, "", "holds no number", 2},
        {{"12", "in", "parsec"}, "", "no unit is labelled \"parsec\"", 1},
        {{"12", "IN", "ft"}, "", "no unit is labelled \"IN\"", 1},
        {{"12", "in", "kg"}, "", "\"kg\" is a unit of \"Mass\", not of \"Length\"", 1},
        {{"12", "in", "\xE2\x86\x92"}, "", "Windows-1252 cannot hold", 1},
        {{"12", "in", "\xFF"}, "", "Windows-1252 cannot hold", 1},
        {{"--list"}, "Mass\nLength\nTemperature\n", "", 0},
        {{"--list", "Length"}, "in\nm\nft\n", "", 0},
        {{"--list", moduleString(res::strAllUnits)}, "g\nkg\nin\nm\nft\nK\n°C\n°F\n", "", 0},
        {{"--list", "Volume"}, "", "no dimension is labelled \"Volume\"", 1},
        {{"--check"}, "ok: 3 dimensions, 8 units\n", "", 0},
        {{"--version"}, "meridal-convert " MERIDAL_VERSION "\n", "", 0},
        {{"--help"}, std::nullopt, "", 0},
        {{}, "", "expected VALUE FROM TO", 2},
        {{"12", "in", "ft", "m"}, "", "expected VALUE FROM TO", 2},
        {{"--bogus", "12", "in", "ft"}, "", "unknown option --bogus", 2},
        {{"--catalogue"}, "", "--catalogue needs a FILE", 2},
        {{"--list", "--check"}, "", "cannot be used together", 2},
        {{"--list", "Length", "Mass"}, "", "one DIMENSION at most", 2},
    };
    for (const auto& c : cases) {
        std::string call;
        for (const auto& arg : c.args)
            call += " " + arg;
        SCOPED_TRACE("meridal-convert" + call);
        const RunResult r = run(c.args);
        EXPECT_EQ(r.status, c.status);
        if (c.out) {
            EXPECT_EQ(r.out, *c.out);
        }
        if (c.errPart.empty()) {
            EXPECT_EQ(r.err, "");
        } else {
            EXPECT_NE(r.err.find(c.errPart), std::string::npos) << r.err;
            EXPECT_EQ(r.err.rfind("meridal-convert: ", 0), 0u) << r.err;
        }
    }
    EXPECT_EQ(readFile(work() / "Meridal.xml"), sampleCatalogue); // never written
    EXPECT_EQ(filesInWork(), 1);
}

TEST_F(MeridalConvert, CatalogueOptionReadsAnotherFile)
{
    const std::string other = (m_root / "scratch" / "other.xml").string();
    writeFile(other, "<root><dimension label=\"Speed\" baseunit=\"m/s\"><unit label=\"m/s\" cf=1 offset=0/>"
                     "<unit label=\"km/h\" cf=0.2777777777777778 offset=0/></dimension></root>");
    RunResult r = run({"--catalogue", other, "36", "km/h", "m/s"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "10.000000\n");
    EXPECT_EQ(run({"--catalogue=" + other, "--list"}).out, "Speed\n");
    EXPECT_EQ(run({"--check", other}).out, "ok: 1 dimension, 2 units\n");

    r = run({"--catalogue", "missing.xml", "1", "m", "m"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "1.000000\n");
    EXPECT_EQ(r.err, "meridal-convert: missing.xml does not exist; using the default catalogue\n");
    EXPECT_EQ(filesInWork(), 0);
}

TEST_F(MeridalConvert, BrokenCatalogueGivesTheLoadersMessage)
{
    for (const std::string& bytes :
         {std::string("just text, no tags"),
          std::string("<root><dimension label=\"L\" baseunit=\"m\"><unit cf=1 offset=0 x=1/></root>")}) {
        SCOPED_TRACE(bytes);
        writeCatalogue(bytes);
        const std::string expected =
            "meridal-convert: " +
            moduleString(bytes.front() == '<' ? res::strUnitWithoutLabel : res::strReaderExpectedTag) + "\n";
        for (const RunResult& r : {run({"--check"}), run({"1", "m", "m"})}) {
            EXPECT_EQ(r.status, 1);
            EXPECT_EQ(r.out, "");
            EXPECT_EQ(r.err, expected);
        }
        EXPECT_EQ(readFile(work() / "Meridal.xml"), bytes);
    }
}

TEST_F(MeridalConvert, ReadOnlyCatalogueWarnsAndLoadsUnreadableOneChecksAsEmpty)
{
    writeCatalogue(sampleCatalogue);
    fs::permissions(work() / "Meridal.xml", fs::perms::owner_read);
    RunResult r = run({"--check"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "ok: 3 dimensions, 8 units\n");
    EXPECT_NE(r.err.find(moduleString(res::strCatalogueReadOnly)), std::string::npos) << r.err;

    fs::permissions(work() / "Meridal.xml", fs::perms::owner_all);
    fs::remove(work() / "Meridal.xml");
    fs::create_directory(work() / "Meridal.xml"); // exists, but cannot be read as a file
    r = run({"--check"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.rfind("ok: 0 dimensions, 0 units", 0), 0u) << r.out;
}

TEST_F(MeridalConvert, MissingCatalogueUsesTheDefaultAndCreatesNothing)
{
    UnitCatalogue defaults;
    const Resources& module = test::loadedModule();
    ASSERT_TRUE(readCatalogueText(std::string(defaultCatalogueText(module)), defaults, module).ok);
    std::string expected;
    for (const auto& label : defaults.dimensionLabels())
        expected += windows1252ToUtf8(label) + "\n";
    EXPECT_EQ(run({"--list"}).out, expected);

    const std::string ok = "ok: " + std::to_string(defaults.dimensions().size()) + " dimensions, " +
                           std::to_string(defaults.unitCount()) + " units (Meridal.xml does not exist";
    const RunResult r = run({"--check"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.rfind(ok, 0), 0u) << r.out;
    EXPECT_EQ(filesInWork(), 0);
}

TEST_F(MeridalConvert, WithoutTheResourceModuleItStops)
{
    // A copy of the program in a folder without TessaryRes.dll.
    const fs::path alone = m_root / "scratch" / "meridal-convert";
    fs::copy_file(MERIDAL_CONVERT_PROGRAM, alone);
    writeCatalogue(sampleCatalogue);
    const RunResult r = runProgram(alone.string(), {"12", "in", "ft"}, work(), m_root / "scratch");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "meridal-convert: Could not find TessaryRes.dll\n");
}

} // namespace
} // namespace meridal
