#include "controls/controls.hpp"

#include "controls/listrules.hpp"

#include <algorithm>

namespace drelvan {

std::optional<std::string> raiseForLearner(const std::function<void()>& raiseClick)
{
    try {
        raiseClick();
    } catch (const std::exception& error) {
        return error.what();
    } catch (...) {
        return "unknown error";
    }
    return std::nullopt;
}

void Control::Click() const
{
    if (click_)
        click_();
}

void Control::bindClick(std::function<void()> handler, std::string name)
{
    click_ = std::move(handler);
    name_ = std::move(name);
}

void Control::fail(std::string_view operation, long index, std::string_view why) const
{
    std::string message = name_;
    message += '.';
    message += operation;
    message += '(';
    message += std::to_string(index);
    message += "): ";
    message += why;
    throw ControlError(message);
}

void ListBox::Clear()
{
    entries_.clear();
    selected_ = -1;
    ++clears_;
}

void ListBox::AddItem(std::u16string_view text)
{
    if (entries_.size() >= static_cast<std::size_t>(maxCount))
        fail("AddItem", ListCount(), "the list already holds the most entries a 16-bit count allows, 32767");
    auto place = entries_.end();
    if (sorted_)
        place = std::upper_bound(entries_.begin(), entries_.end(), text,
                                 [](std::u16string_view a, const std::u16string& b) { return listrules::naturalLess(a, b); });
    // An insertion in front of the selected entry moves the selection with it.
    if (selected_ >= 0 && place - entries_.begin() <= selected_)
        ++selected_;
    entries_.emplace(place, text);
}

void ListBox::RemoveItem(int16_t index)
{
    checkPosition("RemoveItem", index);
    entries_.erase(entries_.begin() + index);
    if (selected_ == index)
        selected_ = -1;
    else if (selected_ > index)
        --selected_;
}

const std::u16string& ListBox::List(int16_t index) const
{
    checkPosition("List", index);
    return entries_[static_cast<std::size_t>(index)];
}

void ListBox::SetListIndex(int16_t index)
{
    if (index < -1 || index >= ListCount())
        fail("ListIndex", index, "a selection must be -1 or the position of an entry (0 to count - 1), count "
                                     + std::to_string(ListCount()));
    if (index == selected_)
        return;
    selected_ = index;
    Click();
}

void ListBox::checkPosition(std::string_view operation, int16_t index) const
{
    if (index < 0 || index >= ListCount())
        fail(operation, index, "no such entry in a list of " + std::to_string(ListCount()));
}

} // namespace drelvan
