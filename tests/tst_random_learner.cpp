// A learner who plays the window at random: clicks, double-clicks and
// Ctrl+clicks anywhere in the two lists, cursor keys, type-ahead, Tab, the
// reset button by mouse and keyboard, and typing, pasting and deleting in the
// verdict box. After every action the window is held against a reference
// that plays by the rules of the game on its own and knows nothing of the
// program's handlers: the names and periods are typed in support.hpp, and the
// notes, read once from the hidden list, are held to their known lengths.
//
// What the learner's action selects is predicted before it is sent, from
// what the learner sees: the entry under the pointer, the entry with the
// focus mark, the entries' texts.
//
// The same seed plays the same game. To rerun a failure, or to play longer:
//
//     QT_QPA_PLATFORM=offscreen QTEST_FUNCTION_TIMEOUT=3600000 DRELVAN_SEED=3 DRELVAN_ACTIONS=1000000 build-tests/tests/tst_random_learner play
//
// (Qt Test stops a test function after five minutes unless
// QTEST_FUNCTION_TIMEOUT, in milliseconds, says otherwise.)
// Either variable alone is enough (the seed defaults to 1, the number of
// actions to 4000); with neither, a fixed set of seeds is played. A failure
// prints its seed, the number of the failing action and the actions that led
// up to it.

#include "support.hpp"

#include "window/quizwindow.hpp"

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStyleHints>
#include <QTest>
#include <QThread>

#include <algorithm>
#include <array>
#include <deque>
#include <optional>
#include <random>

using drelvan::QuizWindow;

namespace {

constexpr int defaultActions = 4000;
constexpr std::size_t loggedActions = 40;

// The note of each ruler, in catalogue order, by length: the notes
// themselves are read once from the hidden list and then held to these.
constexpr std::array<qsizetype, 16> noteLengths{83, 188, 38, 43, 88, 49, 38, 76, 68, 51, 176, 86, 661, 137, 97, 65};

constexpr qsizetype openingLength = 1008;

// QListView::moveCursor is protected; a pointer to it taken here may be
// applied to any list view. It tells where Page Up and Page Down go, which
// depends on the view's height and scrolling rather than on the quiz.
struct CursorProbe : QListView {
    static int pageTarget(QListView* view, bool down)
    {
        const auto moveCursor = &CursorProbe::moveCursor;
        return (view->*moveCursor)(down ? MovePageDown : MovePageUp, Qt::NoModifier).row();
    }
};

bool sameEntries(const std::vector<std::u16string>& model, const QStringList& expected)
{
    if (model.size() != static_cast<std::size_t>(expected.size()))
        return false;
    for (qsizetype i = 0; i < expected.size(); ++i)
        if (QStringView(model[static_cast<std::size_t>(i)]) != expected[i])
            return false;
    return true;
}

QStringList itemsOf(const QListWidget* list)
{
    QStringList items;
    for (int row = 0; row < list->count(); ++row)
        items << list->item(row)->text();
    return items;
}

int selectedRow(const QListWidget* list)
{
    const QModelIndexList selected = list->selectionModel()->selectedIndexes();
    return selected.isEmpty() ? -1 : selected.first().row();
}

// What Qt warns of while the learner plays: a warning from the item models
// means the window changed a list at a moment Qt does not allow.
QStringList qtWarnings;
QtMessageHandler previousHandler = nullptr;

void recordWarning(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type == QtWarningMsg || type == QtCriticalMsg)
        qtWarnings << message;
    previousHandler(type, context, message);
}

// Typed text, Cyrillic included, which QTest::keyClicks cannot send.
void sendText(QWidget* widget, const QString& text)
{
    QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, text);
    QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, text);
    QApplication::sendEvent(widget, &press);
    QApplication::sendEvent(widget, &release);
}

// The game as its rules have it: the names and periods still in play, what
// is selected, and the verdict box's text.
struct Reference {
    std::array<QStringList, 2> entries{alphabeticalNames, periods};
    std::array<int, 2> selected{-1, -1};
    QString verdict;
    QStringList notes;
    int checks = 0;
    QString lastCheck;

