#include "support.hpp"

#include "qt/listboxview.hpp"
#include "qt/quizwindow.hpp"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

using drelvan::ListBoxView;
using drelvan::QuizWindow;

namespace {

QString verdictShown(const QuizWindow& window)
{
    return window.findChild<QPlainTextEdit*>(u"verdict"_s)->toPlainText();
}

QString modelVerdict(const QuizWindow& window) { return q(window.form().Text1(0).Text()); }

// A list as a screen reader finds it: its entries, and which one is selected.
QStringList itemsOf(ListBoxView* list)
{
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(list);
    QStringList items;
    for (int row = 0; row < face->childCount(); ++row)
        items << face->child(row)->text(QAccessible::Name);
    return items;
}

int selectedRow(ListBoxView* list)
{
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(list);
    int selected = -1;
    for (int row = 0; row < face->childCount(); ++row) {
        if (face->child(row)->state().selected) {
            if (selected >= 0)
                return -2; // two selected: never right
            selected = row;
        }
    }
    return selected;
}

void sendText(QWidget* widget, const QString& text)
{
    QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, text);
    QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, text);
    QApplication::sendEvent(widget, &press);
    QApplication::sendEvent(widget, &release);
}

} // namespace

class WindowTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void geometry_data();
    void geometry();
    void colours_data();
    void colours();
    void texts();
    void fontCoversEveryText();
    void focusOrder();
    void accessibleNames();
    void verdictBoxIsReadOnly_data();
    void verdictBoxIsReadOnly();
    void wholeGameByMouse();
    void wholeGameByKeyboard();
    void firstArrowInTheOtherListChecksOnce();
    void typeAhead();
    void clicksThatSelectNothing_data();
    void clicksThatSelectNothing();
    void doubleClick();
    void reset_data();
    void reset();
    void leftAndRight_data();
    void leftAndRight();
    void dragAfterACheckSelectsNothing();
    void wheelScrollsWithoutPicking();
    void verdictScrollsBackToTheTop();
    void handlerFailureIsReported();
    void sidewaysScrollFollowsTheWidestEntryLeft();

private:
    ListBoxView* list(int member) const
    {
        return window->findChild<ListBoxView*>(member == 0 ? u"names"_s : u"periods"_s);
    }
    void clickItem(int member, const QString& text, Qt::KeyboardModifiers modifiers = {});
    void verifyScreenAgreesWithModel();

    QuizWindow* window = nullptr;
};

void WindowTest::init()
{
    window = new QuizWindow;
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
}

void WindowTest::cleanup()
{
    delete window;
    window = nullptr;
}

void WindowTest::clickItem(int member, const QString& text, Qt::KeyboardModifiers modifiers)
{
    ListBoxView* view = list(member);
    int row = 0;
    while (row < view->count() && view->text(row) != text)
        ++row;
    QVERIFY2(row < view->count(), qPrintable(text));
    view->verticalScrollBar()->setValue(row); // into view, as far as the list scrolls
    QTest::mouseClick(view->viewport(), Qt::LeftButton, modifiers, view->visualRect(row).center());
}

void WindowTest::verifyScreenAgreesWithModel()
{
    for (int member : {0, 1}) {
        const auto& model = window->form().List1(static_cast<int16_t>(member));
        QCOMPARE(itemsOf(list(member)), entriesOf(model));
        QCOMPARE(selectedRow(list(member)), int(model.ListIndex()));
        // On the screen, the selected entry and only it is highlighted (looked
        // at right of the text, where the row shows its background alone).
        ListBoxView* view = list(member);
        const QImage shown = view->viewport()->grab().toImage();
        const QColor highlight = view->palette().color(QPalette::Highlight);
        for (int row = view->firstVisibleRow(); row < view->firstVisibleRow() + view->wholeRowsShown(); ++row) {
            if (row >= view->count())
                break;
            const QRect place = view->visualRect(row);
            const QColor colour = shown.pixelColor(QPoint(place.right() - 4, place.center().y()) * shown.devicePixelRatio());
            QVERIFY2((colour == highlight) == (row == model.ListIndex()),
                     qPrintable(u"row %1 of %2"_s.arg(row).arg(view->objectName())));
        }
        // The scroll bar spans the rows there are to scroll, laid out as they are.
        const QScrollBar* bar = view->verticalScrollBar();
        QCOMPARE(bar->pageStep(), view->wholeRowsShown());
        QCOMPARE(bar->maximum(), std::max(0, view->count() - view->wholeRowsShown()));
        QCOMPARE(bar->value(), view->firstVisibleRow());
    }
    QCOMPARE(verdictShown(*window), modelVerdict(*window).replace(u"\r\n"_s, u"\n"_s));
}

