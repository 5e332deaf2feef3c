// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

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

// The resource module loaded from "TessaryRes.dll". The library stays loaded for the life of
// the process, as the program never unloads its resources.
//
// What `find` gives for each type (the numbers of resource_ids.h):
//   string   Windows-1252 bytes, followed by a NUL that the size does not count, on both
//            systems. On Windows the module holds UTF-16 (read with LoadStringW, never through
//            the process's ANSI code page) and each string is converted once and kept. A
//            string table cannot hold an empty string: on Windows an empty one is missing.
//   html     the default catalogue: the same Windows-1252 bytes with LF line ends on both
//            systems (followed by a NUL on Linux only).
//   dialog, menu, bitmap, icon, cursor: on Linux the module's own forms (tessary_res.h: a
//            Qt Designer layout, a menu as text, a BMP file, PNG images); on Windows the
//            system's resources as they lie in the module, which the Win32 window hands to
//            the system: a DLGTEMPLATEEX, a MENU template, a BITMAPINFOHEADER and its bits (no
//            file header), and for an icon or a cursor the group directory (RT_GROUP_ICON,
//            RT_GROUP_CURSOR) that names its images; LoadImageW reads those by number.
// The data stays valid for as long as the module is loaded.
class ResourceModule final : public Resources {
  public:
    // Loads the library from the program's own folder (Linux: the folder of /proc/self/exe;
    // Windows: of the program's file) by its full path, never through the library search path;
    // a name with a folder part is loaded as given. nullptr when it cannot be loaded or is no
    // resource module (Linux: it lacks the lookup; Windows: it lacks the default catalogue).
    static std::unique_ptr<ResourceModule> load(const char* libraryName = "TessaryRes.dll");

    ~ResourceModule() override;
    ResourceModule(const ResourceModule&) = delete;
    ResourceModule& operator=(const ResourceModule&) = delete;

    std::optional<std::string_view> find(unsigned type, unsigned id) const override;

  private:
    // What the system's loader keeps of the module (module_loader.cpp of each system).
    struct System;
    explicit ResourceModule(std::unique_ptr<System> system);
    std::unique_ptr<System> m_system;
};

// Formats a string-table text that takes exactly one text argument (its single "%s").
std::string formatWithArgument(std::string_view format, std::string_view argument);

} // namespace meridal