    void select(int member, int row)
    {
        if (row == selected[static_cast<std::size_t>(member)])
            return;
        selected[static_cast<std::size_t>(member)] = row;
        if (selected[0] < 0 || selected[1] < 0)
            return;
        const QString name = entries[0][selected[0]];
        const QString period = entries[1][selected[1]];
        const qsizetype key = chronologicalNames.indexOf(name);
        const bool right = key >= 0 && periods[key] == period;
        verdict = (right ? u"Вярно "_s : u"Грешно "_s) + name + u" период "_s + period + u"\r\n"_s;
        if (right)
            verdict += notes[key];
        entries[0].removeAt(selected[0]);
        entries[1].removeAt(selected[1]);
        selected = {-1, -1};
        ++checks;
        lastCheck = (right ? u"right: "_s : u"wrong: "_s) + name + u" / "_s + period;
    }

    void reset()
    {
        entries = {alphabeticalNames, periods};
        selected = {-1, -1};
        verdict.clear();
    }
};

enum class Kind { Click, CtrlClick, DoubleClick, CursorKey, TypeAhead, Wheel, Tab, Verdict, Reset };

// One action as drawn from the seed. Every action draws the same count of
// numbers, so a seed gives the same actions whatever the window does; how
// they land (which entry is under the pointer) depends on the game so far.
struct Draw {
    Kind kind;
    int member;
    quint32 a, b, c;
};

Draw draw(std::mt19937& random)
{
    // Weights per hundred.
    static constexpr std::pair<int, Kind> table[] = {
        {24, Kind::Click}, {6, Kind::CtrlClick}, {8, Kind::DoubleClick}, {20, Kind::CursorKey},
        {12, Kind::TypeAhead}, {4, Kind::Wheel}, {7, Kind::Tab}, {17, Kind::Verdict}, {2, Kind::Reset},
    };
    int roll = static_cast<int>(random() % 100);
    Kind kind = Kind::Reset;
    for (const auto& [weight, candidate] : table) {
        if (roll < weight) {
            kind = candidate;
            break;
        }
        roll -= weight;
    }
    const int member = static_cast<int>(random() % 2);
    const quint32 a = random();
    const quint32 b = random();
    const quint32 c = random();
    return {kind, member, a, b, c};
}

const char* const listNames[] = {"names", "periods"};

class Learner {
public:
    Learner(QuizWindow& window, quint32 seed, bool wholeLog)
        : window_(window), random_(seed), seed_(seed), wholeLog_(wholeLog)
    {
        verdict_ = window.findChild<QPlainTextEdit*>(u"verdict"_s);
        lists_ = {window.findChild<QListWidget*>(u"names"_s), window.findChild<QListWidget*>(u"periods"_s)};
        reset_ = window.findChild<QPushButton*>(u"reset"_s);
        focusChain_ = {verdict_, lists_[0], lists_[1], reset_};
        QObject::connect(verdict_, &QPlainTextEdit::textChanged, verdict_, [this] { ++textChanges_; });
    }

    void start();
    void play(int actions);

    const QStringList& log() const { return log_; }
    QString recentActions() const;
    int checks() const { return reference_.checks; }

private:
    void act(const Draw& action);
    void click(const Draw& action, Qt::KeyboardModifiers modifiers);
    void doubleClick(const Draw& action);
    void cursorKey(const Draw& action);
    void typeAhead(const Draw& action);
    void wheel(const Draw& action);
    void tab(const Draw& action);
    void typeInVerdict(const Draw& action);
    void reset(const Draw& action);

    QPoint pointIn(int member, const Draw& action) const;
    QPoint pointInView(int member, const Draw& action) const;
    void selectAt(int member, QPoint at, bool ctrl);
    void focus(QWidget* widget);
    void verify();
    void note(const QString& line);

    QuizWindow& window_;
    std::mt19937 random_;
    quint32 seed_;
    bool wholeLog_;

    QPlainTextEdit* verdict_;
    std::array<QListWidget*, 2> lists_;
    QPushButton* reset_;
    std::array<QWidget*, 4> focusChain_;
    std::array<QElapsedTimer, 2> sinceTypeAhead_;

    Reference reference_;
    std::array<std::vector<std::u16string>, 3> key_;
    QWidget* expectedFocus_ = nullptr;
    int textChanges_ = 0;

    int actionNumber_ = 0;
    QString current_;
    QStringList log_;
    std::deque<QString> recent_;
};

