// The floor that the Windows benchmark holds drelvan.exe against: the quiz's
// window built from the platform's controls as they come, with no model
// behind it. The same frame, title, icon, size, background, dpi awareness
// and font; the same texts, from content/, in the same places; an EDIT, two
// LISTBOXes, three STATICs and a BUTTON, created in the quiz's order, none
// subclassed and none drawn by the program. What the quiz costs beyond it is
// what its model and its own handling of the controls add to what the
// learner sees.
//
// The one thing the stock controls cannot show is the button's face in the
// quiz's colour: a push button that is not drawn by its owner keeps the
// system's face. The labels' colours come, as in the quiz, from the window's
// answer to WM_CTLCOLORSTATIC.
#include "content/about.hpp"
#include "content/catalogue.hpp"
#include "content/layout.hpp"
#include "content/texts.hpp"
#include "win32/layout.hpp"

#include <windows.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

using namespace drelvan::win32;
namespace layout = drelvan::layout;
namespace texts = drelvan::texts;

namespace {

constexpr DWORD windowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;

const wchar_t* wide(std::u16string_view text, std::u16string& store)
{
    store.assign(text);
    return reinterpret_cast<const wchar_t*>(store.c_str());
}

HBRUSH labelBrush;
HWND verdict;

LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CTLCOLORSTATIC: {
        // A read-only EDIT asks here too; the verdict box stays white.
        HDC dc = reinterpret_cast<HDC>(wParam);
        if (reinterpret_cast<HWND>(lParam) == verdict) {
            SetBkColor(dc, GetSysColor(COLOR_WINDOW));
            return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
        }
        SetBkColor(dc, colorRef(layout::labelColour));
        return reinterpret_cast<LRESULT>(labelBrush);
    }
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

HWND control(const wchar_t* kind, const wchar_t* text, DWORD exStyle, DWORD style, const layout::Twips& place,
             HWND window, HFONT font, UINT dpi)
{
    const RECT r = pixels(place, dpi);
    HWND made = CreateWindowExW(exStyle, kind, text, WS_CHILD | WS_VISIBLE | style, r.left, r.top, r.right - r.left,
                                r.bottom - r.top, window, nullptr, GetModuleHandleW(nullptr), nullptr);
    SendMessageW(made, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return made;
}

// The names in the order the quiz's sorted list keeps them (by UTF-16 code
// unit), the periods in the catalogue's order.
void fill(HWND list, std::u16string_view drelvan::Ruler::*field, bool sorted)
{
    std::vector<std::u16string_view> entries;
    for (const drelvan::Ruler& ruler : drelvan::catalogue)
        entries.push_back(ruler.*field);
    if (sorted)
        std::stable_sort(entries.begin(), entries.end());
    std::u16string store;
    for (const std::u16string_view entry : entries)
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide(entry, store)));
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand)
{
    SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    labelBrush = CreateSolidBrush(colorRef(layout::labelColour));
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.hIcon = static_cast<HICON>(LoadImageW(instance, L"IDI_ICON1", IMAGE_ICON, 0, 0, LR_DEFAULTSIZE));
    windowClass.hIconSm = static_cast<HICON>(LoadImageW(instance, L"IDI_ICON1", IMAGE_ICON,
                                                        GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON),
                                                        0));
    windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    windowClass.hbrBackground = CreateSolidBrush(colorRef(layout::windowColour));
    windowClass.lpszClassName = L"DrelvanFloor";
    RegisterClassExW(&windowClass);

    std::u16string store;
    const std::u16string title = std::u16string(drelvan::about::webAddress) + std::u16string(texts::titleSuffix);
    HWND window = CreateWindowExW(0, windowClass.lpszClassName, wide(title, store), windowStyle, CW_USEDEFAULT,
                                  CW_USEDEFAULT, 0, 0, nullptr, nullptr, instance, nullptr);
    const UINT dpi = dpiOf(window);
    const RECT client = pixels(layout::clientArea, dpi);
    const SIZE outer = windowSizeFor({client.right, client.bottom}, windowStyle, 0, dpi);
    SetWindowPos(window, nullptr, 0, 0, outer.cx, outer.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    HFONT font = createQuizFont(dpi);

    constexpr DWORD label = SS_CENTER | SS_NOPREFIX;
    constexpr DWORD list = WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT;
    verdict = control(L"EDIT", nullptr, WS_EX_CLIENTEDGE,
                      WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL, layout::verdictBox,
                      window, font, dpi);
    control(L"STATIC", wide(texts::quizTitle, store), 0, label, layout::titleLabel, window, font, dpi);
    control(L"STATIC", wide(texts::namesCaption, store), 0, label, layout::namesCaption, window, font, dpi);
    fill(control(L"LISTBOX", nullptr, WS_EX_CLIENTEDGE, list, layout::namesList, window, font, dpi),
         &drelvan::Ruler::name, true);
    control(L"STATIC", wide(texts::periodsCaption, store), 0, label, layout::periodsCaption, window, font, dpi);
    fill(control(L"LISTBOX", nullptr, WS_EX_CLIENTEDGE, list, layout::periodsList, window, font, dpi),
         &drelvan::Ruler::period, false);
    control(L"BUTTON", wide(texts::resetCaption, store), 0, WS_TABSTOP | BS_PUSHBUTTON, layout::resetButton, window,
            font, dpi);

    // The opening text, lines ending in CR LF as the EDIT wants them, shown
    // from the first line; the box has the focus, as the quiz's has.
    SetWindowTextW(verdict, wide(texts::openingText, store));
    SendMessageW(verdict, EM_SETSEL, 0, 0);
    SendMessageW(verdict, EM_SCROLLCARET, 0, 0);

    ShowWindow(window, showCommand);
    UpdateWindow(window);
    SetFocus(verdict);

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    DeleteObject(font);
    return static_cast<int>(message.wParam);
}
