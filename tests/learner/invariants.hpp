#pragma once

// What must be true of a window after each action of a random learner,
// whatever the toolkit draws it with: the screen, and a screen reader, show
// the model; a check happens only when a name and a period are both
// selected, takes exactly those two out of play, judges them by the answer
// key (the catalogue as the test typed it, for the khans), and leaves nothing
// selected; at most one
// check comes of one action; the answer key never changes; the focus mark,
// the top row and the keyboard focus stay where they can be; the entry the
// pointer or a screen reader lands on is the one drawn, or read out, there.
//
// Plain C++ on the core's model: a front-end's test plays its window, reads
// what the window shows into a `Screen`, says what its step aimed at in a
// `Step`, and reports the text a `Referee` returns as a failure.

#include "controls/controls.hpp"
#include "controls/form.hpp"
#include "content/utf8.hpp"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace drelvan::learner {

using Texts = std::vector<std::u16string>;

// One entry of a list as a screen reader reads it.
struct EntryHeard {
    std::u16string name;
    bool selected = false;
    bool focused = false;
};

// One visible list as the window draws it.
struct ListSeen {
    Texts entries;             // drawn, in order
    int selected = -1;         // the entry drawn as selected, -1 for none
    int caret = -1;            // the entry with the focus mark, -1 for none
    int top = 0;               // the first row drawn
    int wholeRows = 0;         // how many rows the list has room for, whole
    std::vector<bool> inView;  // per entry: drawn wholly inside the list
    bool focused = false;      // the list has the keyboard focus
    // What a screen reader reads of it, where the test can ask.
    std::optional<std::vector<EntryHeard>> heard;
};

// The places of the keyboard focus, in Tab order.
enum Focus { VerdictBox, Names, Periods, ResetButton, Elsewhere = -1 };

// The window as the learner sees it after a step.
struct Screen {
    std::array<ListSeen, 2> lists;
    std::u16string verdict;  // the verdict box's text, lines ended by CR LF
    int focus = Elsewhere;
    bool failureShown = false;  // an error box is up
};

// What one step of an action did: in which visible list (-1 for none),
// whether it was the reset, and, where it aimed (`aimed`), the entry drawn or
// read out there (`aim`, none where there was no entry).
struct Step {
    int member = -1;
    bool reset = false;
    bool aimed = false;
    std::optional<std::u16string> aim;
};

// The catalogue as the test typed it; left empty for a quiz on a teacher's
// pairs, whose key and deal are read from the form as it opens.
struct Catalogue {
    Texts chronologicalNames;
    Texts alphabeticalNames;
    Texts periods;
};


inline std::string joined(const Texts& texts)
{
    std::string out;
    for (const auto& text : texts)
        out += (out.empty() ? "" : ", ") + toUtf8(text);
    return out;
}

// The game as its rules have it, whichever entries the learner picks, and
// the window held to it. Each method returns what is wrong, empty for
// nothing.
class Referee {
public:
    static constexpr const char* listNames[] = {"names", "periods"};

    // The note of each ruler, in catalogue order, by length: the notes
    // themselves are read once from the hidden list and then held to these.
    static constexpr std::array<std::size_t, 16> noteLengths{83, 188, 38, 43, 88, 49, 38, 76, 68, 51, 176, 86, 661, 137, 97, 65};
    static constexpr std::size_t openingLength = 1008;

    // `join` stands between the two texts of a verdict.
    explicit Referee(Catalogue catalogue, std::u16string join = u" период ")
        : catalogue_(std::move(catalogue)), join_(std::move(join))
    {
    }

    // The quiz as it opens: the answer key, the deal, the opening text.
    std::string start(const Form& form)
    {
        for (int16_t member = 2; member <= 4; ++member)
            key_[static_cast<std::size_t>(member - 2)] = form.List1(member).entries();
        dealt_ = entries_ = {form.List1(0).entries(), form.List1(1).entries()};
        verdict_ = form.Text1(0).Text();
        notes_ = key_[2];
        if (catalogue_.chronologicalNames.empty())
            return {};
        if (dealt_[0] != catalogue_.alphabeticalNames || dealt_[1] != catalogue_.periods)
            return "dealt " + joined(dealt_[0]) + " / " + joined(dealt_[1]);
        if (key_[0] != catalogue_.chronologicalNames)
            return "hidden names: " + joined(key_[0]);
        if (key_[1] != catalogue_.periods)
            return "hidden periods: " + joined(key_[1]);
        if (notes_.size() != noteLengths.size())
            return "hidden notes: " + std::to_string(notes_.size());
        for (std::size_t row = 0; row < notes_.size(); ++row)
            if (notes_[row].size() != noteLengths[row])
                return "note " + std::to_string(row) + " has " + std::to_string(notes_[row].size()) + " characters";
        if (verdict_.size() != openingLength)
            return "the opening text has " + std::to_string(verdict_.size()) + " characters";
        if (std::count(verdict_.begin(), verdict_.end(), u'\n') != 8)
            return "the opening text has other than eight lines";
        return {};
    }