void Learner::start()
{
    // A search typed into a list starts afresh with each letter, and a
    // click never brings a delayed scroll after it: otherwise what a letter
    // or a click selects would hang on how fast this machine runs.
    QGuiApplication::styleHints()->setKeyboardInputInterval(0);
    QGuiApplication::styleHints()->setMouseDoubleClickInterval(100'000'000);

    drelvan::Form& form = window_.form();
    for (int16_t member = 2; member <= 4; ++member)
        key_[static_cast<std::size_t>(member - 2)] = form.List1(member).entries();
    QCOMPARE(entriesOf(form.List1(2)), chronologicalNames);
    QCOMPARE(entriesOf(form.List1(3)), periods);
    reference_.notes = entriesOf(form.List1(4));
    QCOMPARE(reference_.notes.size(), qsizetype(noteLengths.size()));
    for (qsizetype row = 0; row < reference_.notes.size(); ++row)
        QCOMPARE(reference_.notes[row].size(), noteLengths[static_cast<std::size_t>(row)]);

    reference_.verdict = q(form.Text1(0).Text());
    QCOMPARE(reference_.verdict.size(), openingLength);
    QCOMPARE(reference_.verdict.count(u"\r\n"_s), 8);

    expectedFocus_ = verdict_;
    verify();
}

void Learner::play(int actions)
{
    for (int i = 0; i < actions; ++i) {
        ++actionNumber_;
        current_ = QString::number(actionNumber_) + u' ';
        const int checksBefore = reference_.checks;
        const QString verdictBefore = reference_.verdict;
        textChanges_ = 0;
        act(draw(random_));
        if (reference_.checks != checksBefore)
            current_ += u" -> "_s + reference_.lastCheck;
        note(current_);
        if (QTest::currentTestFailed())
            return;
        QCoreApplication::processEvents();

        verify();
        if (QTest::currentTestFailed())
            return;
        // One action makes one check at the most: the box showed at most one
        // new text on the way.
        QCOMPARE(textChanges_, verdictBefore == reference_.verdict ? 0 : 1);
        if (verdictBefore != reference_.verdict)
            QCOMPARE(verdict_->verticalScrollBar()->value(), 0);
        if (QTest::currentTestFailed())
            return;
    }
}

void Learner::note(const QString& line)
{
    if (wholeLog_)
        log_ << line;
    recent_.push_back(line);
    if (recent_.size() > loggedActions)
        recent_.pop_front();
}

QString Learner::recentActions() const
{
    QString text = u"seed %1, action %2; rerun with DRELVAN_SEED=%1 DRELVAN_ACTIONS=%2\n"_s.arg(seed_).arg(actionNumber_);
    text += u"the last %1 actions:\n"_s.arg(recent_.size());
    for (const QString& line : recent_)
        text += u"  "_s + line + u'\n';
    return text;
}

void Learner::act(const Draw& action)
{
    switch (action.kind) {
    case Kind::Click:
        return click(action, Qt::NoModifier);
    case Kind::CtrlClick:
        return click(action, Qt::ControlModifier);
    case Kind::DoubleClick:
        return doubleClick(action);
    case Kind::CursorKey:
        return cursorKey(action);
    case Kind::TypeAhead:
        return typeAhead(action);
    case Kind::Wheel:
        return wheel(action);
    case Kind::Tab:
        return tab(action);
    case Kind::Verdict:
        return typeInVerdict(action);
    case Kind::Reset:
        return reset(action);
    }
}

// A point on an entry (one of those in view), below the entries, or
// anywhere in the list.
QPoint Learner::pointIn(int member, const Draw& action) const
{
    // QTest takes the point (0,0) to mean the middle of the widget.
    const QPoint point = pointInView(member, action);
    return point.isNull() ? QPoint(1, 0) : point;
}

QPoint Learner::pointInView(int member, const Draw& action) const
{
    QListWidget* list = lists_[static_cast<std::size_t>(member)];
    const QRect view = list->viewport()->rect();
    const QPoint anywhere(static_cast<int>(action.b % static_cast<quint32>(view.width())),
                          static_cast<int>(action.c % static_cast<quint32>(view.height())));
    const int count = list->count();
    switch (action.a % 4) {
    case 0:
        return anywhere;
    case 1: {
        const int below = count == 0 ? 0 : list->visualItemRect(list->item(count - 1)).bottom() + 1;
        if (below >= view.height())
            return anywhere;
        return {anywhere.x(), below + static_cast<int>(action.c % static_cast<quint32>(view.height() - below))};
    }
    default: {
        if (count == 0)
            return anywhere;
        const QRect entry = list->visualItemRect(list->item(static_cast<int>(action.b % static_cast<quint32>(count))))
                                .intersected(view);
        if (entry.isEmpty())
            return anywhere;
        return {entry.left() + static_cast<int>(action.c % static_cast<quint32>(entry.width())),
                entry.top() + static_cast<int>((action.c >> 16) % static_cast<quint32>(entry.height()))};
    }
    }
}

