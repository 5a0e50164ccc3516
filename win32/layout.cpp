#include "win32/layout.hpp"

#include "win32/systemlibrary.hpp"

namespace drelvan::win32 {

namespace {

// Functions that Windows 10 has only from version 1607 on, looked up when
// first needed so that the program still starts on the first releases.
SystemLibrary user32(L"user32.dll");

using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
using AdjustWindowRectExForDpiFn = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
using GetSystemMetricsForDpiFn = int(WINAPI*)(int, UINT);

} // namespace

int pixels(int twips, UINT dpi)
{
    return MulDiv(twips, static_cast<int>(dpi), 1440);
}

RECT pixels(const Twips& place, UINT dpi)
{
    const int left = pixels(place.left, dpi);
    const int top = pixels(place.top, dpi);
    return {left, top, left + pixels(place.width, dpi), top + pixels(place.height, dpi)};
}

HWND createControl(HWND parent, int id, const wchar_t* kind, const wchar_t* text, DWORD style, DWORD exStyle)
{
    return CreateWindowExW(exStyle, kind, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
}

HFONT createQuizFont(UINT dpi)
{
    return CreateFontW(-MulDiv(layout::fontPoints, static_cast<int>(dpi), 72), 0, 0, 0, layout::fontWeight, FALSE,
                       FALSE, FALSE, layout::fontCharset, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       DEFAULT_PITCH | FF_ROMAN, reinterpret_cast<const wchar_t*>(layout::fontFace));
}

UINT dpiOf(HWND window)
{
    static const auto getDpiForWindow = user32.function<GetDpiForWindowFn>("GetDpiForWindow");
    if (getDpiForWindow && window)
        if (const UINT dpi = getDpiForWindow(window))
            return dpi;
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : USER_DEFAULT_SCREEN_DPI;
}

// Without the per-dpi call: the metric at the screen's dpi, scaled.
int systemMetric(int index, UINT dpi)
{
    static const auto forDpi = user32.function<GetSystemMetricsForDpiFn>("GetSystemMetricsForDpi");
    if (forDpi)
        return forDpi(index, dpi);
    return MulDiv(GetSystemMetrics(index), static_cast<int>(dpi), static_cast<int>(dpiOf(nullptr)));
}

SIZE windowSizeFor(SIZE client, DWORD style, DWORD exStyle, UINT dpi)
{
    static const auto adjustForDpi = user32.function<AdjustWindowRectExForDpiFn>("AdjustWindowRectExForDpi");
    RECT frame{0, 0, client.cx, client.cy};
    if (adjustForDpi)
        adjustForDpi(&frame, style, FALSE, exStyle, dpi);
    else
        AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    return {frame.right - frame.left, frame.bottom - frame.top};
}

} // namespace drelvan::win32
