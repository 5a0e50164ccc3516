// The quiz in a web page: one Session, driven by the page's script through
// the plain C functions below, and painted through the page's own functions
// (drelvan.paint... in web/page.js). The script turns DOM events into these
// calls and paints what it is told; every rule stays on this side.

#include "content/exercisepack.hpp"
#include "content/texts.hpp"
#include "content/utf8.hpp"
#include "quiz/frontend.hpp"
#include "quiz/session.hpp"
#include "web/domkeys.hpp"

#include <emscripten/emscripten.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <string>

// The page's paint functions (drelvan.paint... in web/page.js, which the
// page hands this module as its imports). A text goes over as UTF-16 code
// units in the module's memory, read before the call returns.
// A list's entries go over only where they changed: all of them (`length`
// 0 or more), or the row `removed` taken out (length -1).
#define DRELVAN_PAGE_IMPORT(name) __attribute__((import_module("page"), import_name(name)))
extern "C" {
DRELVAN_PAGE_IMPORT("paintList")
void drelvan_paint_list(int member, int selected, int caret, int top, int focused, const char16_t* entries,
                        int length, int removed);
DRELVAN_PAGE_IMPORT("paintCaptions") void drelvan_paint_captions(const char16_t* texts, int length);
DRELVAN_PAGE_IMPORT("paintVerdict") void drelvan_paint_verdict(const char16_t* text, int length);
DRELVAN_PAGE_IMPORT("announce") void drelvan_announce(const char16_t* text, int length);
DRELVAN_PAGE_IMPORT("reportFailure") void drelvan_report_failure(const char16_t* text, int length);
}
#undef DRELVAN_PAGE_IMPORT

namespace drelvan {
namespace {

// Entries go over in one text, each followed by U+0000, which no entry holds.
std::u16string joined(const std::vector<std::u16string>& entries)
{
    std::u16string text;
    for (const std::u16string& entry : entries) {
        text += entry;
        text += u'\0';
    }
    return text;
}

int length(std::u16string_view text)
{
    return static_cast<int>(text.size());
}

class PageFrontEnd final : public FrontEnd {
public:
    // The window's title, the quiz's title and the two lists' captions, in
    // one text. The page changes only what differs from what it shows.
    void showCaptions(const Form& form) override
    {
        const std::u16string texts = joined({form.Caption(), form.Label1(0).Caption(), form.Label1(1).Caption(),
                                             form.Label1(2).Caption()});
        drelvan_paint_captions(texts.data(), length(texts));
    }

    void showList(int16_t member, const ListShown& list) override
    {
        // The page keeps the rows it has, and is told of one taken out by a
        // check: all the entries go over only where they were dealt anew.
        const bool replaced = list.change.kind == EntriesChange::Replaced;
        const std::u16string entries = replaced ? joined(list.entries) : std::u16string();
        drelvan_paint_list(member, list.selected, list.caret, list.top, list.focused ? 1 : 0, entries.data(),
                           replaced ? length(entries) : -1,
                           list.change.kind == EntriesChange::Removed ? list.change.row : -1);
    }

    void showVerdict(std::u16string_view text) override { drelvan_paint_verdict(text.data(), length(text)); }

    void announce(std::u16string_view verdict) override { drelvan_announce(verdict.data(), length(verdict)); }

    // The learner's message box: what happened, that the quiz goes on, and
    // the technical message (in English) as details.
    void reportFailure(std::string_view message) override
    {
        std::u16string text(texts::failureText);
        text += u"\n";
        text += texts::failureAdvice;
        text += u"\n\n";
        text += fromUtf8(message);
        drelvan_report_failure(text.data(), length(text));
    }
};

// A teacher's file as the page hands it over from the reader's module
// (web/reader.cpp), packed.
std::u16string packedExercise;

PageFrontEnd frontEnd;
std::optional<Session> session;

// What the page writes in before a call that takes a text: a key's name or
// the text one key typed.
std::array<char16_t, 32> input{};

std::u16string_view inputText(int units)
{
    return {input.data(), static_cast<std::size_t>(std::clamp(units, 0, static_cast<int>(input.size())))};
}

// Whether `member` names one of the two visible lists. The page asks for no
// other, but nothing it sends may reach past them.
bool visible(int member)
{
    return session && (member == 0 || member == 1);
}

int16_t listMember(int member)
{
    return static_cast<int16_t>(member);
}

} // namespace
} // namespace drelvan

using drelvan::session;

