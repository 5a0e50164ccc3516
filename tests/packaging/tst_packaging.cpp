// What the program carries besides its code: the application id that ties
// the window to its desktop entry, and the icon, drawn once for the desktop
// and once for Windows. The Windows version record and icon resource are read
// back from drelvan.exe itself, under Wine (tests/win32/tst_win32_exe.cpp).
#include "support.hpp"

#include "qt/application.hpp"

#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QTest>

class PackagingTest : public QObject {
    Q_OBJECT

private slots:
    void applicationId();
    void iconImages();
};

// The id, typed here once, by which the desktop matches the running window
// with its desktop entry, metainfo and icon: should the window name itself
// otherwise, Wayland desktops show it without its name and icon.
void PackagingTest::applicationId()
{
    const QString id = u"example.drelvan.Drelvan"_s;
    drelvan::setUpApplication();
    QCOMPARE(QGuiApplication::desktopFileName(), id);
    for (const QString& file : {id + u".desktop"_s, id + u".metainfo.xml"_s})
        QVERIFY2(QFile::exists(QStringLiteral(DRELVAN_PACKAGING_DIR "/") + file), qPrintable(file));
}

// One picture in two files: the PNG that the window and the desktop show and
// the .ico of the Windows program. Both are made by one script; a PNG drawn
// anew without the .ico would show here.
void PackagingTest::iconImages()
{
    const QImage png(QStringLiteral(DRELVAN_ICON_DIR "/drelvan.png"));
    QCOMPARE(png.size(), QSize(32, 32));
    QCOMPARE(png.format(), QImage::Format_Indexed8);
    QVERIFY(png.colorCount() <= 256);

    const QImage ico = QImage(QStringLiteral(DRELVAN_ICON_DIR "/drelvan.ico")).convertToFormat(QImage::Format_ARGB32);
    const QImage reference = png.convertToFormat(QImage::Format_ARGB32);
    QCOMPARE(ico.size(), QSize(32, 32));
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            const QRgb want = reference.pixel(x, y);
            const QRgb got = ico.pixel(x, y);
            // Clear pixels may differ in their unseen colour.
            const bool same = qAlpha(want) == 0 ? qAlpha(got) == 0 : got == want;
            QVERIFY2(same, qPrintable(u"pixel %1,%2: .ico %3, .png %4"_s.arg(x).arg(y).arg(got, 8, 16).arg(want, 8, 16)));
        }
    }
}

QTEST_MAIN(PackagingTest)
#include "tst_packaging.moc"
