// The bytes a farm script sends, as the client gets them, for the tests.
#pragma once

#include <string>

#include "tools/standins/farm_behaviour.h"

namespace standins {

inline std::string Joined(const CScript& script) {
    std::string all;
    for (const CPiece& p : script.m_pieces) {
        all += p.m_strBytes;
    }
    return all;
}

} // namespace standins
