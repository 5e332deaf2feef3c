#pragma once

#include <filesystem>
#include <random>
#include <stdexcept>
#include <string>

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

} // namespace meridal::test
