#pragma once

#include "controls/controls.hpp"

#include <string>
#include <vector>

namespace drelvan {

// A window as the program sees it: a caption and its control arrays, which
// hold all of its state. What goes into them, and which handlers their Click
// events reach, is for the program that builds it to say.
class Form {
public:
    Form(std::u16string caption, std::vector<TextBox> text1, std::vector<ListBox> list1,
         std::vector<CommandButton> command1, std::vector<Label> label1);
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    const std::u16string& Caption() const { return caption_; }

    // Members are declared in the order of keyboard focus of their visible
    // controls: verdict box, lists, button.
    ControlArray<TextBox> Text1;
    ControlArray<ListBox> List1;
    ControlArray<CommandButton> Command1;
    ControlArray<Label> Label1;

private:
    std::u16string caption_;
};

} // namespace drelvan