// Positions and sizes in twips, 15 to the pixel.
void WindowTest::geometry_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("twips");
    QTest::addRow("verdict box") << u"verdict"_s << QRect(120, 3240, 6735, 1815);
    QTest::addRow("names") << u"names"_s << QRect(1320, 960, 1935, 2055);
    QTest::addRow("periods") << u"periods"_s << QRect(3840, 960, 1455, 2055);
    QTest::addRow("reset button") << u"reset"_s << QRect(5520, 600, 1215, 375);
    QTest::addRow("quiz title") << u"title"_s << QRect(960, 0, 4575, 375);
    QTest::addRow("names caption") << u"namesCaption"_s << QRect(1320, 600, 1935, 375);
    QTest::addRow("periods caption") << u"periodsCaption"_s << QRect(3840, 600, 1455, 375);
}

void WindowTest::geometry()
{
    QFETCH(QString, name);
    QFETCH(QRect, twips);
    const auto* widget = window->findChild<QWidget*>(name);
    QVERIFY(widget);
    QVERIFY(widget->isVisible());
    QCOMPARE(widget->geometry(), QRect(twips.x() / 15, twips.y() / 15, twips.width() / 15, twips.height() / 15));

    QCOMPARE(window->size(), QSize(461, 345));
    QCOMPARE(window->minimumSize(), window->maximumSize());
    QVERIFY(!window->windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(!window->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
}

// Colours as they reach the screen: pixels of a grab, away from text and frames.
void WindowTest::colours_data()
{
    QTest::addColumn<QPoint>("point");
    QTest::addColumn<QColor>("expected");
    QTest::addColumn<int>("tolerance");
    QTest::addRow("window, top left corner") << QPoint(20, 20) << QColor(0xC0, 0xC0, 0xFF) << 0;
    QTest::addRow("window, between the lists") << QPoint(240, 150) << QColor(0xC0, 0xC0, 0xFF) << 0;
    QTest::addRow("window, below the verdict box") << QPoint(230, 340) << QColor(0xC0, 0xC0, 0xFF) << 0;
    QTest::addRow("quiz title, left end") << QPoint(66, 3) << QColor(0xFF, 0xC0, 0x80) << 0;
    QTest::addRow("names caption, left end") << QPoint(90, 43) << QColor(0xFF, 0xC0, 0x80) << 0;
    QTest::addRow("periods caption, right end") << QPoint(350, 61) << QColor(0xFF, 0xC0, 0x80) << 0;
    QTest::addRow("reset button, left of the caption") << QPoint(374, 52) << QColor(0xFF, 0x80, 0x80) << 0;
    QTest::addRow("reset button, right of the caption") << QPoint(440, 57) << QColor(0xFF, 0x80, 0x80) << 0;
}

void WindowTest::colours()
{
    QFETCH(QPoint, point);
    QFETCH(QColor, expected);
    QFETCH(int, tolerance);
    const QImage image = window->grab().toImage();
    const QColor actual = image.pixelColor(point * image.devicePixelRatio());
    const int distance = std::max({std::abs(actual.red() - expected.red()), std::abs(actual.green() - expected.green()),
                                   std::abs(actual.blue() - expected.blue())});
    QVERIFY2(distance <= tolerance, qPrintable(actual.name() + u" instead of "_s + expected.name()));
}

void WindowTest::texts()
{
    QCOMPARE(window->windowTitle(), u"https://drelvan.example История - български ханове"_s);
    const QPair<QString, QString> captions[] = {
        {u"title"_s, u"История - именник на българските ханове"_s},
        {u"namesCaption"_s, u"Име на хан"_s},
        {u"periodsCaption"_s, u"Период"_s},
    };
    for (const auto& [name, caption] : captions) {
        const auto* label = window->findChild<QLabel*>(name);
        QCOMPARE(label->text(), caption);
        QCOMPARE(label->alignment(), Qt::AlignCenter);
        QCOMPARE(label->focusPolicy(), Qt::NoFocus);
    }
    QCOMPARE(window->findChild<QPushButton*>(u"reset"_s)->text(), u"Чисти"_s);
    QCOMPARE(itemsOf(list(0)), alphabeticalNames);
    QCOMPARE(itemsOf(list(1)), periods);
    QCOMPARE(selectedRow(list(0)), -1);
    QCOMPARE(selectedRow(list(1)), -1);
    const QString opening = verdictShown(*window);
    QVERIFY(opening.startsWith(u"Да се реализира проект"_s));
    QCOMPARE(opening.count(u'\n'), 8);
    QCOMPARE(opening.size(), 1000); // 1008 with CR LF line ends
    verifyScreenAgreesWithModel();
}

// The font the window resolves to, whatever is installed, draws every
// character the quiz shows, and is as large as the layout was drawn for.
void WindowTest::fontCoversEveryText()
{
    QString all = window->windowTitle() + verdictShown(*window);
    for (const auto* widget : window->findChildren<QWidget*>()) {
        QCOMPARE(widget->font().pointSize(), 12);
        QCOMPARE(QFontInfo(widget->font()).pixelSize(), 16);
        if (const auto* label = qobject_cast<const QLabel*>(widget))
            all += label->text();
    }
    for (const QString& entry : itemsOf(list(0)) + itemsOf(list(1)))
        all += entry;
    for (int16_t row = 0; row < 16; ++row)
        all += q(window->form().List1(4).List(row));
    all += u"Вярно Грешно период Чисти"_s;

    // A screen reader is told the size in points too.
    QAccessibleInterface* box = QAccessible::queryAccessibleInterface(window->findChild<QWidget*>(u"verdict"_s));
    int start = 0;
    int end = 0;
    const QString attributes = box->textInterface()->attributes(0, &start, &end);
    QVERIFY2(attributes.contains(u"font-size:12pt"_s), qPrintable(attributes));

    const QFontInfo info(window->font());
    QVERIFY2(QStringList({u"Times New Roman"_s, u"Liberation Serif"_s, u"DejaVu Serif"_s}).contains(info.family()),
             qPrintable(info.family()));
    QVERIFY(!info.italic());
    QCOMPARE(info.weight(), int(QFont::Normal));
    const QFontMetrics metrics(window->font());
    for (const QChar c : all)
        QVERIFY2(c.isSpace() || metrics.inFont(c), qPrintable(u"missing U+%1"_s.arg(int(c.unicode()), 4, 16, QChar(u'0'))));
}

void WindowTest::focusOrder()
{
    QWidget* verdict = window->findChild<QWidget*>(u"verdict"_s);
    QWidget* reset = window->findChild<QWidget*>(u"reset"_s);
    QTRY_COMPARE(QApplication::focusWidget(), verdict);
    const QList<QWidget*> forward{list(0), list(1), reset, verdict, list(0)};
    for (QWidget* next : forward) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), next);
    }
    const QList<QWidget*> backward{verdict, reset, list(1), list(0), verdict};
    for (QWidget* next : backward) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(QApplication::focusWidget(), next);
    }
    QCOMPARE(modelVerdict(*window).size(), 1008); // moving the focus judged nothing
    QCOMPARE(list(0)->count() + list(1)->count(), 32);
}

