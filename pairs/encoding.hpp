#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace drelvan::pairs {

// How a teacher's file is written, told from its first bytes: a byte order
// mark, else its bytes: UTF-8 where they are well-formed UTF-8, else the
// Windows code page of Cyrillic, as Excel saves CSV in a Bulgarian Windows.
enum class Encoding { utf8, utf16le, utf16be, windows1251 };

// The file's text in UTF-16, without its byte order mark; or where the bytes
// are not what the mark says, the line (from 1) and what is wrong.
struct DecodedText {
    std::u16string text;
    Encoding encoding = Encoding::utf8;
    std::size_t badLine = 0; // 0 when the text is whole
    std::u16string problem;
};

DecodedText decodeText(std::string_view bytes);

} // namespace drelvan::pairs
