#include "platform/qt/profile_file.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <pwd.h>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace meridal::platform::qt {

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

std::string profileFilePath()
{
    std::string base;
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config && config[0] == '/') {
        base = config;
    } else {
        const char* home = std::getenv("HOME");
        if (!home || home[0] != '/') {
            const passwd* user = getpwuid(getuid());
            home = user ? user->pw_dir : nullptr;
        }
        if (!home || home[0] != '/')
            return {};
        base = std::string(home) + "/.config";
    }
    return base + "/meridal/win.ini";
}

bool writeProfileValue(const std::string& path, std::string_view section, std::string_view key,
                       std::string_view value)
{
    namespace fs = std::filesystem;
    std::error_code error;
    fs::path target(path);
    // A link is followed: the file it names is the one replaced.
    if (fs::is_symlink(target, error)) {
        const fs::path resolved = fs::weakly_canonical(target, error);
        if (error)
            return false;
        target = resolved;
    }
    fs::create_directories(target.parent_path(), error);
    if (error)
        return false;

    std::string text;
    mode_t mode = 0644;
    struct stat status {};
    if (::stat(target.c_str(), &status) == 0) {
        if (!S_ISREG(status.st_mode))
            return false;
        mode = status.st_mode & 07777;
        std::ifstream in(target, std::ios::binary);
        if (!in)
            return false;
        std::ostringstream content;
        content << in.rdbuf();
        if (in.bad())
            return false;
        text = std::move(content).str();
    } else if (errno != ENOENT) {
        return false;
    }

    const std::string updated = withProfileValue(text, section, key, value);
    std::string temporary = target.string() + ".XXXXXX";
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0)
        return false;
    bool written = ::fchmod(fd, mode) == 0;
    for (std::size_t done = 0; written && done < updated.size();) {
        const ssize_t n = ::write(fd, updated.data() + done, updated.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        written = n > 0;
        if (written)
            done += static_cast<std::size_t>(n);
    }
    written = written && ::fsync(fd) == 0;
    written = ::close(fd) == 0 && written;
    if (!written || ::rename(temporary.c_str(), target.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    return true;
}

} // namespace meridal::platform::qt
