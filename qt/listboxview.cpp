#include "qt/listboxview.hpp"

#include "qt/announcer.hpp"
#include "qt/listboxaccessible.hpp"
#include "qt/qtext.hpp"

#include "quiz/session.hpp"

#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStyleOptionFocusRect>

#include <algorithm>
#include <array>
#include <unordered_map>
#include <optional>

namespace drelvan {

namespace {

constexpr int textMargin = 3;

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

ListBoxView::ListBoxView(Session& session, int16_t member, Announcer& announcer, QWidget* parent)
    : QAbstractScrollArea(parent), session_(session), member_(member), announcer_(announcer)
{
    static const bool accessible = (QAccessible::installFactory(accessibleListBox), true);
    Q_UNUSED(accessible);
    setFocusPolicy(Qt::StrongFocus);
    // Shown only while an entry is wider than the list, as a list box's
    // horizontal extent does; the khans' names and periods all fit.
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    viewport()->setBackgroundRole(QPalette::Base);
    verticalScrollBar()->setSingleStep(1);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this](int top) { session_.scrollTo(member_, top); });
}

QString ListBoxView::text(int row) const
{
    return row >= 0 && row < count() ? toQString(model().List(static_cast<int16_t>(row))) : QString();
}

int ListBoxView::rowHeight() const
{
    return fontMetrics().height();
}

QSize ListBoxView::textRoom() const
{
    const int frame = frameWidth();
    const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, verticalScrollBar());
    return {width() - 2 * frame - bar - 2 * textMargin, height() - 2 * frame};
}

int ListBoxView::rowAt(QPoint point) const
{
    return viewport()->rect().contains(point) ? session_.list(member_).rowAtLine(point.y() / rowHeight()) : -1;
}

QRect ListBoxView::visualRect(int row) const
{
    if (row < 0 || row >= count())
        return {};
    return {0, (row - firstVisibleRow()) * rowHeight(), viewport()->width(), rowHeight()};
}

// The learner's own moves of the vertical scroll bar go to the Session;
// these are the Session's, and go unheard. The horizontal one is the view's
// alone: it moves the text by the pixel, and the rows stay.
void ListBoxView::placeScrollBar()
{
    {
        const QSignalBlocker quiet(verticalScrollBar());
        verticalScrollBar()->setRange(0, listrules::lastTop(count(), wholeRowsShown()));
        verticalScrollBar()->setPageStep(wholeRowsShown());
        verticalScrollBar()->setValue(firstVisibleRow());
    }
    QScrollBar* across = horizontalScrollBar();
    const int room = viewport()->width();
    // Estimates are near enough where the entries fit with room to spare;
    // where they may not, the widest are shaped.
    if (widest_ + 2 * textMargin + fontMetrics().averageCharWidth() > room)
        shapeWidest();
    across->setRange(0, std::max(0, widest_ + 2 * textMargin - room));
    across->setPageStep(room);
    across->setSingleStep(std::max(1, fontMetrics().averageCharWidth()));
}

void ListBoxView::measureEntries()
{
    measured_ = &model().entries();
    const QFontMetrics metrics = fontMetrics();
    // Each character's advance is measured once. A surrogate, a part of
    // something larger, counts as the widest character there is, so that
    // its entry is shaped if it may be the widest.
    // Latin and Cyrillic, what most entries are written in, are looked up
    // in an array.
    std::array<int, 0x500> common;
    common.fill(-1);
    std::unordered_map<char16_t, int> others;
    const auto advance = [&](char16_t c) {
        if (c >= 0xD800 && c < 0xE000)
            return metrics.maxWidth();
        int& width = c < common.size() ? common[c] : others.try_emplace(c, -1).first->second;
        if (width < 0)
            width = metrics.horizontalAdvance(QChar(c));
        return width;
    };
    widths_.clear();
    widths_.reserve(measured_->size());
    for (const std::u16string& entry : *measured_) {
        int width = 0;
        for (const char16_t c : entry)
            width += advance(c);
        widths_.push_back(width);
    }
    shaped_.assign(widths_.size(), false);
    widest_ = widths_.empty() ? 0 : *std::max_element(widths_.begin(), widths_.end());
}

// Kerning and shaping move a text's width from the sum of its advances by a
// pixel or two, less than the margin beside the text: the entries whose
// estimates are the widest are shaped, and the rest keep their estimates.
void ListBoxView::shapeWidest()
{
    constexpr std::size_t shapedAtMost = 32;
    if (std::find(shaped_.begin(), shaped_.end(), false) == shaped_.end())
        return;
    std::vector<std::size_t> rows;
    for (std::size_t row = 0; row < widths_.size(); ++row)
        if (!shaped_[row])
            rows.push_back(row);
    const std::size_t shaping = std::min(shapedAtMost, rows.size());
    const auto wider = [this](std::size_t a, std::size_t b) { return widths_[a] > widths_[b]; };
    std::nth_element(rows.begin(), rows.begin() + static_cast<std::ptrdiff_t>(shaping), rows.end(), wider);
    const QFontMetrics metrics = fontMetrics();
    for (std::size_t i = 0; i < shaping; ++i) {
        widths_[rows[i]] = metrics.horizontalAdvance(toQString((*measured_)[rows[i]]));
        shaped_[rows[i]] = true;
    }
    widest_ = widths_.empty() ? 0 : *std::max_element(widths_.begin(), widths_.end());
}

