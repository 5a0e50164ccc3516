#include "support.hpp"

#include "content/about.hpp"
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
#include <QTest>

#include <cmath>

// The quiz on desktops unlike the developer's: started from a terminal, with
// or without a display, in Bulgarian (CTest runs this test with LANGUAGE=bg),
// and under a dark palette.
class DesktopTest : public QObject {
    Q_OBJECT

private slots:
    void commandLine_data();
    void commandLine();
    void qtTextsInBulgarian();
    void darkPalette();
};

void DesktopTest::commandLine_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QStringList>("environment");
    QTest::addColumn<int>("status"); // -1: still running, a window shown
    QTest::addColumn<QString>("out");
    QTest::addColumn<QString>("err"); // a pattern for the whole of it
    const QString usage = u"Usage: drelvan \\[--help\\] \\[--version\\]\n"_s;
    const QString version = QString::fromLatin1(drelvan::about::version.data(), drelvan::about::version.size());
    QTest::addRow("help") << QStringList{u"--help"_s} << QStringList() << 0 << usage + u"(.*\n)+"_s << QString();
    QTest::addRow("version") << QStringList{u"-v"_s} << QStringList() << 0 << u"Drelvan "_s + version + u"\n"_s
                             << QString();
    QTest::addRow("unknown option") << QStringList{u"--help"_s, u"--fullscreen"_s} << QStringList() << 2 << QString()
                                    << u"drelvan: unknown option '--fullscreen'\n"_s + usage;
    QTest::addRow("argument") << QStringList{u"хан"_s} << QStringList() << 2 << QString()
                              << u"drelvan: unexpected argument 'хан'\n"_s + usage;
    QTest::addRow("no display") << QStringList() << QStringList() << 1 << QString()
                                << u"drelvan: no display to show the quiz on: [^\n]+\n"_s;
    QTest::addRow("X chosen, none set") << QStringList() << QStringList{u"QT_QPA_PLATFORM=xcb"_s} << 1 << QString()
                                        << u"drelvan: no display to show the quiz on: DISPLAY is not set\n"_s;
    QTest::addRow("display unreachable") << QStringList() << QStringList{u"DISPLAY=:65000"_s} << 1 << QString()
                                         << u"drelvan: cannot open the display \":65000\" \\(DISPLAY\\)\n"_s;
    QTest::addRow("offscreen chosen") << QStringList() << QStringList{u"QT_QPA_PLATFORM=offscreen"_s} << -1
                                      << QString() << u"(.*\n)*"_s;
}

void DesktopTest::commandLine()
{
    QFETCH(QStringList, arguments);
    QFETCH(QStringList, environment);
    QFETCH(int, status);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "XDG_SESSION_TYPE"})
        env.remove(QString::fromLatin1(name));
    for (const QString& setting : environment)
        env.insert(setting.section(u'=', 0, 0), setting.section(u'=', 1));
    QProcess program;
    program.setProcessEnvironment(env);
    program.start(QStringLiteral(DRELVAN_PROGRAM), arguments);
    const bool ended = program.waitForFinished(status < 0 ? 2000 : 30000);
    if (!ended) {
        program.kill();
        program.waitForFinished();
    }
    QCOMPARE(ended, status >= 0);
    if (ended) {
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), status);
    }
    const auto matches = [](const QString& pattern, const QByteArray& text) {
        return QRegularExpression(QRegularExpression::anchoredPattern(pattern)).match(QString::fromUtf8(text)).hasMatch();
    };
    QFETCH(QString, out);
    QFETCH(QString, err);
    const QByteArray printed = program.readAllStandardOutput();
    const QByteArray complained = program.readAllStandardError();
    QVERIFY2(matches(out, printed), printed.constData());
    QVERIFY2(matches(err, complained), complained.constData());
}

