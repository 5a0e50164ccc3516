// The Windows window under the learner's theme, read back from the screen,
// and what happens around its making and its end. CTest runs it at 96 and at
// 192 dpi (DRELVAN_WINE_DPI); the case of the class that cannot be
// registered runs in a process of its own, a class being the process's.
#define DOCTEST_CONFIG_IMPLEMENT_WITH_MAIN
#include <doctest/doctest.h>

#include "content/texts.hpp"
#include "win32/program.hpp"
#include "win32/quizwindow.hpp"

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <map>
#include <string>
#include <vector>

using drelvan::win32::QuizWindow;

// The program's entries in the import table, which the test rewires to see
// what the window asks of the system, or to answer for it: Wine 8 has no
// high-contrast switch.
extern "C" {
extern decltype(&DefWindowProcW) __imp_DefWindowProcW;
extern decltype(&SystemParametersInfoW) __imp_SystemParametersInfoW;
}

namespace {

const int scale = static_cast<int>(GetDpiForSystem()) / 96;
const auto systemDefWindowProc = __imp_DefWindowProcW;
const auto systemParametersInfo = __imp_SystemParametersInfoW;

template <class Function>
void rewire(Function& slot, Function function)
{
    DWORD was = 0;
    VirtualProtect(&slot, sizeof slot, PAGE_READWRITE, &was);
    slot = function;
    VirtualProtect(&slot, sizeof slot, was, &was);
}

bool themeOn = false;
BOOL WINAPI systemParameters(UINT action, UINT size, void* value, UINT flags)
{
    if (action != SPI_GETHIGHCONTRAST)
        return systemParametersInfo(action, size, value, flags);
    static_cast<HIGHCONTRASTW*>(value)->dwFlags = HCF_AVAILABLE | (themeOn ? HCF_HIGHCONTRASTON : 0);
    return TRUE;
}

double contrast(COLORREF a, COLORREF b)
{
    const auto luminance = [](COLORREF c) {
        double sum = 0;
        for (const auto& [weight, value] : {std::pair{0.2126, GetRValue(c)}, {0.7152, GetGValue(c)}, {0.0722, GetBValue(c)}}) {
            const double v = value / 255.0;
            sum += weight * (v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4));
        }
        return sum + 0.05;
    };
    return std::max(luminance(a), luminance(b)) / std::min(luminance(a), luminance(b));
}

// What the screen shows in `area` of the window: its commonest colour is the
// background; of the others, the one that stands out most is the text's.
struct Reading {
    COLORREF back = 0, text = 0;
    int textPixels = 0;
};
Reading read(HWND window, const RECT& area)
{
    std::map<COLORREF, int> counts;
    HDC dc = GetDC(window);
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            ++counts[GetPixel(dc, x, y)];
    ReleaseDC(window, dc);
    Reading reading;
    int most = 0;
    for (const auto& [colour, count] : counts)
        if (count > most)
            most = count, reading.back = colour;
    reading.text = reading.back;
    for (const auto& [colour, count] : counts)
        if (colour != reading.back) {
            reading.textPixels += count;
            if (contrast(colour, reading.back) > contrast(reading.text, reading.back))
                reading.text = colour;
        }
    return reading;
}

struct Window {
    QuizWindow quiz;

    Window()
    {
        quiz.show(SW_SHOWNORMAL);
        pump(100);
    }
    HWND item(int id) const { return GetDlgItem(quiz.hwnd(), id); }
    void pump(DWORD forMs)
    {
        for (const DWORD until = GetTickCount() + forMs; GetTickCount() <= until; Sleep(10))
            for (MSG message; PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE);)
                if (!quiz.navigate(message))
                    TranslateMessage(&message), DispatchMessageW(&message);
    }
    // The place of a text in the window's client area, inside the frames,
    // scroll bars and edges that the system draws; or of a list's first row.
    RECT area(int id, bool firstRow) const
    {
        RECT r{};
        GetClientRect(item(id), &r);
        if (firstRow)
            SendMessageW(item(id), LB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&r));
        if (id == QuizWindow::resetId)
            InflateRect(&r, -8 * scale, -6 * scale);
        MapWindowPoints(item(id), quiz.hwnd(), reinterpret_cast<POINT*>(&r), 2);
        return r;
    }
};

} // namespace