void WindowTest::accessibleNames()
{
    const QPair<QString, QString> expected[] = {
        {u"names"_s, u"Име на хан"_s},
        {u"periods"_s, u"Период"_s},
        {u"verdict"_s, u"Резултат"_s},
        {u"reset"_s, u"Чисти"_s},
    };
    for (const auto& [name, accessibleName] : expected) {
        QAccessibleInterface* face = QAccessible::queryAccessibleInterface(window->findChild<QWidget*>(name));
        QVERIFY(face);
        QCOMPARE(face->text(QAccessible::Name), accessibleName);
    }
    QCOMPARE(QAccessible::queryAccessibleInterface(window)->role(), QAccessible::Window); // a frame over AT-SPI
    QCOMPARE(window->findChild<QLabel*>(u"namesCaption"_s)->buddy(), list(0));
    QCOMPARE(window->findChild<QLabel*>(u"periodsCaption"_s)->buddy(), list(1));

    // A screen reader reads the lists entry by entry and can pick from them.
    QAccessibleInterface* names = QAccessible::queryAccessibleInterface(list(0));
    QAccessibleInterface* periodsFace = QAccessible::queryAccessibleInterface(list(1));
    QCOMPARE(names->role(), QAccessible::List);
    QCOMPARE(names->child(5)->role(), QAccessible::ListItem);
    QCOMPARE(names->child(5)->text(QAccessible::Name), u"Крум"_s);
    QCOMPARE(names->indexOfChild(names->child(5)), 5);
    QCOMPARE(names->child(16), nullptr);
    names->child(5)->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    QVERIFY(names->child(5)->state().selected);
    QCOMPARE(window->form().List1(0).ListIndex(), 5);
    periodsFace->child(12)->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    QVERIFY(modelVerdict(*window).startsWith(u"Вярно Крум период 803 - 814\r\n"_s));
    QCOMPARE(names->childCount(), 15);
    QCOMPARE(names->child(5)->text(QAccessible::Name), u"Маламир"_s);
    verifyScreenAgreesWithModel();
}

