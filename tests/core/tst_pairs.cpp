#define DOCTEST_CONFIG_IMPLEMENT_WITH_MAIN
#include "expected.hpp"

#include "content/exercisepack.hpp"
#include "content/texts.hpp"
#include "pairs/pairfile.hpp"

#include <chrono>
#include <filesystem>
#include <fstream>

using drelvan::Exercise;
using drelvan::Pair;
using drelvan::readPairFile;
using drelvan::readPairs;

namespace {

std::string utf16(std::u16string_view text, bool bigEndian)
{
    std::string out = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (const char16_t u : text) {
        const char high = static_cast<char>(u >> 8), low = static_cast<char>(u & 0xFF);
        out += bigEndian ? high : low;
        out += bigEndian ? low : high;
    }
    return out;
}

// A KVTML 2 document as KWordQuiz-like programs write it: `entries` between
// the identifiers "Дума" and "Превод" and the end.
template <class Char>
std::basic_string<Char> repeated(std::basic_string_view<Char> text, int times)
{
    std::basic_string<Char> out;
    for (int i = 0; i < times; ++i)
        out.append(text);
    return out;
}
std::string repeated(const char* text, int times) { return repeated(std::string_view(text), times); }
std::u16string repeated(const char16_t* text, int times) { return repeated(std::u16string_view(text), times); }

std::string kvtml(std::string_view entries, std::string_view information = "<title>Животни</title>")
{
    return std::string(R"(<?xml version="1.0" encoding="UTF-8"?>
<kvtml version="2.0">
 <information>
  )") + std::string(information) + R"(
 </information>
 <identifiers>
  <identifier id="0"><name>Дума</name></identifier>
  <identifier id="1"><name>Превод</name></identifier>
 </identifiers>
 <entries>
)" + std::string(entries) + " </entries>\n</kvtml>\n";
}

std::string entry(std::string_view left, std::string_view right, std::string_view extra = "")
{
    return "  <entry id=\"0\">" + std::string(extra) + "<translation id=\"0\"><text>" + std::string(left)
           + "</text></translation><translation id=\"1\"><text>" + std::string(right)
           + "</text></translation></entry>\n";
}

std::string describe(const std::vector<Pair>& pairs)
{
    std::u16string out;
    for (const Pair& pair : pairs)
        out += u"[" + pair.left + u"|" + pair.right + u"|" + pair.note + u"]";
    return utf8(out);
}

struct GoodFile {
    const char* name;
    std::u16string_view fileName;
    std::string bytes;
    std::u16string_view leftCaption, rightCaption;
    std::vector<Pair> pairs;
};

const std::vector<Pair> catDog{{u"котка", u"cat", u""}, {u"куче", u"dog", u""}};

const GoodFile goodFiles[] = {
    {"UTF-8, comma, LF", u"Думи.csv", "Дума,Превод\nкотка,cat\nкуче,dog\n", u"Дума", u"Превод", catDog},
    {"UTF-8 with a byte order mark, CR LF", u"Думи.csv", "\xEF\xBB\xBF" "Дума,Превод\r\nкотка,cat\r\nкуче,dog\r\n",
        u"Дума", u"Превод", catDog},
    {"no line break at the end", u"Думи.csv", "Дума,Превод\r\nкотка,cat\r\nкуче,dog", u"Дума", u"Превод", catDog},
    {"UTF-16 LE, as Excel's Unicode text", u"Думи.txt",
        utf16(u"Дума\tПревод\r\nкотка\tcat\r\nкуче\tdog\r\n", false), u"Дума", u"Превод", catDog},
    {"UTF-16 BE", u"Думи.txt", utf16(u"Дума\tПревод\nкотка\tcat\nкуче\tdog\n", true), u"Дума", u"Превод", catDog},
    {"UTF-16, a character beyond the BMP", u"Думи.txt", utf16(u"Дума\tПревод\n\U0001F431\tcat\n", false),
        u"Дума", u"Превод", {{u"\U0001F431", u"cat", u""}}},
    // Excel in a Bulgarian Windows: ';' and Windows-1251, „“ № and – included.
    {"Windows-1251 from a Bulgarian Excel", u"Думи.csv",
        "\xC4\xF3\xEC\xE0;\xCF\xF0\xE5\xE2\xEE\xE4;\xC1\xE5\xEB\xE5\xE6\xEA\xE0\r\n\xEA\xEE\xF2\xEA\xE0;cat;\r\n"
        "\x84\xEA\xF3\xF7\xE5\x93 \xB9 1;dog;\x96\r\n",
        u"Дума", u"Превод", {{u"котка", u"cat", u""}, {u"„куче“ № 1", u"dog", u"–"}}},
    {"semicolon", u"Думи.csv", "Дума;Превод\nкотка;cat, a pet\n", u"Дума", u"Превод", {{u"котка", u"cat, a pet", u""}}},
    {"Tab wins over ; and ,", u"Думи.tsv", "Дума; и, Тя\tПревод\nа;б,в\tг\n", u"Дума; и, Тя", u"Превод",
        {{u"а;б,в", u"г", u""}}},
    {"a separator in quotes in the first line", u"Думи.csv", "\"Дума; или\",Превод\nа;б,в\n", u"Дума; или",
        u"Превод", {{u"а;б", u"в", u""}}},
    {"a quoted Tab in the first line does not make a Tab file", u"Думи.csv", "\"Ду\tма\",Превод\nа,б\n",
        u"", u"", {}},
    {"quotes: separator, \"\" and a line break in a note", u"Думи.csv",
        "Дума,Превод,Бележка\n\"а, б\",\"\"\"в\"\"\",\"ред\nи ред\"\n\"\",\"\"\n", u"Дума", u"Превод",
        {{u"а, б", u"\"в\"", u"ред\r\nи ред"}}},
    {"blanks belong to the cell", u"Ханове.csv", "Хан,Период\nАспарух,681 - 700\nТервел,\"700 - 721 \"\n Кормесий,738 - 753 \n",
        u"Хан", u"Период",
        {{u"Аспарух", u"681 - 700", u""}, {u"Тервел", u"700 - 721 ", u""}, {u" Кормесий", u"738 - 753 ", u""}}},
    {"empty lines and empty cells after the third are skipped", u"Думи.csv",
        "Дума,Превод,Бележка,\n\n,,,\nкотка,cat,,\n\r\nкуче,dog,,,,\n,,\n", u"Дума", u"Превод", catDog},
    {"the same right text twice", u"Думи.csv", "Дума,Превод\nкотка,cat\nмачка,cat\n", u"Дума", u"Превод",
        {{u"котка", u"cat", u""}, {u"мачка", u"cat", u""}}},
    {"text after a closing quote stays in the cell", u"Думи.csv", "Дума,Превод\n\"ко\"тка,\"cat\" \n", u"Дума",
        u"Превод", {{u"котка", u"cat ", u""}}},
    {"a Quizlet export with a header added", u"Quizlet.txt", "Term\tDefinition\nкотка\tcat\nкуче\tdog, \"a pet\"\n",
        u"Term", u"Definition", {{u"котка", u"cat", u""}, {u"куче", u"dog, \"a pet\"", u""}}},
    {"a name without an extension: told by its bytes", u"Думи", "Дума,Превод\nкотка,cat\nкуче,dog\n", u"Дума",
        u"Превод", catDog},
    {"KVTML: inactive entries skipped, the note from translation 1, else 0", u"Животни.kvtml",
        kvtml("  <entry id=\"0\"><translation id=\"0\"><text>котка</text><comment>мяу</comment></translation>"
              "<translation id=\"1\"><text>cat</text><comment>a pet</comment></translation></entry>\n"
              "  <entry id=\"1\"><inactive>true</inactive><translation id=\"0\"><text>котка</text></translation>"
              "<translation id=\"1\"><text>puss</text></translation></entry>\n"
              "  <entry id=\"2\"><translation id=\"1\"><text>dog</text></translation>"
              "<translation id=\"0\"><text>куче</text><comment>бау\nбау</comment></translation></entry>\n"
              "  <entry id=\"3\"><inactive>false</inactive><translation id=\"0\"><text>&#1088;иба &amp; "
              "&lt;рак&gt;</text></translation><translation id=\"1\"><text><![CDATA[fish & <crab>]]></text>"
              "</translation></entry>\n"),
        u"Дума", u"Превод",
        {{u"котка", u"cat", u"a pet"}, {u"куче", u"dog", u"бау\r\nбау"}, {u"риба & <рак>", u"fish & <crab>", u""}}},
    {"KVTML with its DTD named, as its programs write it", u"Животни.kvtml",
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!DOCTYPE kvtml PUBLIC \"kvtml2.dtd\" "
        "\"http://example.invalid/kvtml2.dtd\">" + kvtml(entry("котка", "cat")).substr(39),
        u"Дума", u"Превод", {{u"котка", u"cat", u""}}},
    {"KVTML in UTF-16", u"Животни.kvtml", utf16(drelvan::fromUtf8(kvtml(entry("котка", "cat"))), false), u"Дума",
        u"Превод", {{u"котка", u"cat", u""}}},
    {"the longest texts", u"Думи.csv",
        "Дума,Превод,Бележка\n" + std::string(1000, 'a') + "," + std::string(1000, 'b') + "," + std::string(10000, 'c'),
        u"Дума", u"Превод", {{std::u16string(1000, u'a'), std::u16string(1000, u'b'), std::u16string(10000, u'c')}}},
    // Cyrillic letters are two bytes of UTF-8, quotes and dashes three, a
    // cat four and two code units: the limits count code units.
    {"the longest texts in Cyrillic, among characters of three and four bytes", u"Думи.csv",
        "Дума,Превод,Бележка\n" + repeated("ж", 1000) + ",\"„" + repeated("ж", 998) + "“\"," + repeated("\U0001F431", 5000),
        u"Дума", u"Превод",
        {{std::u16string(1000, u'ж'), u"„" + std::u16string(998, u'ж') + u"“", repeated(u"\U0001F431", 5000)}}},
    {"KVTML by its bytes", u"Животни.xml", kvtml(entry("котка", "cat")), u"Дума", u"Превод", {{u"котка", u"cat", u""}}},
};

struct BadFile {
    const char* name;
    std::u16string_view fileName;
    std::string bytes;
    // The whole message where it ends with a full stop, else how it starts:
    // the file, the line and the cell.
    std::u16string_view message;
};

const std::string header = "Дума,Превод\n";

const BadFile badFiles[] = {
    {"an empty file", u"Думи.csv", "",
        u"Думи.csv: файлът е празен; първият му ред трябва да носи имената на двата списъка."},
    {"empty lines only", u"Думи.csv", "\n\r\n,,\n", u"Думи.csv: файлът е празен"},
    {"a header and no pair", u"Думи.csv", header + "\n", u"Думи.csv: във файла няма нито една двойка."},
    {"a header of one cell", u"Думи.csv", "Дума\nкотка,cat\n", u"Думи.csv, ред 1: заглавният ред има една клетка"},
    {"a line of one cell", u"Думи.csv", header + "котка,cat\n\nкуче\n",
        u"Думи.csv, ред 4: редът има една клетка: „куче“; двойката е ляв текст, десен текст и бележка, ако има."},
    {"a fourth cell that is not empty", u"Думи.csv", header + "котка,cat,,x\n",
        u"Думи.csv, ред 2, клетка 4: клетката не е празна"},
    {"an empty left text", u"Думи.csv", header + ",cat\n", u"Думи.csv, ред 2, клетка 1: левият текст е празен."},
    {"a blank right text", u"Думи.csv", header + "котка,\"\u00A0 \"\n",
        u"Думи.csv, ред 2, клетка 2: десният текст е само от интервали"},
    {"an empty caption", u"Думи.csv", ";Превод\nкотка;cat\n",
        u"Думи.csv, ред 1, клетка 1: името на левия списък е празно."},
    {"a line break in a left text", u"Думи.csv", header + "\"ко\nтка\",cat\n",
        u"Думи.csv, ред 2, клетка 1: левият текст „ко…“ е на повече от един ред; нов ред може да има само бележката."},
    {"lines counted through a note", u"Думи.csv", "Дума,Превод,Бележка\nа,б,\"x\r\ny\nz\"\nв,\"г\nд\"\n",
        u"Думи.csv, ред 5, клетка 2: десният текст"},
    {"a control character", u"Думи.csv", header + "кот\x01ка,cat\n",
        u"Думи.csv, ред 2, клетка 1: левият текст съдържа управляващ знак (U+0001)"},
    {"a Tab in quotes in a comma file", u"Думи.csv", header + "котка,\"c\tat\"\n",
        u"Думи.csv, ред 2, клетка 2: десният текст съдържа управляващ знак (табулация, U+0009)"},
    {"a control character in a note", u"Думи.csv", header + "котка,cat,\"мяу\x1B\"\n",
        u"Думи.csv, ред 2, клетка 3: бележката съдържа управляващ знак (U+001B)"},
    {"the same left text twice", u"Думи.csv", header + "едно,one\nдве,two\nтри,three\nдве,deux\n",
        u"Думи.csv, ред 5: „две“ стои и на ред 3; всеки ляв текст трябва да е веднъж."},
    // The first thing wrong going down the file, whichever it is.
    {"a left text twice, then a line of one field", u"Думи.csv", header + "две,two\nедно,one\nдве,deux\nтри\n",
        u"Думи.csv, ред 4: „две“ стои и на ред 2; всеки ляв текст трябва да е веднъж."},
    {"a line of one field, then a left text twice", u"Думи.csv", header + "две,two\nтри\nдве,deux\n",
        u"Думи.csv, ред 3: редът има една клетка: „три“; двойката е ляв текст, десен текст и бележка, ако има."},
    {"two texts twice: the earlier repeat", u"Думи.csv", header + "б,1\nа,2\nв,3\nв,4\nа,5\nб,6\n",
        u"Думи.csv, ред 5: „в“ стои и на ред 4; всеки ляв текст трябва да е веднъж."},
    {"a quote never closed", u"Думи.csv", header + "котка,cat\nкуче,\"dog\nмного\nредове\n",
        u"Думи.csv, ред 3, клетка 2: кавичката, отворена на този ред, не е затворена до края на файла."},
    {"a left text too long", u"Думи.csv", header + std::string(1001, 'a') + ",b\n",
        u"Думи.csv, ред 2, клетка 1: левият текст е по-дълъг от 1000 знака."},
    {"a Cyrillic left text too long", u"Думи.csv", header + repeated("ж", 1001) + ",b\n",
        u"Думи.csv, ред 2, клетка 1: левият текст е по-дълъг от 1000 знака."},
    {"a note of characters of two code units, one letter too long", u"Думи.csv", header + "a,b," + repeated("\U0001F431", 5000) + "ж\n",
        u"Думи.csv, ред 2, клетка 3: бележката е по-дълга от 10 000 знака."},
    {"a note too long", u"Думи.csv", header + "a,b,\"" + std::string(10001, 'c') + "\"\n",
        u"Думи.csv, ред 2, клетка 3: бележката е по-дълга от 10 000 знака."},
    {"a lone surrogate in UTF-16", u"Думи.txt", utf16(u"Дума\tПревод\nа\tб\n\xD800\tв\n", false),
        u"Думи.txt, ред 3: половин знак UTF-16 (U+D800) без другата си половина."},
    {"a low surrogate first, big-endian", u"Думи.txt", utf16(u"Дума\tПревод\n\xDC00\xD800\tв\n", true),
        u"Думи.txt, ред 2: половин знак UTF-16 (U+DC00)"},
    {"UTF-16 of an odd number of bytes", u"Думи.txt", utf16(u"Дума\tПревод\nа\tб", false) + "x",
        u"Думи.txt, ред 2: файлът свършва с половин знак UTF-16"},
    {"bytes that are no UTF-8 after its mark", u"Думи.csv", "\xEF\xBB\xBF" + header + "\xEA\xEE,cat\n",
        u"Думи.csv, ред 2: байтът 0xEA не е UTF-8"},
    {"a byte that is no UTF-8 among Cyrillic letters", u"Думи.csv", "\xEF\xBB\xBF" + header + "ко\xEAтка,cat\n",
        u"Думи.csv, ред 2: байтът 0xEA не е UTF-8"},
    {"the first byte of a Cyrillic letter, the file's last", u"Думи.csv", "\xEF\xBB\xBF" + header + "котка,ca\xD0",
        u"Думи.csv, ред 2: байтът 0xD0 не е UTF-8"},
    {"the byte of Windows-1251 that has no character", u"Думи.csv", header + "\xEA\x98,cat\n",
        u"Думи.csv, ред 2, клетка 1: левият текст съдържа управляващ знак (U+0098)"},
    {"a workbook, not text", u"Думи.csv", std::string("PK\x03\x04\x14\0\0\0", 8),
        u"Думи.csv: това е работна книга"},
    {"a file over the limit", u"Думи.csv", std::string(drelvan::maxPairFileBytes + 1, 'a'),
        u"Думи.csv: файлът е 16 777 217 байта, а програмата чете файлове до 16 MiB (16 777 216 байта)."},
    {"a 16 MiB line", u"Думи.csv", std::string(drelvan::maxPairFileBytes, 'a'),
        u"Думи.csv, ред 1, клетка 1: името на левия списък е по-дълго от 1000 знака."},
    {"KVTML: no identifier 1", u"Животни.kvtml",
        "<kvtml version=\"2.0\">\n<identifiers>\n<identifier id=\"0\"><name>Дума</name></identifier>\n"
        "</identifiers>\n</kvtml>\n",
        u"Животни.kvtml, ред 2: няма <identifier id=\"1\"> в <identifiers>"},
    {"KVTML: no identifiers", u"Животни.kvtml", "<kvtml version=\"2.0\">\n</kvtml>\n",
        u"Животни.kvtml, ред 1: няма <identifier id=\"0\">"},
    {"KVTML: an empty name", u"Животни.kvtml",
        "<kvtml version=\"2.0\"><identifiers><identifier id=\"0\"><name/></identifier></identifiers></kvtml>",
        u"Животни.kvtml, ред 1: името на левия списък е празно."},
    {"KVTML: a billion laughs", u"Смях.kvtml",
        "<?xml version=\"1.0\"?>\n<!DOCTYPE kvtml [\n <!ENTITY lol \"lol\">\n"
        " <!ENTITY lol1 \"&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;\">\n"
        " <!ENTITY lol2 \"&lol1;&lol1;&lol1;&lol1;&lol1;&lol1;&lol1;&lol1;&lol1;&lol1;\">\n]>\n"
        "<kvtml version=\"2.0\"><information><title>&lol2;</title></information></kvtml>\n",
        u"Смях.kvtml, ред 2: файлът обявява DTD с единици (<!DOCTYPE … [ … ]>)"},
    {"KVTML: an entity of an external DTD, which is never fetched", u"Животни.kvtml",
        "<!DOCTYPE kvtml SYSTEM \"kvtml2.dtd\">\n" + kvtml(entry("котка&nbsp;", "cat")).substr(39),
        u"Животни.kvtml, ред 11: &nbsp; е обръщение към единица (entity)"},
    {"KVTML: an entity never declared", u"Животни.kvtml", kvtml(entry("котка", "cat") + entry("&lol;", "dog")),
        u"Животни.kvtml, ред 12: &lol; е обръщение към единица (entity), която файлът не може да има"},
    {"KVTML: a bare ampersand", u"Животни.kvtml", kvtml(entry("котка & куче", "cat")),
        u"Животни.kvtml, ред 11: знакът & в „& куче“ трябва да бъде записан като &amp;."},
    {"KVTML: a reference to no character", u"Животни.kvtml", kvtml(entry("&#0;", "cat")),
        u"Животни.kvtml, ред 11: „#0“ не е знак, който XML позволява."},
    {"KVTML: not well-formed", u"Животни.kvtml", kvtml(entry("котка", "cat") + "  <entry>\n"),
        u"Животни.kvtml, ред 13: XML не е правилен: затварящ маркер, който не отговаря на отворения, или маркер, който "
        u"не е затворен."},
    {"KVTML: no element", u"Животни.kvtml", "<?xml version=\"1.0\"?>\n\n",
        u"Животни.kvtml, ред 3: XML не е правилен: няма нито един елемент."},
    {"KVTML: another XML", u"Страница.kvtml", "<html version=\"2.0\">\n</html>",
        u"Страница.kvtml, ред 1: това не е речник KVTML 2: коренът е <html version=\"2.0\">, а трябва да е "
        u"<kvtml version=\"2.0\">."},
    {"KVTML 1", u"Стар.kvtml", "<kvtml version=\"1\"><e><o>a</o><t>b</t></e></kvtml>",
        u"Стар.kvtml, ред 1: това не е речник KVTML 2"},
    {"KVTML: no entries", u"Животни.kvtml", kvtml(""), u"Животни.kvtml: във файла няма нито една двойка."},
    {"KVTML: only inactive entries", u"Животни.kvtml", kvtml(entry("котка", "cat", "<inactive>true</inactive>")),
        u"Животни.kvtml: във файла няма нито една двойка."},
    {"KVTML: no translation 1", u"Животни.kvtml",
        kvtml("  <entry id=\"0\">\n<translation id=\"0\"><text>котка</text></translation></entry>\n"),
        u"Животни.kvtml, ред 11: десният текст е празен."},
    {"KVTML: a line break in a text", u"Животни.kvtml", kvtml(entry("котка", "cat") + entry("ку\nче", "dog")),
        u"Животни.kvtml, ред 12: левият текст „ку"},
    {"KVTML: the same left text twice", u"Животни.kvtml", kvtml(entry("котка", "cat") + entry("котка", "puss")),
        u"Животни.kvtml, ред 12: „котка“ стои и на ред 11; всеки ляв текст трябва да е веднъж."},
    {"KVTML: a control character in a note", u"Животни.kvtml",
        kvtml("  <entry><translation id=\"0\"><text>a</text><comment>x\x07</comment></translation>"
              "<translation id=\"1\"><text>b</text></translation></entry>\n"),
        u"Животни.kvtml, ред 11: бележката съдържа управляващ знак (U+0007)"},
    {"KVTML: a title too long", u"Животни.kvtml", kvtml(entry("a", "b"), "<title>" + std::string(1001, 't') + "</title>"),
        u"Животни.kvtml, ред 4: заглавието е по-дълго от 1000 знака."},
};

} // namespace

