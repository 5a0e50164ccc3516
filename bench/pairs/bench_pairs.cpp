// Times the pair reader on files made to hurt it, side by side with a large
// file it reads: each the best of a few runs, in milliseconds of the clock
// and of the processor (the second tells a busy machine from a slow
// reader), with the reader's first words. Hostile files are to be refused in
// well under a second.
#include "content/utf8.hpp"
#include "pairs/pairfile.hpp"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

struct Input {
    const char* name;
    std::u16string fileName;
    std::string bytes;
};

std::string billionLaughs()
{
    std::string out = "<?xml version=\"1.0\"?>\n<!DOCTYPE kvtml [\n <!ENTITY lol0 \"lol\">\n";
    for (int level = 1; level <= 9; ++level) {
        out += " <!ENTITY lol" + std::to_string(level) + " \"";
        for (int i = 0; i < 10; ++i)
            out += "&lol" + std::to_string(level - 1) + ";";
        out += "\">\n";
    }
    return out + "]>\n<kvtml version=\"2.0\"><information><title>&lol9;</title></information></kvtml>\n";
}

std::string fullList()
{
    std::string out = "Дума,Превод,Бележка\r\n";
    for (int i = 1; i <= 32767; ++i)
        out += "дума " + std::to_string(i) + ",word " + std::to_string(i) + ",\"бележка\r\nна два реда\"\r\n";
    return out;
}

} // namespace

int main(int argc, char** argv)
{
    // bench_pairs [runs (5)] [a word of the files' names to time only those]
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    const std::string only = argc > 2 ? argv[2] : "";
    const std::size_t limit = drelvan::maxPairFileBytes;
    const Input inputs[] = {
        {"billion laughs (KVTML)", u"Смях.kvtml", billionLaughs()},
        {"16 MiB, one line (CSV)", u"Ред.csv", std::string(limit, 'a')},
        {"16 MiB, one quoted cell (CSV)", u"Ред.csv", "\"" + std::string(limit - 1, 'a')},
        {"16 MiB, one text (KVTML)", u"Ред.kvtml",
            "<kvtml version=\"2.0\"><entries><entry><translation id=\"0\"><text>" + std::string(limit - 200, 'a')
                + "</text></translation></entry></entries></kvtml>"},
        {"16 MiB, nested 4 million deep (KVTML)", u"Дълбок.kvtml",
            [&] {
                std::string out;
                while (out.size() + 7 < limit)
                    out += "<a>";
                return out;
            }()},
        {"32 767 pairs, 1.5 MiB (CSV)", u"Много.csv", fullList()},
        {"32 767 pairs (KVTML)", u"Много.kvtml",
            [] {
                std::string out = "<kvtml version=\"2.0\"><identifiers><identifier id=\"0\"><name>Дума</name>"
                                  "</identifier><identifier id=\"1\"><name>Превод</name></identifier></identifiers>"
                                  "<entries>\n";
                for (int i = 1; i <= 32767; ++i)
                    out += "<entry id=\"" + std::to_string(i) + "\"><translation id=\"0\"><text>дума "
                           + std::to_string(i) + "</text><comment>бележка\nна два реда</comment></translation>"
                           "<translation id=\"1\"><text>word</text></translation></entry>\n";
                return out + "</entries></kvtml>\n";
            }()},
    };

    std::printf("%-40s %10s %10s %10s  %s\n", "file", "bytes", "ms", "cpu ms", "answer");
    for (const Input& input : inputs) {
        if (std::string(input.name).find(only) == std::string::npos)
            continue;
        double best = 1e9, bestCpu = 1e9;
        drelvan::PairFile file;
        for (int run = 0; run < runs; ++run) {
            const auto start = std::chrono::steady_clock::now();
            const std::clock_t cpuStart = std::clock();
            file = drelvan::readPairs(input.fileName, input.bytes);
            bestCpu = std::min(bestCpu, 1000.0 * static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC);
            best = std::min(best, std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
        }
        const std::string answer = file ? std::to_string(file.exercise->pairs.size()) + " pairs"
                                        : drelvan::toUtf8(file.error.substr(0, 60));
        std::printf("%-40s %10zu %10.1f %10.1f  %s\n", input.name, input.bytes.size(), best, bestCpu, answer.c_str());
    }

    // A file over the limit on the disk: refused by its size, unread.
    const std::filesystem::path big = std::filesystem::temp_directory_path() / "drelvan-bench-pairs-big.csv";
    std::ofstream(big, std::ios::binary).put('a');
    std::filesystem::resize_file(big, 1024u * 1024 * 1024);
    double best = 1e9;
    drelvan::PairFile file;
    for (int run = 0; run < runs; ++run) {
        const auto start = std::chrono::steady_clock::now();
        file = drelvan::readPairFile(big);
        best = std::min(best, std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    std::printf("%-40s %10s %10.2f %10s  %s\n", "1 GiB on the disk (CSV)", "1073741824", best, "",
        drelvan::toUtf8(file.error.substr(0, 60)).c_str());
    std::filesystem::remove(big);
    return 0;
}
