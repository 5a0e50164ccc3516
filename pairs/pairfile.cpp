#include "pairs/pairfile.hpp"

#include "content/texts.hpp"
#include "content/utf8.hpp"
#include "pairs/encoding.hpp"

#include <pugixml.hpp>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <new>
#include <numeric>
#include <span>
#include <string>
#include <vector>

namespace drelvan {

namespace {

// What a list box holds, and the longest texts a learner is asked to read,
// in UTF-16 code units.
constexpr std::size_t maxPairs = 32767;
constexpr std::size_t maxTextUnits = 1000;
constexpr std::size_t maxNoteUnits = 10000;

// What is wrong with a file, where: thrown by the readers below and turned
// into the one message readPairs answers with. Line and field count from 1; 0
// names none.
struct Refusal {
    std::size_t line = 0;
    std::size_t field = 0;
    std::u16string what;
};

[[noreturn]] void refuse(std::size_t line, std::size_t field, std::u16string what)
{
    throw Refusal{line, field, std::move(what)};
}

std::u16string decimal(std::uintmax_t n)
{
    std::u16string digits;
    do
        digits.insert(digits.begin(), static_cast<char16_t>(u'0' + n % 10));
    while ((n /= 10) != 0);
    return digits;
}

// A count as Bulgarian writes it: 1000, 10 000, 16 777 216.
std::u16string grouped(std::uintmax_t n)
{
    std::u16string digits = decimal(n);
    if (digits.size() > 4)
        for (std::size_t at = digits.size() - 3; at > 0 && at < digits.size(); at -= 3)
            digits.insert(at, 1, u' ');
    return digits;
}

std::u16string hexUnit(char32_t c)
{
    constexpr char16_t digits[] = u"0123456789ABCDEF";
    std::u16string out = u"U+";
    for (int shift = c > 0xFFFF ? 20 : 12; shift >= 0; shift -= 4)
        out += digits[(c >> shift) & 0xF];
    return out;
}

// A text as a message quotes it, in Bulgarian quotation marks; a long one is
// cut short, and so is one of many lines, at its first line's end.
std::u16string shownQuoted(std::u16string_view text)
{
    const std::size_t shown = std::min<std::size_t>(40, text.find_first_of(u"\r\n"));
    std::u16string out = u"\u201E";
    if (text.size() > shown) {
        std::size_t cut = shown;
        if (cut > 0 && text[cut - 1] >= 0xD800 && text[cut - 1] < 0xDC00)
            --cut;
        out.append(text.substr(0, cut)).append(u"…");
    } else {
        out.append(text);
    }
    return out + u"\u201C";
}

std::u16string message(std::u16string_view fileName, const Refusal& refusal)
{
    std::u16string out(fileName);
    if (refusal.line > 0)
        out += u", ред " + decimal(refusal.line);
    if (refusal.field > 0)
        out += u", клетка " + decimal(refusal.field);
    return out + u": " + refusal.what + u".";
}

// What one text of a file is for: what its messages call it, and what it may
// hold.
struct Role {
    std::u16string_view name; // "левият текст"
    std::u16string_view empty; // the adjective in its gender: "празен"
    std::u16string_view longer; // "по-дълъг"
    std::size_t limit;
    bool required; // not empty, not only blanks
    bool multiline; // may hold line breaks (CR LF)
};

constexpr Role leftText{u"левият текст", u"празен", u"по-дълъг", maxTextUnits, true, false};
constexpr Role rightText{u"десният текст", u"празен", u"по-дълъг", maxTextUnits, true, false};
constexpr Role noteText{u"бележката", u"празна", u"по-дълга", maxNoteUnits, false, true};
constexpr Role leftCaption{u"името на левия списък", u"празно", u"по-дълго", maxTextUnits, true, false};
constexpr Role rightCaption{u"името на десния списък", u"празно", u"по-дълго", maxTextUnits, true, false};
constexpr Role noteCaption{u"името на бележките", u"празно", u"по-дълго", maxTextUnits, false, false};
constexpr Role titleText{u"заглавието", u"празно", u"по-дълго", maxTextUnits, false, false};
constexpr Role openingText{u"уводният текст", u"празен", u"по-дълъг", maxNoteUnits, false, true};

[[noreturn]] void refuseLength(std::size_t line, std::size_t field, const Role& role)
{
    refuse(line, field,
        std::u16string(role.name) + u" е " + std::u16string(role.longer) + u" от " + grouped(role.limit) + u" знака");
}

bool isBlank(char16_t c)
{
    return c == u' ' || c == u'\u00A0' || (c >= u'\u2000' && c <= u'\u200B') || c == u'\u202F' || c == u'\u205F'
           || c == u'\u3000';
}

bool isControl(char16_t c) { return c < 0x20 || (c >= 0x7F && c < 0xA0); }

std::u16string controlName(char16_t c)
{
    switch (c) {
    case u'\t': return u"табулация, " + hexUnit(c);
    case u'\r': return u"CR, " + hexUnit(c);
    case u'\n': return u"нов ред, " + hexUnit(c);
    default: return hexUnit(c);
    }
}

// The rules of every text. The spreadsheet reader checks the length as it
// goes too, so that a text too long is refused before the rest is read.
void checkText(std::u16string_view text, std::size_t line, std::size_t field, const Role& role)
{
    if (text.size() > role.limit)
        refuseLength(line, field, role);
    if (role.required) {
        if (text.empty())
            refuse(line, field, std::u16string(role.name) + u" е " + std::u16string(role.empty));
        if (std::all_of(text.begin(), text.end(), isBlank))
            refuse(line, field, std::u16string(role.name) + u" е само от интервали: " + shownQuoted(text));
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c == u'\r' || c == u'\n') {
            // The readers write every line break in a text as CR LF.
            if (!role.multiline)
                refuse(line, field,
                    std::u16string(role.name) + u" " + shownQuoted(text)
                        + u" е на повече от един ред; нов ред може да има само бележката");
            if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') {
                ++i;
                continue;
            }
            if (c == u'\n' && i > 0 && text[i - 1] == u'\r')
                continue;
        }
        if (isControl(c))
            refuse(line, field,
                std::u16string(role.name) + u" съдържа управляващ знак (" + controlName(c)
                    + u"); такъв знак не се вижда и не може да се избере");
    }
}

