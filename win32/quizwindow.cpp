#include "quizwindow.hpp"

#include "layout.hpp"
#include "wide.hpp"

#include <string>

namespace drelvan::win32 {

namespace {

// A fixed, thin border, a title with the system menu and the close box, and
// neither a minimize nor a maximize box: the learner cannot resize the window.
constexpr DWORD windowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
constexpr DWORD windowExStyle = 0;

struct Placed {
    int id;
    Twips place;
};
constexpr Placed places[] = {
    {QuizWindow::verdictId, layout::verdictBox},     {QuizWindow::namesId, layout::namesList},
    {QuizWindow::periodsId, layout::periodsList},    {QuizWindow::resetId, layout::resetButton},
    {QuizWindow::titleId, layout::titleLabel},       {QuizWindow::namesCaptionId, layout::namesCaption},
    {QuizWindow::periodsCaptionId, layout::periodsCaption},
};

std::wstring fromUtf8(const char* text)
{
    const int length = MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length > 0 ? length : 1), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text, -1, wide.data(), length);
    wide.resize(wide.size() - 1);
    return wide;
}

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
        windowClass.hIconSm = static_cast<HICON>(LoadImageW(instance, L"IDI_ICON1", IMAGE_ICON,
                                                            GetSystemMetrics(SM_CXSMICON),
                                                            GetSystemMetrics(SM_CYSMICON), 0));
        windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
        // No class brush: the background follows the colour rule (WM_ERASEBKGND).
        windowClass.lpszClassName = QuizWindow::className;
        return RegisterClassExW(&windowClass) != 0;
    }();
    return registered;
}

QuizWindow::QuizWindow()
{
    if (!registerClass())
        return;
    hwnd_ = CreateWindowExW(windowExStyle, className, wide(form_.Caption()), windowStyle, CW_USEDEFAULT,
                            CW_USEDEFAULT, 0, 0, nullptr, nullptr, GetModuleHandleW(nullptr), this);
    if (!hwnd_)
        return;
    createControls();
    layOut(dpiOf(hwnd_), nullptr);
    mirror();
}

QuizWindow::~QuizWindow()
{
    if (hwnd_)
        DestroyWindow(hwnd_);
    if (font_)
        DeleteObject(font_);
}

// Created in the order of keyboard focus, which is the order Tab follows.
// Each list's caption comes just before the list: a screen reader names a
// list box by the label in front of it.
void QuizWindow::createControls()
{
    HINSTANCE instance = GetModuleHandleW(nullptr);
    const auto label = [&](int16_t member, int id) {
        return CreateWindowExW(0, L"STATIC", wide(form_.Label1(member).Caption()),
                               WS_CHILD | WS_VISIBLE | SS_CENTER | SS_NOPREFIX, 0, 0, 0, 0, hwnd_,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
    };
    verdict_ = std::make_unique<VerdictBox>(hwnd_, verdictId);
    label(0, titleId);
    const int listIds[] = {namesId, periodsId};
    const int captionIds[] = {namesCaptionId, periodsCaptionId};
    for (int16_t member = 0; member < 2; ++member) {
        label(static_cast<int16_t>(member + 1), captionIds[member]);
        auto& list = lists_[static_cast<std::size_t>(member)];
        list = std::make_unique<ListBoxMirror>(form_.List1(member), hwnd_, listIds[member]);
        list->setChooser([this, member](int row) { choose(member, row); });
    }
    reset_ = std::make_unique<PaintedButton>(hwnd_, resetId, wide(form_.Command1(0).Caption()), colours_);
    lastFocus_ = verdict_->hwnd();
}

// Places every control and the window at `dpi`, in the font of that dpi:
// layout and font scale together, so every text keeps the room it was
// designed with.
void QuizWindow::layOut(UINT dpi, const RECT* suggested)
{
    HFONT oldFont = font_;
    font_ = createQuizFont(dpi);
    for (const Placed& placed : places) {
        HWND control = GetDlgItem(hwnd_, placed.id);
        const RECT r = pixels(placed.place, dpi);
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
        list->sync();
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
    case WM_COMMAND:
        onCommand(LOWORD(wParam), HIWORD(wParam));
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
    // A high-contrast theme switched on or off, or the system's colours
    // changed: the rule is read again and everything painted anew, the
    // system-drawn edges and scroll bars included.
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
    case WM_GETDPISCALEDSIZE: {
        auto* size = reinterpret_cast<SIZE*>(lParam);
        *size = windowSize(static_cast<UINT>(wParam));
        return TRUE;
    }
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

void QuizWindow::onCommand(int id, int code)
{
    switch (id) {
    case resetId:
        // The second press of a quick double click comes as a double click.
        if (code == BN_CLICKED || code == BN_DOUBLECLICKED)
            deliver([this] { form_.Command1(0).Click(); });
        break;
    case IDOK:
        // Enter, from the window's keyboard navigation: an owner-drawn button
        // is no default push button, so the window presses it.
        if (GetFocus() == reset_->hwnd())
            deliver([this] { form_.Command1(0).Click(); });
        break;
    case namesId:
    case periodsId:
        if (code == LBN_SELCHANGE)
            lists_[id == namesId ? 0 : 1]->selectionChangedByControl();
        break;
    default:
        break;
    }
}

// The learner's pick in a visible list becomes the model's selection, which
// raises Click; picking the entry already selected changes nothing.
void QuizWindow::choose(int16_t member, int row)
{
    if (row != form_.List1(member).ListIndex())
        deliver([this, member, row] { form_.List1(member).SetListIndex(static_cast<int16_t>(row)); });
}

// Runs one of the learner's actions on the model. A failure inside a handler
// ends that handler, as a run-time error does; the learner is told and the
// quiz goes on. Whatever happened, the screen shows the model afterwards, and
// a new verdict is told to a screen reader.
void QuizWindow::deliver(const std::function<void()>& raiseClick)
{
    if (const auto error = raiseForLearner(raiseClick))
        reportError(error->c_str());
    if (mirror())
        announcer_.announce(verdict_->hwnd(), form_.Text1(0).Text());
}

bool QuizWindow::mirror()
{
    for (auto& list : lists_)
        list->sync();
    return verdict_->show(form_.Text1(0).Text());
}

void QuizWindow::reportError(const char* what)
{
    const std::wstring text = L"Грешка при изпълнение на програмата.\r\n\r\n"
                              L"Последното действие не беше довършено. Играта може да продължи.\r\n\r\n"
                              + fromUtf8(what);
    MessageBoxW(hwnd_, text.c_str(), wide(form_.Caption()), MB_OK | MB_ICONERROR);
}

} // namespace drelvan::win32
