// The Windows benchmark: drelvan.exe against its floor (floor.cpp, the same
// window in the platform's stock controls, no model) and beside a "hello"
// window (hello.cpp), the three started in turns, round by round, in one run.
//   drelvan_bench_win32 drelvan.exe drelvan_floor.exe drelvan_hello.exe [rounds]
//
//  - Start to first painted frame: the clock runs from just before
//    CreateProcess until the child's thread has gone idle for the first time
//    (WaitForInputIdle): it has created and shown its window and handled
//    every message that came of it, the first WM_PAINT included, and waits
//    for input. The window is then looked for and must be visible with
//    nothing left to paint. The clock moves with whatever else the machine
//    runs, so the quiz is held against the floor of the same round: the
//    median of those paired ratios is gated.
//  - Peak working set of the child at that moment (GetProcessMemoryInfo).
//  - The size of drelvan.exe.
// Prints one table of medians with min-max and the targets; exits with 1
// and names each target missed. The start's wall clock is shown for
// information: the Linux driver (host.cpp) gates on the CPU time.
//
//   drelvan_bench_win32 watch
// serves that driver, which starts each program under Wine itself (so that
// wait4 gives it the CPU time): for each line on standard input naming an
// exe, it finds that program's window, waits for it to go idle, prints
// "idle PEAK-WORKING-SET-BYTES", and closes it.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cwchar>
#include <cwctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

// The quiz against its floor.
constexpr double memoryTarget = 1.02;
constexpr long long sizeTarget = 1024 * 1024;

enum Program { hello, floor, quiz, programCount };

std::wstring windowsPath(const char* path)
{
    std::wstring wide(path, path + std::strlen(path));
    if (!wide.empty() && wide[0] == L'/')
        wide = L"Z:" + wide;
    std::replace(wide.begin(), wide.end(), L'/', L'\\');
    return wide;
}

double seconds()
{
    static LARGE_INTEGER frequency{};
    if (!frequency.QuadPart)
        QueryPerformanceFrequency(&frequency);
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

struct Start {
    double ms;
    double peakMiB;
};

struct Search {
    DWORD process;
    HWND found = nullptr;
};

BOOL CALLBACK findWindow(HWND window, LPARAM data)
{
    auto* search = reinterpret_cast<Search*>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->process && IsWindowVisible(window) && !GetParent(window))
        search->found = window;
    return !search->found;
}

// A child started and gone idle with its window painted.
struct Running {
    PROCESS_INFORMATION process{};
    HWND window = nullptr;
    double ms = 0; // from just before CreateProcess to idle
};

Running launch(const std::wstring& program)
{
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    Running child;
    std::wstring commandLine = L"\"" + program + L"\"";
    const double begin = seconds();
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &child.process)) {
        std::fprintf(stderr, "cannot start %ls (error %lu)\n", program.c_str(), GetLastError());
        std::exit(2);
    }
    const DWORD idle = WaitForInputIdle(child.process.hProcess, 30000);
    child.ms = (seconds() - begin) * 1000.0;
    Search search{child.process.dwProcessId};
    EnumWindows(findWindow, reinterpret_cast<LPARAM>(&search));
    if (idle != 0 || !search.found || GetUpdateRect(search.found, nullptr, FALSE)) {
        std::fprintf(stderr, "%ls: no painted window when it went idle\n", program.c_str());
        std::exit(2);
    }
    child.window = search.found;
    return child;
}

void close(Running& child)
{
    PostMessageW(child.window, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(child.process.hProcess, 10000) != WAIT_OBJECT_0)
        TerminateProcess(child.process.hProcess, 1);
    CloseHandle(child.process.hThread);
    CloseHandle(child.process.hProcess);
}

Start start(const std::wstring& program)
{
    Running child = launch(program);
    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof memory;
    GetProcessMemoryInfo(child.process.hProcess, &memory, sizeof memory);
    close(child);
    return {child.ms, static_cast<double>(memory.PeakWorkingSetSize) / (1024.0 * 1024.0)};
}

