#include "support.hpp"

#include <QTest>

#include <functional>

using drelvan::ControlArray;
using drelvan::ControlError;
using drelvan::ListBox;

namespace {

// A list box in an array of one, so that it has a name and its Click is
// counted.
struct Fixture {
    ControlArray<ListBox> lists;
    int clicks = 0;

    explicit Fixture(bool sorted = false) : lists("List1", {ListBox(sorted)})
    {
        lists.bindClick([this](int16_t) { ++clicks; });
    }
    ListBox& list() { return lists(0); }
    void fill(const QStringList& entries)
    {
        for (const QString& entry : entries)
            list().AddItem(entry.toStdU16String());
    }
};

QStringList numbered(int count)
{
    QStringList entries;
    for (int i = 0; i < count; ++i)
        entries << QString::number(100 + i);
    return entries;
}

} // namespace

using ListOperation = std::function<void(ListBox&)>;
Q_DECLARE_METATYPE(ListOperation)

class ControlsTest : public QObject {
    Q_OBJECT

private slots:
    void addItem_data();
    void addItem();
    void removeItem_data();
    void removeItem();
    void clear();
    void clickFollowsSelectionChanges();
    void clickCarriesTheMemberIndex();
    void failures_data();
    void failures();
    void countStopsAt32767();
};

void ControlsTest::addItem_data()
{
    QTest::addColumn<bool>("sorted");
    QTest::addColumn<QStringList>("added");
    QTest::addColumn<QStringList>("expected");
    QTest::addRow("sorted: names in chronological order") << true << chronologicalNames << alphabeticalNames;
    QTest::addRow("unsorted: periods keep their order") << false << periods << periods;
    QTest::addRow("sorted by code unit: Latin before Cyrillic, upper before lower")
        << true << QStringList{u"б"_s, u"Б"_s, u"I"_s, u"І"_s, u"i"_s}
        << QStringList{u"I"_s, u"i"_s, u"І"_s, u"Б"_s, u"б"_s};
    QTest::addRow("sorted: a trailing blank sorts after the bare text")
        << true << QStringList{u"738 - 753 "_s, u"738 - 753"_s} << QStringList{u"738 - 753"_s, u"738 - 753 "_s};
    QTest::addRow("sorted: duplicates kept") << true << QStringList{u"Крум"_s, u"Аспарух"_s, u"Крум"_s}
                                             << QStringList{u"Аспарух"_s, u"Крум"_s, u"Крум"_s};
}

void ControlsTest::addItem()
{
    QFETCH(bool, sorted);
    QFETCH(QStringList, added);
    QFETCH(QStringList, expected);
    Fixture f(sorted);
    f.fill(added);
    QCOMPARE(entriesOf(f.list()), expected);
    QCOMPARE(f.list().ListCount(), expected.size());
    QCOMPARE(f.list().ListIndex(), -1);
    QCOMPARE(f.clicks, 0);
}

void ControlsTest::removeItem_data()
{
    QTest::addColumn<int>("selected");
    QTest::addColumn<int>("removed");
    QTest::addColumn<int>("selectedAfter");
    QTest::addRow("the selected entry: nothing selected") << 3 << 3 << -1;
    QTest::addRow("before the selection: it moves up") << 7 << 3 << 6;
    QTest::addRow("behind the selection: it stays") << 2 << 3 << 2;
    QTest::addRow("first entry, selection behind") << 15 << 0 << 14;
    QTest::addRow("last entry, selected") << 15 << 15 << -1;
    QTest::addRow("nothing selected") << -1 << 3 << -1;
}

void ControlsTest::removeItem()
{
    QFETCH(int, selected);
    QFETCH(int, removed);
    QFETCH(int, selectedAfter);
    Fixture f;
    f.fill(numbered(16));
    f.list().SetListIndex(static_cast<int16_t>(selected));
    const QString selectedText = selected >= 0 ? q(f.list().List(static_cast<int16_t>(selected))) : QString();
    const int clicksBefore = f.clicks;

    f.list().RemoveItem(static_cast<int16_t>(removed));

    QStringList expected = numbered(16);
    expected.removeAt(removed);
    QCOMPARE(entriesOf(f.list()), expected);
    QCOMPARE(f.list().ListCount(), 15);
    QCOMPARE(f.list().ListIndex(), selectedAfter);
    if (selectedAfter >= 0)
        QCOMPARE(q(f.list().List(static_cast<int16_t>(selectedAfter))), selectedText);
    QCOMPARE(f.clicks, clicksBefore);
}

