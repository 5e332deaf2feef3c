#include "persistence/user_file.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

namespace meridal {

UserFileContent readUserFile(const std::string& path, std::size_t limit)
{
    UserFileContent content;
    std::error_code ec;
    const auto status = std::filesystem::status(path, ec);
    if (ec || !std::filesystem::exists(status)) {
        content.status = UserFileContent::Status::Missing;
        return content;
    }
    if (!std::filesystem::is_regular_file(status)) {
        content.status = UserFileContent::Status::NotRegular;
        content.reason = "not a regular file";
        return content;
    }
    const auto size = std::filesystem::file_size(path, ec);
    if (!ec && size > limit) {
        content.status = UserFileContent::Status::TooLarge;
        content.reason = "larger than " + std::to_string(limit >> 20) + " MB";
        return content;
    }
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        content.status = UserFileContent::Status::Unreadable;
        content.reason = std::generic_category().message(errno);
        return content;
    }
    if (!ec)
        content.bytes.reserve(static_cast<std::size_t>(size));
    char buffer[65536];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        content.bytes.append(buffer, got);
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) {
        content.status = UserFileContent::Status::Unreadable;
        content.bytes.clear();
        content.reason = "read error";
        return content;
    }
    content.status = UserFileContent::Status::Ok;
    return content;
}

} // namespace meridal