extern "C" {

// Where the page writes a text of up to dv_input_size() UTF-16 code units.
EMSCRIPTEN_KEEPALIVE char16_t* dv_input() { return drelvan::input.data(); }
EMSCRIPTEN_KEEPALIVE int dv_input_size() { return static_cast<int>(drelvan::input.size()); }

// Where the page writes an exercise that the reader's module packed, of
// `units` UTF-16 code units; dv_open() reads it.
EMSCRIPTEN_KEEPALIVE char16_t* dv_exercise(int units)
{
    drelvan::packedExercise.assign(static_cast<std::size_t>(std::max(units, 0)), u'\0');
    return drelvan::packedExercise.data();
}

// Opens the exercise written to dv_exercise() in place of the game in play
// (returns 1). Returns 0, the game going on untouched, where it is not a
// whole exercise.
EMSCRIPTEN_KEEPALIVE int dv_open()
{
    std::optional<drelvan::Exercise> exercise = drelvan::unpackExercise(drelvan::packedExercise);
    std::u16string().swap(drelvan::packedExercise);
    if (!session || !exercise)
        return 0;
    session->open(std::move(*exercise));
    return 1;
}

EMSCRIPTEN_KEEPALIVE void dv_start()
{
    if (!session) {
        session.emplace(drelvan::frontEnd);
        session->showAll();
    }
}

// A key pressed on a list, by its DOM name (KeyboardEvent.key, written to
// dv_input()). Returns 1 where the list took it, 0 where the page is to
// leave it to the browser (Tab, Alt with an arrow, keys that are no list's).
EMSCRIPTEN_KEEPALIVE int dv_key(int member, int units, int shift, int control, int alt)
{
    if (!drelvan::visible(member))
        return 0;
    const std::optional<drelvan::listrules::ListKey> key = drelvan::web::listKey(drelvan::inputText(units));
    if (!key)
        return 0;
    const drelvan::Modifiers modifiers{shift != 0, control != 0, alt != 0};
    return session->key(drelvan::listMember(member), *key, modifiers) ? 1 : 0;
}

// The text one key typed on a list (written to dv_input()), at `milliseconds`
// (the event's time stamp). Returns 1 where it was a letter to search with.
EMSCRIPTEN_KEEPALIVE int dv_type(int member, int units, double milliseconds)
{
    if (!drelvan::visible(member))
        return 0;
    return session->type(drelvan::listMember(member), drelvan::inputText(units),
                         static_cast<std::int64_t>(milliseconds))
        ? 1
        : 0;
}

// The pointer on a list, by the row of the list's box it is on (0 the first
// row shown; beyond the rows shown it is on no entry).
EMSCRIPTEN_KEEPALIVE void dv_press(int member, int line)
{
    if (drelvan::visible(member))
        session->press(drelvan::listMember(member), session->list(drelvan::listMember(member)).rowAtLine(line));
}

EMSCRIPTEN_KEEPALIVE void dv_drag(int member, int line)
{
    if (drelvan::visible(member))
        session->drag(drelvan::listMember(member), session->list(drelvan::listMember(member)).rowAtLine(line));
}

EMSCRIPTEN_KEEPALIVE void dv_release(int member)
{
    if (drelvan::visible(member))
        session->release(drelvan::listMember(member));
}

// A tap: the press and the release at once.
EMSCRIPTEN_KEEPALIVE void dv_tap(int member, int line)
{
    dv_press(member, line);
    dv_release(member);
}

// The wheel, in units of 120 a notch, positive towards the top.
EMSCRIPTEN_KEEPALIVE void dv_wheel(int member, int delta)
{
    if (drelvan::visible(member))
        session->wheel(drelvan::listMember(member), delta);
}

// The learner moved the scroll bar: `top` is the first row now in sight.
EMSCRIPTEN_KEEPALIVE void dv_scroll(int member, int top)
{
    if (drelvan::visible(member))
        session->scrollTo(drelvan::listMember(member), top);
}

EMSCRIPTEN_KEEPALIVE void dv_focus(int member, int in)
{
    if (drelvan::visible(member))
        session->focus(drelvan::listMember(member), in != 0);
}

EMSCRIPTEN_KEEPALIVE void dv_rows(int member, int rows)
{
    if (drelvan::visible(member))
        session->setRowsShown(drelvan::listMember(member), rows);
}

// An entry chosen by a screen reader (its click on an option).
EMSCRIPTEN_KEEPALIVE void dv_pick(int member, int row)
{
    if (drelvan::visible(member))
        session->pick(drelvan::listMember(member), row);
}

// Empties the model's list `member` (0 to 4, the hidden ones too). Only the
// page's tests call it, to stage a handler's failure: with the notes gone
// (4), a right pair cannot be rewarded.
EMSCRIPTEN_KEEPALIVE void dv_clear(int member)
{
    if (session && member >= 0 && member <= 4)
        session->model().List1(static_cast<int16_t>(member)).Clear();
}

// "Чисти", by the pointer or by Space or Enter on the button.
EMSCRIPTEN_KEEPALIVE void dv_reset()
{
    if (session)
        session->reset();
}

} // extern "C"
