// Settings files: the format's round trip and what it refuses, saving and loading from the
// window (values become waiting changes, never written unasked), and the command line.
#include <csignal>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>

#include <QAction>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMenu>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>
#include <unistd.h>

#include "FlashCommand.h"
#include "ParamBlockFactory.h"
#include "SettingText.h"
#include "SettingsCommands.h"
#include "SettingsFile.h"
#include "WindowFixture.h"

using namespace corvane;
using namespace corvane::test;

namespace {

const EscIdentity kQ8{8, 50, 'A', 12, 1};

// The file for a block the simulated ESC would send, with some values changed.
QByteArray FileFor(std::initializer_list<std::pair<int, uint8_t>> values,
                   const EscIdentity& esc = kQ8) {
    ParamBlock bytes = MakeRealisticParamBlock();
    for (auto [index, value] : values) {
        bytes[9 + static_cast<size_t>(index)] = value;
    }
    std::vector<uint8_t> block(bytes.begin(), bytes.end());
    ParameterSet params;
    params.SetBlock(block.data(), block.size());
    return MakeSettingsJson(esc, params, block, QDateTime::currentDateTimeUtc());
}

QByteArray Edited(const QByteArray& text, const std::function<void(QJsonObject&)>& edit) {
    QJsonObject root = QJsonDocument::fromJson(text).object();
    edit(root);
    return QJsonDocument(root).toJson();
}

} // namespace

TEST(SettingsFile, RoundTripsAndRefusesAnythingElse) {
    const QByteArray good = FileFor({{PARAM_BRAKE_STRENGTH, 41}});
    const auto content = ParseSettingsJson(good);
    ASSERT_TRUE(content);
    EXPECT_EQ(content->model, 8);
    EXPECT_EQ(content->family, 50);
    EXPECT_EQ(content->block[9 + PARAM_BRAKE_STRENGTH], 41);
    const QJsonObject root = QJsonDocument::fromJson(good).object();
    EXPECT_EQ(root["esc"].toObject()["model"].toString(), "VRX_Q8");
    EXPECT_EQ(root["esc"].toObject()["firmware"].toString(), "A1.2");
    const QJsonObject strength = root["settings"].toArray()[PARAM_BRAKE_STRENGTH].toObject();
    EXPECT_EQ(strength["label"].toString(), "Brake Strength");
    EXPECT_EQ(strength["value"].toString(), "41%");
    EXPECT_EQ(strength["raw"].toInt(), 41);
    EXPECT_EQ(SuggestedSettingsName(16, QDate(2026, 12, 8)), "VRX_Q10-2026-12-08.json");

    const std::function<void(QJsonObject&)> spoilers[] = {
        [](QJsonObject& r) { r["format"] = "something-else"; },
        [](QJsonObject& r) { r["formatVersion"] = kSettingsFormatVersion + 1; },
        [](QJsonObject& r) { r["formatVersion"] = 0.5; },
        [](QJsonObject& r) { r.remove("block"); },
        [](QJsonObject& r) { r["block"] = r["block"].toString().chopped(1); },
        [](QJsonObject& r) { r["block"] = r["block"].toString().replace(0, 2, "zz"); },
        [](QJsonObject& r) { r.remove("saved"); },
        [](QJsonObject& r) {
            r["esc"] = QJsonObject{{"modelId", 300}, {"family", 50}};
        },
        [](QJsonObject& r) {
            QJsonArray settings = r["settings"].toArray();
            settings.removeLast();
            r["settings"] = settings;
        },
        [](QJsonObject& r) { // the raw byte edited, the block not: two answers
            QJsonArray settings = r["settings"].toArray();
            QJsonObject first = settings[0].toObject();
            first["raw"] = first["raw"].toInt() + 1;
            settings[0] = first;
            r["settings"] = settings;
        },
        [](QJsonObject& r) { // whole numbers only: 8.5 is not model 8
            QJsonObject esc = r["esc"].toObject();
            esc["modelId"] = 8.5;
            r["esc"] = esc;
        },
        [](QJsonObject& r) { // nor 41.5 the byte 41
            QJsonArray settings = r["settings"].toArray();
            QJsonObject strength = settings[PARAM_BRAKE_STRENGTH].toObject();
            strength["raw"] = 41.5;
            settings[PARAM_BRAKE_STRENGTH] = strength;
            r["settings"] = settings;
        },
        [](QJsonObject& r) { r["block"] = r["block"].toString().chopped(2); }, // a byte short
        [](QJsonObject& r) { r["block"] = r["block"].toString() + "00"; },     // a byte long
        [](QJsonObject& r) {
            r["esc"] = QJsonObject{
                {"model", "VRX_Q10"}, {"modelId", 8}, {"family", 50}, {"firmware", "A1.2"}};
        },
        [](QJsonObject& r) { // the text edited by hand, the byte not
            QJsonArray settings = r["settings"].toArray();
            QJsonObject strength = settings[PARAM_BRAKE_STRENGTH].toObject();
            strength["value"] = "99%";
            settings[PARAM_BRAKE_STRENGTH] = strength;
            r["settings"] = settings;
        },
    };
    for (size_t i = 0; i < std::size(spoilers); ++i) {
        EXPECT_FALSE(ParseSettingsJson(Edited(good, spoilers[i]))) << "spoiler " << i;
    }
    // The refusal names the setting and the line to fix.
    QByteArray edited = good;
    const qsizetype at = edited.indexOf("\"41%\"");
    edited.replace(at, 5, "\"99%\"");
    QString why;
    EXPECT_FALSE(ParseSettingsJson(edited, &why));
    EXPECT_EQ(why, QString("line %1: Brake Strength reads \"99%\", but its raw byte 41 shows "
                           "\"41%\"")
                       .arg(edited.left(at).count('\n') + 1));
    EXPECT_FALSE(ParseSettingsJson("{\"format\": "));
    EXPECT_FALSE(ParseSettingsJson(good + QByteArray(kMaxSettingsFileSize, ' ')));

    QTemporaryDir dir;
    const QString fifo = dir.filePath("fifo.json");
    ASSERT_EQ(::mkfifo(fifo.toLocal8Bit().constData(), 0600), 0);
    EXPECT_FALSE(ReadSettingsFile(fifo)) << "refused, without waiting for a writer";
}