// A press at `at` selects the entry under it; a Ctrl+press on the selected
// entry and a press beside the entries leave the selection as it is.
void Learner::selectAt(int member, QPoint at, bool ctrl)
{
    const QModelIndex under = lists_[static_cast<std::size_t>(member)]->indexAt(at);
    if (!under.isValid()) {
        current_ += u" (no entry)"_s;
        return;
    }
    current_ += u" on \""_s + reference_.entries[static_cast<std::size_t>(member)].value(under.row()) + u'"';
    if (ctrl && under.row() == reference_.selected[static_cast<std::size_t>(member)])
        return;
    reference_.select(member, under.row());
}

void Learner::click(const Draw& action, Qt::KeyboardModifiers modifiers)
{
    const QPoint at = pointIn(action.member, action);
    current_ += u"%1click %2 at (%3,%4)"_s.arg(modifiers ? u"Ctrl+"_s : QString(), QLatin1String(listNames[action.member]))
                    .arg(at.x())
                    .arg(at.y());
    selectAt(action.member, at, modifiers.testFlag(Qt::ControlModifier));
    QTest::mouseClick(lists_[static_cast<std::size_t>(action.member)]->viewport(), Qt::LeftButton, modifiers, at);
    expectedFocus_ = lists_[static_cast<std::size_t>(action.member)];
}

// The first click of a double-click selects; the second, if the first made a
// pair and took the entry away, lands on the entry that moved into its place
// and selects that one.
void Learner::doubleClick(const Draw& action)
{
    QListWidget* list = lists_[static_cast<std::size_t>(action.member)];
    const QPoint at = pointIn(action.member, action);
    current_ += u"double-click %1 at (%2,%3)"_s.arg(QLatin1String(listNames[action.member])).arg(at.x()).arg(at.y());
    const QModelIndex first = list->indexAt(at);
    const QString pressed = first.isValid() ? list->item(first.row())->text() : QString();
    selectAt(action.member, at, false);
    QTest::mousePress(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, at);
    expectedFocus_ = list;

    QCOMPARE(itemsOf(list), reference_.entries[static_cast<std::size_t>(action.member)]);
    const QModelIndex second = list->indexAt(at);
    if (first.isValid() && second.isValid() && list->item(second.row())->text() != pressed) {
        current_ += u", again"_s;
        selectAt(action.member, at, false);
    }
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, at);
}

// With nothing selected in the list, a cursor key selects the entry with the
// focus mark (the first entry if none has it), Home the first entry and End
// the last. With an entry selected the keys move the selection; at either
// end a key that would leave the list does nothing.
void Learner::cursorKey(const Draw& action)
{
    static constexpr std::pair<Qt::Key, const char*> keys[] = {
        {Qt::Key_Up, "Up"},     {Qt::Key_Down, "Down"},         {Qt::Key_Home, "Home"},
        {Qt::Key_End, "End"},   {Qt::Key_PageUp, "Page Up"},    {Qt::Key_PageDown, "Page Down"},
    };
    const auto& [key, keyName] = keys[action.a % std::size(keys)];
    QListWidget* list = lists_[static_cast<std::size_t>(action.member)];
    focus(list);
    const int count = list->count();
    const int mark = list->currentRow();
    const int selected = reference_.selected[static_cast<std::size_t>(action.member)];
    current_ += u"%1 in %2 (focus mark %3)"_s.arg(QLatin1String(keyName), QLatin1String(listNames[action.member])).arg(mark);

    int target = mark;
    if (count > 0 && selected < 0) {
        target = key == Qt::Key_Home ? 0 : key == Qt::Key_End ? count - 1 : std::max(mark, 0);
    } else if (count > 0) {
        switch (key) {
        case Qt::Key_Up:
            target = std::max(mark - 1, 0);
            break;
        case Qt::Key_Down:
            target = std::min(mark + 1, count - 1);
            break;
        case Qt::Key_Home:
            target = 0;
            break;
        case Qt::Key_End:
            target = count - 1;
            break;
        case Qt::Key_PageUp:
            target = CursorProbe::pageTarget(list, false);
            QVERIFY(target >= 0 && target <= mark);
            break;
        default:
            target = CursorProbe::pageTarget(list, true);
            QVERIFY(target >= mark && target < count);
            break;
        }
    }
    if (target >= 0 && (selected < 0 || target != mark)) {
        current_ += u" -> \""_s + reference_.entries[static_cast<std::size_t>(action.member)][target] + u'"';
        reference_.select(action.member, target);
    }
    QTest::keyClick(list, key);
}

