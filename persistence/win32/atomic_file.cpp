// SPDX-License-Identifier: GPL-3.0-or-later
#include "persistence/atomic_file.h"

#include "catalogue/win32/wide_text.h"
#include "persistence/temporary_copy.h"
#include "persistence/user_file.h"
#include "persistence/win32/system_file.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <optional>
#include <random>
// clang-format off
#include <windows.h>
#include <aclapi.h> // after windows.h, which it needs
// clang-format on

namespace meridal {

namespace {

using win32::Handle;
using win32::Look;

std::string describe(const std::string& what, DWORD error)
{
    return what + ": " + win32::systemMessage(error);
}

// The last part of a path, as the user's messages name the file.
std::string shownName(const std::string& path)
{
    const std::size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::wstring nameOf(const std::wstring& path)
{
    const std::size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

std::wstring folderOf(const std::wstring& path)
{
    const std::size_t slash = path.find_last_of(L"\\/");
    if (slash == std::wstring::npos)
        return path.size() >= 2 && path[1] == L':' ? path.substr(0, 2) : std::wstring(L".");
    // "C:\file" lies in "C:\", not in "C:" (the drive's current folder); "\file" in "\".
    if (slash == 0 || path[slash - 1] == L':')
        return path.substr(0, slash + 1);
    return path.substr(0, slash);
}

std::wstring inFolder(const std::wstring& folder, const std::wstring& name)
{
    if (folder.empty() || folder.back() == L'\\' || folder.back() == L'/' || folder.back() == L':')
        return folder + name;
    return folder + L"\\" + name;
}

bool isFolder(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The file that a save writes: where a symbolic link leads, so that a linked catalogue
// stays linked.
std::wstring finalPath(const std::wstring& path, const Look& look)
{
    if (!(look.attributes & FILE_ATTRIBUTE_REPARSE_POINT))
        return path;
    const Handle file = win32::openExisting(path, 0);
    if (!file)
        return path;
    std::wstring resolved(MAX_PATH, L'\0');
    for (int attempt = 0; attempt < 2; ++attempt) {
        const DWORD length = GetFinalPathNameByHandleW(file.get(), resolved.data(),
                                                       static_cast<DWORD>(resolved.size()), VOLUME_NAME_DOS);
        if (length == 0)
            return path;
        if (length < resolved.size()) {
            resolved.resize(length);
            return resolved;
        }
        resolved.resize(length + 1);
    }
    return path;
}

std::string hostName()
{
    wchar_t host[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD length = MAX_COMPUTERNAME_LENGTH + 1;
    if (!GetComputerNameW(host, &length) || length == 0)
        return "localhost";
    return hostNameForFiles(fromWide(std::wstring_view(host, length)));
}

std::int64_t ticksOf(const FILETIME& time)
{
    return static_cast<std::int64_t>((std::uint64_t{time.dwHighDateTime} << 32) | time.dwLowDateTime);
}

// Whether the process that wrote a copy at `written` has ended. Process numbers come back
// soon on Windows: a process running under the number that started after the copy was
// written is another one.
bool writerHasEnded(DWORD process, const FILETIME& written)
{
    // Our own process saves one file at a time, so a copy named for it is from a process
    // that ended long ago and had the same number.
    if (process == GetCurrentProcessId())
        return true;
    const Handle running(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, process));
    if (!running)
        return GetLastError() == ERROR_INVALID_PARAMETER; // no such process; any other refusal: it runs
    DWORD exitCode = 0;
    if (GetExitCodeProcess(running.get(), &exitCode) && exitCode != STILL_ACTIVE)
        return true;
    FILETIME created{}, exited{}, kernel{}, user{};
    if (!GetProcessTimes(running.get(), &created, &exited, &kernel, &user))
        return false;
    // Two seconds for a file system whose clock moves in steps (FAT).
    constexpr std::int64_t twoSeconds = 20000000;
    return ticksOf(created) > ticksOf(written) + twoSeconds;
}

// Removes what earlier interrupted saves of `target` left behind.
void removeLeftovers(const std::wstring& target)
{
    const std::wstring folder = folderOf(target);
    const std::string fileName = fromWide(nameOf(target));
    const std::string host = hostName();
    WIN32_FIND_DATAW found{};
    const HANDLE search =
        FindFirstFileExW(inFolder(folder, toWide(temporaryCopyPrefix(fileName)) + L"*").c_str(),
                         FindExInfoBasic, &found, FindExSearchNameMatch, nullptr, 0);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        if (found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT))
            continue;
        const std::optional<std::uint64_t> writer =
            temporaryCopyWriter(fromWide(found.cFileName), fileName, host);
        if (!writer || *writer > 0xFFFFFFFFull ||
            !writerHasEnded(static_cast<DWORD>(*writer), found.ftLastWriteTime))
            continue;
        DeleteFileW(inFolder(folder, found.cFileName).c_str());
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

// Creates a new, empty file beside the target with a name nobody else uses, which no other
// program may open while it is written.
Handle createTemporary(const std::wstring& target, std::wstring& name, DWORD& error)
{
    const std::wstring folder = folderOf(target);
    const std::string fileName = fromWide(nameOf(target));
    const std::string host = hostName();
    std::random_device seed;
    std::mt19937 random(seed());
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::wstring candidate = inFolder(
            folder, toWide(temporaryCopyName(fileName, host, GetCurrentProcessId(), random() % 1000000u)));
        Handle file(CreateFileW(candidate.c_str(), GENERIC_WRITE | READ_CONTROL, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
        error = file ? ERROR_SUCCESS : GetLastError();
        if (file || (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS)) {
            name = candidate;
            return file;
        }
    }
    return Handle();
}

bool writeAll(HANDLE file, std::string_view bytes)
{
    while (!bytes.empty()) {
        const auto chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), std::size_t{1} << 24));
        DWORD written = 0;
        if (!WriteFile(file, bytes.data(), chunk, &written, nullptr))
            return false;
        if (written == 0) {
            SetLastError(ERROR_WRITE_FAULT);
            return false;
        }
        bytes.remove_prefix(written);
    }
    return true;
}

bool setEnd(HANDLE file, std::uint64_t size)
{
    LARGE_INTEGER position{};
    position.QuadPart = static_cast<LONGLONG>(size);
    return SetFilePointerEx(file, position, nullptr, FILE_BEGIN) && SetEndOfFile(file);
}

bool sameAccessList(PACL a, PACL b)
{
    if (!a || !b)
        return a == b;
    if (a->AceCount != b->AceCount)
        return false;
    for (DWORD i = 0; i < a->AceCount; ++i) {
        void* first = nullptr;
        void* second = nullptr;
        if (!GetAce(a, i, &first) || !GetAce(b, i, &second))
            return false;
        const auto* header = static_cast<const ACE_HEADER*>(first);
        if (header->AceSize != static_cast<const ACE_HEADER*>(second)->AceSize ||
            std::memcmp(first, second, header->AceSize) != 0)
            return false;
    }
    return true;
}

// Whether a new file in the folder (the temporary copy) gets what the old file has: the
// same owner and the same access list. A file of another user, or one with permissions of
// its own, does not.
bool sameSecurity(HANDLE old, HANDLE copy)
{
    PSID owners[2] = {};
    PACL lists[2] = {};
    PSECURITY_DESCRIPTOR descriptors[2] = {};
    const HANDLE files[2] = {old, copy};
    bool known = true;
    for (int i = 0; i < 2; ++i)
        known = known && GetSecurityInfo(files[i], SE_FILE_OBJECT,
                                         OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, &owners[i],
                                         nullptr, &lists[i], nullptr, &descriptors[i]) == ERROR_SUCCESS;
    const bool same = known && owners[0] && owners[1] && EqualSid(owners[0], owners[1]) &&
                      sameAccessList(lists[0], lists[1]);
    for (PSECURITY_DESCRIPTOR descriptor : descriptors)
        if (descriptor)
            LocalFree(descriptor);
    return same;
}

// The attributes that a new file can carry over from the old one; read-only is never among
// them (a read-only file is not saved).
constexpr DWORD keptAttributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                                 FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

// The old file, as the save found it.
struct Existing {
    std::wstring path;
    BY_HANDLE_FILE_INFORMATION info{};
};

enum class Outcome { Done, Failed, WriteInPlace };

// Writes a temporary copy and moves it over the target: a reader or a crash sees the old
// file or the new one, never a part. When the copy could not take the old file's place
// without losing something, nothing has changed and the answer is WriteInPlace.
Outcome replaceWhole(const std::wstring& target, const Existing* old, std::string_view bytes,
                     const std::string& shown, std::string& error)
{
    Handle oldFile;
    if (old) {
        // A file that another program holds open without letting it be deleted cannot be
        // replaced; neither can one that we may not delete.
        if (!win32::openExisting(target, DELETE))
            return Outcome::WriteInPlace;
        oldFile = win32::openExisting(target, READ_CONTROL);
        if (!oldFile)
            return Outcome::WriteInPlace;
    }

    std::wstring temporary;
    DWORD code = ERROR_SUCCESS;
    Handle copy = createTemporary(target, temporary, code);
    if (!copy) {
        if (old && code == ERROR_ACCESS_DENIED)
            return Outcome::WriteInPlace; // a folder we may not add to
        error = describe("cannot create a temporary file beside " + shown, code);
        return Outcome::Failed;
    }
    auto abandon = [&](const std::string& what, DWORD failure) {
        copy.close();
        DeleteFileW(temporary.c_str());
        error = describe(what, failure);
        return Outcome::Failed;
    };

    if (old && !sameSecurity(oldFile.get(), copy.get())) {
        copy.close();
        DeleteFileW(temporary.c_str());
        return Outcome::WriteInPlace;
    }
    oldFile.close();
    if (!writeAll(copy.get(), bytes))
        return abandon("cannot write " + shown, GetLastError());
    if (old) {
        // The old file's attributes and creation time; the other times are the new file's.
        FILE_BASIC_INFO basic{};
        basic.CreationTime.LowPart = old->info.ftCreationTime.dwLowDateTime;
        basic.CreationTime.HighPart = static_cast<LONG>(old->info.ftCreationTime.dwHighDateTime);
        const DWORD attributes = old->info.dwFileAttributes & keptAttributes;
        basic.FileAttributes = attributes != 0 ? attributes : FILE_ATTRIBUTE_NORMAL;
        if (!SetFileInformationByHandle(copy.get(), FileBasicInfo, &basic, sizeof basic))
            return abandon("cannot give the new " + shown + " the old file's attributes", GetLastError());
    }
    if (!FlushFileBuffers(copy.get()))
        return abandon("cannot flush " + shown + " to disk", GetLastError());
    if (!copy.close()) {
        const DWORD failure = GetLastError();
        DeleteFileW(temporary.c_str());
        error = describe("cannot write " + shown, failure);
        return Outcome::Failed;
    }
    if (!MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        const DWORD failure = GetLastError();
        DeleteFileW(temporary.c_str());
        // Opened by another program since it was looked at: its content can still be saved.
        if (old && (failure == ERROR_SHARING_VIOLATION || failure == ERROR_ACCESS_DENIED))
            return Outcome::WriteInPlace;
        error = describe("cannot replace " + shown, failure);
        return Outcome::Failed;
    }
    return Outcome::Done;
}

// Writes the bytes into the file itself, which keeps its links, owner, access list,
// attributes and times. The room for the new content is reserved first, so a full disk fails
// before an old byte is lost.
bool writeInPlace(const Existing& old, std::string_view bytes, const std::string& shown, std::string& error)
{
    // Others may go on reading; a program that holds it open for writing shares it with us
    // or refuses, and then the save fails with the system's reason.
    const Handle file(CreateFileW(old.path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        error = describe("cannot open " + shown + " for writing", GetLastError());
        return false;
    }
    auto fail = [&](const std::string& what) {
        error = describe(what, GetLastError());
        return false;
    };
    BY_HANDLE_FILE_INFORMATION opened{};
    if (GetFileType(file.get()) != FILE_TYPE_DISK || !GetFileInformationByHandle(file.get(), &opened) ||
        !win32::sameFile(opened, old.info)) {
        error = shown + " was replaced by another file while it was saved; it was left alone";
        return false;
    }
    const std::uint64_t oldSize = win32::sizeOf(opened);
    if (bytes.size() > oldSize && !setEnd(file.get(), bytes.size())) {
        const DWORD failure = GetLastError();
        setEnd(file.get(), oldSize); // whatever was added at the end goes again; the old bytes are untouched
        error = describe("there is no room for the new " + shown + "; the file was left as it was", failure);
        return false;
    }
    LARGE_INTEGER start{};
    if (!SetFilePointerEx(file.get(), start, nullptr, FILE_BEGIN) || !writeAll(file.get(), bytes) ||
        !setEnd(file.get(), bytes.size()))
        return fail("cannot write " + shown);
    if (!FlushFileBuffers(file.get()))
        return fail("cannot flush " + shown + " to disk");
    return true;
}

} // namespace

bool writeFileAtomically(const std::string& path, std::string_view bytes, std::string& error)
{
    const std::string shown = shownName(path);
    const std::wstring wide = toWide(path);
    const Look look = win32::lookAt(wide);
    switch (look.kind) {
    case Look::Kind::Missing: {
        if (!isFolder(folderOf(wide))) {
            error = "the folder of " + shown + " does not exist";
            return false;
        }
        removeLeftovers(wide);
        return replaceWhole(wide, nullptr, bytes, shown, error) == Outcome::Done;
    }
    case Look::Kind::Unknown:
        error = describe("cannot look at " + shown, look.error);
        return false;
    case Look::Kind::Folder:
    case Look::Kind::Device:
    case Look::Kind::Pipe:
        error = shown + " is " + win32::describeKind(look.kind) + ", not a regular file; it was left alone";
        return false;
    case Look::Kind::File:
        break;
    }

    Existing old;
    old.path = finalPath(wide, look);
    old.info = look.info;
    bool readOnly = (look.attributes & FILE_ATTRIBUTE_READONLY) != 0;
    if (!readOnly && !win32::openExisting(old.path, FILE_WRITE_DATA)) {
        const DWORD refusal = GetLastError();
        readOnly = refusal == ERROR_ACCESS_DENIED || refusal == ERROR_WRITE_PROTECT;
    }
    if (readOnly) {
        error = shown + " is read-only; it was left as it is";
        return false;
    }

    removeLeftovers(old.path);
    if (old.info.nNumberOfLinks == 1) {
        const Outcome replaced = replaceWhole(old.path, &old, bytes, shown, error);
        if (replaced != Outcome::WriteInPlace)
            return replaced == Outcome::Done;
    }
    return writeInPlace(old, bytes, shown, error);
}

bool createFile(const std::string& path, std::string_view bytes, std::string& error)
{
    const std::string shown = shownName(path);
    const std::wstring wide = toWide(path);
    const Look look = win32::lookAt(wide);
    switch (look.kind) {
    case Look::Kind::Missing:
        break;
    case Look::Kind::Unknown:
        error = describe("cannot look at " + shown, look.error);
        return false;
    case Look::Kind::File:
        error = shown + " was made by another program meanwhile; it was left alone";
        return false;
    case Look::Kind::Folder:
    case Look::Kind::Device:
    case Look::Kind::Pipe:
        error = shown + " is " + win32::describeKind(look.kind) + ", not a regular file; it was left alone";
        return false;
    }
    if (!isFolder(folderOf(wide))) {
        error = "the folder of " + shown + " does not exist";
        return false;
    }

    // A copy of its own is moved into place, where no file is: the file appears whole, and
    // only where none is.
    removeLeftovers(wide);
    std::wstring temporary;
    DWORD code = ERROR_SUCCESS;
    Handle copy = createTemporary(wide, temporary, code);
    if (!copy) {
        error = describe("cannot create " + shown, code);
        return false;
    }
    if (!writeAll(copy.get(), bytes) || !FlushFileBuffers(copy.get()) || !copy.close()) {
        code = GetLastError();
        copy.close();
        DeleteFileW(temporary.c_str());
        error = describe("cannot create " + shown, code);
        return false;
    }
    if (MoveFileExW(temporary.c_str(), wide.c_str(), MOVEFILE_WRITE_THROUGH))
        return true;
    code = GetLastError();
    DeleteFileW(temporary.c_str());
    if (code == ERROR_ALREADY_EXISTS || code == ERROR_FILE_EXISTS)
        error = shown + " was made by another program meanwhile; it was left alone";
    else
        error = describe("cannot create " + shown, code);
    return false;
}

} // namespace meridal
