#include "ParamValueFormat.h"

#include "ParameterDescriptor.h"

namespace corvane {

namespace {

constexpr char kDegreeCp950[] = "\xA2\x58";
constexpr int kThrottleCurveCentre = 128;

std::string Percent(int value) {
    return std::to_string(value) + "%";
}

std::string Degrees(int value) {
    return std::to_string(value) + kDegreeCp950;
}

// Hundredths as "x.yy sec" in integers: the process runs under the user's locale (Qt sets
// it at start-up), and a printf of a double would then write "0,25" in some of them.
std::string Seconds(int hundredths) {
    const int fraction = hundredths % 100;
    return std::to_string(hundredths / 100) + (fraction < 10 ? ".0" : ".") +
           std::to_string(fraction) + " sec";
}

std::string SignedPercent(int value) {
    if (value == 0) {
        return "0%";
    }
    return (value > 0 ? "+" : "") + std::to_string(value) + "%";
}

} // namespace

void FormatParamValue(unsigned index, uint8_t value, std::string& text) {
    switch (index) {
    case PARAM_DRAG_BRAKE:
    case PARAM_BRAKE_STRENGTH:
    case PARAM_CURRENT_LIMITER:
    case PARAM_COAST:
        text = Percent(value);
        break;
    case PARAM_BOOST_TIMING:
        // The Timing panel's scale starts at 0, so a stored 1 is shown on that mark.
        text = Degrees(value == 1 ? 0 : value);
        break;
    case PARAM_TURBO_TIMING:
        text = Degrees(value);
        break;
    case PARAM_BOOST_START_RPM:
    case PARAM_BOOST_END_RPM:
        text = std::to_string(value) + "000";
        break;
    case PARAM_TURBO_DELAY:
        text = Seconds(value);
        break;
    case PARAM_THROTTLE_CURVE:
        text = SignedPercent(value - kThrottleCurveCentre);
        break;
    default:
        break;
    }
}

} // namespace corvane