// A save is whole or nothing: the kernel's own refusal, and anything at the path that is not
// a regular file, leave what was there as it was and nothing beside it.
TEST(SettingsFile, ASaveThatCannotBeWholeKeepsTheOldFile) {
    QTemporaryDir dir;
    const QByteArray text(3000, 'x');
    const QString old = dir.filePath("old.json");
    {
        QFile file(old);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("the old settings");
    }
    // Past the file-size limit, in a child so that the limit binds nothing else.
    const pid_t child = ::fork();
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{100, 100};
        QString reason;
        ::setrlimit(RLIMIT_FSIZE, &limit);
        const bool saved = WriteSettingsFile(old, text, reason);
        ::_exit(saved ? 1 : reason == "File too large" ? 0 : 2);
    }
    int status = -1;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;

    const auto at = [&](const char* name) { return dir.filePath(name).toLocal8Bit(); };
    ASSERT_EQ(::mkfifo(at("fifo"), 0600), 0);
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder"));
    const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, at("socket"), sizeof address.sun_path - 1);
    ASSERT_EQ(::bind(sock, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    const std::pair<const char*, QString> refusals[] = {
        {"fifo", "Not a regular file (a FIFO)"},
        {"folder", "Not a regular file (a directory)"},
        {"socket", "Not a regular file (a socket)"},
        {"no/such/folder.json", "No such file or directory"},
    };
    for (const auto& [name, why] : refusals) {
        QString reason;
        struct stat before {
        }, after{};
        ::stat(at(name), &before);
        EXPECT_FALSE(WriteSettingsFile(dir.filePath(name), text, reason)) << name;
        EXPECT_EQ(reason, why) << name;
        ::stat(at(name), &after);
        EXPECT_EQ(before.st_mode, after.st_mode) << name << " is still what it was";
    }
    ::close(sock);
    EXPECT_EQ(QDir(dir.path())
                  .entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList({"fifo", "folder", "old.json", "socket"}))
        << "nothing left beside them";
    QFile kept(old);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), "the old settings");

    // A link to a regular file stays a link, and its target takes the text.
    ASSERT_TRUE(QFile::link(old, dir.filePath("link.json")));
    QString reason;
    EXPECT_TRUE(WriteSettingsFile(dir.filePath("link.json"), text, reason)) << reason.toStdString();
    EXPECT_TRUE(QFileInfo(dir.filePath("link.json")).isSymLink());
    QFile target(old);
    ASSERT_TRUE(target.open(QIODevice::ReadOnly));
    EXPECT_EQ(target.readAll(), text);
}

