#pragma once

#include "accessiblename.hpp"
#include "subclass.hpp"

#include <memory>

#include <string>

namespace drelvan::win32 {

// The verdict box: a read-only multi-line EDIT with a vertical scroll bar,
// whose long lines wrap at its width. The learner can read, scroll, select and
// copy, but not type.
class VerdictBox : public SubclassedControl {
public:
    VerdictBox(HWND parent, int id);

    // Shows the model's text from its first line; true when it changed.
    bool show(const std::u16string& text);

    // The box's name for screen readers. It has no caption to be named by,
    // so it is given one when a screen reader first asks for the box
    // (WM_GETOBJECT): where none runs, COM is never started.
    const AccessibleName& accessibleName();

protected:
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    std::u16string shown_;
    std::unique_ptr<AccessibleName> name_;
    bool first_ = true;
};

} // namespace drelvan::win32
