#pragma once

#include "controls/controls.hpp"
#include "controls/listrules.hpp"

#include <QAbstractScrollArea>
#include <QAccessible>
#include <QElapsedTimer>

#include <functional>

class QPainter;

namespace drelvan {

// A list box of the model on the screen. It draws the model's entries and
// selection as they are, so there is nothing to keep in step but the scroll
// position and the focus mark; the learner's picks go to `chooser`, never
// straight into the model. A pick that the quiz turns into a check takes
// entries out of this very list before the view is asked to draw again.
//
// Which entry a key, typed letters or the pointer pick is the control
// model's rule (controls/listrules.hpp); this view only turns Qt's events
// into those calls, and paints.
//
// Drawn by hand rather than with Qt's item views: a QListWidget for each of
// the two lists cost 0.8 MiB and 2.4 M instructions more at start, for a
// list of one column of plain text.
class ListBoxView : public QAbstractScrollArea {
    Q_OBJECT

public:
    ListBoxView(const ListBox& model, QWidget* parent);

    void setChooser(std::function<void(int row)> chooser) { chooser_ = std::move(chooser); }
    // To be called after the model changed: keeps the focus mark on the
    // entries and the scroll range to their count, and draws them anew.
    void sync();

    int count() const { return model_.ListCount(); }
    QString text(int row) const;
    int selectedRow() const { return model_.ListIndex(); }
    int caretRow() const { return caret_; }
    // Viewport coordinates; -1 and an empty rectangle where there is no entry.
    int rowAt(QPoint point) const;
    QRect visualRect(int row) const;
    int firstVisibleRow() const;
    int wholeRowsShown() const;
    // Room for an entry's text, and the height whole rows share, with the
    // scroll bar shown: the list at its narrowest, whether or not it has been
    // laid out yet.
    QSize textRoom() const;
    void scrollTo(int row);

    // An entry picked other than by mouse or key, by a screen reader.
    void choose(int row);

    // Tells a screen reader `news` without moving the focus: it becomes the
    // accessible description of the entry under the focus mark (of the list
    // itself where it is empty), and a screen reader speaks a description
    // that changes on the object it has in focus. The news stands until the
    // list changes again or loses the focus, so that coming back to the list
    // never reads out an old one. Only the list with the focus tells.
    void tell(const QString& news);
    // The news as the description of `row`, or of the list itself for -1.
    QString news(int row) const { return row == newsRow_ ? news_ : QString(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    int rowHeight() const;
    void drawFocusMark(QPainter& painter, const QRect& place, QPalette::ColorRole background) const;
    listrules::ListState state() const;
    void updateScrollRange();
    void announceCaret();
    void reportChanges();
    void forgetNews();
    void describe(int row);
    void notify(QAccessible::Event type, int row);

    const ListBox& model_;
    std::function<void(int)> chooser_;
    int caret_ = -1;
    unsigned long clears_ = 0;
    listrules::TypeAhead typeAhead_;
    listrules::PointerGesture pointer_;
    QElapsedTimer lastTyped_;
    // What a screen reader was last told of the list; it keeps what it has
    // read until it is told of a change.
    std::vector<std::u16string> toldEntries_;
    int toldSelected_ = -1;
    bool caretTold_ = false;
    QString news_;
    int newsRow_ = -1;
};

} // namespace drelvan
