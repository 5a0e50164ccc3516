#define DOCTEST_CONFIG_IMPLEMENT_WITH_MAIN
#include "expected.hpp"

#include "content/about.hpp"
#include "content/catalogue.hpp"
#include "content/texts.hpp"
#include "quiz/quiz.hpp"

using drelvan::Form;

TEST_CASE("lists as the window opens")
{
    struct Row {
        const char* name;
        int16_t member;
        const Texts& expected;
    };
    const Row rows[] = {
        {"names offered, alphabetical", 0, alphabeticalNames},
        {"periods offered, chronological", 1, periods},
        {"key names", 2, chronologicalNames},
        {"key periods", 3, periods},
    };
    const drelvan::Quiz quiz;
    const Form& form = quiz.form();
    for (const Row& row : rows) {
        INFO(row.name);
        const auto& list = form.List1(row.member);
        CHECK(entriesOf(list) == row.expected);
        CHECK(list.ListIndex() == -1);
        CHECK(list.Sorted() == (row.member == 0));
    }
}

// Each note by its length, and the detail a careless copy would lose.
TEST_CASE("notes")
{
    const int lengths[] = {83, 188, 38, 43, 88, 49, 38, 76, 68, 51, 176, 86, 661, 137, 97, 65};
    const std::u16string_view details[] = {
        u"Основател на Дунавска България, призната с договор от Византия, столицата е Плиска.",
        u"Провъзгласен е за \"Спасител на Европа\" след като",
        u"Продължава мира сключен от хан Тервел.",
        u"Убит от боилите за провизантийска политика.",
        u"Цариград, но е отбита. За това военно поражение е детрониран.",
        u"Убит заедно с рода си за провизантийска политика.",
        u"Убит от боилите след военно поражение.",
        u"Детрониран от народен събор за провизантийска политика. Беглец във Византия.",
        u"Детрониран и убит заедно с брат си от провизантийската аристокрация.",
        u"Убит от слугите си за провизантийската си политика.",
        u"Прочиства двора в Плиска от византийски шпиони.",
        u"Ликвидирани са вътрешните междуособици.",
        u"Никифор \u0406 Геник е пленен и обезглавен",
        u"Ханът строител. 30 годишен мир с Византия.",
        u"Цялата бласт Загоре (Горна Тракия)",
        u"Присъединени са Македония, части от Албания и земи в Беломорието.",
    };
    const drelvan::Quiz quiz;
    const Form& form = quiz.form();
    REQUIRE(form.List1(4).ListCount() == 16);
    for (int16_t row = 0; row < 16; ++row) {
        CAPTURE(row);
        const std::u16string& note = form.List1(4).List(row);
        CHECK(note.size() == static_cast<std::size_t>(lengths[row]));
        CHECK_MESSAGE(contains(note, details[row]), utf8(note));
        CHECK(note.find_first_of(u"\r\n") == std::u16string::npos);
    }
}

TEST_CASE("captions")
{
    const drelvan::Quiz quiz;
    const Form& form = quiz.form();
    struct Row {
        const char* name;
        std::u16string actual;
        std::u16string_view expected;
    };
    const Row rows[] = {
        {"quiz title", form.Label1(0).Caption(), u"История - именник на българските ханове"},
        {"over the names", form.Label1(1).Caption(), u"Име на хан"},
        {"over the periods", form.Label1(2).Caption(), u"Период"},
        {"reset button", form.Command1(0).Caption(), u"Чисти"},
        {"window title after the address", form.Caption().substr(drelvan::about::webAddress.size()),
         u" История - български ханове"},
    };
    for (const Row& row : rows) {
        INFO(row.name);
        CHECK(row.actual == std::u16string(row.expected));
    }
    CHECK(form.Caption().starts_with(drelvan::about::webAddress));
}

TEST_CASE("opening text")
{
    const drelvan::Quiz quiz;
    const std::u16string& text = quiz.form().Text1(0).Text();
    CHECK(text.size() == 1008);
    REQUIRE(text.ends_with(u"\r\n"));
    Texts lines;
    for (std::size_t from = 0; from < text.size();) {
        const std::size_t end = text.find(u"\r\n", from);
        lines.push_back(text.substr(from, end - from));
        from = end + 2;
    }
    REQUIRE(lines.size() == 8);
    for (const auto& line : lines)
        CHECK_MESSAGE(line.find_first_of(u"\r\n") == std::u16string::npos, utf8(line));
    CHECK(lines[0] == u"Да се реализира проект представящ междупредметна връзка История и Информатика.");
    CHECK(lines[3] == u"имена на хановете;");
    CHECK(lines[6] == u"Прочетете допълнителна информация относно именника на българските ханове. ");
    CHECK(contains(lines[7], u"е \u201CИменник на българските ханове\u201D. Това е е кратък"));
    CHECK(text.find(u'"') == std::u16string::npos);
}

// A handler's message in UTF-8 reaches the learner's message box whole: a
// well-formed text comes back as it was written, and what is no UTF-8 shows
// as U+FFFD with the rest still to be read.
TEST_CASE("UTF-8 read back")
{
    for (const std::u16string_view text : {u"", u"Handler failed", u"Грешка: Крум", u"\u20AC \U0001D11E"})
        CHECK(drelvan::fromUtf8(drelvan::toUtf8(text)) == std::u16string(text));
    const std::pair<std::string_view, std::u16string_view> malformed[] = {
        {"a\xFF" "b", u"a\uFFFDb"}, // a byte no character starts with
        {"\xD0" "a\xE2\x82", u"\uFFFDa\uFFFD"}, // cut short, inside and at the end
        {"\xC0\xAF\xE0\x80\xAF", u"\uFFFD\uFFFD\uFFFD"}, // '/' in two bytes and in three
        {"\xED\xA0\x80", u"\uFFFD"}, // a surrogate
        {"\xF4\x90\x80\x80!", u"\uFFFD!"}, // beyond U+10FFFF
    };
    for (const auto& [bytes, expected] : malformed)
        CHECK(drelvan::fromUtf8(bytes) == std::u16string(expected));
}
