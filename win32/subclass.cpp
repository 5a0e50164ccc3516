#include "win32/subclass.hpp"

namespace drelvan::win32 {

void SubclassedControl::subclass(HWND control)
{
    hwnd_ = control;
    // The standard controls leave a window's user data to the program.
    SetWindowLongPtrW(control, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    native_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SubclassedControl::procedure)));
}

void SubclassedControl::release()
{
    if (!hwnd_)
        return;
    SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(native_));
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    hwnd_ = nullptr;
}

LRESULT SubclassedControl::native(UINT message, WPARAM wParam, LPARAM lParam)
{
    return CallWindowProcW(native_, hwnd_, message, wParam, lParam);
}

LRESULT CALLBACK SubclassedControl::procedure(HWND control, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* self = reinterpret_cast<SubclassedControl*>(GetWindowLongPtrW(control, GWLP_USERDATA));
    if (!self)
        return DefWindowProcW(control, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        // The control is going: hand it back to its own procedure for good.
        const WNDPROC own = self->native_;
        self->release();
        return CallWindowProcW(own, control, message, wParam, lParam);
    }
    return self->handle(message, wParam, lParam);
}

} // namespace drelvan::win32
