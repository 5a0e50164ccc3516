#define DOCTEST_CONFIG_IMPLEMENT_WITH_MAIN
#include "expected.hpp"

#include "controls/listcontroller.hpp"
#include "controls/listrules.hpp"

#include <algorithm>
#include <functional>
#include <random>

using drelvan::ControlArray;
using drelvan::ControlError;
using drelvan::ListBox;

namespace {

// A list box in an array of one, so that it has a name and its Click is
// counted.
struct Fixture {
    ControlArray<ListBox> lists;
    int clicks = 0;

    explicit Fixture(bool sorted = false) : lists("List1", {ListBox(sorted)})
    {
        lists.bindClick([this](int16_t) { ++clicks; });
    }
    ListBox& list() { return lists(0); }
    void fill(const Texts& entries)
    {
        for (const auto& entry : entries)
            list().AddItem(entry);
    }
};

Texts numbered(int count)
{
    Texts entries;
    for (int i = 0; i < count; ++i) {
        const std::string digits = std::to_string(100 + i);
        entries.emplace_back(digits.begin(), digits.end());
    }
    return entries;
}

} // namespace

TEST_CASE("AddItem")
{
    struct Row {
        const char* name;
        bool sorted;
        Texts added;
        Texts expected;
    };
    const Row rows[] = {
        {"sorted: names in chronological order", true, chronologicalNames, alphabeticalNames},
        {"unsorted: periods keep their order", false, periods, periods},
        {"sorted ignoring case, Latin before Cyrillic, upper before lower where equal", true,
         {u"б", u"Б", u"I", u"І", u"i"}, {u"I", u"i", u"Б", u"б", u"І"}},
        {"sorted: a run of digits by its number", true, {u"10 - 15", u"9 - 12", u"100", u"09 - 12", u"9a"},
         {u"09 - 12", u"9 - 12", u"9a", u"10 - 15", u"100"}},
        {"sorted: case aside, a word before its longer forms", true, {u"ябълка", u"Ябълки", u"ЯБЪЛКА", u"ябълк"},
         {u"ябълк", u"ЯБЪЛКА", u"ябълка", u"Ябълки"}},
        {"sorted: a trailing blank sorts after the bare text", true, {u"738 - 753 ", u"738 - 753"},
         {u"738 - 753", u"738 - 753 "}},
        {"sorted: duplicates kept", true, {u"Крум", u"Аспарух", u"Крум"}, {u"Аспарух", u"Крум", u"Крум"}},
    };
    for (const Row& row : rows) {
        INFO(row.name);
        Fixture f(row.sorted);
        f.fill(row.added);
        CHECK(entriesOf(f.list()) == row.expected);
        CHECK(f.list().ListCount() == static_cast<int>(row.expected.size()));
        CHECK(f.list().ListIndex() == -1);
        CHECK(f.clicks == 0);
    }
}

// The quiz only adds to an empty list; where an entry is added beside a
// selection, the selection stays on its entry.
TEST_CASE("AddItem beside a selection")
{
    struct Row {
        const char* name;
        bool sorted;
        std::u16string added;
        int16_t selectedAfter;
    };
    const Row rows[] = {
        {"sorted, in front: the selection moves down with its entry", true, u"Аспарух", 3},
        {"sorted, right in front: the selection moves down too", true, u"Кормес", 3},
        {"sorted, equal: the new entry goes behind, the selection stays", true, u"Крум", 2},
        {"sorted, behind: the selection stays", true, u"Тервел", 2},
        {"unsorted: appended, the selection stays", false, u"Аспарух", 2},
    };
    for (const Row& row : rows) {
        INFO(row.name);
        Fixture f(row.sorted);
        f.fill({u"Винех", u"Кардам", u"Крум", u"Омуртаг"});
        f.list().SetListIndex(2);
        const int clicksBefore = f.clicks;
        f.list().AddItem(row.added);
        CHECK(f.list().ListIndex() == row.selectedAfter);
        CHECK(f.list().List(f.list().ListIndex()) == u"Крум");
        CHECK(f.clicks == clicksBefore);
    }
}

