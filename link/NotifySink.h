// Where the worker posts its notifications. The application's sink queues them for the main
// window; tests record them. Post must not block for long and must be callable from the
// worker thread (and from the user-interface thread, for a request refused at hand-over).
#pragma once

#include <cstdint>
#include <vector>

#include "EscIdentity.h"

namespace corvane {

// One notification: its code (LN_...), its value, and the exchange it belongs to. Every
// exchange the link begins (a wait for the ESC, an identify or keep-alive, a read, a write or
// a whole firmware transfer) gets the next serial; a request refused before it began gets one
// of its own, so its refusal is never taken for the outcome of another exchange.
struct LinkNotice {
    uint32_t code = 0;
    uint32_t value = 0;
    uint32_t exchange = 0;
    // What the notice reports, copied by the worker as it posts it, so that the window never
    // reads the link's records: the identity (LN_IDENTIFIED), and the block a read brought
    // with its layout (LN_READ_DONE; no bytes when no buffer could be had for them).
    EscIdentity identity{};
    std::vector<uint8_t> block{};
    uint16_t blockLength = 0;
    uint8_t blockCount = 0;
    bool operator==(const LinkNotice&) const = default;
};

class NotifySink {
public:
    virtual ~NotifySink() = default;
    virtual void PostLinkNotify(const LinkNotice& notice) = 0;
};

} // namespace corvane
