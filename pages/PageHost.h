// What a parameter page needs from the window it lives in: the parameter operations and the
// page switch. The main window implements it; tests use a double.
#pragma once

#include <cstdint>

#include "ParameterDescriptor.h"

namespace corvane {

class PageHost {
public:
    static constexpr int kNoPage = 255;

    virtual ~PageHost() = default;
    virtual bool GetParamDescriptor(int index, ParameterDescriptor& descriptor) = 0;
    virtual uint8_t GetParamPosition(int index) = 0;
    // The block's value and its control's position, when the descriptor does not offer it.
    virtual bool GetUnofferedValue(int index, uint8_t& value, uint8_t& position) = 0;
    virtual void SetParamPosition(int index, uint8_t position) = 0;
    // Shows page 0..3 (Settings, Throttle, Timing, Brakes) or the home screen (kNoPage).
    virtual void SelectPage(int index) = 0;
};

} // namespace corvane
