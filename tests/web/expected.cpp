// What the page's tests compare with, written as JSON for them at build time
// (run under Node): the lists' order as typed again in tests/core/expected.hpp,
// the window's texts, places and colours from content/, and the verdict the
// core writes for every pair of a name and a period.

#include "content/about.hpp"
#include "content/layout.hpp"
#include "content/texts.hpp"
#include "quiz/frontend.hpp"
#include "quiz/session.hpp"
#include "tests/core/expected.hpp"

#include <cstdio>
#include <string>

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
    out += "]\n}\n";
    std::fputs(out.c_str(), stdout);
    return 0;
}
