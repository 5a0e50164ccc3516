#pragma once

#include "controls/controls.hpp"
#include "controls/listrules.hpp"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace drelvan {

// The modifier keys held with a key.
struct Modifiers {
    bool shift = false;
    bool control = false;
    bool alt = false;
};

// How a list's entries changed since it was last shown: not at all, one
// entry taken out (a check), or anything else (a reset, the first showing).
struct EntriesChange {
    enum Kind { None, Removed, Replaced };
    Kind kind = None;
    int row = -1; // the entry taken out, for Removed
};

// All a front-end needs to draw a visible list: the model's entries and
// selection, and where the list stands on the screen.
struct ListShown {
    const std::vector<std::u16string>& entries;
    int selected; // the model's ListIndex
    int caret;    // the entry with the focus mark, -1 for none
    int top;      // the first row shown
    bool focused; // whether the list has the keyboard focus (and so shows its mark)
    EntriesChange change;
};

// One visible list box on the screen, as the learner works it: everything
// that is not the model's own state but decides what the learner's input
// picks and what the list shows. The focus mark, the first row shown, the
// rows that fit, the letters typed so far and the pointer's gesture all live
// here, so every front-end behaves alike: it only turns its toolkit's events
// into these calls and draws what `shown()` says.
//
// The learner's input answers with the entry it picks, or -1 where it picks
// nothing. A pick moves the focus mark onto the entry and brings it into
// sight at once; the quiz then makes it the model's selection, which may
// take entries out of this very list, and `settle` brings the list up to
// date with the model afterwards.
//
// A single-column list box on Windows is the model of behaviour:
// - the moving keys pick (keySelection), Shift and Ctrl do not change what
//   they pick in a list of single selection, and Alt leaves them to the
//   window (its menu keys);
// - letters typed within `typingInterval` of each other make one search,
//   which starts afresh when the list gains or loses the focus or its
//   entries change;
// - the wheel scrolls three rows a notch and picks nothing;
// - the pointer picks on a press and as it is dragged (PointerGesture).
class ListController {
public:
    // Letters typed within this long of each other make one search.
    static constexpr std::int64_t typingInterval = 1000; // ms
    // One notch of a mouse wheel is 120 units, and scrolls this many rows.
    static constexpr int wheelNotch = 120;
    static constexpr int rowsPerNotch = 3;

    explicit ListController(const ListBox& model);

    // A moving key. Returns std::nullopt where the key is not the list's to
    // handle (Alt held): the front-end leaves it to its window. Otherwise the
    // key is the list's, and the result is the entry it picks or -1.
    std::optional<int> key(listrules::ListKey key, Modifiers modifiers);
    // What one key typed, at `milliseconds` on any steady clock. Returns
    // std::nullopt where the text is no letter to search with (a control
    // character, a blank, nothing), else the entry found or -1.
    std::optional<int> type(std::u16string_view text, std::int64_t milliseconds);

    // The pointer: a press on `row` (-1 below the entries), drags over rows,
    // the release.
    int press(int row);
    int drag(int row);
    void release();
    bool pressed() const { return pointer_.pressed(); }

    // An entry picked other than by key or pointer (a screen reader): it
    // gets the focus mark and comes into sight as any pick does. Returns it,
    // or -1 where there is no such entry.
    int pick(int row);

    // The wheel turned by `delta` units (positive towards the top) and the
    // scroll bar moved by the learner: only the rows shown move.
    void wheel(int delta);
    void scrollTo(int top);

    void focusIn();
    void focusOut();

    // Whole rows the list has room for, as laid out on the screen.
    void setRowsShown(int rows);

    // The entry in the `line`-th row shown (from 0), or -1 where no entry
    // stands there.
    int rowAtLine(int line) const;

    // To be called after each of the learner's actions has run through the
    // model. `picked` is what that action picked in this list (-1 for
    // nothing). Returns whether anything shown changed since the last call.
    bool settle(int picked = -1);

    // What to draw. The change of entries counts since the last `shown()`.
    ListShown shown();

    int caret() const { return place_.caret; }
    int top() const { return place_.top; }
    int rowsShown() const { return rowsShown_; }
    bool focused() const { return focused_; }
    int count() const { return model_->ListCount(); }

private:
    listrules::ListState state() const;
    EntriesChange entriesChange() const;
    void aim(int row);

    const ListBox* model_;
    listrules::ListPlace place_;
    int rowsShown_ = 1;
    bool focused_ = false;
    unsigned long followedClears_ = 0;
    listrules::TypeAhead typeAhead_;
    std::optional<std::int64_t> lastTyped_;
    listrules::PointerGesture pointer_;
    int wheelRest_ = 0;

    // The list as it was last shown.
    struct Shown {
        unsigned long revision = 0; // the model's
        unsigned long clears = 0;
        int selected = -1;
        listrules::ListPlace place;
        bool focused = false;
    };
    std::optional<Shown> shown_;
};

} // namespace drelvan
