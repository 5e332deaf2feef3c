#pragma once

#include "resources/tessary_res.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace meridal {

// The program's view of its resources: strings and data by type and number.
// The loaded "TessaryRes.dll" is one implementation; tests substitute their own.
class Resources {
  public:
    virtual ~Resources() = default;

    // The bytes of a resource, or nullopt when the module has none.
    virtual std::optional<std::string_view> find(unsigned type, unsigned id) const = 0;

    // Looks string `id` up and stores it in `text`; when the module has no such string,
    // `text` keeps what it held and the result is false.
    bool loadString(unsigned id, std::string& text) const;

    // String `id`, or the empty text when absent.
    std::string string(unsigned id) const;
};

// The resource module loaded from a shared library. The library stays loaded for the
// life of the process, as the program never unloads its resources.
class ResourceModule final : public Resources {
  public:
    // Loads the library from the program's own folder (the folder of /proc/self/exe) by its
    // full path, never through the library search path; a name with a "/" is loaded as
    // given. nullptr when it cannot be loaded or lacks the lookup.
    static std::unique_ptr<ResourceModule> load(const char* libraryName = "TessaryRes.dll");

    std::optional<std::string_view> find(unsigned type, unsigned id) const override;

  private:
    explicit ResourceModule(TessaryFindResourceFn lookup) : m_lookup(lookup) {}
    TessaryFindResourceFn m_lookup;
};

// Formats a string-table text that takes exactly one text argument (its single "%s").
std::string formatWithArgument(std::string_view format, std::string_view argument);

} // namespace meridal
