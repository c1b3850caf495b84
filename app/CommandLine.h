// What the programs do before any window: --help, --version, an unknown option, a machine
// without a graphical desktop or with one that cannot be reached; and the one-line
// diagnostics they print on standard error.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace corvane {

// One of the options that work on the ESC without a window.
struct SettingsCommand {
    // Quiet: only outcomes are printed, for the whole run, wherever it stands.
    enum Kind { Save, Load, Show, Flash, Quiet } kind = Show;
    std::string path;  // Save, Load, Flash
    bool json = false; // Show: as a settings file
    // Flash: the settings kept from before the update go back (true) or not; the option
    // must say which.
    std::optional<bool> restore;

    static SettingsCommand Of(Kind kind, std::string path = {}) {
        SettingsCommand command;
        command.kind = kind;
        command.path = std::move(path);
        return command;
    }
};

// Returns the exit status when the program is to end here, or -1 to go on: with the
// settings options given (in order) in `commands`, or with none, to open the window.
// `summary` is the usage text's second line.
int HandleCommandLine(int argc, char** argv, const char* summary,
                      std::vector<SettingsCommand>& commands);

// Around the construction of the application object: a display that cannot be opened ends
// the program with status 1 and a line naming it, instead of Qt's abort. Qt's messages from
// the attempt are held back, and printed only if it succeeds. Returns argc, so that the guard
// can go up in the constructor's initializer list, before the base class is built.
int& GuardDisplayOpening(int& argc);
void EndDisplayGuard();

// "<program>: <line>" on standard error.
void Diagnose(const std::string& line);

} // namespace corvane
