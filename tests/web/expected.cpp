// What the page's tests compare with, written as JSON for them at build time
// (run under Node): the lists' order as typed again in tests/core/expected.hpp,
// the window's texts, places and colours from content/, and the verdict the
// core writes for every pair of a name and a period; and the teacher's files
// the page is given, with what the core makes of each: its texts and lists,
// or its message.

#include "content/about.hpp"
#include "content/layout.hpp"
#include "content/texts.hpp"
#include "content/utf8.hpp"
#include "pairs/pairfile.hpp"
#include "quiz/frontend.hpp"
#include "quiz/session.hpp"
#include "tests/core/expected.hpp"
#include "web/pagetexts.hpp"

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace {

// Every code unit outside printable ASCII as \uXXXX, so that the tests get
// the texts to the code unit.
std::string json(std::u16string_view text)
{
    std::string out = "\"";
    for (const char16_t c : text) {
        if (c >= 0x20 && c < 0x7F && c != '"' && c != '\\') {
            out += static_cast<char>(c);
        } else {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(c));
            out += escape;
        }
    }
    return out + '"';
}

std::string json(const Texts& texts)
{
    std::string out = "[";
    for (const std::u16string& text : texts)
        out += (out.size() > 1 ? "," : "") + json(text);
    return out + "]";
}

std::string json(drelvan::layout::Twips box)
{
    return "[" + std::to_string(box.left) + "," + std::to_string(box.top) + "," + std::to_string(box.width) + ","
        + std::to_string(box.height) + "]";
}

std::string json(drelvan::layout::Rgb rgb)
{
    return "[" + std::to_string(rgb.red) + "," + std::to_string(rgb.green) + "," + std::to_string(rgb.blue) + "]";
}

class Quiet final : public drelvan::FrontEnd {
    void showCaptions(const drelvan::Form&) override {}
    void showList(int16_t, const drelvan::ListShown&) override {}
    void showVerdict(std::u16string_view) override {}
    void announce(std::u16string_view) override {}
    void reportFailure(std::string_view) override {}
};

// A file's bytes, as the page's tests hand them over.
struct File {
    std::u16string name;
    std::string bytes;
};

std::string numbered(std::string_view word, int number)
{
    return std::string(word) + std::to_string(number);
}

std::vector<File> files()
{
    std::vector<File> out;
    out.push_back({u"животни.kvtml", "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<kvtml version=\"2.0\">\n"
        "<information><title>Животни</title><comment>Кое животно как се казва на английски?</comment></information>\n"
        "<identifiers><identifier id=\"0\"><name>Животно</name></identifier><identifier id=\"1\"><name>Английски"
        "</name></identifier></identifiers>\n<entries>\n"
        "<entry id=\"0\"><translation id=\"0\"><text>котка</text></translation><translation id=\"1\"><text>cat"
        "</text></translation></entry>\n"
        "<entry id=\"1\"><translation id=\"0\"><text>куче</text></translation><translation id=\"1\"><text>dog"
        "</text></translation></entry>\n</entries>\n</kvtml>\n"});
    // Markup in every text, which the page is to show as it stands; an entry
    // and captions wider than their places.
    std::string wide = "Дълъг ред";
    for (int word = 0; word < 12; ++word)
        wide += " и още";
    out.push_back({u"<b>знаци</b>.csv",
                   "<i>Лявото</i> " + wide + ",</textarea><b>Дясното</b> " + wide + "\n"
                   "<img src=x onerror=\"window.hit=1\">,</textarea><script>window.hit=2</script>,<b>бележка</b>\n"
                   "&amp; &lt;,<svg onload=\"window.hit=3\">\n" + wide + ",едно\n"});
    out.push_back({u"лошо.csv", "Дума,Превод\nкотка,cat\nкуче,dog\nкотка,kitten\n"});
    // 200 pairs, their right texts ten times over each.
    std::string repeated = "Дума;Група\n";
    for (int row = 1; row <= 200; ++row)
        repeated += numbered("дума ", row * 37 % 211) + ";" + numbered("група ", row % 20) + ";" + numbered("бележка ", row) + "\n";
    out.push_back({u"повторени.csv", repeated});
    // As many pairs as a list holds.
    std::string most = "Ляво\tДясно\n";
    for (int row = 1; row <= 32767; ++row)
        most += numbered("л", row) + "\t" + numbered("дясно ", row * 7 % 32768) + "\n";
    out.push_back({u"най-много.tsv", most});
    return out;
}