TEST_CASE("files that are read")
{
    for (const GoodFile& row : goodFiles) {
        INFO(row.name);
        const drelvan::PairFile file = readPairs(row.fileName, row.bytes);
        if (row.pairs.empty()) { // the row's point is only that the file is read as comma-separated
            CHECK_MESSAGE(!file.exercise, utf8(file.error));
            CHECK(contains(file.error, u"клетка 1: името на левия списък съдържа управляващ знак (табулация"));
            continue;
        }
        REQUIRE_MESSAGE(file, utf8(file.error));
        const Exercise& exercise = *file.exercise;
        CHECK(utf8(exercise.leftCaption) == utf8(row.leftCaption));
        CHECK(utf8(exercise.rightCaption) == utf8(row.rightCaption));
        CHECK(describe(exercise.pairs) == describe(row.pairs));
        CHECK(!exercise.rightInKeyOrder);
    }
}

TEST_CASE("files that are refused, with where and why")
{
    for (const BadFile& row : badFiles) {
        INFO(row.name);
        const drelvan::PairFile file = readPairs(row.fileName, row.bytes);
        CHECK(!file.exercise);
        if (row.message.ends_with(u"."))
            CHECK(utf8(file.error) == utf8(row.message));
        else
            CHECK(utf8(file.error.substr(0, row.message.size())) == utf8(row.message));
    }
}

