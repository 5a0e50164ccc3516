#pragma once

#include "content/exercise.hpp"

#include <optional>
#include <string>
#include <string_view>

namespace drelvan {

// An exercise as one run of UTF-16 code units, for handing it from one
// WebAssembly module to another (the web page reads teachers' files in a
// module of its own, which the quiz's start does not load). Every text goes
// with its length, so any code unit, U+0000 included, comes back as it was.
std::u16string packExercise(const Exercise& exercise);

// The exercise that packExercise() made of `packed`; nothing where `packed`
// is not whole (cut short, or with units left over).
std::optional<Exercise> unpackExercise(std::u16string_view packed);

} // namespace drelvan
