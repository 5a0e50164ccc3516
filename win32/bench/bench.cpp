// The Windows benchmark: drelvan.exe against a "hello" window (hello.cpp),
// started in turns, pair by pair, in one run.
//   drelvan_bench_win32 drelvan.exe drelvan_hello.exe [runs]
//
//  - Start to first painted frame: the clock runs from just before
//    CreateProcess until the child's thread has gone idle for the first time
//    (WaitForInputIdle): it has created and shown its window and handled
//    every message that came of it, the first WM_PAINT included, and waits
//    for input. The window is then looked for and must be visible with
//    nothing left to paint.
//  - Peak working set of the child at that moment (GetProcessMemoryInfo).
//  - The size of drelvan.exe.
// Prints one table of medians with min-max and the targets; exits with 1
// when a target is missed.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr double timeTarget = 1.15;
constexpr double memoryTarget = 1.10;
constexpr long long sizeTarget = 1024 * 1024;

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

Start start(const std::wstring& program)
{
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    std::wstring commandLine = L"\"" + program + L"\"";
    const double begin = seconds();
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        std::fprintf(stderr, "cannot start %ls\n", program.c_str());
        std::exit(2);
    }
    const DWORD idle = WaitForInputIdle(process.hProcess, 30000);
    const double end = seconds();
    Search search{process.dwProcessId};
    EnumWindows(findWindow, reinterpret_cast<LPARAM>(&search));
    if (idle != 0 || !search.found || GetUpdateRect(search.found, nullptr, FALSE)) {
        std::fprintf(stderr, "%ls: no painted window when it went idle\n", program.c_str());
        std::exit(2);
    }
    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof memory;
    GetProcessMemoryInfo(process.hProcess, &memory, sizeof memory);
    PostMessageW(search.found, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process.hProcess, 10000) != WAIT_OBJECT_0)
        TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return {(end - begin) * 1000.0, static_cast<double>(memory.PeakWorkingSetSize) / (1024.0 * 1024.0)};
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

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fputs("usage: drelvan_bench_win32 drelvan.exe drelvan_hello.exe [runs]\n", stderr);
        return 2;
    }
    const std::wstring quiz = windowsPath(argv[1]);
    const std::wstring hello = windowsPath(argv[2]);
    const int runs = argc > 3 ? std::atoi(argv[3]) : 21;

    std::vector<double> quizMs, helloMs, quizMiB, helloMiB, pairRatios;
    // Two uncounted pairs first: the system's caches warm up. Then the order
    // within a pair alternates, so that neither always goes first.
    for (int run = -2; run < runs; ++run) {
        Start q{}, h{};
        if (run % 2 == 0) {
            q = start(quiz);
            h = start(hello);
        } else {
            h = start(hello);
            q = start(quiz);
        }
        if (run < 0)
            continue;
        quizMs.push_back(q.ms);
        helloMs.push_back(h.ms);
        quizMiB.push_back(q.peakMiB);
        helloMiB.push_back(h.peakMiB);
        pairRatios.push_back(q.ms / h.ms);
    }

    WIN32_FILE_ATTRIBUTE_DATA file{};
    GetFileAttributesExW(quiz.c_str(), GetFileExInfoStandard, &file);
    const long long size = (static_cast<long long>(file.nFileSizeHigh) << 32) | file.nFileSizeLow;

    const double timeRatio = median(quizMs) / median(helloMs);
    const double memoryRatio = median(quizMiB) / median(helloMiB);
    const bool timeMet = timeRatio <= timeTarget;
    const bool memoryMet = memoryRatio <= memoryTarget;
    const bool sizeMet = size <= sizeTarget;

    std::printf("%d pairs, median (min-max)\n\n", runs);
    std::printf("| measure | hello | quiz | ratio | target | |\n| --- | --- | --- | --- | --- | --- |\n");
    std::printf("| start to first frame (ms) | %s | %s | %.3f (pairs %s) | <= %.2f x | %s |\n",
                spread(helloMs, "%.1f").c_str(), spread(quizMs, "%.1f").c_str(), timeRatio,
                spread(pairRatios, "%.2f").c_str(), timeTarget, timeMet ? "met" : "MISSED");
    std::printf("| peak working set (MiB) | %s | %s | %.3f | <= %.2f x | %s |\n", spread(helloMiB, "%.2f").c_str(),
                spread(quizMiB, "%.2f").c_str(), memoryRatio, memoryTarget, memoryMet ? "met" : "MISSED");
    std::printf("| drelvan.exe (bytes) | | %lld | | <= %lld | %s |\n", size, sizeTarget, sizeMet ? "met" : "MISSED");
    return timeMet && memoryMet && sizeMet ? 0 : 1;
}
