// Settings files: the format's round trip and what it refuses, saving and loading from the
// window (values become waiting changes, never written unasked), and the command line.
#include <sys/stat.h>

#include <QAction>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMenu>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <unistd.h>

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
    };
    for (size_t i = 0; i < std::size(spoilers); ++i) {
        EXPECT_FALSE(ParseSettingsJson(Edited(good, spoilers[i]))) << "spoiler " << i;
    }
    EXPECT_FALSE(ParseSettingsJson("{\"format\": "));
    EXPECT_FALSE(ParseSettingsJson(good + QByteArray(kMaxSettingsFileSize, ' ')));

    QTemporaryDir dir;
    QString reason;
    EXPECT_FALSE(WriteSettingsFile(dir.filePath("no/such/folder.json"), good, reason));
    EXPECT_FALSE(reason.isEmpty());
    const QString fifo = dir.filePath("fifo.json");
    ASSERT_EQ(::mkfifo(fifo.toLocal8Bit().constData(), 0600), 0);
    EXPECT_FALSE(ReadSettingsFile(fifo)) << "refused, without waiting for a writer";
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
        ASSERT_TRUE(PumpUntil([&] { return window->ParamsLoaded(); }));
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
    EXPECT_EQ(m_boxes, QStringList({"SETTINGS: These settings are for another ESC model.",
                                    "SETTINGS: Not a settings file this program can read."}));
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
