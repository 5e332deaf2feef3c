#pragma once

#include <QString>

#include <string>
#include <string_view>

// Windows-1252 text, as the program holds it, meets Qt's Unicode strings only here.
namespace meridal::platform::qt {

QString toQString(std::string_view text1252);

// Characters that Windows-1252 cannot hold become "?", as a Windows ANSI conversion makes them.
std::string fromQString(const QString& text);

// True when every character of `text` has a Windows-1252 byte.
bool fitsWindows1252(const QString& text);

} // namespace meridal::platform::qt
