#pragma once

#include "qt/announcer.hpp"

#include "quiz/frontend.hpp"
#include "quiz/session.hpp"

#include <QWidget>

#include <array>

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

    void showList(int16_t member, const ListShown& list) override;
    void showVerdict(std::u16string_view text) override;
    void announce(std::u16string_view verdict) override;
    void reportFailure(std::string_view message) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Session session_{*this};
    Announcer announcer_;
    VerdictBox* verdict_;
    std::array<ListBoxView*, 2> lists_{};
    QPushButton* reset_;
};

} // namespace drelvan
