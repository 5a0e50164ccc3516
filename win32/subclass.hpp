#pragma once

#include <windows.h>

namespace drelvan::win32 {

// A standard control whose messages pass through `handle` first, so that
// where the control's own behaviour is not the quiz's, the quiz's wins. What
// `handle` leaves alone goes on to the control with native().
class SubclassedControl {
public:
    SubclassedControl() = default;
    SubclassedControl(const SubclassedControl&) = delete;
    SubclassedControl& operator=(const SubclassedControl&) = delete;
    virtual ~SubclassedControl() { release(); }

    HWND hwnd() const { return hwnd_; }

protected:
    void subclass(HWND control);
    virtual LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam) { return native(message, wParam, lParam); }
    LRESULT native(UINT message, WPARAM wParam, LPARAM lParam);

private:
    static LRESULT CALLBACK procedure(HWND control, UINT message, WPARAM wParam, LPARAM lParam);
    void release();

    HWND hwnd_ = nullptr;
    WNDPROC native_ = nullptr;
};

} // namespace drelvan::win32
