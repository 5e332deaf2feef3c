// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/win32/win32_desktop.h"

#include "catalogue/win32/program_file.h"
#include "catalogue/win32/wide_text.h"
#include "catalogue/windows1252.h"

#include <cwchar>
#include <utility>
#include <vector>
// clang-format off
#include <windows.h>
#include <objbase.h>
#include <shellapi.h> // after windows.h, which it needs
#include <winver.h>
// clang-format on

namespace meridal::platform::win32 {

namespace {

std::wstring wideOf1252(const std::string& text)
{
    return toWide(windows1252ToUtf8(text));
}

std::string windows1252Of(std::wstring_view text)
{
    return utf16ToWindows1252(std::u16string(text.begin(), text.end()));
}

bool isAsciiLetter(wchar_t c)
{
    return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z');
}

// "scheme:" of a URL: a letter, then letters, digits, "+", "-" or "."; one letter alone is
// a drive.
bool startsWithScheme(std::wstring_view text)
{
    const std::size_t colon = text.find(L':');
    if (colon == std::wstring_view::npos || colon < 2 || !isAsciiLetter(text[0]))
        return false;
    for (std::size_t i = 1; i < colon; ++i) {
        const wchar_t c = text[i];
        if (!isAsciiLetter(c) && !(c >= L'0' && c <= L'9') && c != L'+' && c != L'-' && c != L'.')
            return false;
    }
    return true;
}

// The shell may hand a target to a handler that runs through COM, which must then be
// initialised on the calling thread: for one call, when the thread has not done it itself.
class ShellCall {
  public:
    ShellCall()
        : m_initialised(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE)))
    {
    }
    ~ShellCall()
    {
        if (m_initialised)
            CoUninitialize();
    }
    ShellCall(const ShellCall&) = delete;
    ShellCall& operator=(const ShellCall&) = delete;

    // The shell's open operation on `file`, without parameters or working folder; true when
    // it reports success (a result above 32).
    static bool open(HWND owner, const std::wstring& file)
    {
        const ShellCall com;
        const HINSTANCE result = ShellExecuteW(owner, L"open", file.c_str(), nullptr, nullptr, SW_SHOW);
        return reinterpret_cast<INT_PTR>(result) > 32;
    }

  private:
    bool m_initialised;
};

} // namespace

std::wstring shellTarget(const std::string& target, const std::wstring& programFolder)
{
    std::wstring file = wideOf1252(target);
    const bool fromDrive = file.size() >= 2 && isAsciiLetter(file[0]) && file[1] == L':';
    const bool fromRoot = !file.empty() && (file[0] == L'\\' || file[0] == L'/');
    if (file.empty() || fromDrive || fromRoot || startsWithScheme(file))
        return file;
    for (wchar_t& c : file) {
        if (c == L'/')
            c = L'\\';
    }
    return programFolder + file;
}

Desktop::DateStatus localDateTimeOf(std::uint64_t fileTime, LocalDateTime& local)
{
    if (fileTime == 0)
        return Desktop::DateStatus::Unknown;
    FILETIME time{};
    time.dwLowDateTime = static_cast<DWORD>(fileTime & 0xFFFFFFFFu);
    time.dwHighDateTime = static_cast<DWORD>(fileTime >> 32);
    SYSTEMTIME universal{};
    SYSTEMTIME here{};
    // The zone's rules for that date, summer time included, rather than today's offset.
    if (!FileTimeToSystemTime(&time, &universal) ||
        !SystemTimeToTzSpecificLocalTime(nullptr, &universal, &here))
        return Desktop::DateStatus::Unconvertible;
    if (here.wYear < 100 || here.wYear > 9999)
        return Desktop::DateStatus::Unconvertible;
    local = {here.wYear, here.wMonth, here.wDay, here.wHour, here.wMinute, here.wSecond};
    return Desktop::DateStatus::Ok;
}

