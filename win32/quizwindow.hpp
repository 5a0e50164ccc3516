#pragma once

#include "announcer.hpp"
#include "win32/colours.hpp"
#include "listboxmirror.hpp"
#include "paintedbutton.hpp"
#include "verdictbox.hpp"

#include "quiz/quiz.hpp"

#include <windows.h>

#include <array>
#include <functional>
#include <memory>

namespace drelvan::win32 {

// The quiz on the screen: a thin layer over Form, in the platform's own
// controls. The learner's selections and presses become Click events of the
// model's controls; after each one the controls are brought up to date from
// the model in one place, mirror().
class QuizWindow {
public:
    static constexpr wchar_t className[] = L"Drelvan";

    // hwnd() is null when the window could not be made.
    QuizWindow();
    ~QuizWindow();
    QuizWindow(const QuizWindow&) = delete;
    QuizWindow& operator=(const QuizWindow&) = delete;

    HWND hwnd() const { return hwnd_; }
    Form& form() { return form_; }
    Announcer& announcer() { return announcer_; }
    VerdictBox& verdictBox() { return *verdict_; }

    // Shows the window with the focus on the verdict box.
    void show(int showCommand);
    // Closing the window ends the program's message loop.
    void endProgramOnClose() { endsProgram_ = true; }

    // Whether `message` was the window's keyboard navigation (Tab, Enter...)
    // and has been handled: the message loop asks this first.
    bool navigate(MSG& message) { return IsDialogMessageW(hwnd_, &message); }

    // Control ids: those that take the focus in its order, then the captions.
    enum : int { verdictId = 100, namesId, periodsId, resetId, titleId, namesCaptionId, periodsCaptionId };

private:
    static bool registerClass();
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    void createControls();
    void layOut(UINT dpi, const RECT* suggested);
    SIZE windowSize(UINT dpi) const;
    void onCommand(int id, int code);
    void choose(int16_t member, int row);
    void deliver(const std::function<void()>& raiseClick);
    bool mirror();
    void reportError(const char* what);

    Quiz quiz_;
    Form& form_ = quiz_.form();
    HWND hwnd_ = nullptr;
    HWND lastFocus_ = nullptr;
    bool endsProgram_ = false;
    HFONT font_ = nullptr;
    Colours colours_;
    std::unique_ptr<VerdictBox> verdict_;
    std::array<std::unique_ptr<ListBoxMirror>, 2> lists_;
    std::unique_ptr<PaintedButton> reset_;
    Announcer announcer_;
};

} // namespace drelvan::win32
