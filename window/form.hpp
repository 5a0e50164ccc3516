#pragma once

#include "controls.hpp"

#include <string>

namespace drelvan {

// The quiz window as the program sees it: all of its state lives in these
// controls. List1(0) and List1(1) are the names and periods the learner
// pairs; the hidden List1(2), List1(3) and List1(4) hold the catalogue's
// names, periods and notes row by row and are the answer key. Text1(0) is the
// verdict box, Command1(0) the reset button, Label1(0..2) the title of the
// quiz and the captions over the two lists.
//
// A new Form is the window as it opens: the catalogue in the lists, nothing
// selected, the opening text in the verdict box, and the Click events of
// List1 and Command1 bound to the quiz's handlers.
class Form {
public:
    Form();
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    const std::u16string& Caption() const { return caption_; }

    // Members are declared in the order of keyboard focus of their visible
    // controls: verdict box, names, periods, button.
    ControlArray<TextBox> Text1;
    ControlArray<ListBox> List1;
    ControlArray<CommandButton> Command1;
    ControlArray<Label> Label1;

private:
    std::u16string caption_;
};

} // namespace drelvan
