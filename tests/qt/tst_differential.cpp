// The differential script (tests/differential/script.txt) played on the Qt
// window: each key to the focused widget, as the keyboard sends it, and
// after each step the window read back as a screen reader and the scroll
// bars show it, into the trace that the web build compares with the Windows
// program's and the page's.
#include "support.hpp"

#include "differential/trace.hpp"
#include "qt/listboxview.hpp"
#include "qt/quizwindow.hpp"

#include <QAccessible>
#include <QApplication>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTest>

using drelvan::ListBoxView;
using drelvan::QuizWindow;
namespace differential = drelvan::differential;

namespace {

const std::pair<std::string_view, Qt::Key> keys[] = {
    {"Tab", Qt::Key_Tab},       {"Up", Qt::Key_Up},         {"Down", Qt::Key_Down},         {"Left", Qt::Key_Left},
    {"Right", Qt::Key_Right},   {"Home", Qt::Key_Home},     {"End", Qt::Key_End},           {"PageUp", Qt::Key_PageUp},
    {"PageDown", Qt::Key_PageDown}, {"Space", Qt::Key_Space}, {"Enter", Qt::Key_Return}, {"Escape", Qt::Key_Escape},
};

differential::ListSeen seenIn(ListBoxView* list)
{
    differential::ListSeen seen;
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(list);
    for (int row = 0; row < face->childCount(); ++row) {
        seen.entries.push_back(face->child(row)->text(QAccessible::Name).toStdU16String());
        if (face->child(row)->state().selected)
            seen.selected = seen.selected < 0 ? row : -2; // two selected shows as -2
    }
    seen.top = list->verticalScrollBar()->value();
    return seen;
}

} // namespace

class DifferentialTest : public QObject {
    Q_OBJECT

private slots:
    void play();
};

void DifferentialTest::play()
{
    QuizWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QApplication::setActiveWindow(&window);
    const auto seen = [&] {
        differential::Seen s;
        QWidget* focus = QApplication::focusWidget();
        s.focus = focus && window.isAncestorOf(focus) ? focus->objectName().toStdString() : "none";
        s.verdict = window.findChild<QPlainTextEdit*>(u"verdict"_s)->toPlainText().toStdU16String();
        s.lists[0] = seenIn(window.findChild<ListBoxView*>(u"names"_s));
        s.lists[1] = seenIn(window.findChild<ListBoxView*>(u"periods"_s));
        return s;
    };

    std::vector<differential::Step> steps;
    try {
        steps = differential::readScriptFile(DRELVAN_DIFFERENTIAL_SCRIPT);
        differential::TraceFile trace(DRELVAN_DIFFERENTIAL_TRACE);
        QTRY_VERIFY(QApplication::focusWidget());
        trace.write(0, "start", seen());
        // The typing clock: letters of a step 100 ms apart, steps far apart.
        quint64 clock = 0;
        for (const differential::Step& step : steps) {
            QWidget* focus = QApplication::focusWidget();
            QVERIFY2(focus, step.written.c_str());
            clock += 5000;
            if (!step.typed.empty()) {
                for (const QChar letter : QString::fromStdU16String(step.typed)) {
                    QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(letter));
                    QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(letter));
                    press.setTimestamp(clock += 100);
                    release.setTimestamp(clock);
                    QApplication::sendEvent(QApplication::focusWidget(), &press);
                    QApplication::sendEvent(QApplication::focusWidget(), &release);
                }
            } else {
                Qt::Key key = Qt::Key_unknown;
                for (const auto& [name, code] : keys)
                    if (name == step.key)
                        key = code;
                Qt::KeyboardModifiers modifiers;
                if (step.shift)
                    modifiers |= Qt::ShiftModifier;
                if (step.control)
                    modifiers |= Qt::ControlModifier;
                // Shift+Tab comes to a widget as Backtab.
                if (key == Qt::Key_Tab && step.shift)
                    key = Qt::Key_Backtab;
                QTest::keyClick(focus, key, modifiers);
            }
            QApplication::processEvents();
            trace.write(step.number, step.written, seen());
        }
        trace.close();
    } catch (const std::exception& error) {
        QFAIL(error.what());
    }
    QVERIFY(steps.size() >= 50);
}

QTEST_MAIN(DifferentialTest)
#include "tst_differential.moc"
