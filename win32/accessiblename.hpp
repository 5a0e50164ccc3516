#pragma once

#include <windows.h>

struct IAccPropServices;

namespace drelvan::win32 {

// Gives a control with no label of its own the name a screen reader says
// when the focus comes to it, through Windows' dynamic annotation
// (IAccPropServices). The lists need none: a screen reader names each by
// the caption just in front of it. COM is looked up at run time; where the
// annotation is not to be had, the control simply stays unnamed.
class AccessibleName {
public:
    AccessibleName(HWND control, const wchar_t* name);
    ~AccessibleName();
    AccessibleName(const AccessibleName&) = delete;
    AccessibleName& operator=(const AccessibleName&) = delete;

    // Whether the name was given.
    bool given() const { return given_; }

private:
    HWND control_;
    HMODULE com_ = nullptr;
    IAccPropServices* services_ = nullptr;
    bool comStarted_ = false;
    bool given_ = false;
};

} // namespace drelvan::win32
