#pragma once

#include <windows.h>
#include <shellapi.h>

#include <filesystem>
#include <optional>

namespace drelvan::win32 {

// The platform's own dialog for opening a file, showing the kinds of file a
// teacher's pairs come in. None where the learner cancelled it.
std::optional<std::filesystem::path> askForPairFile(HWND owner);

// The first of the files dropped on a window (WM_DROPFILES), and the drop
// let go of. None where there is none.
std::optional<std::filesystem::path> droppedFile(HDROP drop);

} // namespace drelvan::win32
