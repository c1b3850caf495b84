// Where the connection stands, as one value, and what the user may do in each state: the
// home screen's live areas and the requests the controller takes.
#pragma once

#include <cstdint>

#include "EscIdentity.h"
#include "SkinLayout.h"

namespace corvane {

enum class ConnectionState : uint8_t {
    // No ESC whose parameters are read: waiting for the dongle or the ESC, identifying it,
    // reading it (or waiting for the next identity after a read failed, or after an update).
    NotConnected,
    Connected,    // the parameters are read and the pages understand them
    FirmwareOnly, // the parameters are read in a version the pages do not know
    // A parameter write from its hand-over to the ESC's verdict, then its read-back.
    WritingParams,
    VerifyingWrite,
    // A firmware update from its confirmation to its end, from either of the two above.
    UpdatingFirmware,
    UpdatingFirmwareOnly,
};

// What a state allows.
struct StateRules {
    bool paramsRead;   // the block is the ESC's and the pages show it
    bool firmwareLive; // the firmware area answers (a second update is refused with a line)
    bool writeLive;    // WRITE, the settings files and the restore may start
    bool pagesLive;    // the four tiles open pages
    bool transferBusy; // a write or an update runs
    bool firmwareBusy; // an update runs
};

constexpr StateRules RulesOf(ConnectionState state) {
    using enum ConnectionState;
    // clang-format off
    switch (state) {
    //                                 read   fw     write  pages  busy   fw busy
    case NotConnected:         return {false, false, false, false, false, false};
    case Connected:            return {true,  true,  true,  true,  false, false};
    case FirmwareOnly:         return {false, true,  false, false, false, false};
    case WritingParams:        return {true,  true,  false, true,  true,  false};
    case VerifyingWrite:       return {true,  true,  false, true,  true,  false};
    case UpdatingFirmware:     return {true,  true,  false, false, true,  true};
    case UpdatingFirmwareOnly: return {false, true,  false, false, true,  true};
    }
    // clang-format on
    return {};
}

// Whether a hot area (HotArea) does anything in a state.
constexpr bool AreaLive(ConnectionState state, int area) {
    const StateRules rules = RulesOf(state);
    switch (area) {
    case HotCloseButton:
        return true;
    case HotFirmwareUpdate:
        return rules.firmwareLive;
    case HotWriteButton:
        return rules.paramsRead && !rules.transferBusy;
    case HotBrakesTile:
    case HotSettingsTile:
    case HotThrottleTile:
    case HotTimingTile:
        return rules.pagesLive;
    case HotHomeButton:
        return rules.paramsRead;
    default:
        return false;
    }
}

// A request's hold on the ESC it was asked of: taken as the request starts, and checked where
// it lands (after a box or a dialog, whose event loop may have seen the ESC go). Every identity
// is a new connection.
struct EscToken {
    uint32_t epoch = 0;
};
inline EscToken TakeEsc(const EscIdentity& esc) {
    return {esc.nEpoch};
}
inline bool SameEsc(const EscIdentity& esc, EscToken token) {
    return token.epoch == esc.nEpoch;
}

} // namespace corvane
