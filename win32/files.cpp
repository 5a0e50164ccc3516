#include "win32/files.hpp"

#include "win32/systemlibrary.hpp"

#include <commdlg.h>

#include <vector>

namespace drelvan::win32 {

namespace {

// The shell and the common dialogs are loaded only when a file is dropped or
// chosen: the program starts without them.
SystemLibrary shell32(L"shell32.dll");
SystemLibrary comdlg32(L"comdlg32.dll");

using DragQueryFileWFn = UINT(WINAPI*)(HDROP, UINT, LPWSTR, UINT);
using DragFinishFn = void(WINAPI*)(HDROP);
using GetOpenFileNameWFn = BOOL(WINAPI*)(OPENFILENAMEW*);

// What the dialog lists: its one kind, then the names it takes, each ended by
// a null, and a null after the last.
constexpr wchar_t pairFileFilter[] = L"Двойки (*.csv;*.tsv;*.txt;*.kvtml)\0*.csv;*.tsv;*.txt;*.kvtml\0";

// Room for a path of the longest length Windows allows.
constexpr DWORD longestPath = 32768;

} // namespace

std::optional<std::filesystem::path> askForPairFile(HWND owner)
{
    static const auto getOpenFileName = comdlg32.function<GetOpenFileNameWFn>("GetOpenFileNameW");
    if (!getOpenFileName)
        return std::nullopt;
    std::vector<wchar_t> name(longestPath, L'\0');
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = pairFileFilter;
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = name.data();
    dialog.nMaxFile = longestPath;
    // The program writes nothing, the current folder of the process included.
    dialog.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    if (!getOpenFileName(&dialog))
        return std::nullopt;
    return std::filesystem::path(name.data());
}

std::optional<std::filesystem::path> droppedFile(HDROP drop)
{
    static const auto query = shell32.function<DragQueryFileWFn>("DragQueryFileW");
    static const auto finish = shell32.function<DragFinishFn>("DragFinish");
    std::optional<std::filesystem::path> file;
    if (query && query(drop, 0xFFFFFFFF, nullptr, 0) > 0) {
        std::vector<wchar_t> name(query(drop, 0, nullptr, 0) + 1, L'\0');
        if (query(drop, 0, name.data(), static_cast<UINT>(name.size())) > 0)
            file = std::filesystem::path(name.data());
    }
    if (finish)
        finish(drop);
    else
        GlobalFree(drop);
    return file;
}

} // namespace drelvan::win32
