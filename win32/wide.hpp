#pragma once

#include <string>

namespace drelvan::win32 {

// The model's text is UTF-16, and so is Windows' wchar_t: the same code
// units, passed as they are.
static_assert(sizeof(wchar_t) == sizeof(char16_t));

inline const wchar_t* wide(const std::u16string& text)
{
    return reinterpret_cast<const wchar_t*>(text.c_str());
}

} // namespace drelvan::win32
