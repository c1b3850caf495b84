#include "CommandLine.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace corvane {

namespace {

const char* g_program = "corvane_progpanel";

const char* BaseName(const char* path) {
    const char* slash = std::strrchr(path, '/');
    return slash != nullptr ? slash + 1 : path;
}

void PrintUsage(std::FILE* out, const char* summary) {
    std::fprintf(out,
                 "Usage: %s [--help | --version]\n"
                 "%s\n"
                 "\n"
                 "  --help     print this text and exit\n"
                 "  --version  print the version and exit\n",
                 g_program, summary);
}

bool HasDesktop() {
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && *value != '\0') {
            return true;
        }
    }
    return false;
}

} // namespace

int HandleCommandLine(int argc, char** argv, const char* summary) {
    if (argc > 0 && argv[0] != nullptr && *argv[0] != '\0') {
        g_program = BaseName(argv[0]);
    }
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0) {
            PrintUsage(stdout, summary);
            return 0;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("%s %s\n", g_program, CORVANE_VERSION);
            return 0;
        }
    }
    // Qt's own options (-platform, -style, ...) are left to Qt; anything else is a mistake.
    for (int i = 1; i < argc; ++i) {
        if (argv[i][0] == '-' && argv[i][1] == '-') {
            std::fprintf(stderr, "%s: unknown option %s\n", g_program, argv[i]);
            PrintUsage(stderr, summary);
            return 2;
        }
    }
    if (!HasDesktop()) {
        std::fprintf(stderr,
                     "%s: a graphical desktop is needed (neither DISPLAY nor WAYLAND_DISPLAY is "
                     "set); on a headless machine, run it under xvfb-run\n",
                     g_program);
        return 1;
    }
    return -1;
}

void Diagnose(const std::string& line) {
    std::fprintf(stderr, "%s: %s\n", g_program, line.c_str());
}

} // namespace corvane
