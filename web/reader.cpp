// The page's reader of teachers' files: the core's reader (pairs/) in a
// WebAssembly module of its own, with none of Emscripten's JavaScript
// around it. The page compiles it only when a teacher opens a file, so the
// built-in quiz's start pays nothing for it, and drops it once the file is
// read, with the memory it grew to. What it reads goes to the quiz's module
// packed (content/exercisepack.hpp).

#include "content/exercisepack.hpp"
#include "pairs/pairfile.hpp"

#include <emscripten/emscripten.h>

#include <algorithm>
#include <string>

namespace {

std::u16string fileName;
std::string fileBytes;
std::u16string result;

} // namespace

extern "C" {

// Where the page writes the file's name, of `units` UTF-16 code units.
EMSCRIPTEN_KEEPALIVE char16_t* dr_name(int units)
{
    fileName.assign(static_cast<std::size_t>(std::max(units, 0)), u'\0');
    return fileName.data();
}

// Where the page then writes the first `bytes` of the file: no more than
// dr_limit(), which is enough for the reader to refuse a larger file.
EMSCRIPTEN_KEEPALIVE char* dr_bytes(int bytes)
{
    fileBytes.assign(static_cast<std::size_t>(std::max(bytes, 0)), '\0');
    return fileBytes.data();
}

EMSCRIPTEN_KEEPALIVE double dr_limit()
{
    return static_cast<double>(drelvan::maxPairFileBytes + 1);
}

// Reads the file, whose whole size is `size` bytes, into the text at
// dr_result(), of the length returned: 1 and the packed exercise, or 0 and
// the reader's message for the teacher.
EMSCRIPTEN_KEEPALIVE int dr_read(double size)
{
    const drelvan::PairFile pairs =
        drelvan::readPairs(fileName, fileBytes, static_cast<std::uintmax_t>(std::max(size, 0.0)));
    std::string().swap(fileBytes);
    result = pairs ? u'\1' + drelvan::packExercise(*pairs.exercise) : u'\0' + pairs.error;
    return static_cast<int>(result.size());
}

EMSCRIPTEN_KEEPALIVE const char16_t* dr_result()
{
    return result.data();
}

} // extern "C"
