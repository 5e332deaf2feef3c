// SPDX-License-Identifier: GPL-3.0-or-later
// Feeds arbitrary bytes to the markup reader and the catalogue loader, and checks that
// whatever loads is saved in a form that loads back into the same catalogue.
#include "tests/support/catalogue_snapshot.h"
#include "tests/support/fake_resources.h"

#include "persistence/catalogue_file.h"
#include "persistence/markup_reader.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

namespace {

using namespace meridal;

const test::FakeResources& strings()
{
    return test::FakeResources::numbered();
}

[[noreturn]] void fail(const char* what)
{
    std::fprintf(stderr, "fuzz_catalogue: %s\n", what);
    std::abort();
}

void readEveryTag(const std::string& text)
{
    MarkupReader reader = MarkupReader::fromText(text, strings());
    for (std::size_t i = 0; i <= text.size(); ++i) {
        try {
            auto element = reader.readElement();
            if (!element || reader.isAtEnd())
                fail("a tag was read but the reader says it is at its end");
        } catch (const MarkupError&) {
            return;
        }
    }
    fail("the reader returned more tags than the input has characters");
}

void checkLoadAndSave(const std::string& text)
{
    static const std::set<std::string> messages = {"S219", "S234", "S236", "S237", "S238",
                                                   "S239", "S240", "S241", "S249", "S250"};
    UnitCatalogue catalogue;
    LoadResult result = readCatalogueText(text, catalogue, strings());
    if (!result.ok) {
        if (!messages.count(result.error))
            fail("a failed load has no known message");
        if (!catalogue.dimensions().empty() || catalogue.config())
            fail("a failed load left something in the catalogue");
        return;
    }

    const std::string first = catalogueBytes(catalogue);
    UnitCatalogue reloaded;
    if (!readCatalogueText(first, reloaded, strings()).ok)
        fail("a saved catalogue does not load");
    if (!(test::snapshotOf(reloaded) == test::snapshotOf(catalogue)))
        fail("a saved catalogue loads back into another catalogue");

    // Loading turns the order of dimensions within a table bucket round; twice turns it back.
    const std::string second = catalogueBytes(reloaded);
    UnitCatalogue third;
    if (!readCatalogueText(second, third, strings()).ok)
        fail("a catalogue saved twice does not load");
    if (catalogueBytes(third) != first)
        fail("saving, loading and saving again changes the file");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    readEveryTag(text);
    checkLoadAndSave(text);
    return 0;
}
