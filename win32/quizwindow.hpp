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
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace drelvan::win32 {

// The quiz on the screen, in the platform's own controls. The learner's
// input goes to the window's Session, which runs it on the quiz and tells
// the window, as its FrontEnd, what to show.
class QuizWindow : public FrontEnd {
public:
    static constexpr wchar_t className[] = L"Drelvan";

    // hwnd() is null when the window could not be made.
    // The exercise's texts move into the quiz (see Quiz).
    explicit QuizWindow(Exercise exercise = builtInExercise());
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

    // Whether `message` was one of the window's keys (Ctrl+O) or its
    // keyboard navigation (Tab, Enter...) and has been handled: the message
    // loop asks this first.
    bool navigate(MSG& message)
    {
        return TranslateAcceleratorW(hwnd_, keys_, &message) || IsDialogMessageW(hwnd_, &message);
    }

    // Another exercise takes the place of the game in play.
    void open(Exercise exercise);
    // A teacher's file, dropped on the window or chosen, is read and opened.
    // One that cannot be read is told in a message box, and the game in play
    // goes on untouched. Returns whether the file was opened.
    bool openFile(const std::u16string& path);
    // Ctrl+O: the learner chooses a file, which is then opened.
    void chooseFile();

    // Asks for a file to open, none where the learner chose none. The
    // platform's dialog, unless a test puts itself in its place.
    using FileChooser = std::function<std::optional<std::u16string>(HWND owner)>;
    void setFileChooser(FileChooser chooser) { chooseFile_ = std::move(chooser); }

    // Control ids: those that take the focus in its order, then the captions;
    // then the commands of keys.
    enum : int { verdictId = 100, namesId, periodsId, resetId, titleId, namesCaptionId, periodsCaptionId, openId };

private:
    static bool registerClass();
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    void createControls();
    void layOut(UINT dpi, const RECT* suggested);
    SIZE windowSize(UINT dpi) const;
    void measureLists();

    void showCaptions(const Form& form) override;
    void showList(int16_t member, const ListShown& list) override;
    void showVerdict(std::u16string_view text) override { verdict_->show(text); }
    void announce(std::u16string_view verdict) override { announcer_.announce(verdict_->hwnd(), verdict); }
    void reportFailure(std::string_view message) override;

    Session session_;
    HWND hwnd_ = nullptr;
    HACCEL keys_ = nullptr;
    FileChooser chooseFile_;
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
