#include "listboxmirror.hpp"

#include "wide.hpp"

#include <windowsx.h>

#include <algorithm>
#include <optional>

namespace drelvan::win32 {

namespace {

// Letters typed within this long of each other make one search.
constexpr DWORD typingInterval = 1000; // ms

std::optional<listrules::ListKey> listKey(WPARAM virtualKey)
{
    using listrules::ListKey;
    switch (virtualKey) {
    case VK_UP: return ListKey::Up;
    case VK_DOWN: return ListKey::Down;
    case VK_LEFT: return ListKey::Left;
    case VK_RIGHT: return ListKey::Right;
    case VK_PRIOR: return ListKey::PageUp;
    case VK_NEXT: return ListKey::PageDown;
    case VK_HOME: return ListKey::Home;
    case VK_END: return ListKey::End;
    case VK_SPACE: return ListKey::Space;
    default: return std::nullopt;
    }
}

} // namespace

ListBoxMirror::ListBoxMirror(const ListBox& model, HWND parent, int id) : model_(model)
{
    // Unsorted: the model keeps the order. LBS_NOINTEGRALHEIGHT: the list
    // keeps its designed height rather than snapping to whole rows.
    subclass(CreateWindowExW(WS_EX_CLIENTEDGE, L"LISTBOX", nullptr,
                             WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, 0,
                             0, 0, 0, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                             GetModuleHandleW(nullptr), nullptr));
}

int ListBoxMirror::rowsShown() const
{
    RECT client{};
    GetClientRect(hwnd(), &client);
    const auto rowHeight = static_cast<int>(SendMessageW(hwnd(), LB_GETITEMHEIGHT, 0, 0));
    return std::max(1, rowHeight > 0 ? static_cast<int>(client.bottom) / rowHeight : 1);
}

int ListBoxMirror::topRow() const
{
    return static_cast<int>(SendMessageW(hwnd(), LB_GETTOPINDEX, 0, 0));
}

int ListBoxMirror::rowAt(LPARAM point) const
{
    RECT client{};
    GetClientRect(hwnd(), &client);
    const POINT at{GET_X_LPARAM(point), GET_Y_LPARAM(point)};
    const auto rowHeight = static_cast<int>(SendMessageW(hwnd(), LB_GETITEMHEIGHT, 0, 0));
    if (!PtInRect(&client, at) || rowHeight <= 0)
        return -1;
    const int row = topRow() + at.y / rowHeight;
    return row < count() ? row : -1;
}

listrules::ListState ListBoxMirror::state() const
{
    return {count(), model_.ListIndex(), caret_, rowsShown()};
}

void ListBoxMirror::sync()
{
    const int top = topRow();
    const bool emptied = model_.clears() != clears_;
    clears_ = model_.clears();
    syncEntries();

    SendMessageW(hwnd(), LB_SETCURSEL, static_cast<WPARAM>(model_.ListIndex()), 0);
    const listrules::ListPlace place = listrules::follow({caret_, top}, state(), emptied);
    caret_ = place.caret;
    if (caret_ >= 0)
        SendMessageW(hwnd(), LB_SETCARETINDEX, static_cast<WPARAM>(caret_), FALSE);
    SendMessageW(hwnd(), LB_SETTOPINDEX, static_cast<WPARAM>(place.top), 0);
}

void ListBoxMirror::syncEntries()
{
    const std::vector<std::u16string>& entries = model_.entries();
    if (entries == shown_)
        return;
    // Letters typed from here on search the entries as they are now.
    typedBefore_ = false;
    // A check takes one entry out: deleting just that one keeps the rest of
    // the list still on the screen.
    if (shown_.size() == entries.size() + 1) {
        const auto gone = std::mismatch(entries.begin(), entries.end(), shown_.begin()).second;
        if (std::equal(gone + 1, shown_.end(), entries.begin() + (gone - shown_.begin()))) {
            SendMessageW(hwnd(), LB_DELETESTRING, static_cast<WPARAM>(gone - shown_.begin()), 0);
            shown_.erase(gone);
            return;
        }
    }
    SendMessageW(hwnd(), WM_SETREDRAW, FALSE, 0);
    SendMessageW(hwnd(), LB_RESETCONTENT, 0, 0);
    for (const std::u16string& entry : entries)
        SendMessageW(hwnd(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide(entry)));
    SendMessageW(hwnd(), WM_SETREDRAW, TRUE, 0);
    InvalidateRect(hwnd(), nullptr, TRUE);
    shown_ = entries;
}

void ListBoxMirror::choose(int row)
{
    if (row < 0 || row >= count())
        return;
    caret_ = row;
    SendMessageW(hwnd(), LB_SETCARETINDEX, static_cast<WPARAM>(row), FALSE);
    SendMessageW(hwnd(), LB_SETTOPINDEX,
                 static_cast<WPARAM>(listrules::topShowing(row, topRow(), rowsShown())), 0);
    if (chooser_)
        chooser_(row);
}

void ListBoxMirror::selectionChangedByControl()
{
    const auto row = static_cast<int>(SendMessageW(hwnd(), LB_GETCURSEL, 0, 0));
    if (row >= 0 && row != model_.ListIndex())
        choose(row);
    else
        sync();
}

void ListBoxMirror::press(LPARAM point)
{
    if (GetFocus() != hwnd())
        SetFocus(hwnd());
    SetCapture(hwnd());
    const int row = pointer_.press(rowAt(point));
    choose(row);
    pointer_.picked(row, model_.ListIndex());
}

void ListBoxMirror::drag(LPARAM point)
{
    const int row = pointer_.drag(rowAt(point), model_.ListIndex());
    choose(row);
    pointer_.picked(row, model_.ListIndex());
}

// The keys that move in a list. With Ctrl held they would move the control's
// own focus mark past the model; they do nothing instead.
bool ListBoxMirror::key(WPARAM virtualKey)
{
    const auto listKey = drelvan::win32::listKey(virtualKey);
    if (!listKey)
        return false;
    if (count() > 0 && GetKeyState(VK_CONTROL) >= 0) {
        const int target = listrules::keySelection(*listKey, state());
        if (target != model_.ListIndex())
            choose(target);
    }
    return true;
}

void ListBoxMirror::typed(wchar_t letter)
{
    if (count() == 0 || letter <= L' ' || letter == 0x7F)
        return;
    const DWORD now = GetTickCount();
    const bool continuing = typedBefore_ && now - lastTyped_ <= typingInterval;
    lastTyped_ = now;
    typedBefore_ = true;
    choose(typeAhead_.type(modelText(&letter, 1), continuing, model_.entries(), caret_));
}

LRESULT ListBoxMirror::handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        press(lParam);
        return 0;
    case WM_MOUSEMOVE:
        if (!pointer_.pressed())
            break;
        drag(lParam);
        return 0;
    case WM_LBUTTONUP:
        if (pointer_.pressed()) {
            pointer_.release();
            ReleaseCapture();
        }
        return 0;
    case WM_CAPTURECHANGED:
        pointer_.release();
        return 0;
    case WM_KEYDOWN:
        if (key(wParam))
            return 0;
        break;
    case WM_KILLFOCUS:
        typedBefore_ = false;
        break;
    case WM_CHAR:
        // Every letter is the rules' to search with: the control's own
        // search would select behind the model's back.
        typed(static_cast<wchar_t>(wParam));
        return 0;
    default:
        break;
    }
    return native(message, wParam, lParam);
}

} // namespace drelvan::win32
