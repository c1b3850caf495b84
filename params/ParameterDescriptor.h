// The parameter indices and the per-parameter range record that a page binds its controls to.
#pragma once

#include <cstdint>

namespace corvane {

enum ParamIndex : int {
    PARAM_VOLTAGE_CUTOFF = 0,
    PARAM_MOTOR_DIRECTION = 1,
    PARAM_DRIVE_MODE = 2,
    PARAM_NEUTRAL_WIDTH = 3,
    PARAM_START_POWER = 4,
    PARAM_DRAG_BRAKE = 5,
    PARAM_BOOST_TIMING = 6,
    PARAM_BOOST_START_RPM = 7,
    PARAM_BOOST_END_RPM = 8,
    PARAM_TURBO_TIMING = 9,
    PARAM_TURBO_DELAY = 10,
    PARAM_THROTTLE_CURVE = 11,
    PARAM_BRAKE_STRENGTH = 12,
    PARAM_CURRENT_LIMITER = 13,
    PARAM_COAST = 14,
    PARAM_THERMAL_PROTECTION = 15,
    PARAM_COUNT = 16,
};

// A parameter's range as the ESC describes it. count > 0: the positions are the entries of
// table (which points into the block and is valid while the block lives); count = 0: the
// positions run from 0 (value min) to max - min (value max).
struct ParameterDescriptor {
    int32_t index = 0;
    uint8_t count = 0;
    uint8_t min = 0;
    uint8_t max = 0;
    const uint8_t* table = nullptr;
};

// The last position a control offers for the parameter. Byte arithmetic on purpose: a linear
// range whose max lies below its min wraps, as the positions read from the block do, and the
// control clamps into whatever results.
constexpr uint8_t LastPosition(const ParameterDescriptor& descriptor) {
    return descriptor.count != 0 ? static_cast<uint8_t>(descriptor.count - 1)
                                 : static_cast<uint8_t>(descriptor.max - descriptor.min);
}

// The value byte a position stands for; position must not exceed LastPosition.
constexpr uint8_t ValueAtPosition(const ParameterDescriptor& descriptor, uint8_t position) {
    if (descriptor.count != 0 && descriptor.table != nullptr) {
        return descriptor.table[position];
    }
    return static_cast<uint8_t>(descriptor.min + position);
}

} // namespace corvane
