#pragma once

#include "subclass.hpp"

#include "controls/controls.hpp"
#include "controls/listrules.hpp"

#include <functional>
#include <string>
#include <vector>

namespace drelvan::win32 {

// A visible list box of the model shown in a native LISTBOX. The model, not
// the control, decides what the entries are, their order and which one is
// selected: the control is unsorted and is only ever told, by sync(). The
// learner's keys, letters and pointer go through the control model's rules
// (controls/listrules.hpp), never the LISTBOX's own, and the entry they pick
// goes to `chooser`; the quiz may then take entries out of this very list
// before sync() is called.
class ListBoxMirror : public SubclassedControl {
public:
    // Creates the LISTBOX on `parent`; its place is set by the window's layout.
    ListBoxMirror(const ListBox& model, HWND parent, int id);

    void setChooser(std::function<void(int row)> chooser) { chooser_ = std::move(chooser); }

    // To be called after the model changed: the entries, the selection, the
    // focus mark and the first row shown are brought up to date.
    void sync();

    // The entry the control shows as selected changed without the rules (a
    // screen reader, say): it becomes the learner's pick.
    void selectionChangedByControl();

    int caret() const { return caret_; }

protected:
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    int count() const { return model_.ListCount(); }
    int rowsShown() const;
    int topRow() const;
    int rowAt(LPARAM point) const;
    listrules::ListState state() const;
    void choose(int row);
    void syncEntries();
    void press(LPARAM point);
    void drag(LPARAM point);
    bool key(WPARAM virtualKey);
    void typed(wchar_t letter);

    const ListBox& model_;
    std::function<void(int)> chooser_;
    std::vector<std::u16string> shown_;
    unsigned long clears_ = 0;
    int caret_ = -1;
    listrules::TypeAhead typeAhead_;
    listrules::PointerGesture pointer_;
    DWORD lastTyped_ = 0;
    bool typedBefore_ = false;
};

} // namespace drelvan::win32
