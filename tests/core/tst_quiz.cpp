#define DOCTEST_CONFIG_IMPLEMENT_WITH_MAIN
#include "expected.hpp"

#include "quiz/commandline.hpp"
#include "quiz/handlers.hpp"
#include "quiz/quiz.hpp"

#include <algorithm>
#include <random>

using drelvan::Command1_Click;
using drelvan::Form;
using drelvan::ListBox;

namespace {

constexpr int16_t names = 0;
constexpr int16_t periodsList = 1;

// The learner selects `text` in a visible list; the list raises Click.
void choose(Form& form, int16_t member, std::u16string_view text)
{
    ListBox& list = form.List1(member);
    const int position = indexOf(entriesOf(list), text);
    REQUIRE_MESSAGE(position >= 0, utf8(text));
    list.SetListIndex(static_cast<int16_t>(position));
}

std::u16string verdict(const Form& form) { return form.Text1(0).Text(); }

std::u16string rightPeriodOf(std::u16string_view name)
{
    return periods[static_cast<std::size_t>(indexOf(chronologicalNames, name))];
}

struct KeySnapshot {
    Texts names, periods, notes;
    explicit KeySnapshot(const Form& form)
        : names(entriesOf(form.List1(2))), periods(entriesOf(form.List1(3))), notes(entriesOf(form.List1(4)))
    {
    }
    bool operator==(const KeySnapshot&) const = default;
};

void checkFreshDeal(const Form& form)
{
    CHECK(entriesOf(form.List1(names)) == alphabeticalNames);
    CHECK(entriesOf(form.List1(periodsList)) == periods);
    CHECK(form.List1(names).ListIndex() == -1);
    CHECK(form.List1(periodsList).ListIndex() == -1);
}

} // namespace

// Sixteen right pairs in a shuffled order: every verdict is the right one
// with its note, and both lists run empty.
TEST_CASE("a whole game")
{
    for (unsigned seed : {1u, 2u, 3u})
        for (bool nameFirst : {true, false}) {
            CAPTURE(seed);
            CAPTURE(nameFirst);
            drelvan::Quiz quiz;
            Form& form = quiz.form();
            const KeySnapshot key(form);
            Texts order = chronologicalNames;
            std::shuffle(order.begin(), order.end(), std::mt19937(seed));

            Texts namesLeft = alphabeticalNames;
            Texts periodsLeft = periods;
            for (const auto& name : order) {
                const std::u16string period = rightPeriodOf(name);
                if (nameFirst) {
                    choose(form, names, name);
                    choose(form, periodsList, period);
                } else {
                    choose(form, periodsList, period);
                    choose(form, names, name);
                }
                const auto& note = key.notes[static_cast<std::size_t>(indexOf(chronologicalNames, name))];
                CHECK(verdict(form) == u"Вярно " + name + u" период " + period + u"\r\n" + note);
                std::erase(namesLeft, name);
                std::erase(periodsLeft, period);
                CHECK(entriesOf(form.List1(names)) == namesLeft);
                CHECK(entriesOf(form.List1(periodsList)) == periodsLeft);
                CHECK(form.List1(names).ListIndex() == -1);
                CHECK(form.List1(periodsList).ListIndex() == -1);
            }
            CHECK(form.List1(names).ListCount() == 0);
            CHECK(form.List1(periodsList).ListCount() == 0);
            CHECK(KeySnapshot(form) == key);
        }
}

// One pair from a fresh deal, judged; the two entries leave either way.
TEST_CASE("a single pair")
{
    struct Row {
        const char* name;
        std::u16string_view khan, period, expected;
    };
    const Row rows[] = {
        {"right, Крум", u"Крум", u"803 - 814", u"Вярно Крум период 803 - 814\r\nБезпощадни мерки срещу корупцията"},
        {"right, trailing blank kept", u"Севар", u"738 - 753 ", u"Вярно Севар период 738 - 753 \r\nУбит от боилите"},
        {"right, Latin I", u"Пресиян I", u"836 - 852", u"Вярно Пресиян I период 836 - 852\r\nПрисъединени са"},
        {"wrong, the neighbour's period", u"Аспарух", u"701 - 718", u"Грешно Аспарух период 701 - 718\r\n"},
        {"wrong, Севар with the next period", u"Севар", u"753 - 756", u"Грешно Севар период 753 - 756\r\n"},
    };
    for (const Row& row : rows) {
        INFO(row.name);
        drelvan::Quiz quiz;
        Form& form = quiz.form();
        choose(form, names, row.khan);
        choose(form, periodsList, row.period);
        if (row.expected.starts_with(u"Грешно"))
            CHECK(verdict(form) == std::u16string(row.expected));
        else
            CHECK_MESSAGE(verdict(form).starts_with(row.expected), utf8(verdict(form)));
        CHECK(!contains(entriesOf(form.List1(names)), row.khan));
        CHECK(!contains(entriesOf(form.List1(periodsList)), row.period));
        CHECK(form.List1(names).ListCount() == 15);
        CHECK(form.List1(periodsList).ListCount() == 15);
    }
}