void WindowTest::verdictBoxIsReadOnly_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QKeySequence>("keys");
    QTest::addRow("Latin letters") << u"abc"_s << QKeySequence();
    QTest::addRow("Cyrillic letters") << u"Крум"_s << QKeySequence();
    QTest::addRow("Return") << u"\r"_s << QKeySequence();
    QTest::addRow("paste") << QString() << QKeySequence(QKeySequence::Paste);
    QTest::addRow("paste, Shift+Insert") << QString() << QKeySequence(Qt::SHIFT | Qt::Key_Insert);
    QTest::addRow("cut") << QString() << QKeySequence(QKeySequence::Cut);
    QTest::addRow("delete") << QString() << QKeySequence(Qt::Key_Delete);
    QTest::addRow("backspace") << QString() << QKeySequence(Qt::Key_Backspace);
    QTest::addRow("undo") << QString() << QKeySequence(QKeySequence::Undo);
}

void WindowTest::verdictBoxIsReadOnly()
{
    QFETCH(QString, typed);
    QFETCH(QKeySequence, keys);
    auto* verdict = window->findChild<QPlainTextEdit*>(u"verdict"_s);
    QApplication::clipboard()->setText(u"вмъкнат текст"_s);
    const QString before = verdictShown(*window);
    verdict->setFocus();
    QTest::keySequence(verdict, QKeySequence::SelectAll);
    QVERIFY(verdict->textCursor().hasSelection()); // still selectable ...
    verdict->copy();
    QCOMPARE(QApplication::clipboard()->text(), before); // ... and copyable
    QApplication::clipboard()->setText(u"вмъкнат текст"_s);

    if (!typed.isEmpty())
        sendText(verdict, typed);
    if (!keys.isEmpty())
        QTest::keySequence(verdict, keys);

    QCOMPARE(verdictShown(*window), before);
    QCOMPARE(modelVerdict(*window).size(), 1008);
}

// Sixteen right pairs clicked at the entries, alternating which list comes
// first.
void WindowTest::wholeGameByMouse()
{
    for (int i = 0; i < 16; ++i) {
        const QString name = chronologicalNames[(i * 5) % 16];
        const QString period = periods[chronologicalNames.indexOf(name)];
        const QString before = modelVerdict(*window);
        clickItem(i % 2, i % 2 ? period : name);
        QCOMPARE(modelVerdict(*window), before); // one list alone: no verdict yet
        clickItem(1 - i % 2, i % 2 ? name : period);
        QVERIFY2(verdictShown(*window).startsWith(u"Вярно "_s + name + u" период "_s + period + u"\n"_s),
                 qPrintable(verdictShown(*window)));
        QCOMPARE(list(0)->count(), 15 - i);
        verifyScreenAgreesWithModel();
    }
    QCOMPARE(list(1)->count(), 0);
}

