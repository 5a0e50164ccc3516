#include "qt/application.hpp"
#include "qt/quizwindow.hpp"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    drelvan::setUpApplication();

    drelvan::QuizWindow window;
    window.show();
    return QApplication::exec();
}
