// The Windows programs' CPU time under Wine, taken on the Linux side: each
// start is `wine PROGRAM [FILE]` spawned here and reaped with wait4, whose
// user + system time is what the process (its Windows threads, Wine's
// loader and its own threads) and the children it waited for used. The
// Wine server's own work for it is not in it: the server is a process of
// this driver's too (`wineserver -f`, started here before the first
// program), and what it used in each start is read from its /proc entry
// and shown beside, for information.
//
//   drelvan_bench_wine WATCHER.exe DRELVAN.exe FLOOR.exe HELLO.exe FOLDER [rounds]
//
// WATCHER.exe is drelvan_bench_win32.exe, run once in watch mode: it waits
// for each program's window to go idle, reports its peak working set and
// closes it. FOLDER receives the teachers' files made here. Run inside
// scripts/wine-run --unix (an X server and a prefix of its own). Each round
// starts hello, the floor, the quiz, and the quiz with the khans as a file,
// with 1,000 and with 32,767 pairs, and with the largest file allowed,
// in an order that turns from round to round. Exits with 1 naming each
// target missed.

#include "bench/core/pairfiles.hpp"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

extern char** environ;

namespace {

// The quiz against its floor, in CPU time; the khans as a file against the
// built-in khans; the memory the largest file takes over the built-in
// start, as a multiple of its size.
constexpr double cpuTarget = 1.05;
constexpr double khansFileTarget = 1.03;
constexpr double largestFileTarget = 4.0;

[[noreturn]] void die(const std::string& why)
{
    std::fprintf(stderr, "drelvan_bench_wine: %s\n", why.c_str());
    std::exit(2);
}

double monotonicMs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

pid_t spawn(std::vector<std::string> argv, int in = -1, int out = -1)
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (in >= 0)
        posix_spawn_file_actions_adddup2(&actions, in, STDIN_FILENO);
    if (out >= 0)
        posix_spawn_file_actions_adddup2(&actions, out, STDOUT_FILENO);
    std::vector<char*> args;
    for (std::string& arg : argv)
        args.push_back(arg.data());
    args.push_back(nullptr);
    pid_t pid = 0;
    const int failed = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (failed)
        die("cannot start " + argv[0] + ": " + std::strerror(failed));
    return pid;
}

// The CPU time a live process has used so far, ms (utime + stime of
// /proc/PID/stat, in clock ticks).
double cpuMsOf(pid_t pid)
{
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), {});
    const auto close = text.rfind(')');
    if (close == std::string::npos)
        return 0;
    std::stringstream fields(text.substr(close + 2));
    std::string field;
    double ticks = 0;
    for (int i = 3; fields >> field && i <= 15; ++i)
        if (i >= 14)
            ticks += std::strtod(field.c_str(), nullptr);
    return ticks * 1000.0 / static_cast<double>(sysconf(_SC_CLK_TCK));
}

struct Start {
    double cpuMs, wallMs, serverMs, peakMiB;
};

class Watcher {
public:
    explicit Watcher(const std::string& exe)
    {
        // Close-on-exec: no program started later (nor the watcher itself)
        // may hold the watcher's input open, or it never sees its end.
        int in[2], out[2];
        if (pipe2(in, O_CLOEXEC) || pipe2(out, O_CLOEXEC))
            die("pipe");
        pid_ = spawn({"wine", exe, "watch"}, in[0], out[1]);
        close(in[0]);
        close(out[1]);
        to_ = fdopen(in[1], "w");
        from_ = fdopen(out[0], "r");
    }
    ~Watcher()
    {
        fclose(to_);
        fclose(from_);
        waitpid(pid_, nullptr, 0);
    }
    void expect(const std::string& exeName)
    {
        std::fprintf(to_, "%s\n", exeName.c_str());
        std::fflush(to_);
    }
    // The peak working set the watcher reports once the program is idle.
    double idle()
    {
        char line[256];
        unsigned long long bytes = 0;
        if (!std::fgets(line, sizeof line, from_) || std::sscanf(line, "idle %llu", &bytes) != 1)
            die(std::string("the watcher: ") + line);
        return static_cast<double>(bytes) / (1024.0 * 1024.0);
    }

private:
    pid_t pid_;
    FILE* to_;
    FILE* from_;
};

