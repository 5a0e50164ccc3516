#include "controls/form.hpp"

namespace drelvan {

Form::Form(std::u16string caption, std::vector<TextBox> text1, std::vector<ListBox> list1,
           std::vector<CommandButton> command1, std::vector<Label> label1)
    : Text1("Text1", std::move(text1)),
      List1("List1", std::move(list1)),
      Command1("Command1", std::move(command1)),
      Label1("Label1", std::move(label1)),
      caption_(std::move(caption))
{
}

} // namespace drelvan
