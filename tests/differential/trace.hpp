#pragma once

// The differential script and the trace, for the players written in C++ (the
// Qt window's and the Windows program's); tests/web/differential.test.mjs
// reads and writes the same for the page. Plain C++, built for Linux and for
// Windows alike.
//
// A step of the script is one line: a key, with Shift+ and Ctrl+ before it
// where they are held (Tab, Shift+Tab, Up, Down, Left, Right, Home, End,
// PageUp, PageDown, Space, Enter, Escape), or "type" and the letters typed in
// one burst, which begin a search of their own. "#" begins a comment.
//
// The trace has a line for each field of each step, the step's number, its
// key, the field's name and its value apart by tabs: which control has the
// focus, the verdict box's text, and for each list its entries, its selected
// index and its first row shown. Texts are quoted, with \ " and line breaks
// escaped (a line break is LF whatever the control holds).

#include "content/utf8.hpp"

#include <array>
#include <fstream>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace drelvan::differential {

struct Step {
    int number = 0;
    std::string written; // as in the script
    // A key, or letters typed.
    std::string key;
    bool shift = false;
    bool control = false;
    std::u16string typed;
};

inline constexpr std::string_view keyNames[] = {"Tab",    "Up",       "Down",  "Left",  "Right", "Home", "End",
                                                "PageUp", "PageDown", "Space", "Enter", "Escape"};

// The script's steps; a line that is no step throws, naming it.
inline std::vector<Step> readScript(std::string_view text)
{
    std::vector<Step> steps;
    int lineNumber = 0;
    while (!text.empty()) {
        ++lineNumber;
        const std::size_t end = text.find('\n');
        std::string line(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        line = line.substr(0, line.find('#'));
        while (!line.empty() && (line.back() == ' ' || line.back() == '\r' || line.back() == '\t'))
            line.pop_back();
        const std::size_t start = line.find_first_not_of(" \t");
        if (start == std::string::npos)
            continue;
        line = line.substr(start);
        Step step;
        step.number = static_cast<int>(steps.size()) + 1;
        step.written = line;
        const auto fail = [&] { throw std::runtime_error("script line " + std::to_string(lineNumber) + ": " + line); };
        if (line.starts_with("type ")) {
            step.typed = fromUtf8(line.substr(5));
            if (step.typed.empty() || step.typed.find_first_of(u" \t") != std::u16string::npos)
                fail();
        } else {
            std::string_view key = line;
            if (key.starts_with("Shift+"))
                step.shift = true, key.remove_prefix(6);
            if (key.starts_with("Ctrl+"))
                step.control = true, key.remove_prefix(5);
            bool known = false;
            for (std::string_view name : keyNames)
                known = known || name == key;
            if (!known)
                fail();
            step.key = key;
        }
        steps.push_back(std::move(step));
    }
    return steps;
}

inline std::vector<Step> readScriptFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        throw std::runtime_error("cannot read the script " + path);
    const std::string text{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    return readScript(text);
}

struct ListSeen {
    std::vector<std::u16string> entries;
    int selected = -1;
    int top = 0;
};

// What one front-end shows after a step, read back from its controls.
struct Seen {
    std::string focus; // verdict, names, periods, reset, or none
    std::u16string verdict;
    std::array<ListSeen, 2> lists;
};

inline std::string quoted(std::u16string_view text)
{
    std::u16string out = u"\"";
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            continue;
        if (c == u'\\' || c == u'"')
            out += u'\\', out += c;
        else if (c == u'\n' || c == u'\r')
            out += c == u'\n' ? u"\\n" : u"\\r";
        else if (c == u'\t')
            out += u"\\t";
        else
            out += c;
    }
    return toUtf8(out + u'"');
}

// The step's lines of the trace; step 0 is the window as it opens.
inline std::string traceOf(int number, std::string_view key, const Seen& seen)
{
    std::string lines;
    const auto field = [&](std::string_view name, const std::string& value) {
        lines += std::to_string(number) + '\t' + std::string(key) + '\t' + std::string(name) + '\t' + value + '\n';
    };
    field("focus", seen.focus);
    field("verdict", quoted(seen.verdict));
    constexpr std::string_view fields[2][3] = {{"names", "names.selected", "names.top"},
                                               {"periods", "periods.selected", "periods.top"}};
    for (std::size_t member = 0; member < 2; ++member) {
        const ListSeen& list = seen.lists[member];
        std::string entries;
        for (const std::u16string& entry : list.entries) {
            if (!entries.empty())
                entries += ' ';
            entries += quoted(entry);
        }
        field(fields[member][0], entries);
        field(fields[member][1], std::to_string(list.selected));
        field(fields[member][2], std::to_string(list.top));
    }
    return lines;
}

// The trace, written as the steps are played so that a player that stops
// leaves the steps it did play. Every write is checked: a trace that cannot
// be written fails the player.
class TraceFile {
public:
    explicit TraceFile(const std::string& path) : path_(path), file_(path, std::ios::binary | std::ios::trunc)
    {
        if (!file_)
            throw std::runtime_error("cannot write the trace " + path);
    }
    void write(int number, std::string_view key, const Seen& seen)
    {
        file_ << traceOf(number, key, seen) << std::flush;
        if (!file_)
            throw std::runtime_error("cannot write the trace " + path_);
    }
    void close()
    {
        file_.close();
        if (file_.fail())
            throw std::runtime_error("cannot write the trace " + path_);
    }

private:
    std::string path_;
    std::ofstream file_;
};

} // namespace drelvan::differential