// A letter or digit typed into a list selects the next entry after the focus
// mark that starts with it, ignoring case, going round to the top; one that
// starts no entry does nothing.
void Learner::typeAhead(const Draw& action)
{
    static const QStringList letters{u"А"_s, u"В"_s, u"К"_s, u"М"_s, u"О"_s, u"П"_s, u"С"_s, u"Т"_s,
                                     u"к"_s, u"т"_s, u"с"_s, u"Я"_s, u"Ж"_s, u"I"_s};
    static const QStringList digits{u"6"_s, u"7"_s, u"8"_s, u"5"_s};
    const QStringList& pool = action.member == 0 ? letters : digits;
    const QString typed = pool[static_cast<qsizetype>(action.a % static_cast<quint32>(pool.size()))];
    QListWidget* list = lists_[static_cast<std::size_t>(action.member)];
    focus(list);
    const QStringList& entries = reference_.entries[static_cast<std::size_t>(action.member)];
    const int count = static_cast<int>(entries.size());
    const int mark = list->currentRow();
    current_ += u"type \"%1\" in %2 (focus mark %3)"_s.arg(typed, QLatin1String(listNames[action.member])).arg(mark);

    if (count > 0) {
        const int from = mark < 0 ? 0 : (mark + 1) % count;
        for (int i = 0; i < count; ++i) {
            const int row = (from + i) % count;
            if (entries[row].startsWith(typed, Qt::CaseInsensitive)) {
                current_ += u" -> \""_s + entries[row] + u'"';
                reference_.select(action.member, row);
                break;
            }
        }
    }
    // The list must see this letter as a new search, not as the next letter
    // of the last one: at least a millisecond apart.
    QElapsedTimer& since = sinceTypeAhead_[static_cast<std::size_t>(action.member)];
    while (since.isValid() && since.nsecsElapsed() < 2'000'000)
        QThread::usleep(200);
    sendText(list, typed);
    since.start();
}

