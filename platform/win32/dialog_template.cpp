// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/win32/dialog_template.h"

#include <cstring>

namespace meridal::platform::win32 {

namespace {

constexpr std::uint32_t dsSetFont = 0x40; // DS_SETFONT; DS_SHELLFONT includes it

// Reads little-endian fields in order; any read past the end marks the reader failed.
class Reader {
  public:
    explicit Reader(std::string_view bytes) : m_bytes(bytes) {}

    bool failed() const { return m_failed; }

    template <typename T> T read()
    {
        T value{};
        if (m_at + sizeof(T) > m_bytes.size()) {
            m_failed = true;
            m_at = m_bytes.size();
            return value;
        }
        std::memcpy(&value, m_bytes.data() + m_at, sizeof(T));
        m_at += sizeof(T);
        return value;
    }

    std::u16string readText()
    {
        std::u16string text;
        while (!m_failed) {
            const auto unit = read<char16_t>();
            if (unit == 0 || m_failed)
                break;
            text += unit;
        }
        return text;
    }

    NameOrOrdinal readNameOrOrdinal()
    {
        NameOrOrdinal value;
        const auto first = read<std::uint16_t>();
        if (first == 0xFFFF) {
            value.ordinal = read<std::uint16_t>();
        } else if (first != 0) {
            value.name = static_cast<char16_t>(first);
            value.name += readText();
        }
        return value;
    }

    std::string readBytes(std::size_t count)
    {
        if (m_at + count > m_bytes.size()) {
            m_failed = true;
            m_at = m_bytes.size();
            return {};
        }
        std::string bytes(m_bytes.substr(m_at, count));
        m_at += count;
        return bytes;
    }

    void alignTo4() { m_at = (m_at + 3) & ~std::size_t{3}; }

  private:
    std::string_view m_bytes;
    std::size_t m_at = 0;
    bool m_failed = false;
};

class Writer {
  public:
    template <typename T> void write(T value)
    {
        const auto* bytes = reinterpret_cast<const char*>(&value);
        m_bytes.append(bytes, sizeof(T));
    }

    void writeText(const std::u16string& text)
    {
        for (const char16_t unit : text)
            write(unit);
        write(char16_t{0});
    }

    void writeNameOrOrdinal(const NameOrOrdinal& value)
    {
        if (value.ordinal != 0) {
            write(std::uint16_t{0xFFFF});
            write(value.ordinal);
        } else {
            writeText(value.name);
        }
    }

    void writeBytes(const std::string& bytes) { m_bytes += bytes; }

    void alignTo4()
    {
        while (m_bytes.size() % 4 != 0)
            m_bytes += '\0';
    }

    std::vector<std::uint32_t> words()
    {
        alignTo4();
        std::vector<std::uint32_t> words(m_bytes.size() / 4);
        std::memcpy(words.data(), m_bytes.data(), m_bytes.size());
        return words;
    }

  private:
    std::string m_bytes;
};

bool equalsIgnoringAsciiCase(const std::u16string& text, std::string_view name)
{
    if (text.size() != name.size())
        return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char16_t a = text[i];
        char b = name[i];
        if (a >= u'A' && a <= u'Z')
            a = static_cast<char16_t>(a - u'A' + u'a');
        if (b >= 'A' && b <= 'Z')
            b = static_cast<char>(b - 'A' + 'a');
        if (a != static_cast<char16_t>(b))
            return false;
    }
    return true;
}

} // namespace

ControlKind DialogItem::kind() const
{
    // The predefined classes by their atoms (0x80 to 0x85), or by name.
    static constexpr struct {
        std::uint16_t atom;
        std::string_view name;
        ControlKind kind;
    } classes[] = {
        {0x80, "Button", ControlKind::Button},       {0x81, "Edit", ControlKind::Edit},
        {0x82, "Static", ControlKind::Static},       {0x83, "ListBox", ControlKind::ListBox},
        {0x84, "ScrollBar", ControlKind::ScrollBar}, {0x85, "ComboBox", ControlKind::ComboBox},
    };
    for (const auto& known : classes) {
        if (windowClass.ordinal == known.atom ||
            (windowClass.ordinal == 0 && equalsIgnoringAsciiCase(windowClass.name, known.name)))
            return known.kind;
    }
    return ControlKind::Other;
}

