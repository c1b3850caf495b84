// Shared by the fuzzers: a failed check aborts, so libFuzzer keeps the input; and the input is
// read as a stream of small fields that runs dry into zeros instead of failing.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace corvane::fuzz {

inline void Require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

class ByteReader {
public:
    ByteReader(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}

    bool Empty() const { return m_pos >= m_size; }
    uint8_t Next() { return m_pos < m_size ? m_data[m_pos++] : 0; }
    uint16_t Next16() {
        const uint8_t low = Next();
        return static_cast<uint16_t>(low | (Next() << 8));
    }
    // Up to count bytes; fewer at the end of the input.
    std::vector<uint8_t> Take(size_t count) {
        const size_t n = std::min(count, m_size - std::min(m_pos, m_size));
        std::vector<uint8_t> bytes(m_data + m_pos, m_data + m_pos + n);
        m_pos += n;
        return bytes;
    }

private:
    const uint8_t* m_data;
    size_t m_size;
    size_t m_pos = 0;
};

} // namespace corvane::fuzz
