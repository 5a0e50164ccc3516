#pragma once

// The window as it was designed: every control's place in twips (1440 to
// the inch, from the top left corner of the client area; 15 make a pixel at
// 96 dpi), the colours and the font. Each front-end lays its window out from
// these, scaled to the display.
namespace drelvan::layout {

struct Twips {
    int left, top, width, height;
};

inline constexpr Twips clientArea{0, 0, 6915, 5175};
inline constexpr Twips verdictBox{120, 3240, 6735, 1815};
inline constexpr Twips namesList{1320, 960, 1935, 2055};
inline constexpr Twips periodsList{3840, 960, 1455, 2055};
inline constexpr Twips resetButton{5520, 600, 1215, 375};
inline constexpr Twips titleLabel{960, 0, 4575, 375};
inline constexpr Twips namesCaption{1320, 600, 1935, 375};
inline constexpr Twips periodsCaption{3840, 600, 1455, 375};

struct Rgb {
    unsigned char red, green, blue;
};

inline constexpr Rgb windowColour{0xC0, 0xC0, 0xFF};
inline constexpr Rgb labelColour{0xFF, 0xC0, 0x80};
inline constexpr Rgb buttonColour{0xFF, 0x80, 0x80};

// Times New Roman, 12 points, regular, Cyrillic character set. Every
// control has the window's font.
inline constexpr char16_t fontFace[] = u"Times New Roman";
inline constexpr int fontPoints = 12;
inline constexpr int fontWeight = 400;
inline constexpr int fontCharset = 204;

} // namespace drelvan::layout
