#pragma once

#include <QString>

#include <string_view>

namespace drelvan {

// The model's text as Qt's: the same UTF-16 code units, copied as they are.
inline QString toQString(std::u16string_view text)
{
    return QString(reinterpret_cast<const QChar*>(text.data()), static_cast<qsizetype>(text.size()));
}

// Qt's text as the model's, without a copy; valid while `text` is.
inline std::u16string_view toModelText(const QString& text)
{
    return {reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size())};
}

} // namespace drelvan
