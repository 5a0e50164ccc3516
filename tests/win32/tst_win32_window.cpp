// The Windows window as the learner meets it, read back through the
// controls' own messages and driven through them and through real input.
// CTest runs it at 96 and at 192 dpi (DRELVAN_WINE_DPI).
#define DOCTEST_CONFIG_IMPLEMENT_WITH_MAIN
#include "expected.hpp"

#include "content/catalogue.hpp"
#include "content/texts.hpp"
#include "win32/quizwindow.hpp"

#include <windows.h>
#include <oleacc.h>

#include <cwchar>

using drelvan::win32::QuizWindow;

namespace {

UINT expectedDpi()
{
    wchar_t value[16] = L"";
    GetEnvironmentVariableW(L"DRELVAN_WINE_DPI", value, 16);
    return value[0] ? static_cast<UINT>(std::wcstoul(value, nullptr, 10)) : 96;
}

std::u16string textOf(HWND control)
{
    std::u16string text(static_cast<std::size_t>(GetWindowTextLengthW(control)) + 1, u'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(control, reinterpret_cast<wchar_t*>(text.data()), static_cast<int>(text.size()))));
    return text;
}

Texts entriesShown(HWND list)
{
    Texts entries;
    const auto count = SendMessageW(list, LB_GETCOUNT, 0, 0);
    for (WPARAM row = 0; row < static_cast<WPARAM>(count); ++row) {
        std::u16string entry(static_cast<std::size_t>(SendMessageW(list, LB_GETTEXTLEN, row, 0)) + 1, u'\0');
        entry.resize(static_cast<std::size_t>(SendMessageW(list, LB_GETTEXT, row, reinterpret_cast<LPARAM>(entry.data()))));
        entries.push_back(entry);
    }
    return entries;
}

int sent(HWND control, UINT message, WPARAM wParam = 0)
{
    return static_cast<int>(SendMessageW(control, message, wParam, 0));
}

// The window as a learner has it: shown, with its own message loop running.
struct Window {
    QuizWindow quiz;
    HWND verdict, names, periods, reset;

    Window()
    {
        quiz.show(SW_SHOWNORMAL);
        SetForegroundWindow(quiz.hwnd());
        verdict = GetDlgItem(quiz.hwnd(), QuizWindow::verdictId);
        names = GetDlgItem(quiz.hwnd(), QuizWindow::namesId);
        periods = GetDlgItem(quiz.hwnd(), QuizWindow::periodsId);
        reset = GetDlgItem(quiz.hwnd(), QuizWindow::resetId);
        pump();
    }
    HWND list(int member) const { return member == 0 ? names : periods; }

    // Runs the message loop for a while: real input comes through the
    // window system, a little later than it was sent.
    void pump(DWORD forMs = 0)
    {
        const DWORD until = GetTickCount() + forMs;
        do {
            MSG message;
            while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
                if (!quiz.navigate(message)) {
                    TranslateMessage(&message);
                    DispatchMessageW(&message);
                }
            if (forMs)
                Sleep(10);
        } while (GetTickCount() < until);
    }

    // A key as the window's message loop gets it, Tab and Enter included.
    void key(WORD virtualKey, bool shift = false)
    {
        BYTE keys[256];
        GetKeyboardState(keys);
        keys[VK_SHIFT] = shift ? 0x80 : 0;
        SetKeyboardState(keys);
        for (UINT message : {WM_KEYDOWN, WM_KEYUP}) {
            MSG m{GetFocus(), message, virtualKey, message == WM_KEYUP ? 0xC0000001 : 1, 0, {}};
            if (!quiz.navigate(m)) {
                TranslateMessage(&m);
                DispatchMessageW(&m);
            }
            pump();
        }
        keys[VK_SHIFT] = 0;
        SetKeyboardState(keys);
    }

    void type(HWND control, std::u16string_view text)
    {
        for (char16_t c : text)
            SendMessageW(control, WM_CHAR, c, 1);
    }

    // The pointer on a row: the list is scrolled to it first, as a learner
    // would with the scroll bar.
    LPARAM pointAt(HWND list, int row, bool scroll = true)
    {
        if (scroll)
            SendMessageW(list, LB_SETTOPINDEX, static_cast<WPARAM>(row), 0);
        RECT r{};
        SendMessageW(list, LB_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&r));
        return MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    }
    void click(HWND list, std::u16string_view entry)
    {
        const int row = indexOf(entriesShown(list), entry);
        REQUIRE_MESSAGE(row >= 0, utf8(entry));
        const LPARAM at = pointAt(list, row);
        SendMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageW(list, WM_LBUTTONUP, 0, at);
    }

    // Every control shows its model: the entries in the model's order, its
    // selection, the verdict to the code unit.
    void checkMirrors()
    {
        drelvan::Form& form = quiz.form();
        for (int16_t member : {int16_t(0), int16_t(1)}) {
            CAPTURE(member);
            CHECK(entriesShown(list(member)) == entriesOf(form.List1(member)));
            CHECK(sent(list(member), LB_GETCURSEL) == form.List1(member).ListIndex());
        }
        CHECK(textOf(verdict) == form.Text1(0).Text());
    }
};

std::u16string noteOf(std::u16string_view name)
{
    for (const drelvan::Ruler& ruler : drelvan::catalogue)
        if (ruler.name == name)
            return std::u16string(ruler.note);
    return {};
}

// Pixels of the window's client area, as the screen shows them.
struct Capture {
    HDC memory = CreateCompatibleDC(nullptr);
    HBITMAP bitmap;
    Capture(HWND window)
    {
        RECT client;
        GetClientRect(window, &client);
        HDC screen = GetDC(window);
        bitmap = CreateCompatibleBitmap(screen, client.right, client.bottom);
        SelectObject(memory, bitmap);
        BitBlt(memory, 0, 0, client.right, client.bottom, screen, 0, 0, SRCCOPY);
        ReleaseDC(window, screen);
    }
    ~Capture()
    {
        DeleteDC(memory);
        DeleteObject(bitmap);
    }
    COLORREF at(int x, int y) const { return GetPixel(memory, x, y); }
};

RECT placeOf(HWND control)
{
    RECT r;
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

} // namespace

TEST_CASE("the window as created")
{
    Window w;
    const HWND window = w.quiz.hwnd();
    wchar_t className[32];
    GetClassNameW(window, className, 32);
    CHECK(std::wstring(className) == L"Drelvan");
    CHECK(textOf(window) == u"https://drelvan.example История - български ханове");

    // Children in the order of creation, which is Tab's order and tells a
    // screen reader which label names which list.
    struct Row {
        const wchar_t* kind;
        std::u16string_view text;
        DWORD styles;
    };
    const Row rows[] = {
        {L"Edit", {}, WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_READONLY},
        {L"Static", u"История - именник на българските ханове", SS_CENTER},
        {L"Static", u"Име на хан", SS_CENTER},
        {L"ListBox", {}, WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT},
        {L"Static", u"Период", SS_CENTER},
        {L"ListBox", {}, WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT},
        {L"Button", u"Чисти", WS_TABSTOP | BS_OWNERDRAW},
    };
    HWND child = GetWindow(window, GW_CHILD);
    for (const Row& row : rows) {
        REQUIRE(child);
        GetClassNameW(child, className, 32);
        CAPTURE(utf8(textOf(child).substr(0, 20)));
        CHECK(_wcsicmp(className, row.kind) == 0);
        if (!row.text.empty())
            CHECK(textOf(child) == std::u16string(row.text));
        const auto style = static_cast<DWORD>(GetWindowLongPtrW(child, GWL_STYLE));
        CHECK((style & row.styles) == row.styles);
        CHECK((style & WS_VISIBLE));
        if (row.kind == std::wstring(L"ListBox"))
            CHECK(!(style & (LBS_SORT | LBS_MULTIPLESEL | LBS_EXTENDEDSEL)));
        child = GetWindow(child, GW_HWNDNEXT);
    }
    CHECK(child == nullptr);

    CHECK(textOf(w.verdict) == std::u16string(drelvan::texts::openingText));
    CHECK(entriesShown(w.names) == alphabeticalNames);
    CHECK(entriesShown(w.periods) == periods);
    CHECK(sent(w.names, LB_GETCURSEL) == -1);
    CHECK(sent(w.periods, LB_GETCURSEL) == -1);
    CHECK(GetFocus() == w.verdict);

    const auto style = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE));
    CHECK((style & (WS_CAPTION | WS_SYSMENU)) == (WS_CAPTION | WS_SYSMENU));
    CHECK(!(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX)));
}

