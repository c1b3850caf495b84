#include "ParamBlockFactory.h"

#include "ParamBlockLayout.h"

namespace corvane {

namespace {

using block::kDescriptorBase;
using block::kSkipLengthOffset;
using block::kValueOffset;
using block::kVersionOffset;

} // namespace

uint8_t ParamBlockFiller(size_t offset) {
    return static_cast<uint8_t>(offset * 151 + 89);
}

ParamBlockBuilder& ParamBlockBuilder::SetVersion(uint8_t version) {
    m_byVersion = version;
    return *this;
}

ParamBlockBuilder& ParamBlockBuilder::SetSkipLength(uint8_t skipLength) {
    m_bySkipLength = skipLength;
    return *this;
}

ParamBlockBuilder& ParamBlockBuilder::SetValue(int index, uint8_t value) {
    if (index >= 0 && static_cast<size_t>(index) < m_values.size()) {
        m_values[static_cast<size_t>(index)] = value;
    }
    return *this;
}

ParamBlockBuilder& ParamBlockBuilder::AddLinear(uint8_t min, uint8_t max) {
    return AddEntry(0, min, max, {});
}

ParamBlockBuilder& ParamBlockBuilder::AddTable(std::initializer_list<uint8_t> table) {
    // Real blocks carry the table's ends in min and max; the conversion ignores them.
    const uint8_t first = table.size() != 0 ? *table.begin() : 0;
    const uint8_t last = table.size() != 0 ? *(table.end() - 1) : 0;
    return AddEntry(static_cast<uint8_t>(table.size()), first, last, table);
}

ParamBlockBuilder& ParamBlockBuilder::AddEntry(uint8_t count, uint8_t min, uint8_t max,
                                               std::vector<uint8_t> table) {
    m_entries.push_back({count, min, max, std::move(table)});
    return *this;
}

ParamBlock ParamBlockBuilder::Build() const {
    ParamBlock block;
    for (size_t i = 0; i < block.size(); ++i) {
        block[i] = ParamBlockFiller(i);
    }
    block[kVersionOffset] = m_byVersion;
    block[kSkipLengthOffset] = m_bySkipLength;
    for (size_t i = 0; i < m_values.size(); ++i) {
        if (m_values[i]) {
            block[kValueOffset + i] = *m_values[i];
        }
    }
    auto put = [&block](size_t offset, uint8_t byte) {
        if (offset < block.size()) {
            block[offset] = byte;
        }
    };
    size_t offset = kDescriptorBase + m_bySkipLength;
    for (const Entry& entry : m_entries) {
        put(offset, entry.byCount);
        put(offset + 1, entry.byMin);
        put(offset + 2, entry.byMax);
        for (size_t k = 0; k < entry.table.size(); ++k) {
            put(offset + 3 + k, entry.table[k]);
        }
        offset += 3 + entry.byCount;
    }
    return block;
}

ParamBlock MakeRealisticParamBlock() {
    return ParamBlockBuilder()
        .SetVersion(4)
        .SetSkipLength(16)
        .AddTable({30, 31, 32, 33, 34}) // 0 voltage cutoff, volts x 10
        .SetValue(0, 32)
        .AddTable({0, 1}) // 1 motor direction
        .SetValue(1, 0)
        .AddTable({0, 1, 2}) // 2 drive mode
        .SetValue(2, 0)
        .AddTable({6, 9, 15}) // 3 neutral width
        .SetValue(3, 9)
        .AddTable({1, 2, 3, 4, 5}) // 4 start power
        .SetValue(4, 3)
        .AddLinear(0, 75) // 5 drag brake
        .SetValue(5, 5)
        .AddLinear(0, 50) // 6 boost timing
        .SetValue(6, 15)
        .AddLinear(1, 30) // 7 boost start rpm, thousands
        .SetValue(7, 3)
        .AddLinear(1, 30) // 8 boost end rpm, thousands
        .SetValue(8, 15)
        .AddLinear(0, 60) // 9 turbo timing
        .SetValue(9, 20)
        .AddLinear(10, 200) // 10 turbo delay, hundredths of a second
        .SetValue(10, 25)
        .AddLinear(28, 228) // 11 throttle curve, 128 is neutral
        .SetValue(11, 128)
        .AddLinear(0, 100) // 12 brake strength
        .SetValue(12, 50)
        .AddLinear(0, 100) // 13 current limiter
        .SetValue(13, 100)
        .AddLinear(0, 100) // 14 coast
        .SetValue(14, 0)
        .AddTable({0, 1}) // 15 thermal protection: on, off
        .SetValue(15, 0)
        .Build();
}

} // namespace corvane