// Under dark colours, every text reads at 4.5 : 1 at least, in the theme's
// colours with the high-contrast theme on, in the program's without it; and
// the window follows the theme as it is switched.
TEST_CASE("every text on its background, under a dark theme and without it")
{
    rewire(__imp_SystemParametersInfoW, &systemParameters);
    constexpr int indices[] = {COLOR_WINDOW, COLOR_WINDOWTEXT, COLOR_BTNFACE, COLOR_BTNTEXT, COLOR_HIGHLIGHT,
                               COLOR_HIGHLIGHTTEXT, COLOR_3DHILIGHT, COLOR_3DSHADOW, COLOR_3DDKSHADOW};
    constexpr COLORREF dark[] = {0x000000, 0xFFFFFF, 0x000000, 0xFFFFFF, 0xFFEB1A, 0x000000, 0xFFFFFF, 0x808080, 0xFFFFFF};
    COLORREF own[std::size(indices)];
    for (std::size_t i = 0; i < std::size(indices); ++i)
        own[i] = GetSysColor(indices[i]);
    Window w;
    REQUIRE(SetSysColors(static_cast<int>(std::size(indices)), indices, dark));
    struct Row {
        const char* name;
        int id;
        bool firstRow;
        COLORREF back, text; // without the theme
        int themeBack, themeText;
    };
    constexpr COLORREF label = 0x80C0FF, white = 0xFFFFFF, highlight = 0xFFEB1A;
    const Row rows[] = {
        {"quiz title", QuizWindow::titleId, false, label, 0, COLOR_BTNFACE, COLOR_BTNTEXT},
        {"names caption", QuizWindow::namesCaptionId, false, label, 0, COLOR_BTNFACE, COLOR_BTNTEXT},
        {"periods caption", QuizWindow::periodsCaptionId, false, label, 0, COLOR_BTNFACE, COLOR_BTNTEXT},
        {"verdict box", QuizWindow::verdictId, false, white, 0, COLOR_WINDOW, COLOR_WINDOWTEXT},
        {"periods", QuizWindow::periodsId, false, white, 0, COLOR_WINDOW, COLOR_WINDOWTEXT},
        {"a selected name", QuizWindow::namesId, true, highlight, 0, COLOR_HIGHLIGHT, COLOR_HIGHLIGHTTEXT},
        {"reset button", QuizWindow::resetId, false, 0x8080FF, 0, COLOR_BTNFACE, COLOR_BTNTEXT},
        {"window", 0, false, 0xFFC0C0, 0xFFC0C0, COLOR_BTNFACE, COLOR_BTNFACE},
    };
    SendMessageW(w.item(QuizWindow::namesId), LB_SETCURSEL, 0, 0);
    for (bool theme : {true, false}) {
        themeOn = theme;
        SendMessageW(w.quiz.hwnd(), WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0);
        w.pump(200);
        for (const Row& row : rows) {
            CAPTURE(theme);
            CAPTURE(std::string(row.name));
            const RECT area = row.id ? w.area(row.id, row.firstRow) : RECT{0, 0, 20 * scale, 20 * scale};
            const Reading reading = read(w.quiz.hwnd(), area);
            CHECK(reading.back == (theme ? GetSysColor(row.themeBack) : row.back));
            CHECK(reading.text == (theme ? GetSysColor(row.themeText) : row.text));
            if (row.id) {
                CHECK(reading.textPixels > 20 * scale * scale);
                CHECK(contrast(reading.text, reading.back) >= 4.5);
            }
        }
    }
    SetSysColors(static_cast<int>(std::size(indices)), indices, own);
    rewire(__imp_SystemParametersInfoW, systemParametersInfo);
}