// A switch's change names the choice it had and the one it has.
TEST(SettingText, AChangedSwitchNamesBothChoices) {
    ParamBlock bytes = MakeRealisticParamBlock();
    ParameterSet params;
    params.SetBlock(bytes.data(), bytes.size());
    params.SnapshotParams();
    const uint8_t was = params.GetParamPosition(PARAM_MOTOR_DIRECTION);
    params.SetParamPosition(PARAM_MOTOR_DIRECTION, was ^ 1);
    const QString choices[] = {"FORWARD", "REVERSE"};
    EXPECT_EQ(
        DescribeChanges(params),
        QStringList{QString("Motor Direction: %1 \u2192 %2").arg(choices[was], choices[was ^ 1])});
}

class SettingsWorkflow : public WindowFixture {
protected:
    QTemporaryDir m_dir;
    QString m_answer; // what the file dialog answers
    std::vector<CCorvaneProgPanelDlg::FileRequest> m_requests;
    QStringList m_boxes;

    void OpenHooked() {
        Open();
        EXPECT_FALSE(Action(0)->isEnabled()) << "dead until the parameters are read";
        ASSERT_TRUE(PumpUntil([&] { return window->Connection().ParamsLoaded(); }));
        Settle();
        window->SetFileChooser([this](QWidget*, const CCorvaneProgPanelDlg::FileRequest& r) {
            m_requests.push_back(r);
            return m_answer;
        });
        window->SetMessageBoxRunner([this](QWidget*, QMessageBox::Icon, const QString& caption,
                                           const QString& text, QMessageBox::StandardButtons) {
            m_boxes << caption + ": " + text;
            return QMessageBox::Ok;
        });
    }
    void Put(const QString& name, const QByteArray& text) {
        QFile file(m_dir.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
        m_answer = file.fileName();
    }
    QAction* Action(int which) { return window->SettingsMenu()->actions()[which]; }
    static size_t Written(sim::SimPort& on) {
        return on.Esc([](sim::EscSimulator& e) { return e.WrittenBlocks().size(); });
    }
    size_t Written() { return Written(port); }
};

TEST_F(SettingsWorkflow, LoadedValuesWaitForWriteAndRefusalsChangeNothing) {
    OpenHooked();
    ASSERT_TRUE(Action(0)->isEnabled() && Action(1)->isEnabled());
    EXPECT_EQ(Action(1)->text(), "Load Settings\u2026");
    EXPECT_EQ(Action(0)->shortcut(), QKeySequence("Ctrl+S"));
    EXPECT_TRUE(window->actions().contains(Action(1))) << "Ctrl+O works with the menu closed";
    Put("other.json", FileFor({{PARAM_BRAKE_STRENGTH, 41}}, {16, 50, 'A', 12, 1}));
    Action(1)->trigger();
    Put("garbage.json", "{}");
    Action(1)->trigger();
    const QString missing = m_dir.filePath("tracks/old.json"), fifo = m_dir.filePath("fifo");
    m_answer = missing;
    Action(1)->trigger();
    ASSERT_EQ(::mkfifo(fifo.toLocal8Bit().constData(), 0600), 0);
    m_answer = fifo;
    Action(0)->trigger();
    EXPECT_EQ(m_boxes, QStringList({"SETTINGS: These settings are for another ESC model.",
                                    "SETTINGS: Not a settings file this program can read.\n" +
                                        m_dir.filePath("garbage.json") +
                                        ": \"format\" is not \"corvane-esc-settings\"",
                                    "SETTINGS: No such file: " + missing,
                                    "SETTINGS: The settings could not be saved to " + fifo +
                                        ":\nNot a regular file (a FIFO)"}));
    EXPECT_TRUE(QFileInfo(fifo).exists() && !QFileInfo(fifo).isFile()) << "the FIFO stays";
    EXPECT_FALSE(window->ChangesWaiting());

    // Coast at 250 is beyond what this ESC offers: named, and left as the ESC has it.
    Put("track.json", FileFor({{PARAM_BRAKE_STRENGTH, 41}, {PARAM_COAST, 250}}));
    Action(1)->trigger();
    EXPECT_EQ(m_requests.back().kind, CCorvaneProgPanelDlg::FileRequest::OpenSettings);
    EXPECT_EQ(Lines().last(), "Settings loaded from track.json, except: Coast.");
    EXPECT_EQ(window->ChangesText(), "Brake Strength: 50% \u2192 41%");
    Pump(300);
    EXPECT_EQ(Written(), 0u) << "loading never writes by itself";
    ClickAt(kWriteButton);
    ASSERT_TRUE(PumpUntilLine("Update Parameters Completed."));

    // Saved as the pages show it, under the suggested name's pattern.
    m_answer = m_dir.filePath("saved.json");
    Action(0)->trigger();
    EXPECT_EQ(m_requests.back().kind, CCorvaneProgPanelDlg::FileRequest::SaveSettings);
    EXPECT_TRUE(m_requests.back().suggestedName.startsWith("VRX_Q8-"));
    EXPECT_EQ(Lines().last(), "Settings saved to saved.json.");
    const auto saved = ReadSettingsFile(m_answer);
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->block[9 + PARAM_BRAKE_STRENGTH], 41);
}

