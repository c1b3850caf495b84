// Images of tests/skin/skin_test.qrc, sized like the program's own.
#pragma once

namespace corvane::test {

constexpr unsigned kTrack185 = 9001;  // horizontal track, 185 x 19, opaque
constexpr unsigned kThumb18 = 9002;   // horizontal thumb, 18 x 19, with alpha
constexpr unsigned kTrack157 = 9003;  // vertical track, 31 x 157, opaque
constexpr unsigned kThumb9 = 9004;    // vertical thumb, 31 x 9, with alpha
constexpr unsigned kDisplay42 = 9005; // display background, 42 x 19, opaque
constexpr unsigned kNotAnImage = 9099;
constexpr unsigned kMissing = 9098;

} // namespace corvane::test
