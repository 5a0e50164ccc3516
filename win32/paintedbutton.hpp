#pragma once

#include "win32/colours.hpp"
#include "win32/subclass.hpp"

#include <windows.h>

namespace drelvan::win32 {

// The reset button, owner-drawn: a Win32 push button paints its face in the
// system's colour whatever the program asks. Face and caption follow the
// window's colour rule, with the classic raised edge (sunken while pressed),
// the caption centred in the window's font, and the focus rectangle; edges
// and rectangle as thick as the window's dpi asks.
class PaintedButton : public SubclassedControl {
public:
    PaintedButton(HWND parent, int id, const wchar_t* caption, const Colours& colours);

    void draw(const DRAWITEMSTRUCT& item) const;

protected:
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    const Colours& colours_;
};

} // namespace drelvan::win32
