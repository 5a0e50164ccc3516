// The differential script (tests/differential/script.txt) played on
// drelvan.exe, started as a learner starts it: each key pressed on the
// keyboard through the window system (SendInput), and after each step the
// window read back through its controls' messages into the trace that the
// web build compares with the Qt window's and the page's.
//   tst_win32_differential drelvan.exe script.txt trace
#include "differential/trace.hpp"
#include "tests/win32/learner.hpp"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

namespace differential = drelvan::differential;

namespace {

// CTest passes the host's paths; Wine shows the host's root as drive Z:.
std::string windowsPath(const char* path)
{
    std::string windows = path[0] == '/' ? std::string("Z:") + path : path;
    std::replace(windows.begin(), windows.end(), '/', '\\');
    return windows;
}

constexpr std::pair<std::string_view, WORD> keys[] = {
    {"Tab", VK_TAB},     {"Up", VK_UP},         {"Down", VK_DOWN},    {"Left", VK_LEFT},
    {"Right", VK_RIGHT}, {"Home", VK_HOME},     {"End", VK_END},      {"PageUp", VK_PRIOR},
    {"PageDown", VK_NEXT}, {"Space", VK_SPACE}, {"Enter", VK_RETURN}, {"Escape", VK_ESCAPE},
};

// The controls, by their ids in drelvan.exe (win32/quizwindow.hpp).
constexpr std::pair<int, const char*> controls[] = {{100, "verdict"}, {101, "names"}, {102, "periods"}, {103, "reset"}};

INPUT stroke(WORD virtualKey, wchar_t unit, bool up)
{
    INPUT i{};
    i.type = INPUT_KEYBOARD;
    i.ki.wVk = virtualKey;
    i.ki.wScan = unit;
    i.ki.dwFlags = (unit ? KEYEVENTF_UNICODE : 0) | (up ? KEYEVENTF_KEYUP : 0)
                   | (virtualKey >= VK_PRIOR && virtualKey <= VK_DOWN ? KEYEVENTF_EXTENDEDKEY : 0);
    return i;
}

class Player {
public:
    explicit Player(drelvan::test::Started& program) : program_(program)
    {
        thread_ = GetWindowThreadProcessId(program.window, nullptr);
        // One input state with the program: its focus and its keys' state
        // are this thread's to read.
        if (!AttachThreadInput(GetCurrentThreadId(), thread_, TRUE))
            throw std::runtime_error("cannot share the program's input");
        SetForegroundWindow(program.window);
        SetActiveWindow(program.window);
    }
    ~Player() { AttachThreadInput(GetCurrentThreadId(), thread_, FALSE); }

    void press(const differential::Step& step)
    {
        std::vector<INPUT> input;
        if (!step.typed.empty()) {
            // A search of its own: after the time that ends the last one.
            Sleep(1100);
            for (char16_t unit : step.typed) {
                input.push_back(stroke(0, static_cast<wchar_t>(unit), false));
                input.push_back(stroke(0, static_cast<wchar_t>(unit), true));
            }
        } else {
            WORD key = 0;
            for (const auto& [name, code] : keys)
                if (name == step.key)
                    key = code;
            if (step.shift)
                input.push_back(stroke(VK_SHIFT, 0, false));
            if (step.control)
                input.push_back(stroke(VK_CONTROL, 0, false));
            input.push_back(stroke(key, 0, false));
            input.push_back(stroke(key, 0, true));
            if (step.control)
                input.push_back(stroke(VK_CONTROL, 0, true));
            if (step.shift)
                input.push_back(stroke(VK_SHIFT, 0, true));
        }
        if (SendInput(static_cast<UINT>(input.size()), input.data(), sizeof(INPUT)) != input.size())
            throw std::runtime_error("SendInput refused the keys of " + step.written);
        settle(step);
    }

    differential::Seen seen() const
    {
        differential::Seen s;
        s.focus = "none";
        const HWND focus = GetFocus();
        for (const auto& [id, name] : controls)
            if (focus && focus == GetDlgItem(program_.window, id))
                s.focus = name;
        s.verdict = textOf(GetDlgItem(program_.window, 100));
        for (std::size_t member = 0; member < 2; ++member) {
            const HWND list = GetDlgItem(program_.window, 101 + static_cast<int>(member));
            differential::ListSeen& shown = s.lists[member];
            const auto count = SendMessageW(list, LB_GETCOUNT, 0, 0);
            for (LRESULT row = 0; row < count; ++row) {
                std::wstring entry(static_cast<std::size_t>(SendMessageW(list, LB_GETTEXTLEN, row, 0)) + 1, L'\0');
                SendMessageW(list, LB_GETTEXT, row, reinterpret_cast<LPARAM>(entry.data()));
                entry.resize(std::wcslen(entry.c_str()));
                shown.entries.emplace_back(entry.begin(), entry.end());
            }
            shown.selected = static_cast<int>(SendMessageW(list, LB_GETCURSEL, 0, 0));
            shown.top = static_cast<int>(SendMessageW(list, LB_GETTOPINDEX, 0, 0));
        }
        return s;
    }

private:
    static std::u16string textOf(HWND control)
    {
        std::wstring text(static_cast<std::size_t>(SendMessageW(control, WM_GETTEXTLENGTH, 0, 0)) + 1, L'\0');
        SendMessageW(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
        text.resize(std::wcslen(text.c_str()));
        return {text.begin(), text.end()};
    }

    // The program has handled the step's keys once it has taken a key
    // pressed after them from the shared input: F24, which nothing in the
    // window answers. Its state, down then up again, is the program's.
    void settle(const differential::Step& step)
    {
        for (const bool up : {false, true}) {
            INPUT marker = stroke(VK_F24, 0, up);
            SendInput(1, &marker, sizeof marker);
            const DWORD until = GetTickCount() + 10000;
            while ((GetKeyState(VK_F24) < 0) == up) {
                if (GetTickCount() > until)
                    throw std::runtime_error("the program did not take the keys of " + step.written);
                Sleep(5);
            }
        }
    }

    drelvan::test::Started& program_;
    DWORD thread_ = 0;
};

} // namespace

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fputs("usage: tst_win32_differential drelvan.exe script.txt trace\n", stderr);
        return 2;
    }
    const std::string program = windowsPath(argv[1]);
    drelvan::test::Started started = drelvan::test::start(std::wstring(program.begin(), program.end()));
    if (!started.window) {
        std::fprintf(stderr, "%s did not show its window\n", program.c_str());
        drelvan::test::close(started);
        return 1;
    }
    int status = 0;
    try {
        const std::vector<differential::Step> steps = differential::readScriptFile(windowsPath(argv[2]));
        differential::TraceFile trace(windowsPath(argv[3]));
        Player player(started);
        trace.write(0, "start", player.seen());
        for (const differential::Step& step : steps) {
            player.press(step);
            trace.write(step.number, step.written, player.seen());
        }
        trace.close();
        std::printf("%zu steps played\n", steps.size());
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        status = 1;
    }
    if (drelvan::test::close(started) != 0) {
        std::fputs("drelvan.exe did not end cleanly\n", stderr);
        status = 1;
    }
    return status;
}
