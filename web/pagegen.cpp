// Writes the page's markup and style, and its web app manifest, from the
// core: the texts of content/texts.hpp, the places and colours of
// content/layout.hpp (1 CSS pixel = 15 twips), what the program is called,
// and the window as the quiz shows it at the start. Built for and run under
// Node at build time; web/assemble.mjs then adds the script.
//
//     pagegen <markup> <manifest>   writes the page's markup (index.html
//                                   without its script) and the manifest
//     pagegen --floor <floor>       writes the benchmark's floor page

#include "content/about.hpp"
#include "content/layout.hpp"
#include "content/texts.hpp"
#include "content/utf8.hpp"
#include "quiz/frontend.hpp"
#include "quiz/session.hpp"
#include "web/pagetexts.hpp"

#include <array>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace drelvan {
namespace {

// Each list shows this many whole rows in the quiz's font.
constexpr int rowsDrawnFor = 8;
// The sunken frame of the lists and the verdict box, in CSS pixels.
constexpr int frameWidth = 2;
// A list's row, in CSS pixels.
constexpr int rowHeight = (layout::namesList.height / 15 - 2 * frameWidth) / rowsDrawnFor;
// The blank before an entry's text.
constexpr int textMargin = 3;
// A face that stands in for the quiz's shrinks no smaller than this to fit.
constexpr int smallestPoints = 8;


// Text for HTML, in an element or in a quoted attribute.
std::string html(std::u16string_view text)
{
    std::string out;
    for (const char c : toUtf8(text)) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default: out += c;
        }
    }
    return out;
}

// Text for a JSON string.
std::string json(std::u16string_view text)
{
    std::string out = "\"";
    for (const char c : toUtf8(text)) {
        if (c == '"' || c == '\\')
            out += '\\';
        out += c;
    }
    return out + '"';
}

std::string colour(layout::Rgb rgb)
{
    std::array<char, 8> hex{};
    std::snprintf(hex.data(), hex.size(), "#%02x%02x%02x", rgb.red, rgb.green, rgb.blue);
    return hex.data();
}

// Twips as CSS pixels: 15 to the pixel, as at 96 dpi.
std::string px(int twips)
{
    std::ostringstream out;
    out << twips / 15;
    if (twips % 15 != 0)
        out << '.' << (twips % 15 * 1000 / 15);
    return out.str() + "px";
}

std::string place(std::string_view selector, layout::Twips box)
{
    return std::string(selector) + "{left:" + px(box.left) + ";top:" + px(box.top) + ";width:" + px(box.width)
        + ";height:" + px(box.height) + "}\n";
}

// The window as the quiz shows it first.
class Recorder final : public FrontEnd {
public:
    struct List {
        std::vector<std::u16string> entries;
        int selected = -1, caret = -1;
    };
    std::array<List, 2> lists;
    std::u16string verdict;

    void showList(int16_t member, const ListShown& list) override
    {
        lists.at(static_cast<std::size_t>(member)) = {list.entries, list.selected, list.caret};
    }
    void showCaptions(const Form&) override {}
    void showVerdict(std::u16string_view text) override { verdict = text; }
    void announce(std::u16string_view) override {}
    void reportFailure(std::string_view message) override
    {
        std::cerr << "pagegen: " << message << '\n';
        std::exit(1);
    }
};

std::string listbox(std::string_view id, std::string_view caption, const Recorder::List& list)
{
    std::string out = "<div id=\"" + std::string(id) + "\" role=\"listbox\" tabindex=\"0\" aria-labelledby=\""
        + std::string(caption) + "\"";
    if (list.caret >= 0)
        out += " aria-activedescendant=\"" + std::string(id) + '-' + std::to_string(list.caret) + "\"";
    out += ">";
    for (std::size_t row = 0; row < list.entries.size(); ++row) {
        const int at = static_cast<int>(row);
        out += "<div role=\"option\" id=\"" + std::string(id) + '-' + std::to_string(row) + "\" aria-selected=\""
            + (at == list.selected ? "true" : "false") + "\"" + (at == list.caret ? " class=\"caret\"" : "") + ">"
            + html(list.entries[row]) + "</div>";
    }
    return out + "</div>\n";
}

