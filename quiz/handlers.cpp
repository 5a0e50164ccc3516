#include "quiz/handlers.hpp"

#include "controls/form.hpp"
#include "controls/listrules.hpp"

#include <optional>
#include <string>

namespace drelvan {

namespace {
constexpr std::u16string_view rightWord = u"Вярно ";
constexpr std::u16string_view wrongWord = u"Грешно ";
constexpr std::u16string_view lineBreak = u"\r\n";
// What joins the two texts of a verdict: the right list's caption begun in
// lower case, between blanks ("Период" gives " период ").
std::u16string joinWord(const Form& form)
{
    std::u16string word = form.Label1(2).Caption();
    if (!word.empty())
        word.front() = listrules::foldCase(word.front());
    return u' ' + word + u' ';
}

} // namespace

void List1_Click(Form& form, int16_t /*Index: both lists are handled alike*/)
{
    const int16_t names = form.List1(0).ListIndex();
    const int16_t periods = form.List1(1).ListIndex();
    if (names > -1 && periods > -1)
        CheckPair(form);
}

void CheckPair(Form& form)
{
    ListBox& names = form.List1(0);
    ListBox& periods = form.List1(1);
    const ListBox& keyNames = form.List1(2);
    TextBox& verdict = form.Text1(0);

    const int16_t nameIndex = names.ListIndex();
    const int16_t periodIndex = periods.ListIndex();
    const int16_t rows = keyNames.ListCount();

    // Every row is compared; a name listed twice would count at its last row.
    const std::u16string& name = names.List(nameIndex);
    std::optional<int16_t> row;
    for (int16_t counter = 0; counter < rows; ++counter)
        if (keyNames.List(counter) == name)
            row = counter;

    // A name missing from the key has no right period, so the pair is wrong;
    // it is never judged against the first row.
    const std::u16string& period = periods.List(periodIndex);
    const bool right = row && form.List1(3).List(*row) == period;

    verdict.SetText(std::u16string(right ? rightWord : wrongWord));
    verdict.SetText(verdict.Text() + name + joinWord(form) + period + std::u16string(lineBreak));
    if (right)
        verdict.SetText(verdict.Text() + form.List1(4).List(*row));

    // `name` and `period` refer to the entries removed here; they are not
    // used past this point.
    names.RemoveItem(nameIndex);
    periods.RemoveItem(periodIndex);
    // Removing the selected entry has already left each list without a
    // selection, so these two change nothing and raise no Click, and no test
    // can tell them apart from nothing. They stay as the check's own word that
    // it ends with neither list selected, rather than a reliance on how
    // RemoveItem treats the selection; a list that kept one would otherwise
    // judge the next choice at once.
    names.SetListIndex(-1);
    periods.SetListIndex(-1);
}

void Command1_Click(Form& form, int16_t Index)
{
    if (Index != 0)
        return;
    ListBox& names = form.List1(0);
    ListBox& periods = form.List1(1);
    names.Clear();
    periods.Clear();
    form.Text1(0).SetText({});

    const ListBox& keyNames = form.List1(2);
    const ListBox& keyPeriods = form.List1(3);
    const int16_t n = keyNames.ListCount();
    // The counter is wider than a position so that it cannot wrap at 32767.
    for (int counter = 1; counter <= n; ++counter) {
        const auto row = static_cast<int16_t>(counter - 1);
        names.AddItem(keyNames.List(row));
        periods.AddItem(keyPeriods.List(row));
    }
}

} // namespace drelvan