// Pixels at 96 dpi, each a twips figure of the layout / 15, and twice as many
// at 192 dpi.
TEST_CASE("geometry")
{
    Window w;
    const UINT dpi = expectedDpi();
    REQUIRE(GetDpiForWindow(w.quiz.hwnd()) == dpi);
    const int scale = static_cast<int>(dpi) / 96;
    RECT client;
    GetClientRect(w.quiz.hwnd(), &client);
    CHECK(client.right == 461 * scale);
    CHECK(client.bottom == 345 * scale);

    struct Row {
        int id;
        RECT at96;
    };
    const Row rows[] = {
        {QuizWindow::verdictId, {8, 216, 8 + 449, 216 + 121}},
        {QuizWindow::namesId, {88, 64, 88 + 129, 64 + 137}},
        {QuizWindow::periodsId, {256, 64, 256 + 97, 64 + 137}},
        {QuizWindow::resetId, {368, 40, 368 + 81, 40 + 25}},
        {QuizWindow::titleId, {64, 0, 64 + 305, 25}},
        {QuizWindow::namesCaptionId, {88, 40, 88 + 129, 40 + 25}},
        {QuizWindow::periodsCaptionId, {256, 40, 256 + 97, 40 + 25}},
    };
    for (const Row& row : rows) {
        CAPTURE(row.id);
        const RECT r = placeOf(GetDlgItem(w.quiz.hwnd(), row.id));
        CHECK(r.left == row.at96.left * scale);
        CHECK(r.top == row.at96.top * scale);
        CHECK(r.right == row.at96.right * scale);
        CHECK(r.bottom == row.at96.bottom * scale);
    }

    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(w.names, WM_GETFONT, 0, 0)), sizeof font, &font);
    CHECK(font.lfHeight == -16 * scale); // 12 pt
    CHECK(font.lfWeight == 400);
    CHECK(font.lfCharSet == 204);
    CHECK(!font.lfItalic);
    CHECK(!font.lfUnderline);
    CHECK(!font.lfStrikeOut);
    CHECK(std::wstring(font.lfFaceName) == L"Times New Roman");
}

