#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

// Which entry of a list box the learner's key or pointer selects, and where
// the list stands on the screen afterwards. Every front-end asks these rules
// rather than deciding for itself, so the lists behave alike everywhere and
// are tested here without a display.
//
// Rows are plain ints: a front-end counts in its toolkit's ints, and the
// model's 16-bit positions fit. -1 means "no entry".
namespace drelvan::listrules {

// What a list shows when the learner acts on it.
struct ListState {
    int count = 0;
    int selected = -1; // the model's ListIndex
    int caret = -1;    // the entry with the focus mark
    int rowsShown = 1; // whole rows the list has room for
};

enum class ListKey { Up, Down, Left, Right, PageUp, PageDown, Home, End, Space };

// The entry a key selects, or -1 where the key selects nothing (an empty
// list). The learner never empties a selection. With nothing selected, the
// moving keys and Space pick the entry under the focus mark (the first one
// where there is no mark), Home and End the first and the last; with a
// selection they move from it. A single-column list has no columns to move
// between, so Left and Right move like Up and Down. Page Up and Page Down
// move by one row less than a page, so that one row of the old page stays in
// sight.
int keySelection(ListKey key, const ListState& list);

// Folds a UTF-16 code unit to lower case, for Latin and Cyrillic letters
// (the learner may type "к" for "Крум"); anything else stays as it is.
char16_t foldCase(char16_t c);

// The order of a sorted list box: ignoring case, and with a run of digits
// compared as the number it writes ("9 - 12" before "10 - 15"). Texts that
// this leaves equal go by their code units, so the order never depends on
// the order of insertion. For the khans' names it is the alphabetical order,
// and for their periods the chronological one.
bool naturalLess(std::u16string_view a, std::u16string_view b);

// Puts `texts` in naturalLess's order, as std::sort with it would, at a
// fraction of its cost for a long list: each text's sort key is made once,
// its letters folded and its numbers written so that they compare as
// numbers, and the keys compare code unit by code unit. Texts that
// naturalLess leaves equal are the same text, so no order among them can be
// told.
void sortNaturally(std::span<std::u16string> texts);

// Letters typed in quick succession search for an entry that starts with
// them all, ignoring case. A new search starts behind the focus mark and
// wraps; typing the same letter again goes on to the next entry that starts
// with it.
class TypeAhead {
public:
    // `text` is what one key typed; `continuing` says whether it came soon
    // enough after the last to extend the search. Returns the entry to
    // select, or -1 where none starts so.
    int type(std::u16string_view text, bool continuing, const std::vector<std::u16string>& entries, int caret);

    const std::u16string& search() const { return search_; }

private:
    std::u16string search_;
};

// One press of the pointer button on a list, through its drags to the
// release. The press selects the entry under it, and a drag the one it comes
// over. A pick that the quiz turns into a check takes the entry out of the
// list, and the rows behind it move up under the pointer; for the rest of
// that press the pointer selects nothing, so an entry the learner never
// chose cannot slip into the next pair.
class PointerGesture {
public:
    // `row` is the entry under the pointer, -1 below the entries.
    int press(int row);
    int drag(int row, int selected) const;
    // To be told after each pick has run through the quiz: a pick that no
    // longer stands as the selection was consumed by a check.
    void picked(int row, int selectedAfter);
    void release();

    bool pressed() const { return pressed_; }

private:
    bool pressed_ = false;
    bool spent_ = false;
};

// Where a list stands on the screen: the focus mark and the first row shown.
struct ListPlace {
    int caret = -1;
    int top = 0;
};

// The first row to show so that `row` is in sight, moving as little as
// possible.
int topShowing(int row, int top, int rowsShown);

// The highest first row a list of `count` entries can have.
int lastTop(int count, int rowsShown);

// Brings a list's place up to date after the model changed. The focus mark
// follows the selection; where its entry left the list it stays in its row,
// on the entry that moved up, so the keyboard carries on from there. A list
// that was emptied since (`emptied`) has no rows left to stand on: refilled,
// it shows its first entry at the top with the focus mark on it, as at the
// start.
ListPlace follow(ListPlace place, const ListState& list, bool emptied);

} // namespace drelvan::listrules
