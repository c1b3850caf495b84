// The ESC's self-describing parameter block as the pages see it: descriptors, the conversion
// between control positions and value bytes, and the snapshot that decides whether a write
// is needed. The block itself belongs to the owner (the window's copy of what the ESC sent);
// this class only looks at it.
#pragma once

#include "ParameterDescriptor.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace corvane {

class ParameterSet {
public:
    // The block to look at (null, or a length or count of 0, means no block).
    void SetBlock(uint8_t* pBlock, uint16_t wBlockLength, uint8_t byBlockCount);
    void SetBlock(uint8_t* pBlock, size_t nSize);
    bool HasBlock() const { return m_pBlock != nullptr; }
    size_t BlockSize() const { return m_nBlockSize; }

    bool GetParamDescriptor(int index, ParameterDescriptor& descriptor) const;
    // Where the control stands for the block's value; a value the descriptor does not offer
    // stands at the nearest end of the track.
    uint8_t GetParamPosition(int index) const;
    // The block's value and where it stands, when the descriptor does not offer it (a value
    // outside the range, or missing from the table); false otherwise.
    bool GetUnofferedValue(int index, uint8_t& value, uint8_t& position) const;
    // The value byte the block holds for a parameter, described or not; false when the block
    // is too short to hold it.
    bool GetParamValue(int index, uint8_t& value) const;
    // Stores the value at a control's position; nothing when the control stands where the
    // block's value does.
    void SetParamPosition(int index, uint8_t position);
    void SnapshotParams();
    // Takes the snapshot from a copy of the block instead (the copy a write sent), so that
    // a change made after that copy still counts as a change.
    void SnapshotParams(const uint8_t* pBlock, size_t nSize);
    bool ParamsUnchanged() const;
    // The block as the snapshot holds it; empty without one.
    std::vector<uint8_t> Snapshot() const;

    // A parameter whose value byte differs between the snapshot and the block, with its value
    // and control position in each.
    struct Change {
        int index;
        uint8_t oldValue;
        uint8_t oldPosition;
        uint8_t newValue;
        uint8_t newPosition;
    };
    // In index order; none without a snapshot of the block's size.
    std::vector<Change> ChangedParams() const;

    // Takes each value of another block (another firmware's, say) where this block's descriptor
    // offers it: a table entry, or a place inside the linear range. Drag brake and boost timing
    // store a position along their table when they come with one, which means something else
    // under another table: theirs are taken then only where both blocks describe them alike.
    // Returns, in index order, the parameters the other block holds that were not taken; they
    // keep this block's values.
    std::vector<int> TakeValuesFrom(const ParameterSet& previous);

    // Byte 5; 0 when no block is held (never an accepted version).
    uint8_t ParamBlockVersion() const;

private:
    struct Entry {
        size_t nOffset = 0; // of the entry's count byte
        uint8_t byCount = 0;
        uint8_t byMin = 0;
        uint8_t byMax = 0;
    };

    bool FindEntry(int index, Entry& entry) const;
    uint8_t PositionOf(int index, const Entry& entry, uint8_t value) const;
    bool Offers(int index, const Entry& entry, uint8_t value) const;
    // The end of the track nearest to a value the descriptor does not offer.
    uint8_t NearestEnd(int index, const Entry& entry, uint8_t value) const;
    bool DescribedAlike(const Entry& mine, const ParameterSet& other, const Entry& theirs) const;

    uint8_t* m_pBlock = nullptr;
    size_t m_nBlockSize = 0;
    std::unique_ptr<uint8_t[]> m_pSnapshot;
    size_t m_nSnapshotSize = 0;
};

} // namespace corvane