// The keyboard alone: Tab to a list, Home selects the first entry, Tab to
// the other list, Home again makes the pair: sixteen times the first name
// left with the first period left.
void WindowTest::wholeGameByKeyboard()
{
    QStringList verdicts;
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), list(0));
    for (int i = 0; i < 16; ++i) {
        const QString name = list(0)->text(0);
        const QString period = list(1)->text(0);
        QTest::keyClick(list(0), Qt::Key_Home);
        QTest::keyClick(list(0), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), list(1));
        QTest::keyClick(list(1), Qt::Key_Home);
        verdicts << modelVerdict(*window).section(u"\r\n"_s, 0, 0);
        const bool right = periods[chronologicalNames.indexOf(name)] == period;
        QCOMPARE(verdicts.last(), (right ? u"Вярно "_s : u"Грешно "_s) + name + u" период "_s + period);
        verifyScreenAgreesWithModel();
        // A screen reader is told the verdict as the description of what has
        // the focus, the entry under the focus mark, until the focus leaves.
        QAccessibleInterface* told = QAccessible::queryAccessibleInterface(list(1));
        if (list(1)->caretRow() >= 0)
            told = told->child(list(1)->caretRow());
        QCOMPARE(told->text(QAccessible::Description), verdictShown(*window));
        QTest::keyClick(list(1), Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(told->text(QAccessible::Description), QString());
    }
    QCOMPARE(list(0)->count(), 0);
    QCOMPARE(verdicts.last(), u"Грешно Токту период 836 - 852"_s);

    // Space on the button deals again; the keyboard game goes on.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget()->objectName(), u"reset"_s);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    QCOMPARE(list(0)->count(), 16);
}

// With a name chosen, the first arrow press in the periods list selects a
// period and makes exactly one check; the next press finds no pair.
void WindowTest::firstArrowInTheOtherListChecksOnce()
{
    clickItem(0, u"Крум"_s);
    list(1)->setFocus();
    int changes = 0;
    connect(window->findChild<QPlainTextEdit*>(u"verdict"_s), &QPlainTextEdit::textChanged, this, [&] { ++changes; });
    QTest::keyClick(list(1), Qt::Key_Down);
    QCOMPARE(changes, 1);
    QCOMPARE(modelVerdict(*window), u"Грешно Крум период 681 - 701\r\n"_s);
    QCOMPARE(list(0)->count(), 15);
    QCOMPARE(list(1)->count(), 15);
    QTest::keyClick(list(1), Qt::Key_Down);
    QTest::keyClick(list(1), Qt::Key_Down);
    QCOMPARE(changes, 1);
    QCOMPARE(list(1)->count(), 15);
    QVERIFY(window->form().List1(1).ListIndex() >= 0);
    verifyScreenAgreesWithModel();
}

// Typing the first letters of an entry selects it, Cyrillic included.
void WindowTest::typeAhead()
{
    list(0)->setFocus();
    sendText(list(0), u"К"_s);
    QCOMPARE(q(window->form().List1(0).List(window->form().List1(0).ListIndex())), u"Кардам"_s);
    sendText(list(0), u"р"_s);
    QCOMPARE(q(window->form().List1(0).List(window->form().List1(0).ListIndex())), u"Крум"_s);
    list(1)->setFocus();
    sendText(list(1), u"8"_s);
    QVERIFY2(modelVerdict(*window).startsWith(u"Вярно Крум период 803 - 814\r\n"_s), qPrintable(modelVerdict(*window)));
    verifyScreenAgreesWithModel();
}

// Clicks that would empty a selection on other lists leave it standing here,
// on the screen and in the model alike.
void WindowTest::clicksThatSelectNothing_data()
{
    QTest::addColumn<bool>("ctrl");
    QTest::addRow("below the entries") << false;
    QTest::addRow("Ctrl+click on the selected entry") << true;
}

void WindowTest::clicksThatSelectNothing()
{
    QFETCH(bool, ctrl);
    // Leave few enough periods that the list has empty space below them.
    for (int i = 0; i < 12; ++i) {
        clickItem(0, chronologicalNames[i]);
        clickItem(1, periods[i]);
    }
    clickItem(1, u"814 - 831"_s);
    QCOMPARE(window->form().List1(1).ListIndex(), 1);
    if (ctrl)
        clickItem(1, u"814 - 831"_s, Qt::ControlModifier);
    else
        QTest::mouseClick(list(1)->viewport(), Qt::LeftButton, {}, QPoint(20, list(1)->viewport()->height() - 5));
    QCOMPARE(window->form().List1(1).ListIndex(), 1);
    verifyScreenAgreesWithModel();
}

// The first click of a double-click makes the pair; the second lands on the
// entry that moved up into its place and just selects it.
void WindowTest::doubleClick()
{
    clickItem(0, u"Аспарух"_s);
    const QPoint at = list(1)->visualRect(0).center();
    // A widget gets a double click as a click, then the double-click event.
    QTest::mouseClick(list(1)->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list(1)->viewport(), Qt::LeftButton, {}, at);
    QVERIFY(modelVerdict(*window).startsWith(u"Вярно Аспарух"_s));
    QCOMPARE(list(1)->count(), 15);
    QCOMPARE(list(0)->count(), 15);
    QCOMPARE(window->form().List1(0).ListIndex(), -1);
    QCOMPARE(window->form().List1(1).ListIndex(), 0);
    verifyScreenAgreesWithModel();

    QTest::mouseDClick(list(0)->viewport(), Qt::LeftButton, {}, list(0)->visualRect(3).center());
    verifyScreenAgreesWithModel();
}

