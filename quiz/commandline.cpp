#include "quiz/commandline.hpp"

#include "content/about.hpp"
#include "content/texts.hpp"

#include <algorithm>

namespace drelvan {

namespace {

std::string usage()
{
    return std::string(texts::usageLead) + std::string(about::executable) + std::string(texts::usageArguments);
}

bool isHelp(const std::string& argument) { return argument == "--help" || argument == "-h"; }
bool isVersion(const std::string& argument) { return argument == "--version" || argument == "-v"; }

enum class ToolkitOption { none, flag, withValue };

ToolkitOption toolkitOption(std::string_view argument, const ToolkitOptions& toolkit)
{
    if (argument.starts_with("--"))
        argument.remove_prefix(1);
    if (argument.size() < 2 || argument.front() != '-')
        return ToolkitOption::none;
    argument.remove_prefix(1);
    const std::size_t equals = argument.find('=');
    const auto named = [](std::span<const std::string_view> options, std::string_view name) {
        return std::find(options.begin(), options.end(), name) != options.end();
    };
    if (named(toolkit.withValue, argument.substr(0, equals)))
        return equals == std::string_view::npos ? ToolkitOption::withValue : ToolkitOption::flag;
    return named(toolkit.flags, argument) ? ToolkitOption::flag : ToolkitOption::none;
}

CommandLineAnswer usageError(const std::string& what)
{
    return {2, {}, std::string(about::executable) + ": " + what + "\n" + usage()};
}

} // namespace

CommandLine readCommandLine(const std::vector<std::string>& arguments, const ToolkitOptions& toolkit)
{
    bool help = false;
    bool ours = false;
    bool optionsEnded = false;
    std::optional<std::string> file;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        const bool option = !optionsEnded && argument.size() > 1 && argument.front() == '-';
        if (option && argument == "--") {
            optionsEnded = true;
            continue;
        }
        if (option && (isHelp(argument) || isVersion(argument))) {
            help = help || isHelp(argument);
            ours = true;
            continue;
        }
        switch (option ? toolkitOption(argument, toolkit) : ToolkitOption::none) {
        case ToolkitOption::flag:
            continue;
        case ToolkitOption::withValue:
            if (++i == arguments.size())
                return {usageError("option '" + argument + "' needs a value"), {}};
            continue;
        case ToolkitOption::none:
            break;
        }
        // "-" would be standard input, which the program does not read.
        if (option || file || argument.empty() || argument == "-")
            return {usageError((option ? "unknown option '" : "unexpected argument '") + argument + "'"), {}};
        file = argument;
    }
    if (!ours)
        return {std::nullopt, file};
    if (help)
        return {CommandLineAnswer{0, usage() + std::string(texts::helpText), {}}, {}};
    return {CommandLineAnswer{0, std::string(about::name) + " " + std::string(about::version) + "\n", {}}, {}};
}

} // namespace drelvan
