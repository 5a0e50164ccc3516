#include "qt/listboxaccessible.hpp"

#include "qt/listboxview.hpp"

#include <QAccessibleWidget>
#include <QPointer>

namespace drelvan {

namespace {

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
            return view_->description(row_);
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
            view_->pick(row_);
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
        return t == QAccessible::Description ? view()->description(-1) : QAccessibleWidget::text(t);
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

} // namespace

QAccessibleInterface* accessibleListBox(const QString&, QObject* object)
{
    auto* view = qobject_cast<ListBoxView*>(object);
    return view ? new ListBoxAccessible(view) : nullptr;
}

} // namespace drelvan
