#include "quiz/quiz.hpp"

#include "quiz/handlers.hpp"

#include "content/about.hpp"
#include "content/catalogue.hpp"
#include "content/texts.hpp"

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

TextBox openingVerdict()
{
    TextBox verdict;
    verdict.SetText(std::u16string(texts::openingText));
    return verdict;
}

} // namespace

Quiz::Quiz()
    : form_(std::u16string(about::webAddress) + std::u16string(texts::titleSuffix), {openingVerdict()},
            catalogueLists(), {CommandButton(texts::resetCaption)},
            {Label(texts::quizTitle), Label(texts::namesCaption), Label(texts::periodsCaption)})
{
    form_.List1.bindClick([this](int16_t index) { List1_Click(form_, index); });
    form_.Command1.bindClick([this](int16_t index) { Command1_Click(form_, index); });
}

} // namespace drelvan