// What the page and the benchmark's floor share: the window's places,
// colours and font, its labels, verdict box and button. `lists` selects the
// two lists, and `own` is the rest of one page's style.
std::string windowStyle(std::string_view lists, std::string_view own)
{
    using namespace layout;
    const std::string font = "'" + toUtf8(fontFace) + "','Liberation Serif',serif";
    std::string css;
    css += "html,#window{background:" + colour(windowColour) + "}\n";
    css += "body{margin:0;color:#000;font:" + std::to_string(fontWeight) + ' ' + std::to_string(fontPoints) + "pt "
        + font + "}\n";
    css += "#window{position:relative;overflow:hidden;width:" + px(clientArea.width) + ";height:"
        + px(clientArea.height) + "}\n";
    css += "#window>*{position:absolute;box-sizing:border-box;margin:0;padding:0}\n";
    // Form controls have a font of their own unless told otherwise.
    css += "textarea,button,h1{font:inherit;color:inherit}\n";
    css += ".label{background:" + colour(labelColour) + ";text-align:center;white-space:nowrap}\n";
    css += std::string(lists) + ",textarea{background:#fff;border:" + std::to_string(frameWidth)
        + "px inset #808080;outline:none}\n";
    css += own;
    css += "textarea{resize:none;overflow-y:scroll;padding:0 2px}\n";
    css += "textarea:focus-visible{outline:1px dotted #000;outline-offset:-3px}\n";
    css += "button{background:" + colour(buttonColour) + ";border:2px outset " + colour(buttonColour) + "}\n";
    css += "button:active{border-style:inset}\n";
    css += "button:focus-visible{outline:1px dotted #000;outline-offset:-5px}\n";
    css += place("#title", titleLabel) + place("#namesCaption", namesCaption)
        + place("#periodsCaption", periodsCaption) + place("#verdict", verdictBox) + place("#names", namesList)
        + place("#periods", periodsList) + place("#reset", resetButton);
    return css;
}

std::string style()
{
    std::string css;
    css += "[role=listbox]{overflow-x:hidden;overflow-y:auto;line-height:" + std::to_string(rowHeight)
        + "px;white-space:pre;user-select:none;-webkit-user-select:none;touch-action:pan-y;cursor:default}\n";
    css += "[role=option]{padding:0 " + std::to_string(textMargin) + "px}\n";
    css += "[aria-selected=true]{background:#000080;color:#fff}\n";
    css += ".focused .caret{outline:1px dotted #808080;outline-offset:-1px}\n";
    css += "[aria-selected=true].caret{outline-color:#ffff00}\n";
    css += ".message{margin:0;padding:8px;background:#fff;border-bottom:2px solid #000080}\n";
    css += ".spoken{position:absolute;width:1px;height:1px;overflow:hidden;clip-path:inset(50%);white-space:nowrap}\n";
    return windowStyle("[role=listbox]", css);
}

// The head of the page and of the floor: the window title, the theme's
// colour, the manifest and the icon. The page's policy goes at `<!--CSP-->`.
std::string head(std::string_view policy, const std::string& css)
{
    const std::u16string title = std::u16string(about::webAddress) + std::u16string(texts::titleSuffix);
    std::string out;
    out += "<!DOCTYPE html>\n<html lang=\"bg\">\n<head>\n<meta charset=\"utf-8\">\n" + std::string(policy);
    out += "<meta name=\"viewport\" content=\"width=device-width,initial-scale=1\">\n";
    out += "<title>" + html(title) + "</title>\n";
    out += "<meta name=\"theme-color\" content=\"" + colour(layout::windowColour) + "\">\n";
    out += "<link rel=\"manifest\" href=\"manifest.webmanifest\">\n<link rel=\"icon\" href=\"icon-192.png\">\n";
    return out + "<style>" + css + "</style>\n</head>\n<body>\n";
}

