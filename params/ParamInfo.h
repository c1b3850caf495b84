// What the tool itself fixes about each parameter index: the page and control that show it and
// how its value byte becomes text. Ranges are not here; they come from the ESC's block.
#pragma once

#include "ParameterDescriptor.h"

#include <array>
#include <cstddef>
#include <cstdint>

namespace corvane {

// The order of the pages everywhere: the window's page list, the tabs and the skin layout.
enum class ParamPage : uint8_t {
    Settings = 0,
    Throttle = 1,
    Timing = 2,
    Brakes = 3,
};

enum class ParamControl : uint8_t {
    HorizontalSwitch,
    VerticalSwitch,
    VerticalSlider,
};

// How a value byte v is shown in the parameter's value display.
enum class ParamValueText : uint8_t {
    None,             // switches carry no display
    Percent,          // "%d%%"
    Degrees,          // "%d°"
    DegreesOneAsZero, // "%d°", but v = 1 reads as 0
    Thousands,        // "%d000"
    Hundredths,       // "%.2f sec" of v / 100
    SignedAround128,  // "%+d%%" of v - 128, exactly 128 as "0%"
};

struct ParamInfo {
    const char* label;
    ParamPage page;
    ParamControl control;
    // Reversed controls show position 0 at the top, where the artwork prints the first choice.
    bool reversed;
    ParamValueText text;
};

inline constexpr std::array<ParamInfo, PARAM_COUNT> kParamInfo = {{
    {"VOLTAGE CUTOFF", ParamPage::Settings, ParamControl::HorizontalSwitch, false,
     ParamValueText::None},
    {"MOTOR DIRECTION", ParamPage::Settings, ParamControl::VerticalSwitch, true,
     ParamValueText::None},
    {"DRIVE MODE", ParamPage::Settings, ParamControl::VerticalSwitch, true, ParamValueText::None},
    {"NEUTRAL WIDTH", ParamPage::Settings, ParamControl::VerticalSwitch, false,
     ParamValueText::None},
    {"START POWER", ParamPage::Throttle, ParamControl::HorizontalSwitch, false,
     ParamValueText::None},
    {"DRAG BRAKE", ParamPage::Brakes, ParamControl::VerticalSlider, false, ParamValueText::Percent},
    {"BOOST TIMING", ParamPage::Timing, ParamControl::VerticalSlider, false,
     ParamValueText::DegreesOneAsZero},
    {"BOOST START RPM", ParamPage::Timing, ParamControl::VerticalSlider, false,
     ParamValueText::Thousands},
    {"BOOST END RPM", ParamPage::Timing, ParamControl::VerticalSlider, false,
     ParamValueText::Thousands},
    {"TURBO TIMING", ParamPage::Timing, ParamControl::VerticalSlider, false,
     ParamValueText::Degrees},
    {"TURBO DELAY", ParamPage::Timing, ParamControl::VerticalSlider, false,
     ParamValueText::Hundredths},
    {"THROTTLE CURVE", ParamPage::Throttle, ParamControl::VerticalSlider, false,
     ParamValueText::SignedAround128},
    {"BRAKE STRENGTH", ParamPage::Brakes, ParamControl::VerticalSlider, false,
     ParamValueText::Percent},
    {"CURRENT LIMITER", ParamPage::Throttle, ParamControl::VerticalSlider, false,
     ParamValueText::Percent},
    {"COAST", ParamPage::Throttle, ParamControl::VerticalSlider, false, ParamValueText::Percent},
    {"THERMAL PROTECTION", ParamPage::Settings, ParamControl::HorizontalSwitch, false,
     ParamValueText::None},
}};

// Null for an index outside 0 to 15, so a caller never indexes past the table.
constexpr const ParamInfo* FindParamInfo(int index) {
    if (index < 0 || index >= PARAM_COUNT) {
        return nullptr;
    }
    return &kParamInfo[static_cast<size_t>(index)];
}

} // namespace corvane
