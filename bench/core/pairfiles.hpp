#pragma once

// The teachers' files the benchmarks open, made by the benchmarks
// themselves: spreadsheet text (CSV, UTF-8, ';' between the cells, every
// cell quoted), a header row with the captions and then one row a pair.
// Plain C++, for the Linux and the Windows drivers alike.

#include "content/exercise.hpp"
#include "content/utf8.hpp"

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <string>
#include <string_view>

namespace drelvan::benchfiles {

inline constexpr int mostPairs = 32767;          // what a list box holds
inline constexpr std::size_t mostBytes = 1 << 24; // the largest file read, 16 MiB

inline void cell(std::string& out, std::string_view text, char after)
{
    out += '"';
    for (const char c : text) {
        if (c == '"')
            out += '"';
        out += c;
    }
    out += '"';
    out += after;
}

inline void row(std::string& out, std::string_view left, std::string_view right, std::string_view note)
{
    cell(out, left, ';');
    cell(out, right, ';');
    cell(out, note, '\n');
}

// The built-in khans, as a teacher would write them down: their captions
// over the names and the periods, and the notes.
inline std::string khans()
{
    const Exercise khans = builtInExercise();
    std::string out;
    row(out, toUtf8(khans.leftCaption), toUtf8(khans.rightCaption), "Бележка");
    for (const Pair& pair : khans.pairs)
        row(out, toUtf8(pair.left), toUtf8(pair.right), toUtf8(pair.note));
    return out;
}

// `count` pairs of Bulgarian words and numbers, each left text once, in no
// order the lists keep. With `bytes`, the notes are filled with Cyrillic
// text until the file is that long, or just under it.
inline std::string pairs(int count, std::size_t bytes = 0)
{
    std::string out;
    row(out, "Дума", "Значение", "Бележка");
    const std::size_t perRow = bytes ? (bytes - out.size()) / static_cast<std::size_t>(count) : 0;
    for (int i = 0; i < count; ++i) {
        const int n = static_cast<int>((static_cast<std::int64_t>(i) * 7919) % count) + 1; // a permutation
        const std::string number = std::to_string(n);
        std::string left = "дума ";
        left.append(number);
        std::string right = "значение ";
        right.append(std::to_string((static_cast<std::int64_t>(n) * 31) % count));
        std::string note = "бележка ";
        note.append(number);
        // Each cell's quotes, the separators and the line break take 9 bytes.
        const std::size_t cells = left.size() + right.size() + 9;
        while (perRow && cells + note.size() + 2 <= perRow)
            note.append(note.size() % 12 == 0 ? " " : "ж"); // a Cyrillic letter is two bytes
        row(out, left, right, note);
    }
    return out;
}

// A file the reader takes by its size and refuses by its content: one line,
// exactly the largest size, and so one text far longer than any may be.
inline std::string oneLongLine()
{
    return std::string(mostBytes, 'a');
}

inline bool write(const std::string& path, const std::string& bytes)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(file);
}

} // namespace drelvan::benchfiles
