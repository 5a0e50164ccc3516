#include "win32/announcer.hpp"

namespace drelvan::win32 {

namespace {

// From the Windows 10 SDK's UIAutomationCore.h, which MinGW's headers lack.
constexpr int NotificationKind_ActionCompleted = 2;
constexpr int NotificationProcessing_ImportantMostRecent = 1;

} // namespace

// Loaded with the first verdict, not at start: the library and what it
// brings would cost first-frame time and memory with nothing yet to say.
bool Announcer::load()
{
    if (loaded_)
        return raise_ != nullptr;
    loaded_ = true;
    hostProvider_ = automation_.function<HostProviderFn>("UiaHostProviderFromHwnd");
    raise_ = automation_.function<RaiseNotificationFn>("UiaRaiseNotificationEvent");
    if (hostProvider_ && raise_) {
        allocString_ = automationStrings_.function<SysAllocStringLenFn>("SysAllocStringLen");
        freeString_ = automationStrings_.function<SysFreeStringFn>("SysFreeString");
    }
    if (!hostProvider_ || !allocString_ || !freeString_)
        raise_ = nullptr;
    return raise_ != nullptr;
}

void Announcer::announce(HWND source, std::u16string_view text)
{
    if (listener_)
        listener_(std::u16string(text));
    if (!load())
        return;
    IUnknown* provider = nullptr;
    if (FAILED(hostProvider_(source, &provider)) || !provider)
        return;
    BSTR message = allocString_(reinterpret_cast<const wchar_t*>(text.data()), static_cast<UINT>(text.size()));
    BSTR activity = allocString_(L"drelvan.verdict", 15);
    // The newest verdict replaces one not yet read out.
    raise_(provider, NotificationKind_ActionCompleted, NotificationProcessing_ImportantMostRecent, message, activity);
    freeString_(activity);
    freeString_(message);
    provider->Release();
}

} // namespace drelvan::win32
