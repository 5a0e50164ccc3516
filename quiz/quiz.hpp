#pragma once

#include "content/exercise.hpp"
#include "controls/form.hpp"

namespace drelvan {

// The quiz window's model as it opens: List1(0) and List1(1) hold the names
// and periods the learner pairs (an exercise's left and right texts); the
// hidden List1(2), List1(3) and List1(4) hold the catalogue's names, periods
// and notes row by row and are the answer key. Text1(0) is the verdict box
// with the opening text, Command1(0) the reset button, Label1(0..2) the title
// of the quiz and the captions over the two lists. Nothing is selected, and
// the Click events of List1 and Command1 reach the quiz's handlers.
//
// The handlers are bound to this very Form, so a Quiz stays where it was
// built.
class Quiz {
public:
    // The sixteen khans.
    Quiz();
    // The exercise's texts move into the lists: pass it with std::move
    // where it is not wanted afterwards, as a file's large one is not.
    explicit Quiz(Exercise exercise);
    Quiz(const Quiz&) = delete;
    Quiz& operator=(const Quiz&) = delete;

    Form& form() { return form_; }
    const Form& form() const { return form_; }

private:
    Form form_;
};

} // namespace drelvan
