// Where things stand in the ESC's 512-byte parameter block: the parameter set reads it, the
// simulator builds it and the window checks its version, all from these numbers.
#pragma once

#include <cstddef>
#include <cstdint>

namespace corvane::block {

inline constexpr size_t kVersionOffset = 5;    // the parameter-set version
inline constexpr size_t kSkipLengthOffset = 7; // L: how far the descriptor list is pushed out
inline constexpr size_t kValueOffset = 9;      // the sixteen value bytes, index 0 first
inline constexpr size_t kDescriptorBase = 11;  // the descriptor list starts at this + L
inline constexpr size_t kEntryHeaderSize = 3;  // count, min, max; then count table bytes

// The only parameter-set version the pages know.
inline constexpr uint8_t kSupportedVersion = 4;

} // namespace corvane::block