TEST_CASE("titles and the opening text")
{
    struct Row {
        const char* name;
        std::u16string_view fileName;
        std::string bytes;
        std::u16string_view title, opening;
    };
    const std::u16string ownOpening = std::u16string(drelvan::texts::ownOpeningLead) + u"Дума"
                                      + std::u16string(drelvan::texts::ownOpeningMiddle) + u"Превод"
                                      + std::u16string(drelvan::texts::ownOpeningEnd);
    const Row rows[] = {
        {"a spreadsheet: its file's stem", u"Думи.за.урок.CSV", header + "a,b\n", u"Думи.за.урок", ownOpening},
        {"KVTML: its title and comment, lines in CR LF", u"Файл.kvtml",
            kvtml(entry("a", "b"), "<title>Животни &amp; птици</title><comment>Първи ред\nвтори ред</comment>"),
            u"Животни & птици", u"Първи ред\r\nвтори ред\r\n"},
        {"KVTML without title and comment", u"Файл.kvtml", kvtml(entry("a", "b"), "<title> </title>"), u"Файл",
            ownOpening},
    };
    for (const Row& row : rows) {
        INFO(row.name);
        const drelvan::PairFile file = readPairs(row.fileName, row.bytes);
        REQUIRE_MESSAGE(file, utf8(file.error));
        CHECK(utf8(file.exercise->title) == utf8(row.title));
        CHECK(utf8(file.exercise->windowTitle) == utf8(std::u16string(row.title) + std::u16string(drelvan::texts::ownTitleSuffix)));
        CHECK(utf8(file.exercise->opening) == utf8(row.opening));
    }
}