// The command line: options in order on one connection, changes printed, refusals as status 1.
TEST_F(SettingsWorkflow, CommandLineLoadsWritesAndShows) {
    // The programs' own worker over a simulator on the real clock.
    sim::SimPort cli;
    cli.SetReadWait(kReadWaitMs);
    Put("track.json", FileFor({{PARAM_BRAKE_STRENGTH, 41}}));
    const std::string track = m_answer.toStdString();
    const auto run = [&](std::vector<SettingsCommand> commands, int wait = kConnectWaitMs) {
        std::FILE* out = std::tmpfile();
        const int status = RunSettingsCommands(cli, commands, out, wait);
        std::rewind(out);
        QByteArray printed;
        char chunk[4096];
        while (const size_t n = std::fread(chunk, 1, sizeof chunk, out)) {
            printed.append(chunk, static_cast<qsizetype>(n));
        }
        std::fclose(out);
        return std::pair{status, QString::fromUtf8(printed)};
    };
    const auto [status, printed] = run({SettingsCommand::Of(SettingsCommand::Load, track),
                                        SettingsCommand::Of(SettingsCommand::Show)});
    EXPECT_EQ(status, 0);
    EXPECT_TRUE(printed.startsWith("Brake Strength: 50% \u2192 41%\n")) << printed.toStdString();
    EXPECT_TRUE(printed.contains(QRegularExpression("\nBrake Strength +41%\n")));
    EXPECT_EQ(Written(cli), 1u);
    EXPECT_EQ(run({SettingsCommand::Of(SettingsCommand::Load, track)}).second, "")
        << "nothing left to change";
    EXPECT_EQ(run({SettingsCommand::Of(SettingsCommand::Load, "/no/such.json")}).first, 1);
    cli.PlugDongle(false);
    EXPECT_EQ(run({SettingsCommand::Of(SettingsCommand::Show)}, 0).first, 1) << "no dongle";
}