std::string shortDateIn(const LocalDateTime& date, const wchar_t* localeName)
{
    const auto fits = [](int value) { return value >= 0 && value <= 0xFFFF; };
    if (!fits(date.year) || !fits(date.month) || !fits(date.day))
        return {};
    SYSTEMTIME day{};
    day.wYear = static_cast<WORD>(date.year);
    day.wMonth = static_cast<WORD>(date.month);
    day.wDay = static_cast<WORD>(date.day);
    const int size = GetDateFormatEx(localeName, DATE_SHORTDATE, &day, nullptr, nullptr, 0, nullptr);
    if (size <= 0)
        return {};
    std::wstring text(static_cast<std::size_t>(size), L'\0');
    const int written =
        GetDateFormatEx(localeName, DATE_SHORTDATE, &day, nullptr, text.data(), size, nullptr);
    if (written <= 0)
        return {};
    text.resize(static_cast<std::size_t>(written) - 1); // without its NUL
    return windows1252Of(text);
}

Win32Desktop::Win32Desktop(HWND__* owner, Poster poster) : m_owner(owner), m_poster(std::move(poster)) {}

std::wstring Win32Desktop::programFile() const
{
    return m_programFile.empty() ? runningProgramFile() : m_programFile;
}

void Win32Desktop::openTarget(const std::string& target, std::function<void()> failed)
{
    if (ShellCall::open(m_owner, shellTarget(target, folderOf(programFile()))) || !failed)
        return;
    if (m_poster)
        m_poster(std::move(failed));
    else
        failed();
}

bool Win32Desktop::startCalculator()
{
    return ShellCall::open(m_owner, L"calc");
}

bool Win32Desktop::writeProfileString(const std::string& section, const std::string& key,
                                      const std::string& value)
{
    return WriteProfileStringW(wideOf1252(section).c_str(), wideOf1252(key).c_str(),
                               wideOf1252(value).c_str()) != FALSE;
}

std::string Win32Desktop::programFilePath()
{
    return fromWide(programFile());
}

std::string Win32Desktop::programFileVersion()
{
    const std::wstring file = programFile();
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(file.c_str(), &ignored);
    if (size == 0)
        return {};
    std::vector<unsigned char> block(size);
    if (!GetFileVersionInfoW(file.c_str(), 0, size, block.data()))
        return {};

    void* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", &value, &length) ||
        length < 2 * sizeof(WORD))
        return {};
    const WORD language = static_cast<const WORD*>(value)[0];
    const WORD codePage = static_cast<const WORD*>(value)[1];
    // "%ls": a wide text in every C library's wide printf (mingw's own reads "%s" as narrow).
    wchar_t key[64];
    std::swprintf(key, 64, L"\\StringFileInfo\\%08lx\\%ls",
                  static_cast<unsigned long>(language) * 65536ul + codePage, L"FileVersion");
    if (!VerQueryValueW(block.data(), key, &value, &length) || length == 0)
        return {};
    const auto* text = static_cast<const wchar_t*>(value);
    return windows1252Of(std::wstring_view(text, wcsnlen(text, length)));
}

Desktop::DateStatus Win32Desktop::programFileCreated(LocalDateTime& created)
{
    // Its times only: whatever else has the file open, and however, does not stand in the way.
    HANDLE file = CreateFileW(programFile().c_str(), FILE_READ_ATTRIBUTES,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return DateStatus::Unknown;
    FILETIME creation{};
    const bool read = GetFileTime(file, &creation, nullptr, nullptr) != FALSE;
    CloseHandle(file);
    if (!read)
        return DateStatus::Unknown;
    return localDateTimeOf((std::uint64_t{creation.dwHighDateTime} << 32) | creation.dwLowDateTime, created);
}

std::string Win32Desktop::shortDate(const LocalDateTime& date)
{
    return shortDateIn(date, LOCALE_NAME_USER_DEFAULT);
}

} // namespace meridal::platform::win32
