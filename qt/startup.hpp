#pragma once

#include "quiz/commandline.hpp"

#include <memory>
#include <string_view>

class QApplication;

namespace drelvan {

// Qt's own options, which QApplication answers: -session, -platform,
// -style...
extern const ToolkitOptions qtOptions;

// Starts Qt on the display the environment names. Where Qt cannot open it,
// the program says so in one line and ends with status 1, rather than with
// Qt's abort and its advice to reinstall.
std::unique_ptr<QApplication> openApplication(int& argc, char** argv);

// The file named on the command line cannot be played: the program says why,
// `error`, on standard error and in a message box, and returns the status it
// ends with, 2, as for any other command line it cannot follow. Where
// DRELVAN_DISMISS_MESSAGES is set (a test runs the program without anyone to
// answer it), the box closes as soon as it shows.
int refuseFile(std::u16string_view error);

} // namespace drelvan
