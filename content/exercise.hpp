#pragma once

#include <string>
#include <vector>

namespace drelvan {

// One pair the learner is to find: a text of the left list, its partner in
// the right list, and the note that a right pair shows (may be empty, and
// may hold line breaks as CR LF).
struct Pair {
    std::u16string left;
    std::u16string right;
    std::u16string note;
};

// Everything one quiz is made of: the built-in khans, or a teacher's own
// pairs read from a file (pairs/pairfile.hpp). The pairs are the answer key,
// row by row, in the order given; the lists the learner sees are dealt from
// them.
struct Exercise {
    std::u16string windowTitle;
    std::u16string title; // the label over the lists
    std::u16string leftCaption;
    std::u16string rightCaption;
    // What the verdict box shows until the first verdict or reset, lines
    // ended by CR LF.
    std::u16string opening;
    std::vector<Pair> pairs;
    // The right list keeps the key's order rather than sorting its entries:
    // the khans' periods, which the key holds in chronological order.
    bool rightInKeyOrder = false;
};

// The sixteen khans with the window's own texts, as the program opens
// without a file.
Exercise builtInExercise();

} // namespace drelvan
