// The learner at the window, without one: each row plays a few of the
// learner's actions through the Session and looks at where the list then
// stands, and at what the front-end was told.
#define DOCTEST_CONFIG_IMPLEMENT_WITH_MAIN
#include "expected.hpp"

#include "quiz/session.hpp"

#include <functional>
#include <string>
#include <vector>

using namespace drelvan;
using listrules::ListKey;

namespace {

// A front-end that writes down what it is told.
struct Recorder : FrontEnd {
    std::vector<std::string> told;
    EntriesChange lastChange[2];
    std::u16string verdict;

    void showList(int16_t member, const ListShown& list) override
    {
        told.push_back("list " + std::to_string(member));
        lastChange[member] = list.change;
    }
    void showVerdict(std::u16string_view text) override
    {
        verdict = text;
        told.push_back("verdict");
    }
    void showCaptions(const Form&) override { told.push_back("captions"); }
    void announce(std::u16string_view) override { told.push_back("announce"); }
    void reportFailure(std::string_view message) override { told.push_back("failure " + std::string(message)); }
};

using Step = std::function<void(Session&)>;

Step focus(int16_t m) { return [=](Session& s) { s.focus(m, true); }; }
Step blur(int16_t m) { return [=](Session& s) { s.focus(m, false); }; }
Step key(int16_t m, ListKey k, Modifiers mods = {}) { return [=](Session& s) { s.key(m, k, mods); }; }
Step type(int16_t m, std::u16string text, std::int64_t ms) { return [=](Session& s) { s.type(m, text, ms); }; }
Step press(int16_t m, int row) { return [=](Session& s) { s.press(m, row); s.release(m); }; }
Step hold(int16_t m, int row) { return [=](Session& s) { s.press(m, row); }; }
Step drag(int16_t m, int row) { return [=](Session& s) { s.drag(m, row); }; }
Step pick(int16_t m, int row) { return [=](Session& s) { s.pick(m, row); }; }
Step wheel(int16_t m, int delta) { return [=](Session& s) { s.wheel(m, delta); }; }
Step rows(int16_t m, int n) { return [=](Session& s) { s.setRowsShown(m, n); }; }
Step reset() { return [](Session& s) { s.reset(); }; }

constexpr Modifiers ctrl{false, true, false};
constexpr Modifiers shift{true, false, false};
constexpr Modifiers alt{false, false, true};

} // namespace

