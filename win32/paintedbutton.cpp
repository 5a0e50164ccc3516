#include "win32/paintedbutton.hpp"

#include "win32/layout.hpp"

#include <algorithm>
#include <string>

namespace drelvan::win32 {

namespace {

// A band `thick` pixels wide just inside `place`, its top and left in one
// colour and its bottom and right in another; `place` shrinks by the band.
void band(HDC dc, RECT& place, SIZE thick, int topLeft, int bottomRight)
{
    const HBRUSH light = GetSysColorBrush(topLeft), dark = GetSysColorBrush(bottomRight);
    const RECT top{place.left, place.top, place.right, place.top + thick.cy};
    const RECT left{place.left, place.top, place.left + thick.cx, place.bottom};
    const RECT bottom{place.left, place.bottom - thick.cy, place.right, place.bottom};
    const RECT right{place.right - thick.cx, place.top, place.right, place.bottom};
    FillRect(dc, &bottom, dark);
    FillRect(dc, &right, dark);
    FillRect(dc, &top, light);
    FillRect(dc, &left, light);
    InflateRect(&place, -thick.cx, -thick.cy);
}

} // namespace

PaintedButton::PaintedButton(HWND parent, int id, const wchar_t* caption, const Colours& colours)
    : colours_(colours)
{
    subclass(createControl(parent, id, L"BUTTON", caption, WS_TABSTOP | BS_OWNERDRAW));
}

void PaintedButton::draw(const DRAWITEMSTRUCT& item) const
{
    HDC dc = item.hDC;
    RECT place = item.rcItem;
    const bool down = item.itemState & ODS_SELECTED;
    const UINT dpi = dpiOf(hwnd());
    FillRect(dc, &place, colours_.brush(Colours::button));

    // The classic edge in DrawEdge's system colours: two bands, each half the
    // edge at this dpi, lit from the top left, or the bottom right while pressed.
    const SIZE half{std::max(1, systemMetric(SM_CXEDGE, dpi) / 2), std::max(1, systemMetric(SM_CYEDGE, dpi) / 2)};
    if (down) {
        band(dc, place, half, COLOR_3DSHADOW, COLOR_3DHILIGHT);
        band(dc, place, half, COLOR_3DDKSHADOW, COLOR_3DLIGHT);
    } else {
        band(dc, place, half, COLOR_3DLIGHT, COLOR_3DDKSHADOW);
        band(dc, place, half, COLOR_3DHILIGHT, COLOR_3DSHADOW);
    }

    std::wstring caption(static_cast<std::size_t>(GetWindowTextLengthW(hwnd())) + 1, L'\0');
    caption.resize(static_cast<std::size_t>(GetWindowTextW(hwnd(), caption.data(), static_cast<int>(caption.size()))));
    RECT text = place;
    if (down)
        OffsetRect(&text, half.cx, half.cy);
    const HGDIOBJ oldFont = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(hwnd(), WM_GETFONT, 0, 0)));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, colours_[Colours::button].text);
    DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    SelectObject(dc, oldFont);

    // Focus rectangles hide until the keyboard is used (ODS_NOFOCUSRECT), as
    // on every other control. Two pixels at 96 dpi inside the edge, scaled,
    // its dotted lines as thick as this dpi's focus border: nested rectangles.
    if ((item.itemState & ODS_FOCUS) && !(item.itemState & ODS_NOFOCUSRECT)) {
        InflateRect(&place, -pixels(2 * 15, dpi), -pixels(2 * 15, dpi));
        const int lines
            = std::max(1, std::min(systemMetric(SM_CXFOCUSBORDER, dpi), systemMetric(SM_CYFOCUSBORDER, dpi)));
        // Black and white, so that the dots invert the face, whatever it is.
        SetTextColor(dc, RGB(0, 0, 0));
        SetBkColor(dc, RGB(0xFF, 0xFF, 0xFF));
        for (int line = 0; line < lines; ++line) {
            DrawFocusRect(dc, &place);
            InflateRect(&place, -1, -1);
        }
    }
}

// Arrow keys on the button move the focus as Tab and Shift+Tab do: Right and
// Down on, Left and Up back. A dialog's arrows move it within a group, and
// here the button makes one with every control that takes the focus; left to
// the system they would reach a caption (no focus shown, nothing done) on
// Windows, and nothing under Wine. The lists and the verdict box keep theirs.
LRESULT PaintedButton::handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_GETDLGCODE)
        return native(message, wParam, lParam) | DLGC_WANTARROWS;
    if (message == WM_KEYDOWN && (wParam == VK_LEFT || wParam == VK_UP || wParam == VK_RIGHT || wParam == VK_DOWN)) {
        const bool back = wParam == VK_LEFT || wParam == VK_UP;
        if (HWND next = GetNextDlgTabItem(GetParent(hwnd()), hwnd(), back))
            SetFocus(next);
        return 0;
    }
    return native(message, wParam, lParam);
}

} // namespace drelvan::win32