void Learner::wheel(const Draw& action)
{
    const bool down = action.a % 2;
    QWidget* target = action.b % 3 == 2 ? static_cast<QWidget*>(verdict_) : lists_[static_cast<std::size_t>(action.member)];
    current_ += u"wheel %1 %2"_s.arg(down ? u"down"_s : u"up"_s,
                                      target == verdict_ ? u"verdict"_s : QLatin1String(listNames[action.member]));
    QAbstractScrollArea* area = static_cast<QAbstractScrollArea*>(target);
    const QPoint at = area->viewport()->rect().center();
    QWheelEvent event(at, area->viewport()->mapToGlobal(at), QPoint(), QPoint(0, down ? -120 : 120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(area->viewport(), &event);
}

void Learner::tab(const Draw& action)
{
    const bool back = action.a % 2;
    current_ += back ? u"Shift+Tab"_s : u"Tab"_s;
    QWidget* from = QApplication::focusWidget();
    QVERIFY(from);
    const auto at = std::find(focusChain_.begin(), focusChain_.end(), from) - focusChain_.begin();
    QVERIFY(at < 4);
    expectedFocus_ = focusChain_[static_cast<std::size_t>((at + (back ? 3 : 1)) % 4)];
    if (back)
        QTest::keyClick(from, Qt::Key_Backtab, Qt::ShiftModifier);
    else
        QTest::keyClick(from, Qt::Key_Tab);
}

// The verdict box takes the focus and lets its text be selected and copied,
// but nothing typed, pasted or deleted changes it.
void Learner::typeInVerdict(const Draw& action)
{
    static const QStringList clippings{u"Вярно Крум период 803 - 814"_s, u"x"_s, u"Грешно\r\n"_s, QString(u"Я"_s).repeated(3000)};
    focus(verdict_);
    if (action.b % 2) {
        current_ += u"Ctrl+A, "_s;
        QTest::keyClick(verdict_, Qt::Key_A, Qt::ControlModifier);
    }
    switch (action.a % 9) {
    case 0:
        current_ += u"type \"Крум\" in the verdict box"_s;
        sendText(verdict_, u"Крум"_s);
        break;
    case 1:
        current_ += u"type \"abc\" in the verdict box"_s;
        QTest::keyClicks(verdict_, u"abc"_s);
        break;
    case 2:
        current_ += u"Return in the verdict box"_s;
        QTest::keyClick(verdict_, Qt::Key_Return);
        break;
    case 3:
    case 4: {
        const QString clipping = clippings[static_cast<qsizetype>(action.c % static_cast<quint32>(clippings.size()))];
        QGuiApplication::clipboard()->setText(clipping);
        current_ += u"paste %1 characters into the verdict box with %2"_s.arg(clipping.size())
                        .arg(action.a % 9 == 3 ? u"Ctrl+V"_s : u"Shift+Insert"_s);
        if (action.a % 9 == 3)
            QTest::keyClick(verdict_, Qt::Key_V, Qt::ControlModifier);
        else
            QTest::keyClick(verdict_, Qt::Key_Insert, Qt::ShiftModifier);
        break;
    }
    case 5:
        current_ += u"Backspace in the verdict box"_s;
        QTest::keyClick(verdict_, Qt::Key_Backspace);
        break;
    case 6:
        current_ += u"Delete in the verdict box"_s;
        QTest::keyClick(verdict_, Qt::Key_Delete);
        break;
    case 7:
        current_ += u"Ctrl+X in the verdict box"_s;
        QTest::keyClick(verdict_, Qt::Key_X, Qt::ControlModifier);
        break;
    default:
        current_ += u"Ctrl+Z in the verdict box"_s;
        QTest::keyClick(verdict_, Qt::Key_Z, Qt::ControlModifier);
        break;
    }
}

void Learner::reset(const Draw& action)
{
    switch (action.a % 3) {
    case 0:
        current_ += u"click the reset button"_s;
        QTest::mouseClick(reset_, Qt::LeftButton);
        break;
    case 1:
        current_ += u"Space on the reset button"_s;
        focus(reset_);
        QTest::keyClick(reset_, Qt::Key_Space);
        break;
    default:
        current_ += u"Enter on the reset button"_s;
        focus(reset_);
        QTest::keyClick(reset_, action.b % 2 ? Qt::Key_Return : Qt::Key_Enter);
        break;
    }
    expectedFocus_ = reset_;
    reference_.reset();
}

// The learner's hand goes to a control before the keys do. Giving the focus
// judges nothing; verify() sees to that after the action.
void Learner::focus(QWidget* widget)
{
    if (QApplication::focusWidget() != widget)
        widget->setFocus(Qt::OtherFocusReason);
    expectedFocus_ = widget;
}

void Learner::verify()
{
    drelvan::Form& form = window_.form();

    // The answer key never changes.
    for (int16_t member = 2; member <= 4; ++member)
        QVERIFY2(form.List1(member).entries() == key_[static_cast<std::size_t>(member - 2)],
                 qPrintable(u"hidden list List1(%1) changed"_s.arg(member)));

    for (int member = 0; member < 2; ++member) {
        const auto index = static_cast<std::size_t>(member);
        const drelvan::ListBox& model = form.List1(static_cast<int16_t>(member));
        if (!sameEntries(model.entries(), reference_.entries[index]))
            QCOMPARE(entriesOf(model), reference_.entries[index]);
        QCOMPARE(int(model.ListIndex()), reference_.selected[index]);

        QListWidget* list = lists_[index];
        QCOMPARE(list->count(), int(reference_.entries[index].size()));
        for (int row = 0; row < list->count(); ++row)
            if (list->item(row)->text() != reference_.entries[index][row])
                QCOMPARE(itemsOf(list), reference_.entries[index]);
        QCOMPARE(selectedRow(list), reference_.selected[index]);
        QCOMPARE(list->selectionModel()->selectedIndexes().size(), reference_.selected[index] < 0 ? 0 : 1);
        // The focus mark sits on the selected entry, so the keys go on from
        // what the learner sees selected.
        if (reference_.selected[index] >= 0)
            QCOMPARE(list->currentRow(), reference_.selected[index]);
    }
    QCOMPARE(reference_.entries[0].size(), reference_.entries[1].size());
    QVERIFY2(form.List1(0).ListIndex() < 0 || form.List1(1).ListIndex() < 0, "two selections stand in the model");
    QVERIFY2(selectedRow(lists_[0]) < 0 || selectedRow(lists_[1]) < 0, "two selections stand on the screen");

    if (QStringView(form.Text1(0).Text()) != reference_.verdict)
        QCOMPARE(q(form.Text1(0).Text()), reference_.verdict);
    QString shown = reference_.verdict;
    shown.replace(u"\r\n"_s, u"\n"_s);
    QCOMPARE(verdict_->toPlainText(), shown);

    QCOMPARE(QApplication::focusWidget(), expectedFocus_);
    QVERIFY2(qtWarnings.isEmpty(), qPrintable(qtWarnings.join(u'\n')));
    QVERIFY2(!window_.findChild<QMessageBox*>(QString(), Qt::FindDirectChildrenOnly),
             "the window reported a run-time error");
}

struct Game {
    quint32 seed;
    int actions;
};

std::optional<Game> gameFromEnvironment()
{
    bool seedGiven = false;
    bool actionsGiven = false;
    const quint32 seed = qEnvironmentVariable("DRELVAN_SEED").toUInt(&seedGiven);
    const int actions = qEnvironmentVariableIntValue("DRELVAN_ACTIONS", &actionsGiven);
    if (!seedGiven && !actionsGiven)
        return std::nullopt;
    return Game{seedGiven ? seed : 1u, actionsGiven ? actions : defaultActions};
}

} // namespace

class RandomLearnerTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void initTestCase();
    void cleanupTestCase();
    void play_data();
    void play();
    void sameSeedSameGame();

private:
    QuizWindow* openWindow();

    std::vector<QuizWindow*> windows_;
};

