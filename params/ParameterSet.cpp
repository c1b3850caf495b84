#include "ParameterSet.h"

#include "ParamBlockLayout.h"

#include <algorithm>
#include <new>

namespace corvane {

namespace {

using block::kDescriptorBase;
using block::kEntryHeaderSize;
using block::kSkipLengthOffset;
using block::kValueOffset;
using block::kVersionOffset;

// The ESC may send a table for these two, but the stored byte must stay min + position.
bool IsAlwaysLinear(int index) {
    return index == PARAM_DRAG_BRAKE || index == PARAM_BOOST_TIMING;
}

} // namespace

void ParameterSet::SetBlock(uint8_t* pBlock, uint16_t wBlockLength, uint8_t byBlockCount) {
    SetBlock(pBlock, static_cast<size_t>(wBlockLength) * byBlockCount);
}

void ParameterSet::SetBlock(uint8_t* pBlock, size_t nSize) {
    m_pBlock = nSize != 0 ? pBlock : nullptr;
    m_nBlockSize = m_pBlock != nullptr ? nSize : 0;
}

// The block comes from the ESC and nothing guarantees that its skip length and table lengths
// lead somewhere sensible. Every byte this walk or its callers touch is checked against the
// block size: a parameter whose entry (header and whole table) or value byte is not inside
// the block is unavailable rather than read from beyond it.
bool ParameterSet::FindEntry(int index, Entry& entry) const {
    if (m_pBlock == nullptr || index < 0 || index >= PARAM_COUNT) {
        return false;
    }
    const size_t valueOffset = kValueOffset + static_cast<size_t>(index);
    if (valueOffset >= m_nBlockSize) {
        return false;
    }
    size_t offset = kDescriptorBase + m_pBlock[kSkipLengthOffset];
    for (int k = 0; k < index; ++k) {
        if (offset >= m_nBlockSize) {
            return false;
        }
        offset += kEntryHeaderSize + m_pBlock[offset];
    }
    if (offset >= m_nBlockSize) {
        return false;
    }
    const uint8_t count = m_pBlock[offset];
    if (offset + kEntryHeaderSize + count > m_nBlockSize) {
        return false;
    }
    entry.nOffset = offset;
    entry.byCount = count;
    entry.byMin = m_pBlock[offset + 1];
    entry.byMax = m_pBlock[offset + 2];
    return true;
}

bool ParameterSet::GetParamDescriptor(int index, ParameterDescriptor& descriptor) const {
    Entry entry;
    if (!FindEntry(index, entry)) {
        return false;
    }
    descriptor.index = index;
    descriptor.count = entry.byCount;
    descriptor.min = entry.byMin;
    descriptor.max = entry.byMax;
    // A linear entry has no table; a pointer to its end could be one past the block.
    descriptor.table = entry.byCount != 0 ? m_pBlock + entry.nOffset + kEntryHeaderSize : nullptr;
    return true;
}

uint8_t ParameterSet::GetParamPosition(int index) const {
    Entry entry;
    if (!FindEntry(index, entry)) {
        return 0;
    }
    const uint8_t value = m_pBlock[kValueOffset + static_cast<size_t>(index)];
    return Offers(index, entry, value) ? PositionOf(index, entry, value)
                                       : NearestEnd(index, entry, value);
}

bool ParameterSet::GetParamValue(int index, uint8_t& value) const {
    const size_t offset = kValueOffset + static_cast<size_t>(index);
    if (m_pBlock == nullptr || index < 0 || index >= PARAM_COUNT || offset >= m_nBlockSize) {
        return false;
    }
    value = m_pBlock[offset];
    return true;
}

bool ParameterSet::GetUnofferedValue(int index, uint8_t& value, uint8_t& position) const {
    Entry entry;
    if (!FindEntry(index, entry)) {
        return false;
    }
    value = m_pBlock[kValueOffset + static_cast<size_t>(index)];
    if (Offers(index, entry, value)) {
        return false;
    }
    position = NearestEnd(index, entry, value);
    return true;
}

uint8_t ParameterSet::NearestEnd(int index, const Entry& entry, uint8_t value) const {
    if (entry.byCount == 0 || IsAlwaysLinear(index)) {
        const uint8_t last = entry.byCount != 0 ? static_cast<uint8_t>(entry.byCount - 1)
                                                : static_cast<uint8_t>(entry.byMax - entry.byMin);
        return value < entry.byMin ? 0 : last;
    }
    const uint8_t* table = m_pBlock + entry.nOffset + kEntryHeaderSize;
    const auto distance = [value](uint8_t to) { return value > to ? value - to : to - value; };
    const uint8_t last = static_cast<uint8_t>(entry.byCount - 1);
    return distance(table[last]) < distance(table[0]) ? last : 0;
}

uint8_t ParameterSet::PositionOf(int index, const Entry& entry, uint8_t value) const {
    if (entry.byCount == 0 || IsAlwaysLinear(index)) {
        // Modulo 256 on purpose: a value below min comes out large and the control clamps it.
        return static_cast<uint8_t>(value - entry.byMin);
    }
    const uint8_t* table = m_pBlock + entry.nOffset + kEntryHeaderSize;
    const uint8_t* found = std::find(table, table + entry.byCount, value);
    // A value the table does not know shows as position 0 and is replaced by table[0] on store.
    return found != table + entry.byCount ? static_cast<uint8_t>(found - table) : 0;
}

std::vector<ParameterSet::Change> ParameterSet::ChangedParams() const {
    std::vector<Change> changes;
    if (m_pBlock == nullptr || !m_pSnapshot || m_nSnapshotSize != m_nBlockSize) {
        return changes;
    }
    for (int index = 0; index < PARAM_COUNT; ++index) {
        Entry entry;
        const size_t at = kValueOffset + static_cast<size_t>(index);
        if (!FindEntry(index, entry) || m_pBlock[at] == m_pSnapshot[at]) {
            continue;
        }
        changes.push_back({index, m_pSnapshot[at], PositionOf(index, entry, m_pSnapshot[at]),
                           m_pBlock[at], PositionOf(index, entry, m_pBlock[at])});
    }
    return changes;
}

void ParameterSet::SetParamPosition(int index, uint8_t position) {
    Entry entry;
    // A control that stands where the block's value does changes nothing: a value the
    // descriptor does not offer stays as the ESC sent it until the control is moved.
    if (!FindEntry(index, entry) || position == GetParamPosition(index)) {
        return;
    }
    uint8_t& value = m_pBlock[kValueOffset + static_cast<size_t>(index)];
    if (entry.byCount == 0 || IsAlwaysLinear(index)) {
        value = static_cast<uint8_t>(entry.byMin + position);
        return;
    }
    // The controls clamp to the last position, but a position past the table must not pick
    // up whatever byte follows it.
    if (position >= entry.byCount) {
        return;
    }
    value = m_pBlock[entry.nOffset + kEntryHeaderSize + position];
}

bool ParameterSet::Offers(int index, const Entry& entry, uint8_t value) const {
    const uint8_t position = PositionOf(index, entry, value);
    if (entry.byCount == 0 || IsAlwaysLinear(index)) {
        // The positions a control offers: up to max - min, or along the table for the two
        // that stay linear with one.
        const uint8_t last = entry.byCount != 0 ? static_cast<uint8_t>(entry.byCount - 1)
                                                : static_cast<uint8_t>(entry.byMax - entry.byMin);
        return position <= last;
    }
    return m_pBlock[entry.nOffset + kEntryHeaderSize + position] == value;
}

bool ParameterSet::DescribedAlike(const Entry& mine, const ParameterSet& other,
                                  const Entry& theirs) const {
    const uint8_t* table = m_pBlock + mine.nOffset + kEntryHeaderSize;
    return mine.byCount == theirs.byCount && mine.byMin == theirs.byMin &&
           mine.byMax == theirs.byMax &&
           std::equal(table, table + mine.byCount,
                      other.m_pBlock + theirs.nOffset + kEntryHeaderSize);
}

std::vector<int> ParameterSet::TakeValuesFrom(const ParameterSet& previous) {
    std::vector<int> refused;
    for (int index = 0; index < PARAM_COUNT; ++index) {
        Entry old;
        if (!previous.FindEntry(index, old)) {
            continue;
        }
        const size_t at = kValueOffset + static_cast<size_t>(index);
        const uint8_t value = previous.m_pBlock[at];
        Entry entry;
        bool taken = FindEntry(index, entry) && Offers(index, entry, value);
        if (taken && IsAlwaysLinear(index) && (old.byCount != 0 || entry.byCount != 0)) {
            taken = DescribedAlike(entry, previous, old); // a position along the table
        }
        if (!taken) {
            refused.push_back(index);
            continue;
        }
        m_pBlock[at] = value;
    }
    return refused;
}

void ParameterSet::SnapshotParams() {
    if (m_pBlock == nullptr) {
        return;
    }
    SnapshotParams(m_pBlock, m_nBlockSize);
}

void ParameterSet::SnapshotParams(const uint8_t* pBlock, size_t nSize) {
    m_pSnapshot.reset();
    m_nSnapshotSize = 0;
    if (pBlock == nullptr || nSize == 0) {
        return;
    }
    // Without a snapshot the set reads as unchanged, the same as before the first read.
    std::unique_ptr<uint8_t[]> copy(new (std::nothrow) uint8_t[nSize]);
    if (!copy) {
        return;
    }
    std::copy(pBlock, pBlock + nSize, copy.get());
    m_pSnapshot = std::move(copy);
    m_nSnapshotSize = nSize;
}

bool ParameterSet::ParamsUnchanged() const {
    if (m_pBlock == nullptr || !m_pSnapshot) {
        return true;
    }
    // A block of another size than the snapshot is a different block; comparing over either
    // length would read past the shorter one.
    if (m_nSnapshotSize != m_nBlockSize) {
        return false;
    }
    return std::equal(m_pBlock, m_pBlock + m_nBlockSize, m_pSnapshot.get());
}

std::vector<uint8_t> ParameterSet::Snapshot() const {
    if (!m_pSnapshot) {
        return {};
    }
    return {m_pSnapshot.get(), m_pSnapshot.get() + m_nSnapshotSize};
}

uint8_t ParameterSet::ParamBlockVersion() const {
    return m_nBlockSize > kVersionOffset ? m_pBlock[kVersionOffset] : 0;
}

} // namespace corvane