// Qt's own texts follow the desktop's language, the quiz's stay as they are.
void DesktopTest::qtTextsInBulgarian()
{
    QVERIFY2(QLocale::system().uiLanguages().constFirst().startsWith(u"bg"_s), "run with LANGUAGE=bg, as CTest does");
    drelvan::setUpApplication();
    drelvan::QuizWindow window;
    std::unique_ptr<QMenu> menu(window.findChild<QPlainTextEdit*>(u"verdict"_s)->createStandardContextMenu());
    QStringList entries;
    for (const QAction* action : menu->actions())
        entries << action->text().section(u'\t', 0, 0);
    QVERIFY2(entries.contains(u"&Копиране"_s), qPrintable(entries.join(u", "_s)));
    QCOMPARE(window.findChild<QPushButton*>(u"reset"_s)->text(), u"Чисти"_s);

    window.form().List1(4).Clear(); // a right pair now fails: the error box shows
    window.form().List1(0).SetListIndex(5);
    window.findChild<drelvan::ListBoxView*>(u"periods"_s)->choose(12);
    auto* box = window.findChild<QMessageBox*>(u"runtimeError"_s);
    QVERIFY(box);
    QStringList buttons;
    for (const QAbstractButton* button : box->findChildren<QAbstractButton*>())
        buttons << button->text();
    QVERIFY2(buttons.contains(u"Добре"_s), qPrintable(buttons.join(u", "_s)));
}

namespace {
double luminance(QColor colour)
{
    const auto linear = [](double c) { return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4); };
    return 0.2126 * linear(colour.redF()) + 0.7152 * linear(colour.greenF()) + 0.0722 * linear(colour.blueF());
}
double contrast(QColor a, QColor b)
{
    const double one = luminance(a);
    const double other = luminance(b);
    return (std::max(one, other) + 0.05) / (std::min(one, other) + 0.05);
}
} // namespace

// Under a dark desktop palette every text is read against its own
// background at a contrast of at least 4.5 : 1, and the backgrounds are the
// window's own: measured on a grab, the text being the pixels that stand out
// most from the commonest colour of each place.
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
    const auto inWindow = [&](const QWidget* widget, QRect place) {
        return QRect(widget->mapTo(&window, place.topLeft()), place.size());
    };
    const QWidget* verdict = window.findChild<QPlainTextEdit*>(u"verdict"_s)->viewport();
    const QWidget* reset = window.findChild<QPushButton*>(u"reset"_s);
    const QList<std::tuple<QString, QRect, QColor>> places{
        {u"title"_s, window.findChild<QLabel*>(u"title"_s)->geometry(), QColor(0xFF, 0xC0, 0x80)},
        {u"names caption"_s, window.findChild<QLabel*>(u"namesCaption"_s)->geometry(), QColor(0xFF, 0xC0, 0x80)},
        {u"reset"_s, reset->geometry().adjusted(3, 3, -3, -3), QColor(0xFF, 0x80, 0x80)},
        {u"a name"_s, inWindow(names->viewport(), names->visualRect(0)), Qt::white},
        {u"the chosen name"_s, inWindow(names->viewport(), names->visualRect(1)), QColor(0x00, 0x00, 0x80)},
        {u"verdict"_s, inWindow(verdict, verdict->rect()), Qt::white},
    };
    const QImage image = window.grab().toImage();
    QApplication::setPalette(desktop);
    for (const auto& [what, place, background] : places) {
        QHash<QRgb, int> counts;
        for (int y = place.top(); y <= place.bottom(); ++y)
            for (int x = place.left(); x <= place.right(); ++x)
                ++counts[image.pixel(x, y)];
        const QRgb commonest = std::max_element(counts.keyValueBegin(), counts.keyValueEnd(), [](auto a, auto b) {
                                   return a.second < b.second;
                               })->first;
        double most = 1;
        for (auto it = counts.keyBegin(); it != counts.keyEnd(); ++it)
            most = std::max(most, contrast(QColor(*it), QColor(commonest)));
        QVERIFY2(QColor(commonest) == background, qPrintable(what + u": "_s + QColor(commonest).name()));
        QVERIFY2(most >= 4.5, qPrintable(what + u": %1 : 1"_s.arg(most, 0, 'f', 1)));
    }
    QCOMPARE(image.pixelColor(20, 20), QColor(0xC0, 0xC0, 0xFF));
}

QTEST_MAIN(DesktopTest)
#include "tst_desktop.moc"