// The arrows on the button go where Tab and Shift+Tab go, and change
// nothing else.
TEST_CASE("arrow keys on the reset button")
{
    Window w;
    for (const auto& [key, next] : {std::pair{VK_RIGHT, QuizWindow::verdictId}, {VK_DOWN, QuizWindow::verdictId},
                                    {VK_LEFT, QuizWindow::periodsId}, {VK_UP, QuizWindow::periodsId}}) {
        CAPTURE(key);
        SetFocus(w.item(QuizWindow::resetId));
        MSG down{GetFocus(), WM_KEYDOWN, static_cast<WPARAM>(key), 1, 0, {}};
        if (!w.quiz.navigate(down))
            DispatchMessageW(&down);
        CHECK(GetFocus() == w.item(next));
    }
    for (int id : {QuizWindow::namesId, QuizWindow::periodsId})
        CHECK(SendMessageW(w.item(id), LB_GETCURSEL, 0, 0) == LB_ERR);
    CHECK(w.quiz.form().Text1(0).Text() == std::u16string(drelvan::texts::openingText));
}

// The system's clean-up of a window that goes gets the window itself.
HWND cleanedUp = nullptr;
LRESULT WINAPI defaultProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCDESTROY)
        cleanedUp = window;
    return systemDefWindowProc(window, message, wParam, lParam);
}

TEST_CASE("the window's last message goes on to the system with the window")
{
    rewire(__imp_DefWindowProcW, &defaultProcedure);
    HWND window = QuizWindow().hwnd();
    rewire(__imp_DefWindowProcW, systemDefWindowProc);
    REQUIRE(window);
    CHECK(cleanedUp == window);
}

// A window that cannot be made: the learner is told, in a message box that
// the test reads and closes, and the program ends with 1.
std::wstring boxText, boxTitle;
bool refuseWindow = false;
LRESULT CALLBACK computerBasedTraining(int code, WPARAM wParam, LPARAM lParam)
{
    wchar_t text[256] = L"";
    if (code == HCBT_CREATEWND && refuseWindow) {
        const wchar_t* kind = reinterpret_cast<CBT_CREATEWNDW*>(lParam)->lpcs->lpszClass;
        if (!IS_INTRESOURCE(kind) && std::wstring(kind) == QuizWindow::className)
            return 1;
    }
    const auto box = reinterpret_cast<HWND>(wParam);
    if (code == HCBT_ACTIVATE && GetClassNameW(box, text, 256) && std::wstring(text) == L"#32770") {
        GetDlgItemTextW(box, 0xFFFF, text, 256);
        boxText = text;
        GetWindowTextW(box, text, 256);
        boxTitle = text;
        PostMessageW(box, WM_COMMAND, IDOK, 0);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void checkStartFails()
{
    HHOOK hook = SetWindowsHookExW(WH_CBT, &computerBasedTraining, nullptr, GetCurrentThreadId());
    CHECK(drelvan::win32::runQuiz(SW_SHOWNORMAL) == 1);
    UnhookWindowsHookEx(hook);
    const std::u16string_view expected = drelvan::texts::startFailure;
    CHECK(boxText == std::wstring(expected.begin(), expected.end()));
    CHECK(boxTitle == L"https://drelvan.example История - български ханове");
}

TEST_CASE("the window cannot be made")
{
    refuseWindow = true;
    checkStartFails();
    refuseWindow = false;
}

// The program's class name taken already, by a class of another procedure.
TEST_CASE("the window's class cannot be registered")
{
    WNDCLASSEXW other{sizeof other, 0, &DefWindowProcW, 0, 0, GetModuleHandleW(nullptr), nullptr, nullptr, nullptr,
                      nullptr, QuizWindow::className, nullptr};
    REQUIRE(RegisterClassExW(&other));
    checkStartFails();
}