std::optional<DialogTemplate> readDialogTemplate(std::string_view bytes)
{
    Reader in(bytes);
    const auto version = in.read<std::uint16_t>();
    const auto signature = in.read<std::uint16_t>();
    if (in.failed() || version != 1 || signature != 0xFFFF)
        return std::nullopt;

    DialogTemplate dialog;
    dialog.helpId = in.read<std::uint32_t>();
    dialog.exStyle = in.read<std::uint32_t>();
    dialog.style = in.read<std::uint32_t>();
    const auto count = in.read<std::uint16_t>();
    dialog.x = in.read<std::int16_t>();
    dialog.y = in.read<std::int16_t>();
    dialog.cx = in.read<std::int16_t>();
    dialog.cy = in.read<std::int16_t>();
    dialog.menu = in.readNameOrOrdinal();
    dialog.windowClass = in.readNameOrOrdinal();
    dialog.title = in.readText();
    if (dialog.style & dsSetFont) {
        dialog.pointSize = in.read<std::uint16_t>();
        dialog.weight = in.read<std::uint16_t>();
        dialog.italic = in.read<std::uint8_t>();
        dialog.charset = in.read<std::uint8_t>();
        dialog.typeface = in.readText();
    }
    for (unsigned i = 0; i < count && !in.failed(); ++i) {
        in.alignTo4();
        DialogItem item;
        item.helpId = in.read<std::uint32_t>();
        item.exStyle = in.read<std::uint32_t>();
        item.style = in.read<std::uint32_t>();
        item.x = in.read<std::int16_t>();
        item.y = in.read<std::int16_t>();
        item.cx = in.read<std::int16_t>();
        item.cy = in.read<std::int16_t>();
        item.id = in.read<std::uint32_t>();
        item.windowClass = in.readNameOrOrdinal();
        item.title = in.readNameOrOrdinal();
        const auto extra = in.read<std::uint16_t>();
        item.creationData = in.readBytes(extra);
        dialog.items.push_back(std::move(item));
    }
    if (in.failed())
        return std::nullopt;
    return dialog;
}

std::vector<std::uint32_t> writeDialogTemplate(const DialogTemplate& dialog)
{
    Writer out;
    out.write(std::uint16_t{1});
    out.write(std::uint16_t{0xFFFF});
    out.write(dialog.helpId);
    out.write(dialog.exStyle);
    out.write(dialog.style);
    out.write(static_cast<std::uint16_t>(dialog.items.size()));
    out.write(dialog.x);
    out.write(dialog.y);
    out.write(dialog.cx);
    out.write(dialog.cy);
    out.writeNameOrOrdinal(dialog.menu);
    out.writeNameOrOrdinal(dialog.windowClass);
    out.writeText(dialog.title);
    if (dialog.style & dsSetFont) {
        out.write(dialog.pointSize);
        out.write(dialog.weight);
        out.write(dialog.italic);
        out.write(dialog.charset);
        out.writeText(dialog.typeface);
    }
    for (const DialogItem& item : dialog.items) {
        out.alignTo4();
        out.write(item.helpId);
        out.write(item.exStyle);
        out.write(item.style);
        out.write(item.x);
        out.write(item.y);
        out.write(item.cx);
        out.write(item.cy);
        out.write(item.id);
        out.writeNameOrOrdinal(item.windowClass);
        out.writeNameOrOrdinal(item.title);
        out.write(static_cast<std::uint16_t>(item.creationData.size()));
        out.writeBytes(item.creationData);
    }
    return out.words();
}

} // namespace meridal::platform::win32