// A file's title is its name without the extension.
std::u16string stemOf(std::u16string_view fileName)
{
    const std::size_t dot = fileName.rfind(u'.');
    return std::u16string(dot == std::u16string_view::npos || dot == 0 ? fileName : fileName.substr(0, dot));
}

std::u16string extensionOf(std::u16string_view fileName)
{
    const std::size_t dot = fileName.rfind(u'.');
    if (dot == std::u16string_view::npos || dot == 0)
        return {};
    std::u16string extension(fileName.substr(dot + 1));
    for (char16_t& c : extension)
        if (c >= u'A' && c <= u'Z')
            c = static_cast<char16_t>(c - u'A' + u'a');
    return extension;
}

std::u16string ownOpening(std::u16string_view left, std::u16string_view right)
{
    std::u16string out(texts::ownOpeningLead);
    out.append(left).append(texts::ownOpeningMiddle).append(right).append(texts::ownOpeningEnd);
    return out;
}

// The pairs as they come, row by row, refused at the first that breaks a
// rule every file keeps: one left text once, and no more than a list holds.
// The pairs of a file in its order. A left text on two lines is refused at
// the second, as the first thing wrong that a reader going down the file
// meets; the repeats are looked for all at once, by sorting (no copy of each
// text, as a set of them would keep), when the file has been read, or is
// refused for anything that comes after the pairs read so far.
class PairCollector {
public:
    void add(std::size_t line, Pair pair)
    {
        pairs.push_back(std::move(pair));
        lines.push_back(line);
        if (pairs.size() > maxPairs) {
            refuseRepeat();
            refuse(line, 0, u"двойките са повече от " + grouped(maxPairs) + u", колкото най-много побира един списък");
        }
    }

    std::vector<Pair> take()
    {
        if (pairs.empty())
            refuse(0, 0, u"във файла няма нито една двойка");
        refuseRepeat();
        return std::move(pairs);
    }

    // Refuses the first pair whose left text an earlier pair has, if any.
    void refuseRepeat() const
    {
        std::vector<std::uint32_t> order(pairs.size());
        std::iota(order.begin(), order.end(), 0u);
        std::sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
            const int texts = pairs[a].left.compare(pairs[b].left);
            return texts != 0 ? texts < 0 : a < b;
        });
        // Within a run of the same text the pairs stand in the file's order:
        // the run's second is its first repeat.
        std::size_t repeat = pairs.size(), first = 0, runStart = order.empty() ? 0 : order[0];
        for (std::size_t i = 1; i < order.size(); ++i) {
            if (pairs[order[i]].left != pairs[order[i - 1]].left)
                runStart = order[i];
            else if (order[i] < repeat && order[i - 1] == runStart)
                repeat = order[i], first = runStart;
        }
        if (repeat < pairs.size())
            refuse(lines[repeat], 0,
                shownQuoted(pairs[repeat].left) + u" стои и на ред " + decimal(lines[first])
                    + u"; всеки ляв текст трябва да е веднъж");
    }

