// What the programs do before any window: --help, --version, an unknown option, a machine
// without a graphical desktop; and the one-line diagnostics they print on standard error.
#pragma once

#include <string>

namespace corvane {

// Returns the exit status when the program is to end here, or -1 to go on and open the
// window. `summary` is the usage text's second line.
int HandleCommandLine(int argc, char** argv, const char* summary);

// "<program>: <line>" on standard error.
void Diagnose(const std::string& line);

} // namespace corvane
