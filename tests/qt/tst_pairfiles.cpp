#include "support.hpp"

#include "qt/listboxview.hpp"
#include "qt/quizwindow.hpp"

#include "pairs/pairfile.hpp"

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>

#include <filesystem>

using drelvan::ListBoxView;
using drelvan::QuizWindow;

// A teacher's own pairs in the window: opened by a drop or with Ctrl+O over
// a game in play, or refused with the game left as it was; texts longer
// than their place.
class PairFilesTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup() { delete window; }
    void opens_data();
    void opens();
    void refused_data();
    void refused();
    void longTexts();

private:
    ListBoxView* list(int member) const { return window->findChild<ListBoxView*>(member ? u"periods"_s : u"names"_s); }
    QString write(const QString& name, const QByteArray& bytes);
    // Opens `path` as `how` says: "drop" or "dialog" (Ctrl+O).
    void open(const QString& how, const QString& path);
    // All the learner sees of the game.
    QStringList state() const;

    QTemporaryDir files;
    QuizWindow* window = nullptr;
    QString animals;
    QString longOnes;
};

void PairFilesTest::initTestCase()
{
    QVERIFY(files.isValid());
    animals = write(u"Животни.csv"_s, "Дума;Превод;Бележка\nкуче;dog;лае\nкотка;cat;\nкон;horse;\n");
    longOnes = write(u"Дълги.tsv"_s, "Много дълго име на левия списък, което не се побира\tДясно\n" + QString(u"Дума "_s).repeated(40).toUtf8()
                                              + "\tкратко\nкъсо\tдруго\n");
}

void PairFilesTest::init()
{
    window = new QuizWindow;
    window->show();
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window));
    // A game in play: one pair judged, a name chosen, both lists scrolled.
    window->session().pick(0, 5);
    window->session().pick(1, 12);
    window->session().pick(0, 9);
    list(1)->verticalScrollBar()->setValue(4);
}

QString PairFilesTest::write(const QString& name, const QByteArray& bytes)
{
    QFile file(files.filePath(name));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return {};
    return file.fileName();
}

void PairFilesTest::open(const QString& how, const QString& path)
{
    if (how == u"drop"_s) {
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(path)});
        QDragEnterEvent enter(QPoint(200, 150), Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(window, &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(200, 150), Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(window, &drop);
    } else {
        int asked = 0;
        window->askForFile = [&](QWidget* parent) {
            ++asked;
            return parent == window ? path : QString();
        };
        QTest::keyClick(window->windowHandle(), Qt::Key_O, Qt::ControlModifier);
        QCOMPARE(asked, 1);
    }
}

QStringList PairFilesTest::state() const
{
    QStringList seen{window->windowTitle(), window->findChild<QPlainTextEdit*>(u"verdict"_s)->toPlainText()};
    for (const QString& name : {u"title"_s, u"namesCaption"_s, u"periodsCaption"_s})
        seen << window->findChild<QLabel*>(name)->text();
    for (int member : {0, 1})
        seen << entriesOf(window->form().List1(int16_t(member))).join(u'|')
             << u"selected %1, top %2, focus mark %3"_s.arg(list(member)->selectedRow()).arg(list(member)->firstVisibleRow()).arg(list(member)->caretRow());
    return seen;
}

// Whatever has the focus keeps it, and a screen reader is told of the new
// quiz through it.
void PairFilesTest::opens_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<QString>("focus");
    for (const QString& how : {u"drop"_s, u"dialog"_s})
        for (const QString& focus : {u"verdict"_s, u"names"_s, u"reset"_s})
            QTest::addRow("%s, focus on %s", qPrintable(how), qPrintable(focus)) << how << focus;
}

void PairFilesTest::opens()
{
    QFETCH(QString, how);
    QFETCH(QString, focus);
    QWidget* focused = window->findChild<QWidget*>(focus);
    focused->setFocus();
    const QFont font = window->font();
    open(how, animals);

    QCOMPARE(QApplication::focusWidget(), focused);
    QCOMPARE(state(), (QStringList{u"Животни – Drelvan"_s, u"Изберете ред от списъка „Дума“ и реда от списъка „Превод“, който му отговаря. Резултатът ще се появи тук.\n"_s,
                                   u"Животни"_s, u"Дума"_s, u"Превод"_s, u"кон|котка|куче"_s, u"selected -1, top 0, focus mark %1"_s.arg(focus == u"names"_s ? 0 : -1),
                                   u"cat|dog|horse"_s, u"selected -1, top 0, focus mark -1"_s}));
    QCOMPARE(window->font(), font);
    QAccessibleInterface* told = QAccessible::queryAccessibleInterface(focused);
    if (focus == u"names"_s)
        told = told->child(0);
    QCOMPARE(told->text(QAccessible::Description), u"Животни\n"_s + state()[1]);
    QCOMPARE(QAccessible::queryAccessibleInterface(list(1))->text(QAccessible::Name), u"Превод"_s);

    // The new game plays by its own key, its verdicts joined by the right caption.
    window->session().pick(0, 2);
    window->session().pick(1, 1);
    QCOMPARE(q(window->form().Text1(0).Text()), u"Вярно куче превод dog\r\nлае"_s);
    QTest::mouseClick(window->findChild<QPushButton*>(u"reset"_s), Qt::LeftButton);
    QCOMPARE(list(0)->count(), 3);
}

