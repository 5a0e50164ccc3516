#pragma once

#include "qt/announcer.hpp"

#include "quiz/frontend.hpp"
#include "quiz/session.hpp"

#include <QString>
#include <QWidget>

#include <array>
#include <functional>

class QLabel;
class QPushButton;

namespace drelvan {

class ListBoxView;
class VerdictBox;

// The quiz on the screen. The learner's Session runs every action on the
// model and tells this window what to show; the window only turns Qt's
// events into calls on the Session and shows what it is told.
class QuizWindow : public QWidget, public FrontEnd {
    Q_OBJECT

public:
    explicit QuizWindow(QWidget* parent = nullptr);
    ~QuizWindow() override;

    Session& session() { return session_; }
    const Form& form() const { return session_.form(); }

    // Puts the pairs of the file at `path` in play in place of the game, as
    // "Чисти" deals a game afresh with new content. Where the file cannot be
    // read, a message box says why and the game goes on untouched. Returns
    // whether the file was opened.
    bool openFile(const QString& path);
    // Ctrl+O: asks which file to open, then opens it.
    void chooseFile();
    // Asks the learner for a file of pairs, with the platform's own dialog;
    // an empty path where none was chosen. A test puts its own in its place.
    std::function<QString(QWidget* parent)> askForFile;

    void showCaptions(const Form& form) override;
    void showList(int16_t member, const ListShown& list) override;
    void showVerdict(std::u16string_view text) override;
    void announce(std::u16string_view verdict) override;
    void reportFailure(std::string_view message) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void fitCaptions();

    Session session_{*this};
    Announcer announcer_;
    VerdictBox* verdict_;
    std::array<ListBoxView*, 2> lists_{};
    QPushButton* reset_;
    std::array<QLabel*, 3> labels_{};
    // The labels' whole texts, which a label too narrow for one shows cut
    // short.
    std::array<QString, 3> captions_;
    // Watches the focus for the announcer, which goes before QWidget's
    // destructor moves the focus for the last time.
    QMetaObject::Connection focusWatch_;
};

} // namespace drelvan
