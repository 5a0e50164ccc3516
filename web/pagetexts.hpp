#pragma once

#include <string_view>

// What the page says where it cannot run the quiz. The quiz's own texts are
// in content/texts.hpp.
namespace drelvan::web {

inline constexpr std::u16string_view noScript =
    u"Викторината работи с JavaScript, а той е изключен в този браузър. Разрешете JavaScript в "
    u"настройките на браузъра и заредете страницата отново.";
inline constexpr std::u16string_view noWebAssembly =
    u"Този браузър не поддържа WebAssembly, без който викторината не може да работи. Отворете "
    u"страницата в по-нов браузър.";
// The button that puts a failure's report away.
inline constexpr std::u16string_view dismiss = u"Затвори";

} // namespace drelvan::web