private:
    std::vector<Pair> pairs;
    std::vector<std::size_t> lines;
};

Exercise makeExercise(std::u16string title, std::u16string left, std::u16string right, std::u16string opening,
    std::vector<Pair> pairs)
{
    Exercise exercise;
    exercise.windowTitle = title + std::u16string(texts::ownTitleSuffix);
    exercise.title = std::move(title);
    if (opening.empty())
        opening = ownOpening(left, right);
    exercise.leftCaption = std::move(left);
    exercise.rightCaption = std::move(right);
    exercise.opening = std::move(opening);
    exercise.pairs = std::move(pairs);
    exercise.rightInKeyOrder = false;
    return exercise;
}

void checkDecoded(const pairs::DecodedText& decoded)
{
    if (decoded.badLine > 0)
        refuse(decoded.badLine, 0, decoded.problem);
}

// ---------------------------------------------------------------------------
// Spreadsheet text

// The separator is the first line's, outside quotes: a Tab, else ';' (a
// spreadsheet in a locale whose decimal mark is a comma), else ','. Told from
// the bytes undecoded: these are ASCII in every encoding read.
char16_t separatorOf(std::string_view bytes, pairs::Encoding encoding)
{
    const bool utf16 = encoding == pairs::Encoding::utf16le || encoding == pairs::Encoding::utf16be;
    const std::size_t step = utf16 ? 2 : 1, offset = encoding == pairs::Encoding::utf16be ? 1 : 0;
    bool inQuotes = false, semicolon = false;
    for (std::size_t i = 0; i + step <= bytes.size(); i += step) {
        if (utf16 && bytes[i + 1 - offset] != 0)
            continue;
        const char c = bytes[i + offset];
        if (c == '"')
            inQuotes = !inQuotes;
        else if (inQuotes)
            continue;
        else if (c == '\n')
            break;
        else if (c == '\t')
            return u'\t';
        else if (c == ';')
            semicolon = true;
    }
    return semicolon ? u';' : u',';
}

class SpreadsheetReader {
public:
    explicit SpreadsheetReader(std::string_view bytes)
        : source(bytes), separator(separatorOf(source.body(), source.encoding()))
    {
    }

    Exercise read(std::u16string_view fileName)
    {
        std::u16string left, right;
        bool header = true;
        PairCollector pairs;
        try {
            readRows(pairs, header, left, right);
        } catch (const Refusal&) {
            // A left text repeated before this went wrong is refused first.
            pairs.refuseRepeat();
            throw;
        }
        if (header)
            refuse(0, 0, u"файлът е празен; първият му ред трябва да носи имената на двата списъка");
        return makeExercise(stemOf(fileName), std::move(left), std::move(right), {}, pairs.take());
    }

private:
    void readRows(PairCollector& pairs, bool& header, std::u16string& left, std::u16string& right)
    {
        while (readRow(header)) {
            const std::span<const std::u16string> row(cells.data(), cellCount);
            if (std::all_of(row.begin(), row.end(), [](const std::u16string& cell) { return cell.empty(); }))
                continue;
            if (row.size() < 2)
                refuse(rowLine, 0,
                    header ? u"заглавният ред има една клетка; първите две клетки са имената на двата списъка"
                           : u"редът има една клетка: " + shownQuoted(row[0])
                                 + u"; двойката е ляв текст, десен текст и бележка, ако има");
            checkText(row[0], fieldLines[0], 1, header ? leftCaption : leftText);
            checkText(row[1], fieldLines[1], 2, header ? rightCaption : rightText);
            if (row.size() > 2)
                checkText(row[2], fieldLines[2], 3, header ? noteCaption : noteText);
            // Copies, as long as their texts: the cells keep their room for
            // the next row.
            if (header) {
                left = row[0];
                right = row[1];
                header = false;
                continue;
            }
            pairs.add(rowLine, Pair{row[0], row[1], row.size() > 2 ? row[2] : std::u16string()});
        }
    }

