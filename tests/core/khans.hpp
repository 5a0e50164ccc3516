#pragma once

// The catalogue as the tests expect it, typed from the history books rather
// than taken from the program, so that a slip in either copy shows. Plain
// C++, for the core's tests (expected.hpp), the Windows window's and the Qt
// window's (support.hpp) alike: one copy for all of them.

#include <string>
#include <vector>

using Texts = std::vector<std::u16string>;

namespace expected {

inline const Texts chronologicalNames{
    u"Аспарух", u"Тервел", u"Кормес", u"Севар", u"Кормисош", u"Винех", u"Телец", u"Сабин",
    u"Токту", u"Паган", u"Телериг", u"Кардам", u"Крум", u"Омуртаг", u"Маламир", u"Пресиян I"};

inline const Texts alphabeticalNames{
    u"Аспарух", u"Винех", u"Кардам", u"Кормес", u"Кормисош", u"Крум", u"Маламир", u"Омуртаг",
    u"Паган", u"Пресиян I", u"Сабин", u"Севар", u"Телериг", u"Телец", u"Тервел", u"Токту"};

inline const Texts periods{
    u"681 - 701", u"701 - 718", u"718 - 738", u"738 - 753 ", u"753 - 756", u"756 - 760",
    u"760 - 763", u"763 - 766", u"766 - 767", u"767 - 768", u"768 - 777", u"777 - 803",
    u"803 - 814", u"814 - 831", u"831 - 836", u"836 - 852"};

} // namespace expected