// The layout and the font scale together when the window moves to a monitor
// of another dpi, and every text keeps room enough.
TEST_CASE("dpi changes")
{
    struct Row {
        UINT dpi;
        int width, height, fontHeight;
    };
    const Row rows[] = {{120, 576, 431, 20}, {144, 692, 518, 24}, {192, 922, 690, 32}, {96, 461, 345, 16}};
    Window w;
    for (const Row& row : rows) {
        CAPTURE(row.dpi);
        RECT suggested{10, 10, 20, 20};
        SendMessageW(w.quiz.hwnd(), WM_DPICHANGED, MAKEWPARAM(row.dpi, row.dpi), reinterpret_cast<LPARAM>(&suggested));
        RECT client;
        GetClientRect(w.quiz.hwnd(), &client);
        CHECK(client.right == row.width);
        CHECK(client.bottom == row.height);

        HWND child = GetWindow(w.quiz.hwnd(), GW_CHILD);
        for (; child; child = GetWindow(child, GW_HWNDNEXT)) {
            HFONT font = reinterpret_cast<HFONT>(SendMessageW(child, WM_GETFONT, 0, 0));
            LOGFONTW face{};
            GetObjectW(font, sizeof face, &face);
            CHECK(face.lfHeight == -row.fontHeight);
            // Captions and entries fit their controls, on one line.
            Texts texts = entriesShown(child);
            wchar_t className[32];
            GetClassNameW(child, className, 32);
            if (_wcsicmp(className, L"Edit") != 0)
                texts.push_back(textOf(child));
            // The room inside the border, and beside the scroll bar as wide
            // as Windows draws it at this dpi.
            RECT room;
            GetWindowRect(child, &room);
            OffsetRect(&room, -room.left, -room.top);
            if (GetWindowLongPtrW(child, GWL_EXSTYLE) & WS_EX_CLIENTEDGE)
                InflateRect(&room, -2, -2);
            if (GetWindowLongPtrW(child, GWL_STYLE) & WS_VSCROLL)
                room.right -= GetSystemMetricsForDpi(SM_CXVSCROLL, row.dpi);
            HDC dc = GetDC(child);
            SelectObject(dc, font);
            for (const std::u16string& text : texts) {
                SIZE extent{};
                GetTextExtentPoint32W(dc, reinterpret_cast<const wchar_t*>(text.c_str()), static_cast<int>(text.size()), &extent);
                CAPTURE(utf8(text));
                CHECK(extent.cx <= room.right - room.left - 4);
                CHECK(extent.cy <= room.bottom - room.top);
            }
            ReleaseDC(child, dc);
        }
    }
}

