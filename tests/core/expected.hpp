#pragma once

// What the core's tests compare with, in plain C++ so that the same tests run
// on Linux and, built for Windows, under Wine.

#include "controls/controls.hpp"
#include "core/khans.hpp"

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
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size())
            c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
        if (c == u'\r' || c == u'\n') {
            out += c == u'\r' ? "\\r" : "\\n";
        } else if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return '"' + out + '"';
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
