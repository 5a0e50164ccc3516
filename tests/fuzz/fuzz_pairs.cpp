// libFuzzer's entry: any bytes, read as a spreadsheet, as KVTML and by their
// look. The reader is to answer each with a whole exercise that keeps the
// rules, or with one message, and never crash, leak or hang.
#include "pairs/pairfile.hpp"

#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace {

bool keepsTheRules(const drelvan::PairFile& file)
{
    if (!file.exercise)
        return !file.error.empty();
    const drelvan::Exercise& exercise = *file.exercise;
    if (!file.error.empty() || exercise.pairs.empty() || exercise.pairs.size() > 32767
        || exercise.leftCaption.empty() || exercise.rightCaption.empty() || exercise.rightInKeyOrder)
        return false;
    const auto plain = [](std::u16string_view text, std::size_t limit) {
        if (text.empty() || text.size() > limit)
            return false;
        for (const char16_t c : text)
            if (c < 0x20 || (c >= 0x7F && c < 0xA0))
                return false;
        return true;
    };
    for (const drelvan::Pair& pair : exercise.pairs)
        if (!plain(pair.left, 1000) || !plain(pair.right, 1000) || pair.note.size() > 10000)
            return false;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    for (const std::u16string_view name : {u"f.csv", u"f.kvtml", u"f"})
        if (!keepsTheRules(drelvan::readPairs(name, bytes)))
            std::abort();
    return 0;
}