void WindowTest::reset_data()
{
    QTest::addColumn<int>("how"); // 0 mouse, 1 Space, 2 Enter
    QTest::addRow("mouse") << 0;
    QTest::addRow("Space") << 1;
    QTest::addRow("Enter") << 2;
}

void WindowTest::reset()
{
    QFETCH(int, how);
    clickItem(0, u"Крум"_s);
    clickItem(1, u"681 - 701"_s);
    clickItem(0, u"Тервел"_s); // pending
    // Both lists scrolled to their end, the names' focus mark on the last.
    list(0)->setFocus();
    QTest::keyClick(list(0), Qt::Key_End);
    list(1)->verticalScrollBar()->setValue(list(1)->verticalScrollBar()->maximum());
    QVERIFY(list(0)->firstVisibleRow() > 0 && list(1)->firstVisibleRow() > 0);
    auto* button = window->findChild<QPushButton*>(u"reset"_s);
    if (how == 0) {
        QTest::mouseClick(button, Qt::LeftButton);
    } else {
        button->setFocus();
        QTest::keyClick(button, how == 1 ? Qt::Key_Space : Qt::Key_Return);
    }
    QCOMPARE(itemsOf(list(0)), alphabeticalNames);
    QCOMPARE(itemsOf(list(1)), periods);
    QCOMPARE(verdictShown(*window), QString());
    verifyScreenAgreesWithModel();
    // Dealt afresh, each list looks as it did at the start.
    for (int member : {0, 1}) {
        QCOMPARE(list(member)->firstVisibleRow(), 0);
        QCOMPARE(list(member)->caretRow(), 0);
    }
}

// Left and Right move in a list as Up and Down do, and count as a pick; so
// does Ctrl with them, which Qt's scroll area would take to scroll.
void WindowTest::leftAndRight_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<QString>("expected");
    QTest::addRow("right") << int(Qt::Key_Right) << Qt::KeyboardModifiers() << u"Кормисош"_s;
    QTest::addRow("left") << int(Qt::Key_Left) << Qt::KeyboardModifiers() << u"Кардам"_s;
    QTest::addRow("down") << int(Qt::Key_Down) << Qt::KeyboardModifiers() << u"Кормисош"_s;
    QTest::addRow("up") << int(Qt::Key_Up) << Qt::KeyboardModifiers() << u"Кардам"_s;
    QTest::addRow("ctrl+down") << int(Qt::Key_Down) << Qt::KeyboardModifiers(Qt::ControlModifier) << u"Кормисош"_s;
}

void WindowTest::leftAndRight()
{
    QFETCH(int, key);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(QString, expected);
    clickItem(0, u"Кормес"_s);
    QTest::keyClick(list(0), Qt::Key(key), modifiers);
    QCOMPARE(list(0)->text(list(0)->selectedRow()), expected);
    // In the other list, the same key picks a period and so makes a check.
    clickItem(1, u"681 - 701"_s);
    QVERIFY(verdictShown(*window).startsWith(u"Грешно "_s + expected));
    list(1)->setFocus();
    clickItem(0, u"Аспарух"_s);
    QTest::keyClick(list(1), Qt::Key(key), modifiers);
    // Nothing is selected there after the check, so each key picks the
    // entry under the focus mark, which stayed on the first row.
    QCOMPARE(modelVerdict(*window), u"Грешно Аспарух период 701 - 718\r\n"_s);
    QCOMPARE(list(0)->selectedRow(), -1);
}