TEST_CASE("RemoveItem")
{
    struct Row {
        const char* name;
        int16_t selected, removed, selectedAfter;
    };
    const Row rows[] = {
        {"the selected entry: nothing selected", 3, 3, -1},
        {"before the selection: it moves up", 7, 3, 6},
        {"behind the selection: it stays", 2, 3, 2},
        {"first entry, selection behind", 15, 0, 14},
        {"last entry, selected", 15, 15, -1},
        {"nothing selected", -1, 3, -1},
    };
    for (const Row& row : rows) {
        INFO(row.name);
        Fixture f;
        f.fill(numbered(16));
        f.list().SetListIndex(row.selected);
        const std::u16string selectedText = row.selected >= 0 ? f.list().List(row.selected) : u"";
        const int clicksBefore = f.clicks;

        f.list().RemoveItem(row.removed);

        Texts expected = numbered(16);
        expected.erase(expected.begin() + row.removed);
        CHECK(entriesOf(f.list()) == expected);
        CHECK(f.list().ListCount() == 15);
        CHECK(f.list().ListIndex() == row.selectedAfter);
        if (row.selectedAfter >= 0)
            CHECK(f.list().List(row.selectedAfter) == selectedText);
        CHECK(f.clicks == clicksBefore);
    }
}

TEST_CASE("Clear")
{
    Fixture f;
    f.list().Clear();
    CHECK(f.list().ListCount() == 0);
    CHECK(f.list().ListIndex() == -1);
    f.fill(numbered(4));
    f.list().SetListIndex(2);
    f.list().Clear();
    CHECK(f.list().ListCount() == 0);
    CHECK(f.list().ListIndex() == -1);
    CHECK(f.clicks == 1); // the selection made above, not the clearing
}

TEST_CASE("Click follows changes of the selection")
{
    Fixture f;
    int seenIndex = -2;
    f.lists.bindClick([&](int16_t) {
        ++f.clicks;
        seenIndex = f.list().ListIndex(); // the new selection is in place when Click arrives
    });
    f.fill(numbered(3));
    f.list().SetListIndex(1);
    CHECK(f.clicks == 1);
    CHECK(seenIndex == 1);
    f.list().SetListIndex(1);
    CHECK(f.clicks == 1);
    f.list().SetListIndex(-1);
    CHECK(f.clicks == 2);
    CHECK(seenIndex == -1);
}

TEST_CASE("Click carries the member index")
{
    ControlArray<ListBox> lists("List1", {ListBox(), ListBox(), ListBox()});
    std::vector<int> raised;
    lists.bindClick([&](int16_t index) { raised.push_back(index); });
    for (int16_t i : {2, 0, 1}) {
        lists(i).AddItem(u"x");
        lists(i).SetListIndex(0);
    }
    CHECK(raised == std::vector<int>{2, 0, 1});
    CHECK(lists(2).Name() == "List1(2)");
}

TEST_CASE("failures")
{
    using Op = std::function<void(ListBox&)>;
    struct Row {
        const char* name;
        Op operation;
        std::string message;
    };
    const Row rows[] = {
        {"List past the end", [](ListBox& l) { l.List(16); }, "List1(0).List(16)"},
        {"List below zero", [](ListBox& l) { l.List(-1); }, "List1(0).List(-1)"},
        {"RemoveItem past the end", [](ListBox& l) { l.RemoveItem(16); }, "List1(0).RemoveItem(16)"},
        {"RemoveItem below zero", [](ListBox& l) { l.RemoveItem(-1); }, "List1(0).RemoveItem(-1)"},
        {"RemoveItem on an empty list", [](ListBox& l) { l.Clear(); l.RemoveItem(0); }, "List1(0).RemoveItem(0)"},
        {"ListIndex below -1", [](ListBox& l) { l.SetListIndex(-2); }, "List1(0).ListIndex(-2)"},
        {"ListIndex past the end", [](ListBox& l) { l.SetListIndex(16); }, "List1(0).ListIndex(16)"},
        {"ListIndex on an empty list", [](ListBox& l) { l.Clear(); l.SetListIndex(0); }, "List1(0).ListIndex(0)"},
    };
    for (const Row& row : rows) {
        INFO(row.name);
        Fixture f;
        f.fill(numbered(16));
        f.list().SetListIndex(5);
        const Texts before = entriesOf(f.list());
        try {
            row.operation(f.list());
            FAIL("no error raised");
        } catch (const ControlError& error) {
            CHECK_MESSAGE(std::string(error.what()).starts_with(row.message), error.what());
        }
        if (f.list().ListCount() > 0) { // a failed operation changes nothing
            CHECK(entriesOf(f.list()) == before);
            CHECK(f.list().ListIndex() == 5);
        }
    }
}