// The command line's firmware update, over the programs' own worker and a simulated ESC on the
// real clock: each case sets the ESC up, runs the options, and reads the status and the output.
TEST_F(SettingsWorkflow, CommandLineUpdatesTheFirmware) {
    const auto upgrade = [&](const QString& name, uint8_t model) {
        const char header[] = {6, 0, 9, 0, static_cast<char>(model), 50, 'B', 14, 6};
        const QByteArray bytes = QByteArray(header, sizeof header) + QByteArray(36, '\x5A');
        Put(name, bytes);
        return m_answer.toStdString();
    };
    const std::string q8 = upgrade("q8.cuf", 8), q10 = upgrade("q10.cuf", 16);
    const auto flash = [](const std::string& file, bool restore) {
        SettingsCommand command = SettingsCommand::Of(SettingsCommand::Flash, file);
        command.restore = restore;
        return command;
    };
    struct Case {
        const char* what;
        SettingsCommand command;
        std::function<void(sim::EscSimulator&)> setUp;
        bool swapFirst; // the ESC is swapped for another before the update
        bool interrupt; // SIGINT comes as the update begins
        int status;
        QString printed;
    };
    const Case cases[] = {
        {"restored", flash(q8, true), [](auto& e) { e.RefuseNextBlocks(1); }, false, false, 0,
         "Updating Firmware Completed.\nPrevious settings restored.\n"},
        {"defaults", flash(q8, false), nullptr, false, false, 0, "Updating Firmware Completed.\n"},
        {"refused file", flash(q10, true), nullptr, false, false, 1, ""},
        {"failed block", flash(q8, true), [](auto& e) { e.RefuseNextBlocks(4); }, false, false, 1,
         ""},
        {"swapped", flash(q8, true), nullptr, true, false, 1, ""},
        {"interrupted", flash(q8, false), nullptr, false, true, 130, ""},
    };
    for (const Case& c : cases) {
        sim::SimPort cli;
        cli.SetReadWait(kReadWaitMs);
        cli.Esc([&](sim::EscSimulator& e) {
            auto block = e.ParamBlock();
            block[9 + PARAM_BRAKE_STRENGTH] = 41; // not the new firmware's default
            e.SetParamBlock(block);
            e.ExpectFirmware(6, 6, 'B', 14);
            if (c.setUp) {
                c.setUp(e);
            }
        });
        const auto before = [&](const SettingsCommand&) {
            if (c.swapFirst) {
                const int reads = cli.Esc([](sim::EscSimulator& e) { return e.ReadCount(); });
                cli.Esc([](sim::EscSimulator& e) { e.SetIdentity({8, 50, 'A', 15, 2}); });
                WaitUntil([&] { return cli.Esc([](auto& e) { return e.ReadCount(); }) > reads; },
                          kConnectWaitMs);
            }
            if (c.interrupt) {
                QTimer::singleShot(0, [] { std::raise(SIGINT); });
            }
        };
        std::FILE* out = std::tmpfile();
        std::FILE* err = std::tmpfile();
        const int status = RunSettingsCommands(cli, {c.command}, out, kConnectWaitMs, err, before);
        const auto text = [](std::FILE* file) {
            std::rewind(file);
            QByteArray bytes(4096, '\0');
            bytes.resize(static_cast<qsizetype>(std::fread(bytes.data(), 1, 4096, file)));
            std::fclose(file);
            return QString::fromUtf8(bytes);
        };
        const QString printed = text(out), progress = text(err);
        EXPECT_EQ(status, c.status) << c.what;
        EXPECT_EQ(printed, c.printed) << c.what;
        const auto esc = cli.Esc([](sim::EscSimulator& e) { return e.ParamBlock(); });
        const size_t stored = cli.Esc([](auto& e) { return e.FirmwareBlocks().size(); });
        if (c.status == 0) {
            EXPECT_EQ(esc[9 + PARAM_BRAKE_STRENGTH], c.command.restore.value() ? 41 : 50) << c.what;
            EXPECT_TRUE(progress.endsWith("Updating firmware: 100% (block 6 of 6)\n")) << c.what;
        } else {
            EXPECT_LT(stored, 6u) << c.what << ": a whole update called failed";
        }
    }
}
