#pragma once

#include "win32/accessiblename.hpp"
#include "win32/subclass.hpp"

#include <memory>
#include <string_view>

namespace drelvan::win32 {

// The verdict box: a read-only multi-line EDIT with a vertical scroll bar,
// whose long lines wrap at its width. The learner can read, scroll, select and
// copy, but not type.
class VerdictBox : public SubclassedControl {
public:
    VerdictBox(HWND parent, int id);

    // Shows `text` from its first line.
    void show(std::u16string_view text);

    // The box's name for screen readers. It has no caption to be named by,
    // so it is given one when a screen reader first asks for the box
    // (WM_GETOBJECT): where none runs, COM is never started.
    const AccessibleName& accessibleName();

protected:
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    std::unique_ptr<AccessibleName> name_;
};

} // namespace drelvan::win32
