#pragma once

#include <string>
#include <string_view>

namespace drelvan {

// The program's texts are UTF-16; a file, a page or a message on a terminal
// takes them in UTF-8. A lone surrogate is written as the code unit it is.
inline std::string toUtf8(std::u16string_view text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000)
            c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
        if (c < 0x80) {
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
    return out;
}

// Back from UTF-8, as a handler's message comes. What is no well-formed UTF-8
// (a stray byte; a sequence cut short, longer than its character needs, or
// of a surrogate or beyond U+10FFFF) becomes one U+FFFD, and the rest reads.
inline std::u16string fromUtf8(std::string_view text)
{
    const auto byte = [&](std::size_t at) { return static_cast<unsigned char>(text[at]); };
    constexpr char32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
    std::u16string out;
    for (std::size_t i = 0; i < text.size();) {
        const unsigned lead = byte(i);
        const std::size_t length = lead < 0x80   ? 1
                                   : lead < 0xC2 ? 0
                                   : lead < 0xE0 ? 2
                                   : lead < 0xF0 ? 3
                                   : lead < 0xF5 ? 4
                                                 : 0;
        char32_t c = length == 1 ? lead : lead & (0x7Fu >> length);
        std::size_t read = 1;
        for (; read < length && i + read < text.size() && (byte(i + read) & 0xC0) == 0x80; ++read)
            c = (c << 6) | (byte(i + read) & 0x3F);
        const bool good
            = length > 0 && read == length && c >= least[length] && (c < 0xD800 || c >= 0xE000) && c <= 0x10FFFF;
        if (!good) {
            out += u'\uFFFD';
        } else if (c < 0x10000) {
            out += static_cast<char16_t>(c);
        } else {
            out += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
            out += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        }
        i += read;
    }
    return out;
}

} // namespace drelvan
