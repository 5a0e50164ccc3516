#include "quiz/quiz.hpp"

#include "quiz/handlers.hpp"

#include "content/texts.hpp"

namespace drelvan {

namespace {

std::vector<ListBox> keyLists(const Exercise& exercise)
{
    std::vector<ListBox> lists{ListBox(/*sorted=*/true), ListBox(/*sorted=*/!exercise.rightInKeyOrder), ListBox(),
                               ListBox(), ListBox()};
    for (const Pair& pair : exercise.pairs) {
        lists[0].AddItem(pair.left);
        lists[1].AddItem(pair.right);
        lists[2].AddItem(pair.left);
        lists[3].AddItem(pair.right);
        lists[4].AddItem(pair.note);
    }
    return lists;
}

TextBox openingVerdict(const Exercise& exercise)
{
    TextBox verdict;
    verdict.SetText(exercise.opening);
    return verdict;
}

} // namespace

Quiz::Quiz() : Quiz(builtInExercise()) {}

Quiz::Quiz(const Exercise& exercise)
    : form_(exercise.windowTitle, {openingVerdict(exercise)}, keyLists(exercise),
            {CommandButton(texts::resetCaption)},
            {Label(exercise.title), Label(exercise.leftCaption), Label(exercise.rightCaption)})
{
    form_.List1.bindClick([this](int16_t index) { List1_Click(form_, index); });
    form_.Command1.bindClick([this](int16_t index) { Command1_Click(form_, index); });
}

} // namespace drelvan
