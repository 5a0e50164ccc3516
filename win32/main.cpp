#include "win32/program.hpp"

#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int showCommand)
{
    // Libraries come from the system directory only, never from beside the
    // program: it runs from wherever it was copied, a USB stick included.
    SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    // The command line in UTF-16, as the C run-time split it for wWinMain
    // (CommandLineToArgvW would load the shell at every start).
    std::vector<std::u16string> arguments;
    for (int i = 1; i < __argc; ++i)
        arguments.emplace_back(reinterpret_cast<const char16_t*>(__wargv[i]));
    return drelvan::win32::runQuiz(showCommand, arguments);
}
