// Arbitrary bytes as a parameter block (the first 512, in a buffer of exactly that size, so any
// read or write past its end is caught). Every operation on every index and position must stay
// inside the block, change nothing but the parameter's own value byte, and agree with the
// descriptor it reports.
#include "ParameterSet.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace {

void Require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

bool IsLinear(const corvane::ParameterDescriptor& descriptor) {
    return descriptor.count == 0 || descriptor.index == corvane::PARAM_DRAG_BRAKE ||
           descriptor.index == corvane::PARAM_BOOST_TIMING;
}

// `reference` mirrors the block: it takes each expected store, so a store anywhere else shows.
void CheckIndex(corvane::ParameterSet& set, const std::vector<uint8_t>& block,
                std::vector<uint8_t>& reference, int index) {
    const size_t valueOffset = 9 + static_cast<size_t>(index);
    // A value byte inside the descriptor list (a skip length below 16) may rewrite the list
    // itself, so the descriptor is fetched afresh for every store, and the load/store round
    // trip is checked only while the value lies before the list.
    const bool valueBeforeList = block.size() > 7 && valueOffset < 11 + size_t{block[7]};
    for (int position = 0; position < 256; ++position) {
        const uint8_t p = static_cast<uint8_t>(position);
        corvane::ParameterDescriptor descriptor;
        const bool available = set.GetParamDescriptor(index, descriptor);
        // A position where the block's value already stands stores nothing.
        const bool stores = set.GetParamPosition(index) != p;
        if (available) {
            Require(descriptor.index == index && valueOffset < block.size());
            if (descriptor.count != 0) {
                Require(descriptor.table >= block.data() &&
                        descriptor.table + descriptor.count <= block.data() + block.size());
            }
            if (stores && IsLinear(descriptor)) {
                reference[valueOffset] = static_cast<uint8_t>(descriptor.min + p);
            } else if (stores && p < descriptor.count) {
                reference[valueOffset] = descriptor.table[p];
            }
        }
        set.SetParamPosition(index, p);
        Require(block == reference);
        const uint8_t loaded = set.GetParamPosition(index);
        if (!available) {
            Require(loaded == 0);
        } else if (valueBeforeList && IsLinear(descriptor)) {
            // Past the range the value stands at the nearest end of the track.
            const uint8_t last = corvane::LastPosition(descriptor);
            Require(p <= last ? loaded == p : loaded == 0 || loaded == last);
        } else if (valueBeforeList && p < descriptor.count) {
            Require(loaded <= p && descriptor.table[loaded] == descriptor.table[p]);
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<uint8_t> block(data, data + std::min<size_t>(size, 512));
    corvane::ParameterSet set;
    set.SetBlock(block.data(), static_cast<uint16_t>(block.size()), 1);
    set.SnapshotParams();
    Require(set.ParamsUnchanged());
    const std::vector<uint8_t> original = block;
    std::vector<uint8_t> reference = block;
    for (int index = 0; index < corvane::PARAM_COUNT; ++index) {
        CheckIndex(set, block, reference, index);
    }
    Require(set.ParamsUnchanged() == (block == original));
    return 0;
}