// ------------------------------------------------- the floor against the quiz

// A window's text, asked of it: WM_GETTEXT is carried across processes.
std::wstring textOf(HWND window)
{
    const auto length = static_cast<std::size_t>(SendMessageW(window, WM_GETTEXTLENGTH, 0, 0));
    std::wstring text(length + 1, L'\0');
    SendMessageW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(std::wcslen(text.c_str()));
    return text;
}

std::string utf8(const std::wstring& text)
{
    const int length = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string result(static_cast<std::size_t>(std::max(length, 1)), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, result.data(), length, nullptr, nullptr);
    result.resize(result.size() - 1);
    return result;
}

// What a learner sees of a window and its controls at start, in words, one
// control after the other in the order they were made: the class, the place
// in the parent's client area, the text, the vertical scroll bar, a list's
// entries, and which control has the focus.
std::vector<std::wstring> looks(HWND window)
{
    RECT client{};
    GetClientRect(window, &client);
    std::vector<std::wstring> seen{L"title " + textOf(window),
                                   L"client " + std::to_wstring(client.right) + L"x" + std::to_wstring(client.bottom)};
    GUITHREADINFO thread{};
    thread.cbSize = sizeof thread;
    GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &thread);
    for (HWND control = GetWindow(window, GW_CHILD); control; control = GetWindow(control, GW_HWNDNEXT)) {
        wchar_t kind[64] = {};
        GetClassNameW(control, kind, 64);
        RECT r{};
        GetWindowRect(control, &r);
        MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&r), 2);
        const std::wstring name = std::wstring(kind) + L" ";
        seen.push_back(name + L"place " + std::to_wstring(r.left) + L"," + std::to_wstring(r.top) + L" "
                       + std::to_wstring(r.right - r.left) + L"x" + std::to_wstring(r.bottom - r.top));
        seen.push_back(name + L"visible " + std::to_wstring(IsWindowVisible(control) != 0));
        seen.push_back(name + L"text " + textOf(control));
        SCROLLBARINFO bar{};
        bar.cbSize = sizeof bar;
        const bool shown = GetScrollBarInfo(control, OBJID_VSCROLL, &bar)
                           && !(bar.rgstate[0] & (STATE_SYSTEM_INVISIBLE | STATE_SYSTEM_OFFSCREEN));
        seen.push_back(name + L"scroll bar shown " + std::to_wstring(shown));
        seen.push_back(name + L"focus " + std::to_wstring(thread.hwndFocus == control));
        const auto count = SendMessageW(control, LB_GETCOUNT, 0, 0);
        for (LRESULT row = 0; std::wstring(kind) == L"ListBox" && row < count; ++row) {
            std::wstring entry(static_cast<std::size_t>(SendMessageW(control, LB_GETTEXTLEN, row, 0)) + 1, L'\0');
            SendMessageW(control, LB_GETTEXT, row, reinterpret_cast<LPARAM>(entry.data()));
            entry.resize(std::wcslen(entry.c_str()));
            seen.push_back(name + L"entry " + entry);
        }
    }
    return seen;
}

