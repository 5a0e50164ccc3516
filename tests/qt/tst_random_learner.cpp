// A learner who plays the window at random: clicks, double-clicks and
// Ctrl+clicks anywhere in the two lists, cursor keys, Space, type-ahead, Tab,
// a screen reader's press on an entry, the reset button by mouse and
// keyboard, and typing, pasting and deleting in the verdict box. After every
// action the window is held against a reference that plays by the rules of
// the game on its own and knows nothing of the program's handlers: the names
// and periods are typed in support.hpp, and the notes, read once from the
// hidden list, are held to their known lengths. The lists are read the way a
// screen reader reads them, through their accessible interfaces, as well as
// through the views.
//
// What the learner's action picks is predicted before it is sent, from what
// the learner sees: the entry drawn under the pointer, the entry with the
// focus mark, the entries' texts, how many whole rows a list shows.
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

#include "qt/listboxview.hpp"
#include "qt/quizwindow.hpp"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
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

using drelvan::ListBoxView;
using drelvan::QuizWindow;

namespace {

constexpr int defaultActions = 4000;
constexpr std::size_t loggedActions = 40;

// The note of each ruler, in catalogue order, by length: the notes
// themselves are read once from the hidden list and then held to these.
constexpr std::array<qsizetype, 16> noteLengths{83, 188, 38, 43, 88, 49, 38, 76, 68, 51, 176, 86, 661, 137, 97, 65};

constexpr qsizetype openingLength = 1008;

// Long enough for any run of letters to count as one search, however slow
// the machine.
constexpr int patientTyping = 3'600'000;

bool sameEntries(const std::vector<std::u16string>& model, const QStringList& expected)
{
    if (model.size() != static_cast<std::size_t>(expected.size()))
        return false;
    for (qsizetype i = 0; i < expected.size(); ++i)
        if (QStringView(model[static_cast<std::size_t>(i)]) != expected[i])
            return false;
    return true;
}

QStringList textsOf(const ListBoxView* list)
{
    QStringList texts;
    for (int row = 0; row < list->count(); ++row)
        texts << list->text(row);
    return texts;
}

// What a screen reader reads of a list: each entry's name, with a star
// before the selected one.
QStringList heardOf(QAccessibleInterface* list)
{
    QStringList heard;
    for (int row = 0; row < list->childCount(); ++row) {
        QAccessibleInterface* entry = list->child(row);
        if (!entry) {
            heard << u"(no interface)"_s;
            continue;
        }
        heard << (entry->state().selected ? u"*"_s : QString()) + entry->text(QAccessible::Name);
    }
    return heard;
}

QStringList heardFromReference(const QStringList& entries, int selected)
{
    QStringList heard;
    for (qsizetype row = 0; row < entries.size(); ++row)
        heard << (row == selected ? u"*"_s : QString()) + entries[row];
    return heard;
}

// What Qt warns of while the learner plays: a warning means the window did
// something at a moment Qt does not allow.
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
// is selected, where the focus mark is, what has been typed into each list,
// and the verdict box's text.
struct Reference {
    std::array<QStringList, 2> entries{alphabeticalNames, periods};
    std::array<int, 2> selected{-1, -1};
    std::array<int, 2> mark{-1, -1};
    std::array<QString, 2> search;
    QString verdict;
    QStringList notes;
    int checks = 0;
    QString lastCheck;

    int count(int member) const { return static_cast<int>(entries[static_cast<std::size_t>(member)].size()); }

    // The learner picks an entry: the focus mark goes to it, and it becomes
    // the selection unless it is already.
    void pick(int member, int row)
    {
        mark[static_cast<std::size_t>(member)] = row;
        select(member, row);
    }

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
        keepMarksOnEntries();
    }

    // A list that gets the keyboard focus with no focus mark puts it on its
    // first entry.
    void focusGained(int member)
    {
        if (mark[static_cast<std::size_t>(member)] < 0 && count(member) > 0)
            mark[static_cast<std::size_t>(member)] = 0;
    }

    // The mark stays at its row when the entry there goes, on the entry that
    // moved up into its place, or on the last entry if it was the last.
    void keepMarksOnEntries()
    {
        for (int member = 0; member < 2; ++member)
            mark[static_cast<std::size_t>(member)] = std::min(mark[static_cast<std::size_t>(member)], count(member) - 1);
    }

