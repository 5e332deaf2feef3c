// SPDX-License-Identifier: GPL-3.0-or-later
// The Linux module's own forms: texts followed by a NUL, the exported lookup, and the help
// targets as file:// URLs of the guide.
#include "tests/resources/loaded_module.h"

#include "resources/resource_ids.h"
#include "resources/resource_module.h"
#include "resources/tessary_res.h"

#include <dlfcn.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <utility>

namespace meridal {
namespace {

using test::loadedModule;

// The module's exported lookup, found with the system's own loader rather than the
// program's, from the test program's folder.
class RawModule {
  public:
    RawModule()
    {
        const auto path = std::filesystem::read_symlink("/proc/self/exe").parent_path() / "TessaryRes.dll";
        m_handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (m_handle)
            m_lookup = reinterpret_cast<TessaryFindResourceFn>(dlsym(m_handle, TESSARY_FIND_RESOURCE_SYMBOL));
    }
    ~RawModule()
    {
        if (m_handle)
            dlclose(m_handle);
    }
    RawModule(const RawModule&) = delete;
    RawModule& operator=(const RawModule&) = delete;

    TessaryFindResourceFn lookup() const { return m_lookup; }

  private:
    void* m_handle = nullptr;
    TessaryFindResourceFn m_lookup = nullptr;
};

TEST(LinuxModule, TextResourcesArePresentAndFollowedByAnUncountedNul)
{
    // Every layout and menu the program asks for, and the default catalogue.
    const std::pair<unsigned, unsigned> texts[] = {
        {res::typeDialog, res::dialogConverter}, {res::typeMenu, res::menuConverterBar},
        {res::typeMenu, res::menuDimension},     {res::typeMenu, res::menuUnit},
        {res::typeMenu, res::menuLog},           {res::typeHtml, res::htmlDefaultCatalogue}};
    for (const auto& [type, id] : texts) {
        auto data = loadedModule().find(type, id);
        ASSERT_TRUE(data && !data->empty()) << id;
        EXPECT_EQ(data->data()[data->size()], '\0') << id;
    }
}

TEST(LinuxModule, ExportedLookupLeavesSizeAloneWhenAbsentAndAcceptsNoSize)
{
    const RawModule module;
    const TessaryFindResourceFn lookup = module.lookup();
    ASSERT_NE(lookup, nullptr);
    std::size_t size = 12345;
    EXPECT_EQ(lookup(res::typeString, 220, &size), nullptr);
    EXPECT_EQ(size, 12345u);
    EXPECT_STREQ(reinterpret_cast<const char*>(lookup(res::typeString, res::strDefaultInput, nullptr)), "1");
}

TEST(LinuxModule, AnEmptyStringIsPresentAndEmptiesTheCallersText)
{
    std::string text = "what the caller held";
    EXPECT_TRUE(loadedModule().loadString(res::strTipBase, text));
    EXPECT_EQ(text, "");
}

// A file:// URL's path, percent-escapes decoded.
std::string filePath(const std::string& url)
{
    std::string path;
    for (std::size_t i = 7; i < url.size(); ++i) {
        if (url[i] == '%' && i + 2 < url.size()) {
            path += static_cast<char>(std::stoi(url.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            path += url[i];
        }
    }
    return path;
}

// The targets are web addresses, or pages of the user guide that the build tree holds.
TEST(LinuxModule, ShellTargetsAreWebAddressesOrPagesOfTheGuide)
{
    for (unsigned id = res::strTargetFirst; id <= res::strTargetLast; ++id) {
        const std::string s = loadedModule().string(id);
        EXPECT_EQ(s.find_first_of(" \t\n\"<>"), std::string::npos) << s;
        if (s.rfind("file:///", 0) == 0)
            EXPECT_TRUE(std::filesystem::is_regular_file(filePath(s))) << s;
        else
            EXPECT_EQ(s.rfind("https://", 0), 0u) << s;
    }
}

} // namespace
} // namespace meridal
