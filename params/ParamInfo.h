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
    const char* label; // as lists name it to the user
    ParamPage page;
    ParamControl control;
    // Reversed controls show position 0 at the top, where the artwork prints the first choice.
    bool reversed;
    ParamValueText text;
    // For switches, what each position means as the artwork prints it, position 0 first;
    // null past the last.
    std::array<const char*, 5> choices{};
};

inline constexpr std::array<ParamInfo, PARAM_COUNT> kParamInfo = {{
    {"Voltage Cutoff",
     ParamPage::Settings,
     ParamControl::HorizontalSwitch,
     false,
     ParamValueText::None,
     {"3.0", "3.1", "3.2", "3.3", "3.4"}},
    {"Motor Direction",
     ParamPage::Settings,
     ParamControl::VerticalSwitch,
     true,
     ParamValueText::None,
     {"FORWARD", "REVERSE"}},
    {"Drive Mode",
     ParamPage::Settings,
     ParamControl::VerticalSwitch,
     true,
     ParamValueText::None,
     {"Fwd + Br", "Fwd + Rev", "Fwd + Br + Rev"}},
    {"Neutral Width",
     ParamPage::Settings,
     ParamControl::VerticalSwitch,
     false,
     ParamValueText::None,
     {"6", "9", "15"}},
    {"Start Power",
     ParamPage::Throttle,
     ParamControl::HorizontalSwitch,
     false,
     ParamValueText::None,
     {"LOWEST", "LOW", "NORMAL", "HIGH", "HIGHEST"}},
    {"Drag Brake", ParamPage::Brakes, ParamControl::VerticalSlider, false, ParamValueText::Percent},
    {"Boost Timing", ParamPage::Timing, ParamControl::VerticalSlider, false,
     ParamValueText::DegreesOneAsZero},
    {"Boost Start RPM", ParamPage::Timing, ParamControl::VerticalSlider, false,
     ParamValueText::Thousands},
    {"Boost End RPM", ParamPage::Timing, ParamControl::VerticalSlider, false,
     ParamValueText::Thousands},
    {"Turbo Timing", ParamPage::Timing, ParamControl::VerticalSlider, false,
     ParamValueText::Degrees},
    {"Turbo Delay", ParamPage::Timing, ParamControl::VerticalSlider, false,
     ParamValueText::Hundredths},
    {"Throttle Curve", ParamPage::Throttle, ParamControl::VerticalSlider, false,
     ParamValueText::SignedAround128},
    {"Brake Strength", ParamPage::Brakes, ParamControl::VerticalSlider, false,
     ParamValueText::Percent},
    {"Current Limiter", ParamPage::Throttle, ParamControl::VerticalSlider, false,
     ParamValueText::Percent},
    {"Coast", ParamPage::Throttle, ParamControl::VerticalSlider, false, ParamValueText::Percent},
    {"Thermal Protection",
     ParamPage::Settings,
     ParamControl::HorizontalSwitch,
     false,
     ParamValueText::None,
     {"ON", "OFF"}},
}};

// Null for an index outside 0 to 15, so a caller never indexes past the table.
constexpr const ParamInfo* FindParamInfo(int index) {
    if (index < 0 || index >= PARAM_COUNT) {
        return nullptr;
    }
    return &kParamInfo[static_cast<size_t>(index)];
}

} // namespace corvane
