#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace drelvan {

// A control operation that cannot be carried out: a position outside the
// entries, a list that would outgrow its 16-bit count, a member that the
// array does not have. The message names the control, the operation and the
// index. Handlers trap none of these; the window reports them.
class ControlError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Raises a Click on the learner's behalf, as the window's message loop does.
// No handler traps errors: a failure ends the handler that met it, and its
// message comes back here for the window to show; the program goes on.
std::optional<std::string> raiseForLearner(const std::function<void()>& raiseClick);

// What every control has: the name it is addressed by ("List1(0)") and the
// Click event, which goes to the handler of its control array.
class Control {
public:
    const std::string& Name() const { return name_; }

    // Raises Click. Runs the bound handler synchronously, if there is one.
    void Click() const;

    void bindClick(std::function<void()> handler, std::string name);

protected:
    [[noreturn]] void fail(std::string_view operation, long index, std::string_view why) const;

private:
    std::string name_;
    std::function<void()> click_;
};

// A list box: entries, a count and a selection, all addressed by 16-bit
// signed positions; -1 selects nothing.
class ListBox : public Control {
public:
    static constexpr int16_t maxCount = INT16_MAX;

    explicit ListBox(bool sorted = false) : sorted_(sorted) {}

    bool Sorted() const { return sorted_; }

    void Clear();
    // A sorted list keeps its entries in listrules::naturalLess order (for
    // the quiz's Cyrillic names that is the alphabetical order); an equal
    // entry goes behind the ones already there. Otherwise the entry is appended.
    void AddItem(std::u16string_view text);
    // The same, keeping the text itself rather than a copy.
    void AddItem(std::u16string&& text);
    void AddItem(const char16_t* text) { AddItem(std::u16string_view(text)); }
    // Room for `count` entries in all, so that a list filled entry by entry
    // is not moved as it grows.
    void reserve(std::size_t count) { entries_.reserve(count); }
    // The entries behind `index` move up one place, and so does a selection
    // among them; removing the selected entry leaves nothing selected.
    void RemoveItem(int16_t index);

    const std::u16string& List(int16_t index) const
    {
        // Inline: a handler reads every entry of a list in a loop.
        if (index < 0 || index >= ListCount())
            failList(index);
        sortAdded();
        return entries_[static_cast<std::size_t>(index)];
    }
    int16_t ListCount() const { return static_cast<int16_t>(entries_.size()); }
    int16_t ListIndex() const { return selected_; }
    // A change of the selection raises Click, inside this call; setting the
    // selection it already has raises nothing.
    void SetListIndex(int16_t index);

    const std::vector<std::u16string>& entries() const
    {
        sortAdded();
        return entries_;
    }
    // How many times the list has been cleared. A view that sees this change
    // knows that every row it showed is gone, even where the list has been
    // filled again since.
    unsigned long clears() const { return clears_; }
    // How many times the entries have changed (cleared, added to, taken
    // from), and the entry that the last change took out, -1 where it took
    // none: a view that has shown revision() - 1 knows from these alone
    // what to draw again.
    unsigned long revision() const { return revision_; }
    int16_t lastRemoved() const { return lastRemoved_; }

private:
    void checkPosition(std::string_view operation, int16_t index) const;
    [[noreturn]] void failList(int16_t index) const;
    // A sorted list takes entries in at its end while nothing is selected,
    // and puts them in their places when it is next read: a list filled
    // entry by entry is sorted once, not shifted once an entry.
    void sortAdded() const
    {
        if (inOrder_ != entries_.size())
            sortAddedNow();
    }
    void sortAddedNow() const;

    mutable std::vector<std::u16string> entries_;
    // In a sorted list, the entries before this are in order; those from
    // here on were added since, in the order they came, and nothing is
    // selected while there are any.
    mutable std::size_t inOrder_ = 0;
    int16_t selected_ = -1;
    bool sorted_;
    unsigned long clears_ = 0;
    unsigned long revision_ = 0;
    int16_t lastRemoved_ = -1;
};

class TextBox : public Control {
public:
    const std::u16string& Text() const { return text_; }
    void SetText(std::u16string text)
    {
        text_ = std::move(text);
        ++revision_;
    }

    // How many times the text has been set: a window that sees this change
    // knows that there is a new text to show, even an equal one.
    unsigned long revision() const { return revision_; }

private:
    std::u16string text_;
    unsigned long revision_ = 0;
};

// A control that shows a fixed caption.
class CaptionedControl : public Control {
public:
    explicit CaptionedControl(std::u16string_view caption) : caption_(caption) {}
    const std::u16string& Caption() const { return caption_; }

private:
    std::u16string caption_;
};

class Label : public CaptionedControl {
public:
    using CaptionedControl::CaptionedControl;
};

class CommandButton : public CaptionedControl {
public:
    using CaptionedControl::CaptionedControl;
};

// Controls of one kind under one name, told apart by a 16-bit signed index
// from 0. The members never move, so references to them stay valid.
template <class ControlKind>
class ControlArray {
public:
    ControlArray(std::string name, std::vector<ControlKind> members)
        : name_(std::move(name)), members_(std::move(members))
    {
        bindClick({});
    }
    ControlArray(const ControlArray&) = delete;
    ControlArray& operator=(const ControlArray&) = delete;

    const std::string& Name() const { return name_; }
    int16_t Count() const { return static_cast<int16_t>(members_.size()); }

    ControlKind& operator()(int16_t index) { return members_[checked(index)]; }
    const ControlKind& operator()(int16_t index) const { return members_[checked(index)]; }

    // Every member's Click goes to `handler`, with the member's index.
    void bindClick(std::function<void(int16_t)> handler)
    {
        for (int16_t i = 0; i < Count(); ++i) {
            std::function<void()> raise;
            if (handler)
                raise = [handler, i] { handler(i); };
            members_[static_cast<std::size_t>(i)].bindClick(std::move(raise), memberName(i));
        }
    }

private:
    std::string memberName(long index) const
    {
        return name_ + '(' + std::to_string(index) + ')';
    }

    std::size_t checked(int16_t index) const
    {
        if (index < 0 || index >= Count())
            throw ControlError(memberName(index) + ": the control array " + name_ + " has no member "
                               + std::to_string(index));
        return static_cast<std::size_t>(index);
    }

    std::string name_;
    std::vector<ControlKind> members_;
};

} // namespace drelvan