TEST_CASE("the learner works a list")
{
    struct Row {
        const char* name;
        std::vector<Step> steps;
        int selected; // in the names list
        int caret, top;
    };
    const Row table[] = {
        {"down from nothing picks the first", {focus(0), key(0, ListKey::Down)}, 0, 0, 0},
        {"ctrl with down moves the selection as down does", {focus(0), key(0, ListKey::Down), key(0, ListKey::Down, ctrl)}, 1, 1, 0},
        {"and shift too", {focus(0), key(0, ListKey::Down), key(0, ListKey::Down, shift)}, 1, 1, 0},
        {"alt leaves the key to the window", {focus(0), key(0, ListKey::Down), key(0, ListKey::Down, alt)}, 0, 0, 0},
        {"ctrl with end goes to the end", {focus(0), key(0, ListKey::End, ctrl)}, 15, 15, 8},
        {"page down keeps a row of the page in sight", {focus(0), key(0, ListKey::Home), key(0, ListKey::PageDown)}, 7, 7, 0},
        {"page down twice", {focus(0), key(0, ListKey::Home), key(0, ListKey::PageDown), key(0, ListKey::PageDown)}, 14, 14, 7},
        {"page up from the end", {focus(0), key(0, ListKey::End), key(0, ListKey::PageUp)}, 8, 8, 8},
        {"a shorter list pages by its rows", {rows(0, 4), focus(0), key(0, ListKey::Home), key(0, ListKey::PageDown)}, 3, 3, 0},
        {"and shows the end from further down", {rows(0, 4), focus(0), key(0, ListKey::End)}, 15, 15, 12},
        {"letters typed together make one search", {focus(0), type(0, u"к", 0), type(0, u"р", 900)}, 5, 5, 0},
        {"a pause starts a new one", {focus(0), type(0, u"к", 0), type(0, u"р", 1001)}, 2, 2, 0},
        {"so does leaving the list and coming back", {focus(0), type(0, u"к", 0), blur(0), focus(0), type(0, u"р", 10)}, 2, 2, 0},
        {"a blank is no letter", {focus(0), type(0, u"к", 0), type(0, u" ", 10), type(0, u"р", 20)}, 5, 5, 0},
        {"the wheel scrolls three rows a notch, and picks nothing", {focus(0), wheel(0, -120)}, -1, 0, 3},
        {"no further than the end", {focus(0), wheel(0, -360), wheel(0, -120)}, -1, 0, 8},
        {"nor above the top", {focus(0), wheel(0, -120), wheel(0, 240)}, -1, 0, 0},
        {"parts of a notch add up", {focus(0), wheel(0, -30), wheel(0, -30), wheel(0, -30)}, -1, 0, 2},
        {"a press picks the entry under it", {press(0, 4)}, 4, 4, 0},
        {"a press below the entries picks nothing", {press(0, 16)}, -1, -1, 0},
        {"a screen reader's pick takes the focus mark into sight", {pick(0, 12)}, 12, 12, 5},
        {"a drag picks the entries it comes over", {hold(0, 4), drag(0, 5), drag(0, 6)}, 6, 6, 0},
        {"a reset shows the list from its top", {focus(0), key(0, ListKey::End), reset()}, -1, 0, 0},
        {"the focus mark stands on the first entry when the list gets the focus", {focus(0)}, -1, 0, 0},
        {"a screen reader's pick that makes a check is brought into sight, as any pick",
         {press(1, 0), wheel(0, -360), pick(0, 2)}, -1, 2, 2},
    };
    for (const Row& row : table) {
        INFO(row.name);
        Recorder recorder;
        Session session(recorder);
        session.setRowsShown(0, 8);
        session.setRowsShown(1, 8);
        for (const Step& step : row.steps)
            step(session);
        CHECK(session.form().List1(0).ListIndex() == row.selected);
        CHECK(session.list(0).caret() == row.caret);
        CHECK(session.list(0).top() == row.top);
    }
}

TEST_CASE("what the learner's pairs do to the lists")
{
    Recorder recorder;
    Session session(recorder);
    session.setRowsShown(0, 8);
    session.setRowsShown(1, 8);
    const Texts& names = session.form().List1(0).entries();

    SUBCASE("a drag after a check picks nothing for the rest of that press")
    {
        session.press(1, 0); // 681 - 701
        session.release(1);
        session.press(0, 0); // Аспарух: a right pair, both gone
        CHECK(names.front() == u"Винех");
        session.drag(0, 1);
        session.drag(0, 0);
        CHECK(session.form().List1(0).ListIndex() == -1);
        session.release(0);
        session.press(0, 0);
        CHECK(session.form().List1(0).ListIndex() == 0);
    }
    SUBCASE("a search started before a check does not go on over what is left")
    {
        session.press(1, 2); // 718 - 738
        session.release(1);
        session.focus(0, true);
        session.type(0, u"к", 0); // Кардам, judged at once and gone
        REQUIRE(!contains(names, u"Кардам"));
        session.type(0, u"о", 10); // a new search, not "ко"
        CHECK(names[static_cast<std::size_t>(session.form().List1(0).ListIndex())] == u"Омуртаг");
    }
    SUBCASE("the focus mark stays in the row of the entry that left")
    {
        session.press(1, 5);
        session.release(1);
        session.focus(0, true);
        session.key(0, ListKey::End, {}); // Токту, judged and gone
        CHECK(session.list(0).caret() == 14);
        session.key(0, ListKey::Up, {}); // with nothing selected, a key picks under the mark
        CHECK(names[static_cast<std::size_t>(session.form().List1(0).ListIndex())] == u"Тервел");
    }
}