// Texts the shipped lists never offer, put in through the model: the
// comparison is exact, and a name missing from the key is simply wrong, never
// judged against the first row (whose period and note would otherwise match).
TEST_CASE("entries not in the key")
{
    struct Row {
        const char* name;
        std::u16string khan, period;
    };
    const Row rows[] = {
        {"unknown name, first row's period", u"Борис", u"681 - 701"},
        {"name in lower case", u"аспарух", u"681 - 701"},
        {"name with a trailing blank", u"Аспарух ", u"681 - 701"},
        {"Cyrillic І for the Latin I", u"Пресиян \u0406", u"836 - 852"},
        {"period without its trailing blank", u"Севар", u"738 - 753"},
        {"period with a blank too many", u"Аспарух", u"681 - 701 "},
    };
    for (const Row& row : rows) {
        INFO(row.name);
        drelvan::Quiz quiz;
        Form& form = quiz.form();
        const KeySnapshot key(form);
        if (!contains(alphabeticalNames, row.khan))
            form.List1(names).AddItem(row.khan);
        if (!contains(periods, row.period))
            form.List1(periodsList).AddItem(row.period);
        const int namesBefore = form.List1(names).ListCount();
        const int periodsBefore = form.List1(periodsList).ListCount();

        choose(form, names, row.khan);
        choose(form, periodsList, row.period);

        CHECK(verdict(form) == u"Грешно " + row.khan + u" период " + row.period + u"\r\n");
        CHECK(form.List1(names).ListCount() == namesBefore - 1);
        CHECK(form.List1(periodsList).ListCount() == periodsBefore - 1);
        CHECK(!contains(entriesOf(form.List1(names)), row.khan));
        CHECK(form.List1(names).ListIndex() == -1);
        CHECK(form.List1(periodsList).ListIndex() == -1);
        CHECK(KeySnapshot(form) == key);
    }
}

TEST_CASE("one selection alone changes nothing")
{
    for (int16_t member : {names, periodsList}) {
        CAPTURE(member);
        drelvan::Quiz quiz;
        Form& form = quiz.form();
        const std::u16string opening = verdict(form);
        form.List1(member).SetListIndex(4);
        form.List1(member).SetListIndex(9); // a second choice in the same list
        CHECK(verdict(form) == opening);
        CHECK(form.List1(member).ListIndex() == 9);
        CHECK(form.List1(names).ListCount() + form.List1(periodsList).ListCount() == 32);
    }
}

// The worked example: a wrong pair leaves "681 - 701" and "Тервел" with no
// right partner, and pairing those two is wrong again.
TEST_CASE("wrong pairs leave orphans")
{
    drelvan::Quiz quiz;
    Form& form = quiz.form();
    choose(form, names, u"Аспарух");
    choose(form, periodsList, u"701 - 718");
    CHECK(contains(entriesOf(form.List1(names)), u"Тервел"));
    CHECK(contains(entriesOf(form.List1(periodsList)), u"681 - 701"));
    choose(form, periodsList, u"681 - 701");
    choose(form, names, u"Тервел");
    CHECK(verdict(form) == u"Грешно Тервел период 681 - 701\r\n");
    CHECK(form.List1(names).ListCount() == 14);
}

TEST_CASE("clicks after the game")
{
    drelvan::Quiz quiz;
    Form& form = quiz.form();
    for (std::size_t row = 0; row < 16; ++row) {
        choose(form, names, chronologicalNames[row]);
        choose(form, periodsList, periods[(row + 1) % 16]);
    }
    const std::u16string last = verdict(form);
    CHECK(last == u"Грешно Пресиян I период 681 - 701\r\n");
    form.List1(names).Click();
    form.List1(periodsList).Click();
    CHECK(verdict(form) == last);
    CHECK(form.List1(names).ListCount() == 0);
}

