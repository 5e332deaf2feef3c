// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt/menu_resource.h"

#include <charconv>

namespace meridal::platform::qt {

namespace {

std::vector<std::string_view> splitFields(std::string_view line)
{
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    while (true) {
        const std::size_t tab = line.find('\t', start);
        fields.push_back(
            line.substr(start, tab == std::string_view::npos ? std::string_view::npos : tab - start));
        if (tab == std::string_view::npos)
            return fields;
        start = tab + 1;
    }
}

void readFlags(std::string_view flags, MenuEntry& item)
{
    std::size_t start = 0;
    while (start < flags.size()) {
        std::size_t end = flags.find_first_of(", ", start);
        if (end == std::string_view::npos)
            end = flags.size();
        const std::string_view flag = flags.substr(start, end - start);
        if (flag == "checkable")
            item.checkable = true;
        else if (flag == "checked")
            item.checkable = item.checked = true;
        start = end + 1;
    }
}

} // namespace

std::vector<MenuEntry> parseMenuResource(std::string_view text)
{
    std::vector<MenuEntry> top;
    std::vector<MenuEntry*> open; // the innermost open POPUP last
    auto current = [&]() -> std::vector<MenuEntry>& { return open.empty() ? top : open.back()->children; };

    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = text.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);

        const auto fields = splitFields(line);
        const std::string_view keyword = fields[0];
        if (keyword == "POPUP" && fields.size() >= 2) {
            MenuEntry popup;
            popup.kind = MenuEntry::Kind::Popup;
            popup.text = std::string(fields[1]);
            auto& siblings = current();
            siblings.push_back(std::move(popup));
            open.push_back(&siblings.back());
        } else if (keyword == "ITEM" && fields.size() >= 3 && !open.empty()) {
            MenuEntry item;
            const std::string_view id = fields[1];
            if (std::from_chars(id.data(), id.data() + id.size(), item.id).ec != std::errc())
                continue;
            item.text = std::string(fields[2]);
            if (fields.size() >= 4)
                item.shortcut = std::string(fields[3]);
            if (fields.size() >= 5)
                readFlags(fields[4], item);
            current().push_back(std::move(item));
        } else if (keyword == "SEPARATOR" && !open.empty()) {
            MenuEntry separator;
            separator.kind = MenuEntry::Kind::Separator;
            current().push_back(std::move(separator));
        } else if (keyword == "END" && !open.empty()) {
            open.pop_back();
        }
    }
    return top;
}

} // namespace meridal::platform::qt
