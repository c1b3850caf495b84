// The options that run without a window: wait for the dongle and the ESC, read, then save,
// load (write, read back, check), show and update the firmware, in the order given, on one
// connection.
#pragma once

#include <cstdio>
#include <functional>
#include <vector>

#include "CommandLine.h"
#include "PortBase.h"

namespace corvane {

// How long the dongle and the ESC may take to be found and read.
inline constexpr int kConnectWaitMs = 10000;

// A Qt core application must exist. What the options show goes to out, an update's progress
// to err. Returns the exit status: 0 when every option did its part, 1 with a one-line reason
// on standard error at the first that could not, 128 + the signal after SIGINT or SIGTERM.
// beforeEach (if any) runs before each option (the demo tells its simulated ESC of a file).
int RunSettingsCommands(PortBase& port, const std::vector<SettingsCommand>& commands,
                        std::FILE* out = stdout, int connectWaitMs = kConnectWaitMs,
                        std::FILE* err = stderr,
                        const std::function<void(const SettingsCommand&)>& beforeEach = {});

} // namespace corvane
