// The connected ESC as an identify reported it, and the connection it belongs to.
#pragma once

#include <cstdint>

namespace corvane {

struct EscIdentity {
    uint8_t byModel = 0;
    uint8_t byFamily = 0;
    uint8_t byVersionLetter = 0;
    uint8_t byVersion = 0;
    uint32_t nEpoch = 0;
    bool operator==(const EscIdentity&) const = default;
};

} // namespace corvane
