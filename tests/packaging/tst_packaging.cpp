// What the program carries besides its code: the application id that ties the
// window to its desktop entry, the icon, and the Windows icon and version
// record. The resource script is compiled here with the MinGW resource
// compiler and the version record read back from the compiled file, field by
// field, as Windows reads it from the program.
#include "support.hpp"

#include "content/about.hpp"
#include "content/texts.hpp"
#include "qt/application.hpp"

#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <stdexcept>

namespace {

constexpr int rtIcon = 3;
constexpr int rtGroupIcon = 14;
constexpr int rtVersion = 16;

// A malformed resource file ends the reading with a message, never a read
// past the end.
void need(QByteArrayView bytes, qsizetype at, qsizetype size)
{
    if (at < 0 || size < 0 || at + size > bytes.size())
        throw std::runtime_error("resource data ends early at byte " + std::to_string(at));
}

quint16 word(QByteArrayView bytes, qsizetype at)
{
    need(bytes, at, 2);
    return qFromLittleEndian<quint16>(bytes.data() + at);
}

quint32 dword(QByteArrayView bytes, qsizetype at)
{
    need(bytes, at, 4);
    return qFromLittleEndian<quint32>(bytes.data() + at);
}

qsizetype align4(qsizetype at)
{
    return (at + 3) & ~qsizetype(3);
}

// A NUL-terminated UTF-16 string that must end before `end`; `at` moves past
// the NUL.
QString utf16z(QByteArrayView bytes, qsizetype& at, qsizetype end)
{
    QString text;
    for (;; at += 2) {
        if (at + 2 > end)
            throw std::runtime_error("unterminated string at byte " + std::to_string(at));
        const quint16 unit = word(bytes, at);
        if (unit == 0)
            break;
        text.append(QChar(unit));
    }
    at += 2;
    return text;
}

struct Resource {
    int type = -1; // -1: a type given by name, which this program has none of
    int id = -1;
    QByteArray data;
};

// A compiled resource file is a row of entries, each a header (sizes, type,
// name, language) and the data, both padded to four bytes.
QList<Resource> readResources(QByteArrayView file)
{
    const auto idOrName = [file](qsizetype& at) {
        if (word(file, at) == 0xFFFF) {
            const int id = word(file, at + 2);
            at += 4;
            return id;
        }
        utf16z(file, at, file.size());
        at = align4(at);
        return -1;
    };
    QList<Resource> resources;
    for (qsizetype at = 0; at < file.size();) {
        const qsizetype dataSize = dword(file, at);
        const qsizetype headerSize = dword(file, at + 4);
        need(file, at, headerSize + dataSize);
        qsizetype field = at + 8;
        Resource resource;
        resource.type = idOrName(field);
        resource.id = idOrName(field);
        resource.data = file.sliced(at + headerSize, dataSize).toByteArray();
        resources << resource;
        at = align4(at + headerSize + dataSize);
    }
    return resources;
}

// One node of the version record: a key, a binary value or a text, and
// children, all within the node's stated length.
struct VersionNode {
    QString key;
    QByteArray value;
    QString text;
    QList<VersionNode> children;

    const VersionNode& child(const QString& childKey) const
    {
        for (const auto& node : children)
            if (node.key == childKey)
                return node;
        throw std::runtime_error("no block " + childKey.toStdString() + " in " + key.toStdString());
    }
};

VersionNode readNode(QByteArrayView bytes, qsizetype start)
{
    const qsizetype length = word(bytes, start);
    const qsizetype valueLength = word(bytes, start + 2);
    const bool isText = word(bytes, start + 4) == 1;
    const qsizetype end = start + length;
    need(bytes, start, length);

    VersionNode node;
    qsizetype at = start + 6;
    node.key = utf16z(bytes, at, end);
    at = align4(at);
    if (isText && valueLength > 0) {
        // The length of a text is counted in UTF-16 units by some compilers
        // and in bytes by others; the terminating NUL is what counts.
        node.text = utf16z(bytes, at, end);
    } else if (!isText) {
        need(bytes, at, valueLength);
        node.value = bytes.sliced(at, valueLength).toByteArray();
        at += valueLength;
    }
    for (at = align4(at); at < end; at = align4(at + word(bytes, at))) {
        if (word(bytes, at) == 0 || at + word(bytes, at) > end)
            throw std::runtime_error("bad length of a block inside " + node.key.toStdString());
        node.children << readNode(bytes, at);
    }
    return node;
}

} // namespace

class PackagingTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void applicationId();
    void iconImages();
    void versionStrings_data();
    void versionStrings();
    void fixedVersion_data();
    void fixedVersion();
    void languageAndCodePage();
    void iconResource();

private:
    const Resource* find(int type, int id = -1) const;

    QList<Resource> resources_;
    VersionNode record_;
};

const Resource* PackagingTest::find(int type, int id) const
{
    for (const auto& resource : resources_)
        if (resource.type == type && (id == -1 || resource.id == id))
            return &resource;
    return nullptr;
}

// Without the MinGW resource compiler the resource script cannot be
// compiled here: the tests that read it say so and are skipped.
bool haveWindres()
{
    return !QStringLiteral(DRELVAN_WINDRES).isEmpty();
}

void PackagingTest::init()
{
    const QByteArray test = QTest::currentTestFunction();
    if (!haveWindres() && test != "applicationId" && test != "iconImages")
        QSKIP("Skipped: x86_64-w64-mingw32-windres is not installed");
}

void PackagingTest::initTestCase()
{
    if (!haveWindres())
        return;
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString res = dir.filePath(u"drelvan.res"_s);

    // windres borrows a C preprocessor; without the MinGW compiler at hand,
    // the host's will do, as the script includes no Windows headers.
    QProcess windres;
    windres.setProcessChannelMode(QProcess::MergedChannels);
    windres.start(QStringLiteral(DRELVAN_WINDRES),
        {u"--preprocessor="_s + QStringLiteral(DRELVAN_PREPROCESSOR), u"--preprocessor-arg=-E"_s,
            u"--preprocessor-arg=-xc"_s, u"--preprocessor-arg=-DRC_INVOKED"_s, u"-O"_s, u"res"_s,
            QStringLiteral(DRELVAN_WINDOWS_RC), res});
    QVERIFY2(windres.waitForFinished(60000),
        qPrintable(u"cannot run "_s + QStringLiteral(DRELVAN_WINDRES) + u": "_s + windres.errorString()));
    QVERIFY2(windres.exitStatus() == QProcess::NormalExit && windres.exitCode() == 0,
        qPrintable(u"windres failed on "_s + QStringLiteral(DRELVAN_WINDOWS_RC) + u":\n"_s
            + QString::fromLocal8Bit(windres.readAll())));

    QFile file(res);
    QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.errorString()));
    try {
        resources_ = readResources(file.readAll());
        const Resource* version = find(rtVersion);
        QVERIFY2(version, "the compiled resources hold no version record");
        record_ = readNode(version->data, 0);
    } catch (const std::exception& error) {
        QFAIL(error.what());
    }
    QCOMPARE(record_.key, u"VS_VERSION_INFO"_s);
}

// The window names itself by this id; the desktop entry, the metainfo and
// the icon are installed under it. Should the two drift apart, Wayland
// desktops show the running window without its name and icon.
void PackagingTest::applicationId()
{
    QCOMPARE(QLatin1StringView(drelvan::about::appId.data(), qsizetype(drelvan::about::appId.size())), QLatin1StringView(DRELVAN_APP_ID));
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

void PackagingTest::versionStrings_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("expected");
    // The publisher fields hold the address that also heads the window title.
    const QString address = q(drelvan::about::webAddress);
    QTest::addRow("CompanyName") << u"CompanyName"_s << address;
    QTest::addRow("LegalCopyright") << u"LegalCopyright"_s << address;
    QTest::addRow("LegalTrademarks") << u"LegalTrademarks"_s << address;
    QTest::addRow("ProductName") << u"ProductName"_s << u"Ostrimar"_s;
    QTest::addRow("InternalName") << u"InternalName"_s << u"Drelvan"_s;
    QTest::addRow("OriginalFilename") << u"OriginalFilename"_s << u"Drelvan.exe"_s;
    QTest::addRow("FileVersion") << u"FileVersion"_s << u"1.00"_s;
    QTest::addRow("ProductVersion") << u"ProductVersion"_s << u"1.00"_s;
    // Cyrillic survives the trip from the UTF-8 script to UTF-16.
    QTest::addRow("FileDescription") << u"FileDescription"_s << u"История - именник на българските ханове"_s;
}

