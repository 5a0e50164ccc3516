#include "qt/quizwindow.hpp"

#include "qt/application.hpp"
#include "qt/listboxview.hpp"
#include "qt/qtext.hpp"
#include "qt/verdictbox.hpp"

#include "content/layout.hpp"
#include "content/texts.hpp"

#include <QAccessibleWidget>
#include <QFontInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
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

// Whether, in `font`, every caption and entry fits where it stands and each
// list shows the rows it was drawn for.
bool fitsIn(const QFont& font, const std::array<QLabel*, 3>& labels, const QPushButton* button,
            const std::array<ListBoxView*, 2>& lists)
{
    const QFontMetrics metrics(font);
    const auto fits = [&](const QString& text, int room) { return metrics.horizontalAdvance(text) <= room; };
    for (const QLabel* label : labels)
        if (!fits(label->text(), label->contentsRect().width()) || metrics.height() > label->height())
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
    setWindowTitle(toQString(form.Caption()));
    setFont(quizFont());
    setFixedSize(place(layout::clientArea).size());
    setPalette(classicPalette());
    setAutoFillBackground(true);

    // Created in the order of keyboard focus.
    verdict_ = new VerdictBox(this);
    verdict_->setGeometry(place(layout::verdictBox));

    const QRect listPlaces[] = {place(layout::namesList), place(layout::periodsList)};
    const char* listNames[] = {"names", "periods"};
    for (int16_t member = 0; member < 2; ++member) {
        auto* list = new ListBoxView(session_, member, announcer_, this);
        list->setObjectName(QLatin1String(listNames[member]));
        list->setGeometry(listPlaces[member]);
        lists_[static_cast<std::size_t>(member)] = list;
    }
    session_.showAll();

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
    // also name the lists to a screen reader.
    const QRect labelPlaces[] = {place(layout::titleLabel), place(layout::namesCaption),
                                 place(layout::periodsCaption)};
    const char* labelNames[] = {"title", "namesCaption", "periodsCaption"};
    std::array<QLabel*, 3> labels{};
    for (int16_t member = 0; member < 3; ++member) {
        auto* label = new QLabel(toQString(form.Label1(member).Caption()), this);
        labels[static_cast<std::size_t>(member)] = label;
        label->setObjectName(QLatin1String(labelNames[member]));
        label->setGeometry(labelPlaces[member]);
        label->setAlignment(Qt::AlignCenter);
        label->setAutoFillBackground(true);
        paint(label, QPalette::Window, colour(layout::labelColour));
        if (member > 0) {
            ListBoxView* list = lists_[static_cast<std::size_t>(member - 1)];
            label->setBuddy(list);
            list->setAccessibleName(label->text());
        }
    }

    // The layout was drawn for Times New Roman, and Liberation Serif has the
    // same metrics. A face that stands in for them where neither is
    // installed may be wider or taller; it shrinks until every text fits.
    // The lists hold the whole catalogue now, so every entry they will ever
    // show is measured.
    const QString family = QFontInfo(font()).family();
    if (family != toQString(layout::fontFace) && family != QLatin1String("Liberation Serif")) {
        QFont font = this->font();
        while (!fitsIn(font, labels, reset_, lists_) && font.pointSizeF() > smallestPointSize)
            font.setPointSizeF(font.pointSizeF() - 0.5);
        setFont(font);
    }

    setTabOrder(verdict_, lists_[0]);
    setTabOrder(lists_[0], lists_[1]);
    setTabOrder(lists_[1], reset_);
    verdict_->setFocus();
}

// The lists go before the Session they call: QWidget would take the focus
// from them after it is gone.
QuizWindow::~QuizWindow()
{
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

// Through the list that has the focus, where the learner made the pick, in
// the lines the verdict box shows.
void QuizWindow::announce(std::u16string_view verdict)
{
    for (ListBoxView* list : lists_)
        if (list->hasFocus())
            announcer_.announce(list, toQString(verdict).replace(QLatin1String("\r\n"), QLatin1String("\n")));
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
