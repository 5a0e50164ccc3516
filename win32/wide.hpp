#pragma once

#include <string>
#include <string_view>

namespace drelvan::win32 {

// The model's text is UTF-16, and so is Windows' wchar_t: the same code
// units, passed as they are.
static_assert(sizeof(wchar_t) == sizeof(char16_t));

inline const wchar_t* wide(const std::u16string& text)
{
    return reinterpret_cast<const wchar_t*>(text.c_str());
}

// A copy that ends in a null, for a text that is only viewed.
inline std::wstring wideText(std::u16string_view text)
{
    return {text.begin(), text.end()};
}

inline std::u16string_view modelText(const wchar_t* text, std::size_t length)
{
    return {reinterpret_cast<const char16_t*>(text), length};
}

} // namespace drelvan::win32
