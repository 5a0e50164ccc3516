#pragma once

// What the Windows tests read back from the window's controls, through the
// controls' own messages.

#include <windows.h>

#include <string>
#include <vector>

inline int sent(HWND control, UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
{
    return static_cast<int>(SendMessageW(control, message, wParam, lParam));
}

inline std::u16string textOf(HWND control)
{
    std::u16string text(static_cast<std::size_t>(GetWindowTextLengthW(control)) + 1, u'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(control, reinterpret_cast<wchar_t*>(text.data()), static_cast<int>(text.size()))));
    return text;
}

inline std::vector<std::u16string> entriesShown(HWND list)
{
    std::vector<std::u16string> entries(static_cast<std::size_t>(sent(list, LB_GETCOUNT)));
    for (std::size_t row = 0; row < entries.size(); ++row) {
        entries[row].resize(static_cast<std::size_t>(sent(list, LB_GETTEXTLEN, row)) + 1);
        entries[row].resize(static_cast<std::size_t>(
            sent(list, LB_GETTEXT, row, reinterpret_cast<LPARAM>(entries[row].data()))));
    }
    return entries;
}
