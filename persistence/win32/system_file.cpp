// SPDX-License-Identifier: GPL-3.0-or-later
#include "persistence/win32/system_file.h"

#include "catalogue/win32/wide_text.h"

#include <array>

namespace meridal::win32 {

Handle& Handle::operator=(Handle&& other) noexcept
{
    if (this != &other) {
        close();
        m_handle = other.m_handle;
        other.m_handle = nullptr;
    }
    return *this;
}

bool Handle::close()
{
    if (!m_handle)
        return true;
    const bool closed = CloseHandle(m_handle) != 0;
    m_handle = nullptr;
    return closed;
}

Handle openExisting(const std::wstring& path, DWORD access, DWORD flags)
{
    return Handle(CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, flags, nullptr));
}

std::string systemMessage(DWORD code)
{
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                            FORMAT_MESSAGE_IGNORE_INSERTS,
                                        nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring message = length > 0 && text ? std::wstring(text, length) : std::wstring();
    if (text)
        LocalFree(text);
    // One sentence inside ours: no line break, no full stop of its own.
    while (!message.empty() && (message.back() == L'\r' || message.back() == L'\n' ||
                                message.back() == L' ' || message.back() == L'.'))
        message.pop_back();
    if (message.empty())
        return "system error " + std::to_string(code);
    return fromWide(message);
}

bool isReservedName(const std::wstring& path)
{
    // The last part of the path, up to its first dot, without the spaces before that dot:
    // "nul", "NUL.txt" and "Com1 .log" all name a device.
    const std::size_t slash = path.find_last_of(L"\\/:");
    std::wstring name = path.substr(slash == std::wstring::npos ? 0 : slash + 1);
    name = name.substr(0, name.find(L'.'));
    while (!name.empty() && name.back() == L' ')
        name.pop_back();
    for (wchar_t& c : name)
        if (c >= L'a' && c <= L'z')
            c = static_cast<wchar_t>(c - L'a' + L'A');
    static constexpr std::array<const wchar_t*, 6> plain = {L"CON", L"PRN",    L"AUX",
                                                            L"NUL", L"CONIN$", L"CONOUT$"};
    for (const wchar_t* reserved : plain)
        if (name == reserved)
            return true;
    if (name.size() == 4 && (name.compare(0, 3, L"COM") == 0 || name.compare(0, 3, L"LPT") == 0)) {
        // COM1 to COM9, and the superscript digits ¹ ² ³ that Windows counts as well.
        const wchar_t digit = name[3];
        return (digit >= L'1' && digit <= L'9') || digit == L'\u00B9' || digit == L'\u00B2' ||
               digit == L'\u00B3';
    }
    return false;
}

namespace {

bool isMissing(DWORD error)
{
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

// What an open handle is: a file on a disk, a pipe, or a device.
Look::Kind kindOf(HANDLE handle)
{
    switch (GetFileType(handle)) {
    case FILE_TYPE_DISK:
        return Look::Kind::File;
    case FILE_TYPE_PIPE:
        return Look::Kind::Pipe;
    default:
        return Look::Kind::Device;
    }
}

} // namespace

Look lookAt(const std::wstring& path)
{
    Look look;
    if (isReservedName(path)) {
        look.kind = Look::Kind::Device;
        return look;
    }
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) {
        look.error = GetLastError();
        if (isMissing(look.error)) {
            look.kind = Look::Kind::Missing;
            return look;
        }
        // A device may answer no question about attributes: ask it what it is.
        const Handle probe = openExisting(path, 0);
        look.kind = probe ? kindOf(probe.get()) : Look::Kind::Unknown;
        if (look.kind == Look::Kind::File)
            look.kind = Look::Kind::Unknown;
        return look;
    }
    look.attributes = data.dwFileAttributes;
    if (look.attributes & FILE_ATTRIBUTE_DIRECTORY) {
        look.kind = Look::Kind::Folder;
        return look;
    }
    if (look.attributes & FILE_ATTRIBUTE_DEVICE) {
        look.kind = Look::Kind::Device;
        return look;
    }
    // No access rights: nothing is read, and a device is not asked to do anything.
    const Handle probe = openExisting(path, 0);
    if (!probe) {
        look.error = GetLastError();
        look.kind = isMissing(look.error) ? Look::Kind::Missing : Look::Kind::Unknown;
        return look;
    }
    look.kind = kindOf(probe.get());
    if (look.kind != Look::Kind::File)
        return look;
    if (!GetFileInformationByHandle(probe.get(), &look.info)) {
        look.error = GetLastError();
        look.kind = Look::Kind::Unknown;
        return look;
    }
    look.kind = look.info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY ? Look::Kind::Folder : Look::Kind::File;
    return look;
}

std::uint64_t sizeOf(const BY_HANDLE_FILE_INFORMATION& info)
{
    return (std::uint64_t{info.nFileSizeHigh} << 32) | info.nFileSizeLow;
}

FileIdentity identityOf(const BY_HANDLE_FILE_INFORMATION& info)
{
    // FILETIME counts 100 ns steps since 1601.
    constexpr std::int64_t stepsFrom1601To1970 = 116444736000000000;
    constexpr std::int64_t stepsPerSecond = 10000000;
    const auto steps = static_cast<std::int64_t>((std::uint64_t{info.ftLastWriteTime.dwHighDateTime} << 32) |
                                                 info.ftLastWriteTime.dwLowDateTime) -
                       stepsFrom1601To1970;
    std::int64_t seconds = steps / stepsPerSecond;
    std::int64_t rest = steps % stepsPerSecond;
    if (rest < 0) {
        --seconds;
        rest += stepsPerSecond;
    }
    FileIdentity identity;
    identity.device = info.dwVolumeSerialNumber;
    identity.file = (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow;
    identity.size = sizeOf(info);
    identity.modifiedSeconds = seconds;
    identity.modifiedNanoseconds = rest * 100;
    return identity;
}

bool sameFile(const BY_HANDLE_FILE_INFORMATION& a, const BY_HANDLE_FILE_INFORMATION& b)
{
    return a.dwVolumeSerialNumber == b.dwVolumeSerialNumber && a.nFileIndexHigh == b.nFileIndexHigh &&
           a.nFileIndexLow == b.nFileIndexLow;
}

std::string describeKind(Look::Kind kind)
{
    switch (kind) {
    case Look::Kind::File:
        return "a regular file";
    case Look::Kind::Folder:
        return "a folder";
    case Look::Kind::Device:
        return "a device";
    case Look::Kind::Pipe:
        return "a named pipe";
    case Look::Kind::Missing:
    case Look::Kind::Unknown:
        break;
    }
    return "a special file";
}

} // namespace meridal::win32
