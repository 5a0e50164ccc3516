#include "win32/verdictbox.hpp"

#include "win32/wide.hpp"

#include "content/texts.hpp"

namespace drelvan::win32 {

VerdictBox::VerdictBox(HWND parent, int id)
{
    subclass(CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", nullptr,
                             WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_READONLY
                                 | ES_AUTOVSCROLL,
                             0, 0, 0, 0, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                             GetModuleHandleW(nullptr), nullptr));
}

void VerdictBox::show(std::u16string_view text)
{
    // The box's lines end in CR LF, as the model's do. Setting the text
    // scrolls back to the first line.
    SetWindowTextW(hwnd(), wideText(text).c_str());
    SendMessageW(hwnd(), EM_SETSEL, 0, 0);
    SendMessageW(hwnd(), EM_SCROLLCARET, 0, 0);
}

const AccessibleName& VerdictBox::accessibleName()
{
    if (!name_)
        name_ = std::make_unique<AccessibleName>(hwnd(), wideText(texts::verdictName).c_str());
    return *name_;
}

LRESULT VerdictBox::handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_GETOBJECT)
        accessibleName();
    if (message == WM_DESTROY)
        name_.reset();
    if (message == WM_GETDLGCODE) {
        // A multi-line EDIT asks for every key, Tab and Enter among them.
        // Here Tab and Shift+Tab move on through the window and Enter goes
        // to the window; and tabbing in selects nothing, the box being there
        // to be read.
        const LRESULT wanted = native(message, wParam, lParam);
        return wanted & ~(DLGC_WANTALLKEYS | DLGC_WANTTAB | DLGC_HASSETSEL);
    }
    return native(message, wParam, lParam);
}

} // namespace drelvan::win32
