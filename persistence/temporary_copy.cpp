// SPDX-License-Identifier: GPL-3.0-or-later
#include "persistence/temporary_copy.h"

#include <algorithm>

namespace meridal {

namespace {

bool allDigits(std::string_view text)
{
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

} // namespace

std::string temporaryCopyPrefix(std::string_view fileName)
{
    return std::string(fileName) + ".tmp-";
}

std::string temporaryCopyName(std::string_view fileName, std::string_view host, std::uint64_t process,
                              std::uint64_t number)
{
    return temporaryCopyPrefix(fileName) + std::string(host) + "-" + std::to_string(process) + "-" +
           std::to_string(number);
}

std::optional<std::uint64_t> temporaryCopyWriter(std::string_view name, std::string_view fileName,
                                                 std::string_view host)
{
    const std::string prefix = temporaryCopyPrefix(fileName);
    if (name.substr(0, prefix.size()) != prefix)
        return std::nullopt;
    // Host, process and number, read from the right: a host name may hold "-".
    const std::string_view rest = name.substr(prefix.size());
    const std::size_t numberDash = rest.rfind('-');
    if (numberDash == std::string_view::npos || numberDash == 0)
        return std::nullopt;
    const std::size_t processDash = rest.rfind('-', numberDash - 1);
    if (processDash == std::string_view::npos)
        return std::nullopt;
    const std::string_view process = rest.substr(processDash + 1, numberDash - processDash - 1);
    // Ten digits hold every process number of either system.
    if (rest.substr(0, processDash) != host || !allDigits(process) || process.size() > 10 ||
        !allDigits(rest.substr(numberDash + 1)))
        return std::nullopt;
    return std::stoull(std::string(process));
}

std::string hostNameForFiles(std::string host)
{
    std::replace(host.begin(), host.end(), '/', '_');
    std::replace(host.begin(), host.end(), '\\', '_');
    return host;
}

} // namespace meridal
