#pragma once

#include <windows.h>
#include <shellapi.h>

#include "pairs/pairfile.hpp"

#include <optional>
#include <string>

namespace drelvan::win32 {

// The platform's own dialog for opening a file, showing the kinds of file a
// teacher's pairs come in. None where the learner cancelled it.
std::optional<std::u16string> askForPairFile(HWND owner);

// The first of the files dropped on a window (WM_DROPFILES), and the drop
// let go of. None where there is none.
std::optional<std::u16string> droppedFile(HDROP drop);

// The teacher's file at `path`, read by the pair reader; opened here by its
// UTF-16 name, without std::filesystem, which would more than double the
// size of the program.
PairFile readPairFileAt(const std::u16string& path);

} // namespace drelvan::win32
