// SPDX-License-Identifier: GPL-3.0-or-later
// Writes arbitrary bytes into a catalogue file and loads it the way the window does, through
// the file reader; checks that the file gives what the same bytes give in memory, and that a
// catalogue saved over the file reads back the same.
#include "tests/support/catalogue_snapshot.h"
#include "tests/support/fake_resources.h"

#include "persistence/atomic_file.h"
#include "persistence/catalogue_file.h"
#include "persistence/user_file.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

using namespace meridal;

const test::FakeResources& strings()
{
    return test::FakeResources::numbered();
}

[[noreturn]] void fail(const char* what)
{
    std::fprintf(stderr, "fuzz_catalogue_file: %s\n", what);
    std::abort();
}

// One scratch folder for the whole run, removed when the fuzzer ends.
const std::string& scratchFile()
{
    static const std::string path = [] {
        std::string pattern = (std::filesystem::temp_directory_path() / "meridal-fuzz-XXXXXX").string();
        if (!mkdtemp(pattern.data()))
            fail("cannot create a scratch folder");
        static const std::string folder = pattern;
        std::atexit([] {
            std::error_code ec;
            std::filesystem::remove_all(folder, ec);
        });
        return (std::filesystem::path(pattern) / catalogueFileName).string();
    }();
    return path;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::string& path = scratchFile();
    std::string error;
    if (!writeFileAtomically(path, bytes, error))
        fail("the scratch file cannot be written");

    const UserFileContent content = readUserFile(path);
    if (content.status != UserFileContent::Status::Ok || content.bytes != bytes)
        fail("the file does not read back as written");

    UnitCatalogue fromFile;
    const LoadResult loaded = readCatalogue(path, fromFile, strings());
    UnitCatalogue fromText;
    const LoadResult inMemory = readCatalogueText(bytes, fromText, strings());
    if (loaded.unreadable || loaded.ok != inMemory.ok || loaded.error != inMemory.error)
        fail("the file loads otherwise than its bytes in memory");
    if (!loaded.ok) {
        if (loaded.errorLine == 0 || loaded.errorColumn == 0)
            fail("a failed load does not tell where the reader stopped");
        return 0;
    }
    if (!(test::snapshotOf(fromFile) == test::snapshotOf(fromText)))
        fail("the file gives another catalogue than its bytes in memory");

    // Saved over the same file, the catalogue reads back the same.
    if (!writeCatalogue(path, fromFile, error))
        fail("a loaded catalogue cannot be saved");
    UnitCatalogue reloaded;
    if (!readCatalogue(path, reloaded, strings()).ok)
        fail("a saved catalogue does not load");
    if (!(test::snapshotOf(reloaded) == test::snapshotOf(fromFile)))
        fail("a saved catalogue loads back into another catalogue");
    return 0;
}
