// A learner who plays the window at random: clicks, double-clicks and
// Ctrl+clicks anywhere in the two lists, cursor keys, Space, type-ahead, Tab,
// a screen reader's press on an entry, the reset button by mouse and
// keyboard, and typing, pasting and deleting in the verdict box.
//
// Which entry a key or typed letters select is the list rules' business,
// tested by their own tables; the learner does not guess it. It watches what
// each action did and holds the window, read after each step, to what must
// be true whatever was picked (tests/learner/invariants.hpp).
//
// The same seed plays the same game. To rerun a failure, or to play longer:
//
//     QT_QPA_PLATFORM=offscreen QTEST_FUNCTION_TIMEOUT=3600000 DRELVAN_SEED=3 DRELVAN_ACTIONS=1000000 build-tests/tests/qt/tst_random_learner play
//
// (Qt Test stops a test function after five minutes unless
// QTEST_FUNCTION_TIMEOUT, in milliseconds, says otherwise.)
// Either variable alone is enough (the seed defaults to 1, the number of
// actions to 4000); with neither, a fixed set of seeds is played. A failure
// prints its seed, the number of the failing action and the actions that led
// up to it.

#include "support.hpp"
#include "learner/invariants.hpp"

#include "qt/listboxview.hpp"
#include "qt/quizwindow.hpp"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStyleHints>
#include <QTemporaryDir>
#include <QTest>

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

QStringList textsOf(const ListBoxView* list)
{
    QStringList texts;
    for (int row = 0; row < list->count(); ++row)
        texts << list->text(row);
    return texts;
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

// Typed text, Cyrillic included, which QTest::keyClicks cannot send, at
// `timestamp` milliseconds.
void sendText(QWidget* widget, const QString& text, quint64 timestamp = 0)
{
    QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, text);
    QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, text);
    press.setTimestamp(timestamp);
    release.setTimestamp(timestamp);
    QApplication::sendEvent(widget, &press);
    QApplication::sendEvent(widget, &release);
}

namespace learner = drelvan::learner;

learner::Catalogue catalogue()
{
    const auto texts = [](const QStringList& list) {
        learner::Texts out;
        for (const QString& text : list)
            out.push_back(text.toStdU16String());
        return out;
    };
    return {texts(chronologicalNames), texts(alphabeticalNames), texts(periods)};
}

// A step aimed at the entry drawn, or read out, in `member`; a null text
// where there was none.
learner::Step aimedAt(int member, const QString& drawn)
{
    return {member, false, true, drawn.isNull() ? std::nullopt : std::optional(drawn.toStdU16String())};
}

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

// What the learner types into each list: letters and digits that begin
// its entries, and some that begin none.
using Pools = std::array<QStringList, 2>;
const Pools khanPools{QStringList{u"А"_s, u"В"_s, u"К"_s, u"М"_s, u"О"_s, u"П"_s, u"С"_s, u"Т"_s,
                                  u"к"_s, u"т"_s, u"с"_s, u"Я"_s, u"Ж"_s, u"I"_s, u"о"_s, u"е"_s},
                      QStringList{u"6"_s, u"7"_s, u"8"_s, u"5"_s, u"0"_s, u"3"_s}};

class Learner {
public:
    Learner(QuizWindow& window, quint32 seed, bool wholeLog, learner::Catalogue key = catalogue(),
            const Pools& pools = khanPools)
        : window_(window), random_(seed), seed_(seed), wholeLog_(wholeLog), pools_(pools), referee_(std::move(key))
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
    int checks() const { return referee_.checks(); }

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
    QString drawnAt(int member, QPoint at) const;
    void focus(QWidget* widget);
    void settle();
    learner::Screen screen() const;
    int indexOf(QWidget* widget) const;
    void note(const QString& line);

    QuizWindow& window_;
    std::mt19937 random_;
    quint32 seed_;
    bool wholeLog_;
    Pools pools_;

    QPlainTextEdit* verdict_;
    std::array<ListBoxView*, 2> lists_;
    QPushButton* reset_;
    std::array<QWidget*, 4> focusChain_;
    std::int64_t typedAt_ = 0;
    std::array<QString, 2> typedSoFar_;

    learner::Referee referee_;
    QWidget* expectedFocus_ = nullptr;
    learner::Step step_;
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

    const std::string wrong = referee_.start(window_.form());
    QVERIFY2(wrong.empty(), wrong.c_str());
    for (ListBoxView* list : lists_)
        QVERIFY(list);
    expectedFocus_ = verdict_;
    // Dealt, nothing selected.
    settle();
}

