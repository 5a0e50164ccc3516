#pragma once

#include "window/controls.hpp"

#include <QAbstractScrollArea>
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
// The learner picks an entry by pressing the mouse on it or dragging over
// it, with the cursor keys, or by typing its first letters. Nothing the
// learner does empties the selection. With nothing selected, Up, Down, Page
// Up, Page Down and Space pick the entry under the focus mark (the first one
// when there is none), Home and End the first and the last; with a
// selection, the keys move from it, Page Up and Page Down by one row less
// than a page of whole rows.
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
    void scrollTo(int row);

    // An entry picked other than by mouse or key, by a screen reader.
    void choose(int row);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    int rowHeight() const;
    void drawFocusMark(QPainter& painter, const QRect& place, QPalette::ColorRole background) const;
    int keyTarget(const QKeyEvent* event) const;
    int typeAhead(const QString& typed);
    void updateScrollRange();
    void announceCaret();

    const ListBox& model_;
    std::function<void(int)> chooser_;
    int caret_ = -1;
    QString search_;
    QElapsedTimer lastTyped_;
};

} // namespace drelvan