std::string baseName(const std::string& path)
{
    return path.substr(path.find_last_of('/') + 1);
}

Start start(Watcher& watcher, pid_t server, const std::string& exe, const std::string& file)
{
    watcher.expect(baseName(exe));
    const double serverBefore = cpuMsOf(server);
    std::vector<std::string> argv{"wine", exe};
    if (!file.empty()) // as a Windows path: Wine maps / to Z:
        argv.push_back("Z:" + std::regex_replace(file, std::regex("/"), "\\"));
    const double begin = monotonicMs();
    const pid_t pid = spawn(argv);
    Start s{};
    s.peakMiB = watcher.idle();
    s.wallMs = monotonicMs() - begin;
    int status = 0;
    rusage usage{};
    while (wait4(pid, &status, 0, &usage) < 0)
        if (errno != EINTR)
            die("wait4");
    s.cpuMs = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3
              + static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
    s.serverMs = cpuMsOf(server) - serverBefore;
    return s;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n == 0 ? 0 : n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

std::string spread(const std::vector<double>& v, int decimals)
{
    if (v.empty())
        return "-";
    const auto [low, high] = std::minmax_element(v.begin(), v.end());
    char text[96];
    std::snprintf(text, sizeof text, "%.*f (%.*f-%.*f)", decimals, median(v), decimals, *low, decimals, *high);
    return text;
}

std::vector<double> pairwise(const std::vector<double>& a, const std::vector<double>& b)
{
    std::vector<double> r;
    for (std::size_t i = 0; i < std::min(a.size(), b.size()); ++i)
        r.push_back(a[i] / b[i]);
    return r;
}

enum Program { hello, floor, quiz, khans, small, large, largest, programCount };
constexpr const char* names[programCount] = {"hello",          "floor",           "quiz",
                                             "quiz khans.csv", "quiz 1,000 pairs", "quiz 32,767 pairs",
                                             "quiz largest file"};

} // namespace

