#include "ParamValueFormat.h"

#include "ParamInfo.h"

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
    const ParamInfo* info = FindParamInfo(index < PARAM_COUNT ? static_cast<int>(index) : -1);
    if (info == nullptr) {
        return;
    }
    switch (info->text) {
    case ParamValueText::None:
        break;
    case ParamValueText::Percent:
        text = Percent(value);
        break;
    case ParamValueText::Degrees:
        text = Degrees(value);
        break;
    case ParamValueText::DegreesOneAsZero:
        // The Timing panel's scale starts at 0, so a stored 1 is shown on that mark.
        text = Degrees(value == 1 ? 0 : value);
        break;
    case ParamValueText::Thousands:
        text = std::to_string(value) + "000";
        break;
    case ParamValueText::Hundredths:
        text = Seconds(value);
        break;
    case ParamValueText::SignedAround128:
        text = SignedPercent(value - kThrottleCurveCentre);
        break;
    }
}

std::string DescribeParamSetting(int index, uint8_t position, uint8_t value) {
    const ParamInfo* info = FindParamInfo(index);
    if (info == nullptr) {
        return std::to_string(value);
    }
    if (info->text != ParamValueText::None) {
        std::string text;
        FormatParamValue(static_cast<unsigned>(index), value, text);
        return text;
    }
    if (position < info->choices.size() && info->choices[position] != nullptr) {
        return info->choices[position];
    }
    return std::to_string(position);
}

} // namespace corvane
