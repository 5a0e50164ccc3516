#pragma once

#include "controls/listcontroller.hpp"
#include "quiz/session.hpp"

#include <QAbstractScrollArea>
#include <QAccessible>

#include <cstdint>

class QPainter;

namespace drelvan {

class Announcer;

// One of the visible list boxes on the screen. It keeps nothing of the
// list's own: Qt's events become calls on the learner's Session, and what it
// draws and tells a screen reader it reads from the Session as it goes.
//
// Drawn by hand rather than with Qt's item views: a QListWidget for each of
// the two lists cost 0.8 MiB and 2.4 M instructions more at start, for a
// list of one column of plain text.
class ListBoxView : public QAbstractScrollArea {
    Q_OBJECT

public:
    ListBoxView(Session& session, int16_t member, Announcer& announcer, QWidget* parent);

    using QAbstractScrollArea::show;
    // The list changed as `list` says: it is drawn again, and a screen
    // reader is told what changed.
    void show(const ListShown& list);

    int count() const { return model().ListCount(); }
    QString text(int row) const;
    int selectedRow() const { return model().ListIndex(); }
    int caretRow() const { return session_.list(member_).caret(); }
    int firstVisibleRow() const { return session_.list(member_).top(); }
    int wholeRowsShown() const { return session_.list(member_).rowsShown(); }
    // Viewport coordinates; -1 and an empty rectangle where there is no entry.
    int rowAt(QPoint point) const;
    QRect visualRect(int row) const;
    // Room for an entry's text, and the height whole rows share, with the
    // scroll bar shown: the list at its narrowest, whether or not it has been
    // laid out yet.
    QSize textRoom() const;

    // An entry picked other than by mouse or key, by a screen reader.
    void pick(int row) { session_.pick(member_, row); }
    // What a screen reader is told of entry `row`, or of the list for -1.
    QString description(int row) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    const ListBox& model() const { return session_.form().List1(member_); }
    int rowHeight() const;
    void placeScrollBar();
    void measureEntries();
    void drawFocusMark(QPainter& painter, const QRect& place, QPalette::ColorRole background) const;
    void announceCaret();
    void notify(QAccessible::Event type, int row);

    Session& session_;
    const int16_t member_;
    Announcer& announcer_;
    // The entry a screen reader was last told is selected. The model has
    // moved on by the time show() hears of it, and a screen reader must be
    // told that this one is no longer selected.
    int selectionTold_ = -1;
    // Whether a screen reader has been told where the focus mark is since
    // the list gained the focus, and whether the list is gaining it just
    // now, when Qt has yet to tell of the list itself.
    bool caretTold_ = false;
    bool gainingFocus_ = false;
    // The width of the widest entry's text, and the entries it was measured
    // over: a list whose entries are wider than it scrolls sideways.
    int widest_ = 0;
    const std::vector<std::u16string>* measured_ = nullptr;
    // Each entry's width, row by row: a check takes one out, and the list
    // of 32,767 entries is not measured again. Shaping every entry would
    // cost a long list's start dearly, so most widths are estimates, the sum
    // of their characters' advances; only where an entry may be wider than
    // the list are the entries whose estimates are the widest shaped
    // (`shaped_`).
    std::vector<int> widths_;
    std::vector<bool> shaped_;
    void shapeWidest();
};

} // namespace drelvan
