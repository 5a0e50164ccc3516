#include "win32/program.hpp"

#include "win32/files.hpp"
#include "win32/quizwindow.hpp"
#include "win32/wide.hpp"

#include "content/texts.hpp"
#include "content/utf8.hpp"
#include "quiz/commandline.hpp"

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

namespace drelvan::win32 {

namespace {

// Writes `text` (UTF-8) where the standard handle `which` goes, if anywhere:
// a console takes UTF-16, a file or a pipe the bytes.
void write(DWORD which, std::string_view text)
{
    HANDLE handle = GetStdHandle(which);
    if (text.empty() || handle == nullptr || handle == INVALID_HANDLE_VALUE)
        return;
    DWORD mode = 0, written = 0;
    if (GetConsoleMode(handle, &mode)) {
        const std::u16string wideText = fromUtf8(text);
        WriteConsoleW(handle, wide(wideText), static_cast<DWORD>(wideText.size()), &written, nullptr);
    } else {
        WriteFile(handle, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    }
}

// A GUI program has no console of its own: what it has to say before its
// window opens goes to the standard streams it was given, if any, and into
// a message box, which the learner who double-clicked it sees.
int tell(const CommandLineAnswer& answer)
{
    write(STD_OUTPUT_HANDLE, answer.out);
    write(STD_ERROR_HANDLE, answer.err);
    std::u16string text = fromUtf8(answer.out + answer.err);
    while (!text.empty() && text.back() == u'\n')
        text.pop_back();
    const std::u16string title = builtInExercise().windowTitle;
    MessageBoxW(nullptr, wide(text), wide(title), MB_OK | (answer.status ? MB_ICONERROR : MB_ICONINFORMATION));
    return answer.status;
}

// The file's name as Windows gave it: the UTF-8 of the command line's
// reading would not bring back a name that is no well-formed UTF-16.
std::u16string fileNamed(const std::string& file, const std::vector<std::u16string>& arguments)
{
    for (const std::u16string& argument : arguments)
        if (toUtf8(argument) == file)
            return argument;
    return fromUtf8(file);
}

} // namespace

int runQuiz(int showCommand, const std::vector<std::u16string>& arguments)
{
    std::vector<std::string> utf8;
    for (const std::u16string& argument : arguments)
        utf8.push_back(toUtf8(argument));
    const CommandLine commandLine = readCommandLine(utf8, {});
    if (commandLine.answer)
        return tell(*commandLine.answer);

    std::optional<Exercise> exercise;
    if (commandLine.file) {
        PairFile file = readPairFileAt(fileNamed(*commandLine.file, arguments));
        if (!file)
            return tell({2, {}, toUtf8(file.error) + "\n"});
        exercise = std::move(file.exercise);
    }

    // The file's texts move into the quiz: a copy of a large file's would
    // double what it takes while the window is made.
    QuizWindow window(exercise ? std::move(*exercise) : builtInExercise());
    exercise.reset();
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