    void reset()
    {
        entries = {alphabeticalNames, periods};
        selected = {-1, -1};
        verdict.clear();
        mark = {0, 0}; // dealt afresh, each list starts at its top
    }

    // The entry a letter typed into a list picks, -1 for none. A new search
    // starts behind the focus mark and goes round to the top; a letter
    // typed soon after the last one adds to the search, which starts at the
    // mark, so that the entry found so far stays while it still fits; the
    // same letter again and again, in either case, goes on to the next
    // entry that starts with it.
    int typeAhead(int member, const QString& typed, bool goingOn)
    {
        QString& typedSoFar = search[static_cast<std::size_t>(member)];
        typedSoFar = goingOn ? typedSoFar + typed : typed;
        QString wanted = typedSoFar;
        const int at = mark[static_cast<std::size_t>(member)];
        int from = at + 1;
        if (goingOn && typedSoFar.size() > 1) {
            const bool sameLetter = std::all_of(typedSoFar.cbegin(), typedSoFar.cend(), [&](QChar letter) {
                return QStringView(&letter, 1).compare(typedSoFar.left(1), Qt::CaseInsensitive) == 0;
            });
            if (sameLetter)
                wanted = typed;
            else
                from = std::max(at, 0);
        }
        const QStringList& list = entries[static_cast<std::size_t>(member)];
        for (int i = 0; i < count(member); ++i) {
            const int row = (from + i) % count(member);
            if (list[row].startsWith(wanted, Qt::CaseInsensitive))
                return row;
        }
        return -1;
    }
};

enum class Kind { Click, CtrlClick, DoubleClick, CursorKey, TypeAhead, ScreenReader, Wheel, Tab, Verdict, Reset };

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
        {21, Kind::Click}, {6, Kind::CtrlClick}, {8, Kind::DoubleClick}, {20, Kind::CursorKey},
        {12, Kind::TypeAhead}, {5, Kind::ScreenReader}, {4, Kind::Wheel}, {7, Kind::Tab},
        {15, Kind::Verdict}, {2, Kind::Reset},
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
        lists_ = {window.findChild<ListBoxView*>(u"names"_s), window.findChild<ListBoxView*>(u"periods"_s)};
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
    void screenReader(const Draw& action);
    void wheel(const Draw& action);
    void tab(const Draw& action);
    void typeInVerdict(const Draw& action);
    void reset(const Draw& action);

    QPoint pointIn(int member, const Draw& action) const;
    QPoint pointInView(int member, const Draw& action) const;
    int entryDrawnAt(int member, QPoint at) const;
    void pressAt(int member, QPoint at);
    void pick(int member, int row);
    void focus(QWidget* widget);
    void focusTo(QWidget* widget);
    void verify();
    void verifyList(int member);
    void note(const QString& line);

    QuizWindow& window_;
    std::mt19937 random_;
    quint32 seed_;
    bool wholeLog_;

    QPlainTextEdit* verdict_;
    std::array<ListBoxView*, 2> lists_;
    QPushButton* reset_;
    std::array<QWidget*, 4> focusChain_;
    std::array<QElapsedTimer, 2> sinceTypeAhead_;

    Reference reference_;
    std::array<std::vector<std::u16string>, 3> key_;
    QWidget* expectedFocus_ = nullptr;
    std::array<bool, 2> picked_{false, false};
    int textChanges_ = 0;

    int actionNumber_ = 0;
    QString current_;
    QStringList log_;
    std::deque<QString> recent_;
};

void Learner::start()
{
    // A click never brings a delayed scroll after it: otherwise what a
    // second click lands on would hang on how fast this machine runs.
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

    for (ListBoxView* list : lists_)
        QVERIFY(list);
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
        picked_ = {false, false};
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
    case Kind::ScreenReader:
        return screenReader(action);
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
    ListBoxView* list = lists_[static_cast<std::size_t>(member)];
    const QRect view = list->viewport()->rect();
    const QPoint anywhere(static_cast<int>(action.b % static_cast<quint32>(view.width())),
                          static_cast<int>(action.c % static_cast<quint32>(view.height())));
    const int count = list->count();
    switch (action.a % 4) {
    case 0:
        return anywhere;
    case 1: {
        const int below = count == 0 ? 0 : list->visualRect(count - 1).bottom() + 1;
        if (below >= view.height())
            return anywhere;
        return {anywhere.x(), below + static_cast<int>(action.c % static_cast<quint32>(view.height() - below))};
    }
    default: {
        if (count == 0)
            return anywhere;
        const QRect entry = list->visualRect(static_cast<int>(action.b % static_cast<quint32>(count))).intersected(view);
        if (entry.isEmpty())
            return anywhere;
        return {entry.left() + static_cast<int>(action.c % static_cast<quint32>(entry.width())),
                entry.top() + static_cast<int>((action.c >> 16) % static_cast<quint32>(entry.height()))};
    }
    }
}