    // An action begins; its steps follow.
    void beginAction()
    {
        checksInAction_ = 0;
        changed_ = {false, false};
    }

    // After each step: what it did to the model, held to the rules of the
    // game, then the screen held to the model. `focus` is where the step
    // leaves the keyboard focus.
    std::string settle(const Step& step, const Form& form, const Screen& screen, int focus)
    {
        std::string wrong = observe(step, form);
        if (wrong.empty())
            wrong = verify(form, screen, focus);
        return wrong;
    }

    // What the last step made of the game, for the log: what it picked, the
    // verdict.
    std::u16string takeNote() { return std::exchange(note_, {}); }
    int checks() const { return checks_; }
    const std::u16string& verdict() const { return verdict_; }

private:
    // The entries of `before` that are missing from `after`; none where
    // `after` is not `before` with some entries taken out and the rest in
    // their order.
    static std::optional<Texts> takenOut(const Texts& before, const Texts& after)
    {
        Texts gone;
        std::size_t kept = 0;
        for (const auto& entry : before) {
            if (kept < after.size() && after[kept] == entry)
                ++kept;
            else
                gone.push_back(entry);
        }
        return kept == after.size() ? std::optional(gone) : std::nullopt;
    }

    std::string observe(const Step& step, const Form& form)
    {
        const std::array<Texts, 2> entries{form.List1(0).entries(), form.List1(1).entries()};
        const std::array<int, 2> selected{form.List1(0).ListIndex(), form.List1(1).ListIndex()};
        const int acted = step.member;

        if (step.reset) {
            // Dealt afresh, whatever was selected or consumed.
            if (entries != dealt_)
                return "the reset dealt " + joined(entries[0]) + " / " + joined(entries[1]);
            if (selected[0] != -1 || selected[1] != -1)
                return "a selection stands after the reset";
            verdict_.clear();
        } else {
            std::array<Texts, 2> gone;
            for (std::size_t member = 0; member < 2; ++member) {
                const auto taken = takenOut(entries_[member], entries[member]);
                if (!taken)
                    return std::string(listNames[member]) + " changed other than by a removal: " + joined(entries[member]);
                gone[member] = *taken;
            }
            if (!gone[0].empty() || !gone[1].empty()) {
                if (std::string wrong = judge(acted, gone, selected); !wrong.empty())
                    return wrong;
            } else {
                for (int member = 0; member < 2; ++member) {
                    const auto index = static_cast<std::size_t>(member);
                    if (member != acted && selected[index] != selected_[index])
                        return std::string("the selection in ") + listNames[member] + " changed without a pick there";
                    if (member == acted && selected_[index] >= 0 && selected[index] < 0)
                        return "a selection was emptied without a check";
                }
            }
            if (acted >= 0) {
                const auto index = static_cast<std::size_t>(acted);
                const int now = selected[index];
                const std::optional<std::u16string> picked =
                    now >= 0 ? std::optional(entries[index][static_cast<std::size_t>(now)]) : std::nullopt;
                if (now != selected_[index] && picked)
                    note_ += u" -> \"" + *picked + u'"';
                const bool changed = now != selected_[index] || !gone[index].empty();
                changed_[index] = changed_[index] || changed;
                // The entry drawn under the pointer, or read out by the
                // screen reader, is the one picked: selected, or taken out
                // by a check.
                if (step.aimed && !step.aim && changed)
                    return "a press beside the entries picked one";
                if (step.aimed && step.aim && gone[index] != Texts{*step.aim} && picked != step.aim)
                    return "\"" + toUtf8(*step.aim) + "\" was aimed at, not picked";
            }
        }
        if (form.Text1(0).Text() != verdict_)
            return "the verdict box holds \"" + toUtf8(form.Text1(0).Text()) + "\", not \"" + toUtf8(verdict_) + "\"";
        entries_ = entries;
        selected_ = selected;
        return {};
    }

    // A check takes out the name and the period that were selected, one of
    // them by this very pick, judges them by the catalogue and leaves both
    // lists without a selection.
    std::string judge(int acted, const std::array<Texts, 2>& gone, const std::array<int, 2>& selected)
    {
        if (gone[0].size() != 1 || gone[1].size() != 1)
            return "a check took out " + joined(gone[0]) + " and " + joined(gone[1]);
        const std::u16string& name = gone[0][0];
        const std::u16string& period = gone[1][0];
        const auto& names = key_[0];
        const auto found = std::find(names.begin(), names.end(), name);
        if (found == names.end())
            return "a check took out \"" + toUtf8(name) + "\", not in the key";
        const auto row = static_cast<std::size_t>(found - names.begin());
        const bool right = key_[1][row] == period;
        note_ += (right ? u" -> right: " : u" -> wrong: ") + name + u" / " + period;
        ++checks_;

        if (acted < 0)
            return "a check without a pick in a list";
        if (++checksInAction_ != 1)
            return "two checks came of one action";
        const auto other = static_cast<std::size_t>(1 - acted);
        const int before = selected_[other];
        if (before < 0 || gone[other][0] != entries_[other][static_cast<std::size_t>(before)])
            return "the check took out \"" + toUtf8(gone[other][0]) + "\", not the selection in " + listNames[other];
        if (selected[0] >= 0 || selected[1] >= 0)
            return "a selection stands after the check";
        verdict_ = (right ? u"Вярно " : u"Грешно ") + name + join_ + period + u"\r\n";
        if (right)
            verdict_ += notes_[row];
        return {};
    }

