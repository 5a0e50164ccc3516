// The quiz's window driven as a learner drives it, on whatever platform
// QT_QPA_PLATFORM names (the driver runs it offscreen).
//
//   drelvan_bench_window click N   N pair checks by mouse; prints, one a line,
//                                  the ns from the click on a period to the
//                                  verdict repainted and flushed: on the wall
//                                  clock, then in the CPU time of the window's
//                                  thread (which the machine's other work
//                                  does not stretch).
//                                  verdict repainted and flushed.
//   drelvan_bench_window soak N    N random actions (a name, a period, the
//                                  reset button); prints "actions VmRSS-KiB"
//                                  after 1,000 actions and every tenth of N.

#include "qt/quizwindow.hpp"

#include <QAbstractScrollArea>
#include <QAccessible>
#include <QApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

#include <algorithm>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <random>
#include <string>

namespace {

long long nanoseconds(clockid_t clock)
{
    timespec now{};
    clock_gettime(clock, &now);
    return static_cast<long long>(now.tv_sec) * 1'000'000'000LL + now.tv_nsec;
}

long long monotonicNs()
{
    return nanoseconds(CLOCK_MONOTONIC);
}

long residentKiB()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::strtol(line.c_str() + 6, nullptr, 10);
    return -1;
}

// Counts the paint events of one widget.
class PaintCounter : public QObject {
public:
    int paints = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return QObject::eventFilter(watched, event);
    }
};

// One of the window's lists, known only as Qt knows it: a scroll area with
// entries that a screen reader sees as its children. Each entry's place
// comes from its accessible rectangle, so the benchmark asks nothing of the
// list's own class.
class List {
public:
    explicit List(QAbstractScrollArea* view) : view_(view), face_(QAccessible::queryAccessibleInterface(view)) {}

    bool found() const { return view_ && face_; }
    QWidget* viewport() const { return view_->viewport(); }
    int count() const { return face_->childCount(); }

    // Where entry `row` is, in the viewport.
    QRect place(int row) const
    {
        const QRect global = face_->child(row)->rect();
        return {viewport()->mapFromGlobal(global.topLeft()), global.size()};
    }

    // Scrolls until entry `row` is wholly in sight, a step of the scroll bar
    // at a time.
    void scrollTo(int row)
    {
        QScrollBar* bar = view_->verticalScrollBar();
        const QRect room = viewport()->rect();
        for (int step = 0; step < 1000 && !room.contains(place(row)); ++step) {
            const int before = bar->value();
            bar->setValue(before + (place(row).top() < 0 ? -bar->singleStep() : bar->singleStep()));
            if (bar->value() == before)
                break;
        }
        if (!room.contains(place(row))) {
            std::fprintf(stderr, "entry %d cannot be scrolled into view\n", row);
            std::exit(1);
        }
    }

private:
    QAbstractScrollArea* view_;
    QAccessibleInterface* face_;
};

struct Learner {
    drelvan::QuizWindow window;
    List lists[2] = {List(nullptr), List(nullptr)};
    QPlainTextEdit* verdict = nullptr;
    QPushButton* reset = nullptr;
    std::mt19937 random{20240521};

    Learner()
    {
        window.show();
        if (!QTest::qWaitForWindowExposed(&window)) {
            std::fprintf(stderr, "the window was never exposed\n");
            std::exit(1);
        }
        lists[0] = List(window.findChild<QAbstractScrollArea*>(QStringLiteral("names")));
        lists[1] = List(window.findChild<QAbstractScrollArea*>(QStringLiteral("periods")));
        verdict = window.findChild<QPlainTextEdit*>(QStringLiteral("verdict"));
        reset = window.findChild<QPushButton*>(QStringLiteral("reset"));
        if (!lists[0].found() || !lists[1].found() || !verdict || !reset) {
            std::fprintf(stderr, "the window lacks a named widget\n");
            std::exit(1);
        }
    }

    // Scrolls a random entry of a list into view and clicks it; false when
    // the list is empty.
    bool clickEntry(int list)
    {
        List& view = lists[list];
        if (view.count() == 0)
            return false;
        const int row = std::uniform_int_distribution<int>(0, view.count() - 1)(random);
        view.scrollTo(row);
        QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, view.place(row).center());
        return true;
    }

    void clickReset() { QTest::mouseClick(reset, Qt::LeftButton); }

    void settle() { QCoreApplication::processEvents(); }
};

int click(Learner& learner, int checks)
{
    PaintCounter counter;
    learner.verdict->viewport()->installEventFilter(&counter);
    for (int check = 0; check < checks; ++check) {
        if (learner.lists[0].count() == 0) {
            learner.clickReset();
            learner.settle();
        }
        learner.clickEntry(0);
        learner.settle();
        // The period is scrolled into view before the clock starts.
        List& periods = learner.lists[1];
        const int row = std::uniform_int_distribution<int>(0, periods.count() - 1)(learner.random);
        periods.scrollTo(row);
        learner.settle();

        const QPoint target = periods.place(row).center();
        const int before = counter.paints;
        const long long cpuStart = nanoseconds(CLOCK_THREAD_CPUTIME_ID);
        const long long start = monotonicNs();
        QTest::mouseClick(periods.viewport(), Qt::LeftButton, {}, target);
        const long long deadline = start + 1'000'000'000LL;
        while (counter.paints == before && monotonicNs() < deadline)
            QCoreApplication::processEvents();
        const long long end = monotonicNs();
        const long long cpuEnd = nanoseconds(CLOCK_THREAD_CPUTIME_ID);
        if (counter.paints == before) {
            std::fprintf(stderr, "the verdict was not repainted within a second\n");
            return 1;
        }
        std::printf("%lld %lld\n", end - start, cpuEnd - cpuStart);
    }
    return 0;
}

int soak(Learner& learner, long actions)
{
    std::uniform_int_distribution<int> choice(0, 19);
    for (long action = 1; action <= actions; ++action) {
        const int what = choice(learner.random);
        // Mostly selections, now and then a fresh deal; an empty game is
        // dealt again as a learner would.
        if (what == 0 || !learner.clickEntry(what % 2))
            learner.clickReset();
        learner.settle();
        if (action == 1000 || (action > 1000 && action % std::max(actions / 10, 1L) == 0))
            std::printf("%ld %ld\n", action, residentKiB());
    }
    return 0;
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc != 3 || (std::strcmp(argv[1], "click") != 0 && std::strcmp(argv[1], "soak") != 0)) {
        std::fprintf(stderr, "usage: %s click|soak COUNT\n", argv[0]);
        return 2;
    }
    const long count = std::strtol(argv[2], nullptr, 10);
    QApplication app(argc, argv);
    Learner learner;
    return std::strcmp(argv[1], "click") == 0 ? click(learner, static_cast<int>(count)) : soak(learner, count);
}