// The entry whose row is drawn under the point, -1 for none.
int Learner::entryDrawnAt(int member, QPoint at) const
{
    const ListBoxView* list = lists_[static_cast<std::size_t>(member)];
    if (!list->viewport()->rect().contains(at))
        return -1;
    for (int row = list->firstVisibleRow(); row < list->count(); ++row)
        if (list->visualRect(row).contains(at))
            return row;
    return -1;
}

void Learner::pick(int member, int row)
{
    current_ += u" -> \""_s + reference_.entries[static_cast<std::size_t>(member)][row] + u'"';
    reference_.pick(member, row);
    picked_[static_cast<std::size_t>(member)] = true;
}

// A press on an entry picks it, with or without Ctrl; a press beside the
// entries picks nothing.
void Learner::pressAt(int member, QPoint at)
{
    const int under = entryDrawnAt(member, at);
    QCOMPARE(lists_[static_cast<std::size_t>(member)]->rowAt(at), under);
    if (under < 0) {
        current_ += u" (no entry)"_s;
        return;
    }
    pick(member, under);
}

void Learner::click(const Draw& action, Qt::KeyboardModifiers modifiers)
{
    ListBoxView* list = lists_[static_cast<std::size_t>(action.member)];
    const QPoint at = pointIn(action.member, action);
    current_ += u"%1click %2 at (%3,%4)"_s.arg(modifiers ? u"Ctrl+"_s : QString(), QLatin1String(listNames[action.member]))
                    .arg(at.x())
                    .arg(at.y());
    // The press gives the list the focus before it picks.
    focusTo(list);
    pressAt(action.member, at);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, modifiers, at);
}

// The first click of a double-click picks what is under the pointer; the
// second picks what is under it then: the same entry, or, if the first made
// a pair and took the entry away or scrolled the list, another.
void Learner::doubleClick(const Draw& action)
{
    ListBoxView* list = lists_[static_cast<std::size_t>(action.member)];
    const QPoint at = pointIn(action.member, action);
    current_ += u"double-click %1 at (%2,%3)"_s.arg(QLatin1String(listNames[action.member])).arg(at.x()).arg(at.y());
    focusTo(list);
    pressAt(action.member, at);
    QTest::mousePress(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, at);
    QCoreApplication::processEvents();
    verifyList(action.member);
    if (QTest::currentTestFailed())
        return;

    current_ += u", again"_s;
    pressAt(action.member, at);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, at);
}

// With nothing selected in the list, a cursor key or Space picks the entry
// with the focus mark (the first entry if none has it), Home the first entry
// and End the last. With an entry selected the keys move from it, Page Up and
// Page Down by one row less than the list shows whole; at either end a key
// that would leave the list stays at the end.
void Learner::cursorKey(const Draw& action)
{
    static constexpr std::pair<Qt::Key, const char*> keys[] = {
        {Qt::Key_Up, "Up"},           {Qt::Key_Down, "Down"},          {Qt::Key_Home, "Home"}, {Qt::Key_End, "End"},
        {Qt::Key_PageUp, "Page Up"}, {Qt::Key_PageDown, "Page Down"}, {Qt::Key_Space, "Space"},
    };
    const auto& [key, keyName] = keys[action.a % std::size(keys)];
    ListBoxView* list = lists_[static_cast<std::size_t>(action.member)];
    focus(list);
    const int count = reference_.count(action.member);
    const int last = count - 1;
    const int mark = reference_.mark[static_cast<std::size_t>(action.member)];
    const int selected = reference_.selected[static_cast<std::size_t>(action.member)];
    current_ += u"%1 in %2 (focus mark %3)"_s.arg(QLatin1String(keyName), QLatin1String(listNames[action.member])).arg(mark);

    // How many rows the list shows whole, from the rows as drawn.
    const int rowHeight = count > 0 ? list->visualRect(0).height() : 1;
    QVERIFY(rowHeight > 0);
    const int wholeRows = std::max(1, list->viewport()->height() / rowHeight);
    if (count > 0)
        QCOMPARE(list->wholeRowsShown(), wholeRows);
    const int page = std::max(1, wholeRows - 1);

    int target = -1;
    if (count == 0)
        target = -1;
    else if (key == Qt::Key_Home)
        target = 0;
    else if (key == Qt::Key_End)
        target = last;
    else if (selected < 0)
        target = std::max(mark, 0);
    else if (key == Qt::Key_Up)
        target = std::max(selected - 1, 0);
    else if (key == Qt::Key_Down)
        target = std::min(selected + 1, last);
    else if (key == Qt::Key_PageUp)
        target = std::max(selected - page, 0);
    else if (key == Qt::Key_PageDown)
        target = std::min(selected + page, last);
    else
        target = selected;
    if (target >= 0 && target != selected)
        pick(action.member, target);
    QTest::keyClick(list, key);
}