// The quiz and the floor, started one after the other, must show the same;
// each difference is named. The button's face is the one thing the floor
// cannot show, and is not compared.
bool floorShowsQuiz(const std::wstring& quizProgram, const std::wstring& floorProgram)
{
    Running quiz = launch(quizProgram);
    const std::vector<std::wstring> inQuiz = looks(quiz.window);
    close(quiz);
    Running floor = launch(floorProgram);
    const std::vector<std::wstring> inFloor = looks(floor.window);
    close(floor);
    bool same = true;
    for (std::size_t i = 0; i < std::max(inQuiz.size(), inFloor.size()); ++i) {
        const std::wstring q = i < inQuiz.size() ? inQuiz[i] : L"";
        const std::wstring f = i < inFloor.size() ? inFloor[i] : L"";
        if (q != f) {
            same = false;
            std::fprintf(stderr, "the quiz shows \"%s\", the floor \"%s\"\n", utf8(q).c_str(), utf8(f).c_str());
        }
    }
    return same;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

std::string spread(const std::vector<double>& values, const char* format)
{
    char text[96];
    const auto [low, high] = std::minmax_element(values.begin(), values.end());
    std::string f = std::string(format) + " (" + format + "-" + format + ")";
    std::snprintf(text, sizeof text, f.c_str(), median(values), *low, *high);
    return text;
}

// The order of the three in round `round`: all six orders in turn, so that
// each goes first, second and last, and before and after each other, as
// often as the others.
const int* order(int round)
{
    static constexpr int orders[6][programCount] = {
        {quiz, floor, hello}, {floor, hello, quiz}, {hello, quiz, floor},
        {floor, quiz, hello}, {quiz, hello, floor}, {hello, floor, quiz},
    };
    return orders[((round % 6) + 6) % 6];
}

std::vector<double> pairwise(const std::vector<double>& a, const std::vector<double>& b)
{
    std::vector<double> ratios;
    for (std::size_t i = 0; i < std::min(a.size(), b.size()); ++i)
        ratios.push_back(a[i] / b[i]);
    return ratios;
}

std::vector<std::string> misses;

const char* verdict(bool met, const std::string& miss)
{
    if (!met)
        misses.push_back(miss);
    return met ? "met" : "MISSED";
}

} // namespace

// The image name of a process, without its folder, in lower case.
std::wstring imageName(HANDLE process)
{
    wchar_t path[MAX_PATH] = {};
    DWORD size = MAX_PATH;
    if (!QueryFullProcessImageNameW(process, 0, path, &size))
        return {};
    std::wstring name(path, size);
    name = name.substr(name.find_last_of(L"\\/") + 1);
    std::transform(name.begin(), name.end(), name.begin(), [](wchar_t c) { return static_cast<wchar_t>(towlower(c)); });
    return name;
}

struct Watch {
    std::wstring exe;
    DWORD process = 0;
    HWND found = nullptr;
};

BOOL CALLBACK findProgram(HWND window, LPARAM data)
{
    auto* watch = reinterpret_cast<Watch*>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == GetCurrentProcessId() || !IsWindowVisible(window) || GetParent(window))
        return TRUE;
    if (HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, owner)) {
        if (imageName(process) == watch->exe) {
            watch->process = owner;
            watch->found = window;
        }
        CloseHandle(process);
    }
    return !watch->found;
}

int watch()
{
    char line[512];
    while (std::fgets(line, sizeof line, stdin)) {
        std::string exe(line);
        while (!exe.empty() && (exe.back() == '\n' || exe.back() == '\r'))
            exe.pop_back();
        Watch found{std::wstring(exe.begin(), exe.end())};
        std::transform(found.exe.begin(), found.exe.end(), found.exe.begin(),
                       [](wchar_t c) { return static_cast<wchar_t>(towlower(c)); });
        // The program's window appears tens of ms after its start: looked
        // for every 2 ms, each look a few requests to the Wine server.
        const double giveUp = seconds() + 60;
        while (!found.found && seconds() < giveUp) {
            EnumWindows(findProgram, reinterpret_cast<LPARAM>(&found));
            if (!found.found)
                Sleep(2);
        }
        HANDLE process = found.found ? OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE,
                                                   found.process)
                                     : nullptr;
        if (!process || WaitForInputIdle(process, 30000) != 0) {
            std::printf("failed %s\n", exe.c_str());
            std::fflush(stdout);
            return 2;
        }
        for (int tries = 0; tries < 100 && GetUpdateRect(found.found, nullptr, FALSE); ++tries)
            Sleep(1);
        PROCESS_MEMORY_COUNTERS memory{};
        memory.cb = sizeof memory;
        GetProcessMemoryInfo(process, &memory, sizeof memory);
        std::printf("idle %llu\n", static_cast<unsigned long long>(memory.PeakWorkingSetSize));
        std::fflush(stdout);
        PostMessageW(found.found, WM_CLOSE, 0, 0);
        if (WaitForSingleObject(process, 10000) != WAIT_OBJECT_0)
            TerminateProcess(process, 1);
        CloseHandle(process);
    }
    return 0;
}

