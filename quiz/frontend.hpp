#pragma once

#include "controls/form.hpp"
#include "controls/listcontroller.hpp"

#include <cstdint>
#include <string_view>

namespace drelvan {

// What a front-end provides to show the quiz: the learner's Session tells it,
// after each action, what changed and nothing else. A front-end keeps no
// state of the quiz or of its lists; it draws what it is told.
class FrontEnd {
public:
    virtual ~FrontEnd() = default;

    // The texts around the lists are to show the form's: its caption as the
    // window's title, and Label1(0..2), the quiz's title and the captions
    // over the two lists (which also name the lists to a screen reader).
    // Told at the start and whenever another exercise is opened.
    virtual void showCaptions(const Form& form) = 0;
    // Visible list `member` (0 names, 1 periods) is to show `list`.
    virtual void showList(int16_t member, const ListShown& list) = 0;
    // The verdict box is to show `text` (lines broken by CR LF) from its
    // first line.
    virtual void showVerdict(std::u16string_view text) = 0;
    // A check has just written `verdict`, or another exercise has opened: a
    // screen reader is to speak it, without the focus moving.
    virtual void announce(std::u16string_view verdict) = 0;
    // A handler failed with `message` (technical, in English); the learner
    // is to be told, and the quiz goes on. Called once the screen shows the
    // model again.
    virtual void reportFailure(std::string_view message) = 0;
};

} // namespace drelvan