    // Reads the next row's first three cells into `cells` (cellCount of
    // them), its first line into rowLine and each cell's into fieldLines.
    // False at the end of the text.
    bool readRow(bool header)
    {
        if (source.peek() == pairs::TextSource::end)
            return false;
        cellCount = 0;
        rowLine = line;
        for (std::size_t field = 1;; ++field) {
            const Role* role = field == 1   ? (header ? &leftCaption : &leftText)
                               : field == 2 ? (header ? &rightCaption : &rightText)
                               : field == 3 ? (header ? &noteCaption : &noteText)
                                            : nullptr;
            // A cell past the third is to be empty, and is read into none.
            std::u16string& cell = role ? cells[cellCount] : beyond;
            cell.clear();
            const std::size_t cellLine = line;
            const bool more = readField(cell, role, field, cellLine);
            if (role)
                fieldLines[cellCount++] = cellLine;
            if (!more)
                return true;
        }
    }

    // Reads one cell into `cell`, up to the limit of its role; a cell after
    // the third (no role) is to be empty. True when a separator ended it,
    // false at a line's end or the text's.
    bool readField(std::u16string& cell, const Role* role, std::size_t field, std::size_t cellLine)
    {
        const std::size_t limit = role ? role->limit : 0;
        const auto append = [&](int c) {
            if (cell.size() == limit) {
                if (!role)
                    refuse(cellLine, field,
                        u"клетката не е празна; редът има най-много три клетки: ляв текст, десен текст и бележка");
                refuseLength(cellLine, field, *role);
            }
            cell += static_cast<char16_t>(c);
        };
        bool inQuotes = false;
        if (source.peek() == u'"') {
            inQuotes = true;
            source.skip();
        }
        for (;;) {
            // Most of a cell is plain text, taken as a run; the rest, one by
            // one here.
            source.takePlain(cell, limit, static_cast<char>(inQuotes ? u'"' : separator));
            const int c = source.peek();
            if (c == pairs::TextSource::bad)
                refuse(line, 0, source.problem());
            if (c == pairs::TextSource::end)
                break;
            source.skip();
            if (inQuotes) {
                if (c == u'"') {
                    if (source.peek() == u'"') {
                        append(u'"');
                        source.skip();
                        continue;
                    }
                    // The closing quote; what follows up to the separator
                    // is taken as it stands, as spreadsheets do.
                    inQuotes = false;
                    continue;
                }
                // A line break in quotes belongs to the cell, as CR LF.
                if (c == u'\r' || c == u'\n') {
                    append(u'\r');
                    append(u'\n');
                    bool lineFeed = c == u'\n';
                    if (c == u'\r' && source.peek() == u'\n') {
                        source.skip();
                        lineFeed = true;
                    }
                    if (lineFeed)
                        ++line;
                    continue;
                }
                append(c);
                continue;
            }
            if (c == separator)
                return true;
            if (c == u'\n') {
                ++line;
                return false;
            }
            if (c == u'\r') {
                if (source.peek() == u'\n') {
                    source.skip();
                    ++line;
                    return false;
                }
                if (source.peek() == pairs::TextSource::end)
                    return false;
            }
            append(c);
        }
        if (inQuotes)
            refuse(cellLine, field, u"кавичката, отворена на този ред, не е затворена до края на файла");
        return false;
    }

    pairs::TextSource source;
    char16_t separator;
    std::size_t line = 1;
    std::size_t rowLine = 1;
    std::array<std::u16string, 3> cells;
    std::u16string beyond;
    std::size_t cellCount = 0;
    std::array<std::size_t, 3> fieldLines{};
};

Exercise readSpreadsheet(std::u16string_view fileName, std::string_view bytes)
{
    if (bytes.substr(0, 4) == "PK\x03\x04" || bytes.substr(0, 4) == "\xD0\xCF\x11\xE0")
        refuse(0, 0,
            u"това е работна книга на електронна таблица (.xlsx, .ods, .xls), а не текст; запишете листа като CSV "
            u"(текст, разделен със запетаи) или като текст, разделен с табулации");
    return SpreadsheetReader(bytes).read(fileName);
}

// ---------------------------------------------------------------------------
// KVTML 2

// pugixml's memory while a teacher's file is parsed: a node takes some
// 64 bytes of its pages, and a file of nothing but "<a>" would take twenty
// times its size. A vocabulary needs far fewer nodes than one per 16 bytes;
// past that the parse fails at once (as out of memory) rather than filling
// the memory first.
struct ParseBudget {
    std::size_t left;
    bool spent = false;
};
thread_local ParseBudget* parseBudget = nullptr;

