// The Windows window under the learner's theme, read back from the screen,
// and what happens around its making and its end. CTest runs it at 96 and at
// 192 dpi (DRELVAN_WINE_DPI); the case of the class that cannot be
// registered runs in a process of its own, the class being the process's.
#define DOCTEST_CONFIG_IMPLEMENT_WITH_MAIN
#include <doctest/doctest.h>

#include "content/texts.hpp"
#include "win32/program.hpp"
#include "win32/quizwindow.hpp"

#include <windows.h>

#include <cmath>
#include <cwchar>
#include <map>
#include <string>
#include <vector>

using drelvan::win32::QuizWindow;

// The program's own entries in the import table, which the test rewires to
// see what the window asks of the system or to answer for it: Wine 8 has no
// high-contrast switch of its own.
extern "C" {
extern decltype(&DefWindowProcW) __imp_DefWindowProcW;
extern decltype(&SystemParametersInfoW) __imp_SystemParametersInfoW;
}

namespace {

const int scale = [] {
    wchar_t dpi[16] = L"96";
    GetEnvironmentVariableW(L"DRELVAN_WINE_DPI", dpi, 16);
    return static_cast<int>(std::wcstol(dpi, nullptr, 10)) / 96;
}();

// The system's own, called on by the replacements.
const auto systemDefWindowProc = __imp_DefWindowProcW;
const auto systemParametersInfo = __imp_SystemParametersInfoW;

template <class Function>
class Intercept {
public:
    Intercept(Function& slot, Function replacement) : slot_(slot), original_(slot) { set(replacement); }
    ~Intercept() { set(original_); }
    Intercept(const Intercept&) = delete;
    Intercept& operator=(const Intercept&) = delete;

private:
    void set(Function function)
    {
        DWORD was = 0;
        VirtualProtect(&slot_, sizeof slot_, PAGE_READWRITE, &was);
        slot_ = function;
        VirtualProtect(&slot_, sizeof slot_, was, &was);
    }
    Function& slot_;
    Function original_;
};

// The high-contrast switch as the window reads it.
bool themeOn = false;
BOOL WINAPI systemParameters(UINT action, UINT size, void* value, UINT flags)
{
    if (action != SPI_GETHIGHCONTRAST)
        return systemParametersInfo(action, size, value, flags);
    auto* theme = static_cast<HIGHCONTRASTW*>(value);
    theme->dwFlags = HCF_AVAILABLE | (themeOn ? HCF_HIGHCONTRASTON : 0);
    theme->lpszDefaultScheme = nullptr;
    return TRUE;
}

// A dark high-contrast colour set, as the learner's theme sets it; the
// system's own colours come back at the end.
class DarkColours {
public:
    DarkColours()
    {
        const std::pair<int, COLORREF> set[] = {
            {COLOR_WINDOW, RGB(0, 0, 0)},          {COLOR_WINDOWTEXT, RGB(0xFF, 0xFF, 0xFF)},
            {COLOR_BTNFACE, RGB(0, 0, 0)},         {COLOR_BTNTEXT, RGB(0xFF, 0xFF, 0xFF)},
            {COLOR_HIGHLIGHT, RGB(0x1A, 0xEB, 0xFF)}, {COLOR_HIGHLIGHTTEXT, RGB(0, 0, 0)},
            {COLOR_3DHILIGHT, RGB(0xFF, 0xFF, 0xFF)}, {COLOR_3DLIGHT, RGB(0xC0, 0xC0, 0xC0)},
            {COLOR_3DSHADOW, RGB(0x80, 0x80, 0x80)},  {COLOR_3DDKSHADOW, RGB(0xFF, 0xFF, 0xFF)},
            {COLOR_GRAYTEXT, RGB(0x3F, 0xF2, 0x3F)},  {COLOR_SCROLLBAR, RGB(0, 0, 0)},
        };
        for (const auto& [index, colour] : set) {
            indices_.push_back(index);
            dark_.push_back(colour);
            own_.push_back(GetSysColor(index));
        }
        SetSysColors(static_cast<int>(indices_.size()), indices_.data(), dark_.data());
    }
    ~DarkColours() { SetSysColors(static_cast<int>(indices_.size()), indices_.data(), own_.data()); }
    DarkColours(const DarkColours&) = delete;
    DarkColours& operator=(const DarkColours&) = delete;

private:
    std::vector<int> indices_;
    std::vector<COLORREF> dark_, own_;
};

double luminance(COLORREF colour)
{
    const auto linear = [](int value) {
        const double v = value / 255.0;
        return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(GetRValue(colour)) + 0.7152 * linear(GetGValue(colour))
           + 0.0722 * linear(GetBValue(colour));
}

double contrast(COLORREF a, COLORREF b)
{
    const double la = luminance(a) + 0.05, lb = luminance(b) + 0.05;
    return la > lb ? la / lb : lb / la;
}

// The window's client area as the screen shows it.
struct Shot {
    int width = 0, height = 0;
    std::vector<COLORREF> pixels;

    explicit Shot(HWND window)
    {
        RECT client{};
        GetClientRect(window, &client);
        width = client.right;
        height = client.bottom;
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void* bits = nullptr;
        HDC screen = GetDC(window), memory = CreateCompatibleDC(screen);
        HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        const HGDIOBJ old = SelectObject(memory, bitmap);
        BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY);
        GdiFlush();
        const auto* bgra = static_cast<const unsigned char*>(bits);
        for (int i = 0; i < width * height; ++i)
            pixels.push_back(RGB(bgra[4 * i + 2], bgra[4 * i + 1], bgra[4 * i]));
        SelectObject(memory, old);
        DeleteObject(bitmap);
        DeleteDC(memory);
        ReleaseDC(window, screen);
    }

    // The commonest colour of `area` is its background; of the others, the
    // one that stands out most from it is its text's.
    struct Reading {
        COLORREF back, text;
        int textPixels;
    };
    Reading read(const RECT& area) const
    {
        std::map<COLORREF, int> counts;
        for (int y = area.top; y < area.bottom; ++y)
            for (int x = area.left; x < area.right; ++x)
                ++counts[pixels[static_cast<std::size_t>(y * width + x)]];
        Reading reading{0, 0, 0};
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
};

// The window as a learner has it: shown, with its own message loop running.
struct Window {
    QuizWindow quiz;

    Window()
    {
        quiz.show(SW_SHOWNORMAL);
        SetForegroundWindow(quiz.hwnd());
        pump(100);
    }
    HWND item(int id) const { return GetDlgItem(quiz.hwnd(), id); }

    void pump(DWORD forMs)
    {
        const DWORD until = GetTickCount() + forMs;
        do {
            MSG message;
            while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
                if (!quiz.navigate(message)) {
                    TranslateMessage(&message);
                    DispatchMessageW(&message);
                }
            Sleep(10);
        } while (GetTickCount() < until);
    }

    // A key as the window's message loop gets it.
    void key(WORD virtualKey)
    {
        for (UINT message : {WM_KEYDOWN, WM_KEYUP}) {
            MSG m{GetFocus(), message, virtualKey, message == WM_KEYUP ? 0xC0000001 : 1, 0, {}};
            if (!quiz.navigate(m)) {
                TranslateMessage(&m);
                DispatchMessageW(&m);
            }
        }
        pump(0);
    }

    // The theme switched as the system tells of it.
    void themeChanged()
    {
        SendMessageW(quiz.hwnd(), WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0);
        SendMessageW(quiz.hwnd(), WM_SYSCOLORCHANGE, 0, 0);
        pump(200);
    }

    // Where each text is, in the window's client area: inside the frames,
    // scroll bars and edges that the system draws.
    RECT area(int id) const
    {
        HWND control = item(id);
        RECT r{};
        GetClientRect(control, &r);
        MapWindowPoints(control, quiz.hwnd(), reinterpret_cast<POINT*>(&r), 2);
        if (id == QuizWindow::resetId)
            InflateRect(&r, -GetSystemMetricsForDpi(SM_CXEDGE, 96u * scale) - 4 * scale, -GetSystemMetricsForDpi(SM_CYEDGE, 96u * scale) - 4 * scale);
        return r;
    }
    RECT selectedRow(int id) const
    {
        HWND list = item(id);
        SendMessageW(list, LB_SETCURSEL, 0, 0);
        RECT r{};
        SendMessageW(list, LB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&r));
        MapWindowPoints(list, quiz.hwnd(), reinterpret_cast<POINT*>(&r), 2);
        return r;
    }
};

struct Expected {
    const char* name;
    int id;
    bool selected;
    COLORREF back, text;
};

// Every text on the screen: on the background it should have, in the colour
// it should have, at least 4.5 : 1 from it.
void checkTexts(Window& w, const std::vector<Expected>& rows)
{
    for (const Expected& row : rows) {
        const RECT area = row.selected ? w.selectedRow(row.id) : w.area(row.id);
        if (row.selected)
            UpdateWindow(w.item(row.id));
        const Shot::Reading reading = Shot(w.quiz.hwnd()).read(area);
        CAPTURE(std::string(row.name));
        CHECK(reading.back == row.back);
        CHECK(reading.text == row.text);
        CHECK(reading.textPixels > 20 * scale * scale);
        CHECK(contrast(reading.text, reading.back) >= 4.5);
    }
}

} // namespace

