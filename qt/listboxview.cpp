#include "listboxview.hpp"
#include "qtext.hpp"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyleOptionFocusRect>

#include <algorithm>
#include <optional>

namespace drelvan {

namespace {

constexpr int textMargin = 3;


// A screen reader sees the list as a list of items, each with its text and
// whether it is selected or under the focus mark, and can pick one.
class EntryAccessible : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    EntryAccessible(ListBoxView* view, int row) : view_(view), row_(row) {}

    bool isValid() const override { return view_ && row_ < view_->count(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return view_ ? view_->window()->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(view_); }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QString text(QAccessible::Text t) const override
    {
        if (!isValid())
            return {};
        if (t == QAccessible::Description)
            return view_->news(row_);
        return t == QAccessible::Name ? view_->text(row_) : QString();
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override
    {
        if (!isValid())
            return {};
        const QRect r = view_->visualRect(row_);
        return {view_->viewport()->mapToGlobal(r.topLeft()), r.size()};
    }
    QAccessible::Role role() const override { return QAccessible::ListItem; }
    QAccessible::State state() const override
    {
        QAccessible::State s;
        s.selectable = true;
        s.focusable = true;
        if (!isValid())
            return s;
        s.selected = view_->selectedRow() == row_;
        s.focused = view_->hasFocus() && view_->caretRow() == row_;
        s.invisible = !view_->isVisible();
        s.offscreen = !view_->viewport()->rect().intersects(view_->visualRect(row_));
        return s;
    }
    void* interface_cast(QAccessible::InterfaceType type) override
    {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this) : nullptr;
    }

    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& name) override
    {
        if (name == pressAction() && isValid())
            view_->choose(row_);
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    QPointer<ListBoxView> view_;
    int row_;
};

class ListBoxAccessible : public QAccessibleWidget {
public:
    explicit ListBoxAccessible(ListBoxView* view) : QAccessibleWidget(view, QAccessible::List) {}
    ~ListBoxAccessible() override
    {
        for (QAccessible::Id id : std::as_const(entries_))
            QAccessible::deleteAccessibleInterface(id);
    }

    QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Description ? view()->news(-1) : QAccessibleWidget::text(t);
    }
    int childCount() const override { return view()->count(); }
    QAccessibleInterface* child(int index) const override
    {
        if (index < 0 || index >= view()->count())
            return nullptr;
        // One interface per row for the life of the list: rows stay, only
        // the entry in them changes.
        auto id = entries_.value(index);
        if (!id) {
            id = QAccessible::registerAccessibleInterface(new EntryAccessible(view(), index));
            entries_.insert(index, id);
        }
        return QAccessible::accessibleInterface(id);
    }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        for (auto it = entries_.cbegin(); it != entries_.cend(); ++it)
            if (QAccessible::accessibleInterface(it.value()) == child)
                return it.key();
        return -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override
    {
        return child(view()->rowAt(view()->viewport()->mapFromGlobal(QPoint(x, y))));
    }

private:
    ListBoxView* view() const { return static_cast<ListBoxView*>(widget()); }

    mutable QHash<int, QAccessible::Id> entries_;
};

// A change of an object's description, told over AT-SPI as its clients read
// it: with the new text. Qt 6.4 sends the object itself in place of the text,
// which a screen reader cannot speak. The signal goes out on Qt's own
// connection to the accessibility bus, so that it comes from the program and
// names the object by the path Qt gives it.
void sendDescription(QAccessibleInterface* face)
{
    QDBusConnection bus(QStringLiteral("a11y"));
    if (!face || !bus.isConnected())
        return;
    const QString path = QStringLiteral("/org/a11y/atspi/accessible/") + QString::number(QAccessible::uniqueId(face));
    QDBusMessage signal = QDBusMessage::createSignal(path, QStringLiteral("org.a11y.atspi.Event.Object"),
                                                     QStringLiteral("PropertyChange"));
    signal << QStringLiteral("accessible-description") << 0 << 0
           << QVariant::fromValue(QDBusVariant(face->text(QAccessible::Description))) << QVariantMap();
    bus.send(signal);
}

QAccessibleInterface* accessibleListBox(const QString&, QObject* object)
{
    auto* view = qobject_cast<ListBoxView*>(object);
    return view ? new ListBoxAccessible(view) : nullptr;
}

} // namespace