void PackagingTest::versionStrings()
{
    QFETCH(QString, key);
    QFETCH(QString, expected);
    try {
        const auto& strings = record_.child(u"StringFileInfo"_s);
        QCOMPARE(strings.children.size(), 1);
        QCOMPARE(strings.children.front().child(key).text, expected);
    } catch (const std::exception& error) {
        QFAIL(error.what());
    }
}

// VS_FIXEDFILEINFO, the numbers that Windows compares when it installs over
// an older copy. Versions are two 32-bit halves: major << 16 | minor, then
// patch << 16 | build.
void PackagingTest::fixedVersion_data()
{
    QTest::addColumn<int>("offset");
    QTest::addColumn<uint>("expected");
    QTest::addRow("signature") << 0 << 0xFEEF04BDu;
    QTest::addRow("file version, major and minor") << 8 << 0x00010000u;
    QTest::addRow("file version, patch and build") << 12 << 0u;
    QTest::addRow("product version, major and minor") << 16 << 0x00010000u;
    QTest::addRow("product version, patch and build") << 20 << 0u;
    QTest::addRow("flags: a release") << 28 << 0u;
    QTest::addRow("system: 32-bit Windows") << 32 << 0x40004u;
    QTest::addRow("type: an application") << 36 << 1u;
}

void PackagingTest::fixedVersion()
{
    QFETCH(int, offset);
    QFETCH(uint, expected);
    QCOMPARE(record_.value.size(), 52);
    QCOMPARE(dword(record_.value, offset), expected);
}

// Bulgarian (0x0402) with Unicode strings (1200), named alike in the string
// table and in the translation list that Explorer looks the table up by.
void PackagingTest::languageAndCodePage()
{
    try {
        const auto& table = record_.child(u"StringFileInfo"_s).children;
        QCOMPARE(table.size(), 1);
        QCOMPARE(table.front().key.toUpper(), u"040204B0"_s);
        const auto& translation = record_.child(u"VarFileInfo"_s).child(u"Translation"_s).value;
        QCOMPARE(translation.size(), 4);
        QCOMPARE(word(translation, 0), 0x0402);
        QCOMPARE(word(translation, 2), 1200);
    } catch (const std::exception& error) {
        QFAIL(error.what());
    }
}

// The program's icon: one image of 32 × 32 in 256 colours, in a group that
// points at it.
void PackagingTest::iconResource()
{
    const Resource* group = find(rtGroupIcon);
    QVERIFY2(group, "no icon group in the resources");
    const QByteArray& dir = group->data;
    QVERIFY(dir.size() >= 6 + 14);
    QCOMPARE(word(dir, 2), 1); // an icon, not a cursor
    QCOMPARE(word(dir, 4), 1); // one image
    QCOMPARE(quint8(dir[6]), 32); // width
    QCOMPARE(quint8(dir[7]), 32); // height
    QCOMPARE(word(dir, 6 + 6), 8); // bits per pixel
    const Resource* image = find(rtIcon, word(dir, 6 + 12));
    QVERIFY2(image, "the icon group points at no image");
    QCOMPARE(dword(image->data, 0), 40u); // BITMAPINFOHEADER
    QCOMPARE(dword(image->data, 4), 32u);
    QCOMPARE(dword(image->data, 8), 64u); // colour image and mask, one above the other
    QCOMPARE(word(image->data, 14), 8);
}

QTEST_MAIN(PackagingTest)
#include "tst_packaging.moc"
