// The core with a teacher's largest exercise: 32,767 pairs, the most a list
// box holds, against 1,000, on the learner's Session with a front-end that
// draws nothing. No display, no toolkit: what the model and the lists'
// controllers cost a front-end, whichever it is.
//
//   drelvan_bench_core [repetitions [folder]]
//
// Prints one line a figure, "name median min max" in ns of CPU time (the
// process's, which other programs on a busy machine do not stretch), then
// "name-wall ..." on the steady clock, and the target and whether it holds;
// exits with 1 where it is missed.
//
//  - pair: one pair as the learner makes it, a name picked and then a
//    period, whose pick judges the pair and takes both out; the rows are
//    drawn beforehand. The lists are dealt again (not clocked) before they
//    have lost a hundredth of their entries.
//  - open: Session::open of the exercise, the lists sorted and shown.
//  - reset: "Чисти" on a game in play, the lists dealt and shown again.
//  - refused: readPairFile of a file of 16 MiB, the most it reads, in one
//    line, which it refuses for a text too long: written to `folder` (the
//    system's temporary folder) and removed afterwards.

#include "bench/core/pairfiles.hpp"
#include "pairs/pairfile.hpp"
#include "quiz/session.hpp"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <cstdlib>
#include <filesystem>
#include <numeric>
#include <random>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// CPU time and wall clock, from one moment on.
struct Stopwatch {
    std::clock_t cpu = std::clock();
    Clock::time_point wall = Clock::now();
};

struct Times {
    std::vector<double> cpu, wall; // ns
    void add(const Stopwatch& since)
    {
        cpu.push_back(static_cast<double>(std::clock() - since.cpu) * 1e9 / CLOCKS_PER_SEC);
        wall.push_back(std::chrono::duration<double, std::nano>(Clock::now() - since.wall).count());
    }
};

// What a front-end is told, looked at as a drawing front-end would: the
// rows at the top of each list and the verdict's length, no more.
struct Blind : drelvan::FrontEnd {
    std::size_t seen = 0;
    void showCaptions(const drelvan::Form& form) override { seen += form.Caption().size(); }
    void showList(int16_t, const drelvan::ListShown& list) override
    {
        for (std::size_t row = 0; row < std::min<std::size_t>(list.entries.size(), 20); ++row)
            seen += list.entries[row].size();
    }
    void showVerdict(std::u16string_view text) override { seen += text.size(); }
    void announce(std::u16string_view text) override { seen += text.size(); }
    void reportFailure(std::string_view message) override
    {
        std::fprintf(stderr, "drelvan_bench_core: %.*s\n", static_cast<int>(message.size()), message.data());
        std::exit(2);
    }
};

std::u16string ascii(const std::string& text)
{
    return {text.begin(), text.end()};
}

// `count` pairs in no order the lists keep: words of a few Cyrillic letters
// and a number, so that sorting compares letters and digits as it does in a
// teacher's list, each left text once.
drelvan::Exercise exercise(int count)
{
    drelvan::Exercise made = drelvan::builtInExercise();
    made.rightInKeyOrder = false;
    made.pairs.clear();
    std::vector<int> numbers(static_cast<std::size_t>(count));
    std::iota(numbers.begin(), numbers.end(), 1);
    std::mt19937 random(1234);
    std::shuffle(numbers.begin(), numbers.end(), random);
    for (const int n : numbers) {
        drelvan::Pair pair;
        pair.left = {static_cast<char16_t>(u'а' + n % 29), static_cast<char16_t>(u'а' + n / 29 % 29)};
        pair.left.append(u"ова ").append(ascii(std::to_string(n)));
        pair.right.append(u"значение ").append(ascii(std::to_string(n * 7 % count)));
        pair.note.append(u"Бележка към ").append(ascii(std::to_string(n)));
        made.pairs.push_back(std::move(pair));
    }
    return made;
}

struct Figure {
    std::string name;
    double median, min, max;
};

