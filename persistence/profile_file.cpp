// SPDX-License-Identifier: GPL-3.0-or-later
#include "persistence/profile_file.h"

#include "persistence/atomic_file.h"
#include "persistence/user_file.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <vector>

namespace meridal {

namespace {

std::string_view trimmed(std::string_view text)
{
    const auto space = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!text.empty() && space(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && space(text.back()))
        text.remove_suffix(1);
    return text;
}

bool equalIgnoringCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i]))
            return false;
    }
    return true;
}

// Whether `line` opens a section ("[name]"), and its name.
bool sectionOf(std::string_view line, std::string_view& name)
{
    line = trimmed(line);
    if (line.size() < 2 || line.front() != '[' || line.back() != ']')
        return false;
    name = trimmed(line.substr(1, line.size() - 2));
    return true;
}

bool isKeyLine(std::string_view line, std::string_view key)
{
    const std::size_t equals = line.find('=');
    return equals != std::string_view::npos && equalIgnoringCase(trimmed(line.substr(0, equals)), key);
}

} // namespace

std::string withProfileValue(std::string_view text, std::string_view section, std::string_view key,
                             std::string_view value)
{
    // Lines without their LF; a CR before it stays part of the line, and the lines added
    // follow the file's own line ends.
    std::vector<std::string> lines;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        lines.emplace_back(text.substr(start, end - start));
        start = end + 1;
    }
    const std::string cr = text.find("\r\n") != std::string_view::npos ? "\r" : "";
    const std::string setting = std::string(key) + "=" + std::string(value);

    std::string_view name;
    std::size_t header = 0;
    while (header < lines.size() && !(sectionOf(lines[header], name) && equalIgnoringCase(name, section)))
        ++header;
    if (header == lines.size()) {
        if (!lines.empty() && !trimmed(lines.back()).empty())
            lines.push_back(cr);
        lines.push_back("[" + std::string(section) + "]" + cr);
        lines.push_back(setting + cr);
    } else {
        std::size_t insertAt = header + 1;
        std::size_t i = header + 1;
        for (; i < lines.size() && !sectionOf(lines[i], name); ++i) {
            if (isKeyLine(lines[i], key)) {
                lines[i] = setting + (lines[i].ends_with('\r') ? "\r" : "");
                break;
            }
            if (!trimmed(lines[i]).empty())
                insertAt = i + 1;
        }
        if (i == lines.size() || sectionOf(lines[i], name))
            lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(insertAt), setting + cr);
    }
    std::string out;
    for (const std::string& line : lines)
        out += line + "\n";
    return out;
}

bool writeProfileValue(const std::string& path, std::string_view section, std::string_view key,
                       std::string_view value)
{
    const UserFileContent content = readUserFile(path, maxProfileFileBytes);
    std::string error;
    switch (content.status) {
    case UserFileContent::Status::Ok: {
        const std::string updated = withProfileValue(content.bytes, section, key, value);
        return updated == content.bytes || writeFileAtomically(path, updated, error);
    }
    case UserFileContent::Status::Missing: {
        // The path is UTF-8 on every system; a narrow path would be read in the ANSI code
        // page on Windows.
        std::error_code ignored;
        const std::filesystem::path file(std::u8string(path.begin(), path.end()));
        std::filesystem::create_directories(file.parent_path(), ignored);
        return createFile(path, withProfileValue({}, section, key, value), error);
    }
    case UserFileContent::Status::NotRegular:
    case UserFileContent::Status::TooLarge:
    case UserFileContent::Status::Unreadable:
        break;
    }
    return false;
}

} // namespace meridal
