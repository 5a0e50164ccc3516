#pragma once

#include "quiz/quiz.hpp"

#include <QWidget>

#include <array>
#include <functional>

class QPlainTextEdit;
class QPushButton;

namespace drelvan {

class ListBoxView;

// The quiz on the screen: a thin layer over Form. The learner's selections
// and presses become Click events of the model's controls; after each one the
// widgets are brought up to date from the model in one place, mirror().
class QuizWindow : public QWidget {
    Q_OBJECT

public:
    explicit QuizWindow(QWidget* parent = nullptr);

    Form& form() { return form_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void deliver(const std::function<void()>& raiseClick);
    void choose(int16_t member, int row);
    void mirror();
    void reportError(const QString& what);

    Quiz quiz_;
    Form& form_ = quiz_.form();
    QPlainTextEdit* verdict_;
    std::array<ListBoxView*, 2> lists_;
    QPushButton* reset_;
    QString shownVerdict_;
};

} // namespace drelvan
