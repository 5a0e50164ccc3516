#pragma once

#include "controls/listcontroller.hpp"
#include "quiz/frontend.hpp"
#include "quiz/quiz.hpp"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string_view>

namespace drelvan {

// One learner at one window. Every action of the learner comes here as plain
// data, runs on the quiz's model (a pick becomes the list's selection, which
// raises Click; the button raises Click), and then the front-end is told
// what changed: the lists to draw again, the verdict box, a new verdict to
// speak, a handler's failure. The two visible lists are `member` 0 (names,
// or an exercise's left texts) and 1 (periods, or its right texts).
class Session {
public:
    // The exercise's texts move into the quiz (see Quiz).
    explicit Session(FrontEnd& frontEnd, Exercise exercise = builtInExercise());
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    const Form& form() const { return quiz_->form(); }
    const ListController& list(int16_t member) const { return lists_.at(index(member)); }

    // Tells the front-end all there is to show, as at the start.
    void showAll();

    // Returns whether the key or the text was the list's (see ListController).
    bool key(int16_t member, listrules::ListKey key, Modifiers modifiers);
    bool type(int16_t member, std::u16string_view text, std::int64_t milliseconds);
    void press(int16_t member, int row);
    void drag(int16_t member, int row);
    void release(int16_t member);
    void wheel(int16_t member, int delta);
    void scrollTo(int16_t member, int top);
    void focus(int16_t member, bool in);
    void setRowsShown(int16_t member, int rows);
    // An entry picked other than by key or pointer: by a screen reader.
    void pick(int16_t member, int row);
    // "Чисти", by pointer or key.
    void reset();
    // Another exercise (a teacher's file) takes the place of the one in play.
    // It opens as "Чисти" deals a game afresh, with its opening text in the
    // verdict box: every text and list is shown again, the lists from their
    // first rows, and a screen reader is told the new quiz's title and
    // opening text. The lists keep their rows shown and their focus.
    void open(Exercise exercise);

    // The model itself, for tests that stage a failure or a state of play.
    Form& model() { return quiz_->form(); }

private:
    static std::size_t index(int16_t member) { return static_cast<std::size_t>(member); }
    // Runs `raiseClick` for the learner, then tells the front-end.
    void act(int16_t member, int picked, const std::function<void()>& raiseClick);
    void choose(int16_t member, std::optional<int> row);

    FrontEnd& frontEnd_;
    std::unique_ptr<Quiz> quiz_; // never null; a Quiz stays where it was built
    std::array<ListController, 2> lists_;
    unsigned long verdictShown_;
};

} // namespace drelvan
