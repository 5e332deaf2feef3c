// SPDX-License-Identifier: GPL-3.0-or-later
// The user's files where only Windows has them: devices by reserved name, named pipes, the
// read-only attribute, files that other programs hold open, attributes and creation times,
// UTF-16 file names, copies left by processes that ended. Every case works in a scratch
// folder of its own.
#include "tests/persistence/file_helpers.h"

#include "catalogue/win32/wide_text.h"
#include "persistence/atomic_file.h"
#include "persistence/catalogue_file.h"
#include "persistence/tracked_file.h"
#include "persistence/user_file.h"

#include <chrono>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>
#include <windows.h>

namespace meridal {
namespace {

namespace fs = std::filesystem;
using Status = UserFileContent::Status;

// A handle of the test's own, closed when it goes.
class TestHandle {
  public:
    explicit TestHandle(HANDLE handle) : m_handle(handle) {}
    ~TestHandle()
    {
        if (*this)
            CloseHandle(m_handle);
    }
    TestHandle(const TestHandle&) = delete;
    TestHandle& operator=(const TestHandle&) = delete;
    explicit operator bool() const { return m_handle != nullptr && m_handle != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return m_handle; }

  private:
    HANDLE m_handle;
};

// Another program holding the file open, sharing it only as `share` says.
TestHandle holdOpen(const std::string& path, DWORD share)
{
    return TestHandle(CreateFileW(toWide(path).c_str(), GENERIC_READ | GENERIC_WRITE, share, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
}

BY_HANDLE_FILE_INFORMATION infoOf(const std::string& path)
{
    BY_HANDLE_FILE_INFORMATION info{};
    const TestHandle file(CreateFileW(toWide(path).c_str(), 0,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                      OPEN_EXISTING, 0, nullptr));
    EXPECT_TRUE(file && GetFileInformationByHandle(file.get(), &info)) << path;
    return info;
}

// The system's words for an error, as the saver puts them into its sentences.
std::string systemText(DWORD code)
{
    wchar_t* text = nullptr;
    FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                       FORMAT_MESSAGE_IGNORE_INSERTS,
                   nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring message = text ? text : L"";
    LocalFree(text);
    while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r' || message.back() == L'.'))
        message.pop_back();
    return fromWide(message);
}

// Nothing of ours holds the file open: another program may open it for itself alone.
bool nobodyHoldsIt(const std::string& path)
{
    return static_cast<bool>(TestHandle(CreateFileW(
        toWide(path).c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, 0, nullptr, OPEN_EXISTING, 0, nullptr)));
}

class WindowsFiles : public ::testing::Test {
  protected:
    test::TempDir m_dir;
    std::string m_path = m_dir.file(catalogueFileName);
    std::string m_error;
};

// A device is never opened for reading (opening "COM1" may talk to hardware, reading "CON"
// waits for the keyboard, and "NUL" would read as an empty catalogue that is then saved).
TEST_F(WindowsFiles, devicesByReservedNameAndPipesAreRefusedWithoutBeingRead)
{
    const std::vector<std::string> names = {"NUL", "CON", "COM1", "con.xml", "Nul .txt", "lpt9", "AUX"};
    std::vector<std::string> paths;
    for (const std::string& name : names) {
        paths.push_back(name);
        paths.push_back(m_dir.file(name));
    }
    // The server end of a pipe that never writes: a reader that opened it would wait for ever.
    // Each look at it takes one of its instances.
    const std::wstring pipeName = L"\\\\.\\pipe\\meridal-test-" + std::to_wstring(GetCurrentProcessId());
    std::vector<std::unique_ptr<TestHandle>> pipe;
    for (int instance = 0; instance < 16; ++instance) {
        pipe.push_back(std::make_unique<TestHandle>(
            CreateNamedPipeW(pipeName.c_str(), PIPE_ACCESS_DUPLEX, PIPE_TYPE_BYTE, 16, 0, 0, 0, nullptr)));
        ASSERT_TRUE(*pipe.back());
    }
    paths.push_back(fromWide(pipeName));

    for (const std::string& path : paths) {
        SCOPED_TRACE(path);
        const UserFileContent content = readUserFile(path);
        EXPECT_EQ(content.status, Status::NotRegular);
        EXPECT_TRUE(content.reason == "it is a device, not a regular file" ||
                    content.reason == "it is a named pipe, not a regular file")
            << content.reason;
        EXPECT_FALSE(fileIdentity(path));
        EXPECT_NE(fileState(path), FileState::Missing);
        EXPECT_FALSE(writeFileAtomically(path, "new", m_error));
        EXPECT_NE(m_error.find(", not a regular file; it was left alone"), std::string::npos) << m_error;
        EXPECT_FALSE(createFile(path, "new", m_error));

        TrackedFile file(path, TrackedFile::TheirChange::Keep);
        file.read();
        EXPECT_EQ(file.checkBeforeSave(true).action, TrackedFile::Action::NeverSaveOver);
    }
    EXPECT_EQ(m_dir.entryCount(), 0u);
}

// The read-only attribute makes a file read-only; a file that another program holds open is
// busy, which is no reason to call it read-only.
TEST_F(WindowsFiles, theReadOnlyAttributeIsReadOnlyAndABusyFileIsNot)
{
    test::writeBytes(m_path, "old");
    ASSERT_TRUE(SetFileAttributesW(toWide(m_path).c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
    EXPECT_EQ(fileState(m_path), FileState::ReadOnly);
    EXPECT_FALSE(writeFileAtomically(m_path, "new", m_error));
    EXPECT_EQ(m_error, "Meridal.xml is read-only; it was left as it is");
    EXPECT_EQ(test::readBytes(m_path), "old");

    ASSERT_TRUE(SetFileAttributesW(toWide(m_path).c_str(), FILE_ATTRIBUTE_NORMAL));
    const TestHandle busy = holdOpen(m_path, FILE_SHARE_READ);
    ASSERT_TRUE(busy);
    EXPECT_EQ(fileState(m_path), FileState::Writable);
}

// Held open by a program that lets nobody write it: the save fails with the system's reason and
// the file keeps its content. Held open by one that lets others write but not delete it: it
// cannot be replaced, so it is written in place.
TEST_F(WindowsFiles, aBusyFileIsWrittenInPlaceOrNotAtAllWithTheReason)
{
    test::writeBytes(m_path, "old");
    {
        const TestHandle busy = holdOpen(m_path, FILE_SHARE_READ);
        ASSERT_TRUE(busy);
        EXPECT_FALSE(writeFileAtomically(m_path, "new", m_error));
        EXPECT_EQ(m_error, "cannot open Meridal.xml for writing: " + systemText(ERROR_SHARING_VIOLATION));
        TrackedFile file(m_path, TrackedFile::TheirChange::Keep);
        ASSERT_EQ(file.read().bytes, "old");
        EXPECT_EQ(file.checkBeforeSave(true).action, TrackedFile::Action::Save);
        EXPECT_FALSE(file.save("new", m_error));
    }
    EXPECT_EQ(test::readBytes(m_path), "old");
    EXPECT_EQ(m_dir.entryCount(), 1u);

    const std::uint64_t index = fileIdentity(m_path)->file;
    {
        const TestHandle busy = holdOpen(m_path, FILE_SHARE_READ | FILE_SHARE_WRITE);
        ASSERT_TRUE(busy);
        ASSERT_TRUE(writeFileAtomically(m_path, "newer", m_error)) << m_error;
    }
    EXPECT_EQ(fileIdentity(m_path)->file, index);
    EXPECT_EQ(test::readBytes(m_path), "newer");
    EXPECT_EQ(m_dir.entryCount(), 1u);
    EXPECT_TRUE(nobodyHoldsIt(m_path));
}

TEST_F(WindowsFiles, aHardLinkedFileKeepsItsLinkAndAttributes)
{
    test::writeBytes(m_path, "old");
    const std::string other = m_dir.file("other.xml");
    ASSERT_TRUE(CreateHardLinkW(toWide(other).c_str(), toWide(m_path).c_str(), nullptr));
    ASSERT_TRUE(SetFileAttributesW(toWide(m_path).c_str(), FILE_ATTRIBUTE_HIDDEN));
    ASSERT_TRUE(writeFileAtomically(m_path, "new, and longer", m_error)) << m_error;
    const BY_HANDLE_FILE_INFORMATION info = infoOf(m_path);
    EXPECT_EQ(info.nNumberOfLinks, 2u);
    EXPECT_TRUE(info.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN);
    EXPECT_EQ(test::readBytes(other), "new, and longer");
    EXPECT_TRUE(nobodyHoldsIt(m_path));
}

// A file replaced by a new one keeps what the person set on it.
TEST_F(WindowsFiles, aSaveKeepsTheFilesAttributes)
{
    test::writeBytes(m_path, "old");
    const std::uint64_t index = fileIdentity(m_path)->file;
    const DWORD set = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                      FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
    ASSERT_TRUE(SetFileAttributesW(toWide(m_path).c_str(), set));
    // What the file system keeps of them (Wine: hidden, system and archive).
    const DWORD kept = GetFileAttributesW(toWide(m_path).c_str()) & set;
    ASSERT_TRUE(kept & FILE_ATTRIBUTE_HIDDEN);
    ASSERT_TRUE(writeFileAtomically(m_path, "new", m_error)) << m_error;
    EXPECT_NE(fileIdentity(m_path)->file, index); // replaced, not written in place
    const DWORD attributes = GetFileAttributesW(toWide(m_path).c_str());
    EXPECT_EQ(attributes & kept, kept);
    EXPECT_EQ(test::readBytes(m_path), "new");
    EXPECT_EQ(m_dir.entryCount(), 1u);
}

TEST_F(WindowsFiles, aSaveKeepsTheFilesCreationTime)
{
    test::writeBytes(m_path, "old");
    FILETIME created{};
    created.dwHighDateTime = 0x01C0A000; // in 2001
    {
        const TestHandle file(CreateFileW(toWide(m_path).c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr,
                                          OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(file && SetFileTime(file.get(), &created, nullptr, nullptr));
    }
    if (infoOf(m_path).ftCreationTime.dwHighDateTime != created.dwHighDateTime)
        GTEST_SKIP() << "this file system keeps no creation time that a program sets (Wine)";
    ASSERT_TRUE(writeFileAtomically(m_path, "new", m_error)) << m_error;
    EXPECT_EQ(infoOf(m_path).ftCreationTime.dwHighDateTime, created.dwHighDateTime);
    EXPECT_EQ(test::readBytes(m_path), "new");
}

// Paths are UTF-8 inside the program and UTF-16 at the system, whatever the ANSI code page.
TEST_F(WindowsFiles, aFolderNameOutsideTheCodePageWorks)
{
    const std::wstring folder = m_dir.path().wstring() + L"\\M\u00E9sure \u00B0C \u03A9";
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    const std::string path = fromWide(folder) + "\\" + catalogueFileName;

    EXPECT_EQ(fileState(path), FileState::Missing);
    TrackedFile file(path, TrackedFile::TheirChange::Keep);
    ASSERT_EQ(file.read().status, Status::Missing);
    ASSERT_TRUE(file.create("<root></root>", m_error)) << m_error;
    EXPECT_EQ(GetFileAttributesW((folder + L"\\Meridal.xml").c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u);
    EXPECT_EQ(readUserFile(path).bytes, "<root></root>");
    EXPECT_EQ(file.checkBeforeSave(true).action, TrackedFile::Action::Save);
    ASSERT_TRUE(file.save("<root>\r\n</root>", m_error)) << m_error;
    EXPECT_EQ(readUserFile(path).bytes, "<root>\r\n</root>");
    EXPECT_TRUE(fileIdentity(path));
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
    EXPECT_TRUE(nobodyHoldsIt(path));
}

std::string hostName()
{
    wchar_t host[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD length = MAX_COMPUTERNAME_LENGTH + 1;
    EXPECT_TRUE(GetComputerNameW(host, &length));
    return fromWide(std::wstring_view(host, length));
}

// A process of this test program that does nothing: started suspended, or run to its end.
PROCESS_INFORMATION startIdle(bool suspended)
{
    wchar_t program[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, program, MAX_PATH);
    std::wstring commandLine = L"\"" + std::wstring(program) + L"\" --gtest_filter=None.none";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    EXPECT_TRUE(CreateProcessW(program, commandLine.data(), nullptr, nullptr, FALSE,
                               CREATE_NO_WINDOW | (suspended ? CREATE_SUSPENDED : 0), nullptr, nullptr,
                               &startup, &process));
    return process;
}

void setWrittenAnHourAgo(const std::string& path)
{
    fs::last_write_time(test::pathOf(path), fs::file_time_type::clock::now() - std::chrono::hours(1));
}

// Copies of saves that were cut short are removed once the process that made them has ended;
// a process number that came back for another process does not keep them.
TEST_F(WindowsFiles, copiesLeftByProcessesThatEndedAreRemoved)
{
    test::writeBytes(m_path, "old");
    const std::string prefix = m_path + ".tmp-" + hostName() + "-";

    // The running one first, so that it cannot be given the number of the one that ended.
    PROCESS_INFORMATION running = startIdle(true);
    PROCESS_INFORMATION ended = startIdle(false);
    WaitForSingleObject(ended.hProcess, 30000);
    CloseHandle(ended.hThread);
    CloseHandle(ended.hProcess);

    const std::string ofEnded = prefix + std::to_string(ended.dwProcessId) + "-1";
    const std::string ofOurs = prefix + std::to_string(GetCurrentProcessId()) + "-2";
    const std::string ofRunning = prefix + std::to_string(running.dwProcessId) + "-3";
    const std::string ofRunningBefore = prefix + std::to_string(running.dwProcessId) + "-4";
    const std::string ofOtherHost =
        m_path + ".tmp-some-other-host-" + std::to_string(ended.dwProcessId) + "-5";
    const std::string notACopy = m_path + ".tmp-" + hostName() + "-x-6";
    for (const std::string& copy : {ofEnded, ofOurs, ofRunning, ofRunningBefore, ofOtherHost, notACopy})
        test::writeBytes(copy, "cut short");
    setWrittenAnHourAgo(ofRunningBefore); // before the process under that number started

    ASSERT_TRUE(writeFileAtomically(m_path, "new", m_error)) << m_error;
    TerminateProcess(running.hProcess, 0);
    WaitForSingleObject(running.hProcess, 30000);
    CloseHandle(running.hThread);
    CloseHandle(running.hProcess);

    EXPECT_FALSE(fs::exists(test::pathOf(ofEnded)));
    EXPECT_FALSE(fs::exists(test::pathOf(ofOurs)));
    EXPECT_FALSE(fs::exists(test::pathOf(ofRunningBefore)));
    EXPECT_TRUE(fs::exists(test::pathOf(ofRunning)));
    EXPECT_TRUE(fs::exists(test::pathOf(ofOtherHost)));
    EXPECT_TRUE(fs::exists(test::pathOf(notACopy)));
    EXPECT_EQ(test::readBytes(m_path), "new");

    // Once its process has ended, the next save removes the last one of this machine.
    ASSERT_TRUE(writeFileAtomically(m_path, "newer", m_error)) << m_error;
    EXPECT_FALSE(fs::exists(test::pathOf(ofRunning)));
    EXPECT_EQ(m_dir.entryCount(), 3u);
}

} // namespace
} // namespace meridal
