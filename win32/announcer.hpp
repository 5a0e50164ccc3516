#pragma once

#include "win32/systemlibrary.hpp"

#include <oleauto.h>
#include <unknwn.h>

#include <functional>
#include <string>
#include <string_view>

namespace drelvan::win32 {

// Tells a screen reader each verdict as it is written, by UI Automation's
// notification event. Windows has it from Windows 10 version 1709 on; where
// it is missing, the program runs on and announces nothing.
class Announcer {
public:
    // Announces `text` as coming from the control `source`.
    void announce(HWND source, std::u16string_view text);

    // The tests' ear where no screen reader runs: hears every announcement.
    void setListener(std::function<void(const std::u16string&)> listener) { listener_ = std::move(listener); }

private:
    bool load();

    using HostProviderFn = HRESULT(WINAPI*)(HWND, IUnknown**);
    using RaiseNotificationFn = HRESULT(WINAPI*)(IUnknown*, int, int, BSTR, BSTR);
    using SysAllocStringLenFn = BSTR(WINAPI*)(const OLECHAR*, UINT);
    using SysFreeStringFn = void(WINAPI*)(BSTR);

    bool loaded_ = false;
    SystemLibrary automation_{L"uiautomationcore.dll"};
    SystemLibrary automationStrings_{L"oleaut32.dll"};
    HostProviderFn hostProvider_ = nullptr;
    RaiseNotificationFn raise_ = nullptr;
    SysAllocStringLenFn allocString_ = nullptr;
    SysFreeStringFn freeString_ = nullptr;
    std::function<void(const std::u16string&)> listener_;
};

} // namespace drelvan::win32
