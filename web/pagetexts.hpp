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

// Why a file of pairs named in the page's address (index.html?pairs=...) or
// given to the page did not reach the quiz's reader, which says what is
// wrong with one it reads. %1 is the file's name or address, %2 the reason.
inline constexpr std::u16string_view fromDisk =
    u"Файлът „%1“ не е отворен: страницата е отворена от диска (file://), а оттам браузърът не изтегля "
    u"файлове. Пуснете файла върху страницата или го изберете с Ctrl+O.";
inline constexpr std::u16string_view otherOrigin =
    u"„%1“ не е отворен: страницата отваря само файлове от собствения си сървър.";
inline constexpr std::u16string_view unfetched = u"Файлът „%1“ не може да бъде изтеглен (%2).";
inline constexpr std::u16string_view offline = u"няма връзка със сървъра";
inline constexpr std::u16string_view unreadable = u"Файлът „%1“ не може да бъде прочетен.";
// A copy of the page without the reader's script (half copied, or a server
// half-way through an update); %1 is that script's name.
inline constexpr std::u16string_view incomplete =
    u"Страницата не е цяла: липсва файлът „%1“. Заредете я отново, а ако файлът пак липсва, копирайте "
    u"наново цялата папка на страницата.";

} // namespace drelvan::web
