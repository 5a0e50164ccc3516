#pragma once

// drelvan.exe started as a learner starts it, and closed as a learner closes
// it: shared by the tests of the exe as built and as installed.

#include <windows.h>

#include <string>

namespace drelvan::test {

struct Started {
    PROCESS_INFORMATION process{};
    // Its visible main window, once the program waits for input; null if
    // it shows none.
    HWND window = nullptr;
};

// `arguments` follow the program's name on its command line.
inline Started start(const std::wstring& program, const std::wstring& arguments = {})
{
    Started started;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    std::wstring commandLine = L"\"" + program + L"\"" + (arguments.empty() ? L"" : L" " + arguments);
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &started.process))
        return started;
    if (WaitForInputIdle(started.process.hProcess, 20000) != 0)
        return started;
    EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
            auto* s = reinterpret_cast<Started*>(data);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            wchar_t className[32] = L"";
            GetClassNameW(window, className, 32);
            if (owner == s->process.dwProcessId && std::wstring(className) == L"Drelvan" && IsWindowVisible(window))
                s->window = window;
            return !s->window;
        },
        reinterpret_cast<LPARAM>(&started));
    return started;
}

// Closes the window and gives the program's exit code; one that does not
// end within ten seconds is ended, and gives STILL_ACTIVE.
inline DWORD close(Started& started)
{
    if (!started.process.hProcess)
        return STILL_ACTIVE;
    if (started.window)
        PostMessageW(started.window, WM_CLOSE, 0, 0);
    DWORD exitCode = STILL_ACTIVE;
    if (WaitForSingleObject(started.process.hProcess, 10000) == WAIT_OBJECT_0)
        GetExitCodeProcess(started.process.hProcess, &exitCode);
    else
        TerminateProcess(started.process.hProcess, 1);
    CloseHandle(started.process.hThread);
    CloseHandle(started.process.hProcess);
    started = {};
    return exitCode;
}

} // namespace drelvan::test
