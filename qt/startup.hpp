#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

class QApplication;

namespace drelvan {

// What the program prints and the status it ends with when its command line
// asks for something other than the quiz.
struct CommandLineAnswer {
    int status = 0;
    std::string out; // for standard output
    std::string err; // for standard error
};

// The arguments after the program's name. `--help` and `--version` are
// answered here, before any display is opened; Qt's own options (-session,
// -platform, -style...) are left to Qt; anything else is a usage error
// (status 2). Without an answer the quiz starts.
std::optional<CommandLineAnswer> answerCommandLine(const std::vector<std::string>& arguments);

// Starts Qt on the display the environment names. Where Qt cannot open it,
// the program says so in one line and ends with status 1, rather than with
// Qt's abort and its advice to reinstall.
std::unique_ptr<QApplication> openApplication(int& argc, char** argv);

} // namespace drelvan