TEST_CASE("as many pairs as a list holds, and one more")
{
    std::string bytes = header;
    for (int i = 1; i <= 32767; ++i)
        bytes += std::to_string(i) + ",x\n";
    const drelvan::PairFile full = readPairs(u"Много.csv", bytes);
    REQUIRE_MESSAGE(full, utf8(full.error));
    CHECK(full.exercise->pairs.size() == 32767);
    CHECK(full.exercise->pairs.back().left == u"32767");
    const drelvan::PairFile over = readPairs(u"Много.csv", bytes + "32768,x\n");
    CHECK(utf8(over.error)
          == utf8(u"Много.csv, ред 32769: двойките са повече от 32 767, колкото най-много побира един списък."));

    // KVTML as dense as a vocabulary gets: the reader's cap on pugixml's
    // memory leaves it room.
    std::string entries, lesson;
    for (int i = 1; i <= 32767; ++i) {
        entries += "<entry id=\"" + std::to_string(i) + "\"><translation id=\"0\"><text>" + std::to_string(i)
                   + "</text></translation><translation id=\"1\"><text>x</text></translation></entry>\n";
        lesson += "<entry id=\"" + std::to_string(i) + "\"/>";
    }
    const drelvan::PairFile dense
        = readPairs(u"Много.kvtml", kvtml(entries) + "<lessons><container>" + lesson + "</container></lessons>");
    REQUIRE_MESSAGE(dense, utf8(dense.error));
    CHECK(dense.exercise->pairs.size() == 32767);
}

