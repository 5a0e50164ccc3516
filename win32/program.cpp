#include "win32/program.hpp"

#include "win32/quizwindow.hpp"
#include "win32/wide.hpp"

#include "content/texts.hpp"

#include <windows.h>

#include <string>

namespace drelvan::win32 {

int runQuiz(int showCommand)
{
    QuizWindow window;
    if (!window.hwnd()) {
        const std::u16string text(texts::startFailure);
        MessageBoxW(nullptr, wide(text), wide(window.form().Caption()), MB_OK | MB_ICONERROR);
        return 1;
    }
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

} // namespace drelvan::win32