void* budgetedAllocate(std::size_t size)
{
    if (ParseBudget* budget = parseBudget) {
        if (size > budget->left) {
            budget->spent = true;
            return nullptr;
        }
        budget->left -= size;
    }
    return std::malloc(size);
}

void budgetedDeallocate(void* block) { std::free(block); }

void budgetPugixml()
{
    static const bool installed = (pugi::set_memory_management_functions(budgetedAllocate, budgetedDeallocate), true);
    (void)installed;
}

class KvtmlReader {
public:
    explicit KvtmlReader(std::string_view utf8Text) : xml(utf8Text) {}

    Exercise read(std::u16string_view fileName)
    {
        // No entity is expanded (no parse_escapes: this reader decodes the
        // five of XML and character references itself, and refuses any
        // other); a DOCTYPE is parsed only to be refused.
        const unsigned options = pugi::parse_cdata | pugi::parse_eol | pugi::parse_wconv_attribute | pugi::parse_doctype;
        ParseBudget budget{16 * 1024 * 1024 + 6 * xml.size()};
        parseBudget = &budget;
        const pugi::xml_parse_result parsed = document.load_buffer(xml.data(), xml.size(), options, pugi::encoding_utf8);
        parseBudget = nullptr;
        if (budget.spent)
            refuse(lineAt(static_cast<std::size_t>(std::max<std::ptrdiff_t>(parsed.offset, 0))), 0,
                u"файлът има повече елементи, отколкото има речник с неговия размер (повече от един на всеки 16 "
                u"байта); такъв файл не се чете");
        if (!parsed)
            refuse(lineAt(static_cast<std::size_t>(std::max<std::ptrdiff_t>(parsed.offset, 0))), 0,
                u"XML не е правилен: " + statusText(parsed.status));
        checkEveryNode();

        const pugi::xml_node root = document.document_element();
        const std::string_view version = root.attribute("version").value();
        if (std::string_view(root.name()) != "kvtml" || version.substr(0, 1) != "2"
            || (version.size() > 1 && version[1] != '.'))
            refuse(lineOf(root), 0,
                u"това не е речник KVTML 2: коренът е <" + fromUtf8(root.name()) + u" version=\"" + fromUtf8(version)
                    + u"\">, а трябва да е <kvtml version=\"2.0\">");

        const pugi::xml_node information = root.child("information");
        std::u16string title = textOf(information.child("title"), titleText);
        if (title.empty())
            title = stemOf(fileName);
        std::u16string opening = textOf(information.child("comment"), openingText);
        if (!opening.empty() && !opening.ends_with(u"\r\n"))
            opening += u"\r\n";

        const pugi::xml_node identifiers = root.child("identifiers");
        std::u16string left = textOf(identifier(identifiers, "0", root).child("name"), leftCaption);
        std::u16string right = textOf(identifier(identifiers, "1", root).child("name"), rightCaption);

        PairCollector pairs;
        try {
            readEntries(root, pairs);
        } catch (const Refusal&) {
            // A left text repeated before this went wrong is refused first.
            pairs.refuseRepeat();
            throw;
        }
        return makeExercise(std::move(title), std::move(left), std::move(right), std::move(opening), pairs.take());
    }

    void readEntries(const pugi::xml_node& root, PairCollector& pairs) const
    {
        for (const pugi::xml_node entry : root.child("entries").children("entry")) {
            if (trimmed(fromUtf8(entry.child("inactive").text().get())) == u"true")
                continue;
            const pugi::xml_node first = translation(entry, "0");
            const pugi::xml_node second = translation(entry, "1");
            const pugi::xml_node leftNode = first.child("text") ? first.child("text") : entry;
            const pugi::xml_node rightNode = second.child("text") ? second.child("text") : entry;
            Pair pair;
            pair.left = textOf(first.child("text"), leftText, lineOf(leftNode));
            pair.right = textOf(second.child("text"), rightText, lineOf(rightNode));
            pair.note = textOf(second.child("comment"), noteText);
            if (pair.note.empty())
                pair.note = textOf(first.child("comment"), noteText);
            pairs.add(lineOf(leftNode), std::move(pair));
        }
    }

private:
    static std::u16string statusText(pugi::xml_parse_status status)
    {
        switch (status) {
        case pugi::status_out_of_memory: return u"няма достатъчно памет, за да бъде прочетен";
        case pugi::status_unrecognized_tag: return u"неразпознат маркер след „<“";
        case pugi::status_bad_pi: return u"грешка в декларация или инструкция <? … ?>";
        case pugi::status_bad_comment: return u"грешка в коментар <!-- … -->";
        case pugi::status_bad_cdata: return u"грешка в раздел <![CDATA[ … ]]>";
        case pugi::status_bad_doctype: return u"грешка в обявата <!DOCTYPE …>";
        case pugi::status_bad_pcdata: return u"грешка в текст между маркерите";
        case pugi::status_bad_start_element: return u"грешка в отварящ маркер";
        case pugi::status_bad_attribute: return u"грешка в атрибут на маркер";
        case pugi::status_bad_end_element: return u"грешка в затварящ маркер";
        case pugi::status_end_element_mismatch:
            return u"затварящ маркер, който не отговаря на отворения, или маркер, който не е затворен";
        case pugi::status_no_document_element: return u"няма нито един елемент";
        default: return u"грешка при разбора (" + decimal(static_cast<unsigned>(status)) + u")";
        }
    }

