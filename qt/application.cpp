#include "qt/application.hpp"

#include "qt/qtext.hpp"

#include "content/about.hpp"
#include "content/layout.hpp"

#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace drelvan {

namespace {
QString fromAscii(std::string_view text)
{
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}
} // namespace

// 12 points: 16 px at 96 dpi, and Qt scales points with the display as it
// scales the layout. Where Times is missing, Liberation Serif
// has the same metrics; DejaVu Serif is the last resort. All three cover
// Cyrillic.
QFont quizFont()
{
    QFont font;
    font.setFamilies({toQString(layout::fontFace), QStringLiteral("Liberation Serif"), QStringLiteral("DejaVu Serif")});
    font.setStyleHint(QFont::Serif);
    font.setPointSize(layout::fontPoints);
    font.setWeight(QFont::Normal);
    return font;
}

void setUpApplication()
{
    QApplication::setApplicationName(fromAscii(about::name));
    QApplication::setApplicationVersion(fromAscii(about::version));
    QApplication::setOrganizationDomain(QStringLiteral("drelvan.example"));
    QGuiApplication::setDesktopFileName(fromAscii(about::appId));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/drelvan.png")));
    QApplication::setFont(quizFont());
    installQtTranslations(QLocale::system());
}

void installQtTranslations(const QLocale& locale)
{
    auto* translator = new QTranslator(qApp);
    if (translator->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(translator);
    else
        delete translator;
}

} // namespace drelvan
