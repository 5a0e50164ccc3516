#include "win32/colours.hpp"

#include "win32/layout.hpp"

namespace drelvan::win32 {

// The program's pairs all read well: black on the labels' orange 13 : 1, on
// the button's pink 8.7 : 1, on white 21 : 1. Under a theme, each text colour
// goes with the background made for it: the window and captions as a
// dialog's face, the lists and the verdict box as a window's inside.
void Colours::update()
{
    release();
    HIGHCONTRASTW theme{};
    theme.cbSize = sizeof theme;
    if (SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof theme, &theme, 0) && (theme.dwFlags & HCF_HIGHCONTRASTON)) {
        const ColourPair face{GetSysColor(COLOR_BTNTEXT), GetSysColor(COLOR_BTNFACE)};
        pairs_ = {face, face, ColourPair{GetSysColor(COLOR_WINDOWTEXT), GetSysColor(COLOR_WINDOW)}, face};
    } else {
        constexpr COLORREF black = RGB(0, 0, 0);
        pairs_ = {ColourPair{black, colorRef(layout::windowColour)}, ColourPair{black, colorRef(layout::labelColour)},
                  ColourPair{black, RGB(0xFF, 0xFF, 0xFF)}, ColourPair{black, colorRef(layout::buttonColour)}};
    }
    for (std::size_t part = 0; part < pairs_.size(); ++part)
        brushes_[part] = CreateSolidBrush(pairs_[part].back);
}

LRESULT Colours::paint(HDC dc, Part part) const
{
    SetTextColor(dc, pairs_[part].text);
    SetBkColor(dc, pairs_[part].back);
    return reinterpret_cast<LRESULT>(brushes_[part]);
}

void Colours::release()
{
    for (HBRUSH& brush : brushes_) {
        if (brush)
            DeleteObject(brush);
        brush = nullptr;
    }
}

} // namespace drelvan::win32
