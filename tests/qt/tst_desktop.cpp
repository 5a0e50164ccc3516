#include "support.hpp"

#include "qt/application.hpp"
#include "qt/listboxview.hpp"
#include "qt/quizwindow.hpp"

#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>

// The quiz on desktops unlike the developer's: started from a terminal, with
// or without a display, in Bulgarian (CTest runs this test with
// LANG=bg_BG.UTF-8), and under a dark palette.
class DesktopTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void commandLine_data();
    void commandLine();
    void qtTextsInBulgarian();
    void darkPalette();

private:
    QTemporaryDir files;
};

// Files of pairs for the command line: {good} plays, {bad} has a header row
// of one cell.
void DesktopTest::initTestCase()
{
    QVERIFY(files.isValid());
    for (const auto& [name, bytes] : {std::pair{"Животни.tsv", "Дума\tПревод\nкотка\tcat\nкуче\tdog\n"}, {"bad.tsv", "Дума\n"}}) {
        QFile file(files.filePath(QString::fromUtf8(name)));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
}

// Each row: the command line after the program's name, with NAME=value
// settings of the environment first (no display is set otherwise); the exit
// status, -1 where the program is still running with its window after 2 s;
// patterns for all it prints on standard output and standard error.
void DesktopTest::commandLine_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("out");
    QTest::addColumn<QString>("err");
    const auto row = [](const char* name, const QString& command, int status, const QString& out, const QString& err) {
        QTest::addRow("%s", name) << command << status << out << err;
    };
    const QString usage = u"Usage: drelvan \\[--help\\] \\[--version\\] \\[FILE\\]\n"_s;
    row("help", u"--help"_s, 0, usage + u"(.*\n)+"_s, {});
    row("version", u"-v"_s, 0, u"Drelvan "_s + q(u"" DRELVAN_VERSION) + u"\n"_s, {});
    row("unknown option", u"--help --fullscreen"_s, 2, {}, u"drelvan: unknown option '--fullscreen'\n"_s + usage);
    row("two files", u"хан кан"_s, 2, {}, u"drelvan: unexpected argument 'кан'\n"_s + usage);
    // A file that cannot be played is refused before the quiz shows: on
    // standard error and in a message box, which closes itself here.
    row("file", u"QT_QPA_PLATFORM=offscreen {good}"_s, -1, {}, u"(.*\n)*"_s);
    row("bad file", u"QT_QPA_PLATFORM=offscreen DRELVAN_DISMISS_MESSAGES=1 {bad}"_s, 2, {},
        u"(.*\n)*drelvan: bad\\.tsv, ред 1: [^\n]+\n(.*\n)*"_s);
    row("missing file", u"QT_QPA_PLATFORM=offscreen DRELVAN_DISMISS_MESSAGES=1 -- -хан.csv"_s, 2, {},
        u"(.*\n)*drelvan: -хан\\.csv: [^\n]+\n(.*\n)*"_s);
    row("no display", {}, 1, {}, u"drelvan: no display to show the quiz on: [^\n]+\n"_s);
    row("X chosen, none set", u"QT_QPA_PLATFORM=xcb"_s, 1, {}, u"drelvan: [^\n]+: DISPLAY is not set\n"_s);
    row("unreachable", u"DISPLAY=:65000"_s, 1, {}, u"drelvan: cannot open the display \":65000\" \\(DISPLAY\\)\n"_s);
    row("offscreen chosen", u"QT_QPA_PLATFORM=offscreen"_s, -1, {}, u"(.*\n)*"_s);
    // A session manager restores the program with Qt's own options.
    row("Qt's options", u"QT_QPA_PLATFORM=offscreen -session 1f2e -style=Windows --reverse"_s, -1, {}, u"(.*\n)*"_s);
    row("Qt's option without its value", u"-session"_s, 2, {}, u"drelvan: option '-session' needs a value\n"_s + usage);
    row("Qt's option, then one of ours", u"-platform offscreen --version"_s, 0, u"Drelvan "_s + q(u"" DRELVAN_VERSION) + u"\n"_s, {});
}

void DesktopTest::commandLine()
{
    QFETCH(QString, command);
    QFETCH(int, status);
    QFETCH(QString, out);
    QFETCH(QString, err);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "XDG_SESSION_TYPE"})
        env.remove(QString::fromLatin1(name));
    QStringList arguments = QString(command)
                                .replace(u"{good}"_s, files.filePath(u"Животни.tsv"_s))
                                .replace(u"{bad}"_s, files.filePath(u"bad.tsv"_s))
                                .split(u' ', Qt::SkipEmptyParts);
    while (!arguments.isEmpty() && arguments.constFirst().contains(u'=')) {
        const QString setting = arguments.takeFirst();
        env.insert(setting.section(u'=', 0, 0), setting.section(u'=', 1));
    }
    QProcess program;
    program.setProcessEnvironment(env);
    program.start(QStringLiteral(DRELVAN_PROGRAM), arguments);
    const bool ended = program.waitForFinished(status < 0 ? 2000 : 30000);
    if (!ended) {
        program.kill();
        program.waitForFinished();
    }
    QCOMPARE(ended ? program.exitCode() : -1, status);
    const auto matches = [](const QString& pattern, const QByteArray& text) {
        return QRegularExpression(QRegularExpression::anchoredPattern(pattern)).match(QString::fromUtf8(text)).hasMatch();
    };
    const QByteArray printed = program.readAllStandardOutput();
    const QByteArray complained = program.readAllStandardError();
    QVERIFY2(matches(out, printed), printed.constData());
    QVERIFY2(matches(err, complained), complained.constData());
}

