#pragma once

#include <windows.h>

namespace drelvan::win32 {

// A system library loaded when one of its functions is first wanted, not
// linked: it costs nothing until then, and what came after Windows 10's
// first release may be missing. Only from the system directory: a DLL of
// that name beside the program (on a USB stick, say) is never loaded.
class SystemLibrary {
public:
    explicit SystemLibrary(const wchar_t* name) : name_(name) {}
    ~SystemLibrary()
    {
        if (module_)
            FreeLibrary(module_);
    }
    SystemLibrary(const SystemLibrary&) = delete;
    SystemLibrary& operator=(const SystemLibrary&) = delete;

    // The function `name`, null where it or the library is missing.
    template <class Function>
    Function function(const char* name)
    {
        if (!module_)
            module_ = LoadLibraryExW(name_, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
        return module_ ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module_, name))) : nullptr;
    }

private:
    const wchar_t* name_;
    HMODULE module_ = nullptr;
};

} // namespace drelvan::win32
