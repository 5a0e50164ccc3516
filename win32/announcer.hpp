#pragma once

#include <windows.h>
#include <oleauto.h>
#include <unknwn.h>

#include <functional>
#include <string>
#include <string_view>

namespace drelvan::win32 {

// Tells a screen reader the verdict as soon as it is written, with UI
// Automation's notification event. Windows has the event from Windows 10
// version 1709 on; it is looked up in uiautomationcore.dll at run time, and
// where it is missing the program runs on and announces nothing.
class Announcer {
public:
    Announcer();
    ~Announcer();
    Announcer(const Announcer&) = delete;
    Announcer& operator=(const Announcer&) = delete;

    // Whether the running Windows can announce at all.
    bool available() { return load(); }

    // Announces `text` as coming from the control `source`.
    void announce(HWND source, std::u16string_view text);

    // Hears every announcement, whether or not Windows can make it: the
    // tests' ear where no screen reader runs.
    void setListener(std::function<void(const std::u16string&)> listener) { listener_ = std::move(listener); }

private:
    bool load();

    using HostProviderFn = HRESULT(WINAPI*)(HWND, IUnknown**);
    using RaiseNotificationFn = HRESULT(WINAPI*)(IUnknown*, int, int, BSTR, BSTR);
    using SysAllocStringLenFn = BSTR(WINAPI*)(const OLECHAR*, UINT);
    using SysFreeStringFn = void(WINAPI*)(BSTR);

    bool loaded_ = false;
    HMODULE automation_ = nullptr;
    HMODULE automationStrings_ = nullptr;
    HostProviderFn hostProvider_ = nullptr;
    RaiseNotificationFn raise_ = nullptr;
    SysAllocStringLenFn allocString_ = nullptr;
    SysFreeStringFn freeString_ = nullptr;
    std::function<void(const std::u16string&)> listener_;
};

} // namespace drelvan::win32