void Learner::play(int actions)
{
    for (int i = 0; i < actions; ++i) {
        ++actionNumber_;
        current_ = QString::number(actionNumber_) + u' ';
        const std::u16string verdictBefore = referee_.verdict();
        textChanges_ = 0;
        referee_.beginAction();
        step_ = {};
        act(draw(random_));
        if (!QTest::currentTestFailed()) {
            QCoreApplication::processEvents();
            settle();
        }
        note(current_);
        if (QTest::currentTestFailed())
            return;
        // The box showed a new verdict once, from its first line, or not at
        // all.
        QCOMPARE(textChanges_, verdictBefore == referee_.verdict() ? 0 : 1);
        if (verdictBefore != referee_.verdict())
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
    ListBoxView* list = lists_[static_cast<std::size_t>(member)];
    const QRect view = list->viewport()->rect();
    const int count = list->count();
    QPoint point(static_cast<int>(action.b % static_cast<quint32>(view.width())),
                 static_cast<int>(action.c % static_cast<quint32>(view.height())));
    const int below = count == 0 ? 0 : list->visualRect(count - 1).bottom() + 1;
    const QRect entry = count == 0 ? QRect()
                                   : list->visualRect(static_cast<int>(action.b % static_cast<quint32>(count))).intersected(view);
    if (action.a % 4 == 1 && below < view.height())
        point.setY(below + static_cast<int>(action.c % static_cast<quint32>(view.height() - below)));
    else if (action.a % 4 >= 2 && !entry.isEmpty())
        point = {entry.left() + static_cast<int>(action.c % static_cast<quint32>(entry.width())),
                 entry.top() + static_cast<int>((action.c >> 16) % static_cast<quint32>(entry.height()))};
    // QTest takes the point (0,0) to mean the middle of the widget.
    return point.isNull() ? QPoint(1, 0) : point;
}

// The entry drawn under the point, as the learner sees it; a null text for
// none.
QString Learner::drawnAt(int member, QPoint at) const
{
    const ListBoxView* list = lists_[static_cast<std::size_t>(member)];
    if (list->viewport()->rect().contains(at))
        for (int row = list->firstVisibleRow(); row < list->count(); ++row)
            if (list->visualRect(row).contains(at))
                return list->text(row);
    return {};
}

void Learner::click(const Draw& action, Qt::KeyboardModifiers modifiers)
{
    ListBoxView* list = lists_[static_cast<std::size_t>(action.member)];
    const QPoint at = pointIn(action.member, action);
    current_ += u"%1click %2 at (%3,%4)"_s.arg(modifiers ? u"Ctrl+"_s : QString(), QLatin1String(listNames[action.member]))
                    .arg(at.x())
                    .arg(at.y());
    expectedFocus_ = list;
    step_ = aimedAt(action.member, drawnAt(action.member, at));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, modifiers, at);
}

// Each click of a double-click lands on what is drawn under the pointer at
// the time: if the first made a pair and took its entry away, the second
// lands on the entry that moved up.
void Learner::doubleClick(const Draw& action)
{
    ListBoxView* list = lists_[static_cast<std::size_t>(action.member)];
    const QPoint at = pointIn(action.member, action);
    current_ += u"double-click %1 at (%2,%3)"_s.arg(QLatin1String(listNames[action.member])).arg(at.x()).arg(at.y());
    expectedFocus_ = list;
    step_ = aimedAt(action.member, drawnAt(action.member, at));
    QTest::mousePress(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, at);
    QCoreApplication::processEvents();
    settle();
    if (QTest::currentTestFailed())
        return;

    current_ += u", again"_s;
    step_ = aimedAt(action.member, drawnAt(action.member, at));
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, at);
}

void Learner::cursorKey(const Draw& action)
{
    static constexpr std::pair<Qt::Key, const char*> keys[] = {
        {Qt::Key_Up, "Up"},           {Qt::Key_Down, "Down"},          {Qt::Key_Home, "Home"}, {Qt::Key_End, "End"},
        {Qt::Key_PageUp, "Page Up"}, {Qt::Key_PageDown, "Page Down"}, {Qt::Key_Space, "Space"},
    };
    const auto& [key, keyName] = keys[action.a % std::size(keys)];
    ListBoxView* list = lists_[static_cast<std::size_t>(action.member)];
    focus(list);
    current_ += u"%1 in %2 (focus mark %3)"_s.arg(QLatin1String(keyName), QLatin1String(listNames[action.member]))
                    .arg(list->caretRow());
    step_.member = action.member;
    QTest::keyClick(list, key);
}

