#include "qt/verdictbox.hpp"

#include "qt/qtext.hpp"

#include "content/texts.hpp"

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
    moveCursor(QTextCursor::Start);
}

} // namespace drelvan
