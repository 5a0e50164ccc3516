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
    // placed or given another font.
    void measure();
    // Tells the session how many whole rows fit, the width being fitted
    // already: after the list was dealt other entries, which show() fits.
    void countRows();

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
    // Whether the deal's width has been fitted, and in which font (null: the
    // system's). The window sets a new font (made before the old one is
    // deleted, so never the same handle) and measures every list at once.
    bool fitted_ = false;
    HFONT fittedIn_ = nullptr;
};

} // namespace drelvan::win32