int main(int argc, char** argv)
{
    if (argc == 2 && std::strcmp(argv[1], "watch") == 0)
        return watch();
    if (argc < 4) {
        std::fputs("usage: drelvan_bench_win32 drelvan.exe drelvan_floor.exe drelvan_hello.exe [rounds]\n", stderr);
        return 2;
    }
    std::wstring programs[programCount];
    programs[quiz] = windowsPath(argv[1]);
    programs[floor] = windowsPath(argv[2]);
    programs[hello] = windowsPath(argv[3]);
    const int runs = argc > 4 ? std::atoi(argv[4]) : 21;
    if (runs < 1) {
        std::fputs("at least one round\n", stderr);
        return 2;
    }

    // A floor that no longer shows what the quiz shows would measure nothing.
    if (!floorShowsQuiz(programs[quiz], programs[floor])) {
        std::fputs("the floor does not show what the quiz shows\n", stderr);
        return 2;
    }

    std::vector<double> ms[programCount], mib[programCount];
    // Two uncounted rounds first: the system's caches warm up.
    for (int run = -2; run < runs; ++run) {
        const int* programsInTurn = order(run);
        for (int turn = 0; turn < programCount; ++turn) {
            const int program = programsInTurn[turn];
            const Start s = start(programs[program]);
            if (run < 0)
                continue;
            ms[program].push_back(s.ms);
            mib[program].push_back(s.peakMiB);
        }
    }

    WIN32_FILE_ATTRIBUTE_DATA file{};
    GetFileAttributesExW(programs[quiz].c_str(), GetFileExInfoStandard, &file);
    const long long size = (static_cast<long long>(file.nFileSizeHigh) << 32) | file.nFileSizeLow;

    const std::vector<double> timeRatios = pairwise(ms[quiz], ms[floor]);
    const std::vector<double> helloRatios = pairwise(ms[quiz], ms[hello]);
    const double timeRatio = median(timeRatios);
    const double memoryRatio = median(mib[quiz]) / median(mib[floor]);
    char figures[160];

    std::printf("%d rounds, median (min-max); the start's ratios are the median (min-max) of each round's\n\n",
                runs);
    std::printf("| measure | hello | floor | quiz | quiz / floor | target | | quiz / hello |\n"
                "| --- | --- | --- | --- | --- | --- | --- | --- |\n");
    std::printf("| start to first frame, wall (ms) | %s | %s | %s | %s | info (median %.3f) | | %s |\n",
                spread(ms[hello], "%.1f").c_str(), spread(ms[floor], "%.1f").c_str(), spread(ms[quiz], "%.1f").c_str(),
                spread(timeRatios, "%.3f").c_str(), timeRatio, spread(helloRatios, "%.3f").c_str());
    std::snprintf(figures, sizeof figures, "peak working set: %.3f x floor, target <= %.2f x", memoryRatio,
                  memoryTarget);
    std::printf("| peak working set (MiB) | %s | %s | %s | %.3f | <= %.2f x | %s | %.3f |\n",
                spread(mib[hello], "%.2f").c_str(), spread(mib[floor], "%.2f").c_str(),
                spread(mib[quiz], "%.2f").c_str(), memoryRatio, memoryTarget,
                verdict(memoryRatio <= memoryTarget, figures), median(mib[quiz]) / median(mib[hello]));
    std::snprintf(figures, sizeof figures, "drelvan.exe: %lld bytes, target <= %lld", size, sizeTarget);
    std::printf("| drelvan.exe (bytes) | | | %lld | | <= %lld | %s | |\n", size, sizeTarget,
                verdict(size <= sizeTarget, figures));

    if (misses.empty()) {
        std::printf("\nall targets met\n");
        return 0;
    }
    std::printf("\n%zu target(s) missed:\n", misses.size());
    for (const std::string& miss : misses)
        std::printf("  %s\n", miss.c_str());
    return 1;
}
