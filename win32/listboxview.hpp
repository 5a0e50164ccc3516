#pragma once

#include "win32/subclass.hpp"

#include "quiz/session.hpp"

#include <string>
#include <vector>

namespace drelvan::win32 {

// A visible list in a native LISTBOX, unsorted, showing only what the
// learner's Session says. The control's own answers to keys, letters,
// pointer and wheel would select behind the model's back, so they go to the
// session as plain input; the control only draws, and scrolls by its scroll
// bar, which the session is told of.
class ListBoxView : public SubclassedControl {
public:
    // The LISTBOX of visible list `member` on `parent`.
    ListBoxView(Session& session, int16_t member, HWND parent, int id);

    void show(const ListShown& list);

    // Sets the width the list scrolls over to its widest entry of the deal,
    // then tells the session how many whole rows fit: after the list was
    // placed, given another font or dealt other entries.
    void measure();

    // A screen reader changed the selection: it becomes the learner's pick.
    void selectionChangedByControl();

protected:
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    int rowAt(LPARAM point) const;
    void fitWidth();
    int rowsThatFit() const;

    Session& session_;
    int16_t member_;
    // The entries as last dealt. The width to scroll over is theirs while
    // the game goes on: the list keeps its height as checks take entries out.
    std::vector<std::u16string> dealt_;
};

} // namespace drelvan::win32
