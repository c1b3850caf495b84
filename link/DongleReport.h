// The dongle's report framing, for the hidraw port and the simulator alike. Output reports:
// [report ID, n, n payload bytes, zeros to the report's length], ID 1 for data and 3 for the
// hello report sent after every open. Input reports: [2, n, n payload bytes].
#pragma once

#include <cstdint>

namespace corvane::dongle {

inline constexpr uint8_t kDataReportId = 1;
inline constexpr uint8_t kInputReportId = 2;
inline constexpr uint8_t kHelloReportId = 3;
inline constexpr uint8_t kHelloPayload = 0x01;
// Report ID and payload length.
inline constexpr int kHeaderLength = 2;
// All the length byte can count, however long the report.
inline constexpr int kMaxPayload = 255;

} // namespace corvane::dongle
