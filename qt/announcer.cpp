#include "qt/announcer.hpp"

#include "qt/listboxview.hpp"

#include <QAccessible>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QLibraryInfo>
#include <QVersionNumber>

namespace drelvan {

namespace {

// Qt's AT-SPI bridge tells a changed description with the new text from
// Qt 6.8 on. Qt 6.4, as Debian 12 ships it, sends the object itself in
// place of the text, which a screen reader cannot speak; the versions in
// between are taken to be as 6.4. Where Qt's signal cannot be spoken, the
// window sends its own, as AT-SPI clients read it, and not Qt's as well, so
// that no verdict is spoken twice. The signal goes out on Qt's own
// connection to the accessibility bus, so that it comes from the program
// and names the object by the path Qt gives it. Decided by the Qt the
// program runs with, not the one it was built with.
bool qtTellsDescriptions()
{
    static const bool tells = QLibraryInfo::version() >= QVersionNumber(6, 8);
    return tells;
}

void sendDescription(QAccessibleInterface* face)
{
    QDBusConnection bus(QStringLiteral("a11y"));
    const QString path = QStringLiteral("/org/a11y/atspi/accessible/") + QString::number(QAccessible::uniqueId(face));
    QDBusMessage signal = QDBusMessage::createSignal(path, QStringLiteral("org.a11y.atspi.Event.Object"),
                                                     QStringLiteral("PropertyChange"));
    signal << QStringLiteral("accessible-description") << 0 << 0
           << QVariant::fromValue(QDBusVariant(face->text(QAccessible::Description))) << QVariantMap();
    bus.send(signal);
}

} // namespace

void Announcer::announce(ListBoxView* list, const QString& verdict)
{
    forget(where_);
    if (!list || verdict.isEmpty())
        return;
    where_ = list;
    inList_ = true;
    row_ = list->caretRow();
    news_ = verdict;
    describe();
}

// A widget's description is its own; Qt tells no one of a new one, so the
// change is told here, as for an entry.
void Announcer::announce(QWidget* widget, const QString& news)
{
    forget(where_);
    if (!widget || news.isEmpty())
        return;
    where_ = widget;
    inList_ = false;
    row_ = -1;
    news_ = news;
    widget->setAccessibleDescription(news);
    describe();
}

void Announcer::forget(const QWidget* widget)
{
    if (!widget || widget != where_ || news_.isEmpty())
        return;
    news_.clear();
    if (!inList_)
        where_->setAccessibleDescription(QString());
    describe();
    where_ = nullptr;
}

QString Announcer::news(const ListBoxView* list, int row) const
{
    return inList_ && list == where_ && row == row_ ? news_ : QString();
}

void Announcer::describe() const
{
    if (!where_ || !QAccessible::isActive())
        return;
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(where_.data());
    if (face && row_ >= 0)
        face = face->child(row_);
    if (!face)
        return;
    if (qtTellsDescriptions()) {
        QAccessibleEvent event(face, QAccessible::DescriptionChanged);
        QAccessible::updateAccessibility(&event);
    } else {
        sendDescription(face);
    }
}

} // namespace drelvan
