// Where the worker posts its notifications. The application's sink turns each call into an
// event queued to the main window; tests record them. Post must not block for long and must
// be callable from the worker thread.
#pragma once

#include <cstdint>

namespace corvane {

class NotifySink {
public:
    virtual ~NotifySink() = default;
    virtual void PostLinkNotify(uint32_t code, uint32_t value) = 0;
};

} // namespace corvane
