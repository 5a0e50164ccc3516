#include "qt/application.hpp"
#include "qt/quizwindow.hpp"
#include "qt/startup.hpp"

#include <QApplication>

#include <algorithm>
#include <iostream>

int main(int argc, char* argv[])
{
    if (const auto answer = drelvan::answerCommandLine({argv + std::min(argc, 1), argv + argc}, drelvan::qtOptions)) {
        std::cout << answer->out;
        std::cerr << answer->err;
        return answer->status;
    }
    const auto application = drelvan::openApplication(argc, argv);
    drelvan::setUpApplication();

    drelvan::QuizWindow window;
    window.show();
    return QApplication::exec();
}
