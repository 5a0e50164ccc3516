#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace drelvan::pairs {

// How a teacher's file is written, told from its first bytes: a byte order
// mark, else its bytes: UTF-8 where they are well-formed UTF-8, else the
// Windows code page of Cyrillic, as Excel saves CSV in a Bulgarian Windows.
enum class Encoding { utf8, utf16le, utf16be, windows1251 };

// A file's text, decoded one UTF-16 code unit at a time as a reader asks for
// it: a reader that stops at a limit has not decoded the rest.
class TextSource {
public:
    static constexpr int end = -1;
    static constexpr int bad = -2; // bytes that are not what the mark says: problem()

    explicit TextSource(std::string_view bytes);

    Encoding encoding() const { return encoding_; }
    // The bytes after the byte order mark.
    std::string_view body() const { return bytes; }

    // The next code unit, without taking it; end or bad.
    int peek()
    {
        if (next == none)
            next = decode();
        return next;
    }
    void skip();
    // Takes the code units from here on onto `out` while it is shorter than
    // `limit`, as peek() and skip() one by one would, up to the first CR, LF
    // or `stop` (none of them taken), or the first unit this does not decode
    // itself: anything but ASCII and two-byte UTF-8 in UTF-8, and anything in
    // UTF-16. What is left, peek() and skip() go on with.
    void takePlain(std::u16string& out, std::size_t limit, char stop);

    const std::u16string& problem() const { return problem_; }

private:
    static constexpr int none = -3;
    int decode();

    std::string_view bytes;
    Encoding encoding_ = Encoding::utf8;
    std::size_t at = 0;
    int next = none;
    std::size_t length = 0; // of the next unit's bytes
    char16_t low = 0; // the second half of a character beyond U+FFFF, due next
    bool afterHigh = false;
    std::u16string problem_;
};

// The whole text in UTF-16; where the bytes are bad, the line (from 1) of the
// problem, else 0.
struct DecodedText {
    std::u16string text;
    std::size_t badLine = 0;
    std::u16string problem;
};

DecodedText decodeText(std::string_view bytes);

// Whether the bytes are well-formed UTF-8, as a file without a mark is read.
bool isUtf8(std::string_view bytes);

} // namespace drelvan::pairs
