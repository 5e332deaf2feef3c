// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <random>
#include <stdexcept>
#include <string>
#include <system_error>

namespace meridal::test {

// A new, empty folder of its own under the system's temporary folder, on Linux and on
// Windows: "<prefix>-" and a random name, made only when nobody has it yet.
inline std::filesystem::path makeTempFolder(const std::string& prefix)
{
    static std::mt19937_64 random{std::random_device{}()};
    const auto base = std::filesystem::temp_directory_path();
    for (int attempt = 0; attempt < 100; ++attempt) {
        const auto folder = base / (prefix + "-" + std::to_string(random()));
        if (std::filesystem::create_directory(folder))
            return folder;
    }
    throw std::runtime_error("no temporary folder could be made for " + prefix);
}

// Removes a folder made by makeTempFolder with everything in it, whatever a test left there:
// files and folders without their owner's write permission (on Windows: the read-only
// attribute, which would stop the removal) get it back first. Links are not followed.
inline void removeTempFolder(const std::filesystem::path& folder)
{
    namespace fs = std::filesystem;
    std::error_code ec;
    const auto writable = [](const fs::path& path) {
        std::error_code ignored;
        if (!fs::is_symlink(path, ignored))
            fs::permissions(path, fs::perms::owner_all, fs::perm_options::add, ignored);
    };
    writable(folder);
    for (fs::recursive_directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
        writable(it->path());
    fs::remove_all(folder, ec);
}

} // namespace meridal::test
