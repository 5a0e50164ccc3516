#include "form.hpp"

#include "content/catalogue.hpp"
#include "content/texts.hpp"
#include "quiz/handlers.hpp"

namespace drelvan {

namespace {

std::vector<ListBox> catalogueLists()
{
    std::vector<ListBox> lists{ListBox(/*sorted=*/true), ListBox(), ListBox(), ListBox(), ListBox()};
    for (const Ruler& ruler : catalogue) {
        lists[0].AddItem(ruler.name);
        lists[1].AddItem(ruler.period);
        lists[2].AddItem(ruler.name);
        lists[3].AddItem(ruler.period);
        lists[4].AddItem(ruler.note);
    }
    return lists;
}

} // namespace

Form::Form()
    : Text1("Text1", {TextBox()}),
      List1("List1", catalogueLists()),
      Command1("Command1", {CommandButton(texts::resetCaption)}),
      Label1("Label1", {Label(texts::quizTitle), Label(texts::namesCaption), Label(texts::periodsCaption)}),
      caption_(std::u16string(texts::webAddress) + std::u16string(texts::titleSuffix))
{
    Text1(0).SetText(std::u16string(texts::openingText));
    List1.bindClick([this](int16_t index) { List1_Click(*this, index); });
    Command1.bindClick([this](int16_t index) { Command1_Click(*this, index); });
}

} // namespace drelvan
