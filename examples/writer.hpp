#pragma once

#include "content/exercise.hpp"

#include <string>

namespace drelvan {

// An exercise as the files a teacher keeps pairs in, the very forms that
// pairs/pairfile.hpp reads back. Both give the same bytes for the same
// exercise, so the shipped examples are reproducible.

// Spreadsheet text as a Bulgarian Excel saves and opens it: UTF-8 with a
// byte-order mark, fields separated by ';', CR LF line ends. A header of the
// two captions and the notes' caption, then one row a pair: left;right;note.
// A field is quoted (RFC 4180) where it holds the separator, a quote or a
// line break, and where it begins or ends with a blank, which many readers
// would otherwise trim.
std::string csvOf(const Exercise& exercise);

// KVTML 2, the vocabulary format of the desktop's flash-card programs: the
// title and opening text in <information>, the two captions as the
// identifiers 0 and 1, and one entry a pair, the note as the comment of its
// right text. UTF-8, no DTD, LF line ends (XML reads CR LF as LF anyway).
std::string kvtmlOf(const Exercise& exercise);

} // namespace drelvan
