#include "quiz/session.hpp"

namespace drelvan {

Session::Session(FrontEnd& frontEnd, Exercise exercise)
    : frontEnd_(frontEnd),
      quiz_(std::make_unique<Quiz>(std::move(exercise))),
      lists_{ListController(quiz_->form().List1(0)), ListController(quiz_->form().List1(1))},
      verdictShown_(quiz_->form().Text1(0).revision())
{
}

void Session::open(Exercise exercise)
{
    auto quiz = std::make_unique<Quiz>(std::move(exercise));
    std::array<ListController, 2> lists{ListController(quiz->form().List1(0)), ListController(quiz->form().List1(1))};
    for (std::size_t member = 0; member < lists.size(); ++member) {
        lists[member].setRowsShown(lists_[member].rowsShown());
        if (lists_[member].focused())
            lists[member].focusIn();
    }
    // The controllers point into the quiz they were made for: both go
    // together, and only once the new ones are whole.
    quiz_ = std::move(quiz);
    lists_ = std::move(lists);
    showAll();
    frontEnd_.announce(form().Label1(0).Caption() + u"\r\n" + form().Text1(0).Text());
}

void Session::showAll()
{
    frontEnd_.showCaptions(form());
    for (int16_t member = 0; member < 2; ++member) {
        lists_[index(member)].settle();
        frontEnd_.showList(member, lists_[index(member)].shown());
    }
    frontEnd_.showVerdict(form().Text1(0).Text());
    verdictShown_ = form().Text1(0).revision();
}

void Session::act(int16_t member, int picked, const std::function<void()>& raiseClick)
{
    std::optional<std::string> failure;
    if (raiseClick)
        failure = raiseForLearner(raiseClick);
    for (int16_t other = 0; other < 2; ++other) {
        ListController& list = lists_[index(other)];
        if (list.settle(other == member ? picked : -1))
            frontEnd_.showList(other, list.shown());
    }
    const TextBox& verdict = form().Text1(0);
    if (verdict.revision() != verdictShown_) {
        verdictShown_ = verdict.revision();
        frontEnd_.showVerdict(verdict.Text());
        // Only a check writes a verdict; a reset empties the box.
        if (!verdict.Text().empty())
            frontEnd_.announce(verdict.Text());
    }
    if (failure)
        frontEnd_.reportFailure(*failure);
}

// The learner's pick becomes the model's selection, which raises Click;
// picking the entry already selected changes nothing.
void Session::choose(int16_t member, std::optional<int> row)
{
    const int picked = row.value_or(-1);
    ListBox& list = quiz_->form().List1(member);
    if (picked < 0 || picked >= list.ListCount() || picked == list.ListIndex()) {
        act(member, -1, {});
        return;
    }
    act(member, picked, [&list, picked] { list.SetListIndex(static_cast<int16_t>(picked)); });
}

bool Session::key(int16_t member, listrules::ListKey key, Modifiers modifiers)
{
    const std::optional<int> row = lists_.at(index(member)).key(key, modifiers);
    if (row)
        choose(member, row);
    return row.has_value();
}

bool Session::type(int16_t member, std::u16string_view text, std::int64_t milliseconds)
{
    const std::optional<int> row = lists_.at(index(member)).type(text, milliseconds);
    if (row)
        choose(member, row);
    return row.has_value();
}

void Session::press(int16_t member, int row)
{
    choose(member, lists_.at(index(member)).press(row));
}

void Session::drag(int16_t member, int row)
{
    choose(member, lists_.at(index(member)).drag(row));
}

void Session::release(int16_t member)
{
    lists_.at(index(member)).release();
    act(member, -1, {});
}

void Session::wheel(int16_t member, int delta)
{
    lists_.at(index(member)).wheel(delta);
    act(member, -1, {});
}

void Session::scrollTo(int16_t member, int top)
{
    lists_.at(index(member)).scrollTo(top);
    act(member, -1, {});
}

void Session::focus(int16_t member, bool in)
{
    ListController& list = lists_.at(index(member));
    if (in)
        list.focusIn();
    else
        list.focusOut();
    act(member, -1, {});
}

void Session::setRowsShown(int16_t member, int rows)
{
    lists_.at(index(member)).setRowsShown(rows);
    act(member, -1, {});
}

void Session::pick(int16_t member, int row)
{
    choose(member, lists_.at(index(member)).pick(row));
}

void Session::reset()
{
    act(-1, -1, [this] { quiz_->form().Command1(0).Click(); });
}

} // namespace drelvan