// A failure inside a handler ends that handler and comes back as its
// message; what the handler did before it stays done.
TEST_CASE("a Click raised for the learner")
{
    Fixture f;
    f.fill(numbered(3));
    int steps = 0;
    CHECK_FALSE(drelvan::raiseForLearner([&] { f.list().SetListIndex(1); }).has_value());
    const auto failed = drelvan::raiseForLearner([&] {
        ++steps;
        f.list().RemoveItem(7);
        ++steps;
    });
    REQUIRE(failed.has_value());
    CHECK(failed->starts_with("List1(0).RemoveItem(7)"));
    CHECK(steps == 1);
    CHECK(f.list().ListIndex() == 1);
    CHECK(drelvan::raiseForLearner([] { throw 42; }) == std::optional<std::string>("unknown error"));
}

TEST_CASE("the count stops at 32767")
{
    Fixture f;
    for (int i = 0; i < 32767; ++i)
        f.list().AddItem(u"x");
    CHECK(f.list().ListCount() == 32767);
    f.list().SetListIndex(32766);
    CHECK(f.list().List(32766) == u"x");
    CHECK_THROWS_AS(f.list().AddItem(u"one too many"), ControlError);
    CHECK(f.list().ListCount() == 32767);

    CHECK_THROWS_AS(f.lists(1), ControlError);
    CHECK_THROWS_AS(f.lists(-1), ControlError);
}

// A sorted list puts what is added in its place only when it is next read;
// every read must find what inserting each entry in its place would have
// given. Random additions (many of them equal), removals and selections
// against a list that does just that.
TEST_CASE("a sorted list reads as if each entry had gone straight to its place")
{
    std::mt19937 random(7);
    Fixture f(true);
    Texts model;
    int16_t selected = -1;
    const auto pick = [&](std::size_t n) {
        return static_cast<int16_t>(std::uniform_int_distribution<std::size_t>(0, n - 1)(random));
    };
    for (int step = 0; step < 3000; ++step) {
        const int action = std::uniform_int_distribution<int>(0, 9)(random);
        if (action < 6 || model.empty()) {
            const std::u16string text = numbered(40)[static_cast<std::size_t>(pick(40))] + (action % 2 ? u"" : u"a");
            const auto place = std::upper_bound(model.begin(), model.end(), text, drelvan::listrules::naturalLess);
            if (selected >= 0 && place - model.begin() <= selected)
                ++selected;
            model.insert(place, text);
            f.list().AddItem(text);
        } else if (action < 8) {
            const int16_t row = pick(model.size());
            model.erase(model.begin() + row);
            selected = selected == row ? -1 : selected > row ? static_cast<int16_t>(selected - 1) : selected;
            f.list().RemoveItem(row);
        } else {
            selected = action == 8 ? pick(model.size()) : -1;
            f.list().SetListIndex(selected);
        }
        CHECK(f.list().ListIndex() == selected);
        if (step % 7 == 0) // reads now and then, so that additions pile up between them
            REQUIRE(entriesOf(f.list()) == model);
    }
}

// What a view is told of the entries since it last drew them, from the
// list's own record of its changes.
TEST_CASE("the change of entries since the list was last shown")
{
    using drelvan::EntriesChange;
    struct Row {
        const char* name;
        std::function<void(ListBox&)> change;
        EntriesChange::Kind kind;
        int row;
    };
    const Row rows[] = {
        {"nothing", [](ListBox&) {}, EntriesChange::None, -1},
        {"a selection only", [](ListBox& l) { l.SetListIndex(2); }, EntriesChange::None, -1},
        {"one entry taken out", [](ListBox& l) { l.RemoveItem(2); }, EntriesChange::Removed, 2},
        {"two taken out", [](ListBox& l) { l.RemoveItem(2); l.RemoveItem(0); }, EntriesChange::Replaced, -1},
        {"one added", [](ListBox& l) { l.AddItem(u"1"); }, EntriesChange::Replaced, -1},
        {"one taken out, one added", [](ListBox& l) { l.RemoveItem(1); l.AddItem(u"1"); }, EntriesChange::Replaced, -1},
        {"cleared and filled again", [](ListBox& l) { l.Clear(); l.AddItem(u"100"); }, EntriesChange::Replaced, -1},
    };
    for (const Row& row : rows) {
        INFO(row.name);
        Fixture f(true);
        f.fill(numbered(4));
        drelvan::ListController controller(f.list());
        CHECK(controller.shown().change.kind == EntriesChange::Replaced); // the first showing
        row.change(f.list());
        CHECK(controller.settle() == (row.kind != EntriesChange::None || f.list().ListIndex() >= 0));
        const drelvan::ListShown shown = controller.shown();
        CHECK(shown.change.kind == row.kind);
        CHECK(shown.change.row == row.row);
        CHECK(controller.shown().change.kind == EntriesChange::None); // told once
    }
}
