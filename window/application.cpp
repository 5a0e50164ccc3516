#include "application.hpp"

#include <QApplication>
#include <QIcon>

namespace drelvan {

// Given in pixels so that the text keeps its proportion to the fixed layout at
// any dpi: 12 pt at 96 dpi is 16 px. Where Times is missing, Liberation Serif
// has the same metrics; DejaVu Serif is the last resort. All three cover
// Cyrillic.
QFont quizFont()
{
    QFont font;
    font.setFamilies({QStringLiteral("Times New Roman"), QStringLiteral("Liberation Serif"),
                      QStringLiteral("DejaVu Serif")});
    font.setStyleHint(QFont::Serif);
    font.setPixelSize(16);
    font.setWeight(QFont::Normal);
    return font;
}

void setUpApplication()
{
    QApplication::setApplicationName(QStringLiteral("Drelvan"));
    QApplication::setApplicationVersion(QStringLiteral(DRELVAN_VERSION));
    QApplication::setOrganizationDomain(QStringLiteral("drelvan.example"));
    QGuiApplication::setDesktopFileName(QLatin1String(appId));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/drelvan.png")));
    QApplication::setFont(quizFont());
}

} // namespace drelvan