Figure summarise(std::string name, std::vector<double> ns)
{
    std::sort(ns.begin(), ns.end());
    const std::size_t n = ns.size();
    const double median = n % 2 ? ns[n / 2] : (ns[n / 2 - 1] + ns[n / 2]) / 2;
    return {std::move(name), median, ns.front(), ns.back()};
}

Times pairs(drelvan::Session& session, int count, int repetitions)
{
    std::mt19937 random(99);
    const int perDeal = std::max(1, count / 100);
    std::vector<std::pair<int, int>> rows;
    for (int i = 0; i < repetitions; ++i) {
        const int left = count - i % perDeal;
        rows.emplace_back(std::uniform_int_distribution<int>(0, left - 1)(random),
                          std::uniform_int_distribution<int>(0, left - 1)(random));
    }
    Times times;
    for (int i = 0; i < repetitions; ++i) {
        if (i % perDeal == 0)
            session.reset();
        const Stopwatch start;
        session.press(0, rows[static_cast<std::size_t>(i)].first);
        session.press(1, rows[static_cast<std::size_t>(i)].second);
        times.add(start);
        session.release(1);
    }
    return times;
}

} // namespace

int main(int argc, char* argv[])
{
    const int repetitions = argc > 1 ? std::atoi(argv[1]) : 41;
    if (repetitions < 1) {
        std::fputs("usage: drelvan_bench_core [repetitions]\n", stderr);
        return 2;
    }
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    std::vector<Figure> figures;
    {
        namespace fs = std::filesystem;
        const fs::path refused = (argc > 2 ? fs::path(argv[2]) : fs::temp_directory_path()) / "drelvan-refused.csv";
        if (!drelvan::benchfiles::write(refused.string(), drelvan::benchfiles::oneLongLine()))
            return 2;
        Times reads;
        for (int i = 0; i < repetitions; ++i) {
            const Stopwatch read;
            const drelvan::PairFile file = drelvan::readPairFile(refused);
            reads.add(read);
            if (file)
                return 2;
        }
        fs::remove(refused);
        figures.push_back(summarise("refused", reads.cpu));
        figures.push_back(summarise("refused-wall", reads.wall));
    }
    Blind frontEnd;
    drelvan::Session session(frontEnd);
    session.showAll();
    for (const int count : {1000, 32767}) {
        const drelvan::Exercise pairsOfCount = exercise(count);
        const std::string of = std::string("-").append(std::to_string(count));
        Times opens, resets;
        for (int i = 0; i < repetitions; ++i) {
            const Stopwatch open;
            session.open(pairsOfCount);
            opens.add(open);
            session.press(0, 0); // a game in play
            const Stopwatch reset;
            session.reset();
            resets.add(reset);
        }
        // Many more pairs than opens: one costs far less.
        const Times checks = pairs(session, count, repetitions * 25);
        const std::pair<std::string, const Times*> named[] = {{"open", &opens}, {"reset", &resets}, {"pair", &checks}};
        for (const auto& [name, times] : named) {
            figures.push_back(summarise(name + of, times->cpu));
            figures.push_back(summarise(name + of + "-wall", times->wall));
        }
    }
    for (const Figure& f : figures)
        std::printf("%s %.0f %.0f %.0f\n", f.name.c_str(), f.median, f.min, f.max);
    if (frontEnd.seen == 0)
        return 2;

    constexpr double pairTarget = 1e6;      // ns
    constexpr double refusedTarget = 2e8;   // ns
    const Figure& pair = figures[figures.size() - 2];
    const Figure& refused = figures.front();
    const bool pairMet = pair.median <= pairTarget, refusedMet = refused.median <= refusedTarget;
    std::printf("pair check at 32767 pairs: %.3f ms, target <= %.3f ms: %s\n", pair.median / 1e6, pairTarget / 1e6,
                pairMet ? "met" : "MISSED");
    std::printf("a refused 16 MiB file read: %.3f s, target <= %.3f s: %s\n", refused.median / 1e9,
                refusedTarget / 1e9, refusedMet ? "met" : "MISSED");
    return pairMet && refusedMet ? 0 : 1;
}
