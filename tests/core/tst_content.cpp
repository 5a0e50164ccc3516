#include "support.hpp"

#include "content/about.hpp"
#include "content/catalogue.hpp"
#include "content/texts.hpp"
#include "quiz/quiz.hpp"

#include <QTest>

using drelvan::Form;

class ContentTest : public QObject {
    Q_OBJECT

private slots:
    void listsAsTheWindowOpens_data();
    void listsAsTheWindowOpens();
    void notes_data();
    void notes();
    void captions_data();
    void captions();
    void openingText();
};

void ContentTest::listsAsTheWindowOpens_data()
{
    QTest::addColumn<int>("member");
    QTest::addColumn<QStringList>("expected");
    QTest::addRow("names offered, alphabetical") << 0 << alphabeticalNames;
    QTest::addRow("periods offered, chronological") << 1 << periods;
    QTest::addRow("key names") << 2 << chronologicalNames;
    QTest::addRow("key periods") << 3 << periods;
}

void ContentTest::listsAsTheWindowOpens()
{
    QFETCH(int, member);
    QFETCH(QStringList, expected);
    const drelvan::Quiz quiz;
    const Form& form = quiz.form();
    const auto& list = form.List1(static_cast<int16_t>(member));
    QCOMPARE(entriesOf(list), expected);
    QCOMPARE(list.ListIndex(), -1);
    QCOMPARE(list.Sorted(), member == 0);
}

// Each note by its length, and the detail a careless copy would lose.
void ContentTest::notes_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("length");
    QTest::addColumn<QString>("detail");
    const int lengths[] = {83, 188, 38, 43, 88, 49, 38, 76, 68, 51, 176, 86, 661, 137, 97, 65};
    const QString details[] = {
        u"Основател на Дунавска България, призната с договор от Византия, столицата е Плиска."_s,
        u"Провъзгласен е за \"Спасител на Европа\" след като"_s,
        u"Продължава мира сключен от хан Тервел."_s,
        u"Убит от боилите за провизантийска политика."_s,
        u"Цариград, но е отбита. За това военно поражение е детрониран."_s,
        u"Убит заедно с рода си за провизантийска политика."_s,
        u"Убит от боилите след военно поражение."_s,
        u"Детрониран от народен събор за провизантийска политика. Беглец във Византия."_s,
        u"Детрониран и убит заедно с брат си от провизантийската аристокрация."_s,
        u"Убит от слугите си за провизантийската си политика."_s,
        u"Прочиства двора в Плиска от византийски шпиони."_s,
        u"Ликвидирани са вътрешните междуособици."_s,
        u"Никифор \u0406 Геник е пленен и обезглавен"_s,
        u"Ханът строител. 30 годишен мир с Византия."_s,
        u"Цялата бласт Загоре (Горна Тракия)"_s,
        u"Присъединени са Македония, части от Албания и земи в Беломорието."_s,
    };
    for (int row = 0; row < 16; ++row)
        QTest::addRow("row %d", row) << row << lengths[row] << details[row];
}

void ContentTest::notes()
{
    QFETCH(int, row);
    QFETCH(int, length);
    QFETCH(QString, detail);
    const drelvan::Quiz quiz;
    const Form& form = quiz.form();
    const QString note = q(form.List1(4).List(static_cast<int16_t>(row)));
    QCOMPARE(note.size(), length);
    QVERIFY2(note.contains(detail), qPrintable(note));
    QVERIFY(!note.contains(u'\r') && !note.contains(u'\n'));
    QCOMPARE(form.List1(4).ListCount(), 16);
}

void ContentTest::captions_data()
{
    QTest::addColumn<QString>("actual");
    QTest::addColumn<QString>("expected");
    const drelvan::Quiz quiz;
    const Form& form = quiz.form();
    QTest::addRow("quiz title") << q(form.Label1(0).Caption()) << u"История - именник на българските ханове"_s;
    QTest::addRow("over the names") << q(form.Label1(1).Caption()) << u"Име на хан"_s;
    QTest::addRow("over the periods") << q(form.Label1(2).Caption()) << u"Период"_s;
    QTest::addRow("reset button") << q(form.Command1(0).Caption()) << u"Чисти"_s;
    QTest::addRow("window title after the address")
        << q(form.Caption()).mid(q(drelvan::about::webAddress).size()) << u" История - български ханове"_s;
}

void ContentTest::captions()
{
    QFETCH(QString, actual);
    QFETCH(QString, expected);
    QCOMPARE(actual, expected);
}

void ContentTest::openingText()
{
    const drelvan::Quiz quiz;
    const Form& form = quiz.form();
    const QString text = q(form.Text1(0).Text());
    QCOMPARE(text.size(), 1008);
    QVERIFY(text.endsWith(u"\r\n"_s));
    const QStringList lines = text.chopped(2).split(u"\r\n"_s);
    QCOMPARE(lines.size(), 8);
    for (const QString& line : lines)
        QVERIFY2(!line.contains(u'\r') && !line.contains(u'\n'), qPrintable(line));
    QCOMPARE(lines[0], u"Да се реализира проект представящ междупредметна връзка История и Информатика."_s);
    QCOMPARE(lines[3], u"имена на хановете;"_s);
    QCOMPARE(lines[6], u"Прочетете допълнителна информация относно именника на българските ханове. "_s);
    QVERIFY(lines[7].contains(u"е \u201CИменник на българските ханове\u201D. Това е е кратък"_s));
    QVERIFY(!text.contains(u'"'));
}

QTEST_APPLESS_MAIN(ContentTest)
#include "tst_content.moc"
