#include "win32/verdictbox.hpp"

#include "win32/layout.hpp"
#include "win32/wide.hpp"

#include "content/texts.hpp"

#include <oleacc.h>

namespace drelvan::win32 {

namespace {

// From oleacc.h, defined here rather than linked from an import library.
constexpr CLSID clsidAccPropServices{0xb5f8350b, 0x0548, 0x48b1, {0xa6, 0xee, 0x88, 0xbd, 0x00, 0xb4, 0xa5, 0xe7}};
constexpr IID iidAccPropServices{0x6e26e776, 0x04f0, 0x495d, {0x80, 0xe4, 0x33, 0x30, 0x35, 0x2e, 0x31, 0x69}};
constexpr MSAAPROPID propidAccName{0x608d3df8, 0x8128, 0x4aa7, {0xa4, 0x28, 0xf5, 0x5e, 0x49, 0x26, 0x72, 0x91}};

using CoInitializeExFn = HRESULT(WINAPI*)(void*, DWORD);
using CoUninitializeFn = void(WINAPI*)();
using CoCreateInstanceFn = HRESULT(WINAPI*)(REFCLSID, IUnknown*, DWORD, REFIID, void**);

} // namespace

VerdictBox::VerdictBox(HWND parent, int id)
{
    subclass(createControl(parent, id, L"EDIT", nullptr,
                           WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL, WS_EX_CLIENTEDGE));
}

void VerdictBox::show(std::u16string_view text)
{
    // The box's lines end in CR LF, as the model's do. Setting the text
    // scrolls back to the first line.
    SetWindowTextW(hwnd(), wide(std::u16string(text)));
    SendMessageW(hwnd(), EM_SETSEL, 0, 0);
    SendMessageW(hwnd(), EM_SCROLLCARET, 0, 0);
}

bool VerdictBox::named()
{
    if (asked_)
        return named_;
    asked_ = true;
    const auto initialize = com_.function<CoInitializeExFn>("CoInitializeEx");
    const auto create = com_.function<CoCreateInstanceFn>("CoCreateInstance");
    if (!initialize || !create)
        return false;
    comStarted_ = SUCCEEDED(initialize(nullptr, COINIT_APARTMENTTHREADED));
    if (FAILED(create(clsidAccPropServices, nullptr, CLSCTX_INPROC_SERVER, iidAccPropServices,
                      reinterpret_cast<void**>(&services_))))
        services_ = nullptr;
    const std::u16string name(texts::verdictName);
    if (services_)
        named_ = SUCCEEDED(services_->SetHwndPropStr(hwnd(), OBJID_CLIENT, CHILDID_SELF, propidAccName, wide(name)));
    return named_;
}

// Takes the name back and leaves COM, as the box goes.
void VerdictBox::unname()
{
    if (services_) {
        MSAAPROPID props[] = {propidAccName};
        if (named_)
            services_->ClearHwndProps(hwnd(), OBJID_CLIENT, CHILDID_SELF, props, 1);
        services_->Release();
        services_ = nullptr;
        named_ = false;
    }
    if (comStarted_)
        if (const auto uninitialize = com_.function<CoUninitializeFn>("CoUninitialize"))
            uninitialize();
    comStarted_ = false;
}

LRESULT VerdictBox::handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_GETOBJECT)
        named();
    if (message == WM_DESTROY)
        unname();
    if (message == WM_GETDLGCODE) {
        // A multi-line EDIT asks for every key. Here Tab and Shift+Tab move
        // on and Enter goes to the window; tabbing in selects nothing, the
        // box being there to be read.
        const LRESULT wanted = native(message, wParam, lParam);
        return wanted & ~(DLGC_WANTALLKEYS | DLGC_WANTTAB | DLGC_HASSETSEL);
    }
    return native(message, wParam, lParam);
}

} // namespace drelvan::win32