TEST_CASE("a high-contrast theme: every text in the theme's colours")
{
    Intercept theme(__imp_SystemParametersInfoW, &systemParameters);
    Window w;
    const DarkColours dark;
    themeOn = true;
    w.themeChanged();
    const COLORREF face = GetSysColor(COLOR_BTNFACE), faceText = GetSysColor(COLOR_BTNTEXT);
    const COLORREF inside = GetSysColor(COLOR_WINDOW), insideText = GetSysColor(COLOR_WINDOWTEXT);
    REQUIRE(inside == RGB(0, 0, 0));
    checkTexts(w, {
                      {"quiz title", QuizWindow::titleId, false, face, faceText},
                      {"names caption", QuizWindow::namesCaptionId, false, face, faceText},
                      {"periods caption", QuizWindow::periodsCaptionId, false, face, faceText},
                      {"verdict box", QuizWindow::verdictId, false, inside, insideText},
                      {"names", QuizWindow::namesId, false, inside, insideText},
                      {"periods", QuizWindow::periodsId, false, inside, insideText},
                      {"reset button", QuizWindow::resetId, false, face, faceText},
                      {"selected name", QuizWindow::namesId, true, GetSysColor(COLOR_HIGHLIGHT),
                       GetSysColor(COLOR_HIGHLIGHTTEXT)},
                  });
    CHECK(Shot(w.quiz.hwnd()).read({0, 0, 20 * scale, 20 * scale}).back == face);

    // The theme off again: the program's colours, at once.
    themeOn = false;
    w.themeChanged();
    CHECK(Shot(w.quiz.hwnd()).read(w.area(QuizWindow::verdictId)).back == RGB(0xFF, 0xFF, 0xFF));
    CHECK(Shot(w.quiz.hwnd()).read(w.area(QuizWindow::titleId)).back == RGB(0xFF, 0xC0, 0x80));
}

