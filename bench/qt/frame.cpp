// One start of a window, up to its first painted frame:
//
//   drelvan_bench_frame quiz    the quiz's window, drelvan::QuizWindow;
//   drelvan_bench_frame quiz FILE   the same with a teacher's file, as
//                               `drelvan FILE` opens it: read whole first,
//                               then the window made and the file's
//                               exercise opened in it;
//   drelvan_bench_frame floor   the same window built from Qt's stock widgets
//                               (QLabel, QListWidget, QPlainTextEdit,
//                               QPushButton), with the same texts, font,
//                               places, colours and scroll bars, and no model
//                               behind it: what the learner sees at start, at
//                               the least it costs Qt to show;
//   drelvan_bench_frame hello   one QLabel in the quiz's font, at the same
//                               size: what any Qt window costs;
//   drelvan_bench_frame check   opens the quiz and the floor side by side and
//                               fails, naming each difference, unless the
//                               floor shows what the quiz shows at start. The
//                               driver runs it first: a floor out of step
//                               with the quiz would measure nothing.
//
// All three construct the application as the program does and print the
// CLOCK_MONOTONIC time (ns) at which the first frame has been painted and
// handed to the platform. Then the process ends at once: what it would do
// afterwards is no part of a start.

#include "content/about.hpp"
#include "content/catalogue.hpp"
#include "content/layout.hpp"
#include "content/texts.hpp"
#include "qt/application.hpp"
#include "qt/qtext.hpp"
#include "qt/quizwindow.hpp"

#include "pairs/pairfile.hpp"

#include <QAbstractScrollArea>
#include <QAccessible>
#include <QApplication>
#include <QFontInfo>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QStyleFactory>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

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

// Twips in Qt's device-independent pixels, 15 to the pixel.
QRect place(drelvan::layout::Twips twips)
{
    return {twips.left / 15, twips.top / 15, twips.width / 15, twips.height / 15};
}

void paint(QWidget* widget, QPalette::ColorRole role, drelvan::layout::Rgb rgb)
{
    QPalette palette = widget->palette();
    palette.setColor(role, QColor(rgb.red, rgb.green, rgb.blue));
    widget->setPalette(palette);
}

QString title()
{
    return drelvan::toQString(drelvan::about::webAddress) + drelvan::toQString(drelvan::texts::titleSuffix);
}

