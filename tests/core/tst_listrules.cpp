// Which entry a key, typed letters or the pointer select in a list box, and
// where the list stands afterwards: tables of cases, no display.
#define DOCTEST_CONFIG_IMPLEMENT_WITH_MAIN
#include <doctest/doctest.h>

#include "content/utf8.hpp"
#include "controls/listrules.hpp"
#include "core/khans.hpp"

#include <algorithm>
#include <random>
#include <utility>

using namespace drelvan::listrules;

namespace {

// The names list as dealt: alphabetical.
const Texts& names = expected::alphabeticalNames;

} // namespace

TEST_CASE("a key selects")
{
    struct Row {
        const char* name;
        ListKey key;
        ListState list; // count, selected, caret, rows shown
        int expected;
    };
    const Row rows[] = {
        {"down from nothing picks the first", ListKey::Down, {16, -1, -1, 8}, 0},
        {"down from nothing picks under the mark", ListKey::Down, {16, -1, 5, 8}, 5},
        {"up from nothing picks under the mark", ListKey::Up, {16, -1, 5, 8}, 5},
        {"space from nothing picks under the mark", ListKey::Space, {16, -1, 5, 8}, 5},
        {"page down from nothing picks under the mark", ListKey::PageDown, {16, -1, 5, 8}, 5},
        {"a mark left past the end falls on the last", ListKey::Down, {3, -1, 7, 8}, 2},
        {"right from nothing picks like down", ListKey::Right, {16, -1, 5, 8}, 5},
        {"left from nothing picks like up", ListKey::Left, {16, -1, -1, 8}, 0},
        {"down moves on", ListKey::Down, {16, 3, 3, 8}, 4},
        {"right moves on like down", ListKey::Right, {16, 3, 3, 8}, 4},
        {"up moves back", ListKey::Up, {16, 3, 3, 8}, 2},
        {"left moves back like up", ListKey::Left, {16, 3, 3, 8}, 2},
        {"down stops at the last", ListKey::Down, {16, 15, 15, 8}, 15},
        {"right stops at the last", ListKey::Right, {16, 15, 15, 8}, 15},
        {"up stops at the first", ListKey::Up, {16, 0, 0, 8}, 0},
        {"left stops at the first", ListKey::Left, {16, 0, 0, 8}, 0},
        {"space keeps the selection", ListKey::Space, {16, 6, 6, 8}, 6},
        {"page down keeps one row in sight", ListKey::PageDown, {16, 2, 2, 8}, 9},
        {"page up keeps one row in sight", ListKey::PageUp, {16, 12, 12, 8}, 5},
        {"page down stops at the last", ListKey::PageDown, {16, 12, 12, 8}, 15},
        {"page up stops at the first", ListKey::PageUp, {16, 3, 3, 8}, 0},
        {"a page of one row still moves", ListKey::PageDown, {16, 3, 3, 1}, 4},
        {"home from a selection", ListKey::Home, {16, 9, 9, 8}, 0},
        {"end from nothing", ListKey::End, {16, -1, -1, 8}, 15},
        {"end in a list of one", ListKey::End, {1, -1, -1, 8}, 0},
        {"no key selects in an empty list", ListKey::Home, {0, -1, -1, 8}, -1},
        {"nor down", ListKey::Down, {0, -1, 0, 8}, -1},
    };
    for (const Row& row : rows) {
        INFO(row.name);
        CHECK(keySelection(row.key, row.list) == row.expected);
    }
}

TEST_CASE("letters fold to lower case")
{
    struct Row {
        char16_t from, to;
    };
    const Row rows[] = {
        {u'A', u'a'}, {u'I', u'i'}, {u'z', u'z'}, {u'А', u'а'}, {u'Я', u'я'}, {u'К', u'к'}, {u'Ё', u'ё'},
        {u'Ѐ', u'ѐ'}, {u'І', u'і'}, {u'Џ', u'џ'}, {u'Ö', u'ö'}, {u'×', u'×'}, {u'1', u'1'}, {u'-', u'-'},
    };
    for (const Row& row : rows) {
        CAPTURE(int(row.from));
        CHECK(int(foldCase(row.from)) == int(row.to));
    }
}

