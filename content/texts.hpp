#pragma once

#include <string_view>

namespace drelvan::texts {

// The window title is the project's address (about::webAddress) followed by
// this.
inline constexpr std::u16string_view titleSuffix = u" История - български ханове";

inline constexpr std::u16string_view quizTitle = u"История - именник на българските ханове";
inline constexpr std::u16string_view namesCaption = u"Име на хан";
inline constexpr std::u16string_view periodsCaption = u"Период";
inline constexpr std::u16string_view resetCaption = u"Чисти";

// A teacher's own pairs: the window's title is the exercise's title
// followed by this.
inline constexpr std::u16string_view ownTitleSuffix = u" \u2013 Drelvan";
// Where a teacher's file brings no opening text, the verdict box opens with
// this instruction: the lead, the left list's caption, the middle, the right
// list's caption and the end.
inline constexpr std::u16string_view ownOpeningLead = u"Изберете ред от списъка \u201E";
inline constexpr std::u16string_view ownOpeningMiddle = u"\u201C и реда от списъка \u201E";
inline constexpr std::u16string_view ownOpeningEnd = u"\u201C, който му отговаря. Резултатът ще се появи тук.\r\n";
// What the file dialog (Ctrl+O) calls the files of pairs it offers.
inline constexpr std::u16string_view pairFilesName = u"Двойки";

// The verdict box's name for a screen reader; the lists are named by their
// captions.
inline constexpr std::u16string_view verdictName = u"Резултат";

// What the learner is told when one of the quiz's actions failed; the
// technical message follows as details.
inline constexpr std::u16string_view failureText = u"Грешка при изпълнение на програмата.";
inline constexpr std::u16string_view failureAdvice = u"Последното действие не беше довършено. Играта може да продължи.";

// What the learner is told when the program cannot make its window, before
// it ends.
inline constexpr std::u16string_view startFailure =
    u"Прозорецът на програмата не можа да бъде отворен. Програмата ще бъде затворена.";

// The command line's help: "Usage: ", the program's name and these
// arguments, then what the program is and its options.
inline constexpr std::string_view usageLead = "Usage: ";
inline constexpr std::string_view usageArguments = " [--help] [--version] [FILE]\n";
inline constexpr std::string_view helpText =
    "A quiz in Bulgarian: pair the early Bulgarian khans with their periods of rule,\n"
    "or the pairs of FILE: a spreadsheet saved as CSV or TSV (.csv, .tsv, .txt) or\n"
    "a KDE vocabulary file (.kvtml).\n\n"
    "  -h, --help     print this help and exit\n"
    "  -v, --version  print the version and exit\n";

// The exercise this program solves, shown in the verdict box until the first
// verdict or the first reset. Eight lines, each ended by CR LF.
inline constexpr std::u16string_view openingText =
    u"Да се реализира проект представящ междупредметна връзка История и Информатика." u"\r\n"
    u"Тема на проекта: История - именник на българските ханове." u"\r\n"
    u"Да се използват две списъчни полета съдържащи съответно:" u"\r\n"
    u"имена на хановете;" u"\r\n"
    u"период на управление." u"\r\n"
    u"Информацията и в двата списъка да е сортирана възходящо. След посочване на ред и от двата списъка да се изтрива посочената информация и в отделно текстово поле да се извежда съобщение дали релацията име и време е вярна, както и съпътстваща информация за съответния владетел." u"\r\n"
    u"Прочетете допълнителна информация относно именника на българските ханове. " u"\r\n"
    u"Основен източник на информация за имената на първите български владетели е \u201CИменник на българските ханове\u201D. Това е е кратък летопис, съдържащ имената и родовете на няколко ранни български владетели. Той се основава на три руски преписа на документа: Уваровият - от края на 15 век, другите два - Погодинов и Московски, са от 16 век. Между трите преписа има някои различия в транскрипцията на имената на владетелите." u"\r\n";

} // namespace drelvan::texts
