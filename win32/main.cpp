#include "win32/program.hpp"

#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int showCommand)
{
    // Libraries come from the system directory only, never from beside the
    // program: it runs from wherever it was copied, a USB stick included.
    SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    return drelvan::win32::runQuiz(showCommand);
}
