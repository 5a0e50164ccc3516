#pragma once

#include "win32/subclass.hpp"
#include "win32/systemlibrary.hpp"

#include <string_view>

struct IAccPropServices;

namespace drelvan::win32 {

// The verdict box: a read-only multi-line EDIT with a vertical scroll bar,
// whose long lines wrap at its width. The learner can read, scroll, select and
// copy, but not type.
class VerdictBox : public SubclassedControl {
public:
    VerdictBox(HWND parent, int id);
    ~VerdictBox() override { unname(); }

    // Shows `text` from its first line.
    void show(std::u16string_view text);

    // Whether the box has its name for screen readers, given on the first
    // call. Having no caption, it is named by Windows' dynamic annotation
    // (IAccPropServices) when a screen reader first asks (WM_GETOBJECT), so
    // that COM is never loaded where none runs.
    bool named();

protected:
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void unname();

    SystemLibrary com_{L"ole32.dll"};
    IAccPropServices* services_ = nullptr;
    bool asked_ = false;
    bool comStarted_ = false;
    bool named_ = false;
};

} // namespace drelvan::win32
