#pragma once

#include <QFont>

class QLocale;

namespace drelvan {

// Times New Roman at 12 pt, in every control of the window.
QFont quizFont();

// What the program sets up before its window: names, icon, and the quiz's
// font as the application's, so that widgets are born in it rather than laid
// out once in the default font and again in this one.
void setUpApplication();

// Qt's own texts (the verdict box's context menu, the buttons of a message
// box) in the language of `locale`, where Qt has a translation for it.
void installQtTranslations(const QLocale& locale);

} // namespace drelvan
