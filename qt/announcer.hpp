#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

namespace drelvan {

class ListBoxView;

// Tells a screen reader news (a verdict, a quiz just opened) without moving
// the focus. A screen reader passes over a change in a box that has not the
// focus, so the news becomes the accessible description of what has it: the
// entry under the focus mark of the list where the learner made the pick (the
// list itself where it is empty), else the widget with the focus, else the
// window; and a screen reader speaks a description that changes on the object
// it has in focus. The news stands until that list changes again or the
// focus leaves, so that coming back never reads out an old one.
class Announcer {
public:
    // Says `verdict` through `list`, which has the focus; nothing where
    // there is none.
    void announce(ListBoxView* list, const QString& verdict);
    // Says `news` through `widget`, which is no list: the one with the focus,
    // or the window where nothing in it has the focus.
    void announce(QWidget* widget, const QString& news);
    // `widget` changed or lost the focus: its news, if it has any, goes,
    // while a screen reader still has it in focus and takes note.
    void forget(const QWidget* widget);
    // The description of entry `row` of `list`, or of the list itself for -1.
    QString news(const ListBoxView* list, int row) const;

private:
    void describe() const;

    QPointer<QWidget> where_;
    bool inList_ = false;
    int row_ = -1;
    QString news_;
};

} // namespace drelvan
