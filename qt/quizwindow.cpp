#include "qt/quizwindow.hpp"

#include "qt/application.hpp"
#include "qt/listboxview.hpp"
#include "qt/qtext.hpp"
#include "qt/verdictbox.hpp"

#include "pairs/pairfile.hpp"

#include "content/layout.hpp"
#include "content/texts.hpp"

#include <QAccessibleWidget>
#include <QApplication>
#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QFontInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QShortcut>
#include <QStyle>
#include <QStyleFactory>

#include <iostream>

namespace drelvan {

namespace {

// Twips make a pixel at 96 dpi in 15, and that is the device-independent
// pixel Qt lays out in.
constexpr QRect place(layout::Twips twips)
{
    return {twips.left / 15, twips.top / 15, twips.width / 15, twips.height / 15};
}

QColor colour(layout::Rgb rgb)
{
    return {rgb.red, rgb.green, rgb.blue};
}

// The lists show this many whole rows in the quiz's font.
constexpr int rowsDrawnFor = 7;
// Half a point at a time, no smaller than this, a stand-in face shrinks.
constexpr qreal smallestPointSize = 8;

// The window's look, whatever the desktop's palette: black text on white
// lists and verdict box and on the window's, the labels' and the button's
// own colours, a selection in white on navy. A dark desktop palette would
// otherwise give the labels and the button its light text on their light
// backgrounds, and darken the lists. Frames and scroll bars keep Qt's own
// light colours.
QPalette classicPalette()
{
    static constexpr std::pair<QPalette::ColorRole, QRgb> colours[] = {
        {QPalette::WindowText, 0x000000},   {QPalette::Base, 0xffffff},
        {QPalette::Text, 0x000000},         {QPalette::Button, 0xefefef},          {QPalette::ButtonText, 0x000000},
        {QPalette::Highlight, 0x000080},    {QPalette::HighlightedText, 0xffffff}, {QPalette::Light, 0xffffff},
        {QPalette::Midlight, 0xcacaca},     {QPalette::Mid, 0xb8b8b8},             {QPalette::Dark, 0x9f9f9f},
        {QPalette::Shadow, 0x767676},       {QPalette::BrightText, 0xffffff},      {QPalette::AlternateBase, 0xf7f7f7},
        {QPalette::ToolTipBase, 0xffffdc},  {QPalette::ToolTipText, 0x000000},     {QPalette::PlaceholderText, 0x767676},
        {QPalette::Link, 0x0000ff},         {QPalette::LinkVisited, 0xff00ff},
    };
    QPalette palette;
    for (const auto& [role, rgb] : colours)
        palette.setColor(role, QColor(rgb)); // in every colour group: nothing here is ever disabled
    palette.setColor(QPalette::Window, colour(layout::windowColour));
    return palette;
}

void paint(QWidget* widget, QPalette::ColorRole role, const QColor& colour)
{
    QPalette palette = widget->palette();
    palette.setColor(role, colour);
    widget->setPalette(palette);
}

// To a screen reader the window is a frame, as main windows are; a plain
// QWidget would be taken for a mere pane.
QAccessibleInterface* accessibleWindow(const QString&, QObject* object)
{
    auto* window = qobject_cast<QuizWindow*>(object);
    return window ? new QAccessibleWidget(window, QAccessible::Window) : nullptr;
}

// Whether, in `font`, every caption (whole, as `captions` hold them) and entry
// fits where it stands and each list shows the rows it was drawn for.
bool fitsIn(const QFont& font, const std::array<QLabel*, 3>& labels, const std::array<QString, 3>& captions,
            const QPushButton* button, const std::array<ListBoxView*, 2>& lists)
{
    const QFontMetrics metrics(font);
    const auto fits = [&](const QString& text, int room) { return metrics.horizontalAdvance(text) <= room; };
    for (std::size_t member = 0; member < labels.size(); ++member)
        if (!fits(captions[member], labels[member]->contentsRect().width()) || metrics.height() > labels[member]->height())
            return false;
    if (!fits(button->text(), button->width() - 8))
        return false;
    for (const ListBoxView* list : lists) {
        const QSize room = list->textRoom();
        if (room.height() / metrics.height() < rowsDrawnFor)
            return false;
        for (int row = 0; row < list->count(); ++row)
            if (!fits(list->text(row), room.width()))
                return false;
    }
    return true;
}

} // namespace

QuizWindow::QuizWindow(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint
                          | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
{
    static const bool accessible = (QAccessible::installFactory(accessibleWindow), true);
    Q_UNUSED(accessible);
    const Form& form = session_.form();
    setFont(quizFont());
    setFixedSize(place(layout::clientArea).size());
    setPalette(classicPalette());
    setAutoFillBackground(true);
    setAcceptDrops(true);

    // Created in the order of keyboard focus.
    verdict_ = new VerdictBox(this);
    verdict_->setGeometry(place(layout::verdictBox));
    // A file dropped on the verdict box is for the window.
    verdict_->setAcceptDrops(false);
    verdict_->viewport()->setAcceptDrops(false);

    const QRect listPlaces[] = {place(layout::namesList), place(layout::periodsList)};
    const char* listNames[] = {"names", "periods"};
    for (int16_t member = 0; member < 2; ++member) {
        auto* list = new ListBoxView(session_, member, announcer_, this);
        list->setObjectName(QLatin1String(listNames[member]));
        list->setGeometry(listPlaces[member]);
        lists_[static_cast<std::size_t>(member)] = list;
    }

    reset_ = new QPushButton(toQString(form.Command1(0).Caption()), this);
    // Qt's classic Windows style draws the raised button with its face in
    // the palette's button colour exactly; the desktop styles shade or ignore
    // that colour. Created after the button, the style outlives it.
    if (QStyle* classic = QStyleFactory::create(QStringLiteral("Windows"))) {
        classic->setParent(this);
        reset_->setStyle(classic);
    }
    reset_->setObjectName(QStringLiteral("reset"));
    reset_->setGeometry(place(layout::resetButton));
    paint(reset_, QPalette::Button, colour(layout::buttonColour));
    reset_->installEventFilter(this);
    connect(reset_, &QPushButton::clicked, this, [this] { session_.reset(); });

    // The title of the quiz, then the captions over the two lists, which
    // also name the lists to a screen reader; their texts come with
    // showCaptions().
    const QRect labelPlaces[] = {place(layout::titleLabel), place(layout::namesCaption),
                                 place(layout::periodsCaption)};
    const char* labelNames[] = {"title", "namesCaption", "periodsCaption"};
    for (int16_t member = 0; member < 3; ++member) {
        auto* label = new QLabel(this);
        labels_[static_cast<std::size_t>(member)] = label;
        label->setObjectName(QLatin1String(labelNames[member]));
        label->setGeometry(labelPlaces[member]);
        label->setAlignment(Qt::AlignCenter);
        label->setAutoFillBackground(true);
        paint(label, QPalette::Window, colour(layout::labelColour));
        if (member > 0)
            label->setBuddy(lists_[static_cast<std::size_t>(member - 1)]);
    }
    session_.showAll();

    // The layout was drawn for Times New Roman, and Liberation Serif has the
    // same metrics. A face that stands in for them where neither is
    // installed may be wider or taller; it shrinks until every text fits.
    // The window opens on the khans, and the lists hold the whole catalogue
    // now, so every text of theirs is measured. A teacher's file, opened
    // later, leaves the font as it is: entries too wide scroll sideways and
    // captions too wide are cut short with the whole text in a tooltip.
    const QString family = QFontInfo(font()).family();
    if (family != toQString(layout::fontFace) && family != QLatin1String("Liberation Serif")) {
        QFont font = this->font();
        while (!fitsIn(font, labels_, captions_, reset_, lists_) && font.pointSizeF() > smallestPointSize)
            font.setPointSizeF(font.pointSizeF() - 0.5);
        setFont(font);
        fitCaptions();
    }

    askForFile = [](QWidget* parent) {
        return QFileDialog::getOpenFileName(parent, QString(), QString(),
                                            toQString(texts::pairFilesName) + QStringLiteral(" (*.csv *.tsv *.txt *.kvtml)"));
    };
    auto* open = new QShortcut(QKeySequence::Open, this);
    connect(open, &QShortcut::activated, this, &QuizWindow::chooseFile);
    // News of a widget that is no list goes when the focus leaves it.
    focusWatch_ = connect(qApp, &QApplication::focusChanged, this, [this](QWidget* old, QWidget*) { announcer_.forget(old); });

    setTabOrder(verdict_, lists_[0]);
    setTabOrder(lists_[0], lists_[1]);
    setTabOrder(lists_[1], reset_);
    verdict_->setFocus();
}

// The lists go before the Session they call: QWidget would take the focus
// from them after it is gone.
QuizWindow::~QuizWindow()
{
    disconnect(focusWatch_);
    for (ListBoxView* list : lists_)
        delete list;
}

// Enter and Return press the focused button, as Space does.
bool QuizWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == reset_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            reset_->click();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void QuizWindow::showCaptions(const Form& form)
{
    setWindowTitle(toQString(form.Caption()));
    for (std::size_t member = 0; member < labels_.size(); ++member)
        captions_[member] = toQString(form.Label1(static_cast<int16_t>(member)).Caption());
    for (std::size_t member = 0; member < lists_.size(); ++member)
        lists_[member]->setAccessibleName(captions_[member + 1]);
    fitCaptions();
}

// A caption wider than its label is cut short with an ellipsis, and the
// whole text is the label's tooltip; a screen reader reads it whole.
void QuizWindow::fitCaptions()
{
    for (std::size_t member = 0; member < labels_.size(); ++member) {
        QLabel* label = labels_[member];
        const QString& caption = captions_[member];
        const QString shown = label->fontMetrics().elidedText(caption, Qt::ElideRight, label->contentsRect().width());
        label->setText(shown);
        label->setToolTip(shown == caption ? QString() : caption);
        label->setAccessibleName(caption);
    }
}

bool QuizWindow::openFile(const QString& path)
{
    PairFile pairs = readPairFile(std::filesystem::path(QFile::encodeName(path).toStdString()));
    if (!pairs) {
        auto* box = new QMessageBox(QMessageBox::Critical, windowTitle(), toQString(pairs.error), QMessageBox::Ok, this);
        box->setObjectName(QStringLiteral("fileError"));
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->open();
        return false;
    }
    session_.open(std::move(*pairs.exercise));
    return true;
}

void QuizWindow::chooseFile()
{
    const QString path = askForFile ? askForFile(this) : QString();
    if (!path.isEmpty())
        openFile(path);
}

namespace {
// The one local file a drag brings; none where it brings anything else.
QString droppedFile(const QMimeData* data)
{
    if (!data || !data->hasUrls() || data->urls().size() != 1 || !data->urls().constFirst().isLocalFile())
        return {};
    return data->urls().constFirst().toLocalFile();
}
} // namespace

void QuizWindow::dragEnterEvent(QDragEnterEvent* event)
{
    if (!droppedFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void QuizWindow::dropEvent(QDropEvent* event)
{
    const QString path = droppedFile(event->mimeData());
    if (path.isEmpty())
        return;
    event->acceptProposedAction();
    openFile(path);
}

void QuizWindow::showList(int16_t member, const ListShown& list)
{
    // The Session may tell of both lists while the first is being made.
    if (ListBoxView* view = lists_.at(static_cast<std::size_t>(member)))
        view->show(list);
}

void QuizWindow::showVerdict(std::u16string_view text)
{
    verdict_->show(text);
}

// Through the list that has the focus, where the learner made the pick, or
// else through whatever has it (a file opened with Ctrl+O or dropped leaves
// the focus anywhere), in the lines the verdict box shows.
void QuizWindow::announce(std::u16string_view verdict)
{
    if (!isVisible())
        return;
    const QString news = toQString(verdict).replace(QLatin1String("\r\n"), QLatin1String("\n"));
    for (ListBoxView* list : lists_)
        if (list->hasFocus())
            return announcer_.announce(list, news);
    QWidget* focused = QApplication::focusWidget();
    announcer_.announce(focused && isAncestorOf(focused) ? focused : this, news);
}

void QuizWindow::reportFailure(std::string_view message)
{
    std::cerr << "drelvan: run-time error: " << message << std::endl;
    auto* box = new QMessageBox(QMessageBox::Critical, windowTitle(), toQString(texts::failureText), QMessageBox::Ok, this);
    box->setObjectName(QStringLiteral("runtimeError"));
    box->setInformativeText(toQString(texts::failureAdvice));
    box->setDetailedText(QString::fromUtf8(message.data(), static_cast<qsizetype>(message.size())));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

} // namespace drelvan
