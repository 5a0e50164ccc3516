#include "pairs/encoding.hpp"

#include <algorithm>
#include <array>
#include <cstdint>

namespace drelvan::pairs {

namespace {

// Windows-1251, bytes 0x80 to 0xFF. 0x98 has no character; Windows turns it
// into the control character U+0098, and so does this (which the reader then
// refuses as a control character).
constexpr std::array<char16_t, 128> windows1251 = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, // 80
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F, // 88
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 90
    0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, // 98
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7, // A0
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407, // A8
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7, // B0
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457, // B8
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417, // C0
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F, // C8
    0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427, // D0
    0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F, // D8
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437, // E0
    0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F, // E8
    0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447, // F0
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F, // F8
};

std::u16string hexByte(unsigned char b)
{
    constexpr char16_t digits[] = u"0123456789ABCDEF";
    return {u'0', u'x', digits[b >> 4], digits[b & 0xF]};
}

std::u16string hexUnit(char16_t u)
{
    constexpr char16_t digits[] = u"0123456789ABCDEF";
    return {u'U', u'+', digits[(u >> 12) & 0xF], digits[(u >> 8) & 0xF], digits[(u >> 4) & 0xF], digits[u & 0xF]};
}

// The well-formed UTF-8 sequence at `at`: its character and length, or a
// length of 0 (a stray continuation, a sequence cut short, overlong, a
// surrogate or beyond U+10FFFF).
std::size_t utf8Sequence(std::string_view bytes, std::size_t at, char32_t& c)
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
    const unsigned lead = byte(at);
    if (lead < 0x80) {
        c = lead;
        return 1;
    }
    const std::size_t length = lead < 0xC2 ? 0 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : lead < 0xF5 ? 4 : 0;
    if (length == 0 || at + length > bytes.size())
        return 0;
    c = lead & (0x7Fu >> length);
    for (std::size_t k = 1; k < length; ++k) {
        if ((byte(at + k) & 0xC0) != 0x80)
            return 0;
        c = (c << 6) | (byte(at + k) & 0x3F);
    }
    constexpr char32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
    if (c < least[length] || (c >= 0xD800 && c < 0xE000) || c > 0x10FFFF)
        return 0;
    return length;
}

} // namespace

bool isUtf8(std::string_view bytes)
{
    std::size_t i = 0;
    while (i < bytes.size()) {
        // Runs of ASCII, eight bytes at a time.
        while (i + 8 <= bytes.size()) {
            unsigned char word = 0;
            for (std::size_t k = 0; k < 8; ++k)
                word |= static_cast<unsigned char>(bytes[i + k]);
            if (word & 0x80)
                break;
            i += 8;
        }
        if (i >= bytes.size())
            break;
        // Cyrillic is two bytes a letter.
        const auto lead = static_cast<unsigned char>(bytes[i]);
        if (lead >= 0xC2 && lead < 0xE0 && i + 1 < bytes.size() && (static_cast<unsigned char>(bytes[i + 1]) & 0xC0) == 0x80) {
            i += 2;
            continue;
        }
        char32_t c;
        const std::size_t length = utf8Sequence(bytes, i, c);
        if (length == 0)
            return false;
        i += length;
    }
    return true;
}

TextSource::TextSource(std::string_view all) : bytes(all)
{
    const auto starts = [&](std::string_view mark) { return all.substr(0, mark.size()) == mark; };
    if (starts("\xEF\xBB\xBF")) {
        bytes.remove_prefix(3);
    } else if (starts("\xFF\xFE")) {
        encoding_ = Encoding::utf16le;
        bytes.remove_prefix(2);
    } else if (starts("\xFE\xFF")) {
        encoding_ = Encoding::utf16be;
        bytes.remove_prefix(2);
    } else if (!isUtf8(all)) {
        encoding_ = Encoding::windows1251;
    }
}

void TextSource::skip()
{
    const int taken = peek();
    next = none;
    if (taken < 0)
        return;
    if (low != 0) {
        // The first half of a character beyond U+FFFF from UTF-8: the second
        // is due from the same bytes.
        next = low;
        low = 0;
        return;
    }
    afterHigh = taken >= 0xD800 && taken < 0xDC00;
    at += length;
}

void TextSource::takePlain(std::u16string& out, std::size_t limit, char stop)
{
    const bool utf8 = encoding_ == Encoding::utf8;
    if (next != none || low != 0 || !(utf8 || encoding_ == Encoding::windows1251))
        return;
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
    std::size_t i = at;
    while (i < bytes.size() && out.size() < limit) {
        const unsigned char b = byte(i);
        if (b < 0x80) {
            if (b == '\r' || b == '\n' || b == static_cast<unsigned char>(stop))
                break;
            out += static_cast<char16_t>(b);
            ++i;
        } else if (!utf8) {
            out += windows1251[b - 0x80];
            ++i;
        } else if (b >= 0xC2 && b < 0xE0 && i + 1 < bytes.size() && (byte(i + 1) & 0xC0) == 0x80) {
            out += static_cast<char16_t>(((b & 0x1F) << 6) | (byte(i + 1) & 0x3F));
            i += 2;
        } else {
            break;
        }
    }
    if (i != at)
        afterHigh = false;
    at = i;
}

int TextSource::decode()
{
    if (low != 0)
        return low;
    if (at >= bytes.size())
        return end;
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
    switch (encoding_) {
    case Encoding::windows1251: {
        length = 1;
        const unsigned char b = byte(at);
        return b < 0x80 ? b : windows1251[b - 0x80];
    }
    case Encoding::utf8: {
        char32_t c;
        length = utf8Sequence(bytes, at, c);
        if (length == 0) {
            problem_ = u"байтът " + hexByte(byte(at)) + u" не е UTF-8, а файлът започва със знака за UTF-8";
            return bad;
        }
        if (c < 0x10000)
            return static_cast<int>(c);
        low = static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        return 0xD800 + static_cast<int>((c - 0x10000) >> 10);
    }
    case Encoding::utf16le:
    case Encoding::utf16be: {
        if (at + 1 >= bytes.size()) {
            problem_ = u"файлът свършва с половин знак UTF-16 (нечетен брой байтове)";
            return bad;
        }
        const bool big = encoding_ == Encoding::utf16be;
        const auto unit = [&](std::size_t i) {
            return static_cast<char16_t>(big ? (byte(i) << 8) | byte(i + 1) : (byte(i + 1) << 8) | byte(i));
        };
        length = 2;
        const char16_t u = unit(at);
        const bool high = u >= 0xD800 && u < 0xDC00, lowHalf = u >= 0xDC00 && u < 0xE000;
        const bool paired = high ? at + 3 < bytes.size() && unit(at + 2) >= 0xDC00 && unit(at + 2) < 0xE000
                                 : !lowHalf || afterHigh;
        if (!paired) {
            problem_ = u"половин знак UTF-16 (" + hexUnit(u) + u") без другата си половина";
            return bad;
        }
        return u;
    }
    }
    return end;
}

DecodedText decodeText(std::string_view bytes)
{
    DecodedText result;
    TextSource source(bytes);
    result.text.reserve(source.body().size());
    std::size_t line = 1;
    for (int c; (c = source.peek()) >= 0; source.skip()) {
        if (c == u'\n')
            ++line;
        result.text += static_cast<char16_t>(c);
    }
    if (source.peek() == TextSource::bad) {
        result.badLine = line;
        result.problem = source.problem();
    }
    return result;
}

} // namespace drelvan::pairs