// Without the theme, dark system colours change none of the program's.
TEST_CASE("dark system colours without the theme: the program's colours")
{
    Intercept theme(__imp_SystemParametersInfoW, &systemParameters);
    themeOn = false;
    Window w;
    const DarkColours dark;
    w.themeChanged();
    constexpr COLORREF black = RGB(0, 0, 0), white = RGB(0xFF, 0xFF, 0xFF);
    constexpr COLORREF label = RGB(0xFF, 0xC0, 0x80), button = RGB(0xFF, 0x80, 0x80);
    checkTexts(w, {
                      {"quiz title", QuizWindow::titleId, false, label, black},
                      {"names caption", QuizWindow::namesCaptionId, false, label, black},
                      {"periods caption", QuizWindow::periodsCaptionId, false, label, black},
                      {"verdict box", QuizWindow::verdictId, false, white, black},
                      {"names", QuizWindow::namesId, false, white, black},
                      {"periods", QuizWindow::periodsId, false, white, black},
                      {"reset button", QuizWindow::resetId, false, button, black},
                      {"selected name", QuizWindow::namesId, true, GetSysColor(COLOR_HIGHLIGHT),
                       GetSysColor(COLOR_HIGHLIGHTTEXT)},
                  });
    CHECK(Shot(w.quiz.hwnd()).read({0, 0, 20 * scale, 20 * scale}).back == RGB(0xC0, 0xC0, 0xFF));
}

