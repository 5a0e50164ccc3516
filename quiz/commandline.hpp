#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace drelvan {

// What the program prints and the status it ends with when its command line
// asks for something other than the quiz.
struct CommandLineAnswer {
    int status = 0;
    std::string out; // for standard output
    std::string err; // for standard error
};

// The options the window toolkit takes out of the command line itself (a
// session manager restores the program with one, a user may pick a platform
// or a style). They are the toolkit's to answer, with one dash or two.
struct ToolkitOptions {
    std::span<const std::string_view> withValue; // "-name value" or "-name=value"
    std::span<const std::string_view> flags;
};

// What the command line asks for: an answer, printed without a window, or
// the quiz, on a teacher's file of pairs where one is named.
struct CommandLine {
    std::optional<CommandLineAnswer> answer;
    std::optional<std::string> file; // as given (UTF-8 on Windows too)
};

// The arguments after the program's name. `--help` and `--version` are
// answered here, before any display is opened; the toolkit's options are
// left to it; one argument that is no option names a file ("--" ends the
// options, for a file whose name begins with a dash); anything else is a
// usage error (status 2).
CommandLine readCommandLine(const std::vector<std::string>& arguments, const ToolkitOptions& toolkit);

} // namespace drelvan