TEST_CASE("colours, read back from the screen")
{
    Window w;
    UpdateWindow(w.quiz.hwnd());
    w.pump(200);
    const int scale = static_cast<int>(expectedDpi()) / 96;
    const Capture capture(w.quiz.hwnd());
    struct Row {
        const char* name;
        int x, y; // at 96 dpi
        COLORREF colour;
    };
    const Row rows[] = {
        {"window, top left corner", 20, 20, RGB(0xC0, 0xC0, 0xFF)},
        {"window, between the lists", 240, 150, RGB(0xC0, 0xC0, 0xFF)},
        {"window, below the verdict box", 230, 340, RGB(0xC0, 0xC0, 0xFF)},
        {"quiz title, left end", 66, 3, RGB(0xFF, 0xC0, 0x80)},
        {"names caption, left end", 90, 43, RGB(0xFF, 0xC0, 0x80)},
        {"periods caption, right end", 350, 61, RGB(0xFF, 0xC0, 0x80)},
        {"reset button, left of the caption", 374, 52, RGB(0xFF, 0x80, 0x80)},
    };
    for (const Row& row : rows) {
        CAPTURE(row.name);
        CHECK(capture.at(row.x * scale, row.y * scale) == row.colour);
    }
}

TEST_CASE("focus and Tab order")
{
    Window w;
    CHECK(GetFocus() == w.verdict);
    const HWND forward[] = {w.names, w.periods, w.reset, w.verdict};
    for (HWND next : forward) {
        w.key(VK_TAB);
        CHECK(GetFocus() == next);
    }
    const HWND backward[] = {w.reset, w.periods, w.names, w.verdict};
    for (HWND previous : backward) {
        w.key(VK_TAB, /*shift=*/true);
        CHECK(GetFocus() == previous);
    }

    SUBCASE("the button shows its focus rectangle once the keyboard is used")
    {
        // The rectangle's top edge runs 4 pixels inside the button's.
        const RECT r = placeOf(w.reset);
        const auto edge = [&] {
            const Capture capture(w.quiz.hwnd());
            std::vector<COLORREF> pixels;
            for (int x = r.left + 4; x < r.right - 4; ++x)
                pixels.push_back(capture.at(x, r.top + 4));
            return pixels;
        };
        const std::vector<COLORREF> before = edge();
        for (int i = 0; i < 3; ++i)
            w.key(VK_TAB);
        REQUIRE(GetFocus() == w.reset);
        UpdateWindow(w.reset);
        CHECK(edge() != before);
    }
}

TEST_CASE("typing into the verdict box changes nothing")
{
    Window w;
    const std::u16string opening = textOf(w.verdict);
    w.type(w.verdict, u"Крум abc\r\b");
    for (WORD key : {VK_DELETE, VK_BACK, VK_RETURN})
        w.key(key);
    SendMessageW(w.verdict, WM_CUT, 0, 0);
    SendMessageW(w.verdict, WM_CLEAR, 0, 0);
    SendMessageW(w.verdict, WM_UNDO, 0, 0);
    CHECK(textOf(w.verdict) == opening);
    CHECK(w.quiz.form().Text1(0).Text() == opening);
}

