#include "controls/listcontroller.hpp"

#include <algorithm>

namespace drelvan {

namespace {

// Control characters and the blank are keys of their own, never letters to
// search with.
bool isLetter(std::u16string_view text)
{
    if (text.empty())
        return false;
    const char16_t first = text.front();
    return first > u' ' && !(first >= 0x7F && first < 0xA0);
}

} // namespace

ListController::ListController(const ListBox& model) : model_(&model), followedClears_(model.clears())
{
    settle();
}

listrules::ListState ListController::state() const
{
    return {model_->ListCount(), model_->ListIndex(), place_.caret, rowsShown_};
}

void ListController::aim(int row)
{
    if (row < 0 || row >= count())
        return;
    place_.caret = row;
    place_.top = listrules::topShowing(row, place_.top, rowsShown_);
}

std::optional<int> ListController::key(listrules::ListKey key, Modifiers modifiers)
{
    if (modifiers.alt)
        return std::nullopt;
    const int row = listrules::keySelection(key, state());
    aim(row);
    return row;
}

std::optional<int> ListController::type(std::u16string_view text, std::int64_t milliseconds)
{
    if (!isLetter(text))
        return std::nullopt;
    const bool continuing =
        lastTyped_ && milliseconds >= *lastTyped_ && milliseconds - *lastTyped_ <= typingInterval;
    lastTyped_ = milliseconds;
    const int row = typeAhead_.type(text, continuing, model_->entries(), place_.caret);
    aim(row);
    return row;
}

int ListController::press(int row)
{
    const int picked = pointer_.press(row < count() ? row : -1);
    aim(picked);
    return picked;
}

int ListController::drag(int row)
{
    const int picked = pointer_.drag(row < count() ? row : -1, model_->ListIndex());
    aim(picked);
    return picked;
}

int ListController::pick(int row)
{
    if (row < 0 || row >= count())
        return -1;
    aim(row);
    return row;
}

void ListController::release()
{
    pointer_.release();
}

void ListController::wheel(int delta)
{
    // A fine wheel or a touchpad sends parts of a notch; they add up.
    constexpr int unitsPerRow = wheelNotch / rowsPerNotch;
    wheelRest_ += delta;
    const int rows = wheelRest_ / unitsPerRow;
    wheelRest_ -= rows * unitsPerRow;
    scrollTo(place_.top - rows);
}

void ListController::scrollTo(int top)
{
    place_.top = std::clamp(top, 0, listrules::lastTop(count(), rowsShown_));
}

void ListController::focusIn()
{
    focused_ = true;
    lastTyped_.reset();
    if (place_.caret < 0 && count() > 0)
        place_.caret = 0;
}

void ListController::focusOut()
{
    focused_ = false;
    lastTyped_.reset();
}

void ListController::setRowsShown(int rows)
{
    rowsShown_ = std::max(1, rows);
    scrollTo(place_.top);
}

int ListController::rowAtLine(int line) const
{
    if (line < 0)
        return -1;
    const int row = place_.top + line;
    return row < count() ? row : -1;
}

bool ListController::settle(int picked)
{
    pointer_.picked(picked, model_->ListIndex());
    const bool emptied = model_->clears() != followedClears_;
    followedClears_ = model_->clears();
    place_ = listrules::follow(place_, state(), emptied);
    const bool entriesChanged = entriesChange().kind != EntriesChange::None;
    // A search goes on only over the entries it started on.
    if (entriesChanged)
        lastTyped_.reset();
    return !shown_ || entriesChanged || shown_->selected != model_->ListIndex()
        || shown_->place.caret != place_.caret || shown_->place.top != place_.top || shown_->focused != focused_;
}

EntriesChange ListController::entriesChange() const
{
    if (!shown_ || shown_->clears != model_->clears())
        return {EntriesChange::Replaced};
    if (shown_->revision == model_->revision())
        return {};
    // One change since, and that one took an entry out.
    if (model_->revision() - shown_->revision == 1 && model_->lastRemoved() >= 0)
        return {EntriesChange::Removed, model_->lastRemoved()};
    return {EntriesChange::Replaced};
}

ListShown ListController::shown()
{
    const EntriesChange change = entriesChange();
    shown_ = Shown{model_->revision(), model_->clears(), model_->ListIndex(), place_, focused_};
    return {model_->entries(), model_->ListIndex(), place_.caret, place_.top, focused_, change};
}

} // namespace drelvan