// A press that makes a check takes the entry from under the pointer; the
// rest of that press, dragged however far, selects nothing.
void WindowTest::dragAfterACheckSelectsNothing()
{
    clickItem(1, u"803 - 814"_s);
    ListBoxView* names = list(0);
    const QPoint at = names->visualRect(5).center(); // Крум
    QCOMPARE(names->text(5), u"Крум"_s);
    QTest::mousePress(names->viewport(), Qt::LeftButton, {}, at);
    QVERIFY(verdictShown(*window).startsWith(u"Вярно Крум"_s));
    QTest::mouseMove(names->viewport(), at + QPoint(0, 1));
    QTest::mouseMove(names->viewport(), names->visualRect(2).center());
    QTest::mouseRelease(names->viewport(), Qt::LeftButton, {}, names->visualRect(2).center());
    QCOMPARE(names->selectedRow(), -1);
    QCOMPARE(window->form().List1(0).ListIndex(), int16_t(-1));
    // The next press selects as usual, and so does its drag.
    QTest::mousePress(names->viewport(), Qt::LeftButton, {}, names->visualRect(2).center());
    QTest::mouseMove(names->viewport(), names->visualRect(3).center());
    QTest::mouseRelease(names->viewport(), Qt::LeftButton, {}, names->visualRect(3).center());
    QCOMPARE(names->selectedRow(), 3);
}

// The wheel over a list scrolls it, three rows a notch, and picks nothing;
// the scroll bar follows.
void WindowTest::wheelScrollsWithoutPicking()
{
    ListBoxView* names = list(0);
    const QPoint at = names->viewport()->rect().center();
    QWheelEvent notch(at, names->viewport()->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(names->viewport(), &notch);
    QCOMPARE(names->firstVisibleRow(), 3);
    QCOMPARE(names->verticalScrollBar()->value(), 3);
    QCOMPARE(window->form().List1(0).ListIndex(), -1);
    // What is drawn at a point is what a press there picks.
    QTest::mouseClick(names->viewport(), Qt::LeftButton, {}, names->visualRect(3).center());
    QCOMPARE(q(window->form().List1(0).List(window->form().List1(0).ListIndex())), u"Кормес"_s);
}

void WindowTest::verdictScrollsBackToTheTop()
{
    auto* verdict = window->findChild<QPlainTextEdit*>(u"verdict"_s);
    QScrollBar* bar = verdict->verticalScrollBar();
    QVERIFY(bar->maximum() > 0); // the opening text is longer than the box
    bar->setValue(bar->maximum());
    clickItem(0, u"Крум"_s);
    clickItem(1, u"803 - 814"_s);
    QVERIFY(bar->maximum() > 0); // so is Крум's note
    QCOMPARE(bar->value(), 0);
    bar->setValue(bar->maximum());
    clickItem(0, u"Тервел"_s);
    clickItem(1, u"701 - 718"_s);
    QCOMPARE(bar->value(), 0);
}

// A run-time error inside a handler ends that handler; the learner sees a
// message box and the quiz goes on.
void WindowTest::handlerFailureIsReported()
{
    window->session().model().List1(4).Clear(); // the notes gone: a right pair cannot be rewarded
    clickItem(0, u"Крум"_s);
    clickItem(1, u"803 - 814"_s);
    QMessageBox* box = nullptr;
    QTRY_VERIFY((box = window->findChild<QMessageBox*>(u"runtimeError"_s)));
    QVERIFY(box->detailedText().contains(u"List1(4).List(12)"_s));
    QVERIFY(box->text().contains(u"Грешка"_s));
    verifyScreenAgreesWithModel();
    box->accept();

    QTest::mouseClick(window->findChild<QPushButton*>(u"reset"_s), Qt::LeftButton);
    QCOMPARE(list(0)->count(), 16);
    QVERIFY(window->isVisible());
}

// The list scrolls sideways as far as its widest entry needs, and no further
// once a check has taken that entry out (a check measures no entry again).
void WindowTest::sidewaysScrollFollowsTheWidestEntryLeft()
{
    drelvan::Exercise wide = drelvan::builtInExercise();
    wide.pairs.resize(3);
    wide.pairs[0].left = std::u16string(120, u'я'); // last in the alphabet
    window->session().open(wide);
    QScrollBar* across = list(0)->horizontalScrollBar();
    QVERIFY(across->maximum() > 0);
    const int widest = window->form().List1(0).ListCount() - 1; // sorted last
    QCOMPARE(window->form().List1(0).List(static_cast<int16_t>(widest)), wide.pairs[0].left);
    window->session().press(0, widest);
    window->session().press(1, 0);
    QCOMPARE(window->form().List1(0).ListCount(), 2);
    QCOMPARE(across->maximum(), 0);
}

QTEST_MAIN(WindowTest)
#include "tst_window.moc"

