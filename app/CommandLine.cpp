#include "CommandLine.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include <QByteArray>
#include <QList>
#include <QString>
#include <QtGlobal>

namespace corvane {

namespace {

const char* g_program = "corvane_progpanel";

const char* BaseName(const char* path) {
    const char* slash = std::strrchr(path, '/');
    return slash != nullptr ? slash + 1 : path;
}

void PrintUsage(std::FILE* out, const char* summary) {
    std::fprintf(out,
                 "Usage: %s [-h | --help | --version]\n"
                 "       %s [--save FILE | --load FILE | --show [--json] |\n"
                 "          --flash FILE (--restore | --no-restore)]... [--quiet]\n"
                 "%s\n"
                 "\n"
                 "  -h, --help   print this text and exit\n"
                 "  --version    print the version and exit\n"
                 "  --save FILE  read the ESC's settings and save them to FILE\n"
                 "  --load FILE  load the settings in FILE, write them to the ESC, read them\n"
                 "               back and print each one changed\n"
                 "  --show       print the ESC's settings as a table; with --json, as a\n"
                 "               settings file\n"
                 "  --flash FILE update the ESC's firmware from the upgrade file FILE, then read\n"
                 "               the ESC again; --restore writes the settings it had back (and\n"
                 "               checks them), --no-restore leaves the new firmware's defaults\n"
                 "  --quiet      print only outcomes, no progress\n"
                 "\n"
                 "These options need no window and no display. They run in the order given, on\n"
                 "one connection, after waiting up to 10 s for the dongle and the ESC; the first\n"
                 "that fails ends the run with status 1. Ctrl+C during an update lets the block\n"
                 "on the wire finish, then stops (status 130; 143 for SIGTERM).\n",
                 g_program, g_program, summary);
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

// Qt's own options, left to Qt: those that take a value, and those that stand alone.
constexpr std::string_view kQtOptionsWithValue[] = {
    "-platform",
    "-platformpluginpath",
    "-platformtheme",
    "-plugin",
    "-qwindowgeometry",
    "-qwindowtitle",
    "-qwindowicon",
    "-style",
    "-stylesheet",
    "-display",
    "-geometry",
    "-session",
    "-name",
    "-title",
};
constexpr std::string_view kQtOptionsAlone[] = {"-reverse", "-widgetcount", "-nograb", "-dograb",
                                                "-sync"};

// How many arguments, from argv[i] on, a Qt option takes up; 0 for anything else.
int QtOptionLength(int argc, char** argv, int i) {
    const std::string_view arg = argv[i];
    for (std::string_view option : kQtOptionsWithValue) {
        if (arg == option || (arg.size() > 1 && arg.substr(1) == option)) {
            return i + 1 < argc ? 2 : 0;
        }
    }
    for (std::string_view option : kQtOptionsAlone) {
        if (arg == option || (arg.size() > 1 && arg.substr(1) == option)) {
            return 1;
        }
    }
    return 0;
}

// What Qt said while the display was being opened.
QtMessageHandler g_previousHandler = nullptr;
QList<QByteArray> g_heldMessages;

std::string DisplayNames() {
    std::string names;
    for (const char* name : {"QT_QPA_PLATFORM", "WAYLAND_DISPLAY", "DISPLAY"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && *value != '\0') {
            names += (names.empty() ? "" : ", ") + std::string(name) + "=" + value;
        }
    }
    return names;
}

void HoldStartupMessage(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type != QtFatalMsg) {
        g_heldMessages << qFormatLogMessage(type, context, message).toLocal8Bit();
        return;
    }
    std::fprintf(stderr, "%s: no display could be opened (%s)\n", g_program,
                 DisplayNames().c_str());
    std::fflush(stderr);
    std::_Exit(1);
}

} // namespace

int& GuardDisplayOpening(int& argc) {
    g_heldMessages.clear();
    g_previousHandler = qInstallMessageHandler(HoldStartupMessage);
    return argc;
}

void EndDisplayGuard() {
    qInstallMessageHandler(g_previousHandler);
    for (const QByteArray& line : g_heldMessages) {
        std::fprintf(stderr, "%s\n", line.constData());
    }
    g_heldMessages.clear();
}

int HandleCommandLine(int argc, char** argv, const char* summary,
                      std::vector<SettingsCommand>& commands) {
    commands.clear();
    // Past the file-size limit a write fails with EFBIG, which a save reports, instead of
    // the signal ending the program halfway through the file.
    std::signal(SIGXFSZ, SIG_IGN);
    if (argc > 0 && argv[0] != nullptr && *argv[0] != '\0') {
        g_program = BaseName(argv[0]);
    }
    // In order: the first word that is not understood ends the run, whatever follows it.
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        const char* mistake = nullptr;
        if (arg == "--help" || arg == "-h") {
            PrintUsage(stdout, summary);
            return 0;
        }
        if (arg == "--version") {
            std::printf("%s %s\n", g_program, CORVANE_VERSION);
            return 0;
        }
        // Qt's own options (-platform, -style, ...) are left to Qt.
        if (const int length = QtOptionLength(argc, argv, i); length > 0) {
            i += length - 1;
        } else if (arg == "--save" || arg == "--load" || arg == "--flash") {
            if (i + 1 >= argc || *argv[i + 1] == '\0') {
                mistake = "needs a file";
            } else {
                commands.push_back(SettingsCommand::Of(arg == "--save"   ? SettingsCommand::Save
                                                       : arg == "--load" ? SettingsCommand::Load
                                                                         : SettingsCommand::Flash,
                                                       argv[++i]));
            }
        } else if (arg == "--restore" || arg == "--no-restore") {
            if (commands.empty() || commands.back().kind != SettingsCommand::Flash ||
                commands.back().restore) {
                mistake = "goes once after --flash FILE";
            } else {
                commands.back().restore = arg == "--restore";
            }
        } else if (arg == "--quiet") {
            commands.push_back(SettingsCommand::Of(SettingsCommand::Quiet));
        } else if (arg == "--show") {
            commands.push_back(SettingsCommand::Of(SettingsCommand::Show));
        } else if (arg == "--json") {
            if (commands.empty() || commands.back().kind != SettingsCommand::Show) {
                mistake = "goes after --show";
            } else {
                commands.back().json = true;
            }
        } else {
            std::fprintf(stderr, "%s: %s %s\n", g_program,
                         arg.starts_with('-') ? "unknown option" : "unexpected argument", argv[i]);
            PrintUsage(stderr, summary);
            return 2;
        }
        if (mistake != nullptr) {
            std::fprintf(stderr, "%s: option %s %s\n", g_program, argv[i], mistake);
            PrintUsage(stderr, summary);
            return 2;
        }
    }
    // A script must say what becomes of the settings an update replaces.
    for (const SettingsCommand& command : commands) {
        if (command.kind == SettingsCommand::Flash && !command.restore) {
            std::fprintf(stderr, "%s: option --flash %s needs --restore or --no-restore\n",
                         g_program, command.path.c_str());
            PrintUsage(stderr, summary);
            return 2;
        }
    }
    // The options work without a desktop.
    if (commands.empty() && !HasDesktop()) {
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
