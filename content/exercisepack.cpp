#include "content/exercisepack.hpp"

#include <cstdint>

namespace drelvan {
namespace {

// A count in two code units, the high half first.
void putCount(std::u16string& packed, std::size_t count)
{
    packed += static_cast<char16_t>((count >> 16) & 0xFFFF);
    packed += static_cast<char16_t>(count & 0xFFFF);
}

void putText(std::u16string& packed, std::u16string_view text)
{
    putCount(packed, text.size());
    packed += text;
}

// Takes from the front of what is left; any take past its end fails, and
// the unpacking with it.
class Unpacker {
public:
    explicit Unpacker(std::u16string_view packed) : rest(packed) {}

    bool count(std::size_t& count)
    {
        if (rest.size() < 2)
            return false;
        count = (std::size_t{rest[0]} << 16) | rest[1];
        rest.remove_prefix(2);
        return true;
    }

    bool text(std::u16string& text)
    {
        std::size_t units = 0;
        if (!count(units) || units > rest.size())
            return false;
        text.assign(rest.substr(0, units));
        rest.remove_prefix(units);
        return true;
    }

    bool done() const { return rest.empty(); }

private:
    std::u16string_view rest;
};

} // namespace

std::u16string packExercise(const Exercise& exercise)
{
    std::size_t units = 12;
    for (const Pair& pair : exercise.pairs)
        units += 6 + pair.left.size() + pair.right.size() + pair.note.size();
    std::u16string packed;
    packed.reserve(units + exercise.windowTitle.size() + exercise.title.size() + exercise.leftCaption.size()
                   + exercise.rightCaption.size() + exercise.opening.size());
    for (const std::u16string* text : {&exercise.windowTitle, &exercise.title, &exercise.leftCaption,
                                       &exercise.rightCaption, &exercise.opening})
        putText(packed, *text);
    putCount(packed, exercise.rightInKeyOrder ? 1 : 0);
    putCount(packed, exercise.pairs.size());
    for (const Pair& pair : exercise.pairs) {
        putText(packed, pair.left);
        putText(packed, pair.right);
        putText(packed, pair.note);
    }
    return packed;
}

std::optional<Exercise> unpackExercise(std::u16string_view packed)
{
    Unpacker from(packed);
    Exercise exercise;
    std::size_t inKeyOrder = 0, pairs = 0;
    if (!from.text(exercise.windowTitle) || !from.text(exercise.title) || !from.text(exercise.leftCaption)
        || !from.text(exercise.rightCaption) || !from.text(exercise.opening) || !from.count(inKeyOrder)
        || inKeyOrder > 1 || !from.count(pairs) || pairs > packed.size() / 6)
        return std::nullopt;
    exercise.rightInKeyOrder = inKeyOrder == 1;
    exercise.pairs.resize(pairs);
    for (Pair& pair : exercise.pairs)
        if (!from.text(pair.left) || !from.text(pair.right) || !from.text(pair.note))
            return std::nullopt;
    if (!from.done())
        return std::nullopt;
    return exercise;
}

} // namespace drelvan
