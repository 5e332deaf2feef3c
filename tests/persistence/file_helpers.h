// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "tests/support/temp_folder.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

// Files for the tests of the file layer, on Linux and on Windows. Paths are UTF-8, as the
// program's own are; the system's functions get them through std::filesystem::path.
namespace meridal::test {

inline std::filesystem::path pathOf(const std::string& utf8)
{
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

inline std::string utf8Of(const std::filesystem::path& path)
{
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

// A fresh, empty folder for one test, removed with everything in it afterwards.
class TempDir {
  public:
    TempDir() : m_path(makeTempFolder("meridal-test")) {}
    ~TempDir() { removeTempFolder(m_path); }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    // The UTF-8 path of `name` inside the folder.
    std::string file(const std::string& name) const { return utf8Of(m_path / pathOf(name)); }
    const std::filesystem::path& path() const { return m_path; }
    // For checking that nothing was left behind.
    std::size_t entryCount() const
    {
        auto it = std::filesystem::directory_iterator(m_path);
        return static_cast<std::size_t>(std::distance(it, std::filesystem::directory_iterator()));
    }

  private:
    std::filesystem::path m_path;
};

inline void writeBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream(pathOf(path), std::ios::binary | std::ios::trunc) << bytes;
}

inline std::string readBytes(const std::string& path)
{
    std::ifstream in(pathOf(path), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Takes the owner's write permission away (on Windows: sets the read-only attribute).
inline void makeReadOnly(const std::string& path)
{
    namespace fs = std::filesystem;
    fs::permissions(pathOf(path), fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
}

} // namespace meridal::test