// Sixteen right pairs: names found by typing their first letters, periods
// clicked; each verdict is announced; "Чисти" by Space deals again.
TEST_CASE("a whole game through the controls' messages")
{
    Window w;
    std::vector<std::u16string> announced;
    w.quiz.announcer().setListener([&](const std::u16string& text) { announced.push_back(text); });
    Texts namesLeft = alphabeticalNames, periodsLeft = periods;
    for (std::size_t row = 16; row-- > 0;) {
        const std::u16string& name = chronologicalNames[row];
        const std::u16string before = textOf(w.verdict);
        SetFocus(w.names);
        w.type(w.names, name);
        CHECK(textOf(w.verdict) == before); // one list alone: no verdict yet
        w.click(w.periods, periods[row]);
        const std::u16string verdict = u"Вярно " + name + u" период " + periods[row] + u"\r\n" + noteOf(name);
        CHECK(textOf(w.verdict) == verdict);
        std::erase(namesLeft, name);
        std::erase(periodsLeft, periods[row]);
        CHECK(entriesShown(w.names) == namesLeft);
        CHECK(entriesShown(w.periods) == periodsLeft);
        w.checkMirrors();
        REQUIRE(!announced.empty());
        CHECK(announced.back() == verdict);
    }
    CHECK(announced.size() == 16);
    SetFocus(w.reset);
    w.key(VK_SPACE);
    CHECK(entriesShown(w.names) == alphabeticalNames);
    CHECK(entriesShown(w.periods) == periods);
    CHECK(textOf(w.verdict).empty());
    CHECK(announced.size() == 16); // an empty box says nothing
    w.checkMirrors();
}

TEST_CASE("keys select by the list rules")
{
    Window w;
    SetFocus(w.periods);
    SUBCASE("Left and Right move like Up and Down")
    {
        w.key(VK_RIGHT);
        CHECK(sent(w.periods, LB_GETCURSEL) == 0);
        w.key(VK_RIGHT);
        w.key(VK_DOWN);
        CHECK(sent(w.periods, LB_GETCURSEL) == 2);
        w.key(VK_LEFT);
        CHECK(sent(w.periods, LB_GETCURSEL) == 1);
        w.checkMirrors();
    }
    SUBCASE("the first arrow in the other list makes one check")
    {
        SetFocus(w.names);
        w.key(VK_END); // Токту
        SetFocus(w.periods);
        w.key(VK_DOWN); // 681 - 701
        CHECK(textOf(w.verdict) == u"Грешно Токту период 681 - 701\r\n");
        w.key(VK_DOWN);
        CHECK(sent(w.periods, LB_GETCURSEL) == 0); // under the mark, in the row the check emptied
        CHECK(sent(w.periods, LB_GETCARETINDEX) == 0);
        CHECK(w.quiz.form().List1(0).ListCount() == 15);
        w.checkMirrors();
    }
}

TEST_CASE("a drag after a press that made a check selects nothing")
{
    Window w;
    w.click(w.names, u"Крум");
    const LPARAM first = w.pointAt(w.periods, 0);
    const LPARAM third = w.pointAt(w.periods, 2, false);
    SendMessageW(w.periods, WM_LBUTTONDOWN, MK_LBUTTON, first);
    CHECK(textOf(w.verdict) == u"Грешно Крум период 681 - 701\r\n");
    SendMessageW(w.periods, WM_MOUSEMOVE, MK_LBUTTON, third);
    SendMessageW(w.periods, WM_MOUSEMOVE, MK_LBUTTON, first);
    CHECK(sent(w.periods, LB_GETCURSEL) == -1);
    SendMessageW(w.periods, WM_LBUTTONUP, 0, first);
    // The next press selects as usual, and its drag too.
    SendMessageW(w.periods, WM_LBUTTONDOWN, MK_LBUTTON, first);
    SendMessageW(w.periods, WM_MOUSEMOVE, MK_LBUTTON, third);
    SendMessageW(w.periods, WM_LBUTTONUP, 0, third);
    CHECK(sent(w.periods, LB_GETCURSEL) == 2);
    w.checkMirrors();
}

