#pragma once

#include "controls/controls.hpp"
#include "core/khans.hpp"
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

inline QStringList qStrings(const Texts& texts)
{
    QStringList list;
    for (const auto& text : texts)
        list << q(text);
    return list;
}

inline const QStringList chronologicalNames = qStrings(expected::chronologicalNames);
inline const QStringList alphabeticalNames = qStrings(expected::alphabeticalNames);
inline const QStringList periods = qStrings(expected::periods);