// A file that cannot be played, or a dialog closed without one: a message
// box for the file, and the game goes on as it stood.
void PairFilesTest::refused_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<QByteArray>("bytes"); // none: no such file
    QTest::addColumn<bool>("told");
    for (const QString& how : {u"drop"_s, u"dialog"_s}) {
        QTest::addRow("%s, no such file", qPrintable(how)) << how << QByteArray() << true;
        QTest::addRow("%s, empty", qPrintable(how)) << how << QByteArray("") << true;
        QTest::addRow("%s, a pair left twice", qPrintable(how)) << how << QByteArray("a;b\nx;1\nx;2\n") << true;
        QTest::addRow("%s, binary", qPrintable(how)) << how << QByteArray("\x7f" "ELF\0\0\1\2", 8) << true;
    }
    QTest::addRow("dialog closed") << u"dialog"_s << QByteArray() << false;
}

void PairFilesTest::refused()
{
    QFETCH(QString, how);
    QFETCH(QByteArray, bytes);
    QFETCH(bool, told);
    const QString path = !told ? QString() : bytes.isNull() ? files.filePath(u"няма.csv"_s) : write(u"лош.csv"_s, bytes);
    const QStringList before = state();
    open(how, path);
    QCOMPARE(state(), before);
    auto* box = window->findChild<QMessageBox*>(u"fileError"_s);
    QCOMPARE(bool(box), told);
    if (!box)
        return;
    QCOMPARE(box->icon(), QMessageBox::Critical);
    QCOMPARE(box->text(), q(drelvan::readPairFile(std::filesystem::path(QFile::encodeName(path).toStdString())).error));
    QVERIFY(box->text().contains(QFileInfo(path).fileName()));
    box->accept();
    window->session().pick(1, 0); // the game in play goes on
    QCOMPARE(list(0)->count(), 14);
}

// An entry wider than its list scrolls sideways, by a scroll bar shown for
// it alone; a caption wider than its label is cut short, with the whole text
// in a tooltip and to a screen reader.
void PairFilesTest::longTexts()
{
    for (int member : {0, 1})
        QVERIFY(!list(member)->horizontalScrollBar()->isVisible());
    const int rows = list(0)->wholeRowsShown();
    const QFont font = window->font();
    const QString wide = QString(u"Дума "_s).repeated(40);
    window->openFile(longOnes);

    QCOMPARE(window->font(), font);
    ListBoxView* names = list(0);
    QScrollBar* across = names->horizontalScrollBar();
    QTRY_VERIFY(across->isVisible()); // Qt lays out its scroll bars once back in the event loop
    QVERIFY(!list(1)->horizontalScrollBar()->isVisible());
    QCOMPARE(across->maximum(), names->fontMetrics().horizontalAdvance(wide) + 6 - names->viewport()->width());
    QCOMPARE(names->wholeRowsShown(), names->viewport()->height() / names->fontMetrics().height());
    QCOMPARE(names->viewport()->height(), names->height() - 2 * names->frameWidth() - across->height());
    QCOMPARE(QAccessible::queryAccessibleInterface(names)->child(0)->text(QAccessible::Name), wide);
    const QRect row = names->visualRect(0);
    const QImage start = names->viewport()->grab(row).toImage();
    across->setValue(across->maximum());
    QVERIFY(names->viewport()->grab(row).toImage() != start);
    QCOMPARE(names->firstVisibleRow(), 0); // sideways only

    const auto* caption = window->findChild<QLabel*>(u"namesCaption"_s);
    const QString whole = u"Много дълго име на левия списък, което не се побира"_s;
    QVERIFY(caption->text().endsWith(u'…'));
    QVERIFY(caption->fontMetrics().horizontalAdvance(caption->text()) <= caption->contentsRect().width());
    QCOMPARE(caption->toolTip(), whole);
    QCOMPARE(QAccessible::queryAccessibleInterface(const_cast<QLabel*>(caption))->text(QAccessible::Name), whole);
    QCOMPARE(QAccessible::queryAccessibleInterface(names)->text(QAccessible::Name), whole);
    QCOMPARE(window->findChild<QLabel*>(u"periodsCaption"_s)->toolTip(), QString());

    // The khans again: no scroll bar, the rows as before.
    window->session().open(drelvan::builtInExercise());
    QTRY_VERIFY(!across->isVisible());
    QCOMPARE(names->wholeRowsShown(), rows);
    QCOMPARE(caption->text(), u"Име на хан"_s);
    QCOMPARE(caption->toolTip(), QString());
}

QTEST_MAIN(PairFilesTest)
#include "tst_pairfiles.moc"