TEST_CASE("typing the first letters")
{
    struct Key {
        std::u16string text;
        bool continuing;
        int expected;
    };
    struct Row {
        const char* name;
        int caret;
        std::vector<Key> keys;
    };
    const std::vector<Row> rows = {
        {"a capital finds the first", -1, {{u"К", false, 2}}},
        {"a small letter finds it too", -1, {{u"к", false, 2}}},
        {"letters in a row narrow the search", -1, {{u"к", false, 2}, {u"р", true, 5}}},
        {"the entry found so far may still match", -1, {{u"к", false, 2}, {u"а", true, 2}}},
        {"the same letter again goes on", -1, {{u"к", false, 2}, {u"к", true, 3}, {u"К", true, 4}, {u"к", true, 5}}},
        {"and wraps to the first with it", 5, {{u"к", false, 2}}},
        {"a new search starts behind the mark", 2, {{u"к", false, 3}}},
        {"a pause starts a new search", -1, {{u"к", false, 2}, {u"р", false, -1}}},
        {"no entry starts so", -1, {{u"я", false, -1}}},
        {"nor with the letters together", -1, {{u"т", false, 12}, {u"я", true, -1}}},
        {"the search goes on past the first match", -1, {{u"п", false, 8}, {u"р", true, 9}, {u"е", true, 9}}},
        {"a mark past the end starts at the top", 40, {{u"а", false, 0}}},
    };
    for (const Row& row : rows) {
        INFO(row.name);
        TypeAhead typeAhead;
        int caret = row.caret;
        for (const Key& key : row.keys) {
            const int found = typeAhead.type(key.text, key.continuing, names, caret);
            CHECK(found == key.expected);
            if (found >= 0)
                caret = found;
        }
    }
    SUBCASE("nothing to search in")
    {
        TypeAhead typeAhead;
        CHECK(typeAhead.type(u"к", false, {}, -1) == -1);
        CHECK(typeAhead.type(u"", false, names, -1) == -1);
    }
}

TEST_CASE("the pointer selects")
{
    PointerGesture pointer;
    SUBCASE("a drag selects the entries it comes over")
    {
        REQUIRE(pointer.press(3) == 3);
        pointer.picked(3, 3);
        CHECK(pointer.drag(3, 3) == -1); // already selected
        CHECK(pointer.drag(4, 3) == 4);
        pointer.picked(4, 4);
        CHECK(pointer.drag(-1, 4) == -1); // below the entries
    }
    SUBCASE("after a check, nothing for the rest of the press")
    {
        REQUIRE(pointer.press(3) == 3);
        pointer.picked(3, -1); // the quiz judged the pair and took the entry out
        CHECK(pointer.drag(3, -1) == -1);
        CHECK(pointer.drag(2, -1) == -1);
        pointer.release();
        CHECK(pointer.press(3) == 3); // the next press selects as usual
        pointer.picked(3, 3);
        CHECK(pointer.drag(2, 3) == 2);
    }
    SUBCASE("a drag that makes a check ends the picking too")
    {
        pointer.press(1);
        pointer.picked(1, 1);
        pointer.picked(pointer.drag(2, 1), -1);
        CHECK(pointer.drag(1, -1) == -1);
    }
    SUBCASE("no drag without a press")
    {
        CHECK(pointer.drag(2, -1) == -1);
        pointer.press(1);
        pointer.release();
        CHECK(pointer.drag(2, 1) == -1);
    }
    SUBCASE("a press below the entries picks nothing, then a drag may")
    {
        CHECK(pointer.press(-1) == -1);
        pointer.picked(-1, -1);
        CHECK(pointer.drag(5, -1) == 5);
    }
}

TEST_CASE("where the list stands after a change")
{
    struct Row {
        const char* name;
        ListPlace before;
        ListState list;
        bool emptied;
        ListPlace expected;
    };
    const Row rows[] = {
        {"the mark follows a selection into sight", {0, 0}, {16, 12, 0, 8}, false, {12, 5}},
        {"and up out of sight", {15, 8}, {16, 2, 15, 8}, false, {2, 2}},
        {"a removed entry leaves the mark in its row", {4, 0}, {15, -1, 4, 8}, false, {4, 0}},
        {"the last entry removed: the mark moves up", {15, 8}, {15, -1, 15, 8}, false, {14, 7}},
        {"the list shrinks under its top", {15, 8}, {10, -1, 15, 8}, false, {9, 2}},
        {"the last entry gone", {0, 0}, {0, -1, 0, 8}, false, {-1, 0}},
        {"a list cleared and dealt again starts at its top", {15, 8}, {16, -1, 15, 8}, true, {0, 0}},
        {"cleared and left empty", {15, 8}, {0, -1, 15, 8}, true, {-1, 0}},
        {"dealt again with a selection", {15, 8}, {16, 10, 15, 8}, true, {10, 3}},
        {"nothing changed, nothing moves", {3, 2}, {16, 3, 3, 8}, false, {3, 2}},
        {"a scroll of the learner's stays", {3, 6}, {16, -1, 3, 8}, false, {3, 6}},
    };
    for (const Row& row : rows) {
        INFO(row.name);
        const ListPlace place = follow(row.before, row.list, row.emptied);
        CHECK(place.caret == row.expected.caret);
        CHECK(place.top == row.expected.top);
    }
}

