#include "LinkTrace.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>

namespace corvane {

std::ostream* LinkTrace::FromEnvironment() {
    const char* value = std::getenv("CORVANE_TRACE");
    return value != nullptr && std::strcmp(value, "1") == 0 ? &std::cerr : nullptr;
}

void LinkTrace::Bytes(uint32_t now, bool out, const uint8_t* bytes, int count) {
    if (m_pStream == nullptr || bytes == nullptr || count <= 0) {
        return;
    }
    std::string line(32 + static_cast<size_t>(count) * 3, '\0');
    int at = std::snprintf(line.data(), line.size(), "%10u %s %3d:", now, out ? "tx" : "rx", count);
    for (int i = 0; i < count; ++i) {
        at += std::snprintf(line.data() + at, line.size() - static_cast<size_t>(at), " %02X",
                            bytes[i]);
    }
    line.resize(static_cast<size_t>(at));
    std::lock_guard<std::mutex> lock(m_lock);
    *m_pStream << line << '\n' << std::flush;
}

void LinkTrace::LinkState(uint32_t now, int from, int to) {
    if (m_pStream == nullptr) {
        return;
    }
    static constexpr const char* kNames[] = {"DOWN", "IDLE",  "WAIT_ESC", "IDENTIFY",
                                             "READ", "WRITE", "KEEPALIVE"};
    auto name = [](int state) { return state >= 0 && state <= 6 ? kNames[state] : "?"; };
    char line[64];
    std::snprintf(line, sizeof line, "%10u link %s -> %s", now, name(from), name(to));
    std::lock_guard<std::mutex> lock(m_lock);
    *m_pStream << line << '\n' << std::flush;
}

} // namespace corvane
