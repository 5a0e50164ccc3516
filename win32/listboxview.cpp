#include "win32/listboxview.hpp"

#include "win32/layout.hpp"
#include "win32/wide.hpp"

#include <windowsx.h>

#include <algorithm>
#include <utility>

namespace drelvan::win32 {

namespace {

using listrules::ListKey;

// Posted by the list to itself.
constexpr UINT remeasure = WM_APP;

constexpr std::pair<WPARAM, ListKey> listKeys[] = {
    {VK_UP, ListKey::Up},       {VK_DOWN, ListKey::Down},    {VK_LEFT, ListKey::Left},
    {VK_RIGHT, ListKey::Right}, {VK_PRIOR, ListKey::PageUp}, {VK_NEXT, ListKey::PageDown},
    {VK_HOME, ListKey::Home},   {VK_END, ListKey::End},      {VK_SPACE, ListKey::Space},
};

} // namespace

ListBoxView::ListBoxView(Session& session, int16_t member, HWND parent, int id) : session_(session), member_(member)
{
    // LBS_NOINTEGRALHEIGHT: the designed height, not snapped to whole rows.
    // The horizontal scroll bar shows only while an entry is wider than the
    // list (LB_SETHORIZONTALEXTENT).
    subclass(createControl(parent, id, L"LISTBOX", nullptr,
                           WS_TABSTOP | WS_VSCROLL | WS_HSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, WS_EX_CLIENTEDGE));
}

void ListBoxView::show(const ListShown& list)
{
    if (list.change.kind == EntriesChange::Removed) {
        // Only the entry a check took out goes, so the rest stays still.
        SendMessageW(hwnd(), LB_DELETESTRING, static_cast<WPARAM>(list.change.row), 0);
    } else if (list.change.kind == EntriesChange::Replaced) {
        SendMessageW(hwnd(), WM_SETREDRAW, FALSE, 0);
        SendMessageW(hwnd(), LB_RESETCONTENT, 0, 0);
        // Room for them all at once, rather than a few more entries at a time.
        std::size_t units = 0;
        for (const std::u16string& entry : list.entries)
            units += entry.size() + 1;
        SendMessageW(hwnd(), LB_INITSTORAGE, list.entries.size(), static_cast<LPARAM>(units * sizeof(wchar_t)));
        for (const std::u16string& entry : list.entries)
            SendMessageW(hwnd(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide(entry)));
        SendMessageW(hwnd(), WM_SETREDRAW, TRUE, 0);
        InvalidateRect(hwnd(), nullptr, TRUE);
        dealt_ = list.entries;
        fitted_ = false;
        // A scroll bar that comes or goes changes the rows that fit. The
        // session hears of it once it has finished telling what to show.
        fitWidth();
        if (rowsThatFit() != session_.list(member_).rowsShown())
            PostMessageW(hwnd(), remeasure, 0, 0);
    }
    SendMessageW(hwnd(), LB_SETCURSEL, static_cast<WPARAM>(list.selected), 0);
    if (list.caret >= 0)
        SendMessageW(hwnd(), LB_SETCARETINDEX, static_cast<WPARAM>(list.caret), FALSE);
    SendMessageW(hwnd(), LB_SETTOPINDEX, static_cast<WPARAM>(list.top), 0);
}

void ListBoxView::measure()
{
    fitWidth();
    countRows();
}

void ListBoxView::countRows()
{
    session_.setRowsShown(member_, rowsThatFit());
}

void ListBoxView::fitWidth()
{
    const auto font = reinterpret_cast<HFONT>(SendMessageW(hwnd(), WM_GETFONT, 0, 0));
    if (fitted_ && font == fittedIn_)
        return;
    fitted_ = true;
    fittedIn_ = font;
    int widest = 0;
    HDC dc = GetDC(hwnd());
    HGDIOBJ oldFont = SelectObject(dc, font);
    for (const std::u16string& entry : dealt_) {
        SIZE extent{};
        GetTextExtentPoint32W(dc, wide(entry), static_cast<int>(entry.size()), &extent);
        widest = std::max(widest, static_cast<int>(extent.cx));
    }
    SelectObject(dc, oldFont);
    ReleaseDC(hwnd(), dc);
    // The list draws its text a little in from either edge.
    const int margins = 2 * pixels(30, dpiOf(hwnd()));
    SendMessageW(hwnd(), LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(widest > 0 ? widest + margins : 0), 0);
}

int ListBoxView::rowsThatFit() const
{
    RECT client{};
    GetClientRect(hwnd(), &client);
    const auto rowHeight = static_cast<int>(SendMessageW(hwnd(), LB_GETITEMHEIGHT, 0, 0));
    return rowHeight > 0 ? static_cast<int>(client.bottom) / rowHeight : 1;
}

void ListBoxView::selectionChangedByControl()
{
    session_.pick(member_, static_cast<int>(SendMessageW(hwnd(), LB_GETCURSEL, 0, 0)));
    // A pick that is no selection of the model (none, or the one already
    // made) changes nothing the session would show again.
    const int selected = session_.form().List1(member_).ListIndex();
    if (SendMessageW(hwnd(), LB_GETCURSEL, 0, 0) != selected)
        SendMessageW(hwnd(), LB_SETCURSEL, static_cast<WPARAM>(selected), 0);
}

// The row under the pointer, -1 where it is outside the list's rows.
int ListBoxView::rowAt(LPARAM point) const
{
    RECT client{};
    GetClientRect(hwnd(), &client);
    const POINT at{GET_X_LPARAM(point), GET_Y_LPARAM(point)};
    const auto rowHeight = static_cast<int>(SendMessageW(hwnd(), LB_GETITEMHEIGHT, 0, 0));
    if (!PtInRect(&client, at) || rowHeight <= 0)
        return -1;
    return session_.list(member_).rowAtLine(at.y / rowHeight);
}

LRESULT ListBoxView::handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        if (GetFocus() != hwnd())
            SetFocus(hwnd());
        SetCapture(hwnd());
        session_.press(member_, rowAt(lParam));
        return 0;
    case WM_MOUSEMOVE:
        if (!session_.list(member_).pressed())
            break;
        session_.drag(member_, rowAt(lParam));
        return 0;
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED:
        if (session_.list(member_).pressed()) {
            session_.release(member_);
            if (message == WM_LBUTTONUP)
                ReleaseCapture();
        }
        return 0;
    case remeasure:
        countRows();
        return 0;
    case WM_MOUSEWHEEL:
        session_.wheel(member_, GET_WHEEL_DELTA_WPARAM(wParam));
        return 0;
    case WM_VSCROLL: {
        const LRESULT result = native(message, wParam, lParam);
        session_.scrollTo(member_, static_cast<int>(SendMessageW(hwnd(), LB_GETTOPINDEX, 0, 0)));
        return result;
    }
    // Alt comes as WM_SYSKEYDOWN, which stays the window's.
    case WM_KEYDOWN:
        for (const auto& [virtualKey, key] : listKeys)
            if (wParam == virtualKey
                && session_.key(member_, key, {GetKeyState(VK_SHIFT) < 0, GetKeyState(VK_CONTROL) < 0, false}))
                return 0;
        break;
    case WM_CHAR: {
        // Every character is the session's, letter or not: the control's own
        // search would select behind the model's back.
        const auto unit = static_cast<char16_t>(wParam);
        session_.type(member_, {&unit, 1}, static_cast<DWORD>(GetMessageTime()));
        return 0;
    }
    case WM_SETFOCUS:
    case WM_KILLFOCUS: {
        const LRESULT result = native(message, wParam, lParam);
        session_.focus(member_, message == WM_SETFOCUS);
        return result;
    }
    default:
        break;
    }
    return native(message, wParam, lParam);
}

} // namespace drelvan::win32
