#pragma once

// What the core's tests compare with, in plain C++ so that the same tests run
// on Linux and, built for Windows, under Wine.

#include "controls/controls.hpp"
#include "core/khans.hpp"
#include "content/utf8.hpp"

#include <doctest/doctest.h>

#include <string>
#include <vector>

inline Texts entriesOf(const drelvan::ListBox& list)
{
    return list.entries();
}

inline int indexOf(const Texts& texts, std::u16string_view text)
{
    for (std::size_t i = 0; i < texts.size(); ++i)
        if (texts[i] == text)
            return static_cast<int>(i);
    return -1;
}

inline bool contains(const Texts& texts, std::u16string_view text)
{
    return indexOf(texts, text) >= 0;
}

inline bool contains(std::u16string_view text, std::u16string_view part)
{
    return text.find(part) != std::u16string_view::npos;
}

using expected::alphabeticalNames;
using expected::chronologicalNames;
using expected::periods;

// A failed comparison shows the texts in UTF-8, with the control characters
// and the blanks at either end made visible.
inline std::string utf8(std::u16string_view text)
{
    std::u16string shown;
    for (const char16_t c : text)
        shown += c == u'\r' ? std::u16string_view(u"\\r") : c == u'\n' ? std::u16string_view(u"\\n") : std::u16string_view(&c, 1);
    return '"' + drelvan::toUtf8(shown) + '"';
}

namespace doctest {
template <>
struct StringMaker<std::u16string> {
    static String convert(const std::u16string& text) { return utf8(text).c_str(); }
};
template <>
struct StringMaker<Texts> {
    static String convert(const Texts& texts)
    {
        std::string out = "{";
        for (const auto& text : texts)
            out += (out.size() > 1 ? ", " : "") + utf8(text);
        return (out + "}").c_str();
    }
};
} // namespace doctest
