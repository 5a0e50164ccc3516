#pragma once

#include "quiz/commandline.hpp"

#include <memory>

class QApplication;

namespace drelvan {

// Qt's own options, which QApplication answers: -session, -platform,
// -style...
extern const ToolkitOptions qtOptions;

// Starts Qt on the display the environment names. Where Qt cannot open it,
// the program says so in one line and ends with status 1, rather than with
// Qt's abort and its advice to reinstall.
std::unique_ptr<QApplication> openApplication(int& argc, char** argv);

} // namespace drelvan
