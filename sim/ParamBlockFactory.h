// Parameter blocks as an ESC would send them, for the simulator and for tests: one realistic
// block, and a builder for blocks with other skip lengths, tables and broken descriptors.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <vector>

namespace corvane {

using ParamBlock = std::array<uint8_t, 512>;

// The byte every uninterpreted place of a built block holds. Neighbours differ, so a block
// that loses, shifts or zeroes a byte on its way through no longer compares equal.
uint8_t ParamBlockFiller(size_t offset);

class ParamBlockBuilder {
public:
    ParamBlockBuilder& SetVersion(uint8_t version);
    ParamBlockBuilder& SetSkipLength(uint8_t skipLength);
    ParamBlockBuilder& SetValue(int index, uint8_t value);

    // Entries are laid out in the order added (index 0 first) from offset 11 + skip length.
    ParamBlockBuilder& AddLinear(uint8_t min, uint8_t max);
    ParamBlockBuilder& AddTable(std::initializer_list<uint8_t> table);
    // The count byte says `count` whatever `table` holds; the next entry goes where a walk
    // by the count byte would look for it. Bytes that would land past the block are dropped.
    ParamBlockBuilder& AddEntry(uint8_t count, uint8_t min, uint8_t max,
                                std::vector<uint8_t> table);

    ParamBlock Build() const;

private:
    struct Entry {
        uint8_t byCount;
        uint8_t byMin;
        uint8_t byMax;
        std::vector<uint8_t> table;
    };

    uint8_t m_byVersion = 4;
    uint8_t m_bySkipLength = 16;
    std::array<std::optional<uint8_t>, 16> m_values;
    std::vector<Entry> m_entries;
};

// Version 4, skip length 16, all sixteen descriptors from offset 27 with ranges that match the
// printed scales, and current values inside them.
ParamBlock MakeRealisticParamBlock();

} // namespace corvane