    // Lines are counted from the last place asked for, on or back: the
    // reader asks in about the document's order, and a file of many entries
    // is counted about once.
    std::size_t lineAt(std::size_t offset) const
    {
        offset = std::min(offset, xml.size());
        const auto breaks = [&](std::size_t from, std::size_t to) {
            return static_cast<std::size_t>(std::count(xml.begin() + static_cast<std::ptrdiff_t>(from),
                xml.begin() + static_cast<std::ptrdiff_t>(to), '\n'));
        };
        if (offset >= countedTo)
            countedLines += breaks(countedTo, offset);
        else
            countedLines -= breaks(offset, countedTo);
        countedTo = offset;
        return countedLines;
    }

    std::size_t lineOf(const pugi::xml_node& node) const
    {
        const std::ptrdiff_t offset = node.offset_debug();
        return offset < 0 ? 0 : lineAt(static_cast<std::size_t>(offset));
    }

    static std::u16string trimmed(std::u16string text)
    {
        const auto blank = [](char16_t c) { return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r'; };
        while (!text.empty() && blank(text.back()))
            text.pop_back();
        const auto first = std::find_if_not(text.begin(), text.end(), blank);
        return {first, text.end()};
    }

    // The programs that write KVTML name its DTD by an external identifier
    // (<!DOCTYPE kvtml PUBLIC "kvtml2.dtd" "http://...">), which is never
    // fetched: that is let be. A DOCTYPE with an internal subset ([...]),
    // where entities are declared, is refused wherever it is, and so is any
    // reference to an entity other than XML's five and characters, in text
    // or attribute. Iterative: a file may nest elements millions deep.
    void checkEveryNode() const
    {
        pugi::xml_node node = document.first_child();
        while (node) {
            if (node.type() == pugi::node_doctype && hasInternalSubset(node.value()))
                refuse(lineOf(node), 0,
                    u"файлът обявява DTD с единици (<!DOCTYPE … [ … ]>); речникът не се нуждае от такава и файл с "
                    u"нея не се чете");
            if (node.type() == pugi::node_pcdata)
                decodeReferences(node.value(), nullptr, node);
            for (const pugi::xml_attribute attribute : node.attributes())
                decodeReferences(attribute.value(), nullptr, node);
            if (node.first_child()) {
                node = node.first_child();
                continue;
            }
            while (node && !node.next_sibling())
                node = node.parent();
            if (node)
                node = node.next_sibling();
        }
    }

    static bool hasInternalSubset(std::string_view doctype)
    {
        char quote = 0;
        for (const char c : doctype) {
            if (quote)
                quote = c == quote ? 0 : quote;
            else if (c == '"' || c == '\'')
                quote = c;
            else if (c == '[')
                return true;
        }
        return false;
    }

    // XML's references in `raw`, the value of `node`, decoded into `out`
    // (unless null): &amp; &lt; &gt; &quot; &apos; and &#...; of a character
    // that XML allows.
    void decodeReferences(std::string_view raw, std::string* out, const pugi::xml_node& node) const
    {
        for (std::size_t i = 0; i < raw.size(); ++i) {
            const char c = raw[i];
            if (c != '&') {
                if (out)
                    *out += c;
                continue;
            }
            const auto lineHere = [&] {
                return lineOf(node) + static_cast<std::size_t>(std::count(raw.begin(), raw.begin() + static_cast<std::ptrdiff_t>(i), '\n'));
            };
            // A reference is a name or a number up to ';'.
            std::size_t end = i + 1;
            while (end < raw.size() && end - i < 64 && raw[end] != ';' && raw[end] != '&' && raw[end] != ' '
                   && raw[end] != '\n')
                ++end;
            if (end >= raw.size() || raw[end] != ';' || end == i + 1)
                refuse(lineHere(), 0,
                    u"знакът & в " + shownQuoted(fromUtf8(raw.substr(i, std::min<std::size_t>(raw.size() - i, 16))))
                        + u" трябва да бъде записан като &amp;");
            const std::string_view name = raw.substr(i + 1, end - i - 1);
            char32_t code = 0;
            if (name == "amp")
                code = '&';
            else if (name == "lt")
                code = '<';
            else if (name == "gt")
                code = '>';
            else if (name == "quot")
                code = '"';
            else if (name == "apos")
                code = '\'';
            else if (name[0] == '#') {
                const bool hex = name.size() > 1 && name[1] == 'x';
                const std::string_view digits = name.substr(hex ? 2 : 1);
                bool good = !digits.empty();
                for (const char d : digits) {
                    const int value = d >= '0' && d <= '9'            ? d - '0'
                                      : hex && d >= 'a' && d <= 'f' ? d - 'a' + 10
                                      : hex && d >= 'A' && d <= 'F' ? d - 'A' + 10
                                                                    : -1;
                    if (value < 0 || code > 0x10FFFF) {
                        good = false;
                        break;
                    }
                    code = code * (hex ? 16 : 10) + static_cast<char32_t>(value);
                }
                const bool allowed = code == 0x9 || code == 0xA || code == 0xD || (code >= 0x20 && code < 0xD800)
                                     || (code >= 0xE000 && code < 0xFFFE) || (code >= 0x10000 && code <= 0x10FFFF);
                if (!good || !allowed)
                    refuse(lineHere(), 0, shownQuoted(fromUtf8(name)) + u" не е знак, който XML позволява");
            } else {
                refuse(lineHere(), 0,
                    u"&" + fromUtf8(name) + u"; е обръщение към единица (entity), която файлът не може да има; "
                        u"позволени са само &amp; &lt; &gt; &quot; &apos; и знаци по номер (&#1040;)");
            }
            if (out)
                *out += toUtf8(code < 0x10000 ? std::u16string(1, static_cast<char16_t>(code))
                                         : std::u16string{static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10)),
                                               static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF))});
            i = end;
        }
    }

    // The element's own text (its text and CDATA children), references
    // decoded and line breaks made CR LF, checked for `role`.
    std::u16string textOf(const pugi::xml_node& element, const Role& role, std::size_t line = 0) const
    {
        if (line == 0)
            line = lineOf(element);
        std::string utf8;
        for (const pugi::xml_node child : element.children()) {
            if (child.type() == pugi::node_pcdata)
                decodeReferences(child.value(), &utf8, child);
            else if (child.type() == pugi::node_cdata)
                utf8 += child.value();
            if (utf8.size() > 4 * role.limit + 4)
                refuseLength(line, 0, role);
        }
        std::u16string text;
        for (const char16_t c : fromUtf8(utf8)) {
            if (c == u'\n')
                text += u'\r';
            text += c;
        }
        checkText(text, line, 0, role);
        return text;
    }

    pugi::xml_node identifier(const pugi::xml_node& identifiers, const char* id, const pugi::xml_node& root) const
    {
        const pugi::xml_node found = identifiers.find_child_by_attribute("identifier", "id", id);
        if (!found)
            refuse(lineOf(identifiers ? identifiers : root), 0,
                u"няма <identifier id=\"" + fromUtf8(id) + u"\"> в <identifiers>; речникът трябва да назове двата "
                    u"си езика (" + std::u16string(std::string_view(id) == "0" ? u"левия" : u"десния") + u" списък)");
        return found;
    }

    static pugi::xml_node translation(const pugi::xml_node& entry, const char* id)
    {
        return entry.find_child_by_attribute("translation", "id", id);
    }

    std::string_view xml;
    pugi::xml_document document;
    mutable std::size_t countedTo = 0, countedLines = 1;
};

