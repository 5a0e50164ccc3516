#include "win32/paintedbutton.hpp"

#include <string>

namespace drelvan::win32 {

PaintedButton::PaintedButton(HWND parent, int id, const wchar_t* caption, COLORREF face)
    : hwnd_(CreateWindowExW(0, L"BUTTON", caption, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_OWNERDRAW, 0, 0, 0, 0,
                            parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr),
                            nullptr)),
      face_(CreateSolidBrush(face))
{
}

PaintedButton::~PaintedButton()
{
    DeleteObject(face_);
}

void PaintedButton::draw(const DRAWITEMSTRUCT& item) const
{
    HDC dc = item.hDC;
    RECT place = item.rcItem;
    const bool down = item.itemState & ODS_SELECTED;
    FillRect(dc, &place, face_);
    DrawEdge(dc, &place, down ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);

    std::wstring caption(static_cast<std::size_t>(GetWindowTextLengthW(hwnd_)) + 1, L'\0');
    caption.resize(static_cast<std::size_t>(GetWindowTextW(hwnd_, caption.data(), static_cast<int>(caption.size()))));
    RECT text = place;
    if (down)
        OffsetRect(&text, 1, 1);
    const HGDIOBJ oldFont = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(hwnd_, WM_GETFONT, 0, 0)));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    SelectObject(dc, oldFont);

    // Windows hides focus rectangles until the keyboard is used
    // (ODS_NOFOCUSRECT); the button follows it as every other control does.
    if ((item.itemState & ODS_FOCUS) && !(item.itemState & ODS_NOFOCUSRECT)) {
        const int inset = GetSystemMetrics(SM_CXEDGE) + 2;
        InflateRect(&place, -inset, -inset);
        DrawFocusRect(dc, &place);
    }
}

} // namespace drelvan::win32
