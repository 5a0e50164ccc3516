#pragma once

#include "controls/listrules.hpp"

#include <optional>
#include <string_view>

namespace drelvan::web {

// The list key a DOM key name (KeyboardEvent.key) stands for, or none.
// Space is " ", the character it types.
inline std::optional<listrules::ListKey> listKey(std::u16string_view name)
{
    using listrules::ListKey;
    struct Name {
        std::u16string_view dom;
        ListKey key;
    };
    static constexpr Name names[] = {
        {u"ArrowUp", ListKey::Up},     {u"ArrowDown", ListKey::Down},     {u"ArrowLeft", ListKey::Left},
        {u"ArrowRight", ListKey::Right}, {u"PageUp", ListKey::PageUp}, {u"PageDown", ListKey::PageDown},
        {u"Home", ListKey::Home},      {u"End", ListKey::End},            {u" ", ListKey::Space},
    };
    for (const Name& candidate : names)
        if (candidate.dom == name)
            return candidate.key;
    return std::nullopt;
}

} // namespace drelvan::web