void ListBoxView::show(const ListShown& list)
{
    // Another exercise brings other entries, in a list of its own.
    const bool oneGone = list.change.kind == EntriesChange::Removed && &list.entries == measured_
                         && widths_.size() == list.entries.size() + 1 && list.change.row >= 0
                         && static_cast<std::size_t>(list.change.row) < widths_.size();
    if (oneGone) {
        widths_.erase(widths_.begin() + list.change.row);
        shaped_.erase(shaped_.begin() + list.change.row);
        widest_ = widths_.empty() ? 0 : *std::max_element(widths_.begin(), widths_.end());
    } else if (list.change.kind != EntriesChange::None || &list.entries != measured_) {
        measureEntries();
    }
    placeScrollBar();
    viewport()->update();

    // A screen reader keeps what it has read until it is told of a change:
    // the old news goes first, then the rows that now read otherwise (the
    // rows stay, the entries move up through them), the selection, and where
    // the focus mark is.
    announcer_.forget(this);
    if (list.change.kind != EntriesChange::None)
        for (int row = list.change.kind == EntriesChange::Removed ? list.change.row : 0; row < count(); ++row)
            notify(QAccessible::NameChanged, row);
    if (list.selected != selectionTold_) {
        if (selectionTold_ >= 0 && selectionTold_ < count())
            notify(QAccessible::SelectionRemove, selectionTold_);
        if (list.selected >= 0)
            notify(QAccessible::SelectionAdd, list.selected);
        selectionTold_ = list.selected;
    }
    // As the list gains the focus, Qt tells of the list first; the entry
    // follows from focusInEvent.
    if (!gainingFocus_)
        announceCaret();
}

// Tells a screen reader which entry the focus mark is on, or that the list
// itself has the focus where it is empty.
void ListBoxView::announceCaret()
{
    if (!hasFocus())
        return;
    notify(QAccessible::Focus, caretRow());
    caretTold_ = true;
}

QString ListBoxView::description(int row) const
{
    return announcer_.news(this, row);
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

void ListBoxView::paintEvent(QPaintEvent*)
{
    QPainter painter(viewport());
    const ListController& list = session_.list(member_);
    if (count() == 0 && list.focused()) {
        // An empty list shows where its first entry would be.
        drawFocusMark(painter, QRect(0, 0, viewport()->width(), rowHeight()), QPalette::Base);
        return;
    }
    const int last = std::min(count() - 1, list.top() + viewport()->height() / rowHeight());
    // The text, shifted as far as the list is scrolled sideways; the row,
    // its highlight and its focus mark stay across the list's width.
    const int across = horizontalScrollBar()->value();
    const int textWidth = std::max(viewport()->width(), widest_ + 2 * textMargin) - 2 * textMargin;
    for (int row = list.top(); row <= last; ++row) {
        const QRect place = visualRect(row);
        const bool selected = row == selectedRow();
        if (selected)
            painter.fillRect(place, palette().highlight());
        painter.setPen(palette().color(selected ? QPalette::HighlightedText : QPalette::Text));
        painter.drawText(QRect(textMargin - across, place.top(), textWidth, place.height()), Qt::AlignLeft | Qt::AlignVCenter,
                         text(row));
        if (row == list.caret() && list.focused())
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

// A double-click's second press is a press like the first.
void ListBoxView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        session_.press(member_, rowAt(event->position().toPoint()));
}

void ListBoxView::mouseDoubleClickEvent(QMouseEvent* event)
{
    mousePressEvent(event);
}

void ListBoxView::mouseMoveEvent(QMouseEvent* event)
{
    if (event->buttons() & Qt::LeftButton)
        session_.drag(member_, rowAt(event->position().toPoint()));
}

void ListBoxView::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        session_.release(member_);
}

// A wheel turned sideways scrolls sideways, where there is room to.
void ListBoxView::wheelEvent(QWheelEvent* event)
{
    if (event->angleDelta().y() == 0) {
        if (event->angleDelta().x() != 0 && horizontalScrollBar()->maximum() > 0)
            QCoreApplication::sendEvent(horizontalScrollBar(), event);
        else
            event->ignore();
        return;
    }
    session_.wheel(member_, event->angleDelta().y());
}

// The keys the list does not take go to the window, never to
// QAbstractScrollArea, which would scroll on its own.
void ListBoxView::keyPressEvent(QKeyEvent* event)
{
    const Qt::KeyboardModifiers held = event->modifiers();
    const Modifiers modifiers{held.testFlag(Qt::ShiftModifier), held.testFlag(Qt::ControlModifier),
                              held.testFlag(Qt::AltModifier)};
    const auto key = listKey(event->key());
    const bool taken = key ? session_.key(member_, *key, modifiers)
                           : session_.type(member_, toModelText(event->text()), static_cast<std::int64_t>(event->timestamp()));
    if (!taken)
        event->ignore();
}

void ListBoxView::focusInEvent(QFocusEvent* event)
{
    QAbstractScrollArea::focusInEvent(event);
    gainingFocus_ = true;
    session_.focus(member_, true);
    gainingFocus_ = false;
    // Once Qt has told a screen reader that the list has the focus, which it
    // does after this event, unless a pick has told the entry since.
    caretTold_ = false;
    QMetaObject::invokeMethod(
        this, [this] { if (!caretTold_) announceCaret(); }, Qt::QueuedConnection);
}

void ListBoxView::focusOutEvent(QFocusEvent* event)
{
    QAbstractScrollArea::focusOutEvent(event);
    announcer_.forget(this);
    session_.focus(member_, false);
}

void ListBoxView::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    session_.setRowsShown(member_, viewport()->height() / rowHeight());
    placeScrollBar();
}

void ListBoxView::changeEvent(QEvent* event)
{
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        measureEntries();
        placeScrollBar();
    }
}

} // namespace drelvan
