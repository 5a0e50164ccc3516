#include "win32/colours.hpp"

#include "win32/layout.hpp"

namespace drelvan::win32 {

bool highContrast()
{
    HIGHCONTRASTW theme{};
    theme.cbSize = sizeof theme;
    return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof theme, &theme, 0)
           && (theme.dwFlags & HCF_HIGHCONTRASTON);
}

// The program's pairs all read well: black on the labels' orange is 13 : 1,
// on the button's pink 8.7 : 1, on white 21 : 1. Under a theme, each text
// colour goes with the background the theme made it for: the window and its
// captions as a dialog's face, the lists and the verdict box as a window's
// inside.
Palette paletteFor(bool highContrast)
{
    if (highContrast) {
        const ColourPair face{GetSysColor(COLOR_BTNTEXT), GetSysColor(COLOR_BTNFACE)};
        return {face.back, face, {GetSysColor(COLOR_WINDOWTEXT), GetSysColor(COLOR_WINDOW)}, face};
    }
    constexpr COLORREF black = RGB(0, 0, 0);
    return {colorRef(layout::windowColour),
            {black, colorRef(layout::labelColour)},
            {black, RGB(0xFF, 0xFF, 0xFF)},
            {black, colorRef(layout::buttonColour)}};
}

Colours::Colours()
{
    update();
}

Colours::~Colours()
{
    release();
}

void Colours::update()
{
    release();
    palette_ = paletteFor(highContrast());
    brushes_[window] = CreateSolidBrush(palette_.window);
    brushes_[caption] = CreateSolidBrush(palette_.caption.back);
    brushes_[box] = CreateSolidBrush(palette_.box.back);
    brushes_[button] = CreateSolidBrush(palette_.button.back);
}

LRESULT Colours::paint(HDC dc, Part part) const
{
    const ColourPair& pair = part == caption ? palette_.caption : part == box ? palette_.box : palette_.button;
    SetTextColor(dc, pair.text);
    SetBkColor(dc, pair.back);
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