    // A list as the learner sees it and as a screen reader reads it.
    std::string verifyList(int member, const ListBox& model, const ListSeen& list) const
    {
        const auto index = static_cast<std::size_t>(member);
        const Texts& entries = model.entries();
        const int count = static_cast<int>(entries.size());
        const int selected = model.ListIndex();
        const std::string where = std::string(" (") + listNames[member] + ", " + std::to_string(count) + " entries, selected " +
                                  std::to_string(selected) + ", focus mark " + std::to_string(list.caret) + ", top row " +
                                  std::to_string(list.top) + ", " + std::to_string(list.wholeRows) + " rows shown)";
        if (list.entries != entries)
            return "the list shows " + joined(list.entries) + where;
        if (list.selected != selected)
            return "the list shows " + std::to_string(list.selected) + " selected" + where;

        // The focus mark is on an entry, on the selected one if there is
        // one; a list that has the keyboard focus shows it, unless it is
        // empty.
        const int caret = list.caret;
        if (caret < -1 || caret >= count)
            return "the focus mark is off the entries" + where;
        if (count > 0 && caret < 0 && list.focused)
            return "the focused list shows no focus mark" + where;
        if (selected >= 0 && caret != selected)
            return "the focus mark is not on the selection" + where;

        if (list.heard) {
            const auto& heard = *list.heard;
            if (heard.size() != entries.size())
                return "a screen reader hears " + std::to_string(heard.size()) + " entries" + where;
            for (int row = 0; row < count; ++row) {
                const EntryHeard& entry = heard[static_cast<std::size_t>(row)];
                if (entry.name != entries[static_cast<std::size_t>(row)] || entry.selected != (row == selected) ||
                    entry.focused != (list.focused && row == caret))
                    return "a screen reader hears entry " + std::to_string(row) + " as \"" + toUtf8(entry.name) + "\"" +
                           (entry.selected ? ", selected" : "") + (entry.focused ? ", focused" : "") + where;
            }
        }

        // The rows shown run from the top row; no blank space below them
        // while entries are hidden above; as many shown whole as the list
        // has room for.
        if (list.top < 0 || list.top > std::max(0, count - list.wholeRows))
            return "the top row is out of place" + where;
        if (list.inView.size() != entries.size())
            return "the test read no place for each entry" + where;
        for (int row = 0; row < count; ++row)
            if (list.inView[static_cast<std::size_t>(row)] != (row >= list.top && row < list.top + list.wholeRows))
                return "entry " + std::to_string(row) + (list.inView[static_cast<std::size_t>(row)] ? " is" : " is not") +
                       " shown whole" + where;
        // What the learner has just picked is in view, whole.
        if (changed_[index] && caret >= 0 && !list.inView[static_cast<std::size_t>(caret)])
            return "the focus mark is not wholly in view" + where;
        return {};
    }

    std::string verify(const Form& form, const Screen& screen, int focus) const
    {
        // The answer key never changes.
        for (int16_t member = 2; member <= 4; ++member)
            if (form.List1(member).entries() != key_[static_cast<std::size_t>(member - 2)])
                return "hidden list List1(" + std::to_string(member) + ") changed";
        for (int16_t member = 0; member < 2; ++member)
            if (std::string wrong = verifyList(member, form.List1(member), screen.lists[static_cast<std::size_t>(member)]);
                !wrong.empty())
                return wrong;
        if (form.List1(0).ListIndex() >= 0 && form.List1(1).ListIndex() >= 0)
            return "a name and a period stand selected";
        if (screen.verdict != form.Text1(0).Text())
            return "the verdict box shows \"" + toUtf8(screen.verdict) + "\", not \"" + toUtf8(form.Text1(0).Text()) + "\"";
        if (screen.focus != focus)
            return "the keyboard focus is at " + std::to_string(screen.focus) + ", not at " + std::to_string(focus);
        if (screen.failureShown)
            return "the window reported a run-time error";
        return {};
    }

    Catalogue catalogue_;
    std::u16string join_;
    std::array<Texts, 3> key_;
    Texts notes_;
    std::array<Texts, 2> dealt_;
    std::array<Texts, 2> entries_;
    std::array<int, 2> selected_{-1, -1};
    std::u16string verdict_;
    std::array<bool, 2> changed_{false, false};
    int checks_ = 0;
    int checksInAction_ = 0;
    std::u16string note_;
};

} // namespace drelvan::learner
