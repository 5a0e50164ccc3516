#include "window/quizwindow.hpp"

#include <QApplication>
#include <QIcon>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Drelvan"));
    QApplication::setApplicationVersion(QStringLiteral(DRELVAN_VERSION));
    QApplication::setOrganizationDomain(QStringLiteral("drelvan.example"));
    QGuiApplication::setDesktopFileName(QLatin1String(drelvan::appId));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/drelvan.png")));

    drelvan::QuizWindow window;
    window.show();
    return QApplication::exec();
}