// pugixml is given UTF-8, whatever the file's encoding: the offsets it
// reports are then the places of the bytes from which lines are counted.
Exercise readKvtml(std::u16string_view fileName, std::string_view bytes)
{
    budgetPugixml();
    const pairs::TextSource source(bytes);
    if (source.encoding() == pairs::Encoding::utf8 && pairs::isUtf8(source.body()))
        return KvtmlReader(source.body()).read(fileName);
    const pairs::DecodedText decoded = pairs::decodeText(bytes);
    checkDecoded(decoded);
    const std::string utf8 = toUtf8(decoded.text);
    return KvtmlReader(utf8).read(fileName);
}

bool looksLikeXml(std::string_view bytes)
{
    const pairs::DecodedText decoded = pairs::decodeText(bytes.substr(0, 64));
    const std::size_t first = decoded.text.find_first_not_of(u" \t\r\n");
    return first != std::u16string::npos && decoded.text[first] == u'<';
}

std::u16string tooLarge(std::uintmax_t size)
{
    return u"файлът е " + grouped(size) + u" байта, а програмата чете файлове до 16 MiB ("
           + grouped(maxPairFileBytes) + u" байта)";
}

} // namespace

PairFile readPairs(std::u16string_view fileName, std::string_view bytes)
{
    return readPairs(fileName, bytes, bytes.size());
}

