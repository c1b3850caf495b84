#include "BlockWireCheck.h"

#include <algorithm>
#include <utility>

#include "FuzzInput.h"
#include "LinkTypes.h"

namespace corvane::fuzz {

void BlockWireCheck::Begin(size_t at, int headerLength, std::vector<Frame> candidates) {
    End(at);
    m_blocks.push_back({at, kOpen, at, headerLength, std::move(candidates)});
}

void BlockWireCheck::End(size_t at) {
    if (IsOpen()) {
        m_blocks.back().end = at;
    }
}

void BlockWireCheck::Drop(size_t written) {
    for (Block& block : m_blocks) {
        block.end = std::min(block.end, written);
    }
}

int BlockWireCheck::Expected(const Frame& frame, int header, size_t offset) {
    const size_t frameLength = frame.size();
    const size_t headerLength = static_cast<size_t>(header);
    if (offset == 0) {
        return esc::kWriteRequest;
    }
    if (offset <= headerLength) {
        return offset - 1 < frameLength ? frame[offset - 1] : -1;
    }
    if (frameLength <= headerLength) {
        return -1;
    }
    const size_t rest = frameLength - headerLength;
    return frame[headerLength + (offset - 1 - headerLength) % rest];
}

void BlockWireCheck::Check(const std::vector<uint8_t>& wire) {
    for (Block& block : m_blocks) {
        const size_t until = std::min(block.end, wire.size());
        for (; block.checked < until; ++block.checked) {
            const size_t offset = block.checked - block.start;
            const uint8_t byte = wire[block.checked];
            std::erase_if(block.candidates, [&](const Frame& frame) {
                return Expected(frame, block.header, offset) != byte;
            });
            Require(!block.candidates.empty());
        }
    }
    std::erase_if(m_blocks, [](const Block& block) { return block.checked >= block.end; });
}

} // namespace corvane::fuzz