std::string page(const Recorder& start)
{
    std::string out = head("<!--CSP-->\n", style());
    out += "<noscript><p class=\"message\">" + html(web::noScript) + "</p></noscript>\n";
    out += "<p class=\"message\" id=\"nowasm\" role=\"alert\" hidden>" + html(web::noWebAssembly) + "</p>\n";
    out += "<main id=\"window\" data-smallest=\"" + std::to_string(smallestPoints) + "\">\n";
    out += "<h1 class=\"label\" id=\"title\">" + html(texts::quizTitle) + "</h1>\n";
    out += "<div class=\"label\" id=\"namesCaption\">" + html(texts::namesCaption) + "</div>\n";
    out += "<div class=\"label\" id=\"periodsCaption\">" + html(texts::periodsCaption) + "</div>\n";
    // Tab order is the order here: verdict box, names, periods, "Чисти".
    out += "<textarea id=\"verdict\" readonly autofocus spellcheck=\"false\" aria-label=\"" + html(texts::verdictName)
        + "\">" + html(start.verdict) + "</textarea>\n";
    out += listbox("names", "namesCaption", start.lists[0]);
    out += listbox("periods", "periodsCaption", start.lists[1]);
    out += "<button id=\"reset\" type=\"button\">" + html(texts::resetCaption) + "</button>\n";
    out += "</main>\n<div id=\"live\" class=\"spoken\" aria-live=\"polite\"></div>\n";
    out += "<!--SCRIPT-->\n</body>\n</html>\n";
    return out;
}

// The benchmark's floor: the same window in the browser's own controls
// (two <select size=8>, a read-only <textarea>, a <button> and the labels),
// with no script. Not part of the page.
std::string selectList(std::string_view id, const Recorder::List& list)
{
    std::string out = "<select id=\"" + std::string(id) + "\" size=\"" + std::to_string(rowsDrawnFor) + "\">";
    for (std::size_t row = 0; row < list.entries.size(); ++row)
        out += std::string(static_cast<int>(row) == list.selected ? "<option selected>" : "<option>")
            + html(list.entries[row]) + "</option>";
    return out + "</select>\n";
}

std::string floorPage(const Recorder& start)
{
    // An option's height is the browser's own (it keeps line-height at
    // normal): rows of 19 pixels where the page's are 16.
    std::string out = head("", windowStyle("select", "select{font:inherit;color:inherit}\noption{padding:0 "
        + std::to_string(textMargin) + "px}\n"));
    out += "<main id=\"window\">\n";
    out += "<h1 class=\"label\" id=\"title\">" + html(texts::quizTitle) + "</h1>\n";
    out += "<label class=\"label\" id=\"namesCaption\" for=\"names\">" + html(texts::namesCaption) + "</label>\n";
    out += "<label class=\"label\" id=\"periodsCaption\" for=\"periods\">" + html(texts::periodsCaption)
        + "</label>\n";
    out += "<textarea id=\"verdict\" readonly autofocus spellcheck=\"false\">" + html(start.verdict) + "</textarea>\n";
    out += selectList("names", start.lists[0]) + selectList("periods", start.lists[1]);
    out += "<button id=\"reset\" type=\"button\">" + html(texts::resetCaption) + "</button>\n";
    return out + "</main>\n</body>\n</html>\n";
}

std::string manifest()
{
    std::string out = "{\n";
    out += "  \"name\": " + json(texts::quizTitle) + ",\n";
    out += "  \"short_name\": \"" + std::string(about::name) + "\",\n";
    out += "  \"id\": \"./\",\n  \"start_url\": \"./\",\n  \"scope\": \"./\",\n  \"lang\": \"bg\",\n";
    out += "  \"display\": \"standalone\",\n";
    out += "  \"background_color\": \"" + colour(layout::windowColour) + "\",\n";
    out += "  \"theme_color\": \"" + colour(layout::windowColour) + "\",\n";
    out += "  \"icons\": [\n";
    out += "    {\"src\": \"icon-192.png\", \"sizes\": \"192x192\", \"type\": \"image/png\"},\n";
    out += "    {\"src\": \"icon-512.png\", \"sizes\": \"512x512\", \"type\": \"image/png\"}\n  ]\n}\n";
    return out;
}

bool write(const std::string& path, const std::string& text)
{
    std::ofstream file(path, std::ios::binary);
    file << text;
    file.close();
    if (!file)
        std::cerr << "pagegen: cannot write " << path << '\n';
    return static_cast<bool>(file);
}

} // namespace
} // namespace drelvan

int main(int argc, char** argv)
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() != 2) {
        std::cerr << "usage: pagegen <markup> <manifest>\n       pagegen --floor <floor>\n";
        return 2;
    }
    drelvan::Recorder start;
    drelvan::Session session(start);
    session.showAll();
    if (args[0] == "--floor")
        return drelvan::write(args[1], drelvan::floorPage(start)) ? 0 : 1;
    return drelvan::write(args[0], drelvan::page(start)) && drelvan::write(args[1], drelvan::manifest()) ? 0 : 1;
}
