#include "win32/quizwindow.hpp"

#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int showCommand)
{
    // Libraries come from the system directory only, never from beside the
    // program: it runs from wherever it was copied, a USB stick included.
    SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);

    drelvan::win32::QuizWindow window;
    window.endProgramOnClose();
    window.show(showCommand);

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (window.navigate(message))
            continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}
