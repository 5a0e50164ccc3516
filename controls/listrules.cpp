#include "controls/listrules.hpp"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <utility>

namespace drelvan::listrules {

int keySelection(ListKey key, const ListState& list)
{
    if (list.count <= 0)
        return -1;
    const int last = list.count - 1;
    const int from = std::clamp(list.selected, -1, last);
    const int page = std::max(1, list.rowsShown - 1);
    switch (key) {
    case ListKey::Home:
        return 0;
    case ListKey::End:
        return last;
    default:
        break;
    }
    if (from < 0)
        return std::clamp(list.caret, 0, last);
    switch (key) {
    case ListKey::Up:
    case ListKey::Left:
        return std::max(from - 1, 0);
    case ListKey::Down:
    case ListKey::Right:
        return std::min(from + 1, last);
    case ListKey::PageUp:
        return std::max(from - page, 0);
    case ListKey::PageDown:
        return std::min(from + page, last);
    default:
        return from;
    }
}

char16_t foldCase(char16_t c)
{
    if (c >= u'A' && c <= u'Z')
        return static_cast<char16_t>(c + 0x20);
    // Latin-1 capitals, but not the multiplication sign.
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7)
        return static_cast<char16_t>(c + 0x20);
    // Cyrillic: А..Я to а..я, and Ѐ..Џ (Ѐ, Ё, І, Ї, Ў...) to ѐ..џ.
    if (c >= 0x0410 && c <= 0x042F)
        return static_cast<char16_t>(c + 0x20);
    if (c >= 0x0400 && c <= 0x040F)
        return static_cast<char16_t>(c + 0x50);
    return c;
}

namespace {

bool isDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

// Compares the runs of digits at the start of `a` and `b` as numbers and
// takes them off both; -1, 0 or 1.
int compareNumbers(std::u16string_view& a, std::u16string_view& b)
{
    const auto run = [](std::u16string_view& text) {
        std::size_t end = 0;
        while (end < text.size() && isDigit(text[end]))
            ++end;
        std::u16string_view digits = text.substr(0, end);
        text.remove_prefix(end);
        while (digits.size() > 1 && digits.front() == u'0')
            digits.remove_prefix(1);
        return digits;
    };
    const std::u16string_view x = run(a);
    const std::u16string_view y = run(b);
    if (x.size() != y.size())
        return x.size() < y.size() ? -1 : 1;
    const int order = x.compare(y);
    return (order > 0) - (order < 0);
}

// How many code units `a` and `b` begin with alike: four at a time while
// they agree, as texts that sort near each other have much in common.
std::size_t commonPrefix(std::u16string_view a, std::u16string_view b)
{
    const std::size_t shorter = std::min(a.size(), b.size());
    std::size_t same = 0;
    for (std::uint64_t x = 0, y = 0; same + 4 <= shorter; same += 4) {
        std::memcpy(&x, a.data() + same, sizeof x);
        std::memcpy(&y, b.data() + same, sizeof y);
        if (x != y)
            break;
    }
    while (same < shorter && a[same] == b[same])
        ++same;
    return same;
}

} // namespace

bool naturalLess(std::u16string_view a, std::u16string_view b)
{
    // What the two have in common from the start compares equal, up to the
    // digits at its end, which may begin a number that goes on differently
    // ("a19" and "a2"): the comparison starts at that number, and the order
    // is the same as from the start, the last tie-break included. Sorting
    // compares mostly entries that have much in common.
    std::size_t same = commonPrefix(a, b);
    while (same > 0 && isDigit(a[same - 1]))
        --same;
    a.remove_prefix(same);
    b.remove_prefix(same);

    const std::u16string_view wholeA = a;
    const std::u16string_view wholeB = b;
    while (!a.empty() && !b.empty()) {
        if (isDigit(a.front()) && isDigit(b.front())) {
            if (const int order = compareNumbers(a, b))
                return order < 0;
            continue;
        }
        const char16_t x = foldCase(a.front());
        const char16_t y = foldCase(b.front());
        if (x != y)
            return x < y;
        a.remove_prefix(1);
        b.remove_prefix(1);
    }
    if (a.empty() != b.empty())
        return a.empty();
    return wholeA < wholeB;
}

namespace {

// -1, 0 or 1 as `a` comes before, with or after `b`, code unit by code unit;
// a text before the longer ones it begins.
int compareUnits(std::u16string_view a, std::u16string_view b)
{
    const std::size_t shorter = std::min(a.size(), b.size());
    const std::size_t same = commonPrefix(a, b);
    if (same < shorter)
        return a[same] < b[same] ? -1 : 1;
    return (a.size() > b.size()) - (a.size() < b.size());
}

// naturalLess's order as a plain comparison of code units. A letter is
// folded. A run of digits becomes u'0', its count of digits without the
// leading zeros in two units, and those digits: against any other unit u'0'
// stands where every digit does (no unit but a digit lies between '0' and
// '9', nor folds there), a longer number is the larger, and numbers as long
// go by their digits. Each part is as long in every key where it is equal,
// so keys part where the texts do. A count of digits past 2^32 would take a
// text of 8 GiB.
void appendKey(std::u16string& key, std::u16string_view text)
{
    for (std::size_t i = 0; i < text.size();) {
        if (!isDigit(text[i])) {
            key += foldCase(text[i++]);
            continue;
        }
        std::size_t end = i;
        while (end < text.size() && isDigit(text[end]))
            ++end;
        while (end - i > 1 && text[i] == u'0')
            ++i;
        const std::size_t digits = end - i;
        key += u'0';
        key += static_cast<char16_t>((digits >> 16) & 0xFFFF);
        key += static_cast<char16_t>(digits & 0xFFFF);
        key.append(text.substr(i, digits));
        i = end;
    }
}

} // namespace

