// What a user with a real dongle sends us when something goes wrong: with CORVANE_TRACE=1 in
// the environment, every report's payload sent and received (time, direction, hex) and every
// link state change goes to stderr, one line each. Off by default: nothing is printed.
#pragma once

#include <cstdint>
#include <mutex>
#include <ostream>

namespace corvane {

class LinkTrace {
public:
    // The stream the environment asks for: std::cerr with CORVANE_TRACE=1, else none.
    static std::ostream* FromEnvironment();

    void SetStream(std::ostream* stream) { m_pStream = stream; }
    bool Enabled() const { return m_pStream != nullptr; }

    // `out`: tool to ESC. Only bytes that were really taken or received.
    void Bytes(uint32_t now, bool out, const uint8_t* bytes, int count);
    void LinkState(uint32_t now, int from, int to);

private:
    std::ostream* m_pStream = nullptr;
    // The worker and the user-interface thread (a request's hand-over) both trace.
    std::mutex m_lock;
};

} // namespace corvane
