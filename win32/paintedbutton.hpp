#pragma once

#include <windows.h>

namespace drelvan::win32 {

// The reset button. A Win32 push button draws its face in the system's
// colour, whatever the program asks, so this one is owner-drawn: its own
// colour, the classic raised edge (sunken while pressed), the caption centred
// in the window's font, and the focus rectangle when it has the focus.
class PaintedButton {
public:
    PaintedButton(HWND parent, int id, const wchar_t* caption, COLORREF face);
    ~PaintedButton();
    PaintedButton(const PaintedButton&) = delete;
    PaintedButton& operator=(const PaintedButton&) = delete;

    HWND hwnd() const { return hwnd_; }
    void draw(const DRAWITEMSTRUCT& item) const;

private:
    HWND hwnd_;
    HBRUSH face_;
};

} // namespace drelvan::win32
