// The quiz's window driven as a learner drives it, on whatever platform
// QT_QPA_PLATFORM names (the driver runs it offscreen).
//
//   drelvan_bench_window click N   N pair checks by mouse; prints, one a line,
//                                  the ns from the click on a period to the
//                                  verdict repainted and flushed.
//   drelvan_bench_window soak N    N random actions (a name, a period, the
//                                  reset button); prints "actions VmRSS-KiB"
//                                  after 1,000 actions and every tenth of N.

#include "qt/listboxview.hpp"
#include "qt/quizwindow.hpp"

#include <QApplication>
#include <QPlainTextEdit>
#include <QPushButton>
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

long long monotonicNs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1'000'000'000LL + now.tv_nsec;
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

struct Learner {
    drelvan::QuizWindow window;
    drelvan::ListBoxView* lists[2] = {};
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
        lists[0] = window.findChild<drelvan::ListBoxView*>(QStringLiteral("names"));
        lists[1] = window.findChild<drelvan::ListBoxView*>(QStringLiteral("periods"));
        verdict = window.findChild<QPlainTextEdit*>(QStringLiteral("verdict"));
        reset = window.findChild<QPushButton*>(QStringLiteral("reset"));
        if (!lists[0] || !lists[1] || !verdict || !reset) {
            std::fprintf(stderr, "the window lacks a named widget\n");
            std::exit(1);
        }
    }

    // Scrolls a random entry of a list into view and clicks it; false when
    // the list is empty.
    bool clickEntry(int list)
    {
        drelvan::ListBoxView* view = lists[list];
        if (view->count() == 0)
            return false;
        const int row = std::uniform_int_distribution<int>(0, view->count() - 1)(random);
        view->scrollTo(row);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(row).center());
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
        if (learner.lists[0]->count() == 0) {
            learner.clickReset();
            learner.settle();
        }
        learner.clickEntry(0);
        learner.settle();
        // The period is scrolled into view before the clock starts.
        drelvan::ListBoxView* periods = learner.lists[1];
        const int row = std::uniform_int_distribution<int>(0, periods->count() - 1)(learner.random);
        periods->scrollTo(row);
        learner.settle();

        const int before = counter.paints;
        const long long start = monotonicNs();
        QTest::mouseClick(periods->viewport(), Qt::LeftButton, {}, periods->visualRect(row).center());
        const long long deadline = start + 1'000'000'000LL;
        while (counter.paints == before && monotonicNs() < deadline)
            QCoreApplication::processEvents();
        const long long end = monotonicNs();
        if (counter.paints == before) {
            std::fprintf(stderr, "the verdict was not repainted within a second\n");
            return 1;
        }
        std::printf("%lld\n", end - start);
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