void sortNaturally(std::span<std::u16string> texts)
{
    // A short list, the khans' sixteen, sorts faster than its keys are made.
    if (texts.size() < 48) {
        std::sort(texts.begin(), texts.end(), [](const std::u16string& a, const std::u16string& b) { return naturalLess(a, b); });
        return;
    }
    struct Keyed {
        std::size_t from, size; // of the key, in `keys`
        std::size_t text;
    };
    std::size_t units = 0;
    for (const std::u16string& text : texts)
        units += text.size();
    std::u16string keys;
    keys.reserve(units + units / 2 + 8);
    std::vector<Keyed> order;
    order.reserve(texts.size());
    for (std::size_t i = 0; i < texts.size(); ++i) {
        const std::size_t from = keys.size();
        appendKey(keys, texts[i]);
        order.push_back({from, keys.size() - from, i});
    }
    const std::u16string_view all = keys;
    std::sort(order.begin(), order.end(), [&](const Keyed& a, const Keyed& b) {
        if (const int byKey = compareUnits(all.substr(a.from, a.size), all.substr(b.from, b.size)))
            return byKey < 0;
        // naturalLess's last word: the code units.
        return compareUnits(texts[a.text], texts[b.text]) < 0;
    });
    std::vector<std::u16string> sorted;
    sorted.reserve(texts.size());
    for (const Keyed& keyed : order)
        sorted.push_back(std::move(texts[keyed.text]));
    std::move(sorted.begin(), sorted.end(), texts.begin());
}

namespace {

bool startsWithFolded(std::u16string_view entry, std::u16string_view prefix)
{
    if (prefix.size() > entry.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (foldCase(entry[i]) != foldCase(prefix[i]))
            return false;
    return true;
}

bool allSameLetter(std::u16string_view text)
{
    return std::all_of(text.begin(), text.end(), [&](char16_t c) { return foldCase(c) == foldCase(text[0]); });
}

} // namespace

int TypeAhead::type(std::u16string_view text, bool continuing, const std::vector<std::u16string>& entries,
                    int caret)
{
    if (text.empty())
        return -1;
    search_ = continuing ? search_ + std::u16string(text) : std::u16string(text);
    const int count = static_cast<int>(entries.size());
    if (count == 0)
        return -1;
    caret = std::clamp(caret, -1, count - 1);

    std::u16string_view wanted = search_;
    int start = caret + 1;
    if (continuing && search_.size() > 1) {
        if (allSameLetter(search_))
            wanted = wanted.substr(0, 1);
        else
            start = std::max(caret, 0); // the entry found so far may still match
    }
    for (int i = 0; i < count; ++i) {
        const int row = (start + i) % count;
        if (startsWithFolded(entries[static_cast<std::size_t>(row)], wanted))
            return row;
    }
    return -1;
}

int PointerGesture::press(int row)
{
    pressed_ = true;
    spent_ = false;
    return row;
}

int PointerGesture::drag(int row, int selected) const
{
    if (!pressed_ || spent_ || row < 0 || row == selected)
        return -1;
    return row;
}

void PointerGesture::picked(int row, int selectedAfter)
{
    if (row >= 0 && selectedAfter != row)
        spent_ = true;
}

void PointerGesture::release()
{
    pressed_ = false;
    spent_ = false;
}

int topShowing(int row, int top, int rowsShown)
{
    rowsShown = std::max(1, rowsShown);
    if (row < 0)
        return top;
    if (row < top)
        return row;
    if (row >= top + rowsShown)
        return row - rowsShown + 1;
    return top;
}

int lastTop(int count, int rowsShown)
{
    return std::max(0, count - std::max(1, rowsShown));
}

ListPlace follow(ListPlace place, const ListState& list, bool emptied)
{
    const ListPlace before = place;
    if (emptied)
        place = {list.count > 0 ? 0 : -1, 0};
    if (list.selected >= 0)
        place.caret = list.selected;
    place.caret = std::min(place.caret, list.count - 1);
    place.top = std::clamp(place.top, 0, lastTop(list.count, list.rowsShown));
    if (place.caret >= 0 && (emptied || place.caret != before.caret))
        place.top = topShowing(place.caret, place.top, list.rowsShown);
    return place;
}

} // namespace drelvan::listrules