TEST_CASE("reset")
{
    struct Row {
        const char* name;
        int pairsPlayed;
        int pendingIn; // -1: no pending selection
        int presses;
    };
    const Row rows[] = {
        {"at start", 0, -1, 1},
        {"at start, pressed twice", 0, -1, 2},
        {"mid-game", 5, -1, 1},
        {"mid-game, name pending", 5, 0, 1},
        {"mid-game, period pending", 5, 1, 1},
        {"after the game, pressed twice", 16, -1, 2},
    };
    for (const Row& row : rows) {
        INFO(row.name);
        drelvan::Quiz quiz;
        Form& form = quiz.form();
        const KeySnapshot key(form);
        for (std::size_t i = 0; i < static_cast<std::size_t>(row.pairsPlayed); ++i) {
            choose(form, names, chronologicalNames[i]);
            choose(form, periodsList, periods[15 - i]);
        }
        if (row.pendingIn >= 0)
            form.List1(static_cast<int16_t>(row.pendingIn)).SetListIndex(0);

        for (int i = 0; i < row.presses; ++i)
            form.Command1(0).Click();

        checkFreshDeal(form);
        CHECK(verdict(form).empty());
        CHECK(KeySnapshot(form) == key);

        // The next game plays as the first one did.
        choose(form, names, u"Крум");
        choose(form, periodsList, u"803 - 814");
        CHECK(verdict(form).starts_with(u"Вярно Крум"));
    }
}

TEST_CASE("another button index does nothing")
{
    drelvan::Quiz quiz;
    Form& form = quiz.form();
    choose(form, names, u"Крум");
    const std::u16string opening = verdict(form);
    Command1_Click(form, 1);
    CHECK(verdict(form) == opening);
    CHECK(form.List1(names).ListIndex() == indexOf(alphabeticalNames, u"Крум"));
    CHECK(form.List1(names).ListCount() == 16);
}

// A key as long as a list can be: the deal's counter runs up to 32767 and
// must not wrap on the way.
TEST_CASE("a reset with the largest key")
{
    drelvan::Quiz quiz;
    Form& form = quiz.form();
    for (int16_t member : {int16_t(2), int16_t(3)}) {
        form.List1(member).Clear();
        for (int i = 0; i < ListBox::maxCount; ++i)
            form.List1(member).AddItem(u"x");
    }
    Command1_Click(form, 0);
    CHECK(form.List1(names).ListCount() == ListBox::maxCount);
    CHECK(form.List1(periodsList).ListCount() == ListBox::maxCount);
}

// The command line, with a toolkit that takes "-style" with a value and
// "-reverse" alone: each row the arguments, the status, and what the
// program then prints first (where the quiz starts: the file it opens).
TEST_CASE("the command line")
{
    constexpr std::string_view withValue[] = {"style"};
    constexpr std::string_view flags[] = {"reverse"};
    const drelvan::ToolkitOptions toolkit{withValue, flags};
    const struct {
        std::vector<std::string> arguments;
        int status; // -1: the quiz starts
        std::string_view starts;
    } rows[] = {
        {{}, -1, ""},
        {{"-style", "fusion", "--reverse", "--style=fusion"}, -1, ""},
        {{"--version"}, 0, "Drelvan "},
        {{"-reverse", "-h"}, 0, "Usage: drelvan [--help] [--version] [FILE]\n"},
        {{"--help", "-style"}, 2, "drelvan: option '-style' needs a value\n"},
        {{"-reverse=1"}, 2, "drelvan: unknown option '-reverse=1'\n"},
        {{"-"}, 2, "drelvan: unexpected argument '-'\n"},
        {{"ханове.csv", "хан"}, 2, "drelvan: unexpected argument 'хан'\n"},
        {{"ханове.csv", "--verbose"}, 2, "drelvan: unknown option '--verbose'\n"},
        {{"--version", "хан"}, 0, "Drelvan "},
        {{"ханове.csv", "-style", "fusion"}, -1, "ханове.csv"},
        {{"--", "-ханове.csv"}, -1, "-ханове.csv"},
        {{"--", "--help"}, -1, "--help"},
    };
    for (const auto& row : rows) {
        CAPTURE(row.starts);
        const auto [answer, file] = drelvan::readCommandLine(row.arguments, toolkit);
        REQUIRE(answer.has_value() == (row.status >= 0));
        if (!answer) {
            CHECK(file.value_or("") == row.starts);
            continue;
        }
        CHECK(answer->status == row.status);
        CHECK((row.status == 0 ? answer->out : answer->err).starts_with(row.starts));
        CHECK((row.status == 0 ? answer->err : answer->out).empty());
    }
}