// Read from the disk: the file's own name in the messages, its size checked
// before it is read.
TEST_CASE("files on the disk")
{
    namespace fs = std::filesystem;
    const fs::path folder = fs::temp_directory_path() / "drelvan-tst-pairs";
    fs::remove_all(folder);
    fs::create_directories(folder);
    const auto write = [&](const fs::path& name, const std::string& bytes) {
        std::ofstream(folder / name, std::ios::binary) << bytes;
        return folder / name;
    };

    const drelvan::PairFile read = readPairFile(write(u"Думи за урок.csv", header + "котка,cat\n"));
    REQUIRE_MESSAGE(read, utf8(read.error));
    CHECK(read.exercise->title == u"Думи за урок");
    CHECK(read.exercise->pairs.size() == 1);

    CHECK(readPairFile(folder / u"Няма.csv").error == u"Няма.csv: файлът не може да бъде отворен.");
    CHECK(readPairFile(folder).error == u"drelvan-tst-pairs: файлът не може да бъде отворен.");
    CHECK(readPairFile(write(u"Празен.kvtml", "")).error == u"Празен.kvtml, ред 1: XML не е правилен: няма нито един елемент.");
    const fs::path big = write(u"Голям.csv", header);
    fs::resize_file(big, drelvan::maxPairFileBytes + 1);
    CHECK(readPairFile(big).error == u"Голям.csv: файлът е 16 777 217 байта, а програмата чете файлове до 16 MiB (16 777 216 байта).");
    fs::remove_all(folder);
}

