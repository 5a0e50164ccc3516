#pragma once

#include <QPlainTextEdit>

#include <string_view>

namespace drelvan {

// The verdict box: read, scrolled, selected and copied by the learner, never
// edited.
class VerdictBox : public QPlainTextEdit {
    Q_OBJECT

public:
    explicit VerdictBox(QWidget* parent);

    using QPlainTextEdit::show;
    // Shows `text`, its lines ended by CR LF, from its first line.
    void show(std::u16string_view text);
};

} // namespace drelvan
