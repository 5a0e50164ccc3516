// Writes the quiz's own sixteen khans as the examples that every package
// ships for teachers: a spreadsheet's text and a KVTML vocabulary, from
// content/ (builtInExercise()), so that the data is typed once. Run at build
// time, under Wine or Node in a cross build.
//
//     drelvan_examples <khans.csv> <khans.kvtml>

#include "content/exercise.hpp"
#include "examples/writer.hpp"

#include <cstdio>
#include <fstream>
#include <string>

namespace {

bool write(const char* path, const std::string& bytes)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    file.close();
    if (!file) {
        std::fprintf(stderr, "drelvan_examples: cannot write %s\n", path);
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fputs("usage: drelvan_examples <khans.csv> <khans.kvtml>\n", stderr);
        return 2;
    }
    const drelvan::Exercise khans = drelvan::builtInExercise();
    return write(argv[1], drelvan::csvOf(khans)) && write(argv[2], drelvan::kvtmlOf(khans)) ? 0 : 1;
}
