#pragma once

#include <array>
#include <string_view>

namespace drelvan {

// One ruler of the quiz: what the learner sees in the two lists, and the
// note that rewards a right pair.
struct Ruler {
    std::u16string_view name;
    std::u16string_view period;
    std::u16string_view note;
};

// The sixteen khans from 681 to 852, in chronological order. A ruler's
// position here is its catalogue row; the hidden key lists are filled from
// this table row by row, so the order is part of the answer key.
extern const std::array<Ruler, 16> catalogue;

} // namespace drelvan