void ControlsTest::clear()
{
    Fixture f;
    f.list().Clear();
    QCOMPARE(f.list().ListCount(), 0);
    QCOMPARE(f.list().ListIndex(), -1);
    f.fill(numbered(4));
    f.list().SetListIndex(2);
    f.list().Clear();
    QCOMPARE(f.list().ListCount(), 0);
    QCOMPARE(f.list().ListIndex(), -1);
    QCOMPARE(f.clicks, 1); // the selection made above, not the clearing
}

void ControlsTest::clickFollowsSelectionChanges()
{
    Fixture f;
    int seenIndex = -2;
    f.lists.bindClick([&](int16_t) {
        ++f.clicks;
        seenIndex = f.list().ListIndex(); // the new selection is in place when Click arrives
    });
    f.fill(numbered(3));
    f.list().SetListIndex(1);
    QCOMPARE(f.clicks, 1);
    QCOMPARE(seenIndex, 1);
    f.list().SetListIndex(1);
    QCOMPARE(f.clicks, 1);
    f.list().SetListIndex(-1);
    QCOMPARE(f.clicks, 2);
    QCOMPARE(seenIndex, -1);
}

void ControlsTest::clickCarriesTheMemberIndex()
{
    ControlArray<ListBox> lists("List1", {ListBox(), ListBox(), ListBox()});
    QList<int> raised;
    lists.bindClick([&](int16_t index) { raised << index; });
    for (int16_t i : {2, 0, 1}) {
        lists(i).AddItem(u"x");
        lists(i).SetListIndex(0);
    }
    QCOMPARE(raised, (QList<int>{2, 0, 1}));
    QCOMPARE(QString::fromStdString(lists(2).Name()), u"List1(2)"_s);
}

void ControlsTest::failures_data()
{
    QTest::addColumn<ListOperation>("operation");
    QTest::addColumn<QString>("message");
    using Op = ListOperation;
    QTest::addRow("List past the end") << Op([](ListBox& l) { l.List(16); }) << u"List1(0).List(16)"_s;
    QTest::addRow("List below zero") << Op([](ListBox& l) { l.List(-1); }) << u"List1(0).List(-1)"_s;
    QTest::addRow("RemoveItem past the end") << Op([](ListBox& l) { l.RemoveItem(16); })
                                             << u"List1(0).RemoveItem(16)"_s;
    QTest::addRow("RemoveItem below zero") << Op([](ListBox& l) { l.RemoveItem(-1); })
                                           << u"List1(0).RemoveItem(-1)"_s;
    QTest::addRow("RemoveItem on an empty list") << Op([](ListBox& l) { l.Clear(); l.RemoveItem(0); })
                                                 << u"List1(0).RemoveItem(0)"_s;
    QTest::addRow("ListIndex below -1") << Op([](ListBox& l) { l.SetListIndex(-2); })
                                        << u"List1(0).ListIndex(-2)"_s;
    QTest::addRow("ListIndex past the end") << Op([](ListBox& l) { l.SetListIndex(16); })
                                            << u"List1(0).ListIndex(16)"_s;
    QTest::addRow("ListIndex on an empty list") << Op([](ListBox& l) { l.Clear(); l.SetListIndex(0); })
                                                << u"List1(0).ListIndex(0)"_s;
}

void ControlsTest::failures()
{
    QFETCH(ListOperation, operation);
    QFETCH(QString, message);
    Fixture f;
    f.fill(numbered(16));
    f.list().SetListIndex(5);
    const QStringList before = entriesOf(f.list());
    try {
        operation(f.list());
        QFAIL("no error raised");
    } catch (const ControlError& error) {
        QVERIFY2(QString::fromUtf8(error.what()).startsWith(message), error.what());
    }
    if (f.list().ListCount() > 0) { // a failed operation changes nothing
        QCOMPARE(entriesOf(f.list()), before);
        QCOMPARE(f.list().ListIndex(), 5);
    }
}

void ControlsTest::countStopsAt32767()
{
    Fixture f;
    for (int i = 0; i < 32767; ++i)
        f.list().AddItem(u"x");
    QCOMPARE(f.list().ListCount(), 32767);
    f.list().SetListIndex(32766);
    QCOMPARE(q(f.list().List(32766)), u"x"_s);
    QVERIFY_THROWS_EXCEPTION(ControlError, f.list().AddItem(u"one too many"));
    QCOMPARE(f.list().ListCount(), 32767);

    QVERIFY_THROWS_EXCEPTION(ControlError, f.lists(1));
    QVERIFY_THROWS_EXCEPTION(ControlError, f.lists(-1));
}

QTEST_APPLESS_MAIN(ControlsTest)
#include "tst_controls.moc"
