#include "win32/quizwindow.hpp"

#include "win32/files.hpp"
#include "win32/layout.hpp"
#include "win32/wide.hpp"

#include "content/texts.hpp"
#include "content/utf8.hpp"
#include "pairs/pairfile.hpp"

#include <string>
#include <utility>

namespace drelvan::win32 {

namespace {

// A fixed, thin border, a title with the system menu and the close box, and
// neither a minimize nor a maximize box: the learner cannot resize the window.
constexpr DWORD windowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
// Files may be dropped on it (what DragAcceptFiles would set, without
// loading the shell at start).
constexpr DWORD windowExStyle = WS_EX_ACCEPTFILES;

constexpr std::pair<int, Twips> places[] = {
    {QuizWindow::verdictId, layout::verdictBox},     {QuizWindow::namesId, layout::namesList},
    {QuizWindow::periodsId, layout::periodsList},    {QuizWindow::resetId, layout::resetButton},
    {QuizWindow::titleId, layout::titleLabel},       {QuizWindow::namesCaptionId, layout::namesCaption},
    {QuizWindow::periodsCaptionId, layout::periodsCaption},
};

} // namespace

bool QuizWindow::registerClass()
{
    static const bool registered = [] {
        HINSTANCE instance = GetModuleHandleW(nullptr);
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = &QuizWindow::procedure;
        windowClass.hInstance = instance;
        // The icon of the version record's resource file: the program's.
        windowClass.hIcon = static_cast<HICON>(LoadImageW(instance, L"IDI_ICON1", IMAGE_ICON, 0, 0, LR_DEFAULTSIZE));
        windowClass.hIconSm = static_cast<HICON>(LoadImageW(
            instance, L"IDI_ICON1", IMAGE_ICON, GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
        windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
        // No class brush: the background follows the colour rule (WM_ERASEBKGND).
        windowClass.lpszClassName = QuizWindow::className;
        return RegisterClassExW(&windowClass) != 0;
    }();
    return registered;
}

QuizWindow::QuizWindow(Exercise exercise) : session_(*this, std::move(exercise)), chooseFile_(&askForPairFile)
{
    if (!registerClass())
        return;
    hwnd_ = CreateWindowExW(windowExStyle, className, nullptr, windowStyle, CW_USEDEFAULT, CW_USEDEFAULT, 0, 0,
                            nullptr, nullptr, GetModuleHandleW(nullptr), this);
    if (!hwnd_)
        return;
    ACCEL open{FCONTROL | FVIRTKEY, 'O', openId};
    keys_ = CreateAcceleratorTableW(&open, 1);
    createControls();
    // Placed before anything is shown: Wine's multi-line EDIT faults when
    // given a text while it has no width.
    layOut(dpiOf(hwnd_), nullptr);
    session_.showAll();
    measureLists();
}

QuizWindow::~QuizWindow()
{
    if (hwnd_)
        DestroyWindow(hwnd_);
    if (keys_)
        DestroyAcceleratorTable(keys_);
    if (font_)
        DeleteObject(font_);
}

// Created in the Tab order. Each list's caption comes just before it: a
// screen reader names a list box by the label in front of it. The captions'
// texts are the session's to tell (showCaptions).
void QuizWindow::createControls()
{
    // A caption too long for its place ends in an ellipsis on the screen;
    // its text, which a screen reader reads, stays whole.
    const auto label = [&](int id) { createControl(hwnd_, id, L"STATIC", nullptr, SS_CENTER | SS_NOPREFIX | SS_ENDELLIPSIS); };
    verdict_ = std::make_unique<VerdictBox>(hwnd_, verdictId);
    label(titleId);
    const int listIds[] = {namesId, periodsId};
    const int captionIds[] = {namesCaptionId, periodsCaptionId};
    for (int16_t member = 0; member < 2; ++member) {
        label(captionIds[member]);
        auto& list = lists_[static_cast<std::size_t>(member)];
        list = std::make_unique<ListBoxView>(session_, member, hwnd_, listIds[member]);
    }
    reset_ = std::make_unique<PaintedButton>(hwnd_, resetId, wide(form().Command1(0).Caption()), colours_);
    lastFocus_ = verdict_->hwnd();
}

void QuizWindow::showCaptions(const Form& form)
{
    SetWindowTextW(hwnd_, wide(form.Caption()));
    const int captionIds[] = {titleId, namesCaptionId, periodsCaptionId};
    for (int16_t member = 0; member < 3; ++member)
        SetDlgItemTextW(hwnd_, captionIds[member], wide(form.Label1(member).Caption()));
    // A list is named by its caption, which the system does not tell a
    // screen reader has changed.
    for (const auto& list : lists_)
        NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, list->hwnd(), OBJID_CLIENT, CHILDID_SELF);
}

// After the lists were dealt another exercise's entries: a horizontal scroll
// bar may have come or gone, and with it a row.
void QuizWindow::measureLists()
{
    for (auto& list : lists_)
        list->countRows();
}

void QuizWindow::open(Exercise exercise)
{
    session_.open(std::move(exercise));
    measureLists();
}

bool QuizWindow::openFile(const std::u16string& path)
{
    PairFile file = readPairFileAt(path);
    if (!file) {
        MessageBoxW(hwnd_, wide(file.error), wide(form().Caption()), MB_OK | MB_ICONERROR);
        return false;
    }
    open(std::move(*file.exercise));
    return true;
}

void QuizWindow::chooseFile()
{
    if (!chooseFile_)
        return;
    if (const std::optional<std::u16string> path = chooseFile_(hwnd_))
        openFile(*path);
}

// Places every control and the window at `dpi`, in that dpi's font: layout
// and font scale together, so every text keeps its designed room.
void QuizWindow::layOut(UINT dpi, const RECT* suggested)
{
    HFONT oldFont = font_;
    font_ = createQuizFont(dpi);
    for (const auto& [id, place] : places) {
        HWND control = GetDlgItem(hwnd_, id);
        const RECT r = pixels(place, dpi);
        SetWindowPos(control, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_), TRUE);
    }
    SIZE outer = windowSize(dpi);
    if (suggested)
        SetWindowPos(hwnd_, nullptr, suggested->left, suggested->top, outer.cx, outer.cy,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    else
        SetWindowPos(hwnd_, nullptr, 0, 0, outer.cx, outer.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    // The frame is as the system draws it, which need not be what it said
    // it would be at this dpi: the client area is what must come out right.
    const RECT wanted = pixels(layout::clientArea, dpi);
    RECT client{};
    GetClientRect(hwnd_, &client);
    if (client.right != wanted.right || client.bottom != wanted.bottom) {
        outer.cx += wanted.right - client.right;
        outer.cy += wanted.bottom - client.bottom;
        SetWindowPos(hwnd_, nullptr, 0, 0, outer.cx, outer.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (oldFont)
        DeleteObject(oldFont);
    for (auto& list : lists_)
        list->measure();
}

SIZE QuizWindow::windowSize(UINT dpi) const
{
    const RECT client = pixels(layout::clientArea, dpi);
    return windowSizeFor({client.right, client.bottom}, windowStyle, windowExStyle, dpi);
}

void QuizWindow::show(int showCommand)
{
    ShowWindow(hwnd_, showCommand);
    UpdateWindow(hwnd_);
    SetFocus(verdict_->hwnd());
}

LRESULT CALLBACK QuizWindow::procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* self = static_cast<QuizWindow*>(reinterpret_cast<const CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->hwnd_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<QuizWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    return self ? self->handle(message, wParam, lParam) : DefWindowProcW(window, message, wParam, lParam);
}

LRESULT QuizWindow::handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND: {
        const int id = LOWORD(wParam);
        const int code = HIWORD(wParam);
        // A quick second click on "Чисти" comes as a double click. Enter comes
        // as IDOK, from the window's keyboard navigation: an owner-drawn button
        // is no default push button, so the window presses it.
        if ((id == resetId && (code == BN_CLICKED || code == BN_DOUBLECLICKED))
            || (id == IDOK && GetFocus() == reset_->hwnd()))
            session_.reset();
        if ((id == namesId || id == periodsId) && code == LBN_SELCHANGE)
            lists_[id == namesId ? 0 : 1]->selectionChangedByControl();
        if (id == openId)
            chooseFile();
        return 0;
    }
    case WM_DROPFILES:
        if (const std::optional<std::u16string> path = droppedFile(reinterpret_cast<HDROP>(wParam)))
            openFile(*path);
        return 0;
    case WM_DRAWITEM:
        if (wParam == resetId) {
            reset_->draw(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
            return TRUE;
        }
        break;
    // Text and background of every control from the one colour rule. The
    // read-only verdict box asks as a STATIC does.
    case WM_CTLCOLORSTATIC: {
        const bool box = verdict_ && reinterpret_cast<HWND>(lParam) == verdict_->hwnd();
        return colours_.paint(reinterpret_cast<HDC>(wParam), box ? Colours::box : Colours::caption);
    }
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLOREDIT:
        return colours_.paint(reinterpret_cast<HDC>(wParam), Colours::box);
    case WM_ERASEBKGND: {
        RECT client{};
        GetClientRect(hwnd_, &client);
        FillRect(reinterpret_cast<HDC>(wParam), &client, colours_.brush(Colours::window));
        return TRUE;
    }
    // The theme or the system's colours changed: the rule is read again and
    // all painted anew, system-drawn edges and scroll bars included.
    case WM_SETTINGCHANGE:
        if (wParam != SPI_SETHIGHCONTRAST)
            break;
        [[fallthrough]];
    case WM_SYSCOLORCHANGE:
        colours_.update();
        RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
        break;
    // The focus goes back to where the learner left it when the window is
    // active again, as in a dialog.
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE) {
            if (HWND focus = GetFocus(); focus && IsChild(hwnd_, focus))
                lastFocus_ = focus;
            return 0;
        }
        break;
    case WM_SETFOCUS:
        if (lastFocus_)
            SetFocus(lastFocus_);
        return 0;
    case WM_GETDPISCALEDSIZE:
        *reinterpret_cast<SIZE*>(lParam) = windowSize(static_cast<UINT>(wParam));
        return TRUE;
    case WM_DPICHANGED:
        layOut(HIWORD(wParam), reinterpret_cast<const RECT*>(lParam));
        return 0;
    case WM_DESTROY:
        if (endsProgram_)
            PostQuitMessage(0);
        break;
    case WM_NCDESTROY: {
        // The default clean-up needs the window, which is gone only after
        // it: the handle is forgotten last.
        const LRESULT result = DefWindowProcW(hwnd_, message, wParam, lParam);
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        hwnd_ = nullptr;
        return result;
    }
    default:
        break;
    }
    return DefWindowProcW(hwnd_, message, wParam, lParam);
}

void QuizWindow::showList(int16_t member, const ListShown& list)
{
    lists_.at(static_cast<std::size_t>(member))->show(list);
}

void QuizWindow::reportFailure(std::string_view message)
{
    const std::u16string text = std::u16string(texts::failureText) + u"\r\n\r\n" + std::u16string(texts::failureAdvice)
                                + u"\r\n\r\n" + fromUtf8(message);
    MessageBoxW(hwnd_, wide(text), wide(form().Caption()), MB_OK | MB_ICONERROR);
}

} // namespace drelvan::win32