ListBoxView::ListBoxView(const ListBox& model, QWidget* parent) : QAbstractScrollArea(parent), model_(model)
{
    static const bool accessible = (QAccessible::installFactory(accessibleListBox), true);
    Q_UNUSED(accessible);
    setFocusPolicy(Qt::StrongFocus);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    viewport()->setBackgroundRole(QPalette::Base);
    verticalScrollBar()->setSingleStep(1);
    sync();
}

QString ListBoxView::text(int row) const
{
    return row >= 0 && row < count() ? toQString(model_.entries()[static_cast<std::size_t>(row)]) : QString();
}

int ListBoxView::rowHeight() const
{
    return fontMetrics().height();
}

int ListBoxView::firstVisibleRow() const
{
    return verticalScrollBar()->value();
}

int ListBoxView::wholeRowsShown() const
{
    return std::max(1, viewport()->height() / rowHeight());
}

QSize ListBoxView::textRoom() const
{
    const int frame = frameWidth();
    const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, verticalScrollBar());
    return {width() - 2 * frame - bar - 2 * textMargin, height() - 2 * frame};
}

int ListBoxView::rowAt(QPoint point) const
{
    if (!viewport()->rect().contains(point))
        return -1;
    const int row = firstVisibleRow() + point.y() / rowHeight();
    return row < count() ? row : -1;
}

QRect ListBoxView::visualRect(int row) const
{
    if (row < 0 || row >= count())
        return {};
    return {0, (row - firstVisibleRow()) * rowHeight(), viewport()->width(), rowHeight()};
}

void ListBoxView::scrollTo(int row)
{
    verticalScrollBar()->setValue(listrules::topShowing(row, firstVisibleRow(), wholeRowsShown()));
}

listrules::ListState ListBoxView::state() const
{
    return {count(), selectedRow(), caret_, wholeRowsShown()};
}

void ListBoxView::sync()
{
    const bool emptied = model_.clears() != clears_;
    clears_ = model_.clears();
    const listrules::ListPlace place = listrules::follow({caret_, firstVisibleRow()}, state(), emptied);
    caret_ = place.caret;
    updateScrollRange();
    verticalScrollBar()->setValue(place.top);
    viewport()->update();

    // The old news goes before the focus moves on, while a screen reader
    // still has its entry in focus and takes note.
    forgetNews();
    reportChanges();
    announceCaret();
}

// Tells a screen reader which entry the focus mark is on, or that the list
// itself has the focus where it is empty.
void ListBoxView::announceCaret()
{
    if (!hasFocus())
        return;
    notify(QAccessible::Focus, caret_);
    caretTold_ = true;
}

// Tells a screen reader which entries now read otherwise and which one is
// selected: the rows stay, the entries move up through them.
void ListBoxView::reportChanges()
{
    const std::vector<std::u16string>& entries = model_.entries();
    const std::size_t rows = std::min(entries.size(), toldEntries_.size());
    for (std::size_t row = 0; row < rows; ++row)
        if (entries[row] != toldEntries_[row])
            notify(QAccessible::NameChanged, static_cast<int>(row));
    if (selectedRow() != toldSelected_) {
        if (toldSelected_ >= 0 && toldSelected_ < count())
            notify(QAccessible::SelectionRemove, toldSelected_);
        if (selectedRow() >= 0)
            notify(QAccessible::SelectionAdd, selectedRow());
    }
    toldEntries_ = entries;
    toldSelected_ = selectedRow();
}

void ListBoxView::tell(const QString& news)
{
    forgetNews();
    if (!hasFocus() || news.isEmpty())
        return;
    news_ = news;
    newsRow_ = caret_;
    describe(newsRow_);
}

void ListBoxView::forgetNews()
{
    if (news_.isEmpty())
        return;
    news_.clear();
    describe(newsRow_);
}

void ListBoxView::describe(int row)
{
    if (!QAccessible::isActive())
        return;
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(this);
    sendDescription(row < 0 ? face : face->child(row));
}

// An event about entry `row`, or about the list itself for -1.
void ListBoxView::notify(QAccessible::Event type, int row)
{
    if (!QAccessible::isActive())
        return;
    QAccessibleEvent event(this, type);
    event.setChild(row);
    QAccessible::updateAccessibility(&event);
}

void ListBoxView::updateScrollRange()
{
    verticalScrollBar()->setRange(0, listrules::lastTop(count(), wholeRowsShown()));
    verticalScrollBar()->setPageStep(wholeRowsShown());
}

