#pragma once

#include <windows.h>

namespace drelvan::win32 {

// A place on the window in twips, 1440 to the inch, from the top left corner
// of the client area: the unit the layout is designed in.
struct Twips {
    int left, top, width, height;
};

namespace layout {
inline constexpr Twips clientArea{0, 0, 6915, 5175};
inline constexpr Twips verdictBox{120, 3240, 6735, 1815};
inline constexpr Twips namesList{1320, 960, 1935, 2055};
inline constexpr Twips periodsList{3840, 960, 1455, 2055};
inline constexpr Twips resetButton{5520, 600, 1215, 375};
inline constexpr Twips titleLabel{960, 0, 4575, 375};
inline constexpr Twips namesCaption{1320, 600, 1935, 375};
inline constexpr Twips periodsCaption{3840, 600, 1455, 375};

inline constexpr COLORREF windowColour = RGB(0xC0, 0xC0, 0xFF);
inline constexpr COLORREF labelColour = RGB(0xFF, 0xC0, 0x80);
inline constexpr COLORREF buttonColour = RGB(0xFF, 0x80, 0x80);

// Times New Roman, 12 points, regular, Cyrillic character set.
inline constexpr int fontPoints = 12;
inline constexpr int fontWeight = FW_NORMAL;
inline constexpr BYTE fontCharset = RUSSIAN_CHARSET;
inline constexpr wchar_t fontFace[] = L"Times New Roman";
} // namespace layout

// Twips in pixels at `dpi`: 15 to the pixel at 96 dpi. Edges and sizes are
// rounded each on its own, so that a control keeps its designed size.
int pixels(int twips, UINT dpi);
RECT pixels(const Twips& place, UINT dpi);

// The quiz's font at `dpi`. Where Times New Roman is missing, the font mapper
// takes another roman face with Cyrillic letters.
HFONT createQuizFont(UINT dpi);

// The dots per inch the window is shown at. Windows 10 from 1607 on says it
// per monitor; older systems have one figure for the whole screen.
UINT dpiOf(HWND window);

// The outer size of a window whose client area is `client`, with its frame
// drawn at `dpi`.
SIZE windowSizeFor(SIZE client, DWORD style, DWORD exStyle, UINT dpi);

} // namespace drelvan::win32