// Qt's own texts follow the desktop's language, the quiz's stay as they are.
void DesktopTest::qtTextsInBulgarian()
{
    QVERIFY2(QLocale::system().uiLanguages().constFirst().startsWith(u"bg"_s), "run with LANG=bg_BG.UTF-8, as CTest does");
    drelvan::setUpApplication();
    drelvan::QuizWindow window;
    std::unique_ptr<QMenu> menu(window.findChild<QPlainTextEdit*>(u"verdict"_s)->createStandardContextMenu());
    QStringList entries;
    for (const QAction* action : menu->actions())
        entries << action->text().section(u'\t', 0, 0);
    QVERIFY2(entries.contains(u"&Копиране"_s), qPrintable(entries.join(u", "_s)));
    QCOMPARE(window.findChild<QPushButton*>(u"reset"_s)->text(), u"Чисти"_s);

    window.session().model().List1(4).Clear(); // a right pair now fails: the error box shows
    window.session().pick(0, 5);
    window.session().pick(1, 12);
    QCOMPARE(window.findChild<QMessageBox*>(u"runtimeError"_s)->button(QMessageBox::Ok)->text(), u"Добре"_s);
}

namespace {
double contrast(QColor one, QColor other)
{
    const auto luminance = [](QColor c) {
        const auto linear = [](double v) { return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
        return 0.2126 * linear(c.redF()) + 0.7152 * linear(c.greenF()) + 0.0722 * linear(c.blueF()) + 0.05;
    };
    return std::max(luminance(one), luminance(other)) / std::min(luminance(one), luminance(other));
}
} // namespace

// Under a dark desktop palette every text stands out from its own background
// at 4.5 : 1 at least, and the backgrounds are the window's own. Measured on
// grabs: the text is the colour that differs most from the commonest one.
void DesktopTest::darkPalette()
{
    const QPalette desktop = QApplication::palette();
    QPalette dark;
    for (const auto& [role, rgb] : {std::pair{QPalette::Window, 0x353535}, {QPalette::Base, 0x2a2a2a},
                                    {QPalette::Button, 0x353535}, {QPalette::Highlight, 0x2a82da}})
        dark.setColor(role, QColor(rgb));
    for (const QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        dark.setColor(role, Qt::white);
    QApplication::setPalette(dark);
    drelvan::QuizWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto* names = window.findChild<drelvan::ListBoxView*>(u"names"_s);
    QTest::mouseClick(names->viewport(), Qt::LeftButton, {}, names->visualRect(1).center());
    QWidget* reset = window.findChild<QPushButton*>(u"reset"_s);
    const QList<std::tuple<const char*, QImage, QColor>> places{
        {"title", window.findChild<QLabel*>(u"title"_s)->grab().toImage(), QColor(0xFF, 0xC0, 0x80)},
        {"reset", reset->grab(reset->rect().adjusted(3, 3, -3, -3)).toImage(), QColor(0xFF, 0x80, 0x80)},
        {"a name", names->viewport()->grab(names->visualRect(0)).toImage(), Qt::white},
        {"the chosen name", names->viewport()->grab(names->visualRect(1)).toImage(), QColor(0x00, 0x00, 0x80)},
        {"verdict", window.findChild<QPlainTextEdit*>(u"verdict"_s)->viewport()->grab().toImage(), Qt::white},
    };
    const QColor window00 = window.grab(QRect(20, 20, 1, 1)).toImage().pixelColor(0, 0);
    QApplication::setPalette(desktop);
    QCOMPARE(window00, QColor(0xC0, 0xC0, 0xFF));
    for (const auto& [what, image, background] : places) {
        QHash<QRgb, int> counts;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                ++counts[image.pixel(x, y)];
        const QColor common(std::max_element(counts.keyValueBegin(), counts.keyValueEnd(), [](auto a, auto b) {
                                return a.second < b.second;
                            })->first);
        double most = 1;
        for (auto it = counts.keyBegin(); it != counts.keyEnd(); ++it)
            most = std::max(most, contrast(QColor(*it), common));
        QVERIFY2(common == background, qPrintable(common.name() + u" behind "_s + what));
        QVERIFY2(most >= 4.5, qPrintable(u"%1 : 1 in "_s.arg(most, 0, 'f', 1) + what));
    }
}

QTEST_MAIN(DesktopTest)
#include "tst_desktop.moc"