// Pairs that agree in their first code units, where a number may begin
// before they part: the order is the one the whole texts have.
TEST_CASE("naturalLess with a common beginning")
{
    const std::pair<std::u16string_view, std::u16string_view> ordered[] = {
        {u"a2", u"a19"},         {u"v1.9", u"v1.10"},       {u"page 100", u"page 1000"}, {u"x 9 - 12", u"x 10 - 15"},
        {u"ab012", u"ab12"},     {u"ab12C", u"ab12c"},      {u"ab12c", u"ab12D"},        {u"урок", u"уроци"},
        {u"урок 7", u"Урок 8"},  {u"дума", u"думата"},      {u"10", u"010a"},            {u"1 2", u"1 10"},
        {u"x19", u"x100"},       {u"б 7", u"б 007 "},
    };
    for (const auto& pair : ordered) {
        // Named apart: a structured binding cannot be captured by INFO in
        // every compiler the tests are built with.
        const std::u16string_view smaller = pair.first;
        const std::u16string_view larger = pair.second;
        INFO(drelvan::toUtf8(smaller), " < ", drelvan::toUtf8(larger));
        CHECK(naturalLess(smaller, larger));
        CHECK(!naturalLess(larger, smaller));
        CHECK(!naturalLess(smaller, smaller));
    }
}

// A long list is sorted by keys made once per entry; the order must be
// naturalLess's to the last tie. Texts where a key could part from it: case
// alone, leading zeros, numbers longer than any integer, a number against
// the units just below '0' and just above '9' and against letters that fold,
// a text against its longer forms, surrogates. Then random texts of those
// units.
TEST_CASE("a long list sorts as naturalLess orders")
{
    const std::vector<std::u16string> tricky = {
        u"", u" ", u"0", u"00", u"000", u"007", u"07", u"7", u"7a", u"7A", u"a7", u"A7", u"a07", u"a007", u"a7 ",
        u"a/", u"a:", u"a0/", u"a0:", u"a 9", u"a 10", u"a9b", u"a10b", u"a9B", u"ab12C", u"ab12c", u"AB12c",
        u"x123456789012345678901234567890", u"x123456789012345678901234567891", u"x99999999999999999999999999999",
        u"x0123456789012345678901234567890", u"урок 7", u"Урок 7", u"УРОК 7", u"урок 07", u"уроци", u"Ёж", u"ёж",
        u"еж", u"Жаба", u"\u00C9t\u00E9", u"\u00E9t\u00E9", u"\U0001F600", u"\U0001F600 2", u"\U0001F600 10",
        u"\u00D7", u"\u00F7", u"1 - 2", u"1 - 10", u"1-2", u"10 - 15", u"9 - 12",
    };
    std::mt19937 random(11);
    const auto naturally = [](std::vector<std::u16string> texts) {
        std::stable_sort(texts.begin(), texts.end(), [](const auto& a, const auto& b) { return naturalLess(a, b); });
        return texts;
    };
    const std::vector<std::u16string> expected = naturally(tricky);
    for (int round = 0; round < 20; ++round) {
        std::vector<std::u16string> texts = tricky;
        std::shuffle(texts.begin(), texts.end(), random);
        sortNaturally(texts);
        REQUIRE(texts == expected);
    }

    constexpr std::u16string_view units = u"0019aAzZ/: -бБжЖ\u00E9\u00C9\U0001F600";
    for (int round = 0; round < 50; ++round) {
        std::vector<std::u16string> texts(200);
        for (std::u16string& text : texts) {
            const auto length = std::uniform_int_distribution<std::size_t>(0, 8)(random);
            for (std::size_t i = 0; i < length; ++i)
                text += units[std::uniform_int_distribution<std::size_t>(0, units.size() - 1)(random)];
        }
        const std::vector<std::u16string> ordered = naturally(texts);
        sortNaturally(texts);
        REQUIRE(texts == ordered);
    }
}
