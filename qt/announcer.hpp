#pragma once

#include <QPointer>
#include <QString>

namespace drelvan {

class ListBoxView;

// Tells a screen reader a new verdict without moving the focus. A screen
// reader passes over a change in a box that has not the focus, so the
// verdict becomes the accessible description of what has it: the entry
// under the focus mark of the list where the learner made the pick (the
// list itself where it is empty), and a screen reader speaks a description
// that changes on the object it has in focus. The news stands until that
// list changes again or loses the focus, so that coming back to the list
// never reads out an old one.
class Announcer {
public:
    // Says `verdict` through `list`, which has the focus; nothing where
    // there is none.
    void announce(ListBoxView* list, const QString& verdict);
    // `list` changed or lost the focus: its news, if it has any, goes, while
    // a screen reader still has its entry in focus and takes note.
    void forget(const ListBoxView* list);
    // The description of entry `row` of `list`, or of the list itself for -1.
    QString news(const ListBoxView* list, int row) const;

private:
    void describe() const;

    QPointer<ListBoxView> list_;
    int row_ = -1;
    QString news_;
};

} // namespace drelvan
