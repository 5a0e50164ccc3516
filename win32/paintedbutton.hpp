#pragma once

#include "win32/colours.hpp"
#include "win32/subclass.hpp"

#include <windows.h>

namespace drelvan::win32 {

// The reset button. A Win32 push button draws its face in the system's
// colour, whatever the program asks, so this one is owner-drawn: the face and
// caption of the window's colour rule, the classic raised edge (sunken while
// pressed), the caption centred in the window's font, and the focus rectangle
// when it has the focus, edges and rectangle as thick as the window's dpi
// asks.
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
