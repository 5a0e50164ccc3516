#include "controls/controls.hpp"

#include "controls/listrules.hpp"

#include <algorithm>
#include <span>

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
    inOrder_ = 0;
    selected_ = -1;
    ++clears_;
    ++revision_;
    lastRemoved_ = -1;
}

void ListBox::sortAddedNow() const
{
    const auto less = [](const std::u16string& a, const std::u16string& b) { return listrules::naturalLess(a, b); };
    const auto added = entries_.begin() + static_cast<std::ptrdiff_t>(inOrder_);
    // Entries that neither order puts first are the same text, so where an
    // added one goes among its equals cannot be told; the merge is stable
    // all the same, as inserting each behind its equals would be.
    listrules::sortNaturally(std::span<std::u16string>(entries_.data() + inOrder_, entries_.size() - inOrder_));
    std::inplace_merge(entries_.begin(), added, entries_.end(), less);
    inOrder_ = entries_.size();
}

void ListBox::AddItem(std::u16string_view text)
{
    AddItem(std::u16string(text));
}

void ListBox::AddItem(std::u16string&& text)
{
    if (entries_.size() >= static_cast<std::size_t>(maxCount))
        fail("AddItem", ListCount(), "the list already holds the most entries a 16-bit count allows, 32767");
    ++revision_;
    lastRemoved_ = -1;
    if (!sorted_ || selected_ < 0) {
        entries_.push_back(std::move(text));
        if (!sorted_)
            inOrder_ = entries_.size();
        return;
    }
    sortAdded();
    const auto place =
        std::upper_bound(entries_.begin(), entries_.end(), text,
                         [](std::u16string_view a, const std::u16string& b) { return listrules::naturalLess(a, b); });
    // An insertion in front of the selected entry moves the selection with it.
    if (place - entries_.begin() <= selected_)
        ++selected_;
    entries_.insert(place, std::move(text));
    inOrder_ = entries_.size();
}

void ListBox::RemoveItem(int16_t index)
{
    checkPosition("RemoveItem", index);
    sortAdded();
    entries_.erase(entries_.begin() + index);
    inOrder_ = entries_.size();
    ++revision_;
    lastRemoved_ = index;
    if (selected_ == index)
        selected_ = -1;
    else if (selected_ > index)
        --selected_;
}

void ListBox::failList(int16_t index) const
{
    fail("List", index, "no such entry in a list of " + std::to_string(ListCount()));
}

void ListBox::SetListIndex(int16_t index)
{
    if (index < -1 || index >= ListCount())
        fail("ListIndex", index, "a selection must be -1 or the position of an entry (0 to count - 1), count "
                                     + std::to_string(ListCount()));
    if (index == selected_)
        return;
    // A selection is a place in the sorted order.
    sortAdded();
    selected_ = index;
    Click();
}

void ListBox::checkPosition(std::string_view operation, int16_t index) const
{
    if (index < 0 || index >= ListCount())
        fail(operation, index, "no such entry in a list of " + std::to_string(ListCount()));
}

} // namespace drelvan