// A browser hands over the first bytes of a file and its size: a larger
// file is refused by the size it has, not by the bytes handed.
TEST_CASE("a file refused by its whole size")
{
    const std::string bytes = header + "котка,cat\n";
    CHECK(readPairs(u"Урок.csv", bytes, bytes.size()));
    CHECK(readPairs(u"Урок.csv", bytes, 3'000'000'000).error
          == u"Урок.csv: файлът е 3 000 000 000 байта, а програмата чете файлове до 16 MiB (16 777 216 байта).");
}

// An exercise handed from the web page's reader to its quiz comes back whole,
// and anything cut short or with more after it is refused.
TEST_CASE("an exercise packed and unpacked")
{
    drelvan::Exercise exercise = drelvan::builtInExercise();
    exercise.pairs.push_back({std::u16string(70000, u'я'), std::u16string(1, u'\0'), u""});
    const std::u16string packed = drelvan::packExercise(exercise);
    const std::optional<drelvan::Exercise> back = drelvan::unpackExercise(packed);
    REQUIRE(back);
    CHECK(back->windowTitle == exercise.windowTitle);
    CHECK(back->opening == exercise.opening);
    CHECK(back->rightInKeyOrder);
    REQUIRE(back->pairs.size() == exercise.pairs.size());
    for (std::size_t i = 0; i < exercise.pairs.size(); ++i) {
        CHECK(back->pairs[i].left == exercise.pairs[i].left);
        CHECK(back->pairs[i].right == exercise.pairs[i].right);
        CHECK(back->pairs[i].note == exercise.pairs[i].note);
    }
    for (const std::size_t cut : {std::size_t{0}, std::size_t{1}, packed.size() / 2, packed.size() - 1})
        CHECK_FALSE(drelvan::unpackExercise(std::u16string_view(packed).substr(0, cut)));
    CHECK_FALSE(drelvan::unpackExercise(packed + u'x'));
}
