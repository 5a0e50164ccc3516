#include "support.hpp"

#include "qt/listboxview.hpp"
#include "qt/quizwindow.hpp"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

using drelvan::QuizWindow;

// The window at the screen's scale factor: CTest runs this test at 1 and at 2
// (QT_SCALE_FACTOR), and in the face that stands in where Times New Roman and
// Liberation Serif are missing (DRELVAN_FONT_FAMILY). The layout keeps its
// device-independent size, the pixels scale with it, and every text fits
// where it stands.
class LayoutTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase() { delete window; }
    void scalesAsAWhole();
    void textsFit_data();
    void textsFit();

private:
    QuizWindow* window = nullptr;
    qreal scale = 1;
};

void LayoutTest::initTestCase()
{
    scale = qEnvironmentVariableIsSet("QT_SCALE_FACTOR") ? qEnvironmentVariable("QT_SCALE_FACTOR").toDouble() : 1;
    window = new QuizWindow;
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
}

void LayoutTest::scalesAsAWhole()
{
    QCOMPARE(window->devicePixelRatio(), scale);
    QCOMPARE(window->size(), QSize(461, 345));
    const QImage image = window->grab().toImage();
    QCOMPARE(image.size(), QSize(461, 345) * scale);
    // Drawn at the full resolution, not blown up: a caption's glyphs have
    // edges finer than one device-independent pixel.
    const auto* title = window->findChild<QLabel*>(u"title"_s);
    const QRect glyphs = title->geometry().adjusted(20, 4, -20, -4);
    int changes = 0;
    for (int y = glyphs.top() * scale; y < glyphs.bottom() * scale; ++y)
        for (int x = glyphs.left() * scale + 1; x < glyphs.right() * scale; ++x)
            changes += image.pixel(x, y) != image.pixel(x - 1, y);
    QVERIFY(changes > 0);
    if (scale >= 2) {
        int oddEdges = 0;
        for (int y = glyphs.top() * scale; y < glyphs.bottom() * scale; ++y)
            for (int x = glyphs.left() * scale + 1; x < glyphs.right() * scale; x += 2)
                oddEdges += image.pixel(x, y) != image.pixel(x - 1, y);
        QVERIFY2(oddEdges > 0, "text drawn at low resolution and scaled up");
    }
    QCOMPARE(image.pixelColor(QPoint(20, 20) * scale), QColor(0xC0, 0xC0, 0xFF));

    const QString family = qEnvironmentVariable("DRELVAN_FONT_FAMILY", u"Liberation Serif"_s);
    QCOMPARE(QFontInfo(window->font()).family(), family);
    for (const auto* list : window->findChildren<drelvan::ListBoxView*>())
        QVERIFY2(list->wholeRowsShown() >= 7, qPrintable(list->objectName())); // as many as Times New Roman shows
}

void LayoutTest::textsFit_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("room"); // device-independent pixels the text may take
    for (const QString& name : {u"title"_s, u"namesCaption"_s, u"periodsCaption"_s}) {
        const auto* label = window->findChild<QLabel*>(name);
        QTest::addRow("%s", qPrintable(name)) << name << label->text() << label->contentsRect().width();
    }
    const auto* button = window->findChild<QPushButton*>(u"reset"_s);
    QTest::addRow("reset") << u"reset"_s << button->text() << button->width() - 8;
    for (const QString& name : {u"names"_s, u"periods"_s}) {
        const auto* list = window->findChild<drelvan::ListBoxView*>(name);
        const int room = list->viewport()->width() - 6; // a margin of 3 on either side
        for (int row = 0; row < list->count(); ++row)
            QTest::addRow("%s: %s", qPrintable(name), qPrintable(list->text(row)))
                << name << list->text(row) << room;
    }
}

void LayoutTest::textsFit()
{
    QFETCH(QString, control);
    QFETCH(QString, text);
    QFETCH(int, room);
    const QFontMetrics metrics(window->findChild<QWidget*>(control)->font());
    QVERIFY2(metrics.horizontalAdvance(text) <= room,
             qPrintable(u"%1 px for %2 px of room"_s.arg(metrics.horizontalAdvance(text)).arg(room)));
    QVERIFY(metrics.height() <= window->findChild<QWidget*>(control)->height());
}

QTEST_MAIN(LayoutTest)
#include "tst_layout.moc"
