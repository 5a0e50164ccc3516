#include "qt/startup.hpp"

#include "qt/qtext.hpp"

#include "content/about.hpp"
#include "content/utf8.hpp"

#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <iostream>

namespace drelvan {

namespace {

constexpr std::string_view qtWithValue[] = {"platform", "platformpluginpath", "platformtheme", "plugin",
                                            "qwindowgeometry", "qwindowicon", "qwindowtitle", "session",
                                            "display", "style", "stylesheet"};
constexpr std::string_view qtFlags[] = {"reverse", "widgetcount", "nograb", "dograb", "sync"};

} // namespace

// QApplication takes these out of the command line itself.
const ToolkitOptions qtOptions{qtWithValue, qtFlags};

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

int refuseFile(std::u16string_view error)
{
    std::cerr << about::executable << ": " << toUtf8(error) << std::endl;
    if (qEnvironmentVariableIsSet("DRELVAN_DISMISS_MESSAGES"))
        QTimer::singleShot(0, qApp, [] {
            if (QWidget* box = QApplication::activeModalWidget())
                box->close();
        });
    QMessageBox::critical(nullptr, QString::fromLatin1(about::name.data(), static_cast<qsizetype>(about::name.size())),
                          toQString(error));
    return 2;
}

} // namespace drelvan
