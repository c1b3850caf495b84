// Where the link stands: one step for each link state and each place inside its exchange.
// A step's value holds its link state (high four bits) and the exchange's own number for the
// place (low four bits), which a timeout notice carries as its value.
#pragma once

#include <cstdint>

#include "LinkTypes.h"

namespace corvane {

enum class Step : uint8_t {
    Down = LINK_DOWN << 4,
    Idle = LINK_IDLE << 4,

    GreetingWait = LINK_WAIT_ESC << 4 | 0,     // for the ESC's first byte
    GreetingAnswered = LINK_WAIT_ESC << 4 | 2, // go-on sent; the ESC's close ends the greeting
    EscRejected = LINK_WAIT_ESC << 4 | 3,      // the window refused the ESC on the lead

    IdentifyStart = LINK_IDENTIFY << 4 | 1,    // the request goes out
    IdentifyInField = LINK_IDENTIFY << 4 | 2,  // the bytes of one field, after its tag
    IdentifyAwaitTag = LINK_IDENTIFY << 4 | 3, // the field count, the next tag, or the end
    KeepAliveStart = LINK_KEEPALIVE << 4 | 1,
    KeepAliveInField = LINK_KEEPALIVE << 4 | 2,
    KeepAliveAwaitTag = LINK_KEEPALIVE << 4 | 3,

    ReadStart = LINK_READ << 4 | 1,
    ReadInBlock = LINK_READ << 4 | 2, // lead byte, block, check, end
    ReadAwaitReply = LINK_READ << 4 | 3,

    WriteStart = LINK_WRITE << 4 | 0,
    WriteHeader = LINK_WRITE << 4 | 1, // the header goes out a byte per go-on
    WriteBody = LINK_WRITE << 4 | 3,   // the rest goes out on a go-on; then the verdict

    Stay = 0xFF, // in a transition: the step does not change
};

constexpr int LinkStateOf(Step step) {
    return static_cast<int>(step) >> 4;
}
constexpr int PlaceOf(Step step) {
    return static_cast<int>(step) & 0x0F;
}

// The identify and the keep-alive read the same reply: a transition named for the identify
// moves the keep-alive to its own step of the same place.
constexpr Step Within(Step next, Step now) {
    if (LinkStateOf(now) == LINK_KEEPALIVE && next != Step::Stay &&
        LinkStateOf(next) == LINK_IDENTIFY) {
        return static_cast<Step>(LINK_KEEPALIVE << 4 | PlaceOf(next));
    }
    return next;
}

} // namespace corvane
