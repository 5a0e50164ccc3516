#include "win32/accessiblename.hpp"

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

template <class Function>
Function lookUp(HMODULE module, const char* name)
{
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

} // namespace

AccessibleName::AccessibleName(HWND control, const wchar_t* name) : control_(control)
{
    com_ = LoadLibraryExW(L"ole32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (!com_)
        return;
    const auto initialize = lookUp<CoInitializeExFn>(com_, "CoInitializeEx");
    const auto create = lookUp<CoCreateInstanceFn>(com_, "CoCreateInstance");
    if (!initialize || !create)
        return;
    comStarted_ = SUCCEEDED(initialize(nullptr, COINIT_APARTMENTTHREADED));
    if (FAILED(create(clsidAccPropServices, nullptr, CLSCTX_INPROC_SERVER, iidAccPropServices,
                      reinterpret_cast<void**>(&services_))))
        services_ = nullptr;
    if (services_)
        given_ = SUCCEEDED(services_->SetHwndPropStr(control, OBJID_CLIENT, CHILDID_SELF, propidAccName, name));
}

AccessibleName::~AccessibleName()
{
    if (services_) {
        MSAAPROPID props[] = {propidAccName};
        if (given_)
            services_->ClearHwndProps(control_, OBJID_CLIENT, CHILDID_SELF, props, 1);
        services_->Release();
    }
    if (comStarted_)
        if (const auto uninitialize = lookUp<CoUninitializeFn>(com_, "CoUninitialize"))
            uninitialize();
    if (com_)
        FreeLibrary(com_);
}

} // namespace drelvan::win32
