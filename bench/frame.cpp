// One start of a window, up to its first painted frame: `drelvan_bench_frame
// quiz` opens the quiz's window, `drelvan_bench_frame hello` the floor it is
// measured against. Both construct the application as the program does, show
// one top-level window at the same size in the same font, and print the
// CLOCK_MONOTONIC time (ns) at which the first frame has been painted and
// handed to the platform. Then the process ends at once: what it would do
// afterwards is no part of a start.

#include "content/about.hpp"
#include "content/layout.hpp"
#include "content/texts.hpp"
#include "qt/application.hpp"
#include "qt/quizwindow.hpp"
#include "qt/qtext.hpp"

#include <QApplication>
#include <QLabel>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace {

long long monotonicNs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1'000'000'000LL + now.tv_nsec;
}


// The top-level window's paint event comes first in a frame; the flush of
// the backing store follows in the same call. A queued call runs once that
// call has returned, so its time is the time the frame is out.
class FirstFrame : public QObject {
protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && !seen_) {
            seen_ = true;
            QTimer::singleShot(0, [] {
                std::printf("%lld\n", monotonicNs());
                std::fflush(stdout);
                std::_Exit(0);
            });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool seen_ = false;
};

} // namespace

int main(int argc, char* argv[])
{
    const bool quiz = argc == 2 && std::strcmp(argv[1], "quiz") == 0;
    if (!quiz && !(argc == 2 && std::strcmp(argv[1], "hello") == 0)) {
        std::fprintf(stderr, "usage: %s quiz|hello\n", argv[0]);
        return 2;
    }

    // As qt/main.cpp does, for both: the floor pays for the same set-up.
    QApplication app(argc, argv);
    drelvan::setUpApplication();

    FirstFrame firstFrame;
    if (quiz) {
        drelvan::QuizWindow window;
        window.installEventFilter(&firstFrame);
        window.show();
        return QApplication::exec();
    }
    QWidget window;
    window.setWindowTitle(drelvan::toQString(drelvan::about::webAddress) + drelvan::toQString(drelvan::texts::titleSuffix));
    window.setFont(drelvan::quizFont());
    using drelvan::layout::clientArea;
    using drelvan::layout::titleLabel;
    window.setFixedSize(clientArea.width / 15, clientArea.height / 15);
    auto* label = new QLabel(drelvan::toQString(drelvan::texts::quizTitle), &window);
    label->setGeometry(titleLabel.left / 15, titleLabel.top / 15, titleLabel.width / 15, titleLabel.height / 15);
    window.installEventFilter(&firstFrame);
    window.show();
    return QApplication::exec();
}