// Letters and digits typed into a list: a new search, the same letter again
// (in either case), or the next letter of an entry that fits what was typed.
void Learner::typeAhead(const Draw& action)
{
    static const QStringList letters{u"А"_s, u"В"_s, u"К"_s, u"М"_s, u"О"_s, u"П"_s, u"С"_s, u"Т"_s,
                                     u"к"_s, u"т"_s, u"с"_s, u"Я"_s, u"Ж"_s, u"I"_s, u"о"_s, u"е"_s};
    static const QStringList digits{u"6"_s, u"7"_s, u"8"_s, u"5"_s, u"0"_s, u"3"_s};
    const auto index = static_cast<std::size_t>(action.member);
    const QStringList& pool = action.member == 0 ? letters : digits;
    QString typed = pool[static_cast<qsizetype>(action.a % static_cast<quint32>(pool.size()))];
    const QString& typedSoFar = reference_.search[index];
    const QStringList& entries = reference_.entries[index];
    const bool goingOn = action.b % 4 >= 2 && !typedSoFar.isEmpty();
    if (goingOn && action.b % 4 == 2) {
        typed = action.c % 2 ? typedSoFar.left(1).toLower() : typedSoFar.left(1).toUpper();
    } else if (goingOn) {
        QStringList fitting;
        for (const QString& entry : entries)
            if (entry.size() > typedSoFar.size() && entry.startsWith(typedSoFar, Qt::CaseInsensitive))
                fitting << entry;
        if (!fitting.isEmpty()) {
            const QChar next = fitting[static_cast<qsizetype>(action.c % static_cast<quint32>(fitting.size()))][typedSoFar.size()];
            if (!next.isSpace())
                typed = action.c % 3 ? QString(next) : QString(next).toUpper();
        }
    }
    ListBoxView* list = lists_[index];
    focus(list);
    const int mark = reference_.mark[index];
    current_ += u"type \"%1\"%2 in %3 (focus mark %4)"_s.arg(typed, goingOn ? u" after \""_s + typedSoFar + u'"' : QString(),
                                                              QLatin1String(listNames[action.member]))
                    .arg(mark);

    // A list with no entries takes no notice of what is typed.
    if (!entries.isEmpty()) {
        const int found = reference_.typeAhead(action.member, typed, goingOn);
        if (found >= 0)
            pick(action.member, found);
        else
            current_ += u" (none)"_s;
    }
    // Whether the list takes a letter as the next of a search or as a new
    // one hangs on the time since the last; the learner types either quickly
    // or, for a new search, at least a millisecond after a zero interval.
    QGuiApplication::styleHints()->setKeyboardInputInterval(goingOn ? patientTyping : 0);
    QElapsedTimer& since = sinceTypeAhead_[index];
    while (!goingOn && since.isValid() && since.nsecsElapsed() < 2'000'000)
        QThread::usleep(200);
    sendText(list, typed);
    since.start();
}

