// A learner who plays the Windows window at random, through the controls'
// messages and the keyboard's real input: presses, double presses and drags
// anywhere in the two lists, the moving keys with Shift, Ctrl or Alt, typed
// letters, the wheel and the scroll bars, a screen reader's pick, Tab, the
// reset button by pointer and keys, and keys and edits in the verdict box.
// After each step the window is held to the rules of the game that the Qt
// window's learner holds it to (learner/invariants.hpp), and what the lists
// draw to the place the session gave them.
//
// The same seed plays the same game. To rerun a failure, or to play longer:
//
//     DRELVAN_SEED=3 DRELVAN_ACTIONS=100000 scripts/wine-run build-windows/tests/win32/tst_win32_learner.exe
#define DOCTEST_CONFIG_IMPLEMENT_WITH_MAIN
#include "expected.hpp"
#include "learner/invariants.hpp"
#include "win32/readback.hpp"

#include "win32/quizwindow.hpp"

#include <windows.h>
#include <windowsx.h>

#include <array>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <deque>
#include <random>

using drelvan::win32::QuizWindow;
namespace learner = drelvan::learner;

namespace {

constexpr int defaultActions = 2000;
constexpr std::size_t loggedActions = 40;

int fromEnvironment(const char* name, int fallback)
{
    const char* value = std::getenv(name);
    return value && *value ? std::atoi(value) : fallback;
}

// An error box would wait for a learner who is not there: the test sees it
// being made and stops it, and the learner's referee hears of it.
bool failureShown = false;

LRESULT CALLBACK watchForBoxes(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_CREATEWND) {
        wchar_t name[16] = L"";
        GetClassNameW(reinterpret_cast<HWND>(wParam), name, 16);
        if (std::wstring(name) == L"#32770") {
            failureShown = true;
            return 1;
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

enum class Kind { Press, DoublePress, Drag, Key, RealKey, Type, ScreenReader, Wheel, ScrollBar, Tab, Verdict, Reset };

// One action as drawn from the seed. Every action draws the same count of
// numbers, so a seed gives the same actions whatever the window does; where
// they land depends on the game so far.
struct Draw {
    Kind kind;
    int member;
    std::uint32_t a, b, c;
};

Draw draw(std::mt19937& random)
{
    // Weights per hundred, in the order of Kind.
    static std::discrete_distribution<int> kinds{20, 6, 6, 14, 6, 12, 5, 5, 5, 7, 10, 4};
    const auto kind = static_cast<Kind>(kinds(random));
    const int member = static_cast<int>(random() % 2);
    const std::uint32_t a = random(), b = random(), c = random();
    return {kind, member, a, b, c};
}

std::string number(std::uint32_t n)
{
    return std::to_string(n);
}

class Learner {
public:
    // The khans' catalogue, or none for a teacher's pairs, whose verdicts
    // put `join` between the two texts.
    Learner(QuizWindow& window, std::uint32_t seed, learner::Catalogue catalogue, std::u16string join)
        : window_(window), random_(seed), seed_(seed), referee_(std::move(catalogue), std::move(join)),
          controls_{item(QuizWindow::verdictId), item(QuizWindow::namesId), item(QuizWindow::periodsId),
                    item(QuizWindow::resetId)}
    {
    }

    // Returns what went wrong, empty for nothing.
    std::string play(int actions);
    std::string recentActions() const;
    int checks() const { return referee_.checks(); }

private:
    HWND item(int id) const { return GetDlgItem(window_.hwnd(), id); }
    HWND list(int member) const { return controls_[static_cast<std::size_t>(member + 1)]; }

    void act(const Draw& action);
    std::string settle();
    learner::Screen screen() const;
    learner::ListSeen seen(int member) const;

    void press(const Draw& action);
    void doublePress(const Draw& action);
    void drag(const Draw& action);
    void key(const Draw& action);
    void realKey(const Draw& action);
    void type(const Draw& action);
    void screenReader(const Draw& action);
    void wheel(const Draw& action);
    void scrollBar(const Draw& action);
    void tab(const Draw& action);
    void verdict(const Draw& action);
    void reset(const Draw& action);

    POINT pointIn(int member, std::uint32_t how, std::uint32_t x, std::uint32_t y) const;
    std::optional<std::u16string> drawnAt(int member, POINT at) const;
    void mouse(HWND control, UINT message, POINT at);
    void keyMessage(HWND control, WORD virtualKey, bool shift, bool ctrl, bool alt = false);
    void focus(int place);
    void pump();

    QuizWindow& window_;
    std::mt19937 random_;
    std::uint32_t seed_;
    learner::Referee referee_;
    // In Tab's order: verdict box, names, periods, reset button.
    std::array<HWND, 4> controls_;
    int expectedFocus_ = learner::VerdictBox;
    learner::Step step_;
    std::string current_;
    int actionNumber_ = 0;
    std::deque<std::string> recent_;
    std::string wrong_;
};

std::string Learner::play(int actions)
{
    wrong_ = referee_.start(window_.form());
    if (wrong_.empty())
        wrong_ = settle();
    for (int i = 0; i < actions && wrong_.empty(); ++i) {
        ++actionNumber_;
        current_ = std::to_string(actionNumber_) + ' ';
        referee_.beginAction();
        step_ = {};
        act(draw(random_));
        if (wrong_.empty()) {
            pump();
            wrong_ = settle();
        }
        recent_.push_back(current_);
        if (recent_.size() > loggedActions)
            recent_.pop_front();
    }
    return wrong_;
}

std::string Learner::recentActions() const
{
    std::string text = "seed " + number(seed_) + ", action " + std::to_string(actionNumber_) + "; rerun with DRELVAN_SEED="
                       + number(seed_) + " DRELVAN_ACTIONS=" + std::to_string(actionNumber_) + "\nthe last actions:\n";
    for (const std::string& line : recent_)
        text += "  " + line + '\n';
    return text;
}

void Learner::act(const Draw& action)
{
    switch (action.kind) {
    case Kind::Press: return press(action);
    case Kind::DoublePress: return doublePress(action);
    case Kind::Drag: return drag(action);
    case Kind::Key: return key(action);
    case Kind::RealKey: return realKey(action);
    case Kind::Type: return type(action);
    case Kind::ScreenReader: return screenReader(action);
    case Kind::Wheel: return wheel(action);
    case Kind::ScrollBar: return scrollBar(action);
    case Kind::Tab: return tab(action);
    case Kind::Verdict: return verdict(action);
    case Kind::Reset: return reset(action);
    }
}

// One step of an action is over: the referee holds the window to the game,
// and the lists are drawn where the session placed them.
std::string Learner::settle()
{
    current_ += drelvan::toUtf8(referee_.takeNote());
    std::string wrong = referee_.settle(step_, window_.form(), screen(), expectedFocus_);
    current_ += drelvan::toUtf8(referee_.takeNote());
    for (int16_t member = 0; member < 2 && wrong.empty(); ++member) {
        const drelvan::ListController& placed = window_.session().list(member);
        if (sent(list(member), LB_GETTOPINDEX) != placed.top())
            wrong = std::string(learner::Referee::listNames[member]) + " shows from row "
                    + std::to_string(sent(list(member), LB_GETTOPINDEX)) + ", the session from "
                    + std::to_string(placed.top());
        else if (placed.caret() >= 0 && placed.count() > 0 && sent(list(member), LB_GETCARETINDEX) != placed.caret())
            wrong = std::string(learner::Referee::listNames[member]) + " has its focus mark on "
                    + std::to_string(sent(list(member), LB_GETCARETINDEX)) + ", the session on "
                    + std::to_string(placed.caret());
    }
    step_ = {};
    return wrong;
}

learner::ListSeen Learner::seen(int member) const
{
    HWND control = list(member);
    learner::ListSeen seen;
    seen.entries = entriesShown(control);
    seen.selected = sent(control, LB_GETCURSEL);
    // An empty list box still answers a focus mark; it draws none.
    seen.caret = seen.entries.empty() ? -1 : sent(control, LB_GETCARETINDEX);
    seen.top = sent(control, LB_GETTOPINDEX);
    RECT client{};
    GetClientRect(control, &client);
    const int rowHeight = sent(control, LB_GETITEMHEIGHT);
    seen.wholeRows = rowHeight > 0 ? static_cast<int>(client.bottom) / rowHeight : 0;
    for (std::size_t row = 0; row < seen.entries.size(); ++row) {
        RECT r{};
        sent(control, LB_GETITEMRECT, row, reinterpret_cast<LPARAM>(&r));
        seen.inView.push_back(r.top >= 0 && r.bottom <= client.bottom);
    }
    seen.focused = GetFocus() == control;
    return seen;
}

learner::Screen Learner::screen() const
{
    learner::Screen screen;
    screen.lists = {seen(0), seen(1)};
    screen.verdict = textOf(controls_[0]);
    const auto at = std::find(controls_.begin(), controls_.end(), GetFocus());
    screen.focus = at == controls_.end() ? learner::Elsewhere : static_cast<int>(at - controls_.begin());
    screen.failureShown = failureShown;
    return screen;
}

// Whatever the window posted to itself is handled before the learner looks.
void Learner::pump()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
        if (!window_.navigate(message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
}

// A point on an entry in view, below the entries, or anywhere in the list.
POINT Learner::pointIn(int member, std::uint32_t how, std::uint32_t x, std::uint32_t y) const
{
    HWND control = list(member);
    RECT client{};
    GetClientRect(control, &client);
    const auto width = static_cast<std::uint32_t>(client.right), height = static_cast<std::uint32_t>(client.bottom);
    POINT point{static_cast<LONG>(x % width), static_cast<LONG>(y % height)};
    const int count = sent(control, LB_GETCOUNT);
    RECT last{};
    sent(control, LB_GETITEMRECT, static_cast<WPARAM>(count - 1), reinterpret_cast<LPARAM>(&last));
    const LONG below = count == 0 ? 0 : last.bottom;
    if (how % 4 == 1 && below >= 0 && below < client.bottom) {
        point.y = below + static_cast<LONG>(y % static_cast<std::uint32_t>(client.bottom - below));
    } else if (how % 4 >= 2 && count > 0) {
        const int shown = std::max(1, std::min(count - sent(control, LB_GETTOPINDEX), static_cast<int>(height) / std::max(1, sent(control, LB_GETITEMHEIGHT))));
        RECT entry{};
        const int row = sent(control, LB_GETTOPINDEX) + static_cast<int>(x % static_cast<std::uint32_t>(shown));
        sent(control, LB_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&entry));
        point.y = entry.top + static_cast<LONG>((y >> 16) % static_cast<std::uint32_t>(std::max(1L, entry.bottom - entry.top)));
    }
    return point;
}

// The entry drawn under the point, as the learner sees it; none where there
// is no entry.
std::optional<std::u16string> Learner::drawnAt(int member, POINT at) const
{
    HWND control = list(member);
    const std::vector<std::u16string> entries = entriesShown(control);
    for (std::size_t row = 0; row < entries.size(); ++row) {
        RECT r{};
        sent(control, LB_GETITEMRECT, row, reinterpret_cast<LPARAM>(&r));
        if (PtInRect(&r, at))
            return entries[row];
    }
    return std::nullopt;
}

void Learner::mouse(HWND control, UINT message, POINT at)
{
    SendMessageW(control, message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, MAKELPARAM(at.x, at.y));
}

// A key as the window's message loop gets it, with the modifiers held as
// the keyboard's state says.
void Learner::keyMessage(HWND control, WORD virtualKey, bool shift, bool ctrl, bool alt)
{
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_SHIFT] = shift ? 0x80 : 0;
    keys[VK_CONTROL] = ctrl ? 0x80 : 0;
    keys[VK_MENU] = alt ? 0x80 : 0;
    SetKeyboardState(keys);
    for (const bool up : {false, true}) {
        const UINT message = alt ? (up ? WM_SYSKEYUP : WM_SYSKEYDOWN) : (up ? WM_KEYUP : WM_KEYDOWN);
        MSG m{control, message, virtualKey, (up ? 0xC0000001 : 1) | (alt ? 0x20000000 : 0), 0, {}};
        if (!window_.navigate(m)) {
            TranslateMessage(&m);
            DispatchMessageW(&m);
        }
        pump();
    }
    keys[VK_SHIFT] = keys[VK_CONTROL] = keys[VK_MENU] = 0;
    SetKeyboardState(keys);
}

// The learner's hand goes to a control before the keys do.
void Learner::focus(int place)
{
    expectedFocus_ = place;
    HWND control = controls_[static_cast<std::size_t>(place)];
    if (GetFocus() != control)
        SetFocus(control);
}

void Learner::press(const Draw& action)
{
    HWND control = list(action.member);
    const POINT at = pointIn(action.member, action.a, action.b, action.c);
    current_ += std::string("press ") + learner::Referee::listNames[action.member] + " at (" + std::to_string(at.x) + ','
                + std::to_string(at.y) + ')';
    expectedFocus_ = action.member + 1;
    step_ = {action.member, false, true, drawnAt(action.member, at)};
    mouse(control, WM_LBUTTONDOWN, at);
    mouse(control, WM_LBUTTONUP, at);
}

// The second press of a double press lands on what is drawn under the
// pointer by then: if the first made a pair and took its entry away, on the
// entry that moved up.
void Learner::doublePress(const Draw& action)
{
    press(action);
    if (!(wrong_ = settle()).empty())
        return;
    HWND control = list(action.member);
    const POINT at = pointIn(action.member, action.a, action.b, action.c);
    current_ += ", again";
    step_ = {action.member, false, true, drawnAt(action.member, at)};
    mouse(control, WM_LBUTTONDBLCLK, at);
    mouse(control, WM_LBUTTONUP, at);
}

// A press and the pointer dragged, the button held, to another point; what
// the drag picks depends on what the press made of the game, so only the
// press is aimed.
void Learner::drag(const Draw& action)
{
    HWND control = list(action.member);
    const POINT from = pointIn(action.member, action.a, action.b, action.c);
    const POINT to = pointIn(action.member, action.a >> 8, action.c, action.b);
    current_ += std::string("drag in ") + learner::Referee::listNames[action.member] + " from (" + std::to_string(from.x)
                + ',' + std::to_string(from.y) + ") to (" + std::to_string(to.x) + ',' + std::to_string(to.y) + ')';
    expectedFocus_ = action.member + 1;
    step_ = {action.member, false, true, drawnAt(action.member, from)};
    mouse(control, WM_LBUTTONDOWN, from);
    if (!(wrong_ = settle()).empty())
        return;
    step_.member = action.member;
    mouse(control, WM_MOUSEMOVE, to);
    mouse(control, WM_LBUTTONUP, to);
}

struct NamedKey {
    WORD key;
    const char* name;
};
constexpr NamedKey movingKeys[] = {
    {VK_UP, "Up"},          {VK_DOWN, "Down"},          {VK_LEFT, "Left"}, {VK_RIGHT, "Right"}, {VK_HOME, "Home"},
    {VK_END, "End"},        {VK_PRIOR, "Page Up"},      {VK_NEXT, "Page Down"}, {VK_SPACE, "Space"},
};

void Learner::key(const Draw& action)
{
    const NamedKey& key = movingKeys[action.a % std::size(movingKeys)];
    // Alt with Space would open the window's menu, which is the window's.
    const bool shift = action.b % 4 == 1, ctrl = action.b % 4 == 2, alt = action.b % 8 == 3 && key.key != VK_SPACE;
    focus(action.member + 1);
    current_ += std::string(shift ? "Shift+" : "") + (ctrl ? "Ctrl+" : "") + (alt ? "Alt+" : "") + key.name + " in "
                + learner::Referee::listNames[action.member];
    step_.member = action.member;
    keyMessage(list(action.member), key.key, shift, ctrl, alt);
}

// A key pressed on the keyboard, through the window system, Ctrl held or
// not: the window reads the modifier's state as the system keeps it.
void Learner::realKey(const Draw& action)
{
    const NamedKey& key = movingKeys[action.a % std::size(movingKeys)];
    const bool ctrl = action.b % 2;
    focus(action.member + 1);
    current_ += std::string("keyboard ") + (ctrl ? "Ctrl+" : "") + key.name + " in "
                + learner::Referee::listNames[action.member];
    step_.member = action.member;
    std::vector<INPUT> input;
    const auto stroke = [&](WORD virtualKey, DWORD flags) {
        INPUT i{};
        i.type = INPUT_KEYBOARD;
        i.ki.wVk = virtualKey;
        i.ki.dwFlags = flags;
        input.push_back(i);
    };
    if (ctrl)
        stroke(VK_CONTROL, 0);
    stroke(key.key, 0);
    stroke(key.key, KEYEVENTF_KEYUP);
    if (ctrl)
        stroke(VK_CONTROL, KEYEVENTF_KEYUP);
    SendInput(static_cast<UINT>(input.size()), input.data(), sizeof(INPUT));
    // The keys come through the window system's queue: handled once it is
    // empty, and within a time limit.
    const DWORD until = GetTickCount() + 5000;
    do
        pump();
    while (GetQueueStatus(QS_INPUT) && GetTickCount() < until);
}

// Letters typed into a list in one burst, so quickly that they make one
// search: a new one, since the learner first comes to the list from the
// verdict box. Each letter is a step of its own: the first may make a
// check. Which entry they find is the list rules' business.
void Learner::type(const Draw& action)
{
    static const std::u16string letters[] = {u"А", u"В", u"К", u"М", u"О", u"П", u"С", u"Т",
                                             u"к", u"т", u"с", u"Я", u"Ж", u"I", u"о", u"е"};
    static const std::u16string digits[] = {u"6", u"7", u"8", u"5", u"0", u"3", u" ", u"-"};
    const bool names = action.member == 0;
    std::u16string typed = names ? letters[action.a % 16] : digits[action.a % 8];
    // On with the next letter of an entry that fits what was typed.
    const std::vector<std::u16string> entries = entriesShown(list(action.member));
    for (std::uint32_t more = action.b % 4, pick = action.c; more > 0; --more, pick /= 7) {
        std::vector<char16_t> next;
        for (const std::u16string& entry : entries)
            if (entry.size() > typed.size() && std::u16string_view(entry).substr(0, typed.size()) == typed)
                next.push_back(entry[typed.size()]);
        if (next.empty())
            break;
        typed += next[pick % next.size()];
    }
    focus(learner::VerdictBox);
    focus(action.member + 1);
    current_ += "type \"" + drelvan::toUtf8(typed) + "\" in " + learner::Referee::listNames[action.member];
    for (std::size_t i = 0; i < typed.size() && wrong_.empty(); ++i) {
        if (i > 0)
            wrong_ = settle();
        step_.member = action.member;
        SendMessageW(list(action.member), WM_CHAR, typed[i], 1);
    }
}

// A screen reader selects one of the entries it reads out, and the list
// tells the window; the keyboard focus stays where it is.
void Learner::screenReader(const Draw& action)
{
    HWND control = list(action.member);
    const int count = sent(control, LB_GETCOUNT);
    current_ += std::string("screen reader selects in ") + learner::Referee::listNames[action.member];
    if (count == 0)
        return;
    const int row = static_cast<int>(action.a % static_cast<std::uint32_t>(count));
    current_ += " entry " + std::to_string(row);
    step_ = {action.member, false, true, entriesShown(control)[static_cast<std::size_t>(row)]};
    sent(control, LB_SETCURSEL, static_cast<WPARAM>(row));
    SendMessageW(window_.hwnd(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(control), LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(control));
}

// A notch of the wheel or part of one, over a list or the verdict box.
void Learner::wheel(const Draw& action)
{
    static constexpr int deltas[] = {WHEEL_DELTA, -WHEEL_DELTA, 2 * WHEEL_DELTA, -40, 40, -3 * WHEEL_DELTA};
    const int delta = deltas[action.a % std::size(deltas)];
    const bool overVerdict = action.b % 4 == 3;
    HWND control = overVerdict ? controls_[0] : list(action.member);
    current_ += "wheel " + std::to_string(delta) + " over "
                + (overVerdict ? std::string("the verdict box") : learner::Referee::listNames[action.member]);
    step_.member = overVerdict ? -1 : action.member;
    SendMessageW(control, WM_MOUSEWHEEL, MAKEWPARAM(0, delta), 0);
}

// The list's own scroll bar: its arrows, its page areas, its thumb dragged.
void Learner::scrollBar(const Draw& action)
{
    static constexpr std::pair<WORD, const char*> parts[] = {
        {SB_LINEUP, "line up"},   {SB_LINEDOWN, "line down"}, {SB_PAGEUP, "page up"}, {SB_PAGEDOWN, "page down"},
        {SB_TOP, "top"},          {SB_BOTTOM, "bottom"},      {SB_THUMBTRACK, "thumb to"},
    };
    const auto& [part, name] = parts[action.a % std::size(parts)];
    HWND control = list(action.member);
    const int position = static_cast<int>(action.b % 17);
    current_ += std::string("scroll bar of ") + learner::Referee::listNames[action.member] + ": " + name;
    if (part == SB_THUMBTRACK)
        current_ += ' ' + std::to_string(position);
    step_.member = action.member;
    SendMessageW(control, WM_VSCROLL, MAKEWPARAM(part, position), 0);
    if (part == SB_THUMBTRACK)
        SendMessageW(control, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, position), 0);
    SendMessageW(control, WM_VSCROLL, MAKEWPARAM(SB_ENDSCROLL, 0), 0);
}

// Tab goes round verdict box, names, periods, reset button; Shift+Tab back.
void Learner::tab(const Draw& action)
{
    const bool back = action.a % 2;
    current_ += back ? "Shift+Tab" : "Tab";
    const auto at = std::find(controls_.begin(), controls_.end(), GetFocus());
    if (at == controls_.end()) {
        wrong_ = "the keyboard focus is off the Tab order";
        return;
    }
    expectedFocus_ = static_cast<int>((at - controls_.begin() + (back ? 3 : 1)) % 4);
    keyMessage(*at, VK_TAB, back, false);
}

// The verdict box takes the focus and lets its text be selected and copied,
// but nothing typed, pasted or deleted changes it.
void Learner::verdict(const Draw& action)
{
    focus(learner::VerdictBox);
    HWND box = controls_[0];
    switch (action.a % 6) {
    case 0:
        current_ += "type in the verdict box";
        for (char16_t unit : std::u16string_view(u"Крум x\r\b"))
            SendMessageW(box, WM_CHAR, unit, 1);
        break;
    case 1:
        current_ += "Delete, Backspace and Enter in the verdict box";
        for (WORD key : {VK_DELETE, VK_BACK, VK_RETURN})
            keyMessage(box, key, false, false);
        break;
    case 2:
        current_ += "Ctrl+A, Ctrl+C, Ctrl+V in the verdict box";
        for (WORD key : {WORD('A'), WORD('C'), WORD('V')})
            keyMessage(box, key, false, true);
        break;
    default: {
        static constexpr std::pair<UINT, const char*> edits[] = {{WM_CUT, "cut"}, {WM_PASTE, "paste"}, {WM_CLEAR, "clear"}};
        const auto& [edit, name] = edits[action.a % 3];
        current_ += std::string(name) + " in the verdict box";
        SendMessageW(box, EM_SETSEL, action.b % 200, action.c % 1200);
        SendMessageW(box, edit, 0, 0);
        break;
    }
    }
}

void Learner::reset(const Draw& action)
{
    step_.reset = true;
    HWND button = controls_[3];
    switch (action.a % 3) {
    case 0: {
        current_ += "press the reset button";
        expectedFocus_ = learner::ResetButton;
        const POINT middle{4, 4};
        mouse(button, WM_LBUTTONDOWN, middle);
        mouse(button, WM_LBUTTONUP, middle);
        break;
    }
    default:
        current_ += action.a % 3 == 1 ? "Space on the reset button" : "Enter on the reset button";
        focus(learner::ResetButton);
        keyMessage(button, action.a % 3 == 1 ? VK_SPACE : VK_RETURN, false, false);
        break;
    }
}

struct Shown {
    QuizWindow window;
    explicit Shown(const std::optional<std::filesystem::path>& file)
    {
        if (file)
            REQUIRE(window.openFile(*file));
        window.show(SW_SHOWNORMAL);
        SetForegroundWindow(window.hwnd());
    }
};

void playGame(std::uint32_t seed, int actions, const std::optional<std::filesystem::path>& file = std::nullopt)
{
    CAPTURE(seed);
    Shown shown(file);
    const bool khans = !file;
    Learner learner(shown.window, seed, khans ? learner::Catalogue{chronologicalNames, alphabeticalNames, periods}
                                              : learner::Catalogue{},
                    khans ? u" период " : u" превод ");
    const std::string wrong = learner.play(actions);
    INFO(learner.recentActions());
    CHECK_MESSAGE(wrong.empty(), wrong);
    // The game got somewhere: pairs were judged, not just clicked past.
    if (wrong.empty() && actions >= 1000)
        CHECK(learner.checks() > actions / 20);
}

} // namespace

TEST_CASE("a random learner plays the window")
{
    HHOOK hook = SetWindowsHookExW(WH_CBT, watchForBoxes, nullptr, GetCurrentThreadId());
    REQUIRE(hook);
    const int seed = fromEnvironment("DRELVAN_SEED", 0);
    const int actions = fromEnvironment("DRELVAN_ACTIONS", 0);
    if (seed || actions) {
        playGame(static_cast<std::uint32_t>(seed ? seed : 1), actions ? actions : defaultActions);
    } else {
        for (std::uint32_t s : {1u, 2u})
            playGame(s, defaultActions);
    }
    UnhookWindowsHookEx(hook);
}

// 200 pairs of a teacher's file, the right texts each ten times over, some
// of them too wide for their list.
std::filesystem::path twoHundredPairs()
{
    const auto path = std::filesystem::temp_directory_path() / L"Двеста думи.tsv";
    std::ofstream file(path, std::ios::binary);
    file << "Дума\tПревод\tБележка\n";
    for (int row = 1; row <= 200; ++row) {
        file << "дума " << row << (row % 37 == 0 ? " с много дълго продължение, което не се побира" : "") << '\t'
             << "превод " << row % 20 << (row % 20 == 7 ? " на дълъг ред, по-широк от списъка" : "") << '\t'
             << (row % 3 ? "" : "бележка") << '\n';
    }
    return path;
}

TEST_CASE("a random learner plays a teacher's pairs")
{
    HHOOK hook = SetWindowsHookExW(WH_CBT, watchForBoxes, nullptr, GetCurrentThreadId());
    REQUIRE(hook);
    const int seed = fromEnvironment("DRELVAN_SEED", 3);
    playGame(static_cast<std::uint32_t>(seed), fromEnvironment("DRELVAN_ACTIONS", defaultActions), twoHundredPairs());
    UnhookWindowsHookEx(hook);
}
