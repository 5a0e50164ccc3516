#pragma once

#include "content/layout.hpp"

#include <windows.h>

namespace drelvan::win32 {

using layout::Twips;

inline constexpr COLORREF colorRef(layout::Rgb colour)
{
    return RGB(colour.red, colour.green, colour.blue);
}

// Twips in pixels at `dpi`: 15 to the pixel at 96 dpi. Edges and sizes are
// rounded each on its own, so that a control keeps its designed size.
int pixels(int twips, UINT dpi);
RECT pixels(const Twips& place, UINT dpi);

// A visible child control, made at no size: the window's layout places it.
HWND createControl(HWND parent, int id, const wchar_t* kind, const wchar_t* text, DWORD style, DWORD exStyle = 0);

// The quiz's font at `dpi`. Where Times New Roman is missing, the font mapper
// takes another roman face with Cyrillic letters.
HFONT createQuizFont(UINT dpi);

// The dots per inch the window is shown at. Windows 10 from 1607 on says it
// per monitor; older systems have one figure for the whole screen.
UINT dpiOf(HWND window);

// A system metric (GetSystemMetrics) as it is at `dpi`.
int systemMetric(int index, UINT dpi);

// The outer size of a window with the client area `client`, framed at `dpi`.
SIZE windowSizeFor(SIZE client, DWORD style, DWORD exStyle, UINT dpi);

} // namespace drelvan::win32