// The top-level window of the floor and of hello: the quiz's frame, title,
// font, size and background.
std::unique_ptr<QWidget> plainWindow()
{
    auto window = std::make_unique<QWidget>(nullptr, Qt::Window | Qt::MSWindowsFixedSizeDialogHint
                                                         | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                                                         | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    window->setWindowTitle(title());
    window->setFont(drelvan::quizFont());
    window->setFixedSize(place(drelvan::layout::clientArea).size());
    paint(window.get(), QPalette::Window, drelvan::layout::windowColour);
    window->setAutoFillBackground(true);
    return window;
}

QLabel* label(const char* name, std::u16string_view text, drelvan::layout::Twips twips, QWidget* window)
{
    auto* label = new QLabel(drelvan::toQString(text), window);
    label->setObjectName(QLatin1String(name));
    label->setGeometry(place(twips));
    label->setAlignment(Qt::AlignCenter);
    label->setAutoFillBackground(true);
    paint(label, QPalette::Window, drelvan::layout::labelColour);
    return label;
}

// A list of the catalogue's names or periods, in the order the quiz shows
// them: the names sorted by UTF-16 code unit, as the quiz's sorted list box
// keeps them, the periods in the catalogue's order.
QListWidget* list(const char* name, std::u16string_view drelvan::Ruler::*field, bool sorted,
                  drelvan::layout::Twips twips, QWidget* window)
{
    std::vector<std::u16string_view> entries;
    for (const drelvan::Ruler& ruler : drelvan::catalogue)
        entries.push_back(ruler.*field);
    if (sorted)
        std::stable_sort(entries.begin(), entries.end());
    auto* list = new QListWidget(window);
    list->setObjectName(QLatin1String(name));
    list->setGeometry(place(twips));
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    for (const std::u16string_view entry : entries)
        list->addItem(drelvan::toQString(entry));
    return list;
}

// The quiz's window as Qt's stock widgets show it, created in the quiz's
// order. Nothing is connected: no model, no handlers, no screen reader
// support beyond Qt's own.
std::unique_ptr<QWidget> stockWindow()
{
    namespace layout = drelvan::layout;
    namespace texts = drelvan::texts;
    std::unique_ptr<QWidget> window = plainWindow();

    auto* verdict = new QPlainTextEdit(window.get());
    verdict->setObjectName(QStringLiteral("verdict"));
    verdict->setGeometry(place(layout::verdictBox));
    verdict->setReadOnly(true);
    verdict->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    verdict->setTabChangesFocus(true);
    verdict->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    verdict->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    verdict->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    verdict->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    list("names", &drelvan::Ruler::name, true, layout::namesList, window.get());
    list("periods", &drelvan::Ruler::period, false, layout::periodsList, window.get());

    // A flat face in the button's colour is what Qt's classic Windows style
    // draws; the desktop styles shade the colour or ignore it.
    auto* reset = new QPushButton(drelvan::toQString(texts::resetCaption), window.get());
    if (QStyle* classic = QStyleFactory::create(QStringLiteral("Windows"))) {
        classic->setParent(window.get());
        reset->setStyle(classic);
    }
    reset->setObjectName(QStringLiteral("reset"));
    reset->setGeometry(place(layout::resetButton));
    paint(reset, QPalette::Button, layout::buttonColour);

    label("title", texts::quizTitle, layout::titleLabel, window.get());
    label("namesCaption", texts::namesCaption, layout::namesCaption, window.get());
    label("periodsCaption", texts::periodsCaption, layout::periodsCaption, window.get());

    // The box shows the opening text from the first line, with the focus,
    // as the quiz's does; Qt's plain text has its lines apart by LF.
    verdict->setPlainText(drelvan::toQString(texts::openingText).replace(QLatin1String("\r\n"), QLatin1String("\n")));
    verdict->setFocus();
    return window;
}

std::unique_ptr<QWidget> helloWindow()
{
    std::unique_ptr<QWidget> window = plainWindow();
    label("title", drelvan::texts::quizTitle, drelvan::layout::titleLabel, window.get());
    return window;
}

// What a learner sees of a widget at start, in words, for the floor's check:
// place, font, colours, text, and for a scroll area its vertical scroll bar
// and its entries. A list's entries are read as a screen reader reads them,
// so that the quiz's list may be of any class.
QStringList looks(QWidget* widget)
{
    const QFontInfo font(widget->font());
    const QRect r = widget->geometry();
    QStringList seen{QStringLiteral("place %1,%2 %3x%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height()),
                     QStringLiteral("font %1 %2 pt").arg(font.family()).arg(font.pointSizeF()),
                     QStringLiteral("background %1").arg(widget->palette().color(widget->backgroundRole()).name())};
    if (auto* label = qobject_cast<QLabel*>(widget))
        seen << QStringLiteral("text ") + label->text() << QStringLiteral("aligned %1").arg(label->alignment().toInt());
    if (auto* button = qobject_cast<QPushButton*>(widget))
        seen << QStringLiteral("text ") + button->text()
             << QStringLiteral("face %1").arg(button->palette().color(QPalette::Button).name());
    if (auto* box = qobject_cast<QPlainTextEdit*>(widget))
        seen << QStringLiteral("text ") + box->toPlainText() << QStringLiteral("read-only %1").arg(box->isReadOnly())
             << QStringLiteral("focus %1").arg(box->window()->focusWidget() == box);
    if (auto* area = qobject_cast<QAbstractScrollArea*>(widget)) {
        seen << QStringLiteral("scroll bar shown %1").arg(area->verticalScrollBar()->isVisible());
        if (auto* list = qobject_cast<QListWidget*>(widget)) {
            for (int row = 0; row < list->count(); ++row)
                seen << QStringLiteral("entry ") + list->item(row)->text();
        } else if (!qobject_cast<QPlainTextEdit*>(widget)) {
            QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
            for (int row = 0; face && row < face->childCount(); ++row)
                seen << QStringLiteral("entry ") + face->child(row)->text(QAccessible::Name);
        }
    }
    return seen;
}

int check()
{
    drelvan::QuizWindow quiz;
    const std::unique_ptr<QWidget> floor = stockWindow();
    quiz.show();
    floor->show();
    QApplication::processEvents();

    int faults = 0;
    const auto compare = [&](const QString& what, const QStringList& inQuiz, const QStringList& inFloor) {
        for (qsizetype i = 0; i < std::max(inQuiz.size(), inFloor.size()); ++i) {
            const QString q = inQuiz.value(i), f = inFloor.value(i);
            if (q != f) {
                ++faults;
                std::fprintf(stderr, "%s: the quiz shows \"%s\", the floor \"%s\"\n", qPrintable(what), qPrintable(q),
                             qPrintable(f));
            }
        }
    };
    compare(QStringLiteral("window"),
            {quiz.windowTitle(), QStringLiteral("%1x%2").arg(quiz.width()).arg(quiz.height())},
            {floor->windowTitle(), QStringLiteral("%1x%2").arg(floor->width()).arg(floor->height())});
    compare(QStringLiteral("window"), looks(&quiz), looks(floor.get()));
    for (const char* name : {"title", "namesCaption", "periodsCaption", "names", "periods", "verdict", "reset"}) {
        QWidget* inQuiz = quiz.findChild<QWidget*>(QLatin1String(name));
        QWidget* inFloor = floor->findChild<QWidget*>(QLatin1String(name));
        if (!inQuiz || !inFloor) {
            ++faults;
            std::fprintf(stderr, "%s: no such widget in the %s\n", name, inQuiz ? "floor" : "quiz");
            continue;
        }
        compare(QLatin1String(name), looks(inQuiz), looks(inFloor));
    }
    if (faults == 0)
        std::printf("the floor shows what the quiz shows\n");
    return faults == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char* argv[])
{
    const std::string_view variant = argc >= 2 ? argv[1] : "";
    const bool withFile = argc == 3 && variant == "quiz";
    if ((variant != "quiz" && variant != "floor" && variant != "hello" && variant != "check")
        || (argc != 2 && !withFile)) {
        std::fprintf(stderr, "usage: %s quiz [FILE]|floor|hello|check\n", argv[0]);
        return 2;
    }

    // As qt/main.cpp does, for all three: the floors pay for the same set-up.
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    drelvan::setUpApplication();
    if (variant == "check")
        return check();

    // As qt/main.cpp does: the file read whole before the window is made.
    std::optional<drelvan::PairFile> pairs;
    if (withFile) {
        pairs = drelvan::readPairFile(std::filesystem::path(argv[2]));
        if (!*pairs) {
            std::fprintf(stderr, "%s: refused: %s\n", argv[2], drelvan::toQString(pairs->error).toUtf8().constData());
            return 3;
        }
    }
    FirstFrame firstFrame;
    std::unique_ptr<QWidget> window;
    if (variant == "quiz") {
        auto quiz = std::make_unique<drelvan::QuizWindow>();
        if (pairs) {
            quiz->session().open(std::move(*pairs->exercise));
            pairs.reset();
        }
        window = std::move(quiz);
    } else if (variant == "floor")
        window = stockWindow();
    else
        window = helloWindow();
    window->installEventFilter(&firstFrame);
    window->show();
    return QApplication::exec();
}