// A screen reader presses one of the entries it reads out, as a click on it
// would, but leaves the keyboard focus where it is.
void Learner::screenReader(const Draw& action)
{
    ListBoxView* list = lists_[static_cast<std::size_t>(action.member)];
    QAccessibleInterface* listInterface = QAccessible::queryAccessibleInterface(list);
    QVERIFY(listInterface);
    const int count = listInterface->childCount();
    current_ += u"screen reader presses in %1"_s.arg(QLatin1String(listNames[action.member]));
    if (count == 0) {
        current_ += u" (no entry)"_s;
        return;
    }
    const int row = static_cast<int>(action.a % static_cast<quint32>(count));
    current_ += u" entry %1"_s.arg(row);
    QAccessibleInterface* entry = listInterface->child(row);
    QVERIFY(entry);
    QCOMPARE(listInterface->indexOfChild(entry), row);
    QAccessibleActionInterface* actions = entry->actionInterface();
    QVERIFY(actions);
    QVERIFY(actions->actionNames().contains(QAccessibleActionInterface::pressAction()));
    pick(action.member, row);
    actions->doAction(QAccessibleActionInterface::pressAction());
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
    focusTo(focusChain_[static_cast<std::size_t>((at + (back ? 3 : 1)) % 4)]);
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
        focusTo(reset_);
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
    reference_.reset();
}

// The learner's hand goes to a control before the keys do. Giving the focus
// judges nothing; verify() sees to that after the action.
void Learner::focus(QWidget* widget)
{
    focusTo(widget);
    if (QApplication::focusWidget() != widget)
        widget->setFocus(Qt::OtherFocusReason);
}

// Where the action sends the keyboard focus.
void Learner::focusTo(QWidget* widget)
{
    if (widget != expectedFocus_)
        for (int member = 0; member < 2; ++member)
            if (widget == lists_[static_cast<std::size_t>(member)])
                reference_.focusGained(member);
    expectedFocus_ = widget;
}

// A list as the learner sees it and as a screen reader reads it.
void Learner::verifyList(int member)
{
    const auto index = static_cast<std::size_t>(member);
    const QStringList& entries = reference_.entries[index];
    const int count = reference_.count(member);
    const int selected = reference_.selected[index];
    const int mark = reference_.mark[index];
    const drelvan::ListBox& model = window_.form().List1(static_cast<int16_t>(member));
    if (!sameEntries(model.entries(), entries))
        QCOMPARE(entriesOf(model), entries);
    QCOMPARE(int(model.ListIndex()), selected);

    ListBoxView* list = lists_[index];
    QCOMPARE(list->count(), count);
    for (int row = 0; row < count; ++row)
        if (list->text(row) != entries[row])
            QCOMPARE(textsOf(list), entries);
    QCOMPARE(list->selectedRow(), selected);
    QCOMPARE(list->caretRow(), mark);

    // The accessible interfaces answer whether or not a screen reader is
    // running, so the offscreen platform, which has none, reads them too.
    QAccessibleInterface* listInterface = QAccessible::queryAccessibleInterface(list);
    QVERIFY(listInterface);
    bool heardRight = listInterface->childCount() == count;
    for (int row = 0; heardRight && row < count; ++row) {
        QAccessibleInterface* entry = listInterface->child(row);
        heardRight = entry && entry->text(QAccessible::Name) == entries[row]
                     && entry->state().selected == (row == selected)
                     && entry->state().focused == (row == mark && QApplication::focusWidget() == list);
    }
    if (!heardRight) {
        QCOMPARE(heardOf(listInterface), heardFromReference(entries, selected));
        for (int row = 0; row < count; ++row)
            QCOMPARE(listInterface->child(row)->state().focused, row == mark && QApplication::focusWidget() == list);
    }
    QVERIFY(!listInterface->child(count));

    // What the learner has just picked is in view, whole.
    if (picked_[index] && mark >= 0)
        QVERIFY2(list->viewport()->rect().contains(list->visualRect(mark)),
                 qPrintable(u"the focus mark's row %1 of %2 is not wholly in view"_s.arg(mark).arg(QLatin1String(listNames[member]))));
}

void Learner::verify()
{
    drelvan::Form& form = window_.form();

    // The answer key never changes.
    for (int16_t member = 2; member <= 4; ++member)
        QVERIFY2(form.List1(member).entries() == key_[static_cast<std::size_t>(member - 2)],
                 qPrintable(u"hidden list List1(%1) changed"_s.arg(member)));

    for (int member = 0; member < 2; ++member) {
        verifyList(member);
        if (QTest::currentTestFailed())
            return;
    }
    QCOMPARE(reference_.entries[0].size(), reference_.entries[1].size());
    QVERIFY2(form.List1(0).ListIndex() < 0 || form.List1(1).ListIndex() < 0, "two selections stand in the model");

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
