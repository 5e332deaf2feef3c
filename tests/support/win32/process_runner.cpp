// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/support/process_runner.h"

#include "catalogue/win32/wide_text.h"

#include <thread>
#include <windows.h>

namespace meridal::test {

namespace {

// One argument quoted as CommandLineToArgvW and the C runtime read it back.
std::wstring quoted(const std::wstring& arg)
{
    if (!arg.empty() && arg.find_first_of(L" \t\n\v\"") == std::wstring::npos)
        return arg;
    std::wstring out = L"\"";
    std::size_t backslashes = 0;
    for (wchar_t c : arg) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        if (c == L'"')
            out.append(backslashes * 2 + 1, L'\\');
        else
            out.append(backslashes, L'\\');
        backslashes = 0;
        out += c;
    }
    out.append(backslashes * 2, L'\\');
    return out + L"\"";
}

// The process's environment block with `extra` set in it.
std::wstring environmentBlock(const std::map<std::string, std::string>& extra)
{
    std::map<std::wstring, std::wstring> variables;
    if (wchar_t* block = GetEnvironmentStringsW()) {
        for (const wchar_t* entry = block; *entry; entry += wcslen(entry) + 1) {
            const std::wstring text(entry);
            const std::size_t equals = text.find(L'=', 1); // "=C:=C:\..." entries start with "="
            if (equals != std::wstring::npos)
                variables[text.substr(0, equals)] = text.substr(equals + 1);
        }
        FreeEnvironmentStringsW(block);
    }
    for (const auto& [name, value] : extra)
        variables[toWide(name)] = toWide(value);
    std::wstring result;
    for (const auto& [name, value] : variables)
        result += name + L"=" + value + L'\0';
    return result + L'\0';
}

void drain(HANDLE pipe, std::string& sink)
{
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(pipe, buffer, sizeof buffer, &got, nullptr) && got > 0)
        sink.append(buffer, got);
}

} // namespace

ProgramRun runProgram(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                      const std::filesystem::path& workingFolder,
                      const std::map<std::string, std::string>& environment, std::chrono::seconds timeout)
{
    ProgramRun run;
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE outRead = nullptr, outWrite = nullptr, errRead = nullptr, errWrite = nullptr;
    if (!CreatePipe(&outRead, &outWrite, &inherit, 0) || !CreatePipe(&errRead, &errWrite, &inherit, 0))
        return run;
    SetHandleInformation(outRead, HANDLE_FLAG_INHERIT, 0);
    SetHandleInformation(errRead, HANDLE_FLAG_INHERIT, 0);
    HANDLE input = CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                               OPEN_EXISTING, 0, nullptr);

    std::wstring commandLine = quoted(program.wstring());
    for (const std::string& arg : arguments)
        commandLine += L" " + quoted(toWide(arg));
    std::wstring block = environmentBlock(environment);

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = input;
    startup.hStdOutput = outWrite;
    startup.hStdError = errWrite;
    PROCESS_INFORMATION process{};
    const BOOL started = CreateProcessW(program.wstring().c_str(), commandLine.data(), nullptr, nullptr, TRUE,
                                        CREATE_UNICODE_ENVIRONMENT | CREATE_NO_WINDOW, block.data(),
                                        workingFolder.wstring().c_str(), &startup, &process);
    CloseHandle(outWrite);
    CloseHandle(errWrite);
    if (input != INVALID_HANDLE_VALUE)
        CloseHandle(input);
    if (!started) {
        CloseHandle(outRead);
        CloseHandle(errRead);
        return run;
    }
    std::thread outReader(drain, outRead, std::ref(run.out));
    std::thread errReader(drain, errRead, std::ref(run.err));
    const auto milliseconds = static_cast<DWORD>(std::chrono::milliseconds(timeout).count());
    if (WaitForSingleObject(process.hProcess, milliseconds) == WAIT_TIMEOUT) {
        run.timedOut = true;
        TerminateProcess(process.hProcess, 1);
        WaitForSingleObject(process.hProcess, INFINITE);
    }
    outReader.join();
    errReader.join();
    DWORD code = 0;
    if (!run.timedOut && GetExitCodeProcess(process.hProcess, &code))
        run.status = static_cast<int>(code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    CloseHandle(outRead);
    CloseHandle(errRead);
    return run;
}

std::filesystem::path besideTestProgram(const std::string& name)
{
    std::wstring self(32768, L'\0');
    self.resize(GetModuleFileNameW(nullptr, self.data(), static_cast<DWORD>(self.size())));
    return std::filesystem::path(self).parent_path() / name;
}

std::string withPlainLineEnds(const std::string& output)
{
    std::string plain;
    for (std::size_t i = 0; i < output.size(); ++i) {
        if (output[i] == '\r' && i + 1 < output.size() && output[i + 1] == '\n')
            continue; // the CR of a CR LF
        if (output[i] == '\n' && (i == 0 || output[i - 1] != '\r')) {
            plain += "<LF without CR>";
            continue;
        }
        plain += output[i];
    }
    return plain;
}

} // namespace meridal::test
