// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt/qt_text.h"

#include "catalogue/windows1252.h"

#include <QList>

namespace meridal::platform::qt {

QString toQString(std::string_view text1252)
{
    // Every Windows-1252 character is one UTF-16 unit.
    QString text(static_cast<qsizetype>(text1252.size()), Qt::Uninitialized);
    QChar* out = text.data();
    for (char byte : text1252)
        *out++ = QChar(static_cast<char16_t>(codePointOf1252(byte)));
    return text;
}

QString toShownQString(std::string_view text1252, std::size_t limit)
{
    // Laying out megabytes of text on one line takes seconds or minutes: what is drawn is
    // cut short, while the program keeps the whole text.
    if (text1252.size() <= limit)
        return toQString(text1252);
    return toQString(text1252.substr(0, limit)) + QChar(0x2026);
}

std::string fromQString(const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    if (auto bytes =
            utf8ToWindows1252(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size()))))
        return *bytes;
    std::string out;
    out.reserve(static_cast<std::size_t>(text.size()));
    for (char32_t codePoint : text.toUcs4()) {
        auto byte = codePointTo1252(codePoint);
        out += byte ? *byte : '?';
    }
    return out;
}

bool fitsWindows1252(const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    return utf8ToWindows1252(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())))
        .has_value();
}

} // namespace meridal::platform::qt
