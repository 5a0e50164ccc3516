#pragma once

#include <windows.h>

#include <array>

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
// them in the system's highlight colours in either case. Read again when the
// theme changes (WM_SYSCOLORCHANGE, WM_SETTINGCHANGE), with a brush for each
// background.
class Colours {
public:
    // The window's own background; the quiz's title and the lists' captions;
    // the lists and the verdict box; "Чисти".
    enum Part { window, caption, box, button };

    Colours() { update(); }
    ~Colours() { release(); }
    Colours(const Colours&) = delete;
    Colours& operator=(const Colours&) = delete;

    // Reads the theme again.
    void update();
    const ColourPair& operator[](Part part) const { return pairs_[part]; }
    HBRUSH brush(Part part) const { return brushes_[part]; }
    // The answer to a control's WM_CTLCOLOR...: its DC set to the part's
    // text and background, and the brush of that background.
    LRESULT paint(HDC dc, Part part) const;

private:
    void release();

    std::array<ColourPair, 4> pairs_{};
    HBRUSH brushes_[4]{};
};

} // namespace drelvan::win32
