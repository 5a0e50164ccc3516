#pragma once

class QAccessibleInterface;
class QObject;
class QString;

namespace drelvan {

// A screen reader's view of a ListBoxView: a list of items, each with its
// text, whether it is selected or under the focus mark, and a press action
// that picks it. For QAccessible::installFactory.
QAccessibleInterface* accessibleListBox(const QString& className, QObject* object);

} // namespace drelvan
