#pragma once

#include <windows.h>

namespace drelvan::win32 {

// A text colour and the background it is drawn on.
struct ColourPair {
    COLORREF text, back;
};

// The window's colours, by one rule: either the program's own hold in full
// or, under a high-contrast theme, the system's hold in full, the way
// Windows' own controls behave. Mixing the two is what made text vanish: the
// program's pink under the theme's white text, the theme's black under the
// DC's black text. Selected list rows are left to the list box, which draws
// them in the system's highlight colours in either case.
struct Palette {
    COLORREF window; // the window's own background
    ColourPair caption; // the quiz's title and the lists' captions
    ColourPair box; // the lists and the verdict box
    ColourPair button; // "Чисти"
};

// Whether the learner has a high-contrast theme on.
bool highContrast();
Palette paletteFor(bool highContrast);

// The palette in force, with a brush for each background; read again when
// the theme changes (WM_SYSCOLORCHANGE, WM_SETTINGCHANGE).
class Colours {
public:
    enum Part { window, caption, box, button };

    Colours();
    ~Colours();
    Colours(const Colours&) = delete;
    Colours& operator=(const Colours&) = delete;

    // Reads the theme again.
    void update();
    const Palette& palette() const { return palette_; }
    HBRUSH brush(Part part) const { return brushes_[part]; }
    // The answer to a control's WM_CTLCOLOR...: its DC set to the part's
    // text and background, and the brush of that background.
    LRESULT paint(HDC dc, Part part) const;

private:
    void release();

    Palette palette_{};
    HBRUSH brushes_[4]{};
};

} // namespace drelvan::win32
