// Writes the page's markup and style, and its web app manifest, from the
// core: the texts of content/texts.hpp, the places and colours of
// content/layout.hpp (1 CSS pixel = 15 twips), what the program is called,
// and the window as the quiz shows it at the start. Built for and run under
// Node at build time; web/assemble.mjs then adds the script.
//
//     pagegen <markup> <manifest> <font>
//
// writes the page's markup (index.html without its script) and the manifest;
// <font> is a TrueType file of the window's face or of one with its metrics
// (Liberation Serif for Times New Roman), which gives a list's row height.
//
//     pagegen --floor <floor>
//
// writes the benchmark's floor page.

#include "content/about.hpp"
#include "content/layout.hpp"
#include "content/texts.hpp"
#include "content/utf8.hpp"
#include "quiz/frontend.hpp"
#include "quiz/session.hpp"
#include "web/pagetexts.hpp"

#include <array>
#include <cmath>
#include <cstdio>
#include <cstdint>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace drelvan {
namespace {

// The sunken frame of the lists and the verdict box, in CSS pixels.
constexpr int frameWidth = 2;
// The blank before an entry's text.
constexpr int textMargin = 3;
// A face that stands in for the quiz's shrinks no smaller than this to fit.
constexpr int smallestPoints = 8;
// Where the pointer is a finger: the least height of a target (an entry,
// the button), and the blank around and between the controls.
constexpr int touchTarget = 44;
constexpr int touchGap = 8;


// The height of a line of text in the window's font, in CSS pixels: its
// ascent and descent (the 'hhea' table of a TrueType file), each rounded
// to whole pixels as the desktop windows and the browser round them. A
// list's row is this high, as in the desktop windows; the page's script
// measures it again in the face the browser has. 0 where the file is no
// TrueType font.
int lineHeight(const std::string& font)
{
    std::ifstream file(font, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    const auto number = [&bytes](std::size_t at) -> long {
        return at + 1 < bytes.size()
            ? static_cast<long>(static_cast<unsigned char>(bytes[at])) << 8 | static_cast<unsigned char>(bytes[at + 1])
            : 0;
    };
    const auto table = [&](std::string_view tag) -> std::size_t {
        for (std::size_t record = 12; record < 12 + 16 * static_cast<std::size_t>(number(4)); record += 16) {
            if (bytes.compare(record, 4, tag) == 0)
                return static_cast<std::size_t>(number(record + 8) << 16 | number(record + 10));
        }
        return 0;
    };
    const std::size_t head = table("head"), hhea = table("hhea");
    const long unitsPerEm = head ? number(head + 18) : 0;
    if (!hhea || unitsPerEm == 0)
        return 0;
    const double pixels = layout::fontPoints * 96.0 / 72.0 / static_cast<double>(unitsPerEm);
    const auto signedNumber = [&](std::size_t at) { return static_cast<double>(static_cast<int16_t>(number(at))); };
    return static_cast<int>(std::lround(signedNumber(hhea + 4) * pixels) + std::lround(-signedNumber(hhea + 6) * pixels));
}

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

// Where the pointer is a finger (phones, tablets, touch screens), the same
// controls fill the screen in a grid instead: the lists side by side with
// rows a finger can hit, and the verdict box below them, or beside them on a
// screen wider than high. The lists take the height that is left. Until the
// page has measured the row, it is the one measured here (`rowHeight`), as
// with a mouse: without it the first frame would show rows of the browser's
// own height, and the finger's taps before the quiz starts would miss.
std::string touchStyle(int rowHeight)
{
    const std::string gap = std::to_string(touchGap) + "px";
    const std::string target = std::to_string(touchTarget) + "px";
    std::string css = "@media (pointer:coarse){\n";
    css += "#window{display:grid;box-sizing:border-box;width:auto;height:100vh;height:100dvh;overflow:visible;padding:"
        + gap + ";gap:" + gap + ";grid:\"t t\" auto \"a b\" auto \"n p\" minmax(" + std::to_string(3 * touchTarget)
        + "px,1fr) \"v v\" minmax(7em,auto) \"r r\" auto/minmax(0,1fr) minmax(0,1fr)}\n";
    css += "#window>*{position:static;width:auto;height:auto;min-width:0}\n";
    css += ".label{white-space:normal;padding:2px}\n";
    css += "[role=listbox]{--line:max(" + target + ",var(--row," + std::to_string(rowHeight) + "px))}\n";
    css += "button{min-height:" + target + "}\n";
    css += "#title{grid-area:t}#namesCaption{grid-area:a}#periodsCaption{grid-area:b}#names{grid-area:n}"
           "#periods{grid-area:p}#verdict{grid-area:v}#reset{grid-area:r}\n";
    css += "@media (orientation:landscape){#window{grid:\"t t t\" auto \"a b r\" auto \"n p v\" minmax("
        + std::to_string(3 * touchTarget) + "px,1fr)/minmax(0,1fr) minmax(0,1fr) minmax(0,1.5fr)}}\n";
    return css + "}\n";
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
    // A caption too long for its place is cut short (its tooltip holds it
    // whole, web/page.js).
    css += ".label{overflow:hidden;text-overflow:ellipsis}\n";
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

std::string style(int rowHeight)
{
    std::string css;
    // A row is the font's height (--row, which the script measures in the
    // face in use), as in the desktop windows. The blank after the last row
    // lets the last rows be scrolled to the top of a list whose height is
    // not a whole number of rows.
    // An entry wider than its list scrolls the list sideways, as in the
    // desktop windows, and is marked across its whole width.
    css += "[role=listbox]{--line:var(--row," + std::to_string(rowHeight) + "px);overflow:auto;line-height:var(--line);"
           "white-space:pre;user-select:none;-webkit-user-select:none;touch-action:pan-x pan-y;cursor:default}\n";
    css += "[role=listbox]::after{content:'';display:block;height:calc(var(--line) - 1px)}\n";
    css += "[role=option]{padding:0 " + std::to_string(textMargin) + "px;box-sizing:border-box;min-width:100%;width:max-content}\n";
    css += "[aria-selected=true]{background:#000080;color:#fff}\n";
    css += ".focused .caret{outline:1px dotted #808080;outline-offset:-1px}\n";
    css += "[aria-selected=true].caret{outline-color:#ffff00}\n";
    css += ".message{margin:0;padding:8px;background:#fff;border-bottom:2px solid #000080}\n";
    // A failure's report lies over the window's top until dismissed.
    css += "#failure{position:fixed;top:0;left:0;right:0;white-space:pre-line}\n";
    css += "#failure button{float:right;padding:0 1em;min-height:2em}\n";
    css += ".spoken{position:absolute;top:0;width:1px;height:1px;overflow:hidden;clip-path:inset(50%);white-space:nowrap}\n";
    return windowStyle("[role=listbox]", css) + touchStyle(rowHeight);
}

// The head of the page and of the floor: the window title, the theme's
// colour and the icon. The page's policy goes at `<!--CSP-->`. The manifest
// is linked by the page's script, where the page is served: from file://
// the browser refuses to load it, with an error.
std::string head(std::string_view policy, const std::string& css)
{
    const std::u16string title = std::u16string(about::webAddress) + std::u16string(texts::titleSuffix);
    std::string out;
    out += "<!DOCTYPE html>\n<html lang=\"bg\">\n<head>\n<meta charset=\"utf-8\">\n" + std::string(policy);
    out += "<meta name=\"viewport\" content=\"width=device-width,initial-scale=1\">\n";
    out += "<title>" + html(title) + "</title>\n";
    out += "<meta name=\"theme-color\" content=\"" + colour(layout::windowColour) + "\">\n";
    out += "<link rel=\"icon\" href=\"icon-192.png\">\n";
    return out + "<style>" + css + "</style>\n</head>\n<body>\n";
}

std::string page(const Recorder& start, int rowHeight)
{
    std::string out = head("<!--CSP-->\n", style(rowHeight));
    out += "<noscript><p class=\"message\">" + html(web::noScript) + "</p></noscript>\n";
    out += "<p class=\"message\" id=\"nowasm\" role=\"alert\" hidden>" + html(web::noWebAssembly) + "</p>\n";
    out += "<main id=\"window\" data-smallest=\"" + std::to_string(smallestPoints) + "\" data-row=\""
        + std::to_string(rowHeight) + "\">\n";
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
    // A handler's failure, said where it happened; after "Чисти" in Tab order.
    // A teacher's file that did not open is said there too: the reader's
    // message, or the page's own when the file did not reach it.
    out += "<div class=\"message\" id=\"failure\" role=\"alert\" hidden data-disk=\"" + html(web::fromDisk)
        + "\" data-origin=\"" + html(web::otherOrigin) + "\" data-unfetched=\"" + html(web::unfetched)
        + "\" data-offline=\"" + html(web::offline) + "\" data-unreadable=\"" + html(web::unreadable)
        + "\" data-incomplete=\"" + html(web::incomplete)
        + "\"><button type=\"button\">" + html(web::dismiss) + "</button><span></span></div>\n";
    out += "<!--SCRIPT-->\n</body>\n</html>\n";
    return out;
}

// The benchmark's floor: the same window in the browser's own controls
// (two <select size=8>, a read-only <textarea>, a <button> and the labels),
// with no script. Not part of the page.
// It shows as many rows as the page's lists were drawn for in the
// browser's own row height.
constexpr int floorRows = 8;

std::string selectList(std::string_view id, const Recorder::List& list)
{
    std::string out = "<select id=\"" + std::string(id) + "\" size=\"" + std::to_string(floorRows) + "\">";
    for (std::size_t row = 0; row < list.entries.size(); ++row)
        out += std::string(static_cast<int>(row) == list.selected ? "<option selected>" : "<option>")
            + html(list.entries[row]) + "</option>";
    return out + "</select>\n";
}

std::string floorPage(const Recorder& start)
{
    // An option's height is the browser's own (it keeps line-height at
    // normal): rows of 19 pixels where the page's are the font's, 17.
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
    // The installed app opens a teacher's files (a Chromebook's Files app);
    // the page takes them from launchQueue.
    out += "  \"file_handlers\": [{\"action\": \"./\", \"accept\": {\"text/csv\": [\".csv\"], "
           "\"text/tab-separated-values\": [\".tsv\"], \"application/x-kvtml\": [\".kvtml\"]}}],\n";
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
    const bool floor = args.size() == 2 && args[0] == "--floor";
    if (!floor && args.size() != 3) {
        std::cerr << "usage: pagegen <markup> <manifest> <font>\n       pagegen --floor <floor>\n";
        return 2;
    }
    drelvan::Recorder start;
    drelvan::Session session(start);
    session.showAll();
    if (floor)
        return drelvan::write(args[1], drelvan::floorPage(start)) ? 0 : 1;
    const int rowHeight = drelvan::lineHeight(args[2]);
    if (rowHeight <= 0) {
        std::cerr << "pagegen: no TrueType font: " << args[2] << '\n';
        return 1;
    }
    return drelvan::write(args[0], drelvan::page(start, rowHeight)) && drelvan::write(args[1], drelvan::manifest()) ? 0
                                                                                                                 : 1;
}
