#pragma once

#include "content/exercise.hpp"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace drelvan {

// What reading a teacher's file gives: a whole exercise, or one message for
// the teacher, in Bulgarian, that names the file, the line (and the field,
// where there is one) and what is wrong. Never half of a file.
struct PairFile {
    std::optional<Exercise> exercise;
    std::u16string error;

    explicit operator bool() const { return exercise.has_value(); }
};

// The largest file the reader takes, checked before a byte is read.
inline constexpr std::uintmax_t maxPairFileBytes = 16u * 1024 * 1024;

// Reads the file at `path`: spreadsheet text (.csv, .tsv, .txt) or KVTML 2
// (.kvtml), told apart by the name's extension, else by the bytes.
PairFile readPairFile(const std::filesystem::path& path);

// The same, for a file the caller opened for reading in binary mode (and
// that is closed here), or failed to open (null), called `fileName` in the
// messages. For a program that opens files by its platform's own names: the
// Windows program, which std::filesystem would more than double in size.
PairFile readPairFile(std::u16string_view fileName, std::FILE* file);

// The same, for bytes already in memory (a file dropped on a web page).
// `fileName` is the file's name as the teacher knows it, with its extension;
// the messages name it, and a spreadsheet's title is its stem.
PairFile readPairs(std::u16string_view fileName, std::string_view bytes);

// The same, where `bytes` are the first of a file of `fileSize` bytes: a
// browser hands over no more of a file than the reader takes, and a larger
// file is refused by its own size.
PairFile readPairs(std::u16string_view fileName, std::string_view bytes, std::uintmax_t fileSize);

} // namespace drelvan