void ListBoxView::choose(int row)
{
    if (row < 0 || row >= count())
        return;
    caret_ = row;
    scrollTo(row);
    viewport()->update();
    if (chooser_)
        chooser_(row);
}

void ListBoxView::paintEvent(QPaintEvent*)
{
    QPainter painter(viewport());
    if (count() == 0 && hasFocus()) {
        // An empty list shows where its first entry would be.
        drawFocusMark(painter, QRect(0, 0, viewport()->width(), rowHeight()), QPalette::Base);
        return;
    }
    const int first = firstVisibleRow();
    const int last = std::min(count() - 1, first + viewport()->height() / rowHeight());
    for (int row = first; row <= last; ++row) {
        const QRect place = visualRect(row);
        const bool selected = row == selectedRow();
        if (selected)
            painter.fillRect(place, palette().highlight());
        painter.setPen(palette().color(selected ? QPalette::HighlightedText : QPalette::Text));
        painter.drawText(place.adjusted(textMargin, 0, -textMargin, 0), Qt::AlignLeft | Qt::AlignVCenter,
                         text(row));
        if (row == caret_ && hasFocus())
            drawFocusMark(painter, place, selected ? QPalette::Highlight : QPalette::Base);
    }
}

void ListBoxView::drawFocusMark(QPainter& painter, const QRect& place, QPalette::ColorRole background) const
{
    QStyleOptionFocusRect focus;
    focus.initFrom(this);
    focus.rect = place;
    focus.backgroundColor = palette().color(background);
    style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
}

void ListBoxView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const int row = pointer_.press(rowAt(event->position().toPoint()));
    choose(row);
    pointer_.picked(row, selectedRow());
}

void ListBoxView::mouseDoubleClickEvent(QMouseEvent* event)
{
    mousePressEvent(event);
}

void ListBoxView::mouseMoveEvent(QMouseEvent* event)
{
    if (!(event->buttons() & Qt::LeftButton))
        return;
    const int row = pointer_.drag(rowAt(event->position().toPoint()), selectedRow());
    choose(row);
    pointer_.picked(row, selectedRow());
}

void ListBoxView::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        pointer_.release();
}

namespace {

std::optional<listrules::ListKey> listKey(int key)
{
    using listrules::ListKey;
    switch (key) {
    case Qt::Key_Up: return ListKey::Up;
    case Qt::Key_Down: return ListKey::Down;
    case Qt::Key_Left: return ListKey::Left;
    case Qt::Key_Right: return ListKey::Right;
    case Qt::Key_PageUp: return ListKey::PageUp;
    case Qt::Key_PageDown: return ListKey::PageDown;
    case Qt::Key_Home: return ListKey::Home;
    case Qt::Key_End: return ListKey::End;
    case Qt::Key_Space: return ListKey::Space;
    default: return std::nullopt;
    }
}

} // namespace

void ListBoxView::keyPressEvent(QKeyEvent* event)
{
    const bool plain = !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
    if (plain && count() > 0) {
        if (const auto key = listKey(event->key())) {
            const int target = listrules::keySelection(*key, state());
            if (target != selectedRow())
                choose(target);
            event->accept();
            return;
        }
        const QString typed = event->text();
        if (!typed.isEmpty() && typed.at(0).isPrint() && !typed.at(0).isSpace()) {
            const bool continuing =
                lastTyped_.isValid() && lastTyped_.elapsed() <= QApplication::keyboardInputInterval();
            lastTyped_.start();
            choose(typeAhead_.type(toModelText(typed), continuing, model_.entries(), caret_));
            event->accept();
            return;
        }
    }
    QAbstractScrollArea::keyPressEvent(event);
}

void ListBoxView::focusInEvent(QFocusEvent* event)
{
    QAbstractScrollArea::focusInEvent(event);
    if (caret_ < 0 && count() > 0)
        caret_ = 0;
    viewport()->update();
    // Once Qt has told a screen reader that the list has the focus, which it
    // does after this event, unless a pick has told the entry since.
    caretTold_ = false;
    QMetaObject::invokeMethod(
        this, [this] { if (!caretTold_) announceCaret(); }, Qt::QueuedConnection);
}

void ListBoxView::focusOutEvent(QFocusEvent* event)
{
    QAbstractScrollArea::focusOutEvent(event);
    forgetNews();
    viewport()->update();
}

void ListBoxView::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    updateScrollRange();
}

void ListBoxView::scrollContentsBy(int, int)
{
    viewport()->update();
}

} // namespace drelvan
