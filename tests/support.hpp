#pragma once

#include "controls/controls.hpp"
#include "qt/qtext.hpp"

#include <QString>
#include <QStringList>

#include <string_view>

using namespace Qt::StringLiterals;

inline QString q(std::u16string_view text)
{
    return drelvan::toQString(text);
}

inline QStringList entriesOf(const drelvan::ListBox& list)
{
    QStringList entries;
    for (const auto& entry : list.entries())
        entries << q(entry);
    return entries;
}

// The catalogue, typed again from the history books rather than taken from
// the program, so that a slip in either copy shows.
inline const QStringList chronologicalNames{
    u"Аспарух"_s, u"Тервел"_s, u"Кормес"_s, u"Севар"_s, u"Кормисош"_s, u"Винех"_s, u"Телец"_s, u"Сабин"_s,
    u"Токту"_s, u"Паган"_s, u"Телериг"_s, u"Кардам"_s, u"Крум"_s, u"Омуртаг"_s, u"Маламир"_s, u"Пресиян I"_s};

inline const QStringList alphabeticalNames{
    u"Аспарух"_s, u"Винех"_s, u"Кардам"_s, u"Кормес"_s, u"Кормисош"_s, u"Крум"_s, u"Маламир"_s, u"Омуртаг"_s,
    u"Паган"_s, u"Пресиян I"_s, u"Сабин"_s, u"Севар"_s, u"Телериг"_s, u"Телец"_s, u"Тервел"_s, u"Токту"_s};

inline const QStringList periods{
    u"681 - 701"_s, u"701 - 718"_s, u"718 - 738"_s, u"738 - 753 "_s, u"753 - 756"_s, u"756 - 760"_s,
    u"760 - 763"_s, u"763 - 766"_s, u"766 - 767"_s, u"767 - 768"_s, u"768 - 777"_s, u"777 - 803"_s,
    u"803 - 814"_s, u"814 - 831"_s, u"831 - 836"_s, u"836 - 852"_s};
