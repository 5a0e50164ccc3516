#pragma once

#include "win32/announcer.hpp"
#include "win32/colours.hpp"
#include "win32/listboxview.hpp"
#include "win32/paintedbutton.hpp"
#include "win32/verdictbox.hpp"

#include "quiz/frontend.hpp"
#include "quiz/session.hpp"

#include <windows.h>

#include <array>
#include <memory>

namespace drelvan::win32 {

// The quiz on the screen, in the platform's own controls. The learner's
// input goes to the window's Session, which runs it on the quiz and tells
// the window, as its FrontEnd, what to show.
class QuizWindow : public FrontEnd {
public:
    static constexpr wchar_t className[] = L"Drelvan";

    // hwnd() is null when the window could not be made.
    QuizWindow();
    ~QuizWindow() override;

    HWND hwnd() const { return hwnd_; }
    Session& session() { return session_; }
    const Form& form() const { return session_.form(); }
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

    void showList(int16_t member, const ListShown& list) override;
    void showVerdict(std::u16string_view text) override { verdict_->show(text); }
    void announce(std::u16string_view verdict) override { announcer_.announce(verdict_->hwnd(), verdict); }
    void reportFailure(std::string_view message) override;

    Session session_{*this};
    HWND hwnd_ = nullptr;
    HWND lastFocus_ = nullptr;
    bool endsProgram_ = false;
    HFONT font_ = nullptr;
    Colours colours_;
    std::unique_ptr<VerdictBox> verdict_;
    std::array<std::unique_ptr<ListBoxView>, 2> lists_;
    std::unique_ptr<PaintedButton> reset_;
    Announcer announcer_;
};

} // namespace drelvan::win32
