#include "qt/verdictbox.hpp"

#include "qt/qtext.hpp"

#include "content/texts.hpp"

#include <QScrollBar>

namespace drelvan {

VerdictBox::VerdictBox(QWidget* parent) : QPlainTextEdit(parent)
{
    setObjectName(QStringLiteral("verdict"));
    setReadOnly(true);
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    setFocusPolicy(Qt::StrongFocus);
    setTabChangesFocus(true);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setAccessibleName(toQString(texts::verdictName));
}

void VerdictBox::show(std::u16string_view text)
{
    const QString shown = toQString(text).replace(QLatin1String("\r\n"), QLatin1String("\n"));
    // A reset empties a box that may be empty already: no change to tell.
    if (shown == toPlainText())
        return;
    setPlainText(shown);
    // The box shows a new text from its first line. Replacing the text puts
    // the cursor there and the first line in sight already; moving it again
    // where that is so would lay the text out a second time for nothing.
    if (textCursor().position() != 0 || verticalScrollBar()->value() != 0)
        moveCursor(QTextCursor::Start);
}

} // namespace drelvan
