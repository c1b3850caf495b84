// Report lengths from a HID report descriptor, counted the way Windows' HidP_GetCaps counts
// them, because the dongle's report formats were laid out against those numbers.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>

namespace corvane {

// Byte length of the largest report of each kind, report-ID byte included; 0 when the
// descriptor declares no report of that kind.
struct ReportLengths {
    uint16_t input = 0;
    uint16_t output = 0;
    uint16_t feature = 0;
    // Data bytes (the report-ID byte not counted) of the input and output report with each
    // ID, 0 standing for reports without an ID; -1 where no such report is declared.
    std::array<int32_t, 256> inputBytes{};
    std::array<int32_t, 256> outputBytes{};
};

// Nothing when the descriptor is malformed (an item runs past the end, a bad report ID,
// unbalanced Push/Pop). Reads only inside the given bytes, whatever they hold.
std::optional<ReportLengths> ParseReportLengths(std::span<const uint8_t> descriptor);

} // namespace corvane