std::string json(const File& file)
{
    using namespace drelvan;
    const PairFile read = readPairs(file.name, file.bytes);
    std::string out = "{\"name\": " + json(file.name) + ", \"text\": " + json(fromUtf8(file.bytes));
    if (!read)
        return out + ", \"error\": " + json(read.error) + "}";
    Quiet quiet;
    Session session(quiet, *read.exercise);
    const Exercise& exercise = *read.exercise;
    out += ", \"windowTitle\": " + json(exercise.windowTitle) + ", \"title\": " + json(exercise.title)
        + ", \"leftCaption\": " + json(exercise.leftCaption) + ", \"rightCaption\": " + json(exercise.rightCaption)
        + ", \"opening\": " + json(exercise.opening) + ", \"names\": " + json(session.form().List1(0).entries())
        + ", \"periods\": " + json(session.form().List1(1).entries());
    // What a check of each left text with each right text writes, where the
    // file is small enough: verdicts[left][right].
    if (exercise.pairs.size() <= 200) {
        std::map<std::u16string, bool> rights;
        for (const Pair& pair : exercise.pairs)
            rights[pair.right] = true;
        out += ", \"verdicts\": {";
        for (int name = 0; name < session.form().List1(0).ListCount(); ++name) {
            out += (name ? ",\n" : "\n") + json(session.form().List1(0).List(static_cast<int16_t>(name))) + ": {";
            bool first = true;
            for (const auto& [right, unused] : rights) {
                Session checked(quiet, exercise);
                const auto& periods = checked.form().List1(1).entries();
                checked.pick(0, static_cast<int16_t>(name));
                checked.pick(1, static_cast<int>(std::find(periods.begin(), periods.end(), right) - periods.begin()));
                out += (first ? "" : ",") + json(right) + ": " + json(checked.form().Text1(0).Text());
                first = false;
            }
            out += "}";
        }
        out += "}";
    }
    return out + "}";
}

} // namespace

int main()
{
    using namespace drelvan;
    std::string out = "{\n";
    out += "\"title\": " + json(std::u16string(about::webAddress) + std::u16string(texts::titleSuffix)) + ",\n";
    out += "\"quizTitle\": " + json(texts::quizTitle) + ",\n";
    out += "\"namesCaption\": " + json(texts::namesCaption) + ",\n";
    out += "\"periodsCaption\": " + json(texts::periodsCaption) + ",\n";
    out += "\"resetCaption\": " + json(texts::resetCaption) + ",\n";
    out += "\"verdictName\": " + json(texts::verdictName) + ",\n";
    out += "\"openingText\": " + json(texts::openingText) + ",\n";
    out += "\"failureText\": " + json(texts::failureText) + ",\n";
    out += "\"names\": " + json(alphabeticalNames) + ",\n";
    out += "\"periods\": " + json(periods) + ",\n";
    out += "\"boxes\": {\"window\": " + json(layout::clientArea) + ", \"verdict\": " + json(layout::verdictBox)
        + ", \"names\": " + json(layout::namesList) + ", \"periods\": " + json(layout::periodsList)
        + ", \"reset\": " + json(layout::resetButton) + ", \"title\": " + json(layout::titleLabel)
        + ", \"namesCaption\": " + json(layout::namesCaption) + ", \"periodsCaption\": "
        + json(layout::periodsCaption) + "},\n";
    out += "\"colours\": {\"window\": " + json(layout::windowColour) + ", \"label\": " + json(layout::labelColour)
        + ", \"button\": " + json(layout::buttonColour) + "},\n";
    // verdicts[name][period], by their rows in the full lists.
    out += "\"verdicts\": [";
    Quiet quiet;
    for (int name = 0; name < 16; ++name) {
        out += name ? ",\n[" : "\n[";
        for (int period = 0; period < 16; ++period) {
            Session session(quiet);
            session.pick(0, name);
            session.pick(1, period);
            out += (period ? "," : "") + json(session.form().Text1(0).Text());
        }
        out += "]";
    }
    out += "],\n\"fromDisk\": " + json(web::fromDisk) + ",\n\"otherOrigin\": " + json(web::otherOrigin);
    out += ",\n\"files\": {";
    bool first = true;
    for (const File& file : files()) {
        out += (first ? "\n" : ",\n") + json(file.name) + ": " + json(file);
        first = false;
    }
    out += "}\n}\n";
    std::fputs(out.c_str(), stdout);
    return 0;
}