int main(int argc, char** argv)
{
    if (argc < 6)
        die("usage: drelvan_bench_wine WATCHER.exe DRELVAN.exe FLOOR.exe HELLO.exe FOLDER [rounds]");
    const std::string watcherExe = argv[1], folder = argv[5];
    const int rounds = argc > 6 ? std::atoi(argv[6]) : 11;
    if (rounds < 1)
        die("at least one round");
    std::setvbuf(stdout, nullptr, _IOLBF, 0);

    namespace files = drelvan::benchfiles;
    const std::string largestBytes = files::pairs(files::mostPairs, files::mostBytes - 64);
    const std::string paths[programCount] = {"", "", "", folder + "/khans.csv", folder + "/pairs-1000.csv",
                                             folder + "/pairs-32767.csv", folder + "/largest.csv"};
    if (!files::write(paths[khans], files::khans()) || !files::write(paths[small], files::pairs(1000))
        || !files::write(paths[large], files::pairs(files::mostPairs)) || !files::write(paths[largest], largestBytes))
        die("cannot write the files in " + folder);
    const std::string exes[programCount] = {argv[4], argv[3], argv[2], argv[2], argv[2], argv[2], argv[2]};

    // The prefix's server, as a child of ours: its CPU time can be read.
    if (system("wineserver -w") != 0)
        die("wineserver -w");
    const pid_t server = spawn({"wineserver", "-f", "-p"});
    usleep(200'000);
    std::vector<double> cpu[programCount], wall[programCount], serverMs[programCount], peak[programCount];
    {
        Watcher watcher(watcherExe);
        for (int round = -1; round < rounds; ++round) {
            for (int turn = 0; turn < programCount; ++turn) {
                const int program = (turn + (round + 1) * 3) % programCount;
                const Start s = start(watcher, server, exes[program], paths[program]);
                if (round < 0)
                    continue; // warming up
                cpu[program].push_back(s.cpuMs);
                wall[program].push_back(s.wallMs);
                serverMs[program].push_back(s.serverMs);
                peak[program].push_back(s.peakMiB);
            }
            std::fprintf(stderr, "round %d of %d\n", round + 1, rounds);
        }
    }
    kill(server, SIGTERM);
    waitpid(server, nullptr, 0);

    std::vector<std::string> misses;
    const auto verdict = [&](bool met, const std::string& miss) {
        if (!met)
            misses.push_back(miss);
        return met ? "met" : "MISSED";
    };
    std::printf("\n%d rounds, median (min-max); ratios are the median (min-max) of each round's\n\n", rounds);
    std::printf("| start | CPU, wait4 (ms) | wall to idle (ms) | Wine server's CPU (ms) | peak working set (MiB) |\n"
                "| --- | --- | --- | --- | --- |\n");
    for (int p = 0; p < programCount; ++p)
        std::printf("| %s | %s | %s | %s | %s |\n", names[p], spread(cpu[p], 1).c_str(), spread(wall[p], 1).c_str(),
                    spread(serverMs[p], 1).c_str(), spread(peak[p], 2).c_str());

    std::printf("\n| measure | figure | target | |\n| --- | --- | --- | --- |\n");
    const std::vector<double> cpuRatios = pairwise(cpu[quiz], cpu[floor]);
    char miss[200];
    std::snprintf(miss, sizeof miss, "start, CPU: %.3f x floor, target <= %.2f x", median(cpuRatios), cpuTarget);
    std::printf("| start, CPU, quiz / floor | %s | <= %.2f x | %s |\n", spread(cpuRatios, 3).c_str(), cpuTarget,
                verdict(median(cpuRatios) <= cpuTarget, miss));
    std::printf("| start, CPU, quiz / hello | %s | info | |\n", spread(pairwise(cpu[quiz], cpu[hello]), 3).c_str());
    std::printf("| start, wall, quiz / floor | %s | info | |\n", spread(pairwise(wall[quiz], wall[floor]), 3).c_str());
    const std::vector<double> khansRatios = pairwise(cpu[khans], cpu[quiz]);
    std::snprintf(miss, sizeof miss, "start with khans.csv, CPU: %.3f x built-in, target <= %.2f x",
                  median(khansRatios), khansFileTarget);
    std::printf("| start with khans.csv, CPU / built-in | %s | <= %.2f x | %s |\n", spread(khansRatios, 3).c_str(),
                khansFileTarget, verdict(median(khansRatios) <= khansFileTarget, miss));
    std::vector<double> perPair;
    for (std::size_t i = 0; i < std::min(cpu[large].size(), cpu[small].size()); ++i)
        perPair.push_back((cpu[large][i] - cpu[small][i]) * 1e3 / (files::mostPairs - 1000));
    std::printf("| start, CPU a pair more from 1,000 to 32,767 pairs (us) | %s | info | |\n",
                spread(perPair, 2).c_str());
    const double fileMiB = static_cast<double>(largestBytes.size()) / (1024.0 * 1024.0);
    const double over = (median(peak[largest]) - median(peak[quiz])) / fileMiB;
    std::snprintf(miss, sizeof miss, "peak working set, largest file: %.2f x the file over built-in, target <= %.1f x",
                  over, largestFileTarget);
    std::printf("| peak working set, largest file (%.2f MiB) over built-in | %.2f x the file | <= %.1f x | %s |\n",
                fileMiB, over, largestFileTarget, verdict(over <= largestFileTarget, miss));

    if (misses.empty()) {
        std::printf("\nall targets met\n");
        return 0;
    }
    std::printf("\n%zu target(s) missed:\n", misses.size());
    for (const std::string& m : misses)
        std::printf("  %s\n", m.c_str());
    return 1;
}