void RandomLearnerTest::initTestCase()
{
    previousHandler = qInstallMessageHandler(recordWarning);
}

void RandomLearnerTest::cleanupTestCase()
{
    qInstallMessageHandler(previousHandler);
}

void RandomLearnerTest::init()
{
    qtWarnings.clear();
    windows_.clear();
}

void RandomLearnerTest::cleanup()
{
    qDeleteAll(windows_);
    windows_.clear();
}

QuizWindow* RandomLearnerTest::openWindow()
{
    auto* window = new QuizWindow;
    windows_.push_back(window);
    window->show();
    window->activateWindow();
    if (!QTest::qWaitForWindowExposed(window) || !QTest::qWaitForWindowActive(window))
        return nullptr;
    return window;
}

void RandomLearnerTest::play_data()
{
    QTest::addColumn<quint32>("seed");
    QTest::addColumn<int>("actions");
    if (const auto game = gameFromEnvironment()) {
        QTest::addRow("seed %u, %d actions", game->seed, game->actions) << game->seed << game->actions;
        return;
    }
    for (const quint32 seed : {1u, 2u, 3u, 4u, 5u})
        QTest::addRow("seed %u", seed) << seed << defaultActions;
}

void RandomLearnerTest::play()
{
    QFETCH(quint32, seed);
    QFETCH(int, actions);
    QuizWindow* window = openWindow();
    QVERIFY(window);
    Learner learner(*window, seed, false);
    learner.start();
    if (QTest::currentTestFailed())
        return;
    learner.play(actions);
    if (QTest::currentTestFailed()) {
        qWarning().noquote() << learner.recentActions();
        return;
    }
    // The game got somewhere: pairs were judged, not just clicked past.
    if (actions >= 1000)
        QVERIFY2(learner.checks() > actions / 20, qPrintable(QString::number(learner.checks())));
}

// A seed stands for one game: the actions, where they land and what they
// make of the quiz are the same each time, so a failure can be rerun.
void RandomLearnerTest::sameSeedSameGame()
{
    std::array<QStringList, 3> logs;
    const quint32 seeds[] = {11, 11, 12};
    for (std::size_t i = 0; i < logs.size(); ++i) {
        QuizWindow* window = openWindow();
        QVERIFY(window);
        Learner learner(*window, seeds[i], true);
        learner.start();
        if (QTest::currentTestFailed())
            return;
        learner.play(600);
        if (QTest::currentTestFailed()) {
            qWarning().noquote() << learner.recentActions();
            return;
        }
        logs[i] = learner.log();
        delete window;
        windows_.pop_back();
    }
    QCOMPARE(logs[0].size(), 600);
    QCOMPARE(logs[1], logs[0]);
    QVERIFY(logs[2] != logs[0]);
}

QTEST_MAIN(RandomLearnerTest)
#include "tst_random_learner.moc"