TEST_CASE("what the front-end is told")
{
    Recorder recorder;
    Session session(recorder);
    session.showAll();
    CHECK(recorder.told == std::vector<std::string>{"captions", "list 0", "list 1", "verdict"});
    CHECK(recorder.lastChange[0].kind == EntriesChange::Replaced);

    struct Row {
        const char* name;
        Step step;
        std::vector<std::string> told;
    };
    const Row table[] = {
        {"a pick shows its own list alone", press(0, 5), {"list 0"}},
        {"a pick of the selected entry again shows nothing", press(0, 5), {}},
        {"the second pick judges: both lists, the verdict, and its announcement", press(1, 12), {"list 0", "list 1", "verdict", "announce"}},
        {"a reset shows everything again, announcing nothing", reset(), {"list 0", "list 1", "verdict"}},
        {"a second reset shows the emptied lists again, not the verdict", reset(), {"list 0", "list 1", "verdict"}},
    };
    for (const Row& row : table) {
        INFO(row.name);
        recorder.told.clear();
        row.step(session);
        CHECK(recorder.told == row.told);
    }
}

TEST_CASE("a check takes one entry out of each list, and says which")
{
    Recorder recorder;
    Session session(recorder);
    session.showAll();
    session.press(1, 12); // 803 - 814
    session.press(0, 5);  // Крум
    CHECK(recorder.lastChange[0].kind == EntriesChange::Removed);
    CHECK(recorder.lastChange[0].row == 5);
    CHECK(recorder.lastChange[1].kind == EntriesChange::Removed);
    CHECK(recorder.lastChange[1].row == 12);
    CHECK(recorder.verdict.substr(0, 6) == u"Вярно ");
}

TEST_CASE("a failing handler is reported once the screen shows the model")
{
    Recorder recorder;
    Session session(recorder);
    session.showAll();
    session.model().List1(3).Clear(); // the key's periods gone: the check cannot read one
    session.press(0, 0);
    recorder.told.clear();
    session.press(1, 0);
    REQUIRE(!recorder.told.empty());
    CHECK(recorder.told.back().rfind("failure List1(3).List(0)", 0) == 0);
    CHECK(recorder.told.front() == "list 1");
    session.press(0, 1); // the quiz goes on
    CHECK(session.form().List1(0).ListIndex() == 1);
}

// A teacher's pairs take the place of the game in play: everything is shown
// again from the new quiz, and later checks judge against its key, joined by
// its own right caption.
TEST_CASE("another exercise replaces the game in play")
{
    Recorder recorder;
    Session session(recorder);
    session.showAll();
    session.setRowsShown(0, 2);
    session.focus(0, true);
    session.key(0, ListKey::End, {}); // Токту selected, the list scrolled down

    Exercise words{u"Думи – Drelvan", u"Думи", u"Дума", u"Превод", u"Свържете.\r\n",
                   {{u"котка", u"cat", u""}, {u"Куче", u"dog", u"Вярно."}, {u"птица", u"bird", u""}}};
    recorder.told.clear();
    session.open(words);
    CHECK(recorder.told == std::vector<std::string>{"captions", "list 0", "list 1", "verdict", "announce"});
    CHECK(session.form().Caption() == u"Думи – Drelvan");
    CHECK(session.form().List1(0).entries() == Texts{u"котка", u"Куче", u"птица"});
    CHECK(session.form().List1(1).entries() == Texts{u"bird", u"cat", u"dog"});
    CHECK(session.form().List1(0).ListIndex() == -1);
    CHECK(recorder.verdict == u"Свържете.\r\n");
    // The list keeps its rows and its focus, from the top.
    CHECK(session.list(0).rowsShown() == 2);
    CHECK(session.list(0).focused());
    CHECK(session.list(0).top() == 0);

    session.press(0, 1); // Куче
    session.press(1, 2); // dog
    CHECK(recorder.verdict == u"Вярно Куче превод dog\r\nВярно.");
    session.reset();
    CHECK(session.form().List1(1).entries() == Texts{u"bird", u"cat", u"dog"});
}
