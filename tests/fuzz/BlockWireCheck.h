// Follows the bytes the link writes for each block it sends. From the block's announcement
// (notification 8) until its exchange ends, the link may produce only the write request 0x62,
// the frame's header bytes one by one, and then the rest of the frame, once for every go-on
// of the ESC. The frame must be one of the candidates named at the start: for a firmware
// block, any whole block of the loaded payload; for a parameter block, the ESC's block.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace corvane::fuzz {

class BlockWireCheck {
public:
    using Frame = std::vector<uint8_t>; // command byte, then the data as framed

    // The block's bytes begin at wire position `at`; an earlier block still open ends there.
    void Begin(size_t at, int headerLength, std::vector<Frame> candidates);
    // The block's exchange ended: what the link produces from `at` on belongs to others.
    void End(size_t at);
    bool IsOpen() const { return !m_blocks.empty() && m_blocks.back().end == kOpen; }
    // Bytes not yet written were dropped (a reset): no block owns anything past `written`.
    void Drop(size_t written);
    // Checks every byte written since the last call; aborts on one no candidate explains.
    void Check(const std::vector<uint8_t>& wire);

private:
    static constexpr size_t kOpen = static_cast<size_t>(-1);
    struct Block {
        size_t start;
        size_t end;
        size_t checked;
        int header;
        std::vector<Frame> candidates;
    };
    // The byte a block with this frame puts at `offset` from its start; -1 if none may come.
    static int Expected(const Frame& frame, int header, size_t offset);

    std::vector<Block> m_blocks;
};

} // namespace corvane::fuzz
