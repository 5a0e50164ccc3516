#include "qt/application.hpp"
#include "qt/quizwindow.hpp"
#include "qt/startup.hpp"

#include "pairs/pairfile.hpp"

#include <QApplication>

#include <algorithm>
#include <iostream>
#include <optional>

int main(int argc, char* argv[])
{
    const drelvan::CommandLine commandLine =
        drelvan::readCommandLine({argv + std::min(argc, 1), argv + argc}, drelvan::qtOptions);
    if (const auto& answer = commandLine.answer) {
        std::cout << answer->out;
        std::cerr << answer->err;
        return answer->status;
    }
    const auto application = drelvan::openApplication(argc, argv);
    drelvan::setUpApplication();

    // The file is read whole before the window is made: a file that cannot
    // be played brings no quiz at all.
    std::optional<drelvan::PairFile> pairs;
    if (commandLine.file) {
        pairs = drelvan::readPairFile(std::filesystem::path(*commandLine.file));
        if (!*pairs)
            return drelvan::refuseFile(pairs->error);
    }
    drelvan::QuizWindow window;
    if (pairs) {
        // The file's texts move into the quiz, and nothing of the file is
        // kept beside them.
        window.session().open(std::move(*pairs->exercise));
        pairs.reset();
    }
    window.show();
    return QApplication::exec();
}