// The arrows on the button go where Tab and Shift+Tab go, and change
// nothing else.
TEST_CASE("arrow keys on the reset button")
{
    Window w;
    const HWND reset = w.item(QuizWindow::resetId);
    const std::pair<WORD, int> keys[] = {
        {VK_RIGHT, QuizWindow::verdictId},
        {VK_DOWN, QuizWindow::verdictId},
        {VK_LEFT, QuizWindow::periodsId},
        {VK_UP, QuizWindow::periodsId},
    };
    for (const auto& [key, next] : keys) {
        CAPTURE(key);
        SetFocus(reset);
        w.key(key);
        CHECK(GetFocus() == w.item(next));
    }
    for (int id : {QuizWindow::namesId, QuizWindow::periodsId})
        CHECK(SendMessageW(w.item(id), LB_GETCURSEL, 0, 0) == LB_ERR);
    CHECK(w.quiz.form().Text1(0).Text() == std::u16string(drelvan::texts::openingText));
}

// The system's clean-up of a window that goes gets the window itself.
HWND cleanedUp = reinterpret_cast<HWND>(-1);
LRESULT WINAPI defaultProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCDESTROY)
        cleanedUp = window;
    return systemDefWindowProc(window, message, wParam, lParam);
}

TEST_CASE("the window's last message goes on to the system with the window")
{
    Intercept recorder(__imp_DefWindowProcW, &defaultProcedure);
    HWND window = nullptr;
    {
        QuizWindow quiz;
        window = quiz.hwnd();
        REQUIRE(window);
    }
    CHECK(cleanedUp == window);
    CHECK(!IsWindow(window));
}

// A window that cannot be made: the learner is told, in a message box that
// the test answers, and the program ends with 1.
std::wstring boxText, boxTitle;
bool refuseWindow = false;
LRESULT CALLBACK computerBasedTraining(int code, WPARAM wParam, LPARAM lParam)
{
    wchar_t name[256] = L"";
    if (code == HCBT_CREATEWND && refuseWindow) {
        const wchar_t* kind = reinterpret_cast<CBT_CREATEWNDW*>(lParam)->lpcs->lpszClass;
        if (!IS_INTRESOURCE(kind) && std::wstring(kind) == QuizWindow::className)
            return 1;
    }
    if (code == HCBT_ACTIVATE && GetClassNameW(reinterpret_cast<HWND>(wParam), name, 256)
        && std::wstring(name) == L"#32770") {
        const auto box = reinterpret_cast<HWND>(wParam);
        GetDlgItemTextW(box, 0xFFFF, name, 256);
        boxText.assign(name);
        GetWindowTextW(box, name, 256);
        boxTitle.assign(name);
        PostMessageW(box, WM_COMMAND, IDOK, 0);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void checkStartFails()
{
    boxText.clear();
    HHOOK hook = SetWindowsHookExW(WH_CBT, &computerBasedTraining, nullptr, GetCurrentThreadId());
    REQUIRE(hook);
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
    WNDCLASSEXW other{};
    other.cbSize = sizeof other;
    other.lpfnWndProc = &DefWindowProcW;
    other.hInstance = GetModuleHandleW(nullptr);
    other.lpszClassName = QuizWindow::className;
    REQUIRE(RegisterClassExW(&other));
    checkStartFails();
}