PairFile readPairs(std::u16string_view fileName, std::string_view bytes, std::uintmax_t fileSize)
{
    PairFile result;
    try {
        if (std::max<std::uintmax_t>(fileSize, bytes.size()) > maxPairFileBytes)
            refuse(0, 0, tooLarge(std::max<std::uintmax_t>(fileSize, bytes.size())));
        const std::u16string extension = extensionOf(fileName);
        const bool kvtml = extension == u"kvtml"
                           || (extension != u"csv" && extension != u"tsv" && extension != u"txt" && looksLikeXml(bytes));
        result.exercise = kvtml ? readKvtml(fileName, bytes) : readSpreadsheet(fileName, bytes);
    } catch (const Refusal& refusal) {
        result.exercise.reset();
        result.error = message(fileName, refusal);
    } catch (const std::bad_alloc&) {
        result.exercise.reset();
        result.error = message(fileName, Refusal{0, 0, u"няма достатъчно памет, за да бъде прочетен"});
    }
    return result;
}

namespace {

struct ClosesFile {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

// The file's size, from where its end is; -1 where it has none (a pipe).
// Windows' long has 32 bits, too few for a file that may be any size.
std::int64_t sizeOf(std::FILE* file)
{
#ifdef _WIN32
    const bool atEnd = _fseeki64(file, 0, SEEK_END) == 0;
    const std::int64_t size = atEnd ? _ftelli64(file) : -1;
    return _fseeki64(file, 0, SEEK_SET) == 0 ? size : -1;
#else
    // A long has 64 bits on the 64-bit systems that name files by a path.
    const bool atEnd = std::fseek(file, 0, SEEK_END) == 0;
    const std::int64_t size = atEnd ? static_cast<std::int64_t>(std::ftell(file)) : -1;
    return std::fseek(file, 0, SEEK_SET) == 0 ? size : -1;
#endif
}

} // namespace

PairFile readPairFile(std::u16string_view fileName, std::FILE* file)
{
    const std::unique_ptr<std::FILE, ClosesFile> in(file);
    const auto failure = [&](std::u16string what) {
        PairFile result;
        result.error = message(fileName, Refusal{0, 0, std::move(what)});
        return result;
    };
    if (!in)
        return failure(u"файлът не може да бъде отворен");
    const std::int64_t size = sizeOf(in.get());
    if (size < 0)
        return failure(u"файлът не може да бъде прочетен");
    if (static_cast<std::uintmax_t>(size) > maxPairFileBytes)
        return failure(tooLarge(static_cast<std::uintmax_t>(size)));
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(size));
    // The file may have grown since its size was taken: no more is read than
    // one byte past the limit. The buffer's size is known to the compiler, so
    // each read is checked against it (_FORTIFY_SOURCE).
    char chunk[16384];
    const auto wanted = [&] {
        return static_cast<std::size_t>(std::min<std::uintmax_t>(sizeof chunk, maxPairFileBytes + 1 - bytes.size()));
    };
    for (std::size_t read; wanted() > 0 && (read = std::fread(chunk, 1, wanted(), in.get())) > 0;)
        bytes.append(chunk, read);
    if (bytes.size() > maxPairFileBytes)
        return failure(tooLarge(bytes.size()));
    if (std::ferror(in.get()))
        return failure(u"файлът не може да бъде прочетен");
    return readPairs(fileName, bytes);
}

} // namespace drelvan
