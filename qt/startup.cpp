#include "qt/startup.hpp"

#include "content/about.hpp"
#include "content/texts.hpp"

#include <QApplication>

#include <cstdio>
#include <cstdlib>

namespace drelvan {

namespace {

std::string usage()
{
    return std::string(texts::usageLead) + std::string(about::executable) + std::string(texts::usageArguments);
}

bool isHelp(const std::string& argument) { return argument == "--help" || argument == "-h"; }
bool isVersion(const std::string& argument) { return argument == "--version" || argument == "-v"; }

// Qt's own options, which QApplication takes out of the command line: a
// session manager restores the program with -session, a user may pick
// -platform or -style. They are Qt's to answer, with one dash or two.
enum class QtOption { none, flag, withValue };

QtOption qtOption(std::string argument)
{
    static const char* const withValue[] = {"platform", "platformpluginpath", "platformtheme", "plugin",
                                            "qwindowgeometry", "qwindowicon", "qwindowtitle", "session",
                                            "display", "style", "stylesheet"};
    static const char* const flags[] = {"reverse", "widgetcount", "nograb", "dograb", "sync"};
    if (argument.rfind("--", 0) == 0)
        argument.erase(0, 1);
    if (argument.size() < 2 || argument.front() != '-')
        return QtOption::none;
    argument.erase(0, 1);
    const std::size_t equals = argument.find('=');
    const std::string name = argument.substr(0, equals);
    for (const char* option : withValue)
        if (name == option)
            return equals == std::string::npos ? QtOption::withValue : QtOption::flag;
    for (const char* option : flags)
        if (argument == option)
            return QtOption::flag;
    return QtOption::none;
}

CommandLineAnswer usageError(const std::string& what)
{
    return {2, {}, std::string(about::executable) + ": " + what + "\n" + usage()};
}

} // namespace

std::optional<CommandLineAnswer> answerCommandLine(const std::vector<std::string>& arguments)
{
    bool help = false;
    bool ours = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (isHelp(argument) || isVersion(argument)) {
            help = help || isHelp(argument);
            ours = true;
            continue;
        }
        switch (qtOption(argument)) {
        case QtOption::flag:
            continue;
        case QtOption::withValue:
            if (++i == arguments.size())
                return usageError("option '" + argument + "' needs a value");
            continue;
        case QtOption::none:
            break;
        }
        const bool option = argument.size() > 1 && argument.front() == '-';
        return usageError((option ? "unknown option '" : "unexpected argument '") + argument + "'");
    }
    if (!ours)
        return std::nullopt;
    if (help)
        return CommandLineAnswer{0, usage() + std::string(texts::helpText), {}};
    return CommandLineAnswer{0, std::string(about::name) + " " + std::string(about::version) + "\n", {}};
}

namespace {

// What Qt says while it opens the display, held back until it is known
// whether it could: its failure is told in one line of our own instead.
struct HeldMessage {
    QtMsgType type;
    const char* file;
    int line;
    const char* function;
    const char* category;
    QString text;
};

std::vector<HeldMessage>* heldMessages = nullptr;
QtMessageHandler qtHandler = nullptr;

void replay(const HeldMessage& message)
{
    const QMessageLogContext context(message.file, message.line, message.function, message.category);
    qtHandler(message.type, context, message.text);
}

// Why there is no window, in one line. The platform is the user's choice
// where QT_QPA_PLATFORM names one; otherwise Qt takes X or Wayland. Only a
// failure that is not about reaching the display keeps Qt's own details.
struct Failure {
    QByteArray line;
    bool keepQtDetails = false;
};

Failure whyNoWindow(bool couldNotConnect)
{
    QByteArray platform = qgetenv("QT_QPA_PLATFORM").split(';').constFirst().split(':').constFirst().trimmed();
    const QByteArray x = qgetenv("DISPLAY");
    const QByteArray wayland = qgetenv("WAYLAND_DISPLAY");
    const QByteArray me = QByteArray(about::executable.data(), qsizetype(about::executable.size())) + ": ";
    const QByteArray nowhere = me + "no display to show the quiz on: ";
    if (platform.isEmpty()) {
        if (x.isEmpty() && wayland.isEmpty())
            return {nowhere + "neither DISPLAY nor WAYLAND_DISPLAY is set\n"};
        platform = x.isEmpty() ? "wayland" : "xcb";
    }
    const bool isX = platform.startsWith("xcb");
    if (isX || platform.startsWith("wayland")) {
        const QByteArray variable = isX ? "DISPLAY" : "WAYLAND_DISPLAY";
        const QByteArray display = isX ? x : wayland;
        if (display.isEmpty())
            return {nowhere + variable + " is not set\n"};
        if (couldNotConnect)
            return {me + "cannot open the display \"" + display + "\" (" + variable + ")\n"};
    }
    return {me + "the display platform \"" + platform + "\" could not be started\n", true};
}

void holdBack(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    if (type != QtFatalMsg) {
        heldMessages->push_back({type, context.file, context.line, context.function, context.category, text});
        return;
    }
    // Qt gives up: no platform plugin could be started.
    bool couldNotConnect = false;
    for (const HeldMessage& message : *heldMessages)
        couldNotConnect = couldNotConnect || message.text.contains(QLatin1String("could not connect to display"))
                          || message.text.contains(QLatin1String("Failed to create wl_display"));
    const Failure failure = whyNoWindow(couldNotConnect);
    std::fputs(failure.line.constData(), stderr);
    if (failure.keepQtDetails)
        for (const HeldMessage& message : *heldMessages)
            replay(message);
    std::fflush(stderr);
    std::_Exit(1); // inside QApplication's constructor: nothing to tidy, nothing to save
}

} // namespace

std::unique_ptr<QApplication> openApplication(int& argc, char** argv)
{
    std::vector<HeldMessage> messages;
    heldMessages = &messages;
    qtHandler = qInstallMessageHandler(holdBack);
    auto application = std::make_unique<QApplication>(argc, argv);
    qInstallMessageHandler(qtHandler);
    heldMessages = nullptr;
    for (const HeldMessage& message : messages)
        replay(message);
    return application;
}

} // namespace drelvan