// Letters and digits typed into a list: a new search, the same letter again
// (in either case), or the next letter of an entry that fits what was typed.
void Learner::typeAhead(const Draw& action)
{
    const auto index = static_cast<std::size_t>(action.member);
    ListBoxView* list = lists_[index];
    const QStringList& pool = pools_[index];
    QString typed = pool[static_cast<qsizetype>(action.a % static_cast<quint32>(pool.size()))];
    QString& typedSoFar = typedSoFar_[index];
    const bool goingOn = action.b % 4 >= 2 && !typedSoFar.isEmpty();
    if (goingOn && action.b % 4 == 2) {
        typed = action.c % 2 ? typedSoFar.left(1).toLower() : typedSoFar.left(1).toUpper();
    } else if (goingOn) {
        QStringList fitting;
        for (const QString& entry : textsOf(list))
            if (entry.size() > typedSoFar.size() && entry.startsWith(typedSoFar, Qt::CaseInsensitive))
                fitting << entry;
        if (!fitting.isEmpty()) {
            const QChar next = fitting[static_cast<qsizetype>(action.c % static_cast<quint32>(fitting.size()))][typedSoFar.size()];
            if (!next.isSpace())
                typed = action.c % 3 ? QString(next) : QString(next).toUpper();
        }
    }
    focus(list);
    current_ += u"type \"%1\"%2 in %3 (focus mark %4)"_s.arg(typed, goingOn ? u" after \""_s + typedSoFar + u'"' : QString(),
                                                              QLatin1String(listNames[action.member]))
                    .arg(list->caretRow());
    typedSoFar = goingOn ? typedSoFar + typed : typed;
    step_.member = action.member;

    // Whether the list takes a letter as the next of a search or as a new
    // one hangs on the time since the last, which the key event carries: a
    // millisecond on, or well past the search's time.
    typedAt_ += goingOn ? 1 : 10 * drelvan::ListController::typingInterval;
    sendText(list, typed, static_cast<quint64>(typedAt_));
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
    step_ = aimedAt(action.member, entry->text(QAccessible::Name));
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

// Tab goes round the chain verdict box, names, periods, reset button;
// Shift+Tab goes back.
void Learner::tab(const Draw& action)
{
    const bool back = action.a % 2;
    current_ += back ? u"Shift+Tab"_s : u"Tab"_s;
    QWidget* from = QApplication::focusWidget();
    const auto at = std::find(focusChain_.begin(), focusChain_.end(), from) - focusChain_.begin();
    QVERIFY2(at < 4, "the keyboard focus is off the chain");
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
    static constexpr std::pair<const char*, QKeyCombination> keys[] = {
        {"Return", Qt::Key_Return},       {"Ctrl+V", Qt::CTRL | Qt::Key_V}, {"Shift+Insert", Qt::SHIFT | Qt::Key_Insert},
        {"Backspace", Qt::Key_Backspace}, {"Delete", Qt::Key_Delete},       {"Ctrl+X", Qt::CTRL | Qt::Key_X},
        {"Ctrl+Z", Qt::CTRL | Qt::Key_Z},
    };
    focus(verdict_);
    if (action.b % 2) {
        current_ += u"Ctrl+A, "_s;
        QTest::keyClick(verdict_, Qt::Key_A, Qt::ControlModifier);
    }
    const quint32 choice = action.a % 9;
    if (choice < 2) {
        const QString typed = choice == 0 ? u"Крум"_s : u"abc"_s;
        current_ += u"type \"%1\" in the verdict box"_s.arg(typed);
        if (choice == 0)
            sendText(verdict_, typed);
        else
            QTest::keyClicks(verdict_, typed);
        return;
    }
    const auto& [name, key] = keys[choice - 2];
    current_ += QLatin1String(name) + u" in the verdict box"_s;
    if (choice == 3 || choice == 4) {
        const QString clipping = clippings[static_cast<qsizetype>(action.c % static_cast<quint32>(clippings.size()))];
        QGuiApplication::clipboard()->setText(clipping);
        current_ += u" (%1 characters on the clipboard)"_s.arg(clipping.size());
    }
    QTest::keyClick(verdict_, key.key(), key.keyboardModifiers());
}

void Learner::reset(const Draw& action)
{
    step_.reset = true;
    const quint32 how = action.a % 3;
    if (how == 0) {
        current_ += u"click the reset button"_s;
        expectedFocus_ = reset_;
        QTest::mouseClick(reset_, Qt::LeftButton);
        return;
    }
    current_ += how == 1 ? u"Space on the reset button"_s : u"Enter on the reset button"_s;
    focus(reset_);
    QTest::keyClick(reset_, how == 1 ? Qt::Key_Space : action.b % 2 ? Qt::Key_Return : Qt::Key_Enter);
}

// The learner's hand goes to a control before the keys do.
void Learner::focus(QWidget* widget)
{
    expectedFocus_ = widget;
    if (QApplication::focusWidget() != widget)
        widget->setFocus(Qt::OtherFocusReason);
}

void Learner::settle()
{
    const std::string wrong = referee_.settle(step_, window_.form(), screen(), indexOf(expectedFocus_));
    current_ += q(referee_.takeNote());
    QVERIFY2(wrong.empty(), wrong.c_str());
    QVERIFY2(qtWarnings.isEmpty(), qPrintable(qtWarnings.join(u'\n')));
}

int Learner::indexOf(QWidget* widget) const
{
    const auto at = std::find(focusChain_.begin(), focusChain_.end(), widget);
    return at == focusChain_.end() ? learner::Elsewhere : static_cast<int>(at - focusChain_.begin());
}

// The window as the learner sees it, and as a screen reader reads it. The
// accessible interfaces answer whether or not a screen reader is running,
// so the offscreen platform, which has none, reads them too.
learner::Screen Learner::screen() const
{
    learner::Screen screen;
    for (std::size_t member = 0; member < 2; ++member) {
        const ListBoxView* list = lists_[member];
        learner::ListSeen& seen = screen.lists[member];
        const QRect view = list->viewport()->rect();
        for (int row = 0; row < list->count(); ++row) {
            seen.entries.push_back(list->text(row).toStdU16String());
            seen.inView.push_back(view.contains(list->visualRect(row)));
        }
        seen.selected = list->selectedRow();
        seen.caret = list->caretRow();
        seen.top = list->firstVisibleRow();
        seen.wholeRows = list->wholeRowsShown();
        seen.focused = QApplication::focusWidget() == list;
        QAccessibleInterface* listInterface = QAccessible::queryAccessibleInterface(const_cast<ListBoxView*>(list));
        if (!listInterface)
            continue;
        std::vector<learner::EntryHeard> heard;
        // One more than there are, which must be none.
        for (int row = 0; row <= listInterface->childCount(); ++row)
            if (QAccessibleInterface* entry = listInterface->child(row))
                heard.push_back({entry->text(QAccessible::Name).toStdU16String(), bool(entry->state().selected), bool(entry->state().focused)});
        seen.heard = heard;
    }
    screen.verdict = verdict_->toPlainText().replace(u'\n', u"\r\n"_s).toStdU16String();
    screen.focus = indexOf(QApplication::focusWidget());
    screen.failureShown = window_.findChild<QMessageBox*>(QString(), Qt::FindDirectChildrenOnly);
    return screen;
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
    void playFile_data();
    void playFile();
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

void RandomLearnerTest::playFile_data()
{
    QTest::addColumn<quint32>("seed");
    QTest::addColumn<int>("actions");
    const auto game = gameFromEnvironment();
    for (const quint32 seed : game ? std::vector{game->seed} : std::vector{1u, 2u})
        QTest::addRow("seed %u", seed) << seed << (game ? game->actions : defaultActions);
}

// A teacher's file of 200 pairs, the right texts repeated (13 groups), a
// note on every third, read by the pair reader and opened over the khans.
void RandomLearnerTest::playFile()
{
    QFETCH(quint32, seed);
    QFETCH(int, actions);
    QTemporaryDir folder;
    QFile file(folder.filePath(u"Групи.csv"_s));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("Дума;Група;Бележка\n");
    learner::Texts lefts, rights, notes;
    for (int i = 1; i <= 200; ++i) {
        lefts.push_back(u"Дума %1"_s.arg(i, 3, 10, QChar(u'0')).toStdU16String());
        rights.push_back(u"Група %1"_s.arg(i * 7 % 13 + 1).toStdU16String());
        notes.push_back(i % 3 ? std::u16string() : u"Бележка %1"_s.arg(i).toStdU16String());
        file.write(q(lefts.back()).toUtf8() + ';' + q(rights.back()).toUtf8() + ';' + q(notes.back()).toUtf8() + '\n');
    }
    file.close();

    learner::Catalogue key(lefts, lefts, rights);
    // Dealt in their natural order: by number, "Група 2" before "Група 10".
    std::stable_sort(key.dealtPeriods.begin(), key.dealtPeriods.end(), [](const auto& one, const auto& other) {
        return q(one).mid(6).toInt() < q(other).mid(6).toInt();
    });
    key.join = u" група ";
    key.notes = notes;
    key.opening = u"Изберете ред от списъка „Дума“ и реда от списъка „Група“, който му отговаря. Резултатът ще се появи тук.\r\n";

    QuizWindow* window = openWindow();
    QVERIFY(window);
    QVERIFY(window->openFile(file.fileName()));
    Learner learner(*window, seed, false, key, {QStringList{u"Д"_s, u"д"_s, u"у"_s, u"Г"_s, u"1"_s}, QStringList{u"Г"_s, u"г"_s, u"р"_s, u"1"_s, u"7"_s}});
    learner.start();
    if (QTest::currentTestFailed())
        return;
    learner.play(actions);
    if (QTest::currentTestFailed()) {
        qWarning().noquote() << learner.recentActions();
        return;
    }
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
