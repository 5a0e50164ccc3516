#pragma once

#include "win32/subclass.hpp"

#include "quiz/session.hpp"

namespace drelvan::win32 {

// A visible list of the quiz in a native LISTBOX, unsorted, that only ever
// shows what the learner's Session says. The control's own answers to the
// learner's keys, letters, pointer and wheel would select behind the model's
// back, so they are taken away from it and go to the session as plain input;
// what the control still does itself is draw, and scroll by its scroll bar,
// which the session is told of.
class ListBoxView : public SubclassedControl {
public:
    // Creates the LISTBOX on `parent` for visible list `member`; its place is
    // set by the window's layout.
    ListBoxView(Session& session, int16_t member, HWND parent, int id);

    void show(const ListShown& list);

    // Tells the session how many whole rows fit, after the list was placed or
    // given another font.
    void measure();

    // The selection changed other than by the learner's input (a screen
    // reader selected an entry): it becomes the learner's pick.
    void selectionChangedByControl();

protected:
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    int rowAt(LPARAM point) const;

    Session& session_;
    int16_t member_;
};

} // namespace drelvan::win32
