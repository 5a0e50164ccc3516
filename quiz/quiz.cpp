#include "quiz/quiz.hpp"

#include "quiz/handlers.hpp"

#include "content/texts.hpp"

namespace drelvan {

namespace {

// The key keeps the exercise's own texts, and the lists the learner sees
// copies of them; the exercise's pairs are left empty.
std::vector<ListBox> keyLists(Exercise& exercise)
{
    std::vector<ListBox> lists{ListBox(/*sorted=*/true), ListBox(/*sorted=*/!exercise.rightInKeyOrder), ListBox(),
                               ListBox(), ListBox()};
    for (ListBox& list : lists)
        list.reserve(exercise.pairs.size());
    for (Pair& pair : exercise.pairs) {
        lists[0].AddItem(std::u16string_view(pair.left));
        lists[1].AddItem(std::u16string_view(pair.right));
        lists[2].AddItem(std::move(pair.left));
        lists[3].AddItem(std::move(pair.right));
        lists[4].AddItem(std::move(pair.note));
    }
    exercise.pairs = {};
    return lists;
}

TextBox openingVerdict(Exercise& exercise)
{
    TextBox verdict;
    verdict.SetText(std::move(exercise.opening));
    return verdict;
}

} // namespace

Quiz::Quiz() : Quiz(builtInExercise()) {}

Quiz::Quiz(Exercise exercise)
    : form_(std::move(exercise.windowTitle), {openingVerdict(exercise)}, keyLists(exercise),
            {CommandButton(texts::resetCaption)},
            {Label(exercise.title), Label(exercise.leftCaption), Label(exercise.rightCaption)})
{
    form_.List1.bindClick([this](int16_t index) { List1_Click(form_, index); });
    form_.Command1.bindClick([this](int16_t index) { Command1_Click(form_, index); });
}

} // namespace drelvan
