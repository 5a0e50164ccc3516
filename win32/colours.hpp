#pragma once

#include <windows.h>

#include <array>

namespace drelvan::win32 {

// A text colour and the background it is drawn on.
struct ColourPair {
    COLORREF text, back;
};

// The window's colours, by one rule, as Windows' own controls have it: the
// program's own in full or, under a high-contrast theme, the system's in
// full. Mixing them made text vanish (the program's pink under the theme's
// white text, the theme's black under the DC's black text). Selected list
// rows are the list box's, in the system's highlight colours either way.
// Read again when the theme changes, with a brush for each background.
class Colours {
public:
    // Window background; title and captions; lists and verdict box; "Чисти".
    enum Part { window, caption, box, button };

    Colours() { update(); }
    ~Colours() { release(); }
    Colours(const Colours&) = delete;
    Colours& operator=(const Colours&) = delete;

    void update();
    const ColourPair& operator[](Part part) const { return pairs_[part]; }
    HBRUSH brush(Part part) const { return brushes_[part]; }
    // The answer to WM_CTLCOLOR...: the DC in the part's colours, its brush.
    LRESULT paint(HDC dc, Part part) const;

private:
    void release();

    std::array<ColourPair, 4> pairs_{};
    HBRUSH brushes_[4]{};
};

} // namespace drelvan::win32
