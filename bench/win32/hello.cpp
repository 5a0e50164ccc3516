// The "hello" window that the Windows benchmark shows beside drelvan.exe and
// its floor, for information: a window with the same frame, size,
// background and dpi awareness, and one Cyrillic label (the quiz's title) in
// the quiz's font, linked the same way. What any window costs under Wine.
#include "content/texts.hpp"
#include "win32/layout.hpp"

#include <windows.h>

#include <string>

using namespace drelvan::win32;
namespace layout = drelvan::layout;

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand)
{
    SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = [](HWND window, UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
        if (message == WM_DESTROY)
            PostQuitMessage(0);
        return DefWindowProcW(window, message, wParam, lParam);
    };
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    windowClass.hbrBackground = CreateSolidBrush(colorRef(layout::windowColour));
    windowClass.lpszClassName = L"DrelvanHello";
    RegisterClassExW(&windowClass);

    constexpr DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
    const std::u16string title(drelvan::texts::quizTitle);
    const auto* text = reinterpret_cast<const wchar_t*>(title.c_str());
    HWND window = CreateWindowExW(0, windowClass.lpszClassName, text, style, CW_USEDEFAULT, CW_USEDEFAULT, 0, 0,
                                  nullptr, nullptr, instance, nullptr);
    const UINT dpi = dpiOf(window);
    const RECT client = pixels(layout::clientArea, dpi);
    const SIZE outer = windowSizeFor({client.right, client.bottom}, style, 0, dpi);
    SetWindowPos(window, nullptr, 0, 0, outer.cx, outer.cy, SWP_NOMOVE | SWP_NOZORDER);
    const RECT place = pixels(layout::titleLabel, dpi);
    HWND label = CreateWindowExW(0, L"STATIC", text,
                                 WS_CHILD | WS_VISIBLE | SS_CENTER, place.left, place.top, place.right - place.left,
                                 place.bottom - place.top, window, nullptr, instance, nullptr);
    SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(createQuizFont(dpi)), TRUE);
    ShowWindow(window, showCommand);
    UpdateWindow(window);

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}