TEST_CASE("after a reset each list shows from its top, the focus mark on the first row")
{
    Window w;
    for (HWND list : {w.names, w.periods}) {
        SetFocus(list);
        w.key(VK_END);
    }
    CHECK(sent(w.names, LB_GETTOPINDEX) > 0);
    SetFocus(w.reset);
    w.key(VK_RETURN);
    for (HWND list : {w.names, w.periods}) {
        CHECK(sent(list, LB_GETTOPINDEX) == 0);
        CHECK(sent(list, LB_GETCARETINDEX) == 0);
        CHECK(sent(list, LB_GETCURSEL) == -1);
    }
    CHECK(textOf(w.verdict).empty());
    w.checkMirrors();
}

// The learner's own mouse and keyboard, through the window system.
TEST_CASE("real input")
{
    Window w;
    const auto clickAt = [&](HWND list, int row) {
        const LPARAM at = w.pointAt(list, row);
        POINT screen{LOWORD(at), HIWORD(at)};
        ClientToScreen(list, &screen);
        SetCursorPos(screen.x, screen.y);
        INPUT input[2]{};
        input[0].type = input[1].type = INPUT_MOUSE;
        input[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
        input[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
        SendInput(2, input, sizeof(INPUT));
        w.pump(150);
    };
    const auto press = [&](WORD key) {
        INPUT input[2]{};
        input[0].type = input[1].type = INPUT_KEYBOARD;
        input[0].ki.wVk = input[1].ki.wVk = key;
        input[1].ki.dwFlags = KEYEVENTF_KEYUP;
        SendInput(2, input, sizeof(INPUT));
        w.pump(150);
    };
    clickAt(w.names, indexOf(alphabeticalNames, u"Крум"));
    CHECK(GetFocus() == w.names);
    CHECK(sent(w.names, LB_GETCURSEL) == indexOf(alphabeticalNames, u"Крум"));
    clickAt(w.periods, 12);
    CHECK(textOf(w.verdict).starts_with(u"Вярно Крум период 803 - 814\r\n"));
    press(VK_TAB);
    CHECK(GetFocus() == w.reset);
    press(VK_RETURN);
    CHECK(textOf(w.verdict).empty());
    CHECK(entriesShown(w.names) == alphabeticalNames);
    w.checkMirrors();
}

// Each list is named by the caption just in front of it, as Windows screen
// readers look for it; the verdict box, which has no caption, by an
// annotation where the system offers one (Wine does not).
TEST_CASE("screen readers")
{
    Window w;
    for (HWND list : {w.names, w.periods}) {
        HWND label = GetWindow(list, GW_HWNDPREV);
        wchar_t className[32];
        GetClassNameW(label, className, 32);
        CHECK(_wcsicmp(className, L"Static") == 0);
        CHECK(textOf(label) == w.quiz.form().Label1(list == w.names ? 1 : 2).Caption());
    }
    // Asked as a screen reader asks (WM_GETOBJECT), the box takes its name.
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    IAccessible* accessible = nullptr;
    const HRESULT found = AccessibleObjectFromWindow(w.verdict, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                                                     reinterpret_cast<void**>(&accessible));
    REQUIRE_MESSAGE(SUCCEEDED(found), found);
    if (!w.quiz.verdictBox().accessibleName().given()) {
        MESSAGE("no dynamic annotation here: the verdict box's name is not checked");
    } else {
        VARIANT self{};
        self.vt = VT_I4;
        self.lVal = CHILDID_SELF;
        BSTR name = nullptr;
        CHECK(accessible->get_accName(self, &name) == S_OK);
        CHECK(std::wstring(name ? name : L"") == L"Резултат");
        SysFreeString(name);
    }
    accessible->Release();
    CoUninitialize();
    if (!w.quiz.announcer().available())
        MESSAGE("no UI Automation notifications here: verdicts are heard by the test's listener only");
}
