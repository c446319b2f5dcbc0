// How the emulated machine orders and finds names, in the registry and in folders alike: the
// order of their upper-cased forms (as NT enumerates subkeys), letter case ignored as
// AsciiUpper folds it. A map with this order finds a name written in any case without first
// making an upper-cased copy of it.
#pragma once

#include <algorithm>
#include <cstddef>
#include <string_view>

#include "platform/ascii_case.h"

namespace hostemu {

struct NameLess {
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const {
        size_t common = std::min(a.size(), b.size());
        for (size_t i = 0; i < common; ++i) {
            unsigned char x = static_cast<unsigned char>(AsciiUpper(a[i]));
            unsigned char y = static_cast<unsigned char>(AsciiUpper(b[i]));
            if (x != y)
                return x < y;
        }
        return a.size() < b.size();
    }
};

} // namespace hostemu
