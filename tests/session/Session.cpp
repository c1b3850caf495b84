#include "Session.h"

#include <algorithm>
#include <fstream>
#include <utility>

#include <QCoreApplication>
#include <QTemporaryDir>

#include "ParamBlockFactory.h"
#include "SkinLayout.h"

namespace corvane::test {

namespace {

constexpr uint16_t kBlockLength = 40;
constexpr uint8_t kBlocks = 3;
constexpr uint32_t kOracleMs = 3000; // the time limit of oracles (f) and (g)

// The upgrade file for a model, written once per process: the user picks the one for the ESC
// on the bench.
const std::string& UpgradeFileFor(uint8_t model, std::string* bytes = nullptr) {
    static QTemporaryDir dir;
    static std::string paths[2], contents[2];
    const int at = model == 8 ? 0 : 1;
    if (paths[at].empty()) {
        std::string& file = contents[at];
        file = {static_cast<char>(kBlockLength), 0, 9, 0, static_cast<char>(model), 50, 'B', 14,
                static_cast<char>(kBlocks)};
        for (int i = 0; i < kBlockLength * kBlocks; ++i) {
            file.push_back(static_cast<char>(i * 7 + model));
        }
        paths[at] = dir.filePath(QStringLiteral("vrx_%1.cuf").arg(model)).toStdString();
        std::ofstream(paths[at], std::ios::binary) << file;
    }
    if (bytes != nullptr) {
        *bytes = contents[at];
    }
    return paths[at];
}

// Values that look like the ESC's commands: a block that carries them and goes out twice is
// read as requests.
constexpr uint8_t kNastyValues[] = {0x62, 0x81, 0xA1, 0x86, 0x27, 0xF1, 0xF7, 0xFA, 0x13};

} // namespace

Session::Session(std::vector<uint8_t> script) : m_script(std::move(script)) {
    const uint8_t setup = Next();
    ParamBlock block = MakeRealisticParamBlock();
    if ((setup & 1) != 0) {
        block[9 + PARAM_TURBO_DELAY] = 5;    // below its range
        block[9 + PARAM_NEUTRAL_WIDTH] = 10; // not in its table
    }
    const uint8_t model = (setup & 2) != 0 ? 16 : 8;
    const ParamBlock defaults = MakeRealisticParamBlock();
    for (size_t i = 0; i < m_allowed.size(); ++i) {
        m_allowed[i] = {block[9 + i], defaults[9 + i]};
    }
    m_port.Esc([&](sim::EscSimulator& e) {
        // An ESC greets one of two ways, after a power-up and after a flash alike.
        e.SetGreetStyle((setup & 4) != 0 ? sim::GreetStyle::GoOnF7 : sim::GreetStyle::Hello13);
        e.SetRestartAfterFlash((setup & 8) != 0); // and may reboot at once when flashed
        e.SetIdentity({model, 50, 'A', 12, 2});
        e.SetParamBlock(block);
        e.ExpectFirmware(kBlockLength, kBlocks, 'B', 14, defaults);
    });
    m_port.PlugDongle(true);
    m_view.log = &m_log;
    m_view.answerFor = [this](const QString& text) { return Answer(text); };
    m_controller = std::make_unique<ConnectionController>(
        m_port, m_view, ConnectionController::Options{.startWorker = false, .clock = &m_clock});
    m_controller->Start();
}

Session::~Session() {
    m_controller.reset();
}

uint8_t Session::Next() {
    return m_at < m_script.size() ? m_script[m_at++] : 0;
}

bool Session::Run() {
    while (m_at < m_script.size() && m_failure.empty()) {
        Step(false);
    }
    // A calm end: every fault undone; what the tool says must now hold of the ESC.
    if (!m_port.IsDonglePlugged()) {
        m_port.PlugDongle(true);
        m_controller->Dongles().OnDeviceChange(true, sim::SimPort::kDevicePath);
    }
    m_port.SetStalled(false);
    m_port.SetReportPayload(62);
    m_port.SetLatency(0);
    m_port.Esc([](sim::EscSimulator& e) {
        e.SetConnected(true);
        e.RefuseNextBlocks(0);
        e.SetReadCheck(sim::ReadCheck::Crc);
        e.SetStrayBeforeVerdict(0);
    });
    Disturbed();
    for (int i = 0; i < 60 && m_failure.empty(); ++i) {
        Pump(100);
        Check();
    }
    return m_failure.empty();
}

bool Session::Step(bool nested) {
    const int op = Next() % 16;
    const uint8_t arg = Next();
    ++m_stats.events;
    if (op < 10 || (nested && op >= 12)) {
        Pump(arg % 50 + 1); // a modal box is open: the user cannot act, the world goes on
    } else if (op < 12) {
        Adversary(arg % 11, Next());
    } else {
        User(arg % 8, Next());
    }
    Check();
    return m_failure.empty();
}

void Session::Pump(int passes) {
    for (int i = 0; i < passes && m_failure.empty(); ++i) {
        m_controller->Link().RunPass();
        m_clock.Advance(1);
        QCoreApplication::processEvents();
        if (m_offerWait > 0 && --m_offerWait == 0 && !m_faulted && !m_offered) {
            Fail("(h) the settings kept before a fault-free update were not offered back");
        }
        CheckStored();
        CheckLines();
        CheckProgress();
    }
}

void Session::Adversary(int kind, uint8_t arg) {
    static constexpr uint8_t kStray[] = {0xF1, 0xF7, 0xFA, 0x13, 0xF7};
    ++m_stats.faults;
    m_faulted = true;
    Disturbed();
    switch (kind) {
    case 0:
        m_port.Esc([b = arg % 5 < 4 ? kStray[arg % 5] : Next()](sim::EscSimulator& e) {
            e.InjectByte(b);
        });
        break;
    case 1:
        m_port.Esc([b = kStray[arg % 5]](sim::EscSimulator& e) { e.SetStrayBeforeVerdict(b); });
        break;
    case 2:
        m_port.SetReportPayload(arg % 3 == 0 ? 62 : 1 + arg % 8);
        break;
    case 3:
        m_port.SetLatency(arg % 40);
        break;
    case 4:
        ++m_stats.restarts;
        m_identityDue = true;
        m_port.Esc([](sim::EscSimulator& e) { e.Restart(); });
        break;
    case 5: { // another ESC on the lead: the other model or firmware, other settings
        ++m_stats.restarts;
        // Swapping takes longer than the dongle takes to pass on what the old one said.
        for (int i = 0; i < 2000 && m_port.ToHostPending() > 0 && m_failure.empty(); ++i) {
            Pump(1);
        }
        Disturbed();
        m_identityDue = true;
        m_port.Esc([&](sim::EscSimulator& e) {
            sim::EscIdentity id = e.Identity();
            id.model = (arg & 1) != 0 ? (id.model == 8 ? 16 : 8) : id.model;
            id.version = static_cast<uint8_t>(id.version + 1);
            e.SetIdentity(id);
            ParamBlock block = e.ParamBlock();
            block[9 + PARAM_COAST] = static_cast<uint8_t>(arg % 101);
            m_allowed[PARAM_COAST].insert(block[9 + PARAM_COAST]);
            e.SetParamBlock(block);
            e.ExpectFirmware(kBlockLength, kBlocks, 'B', 14, MakeRealisticParamBlock());
            e.Restart();
        });
        break;
    }
    case 6:
        m_port.SetStalled((arg & 1) != 0);
        break;
    case 7:
        m_port.PlugDongle(!m_port.IsDonglePlugged());
        m_controller->Dongles().OnDeviceChange(m_port.IsDonglePlugged(), sim::SimPort::kDevicePath);
        break;
    case 8:
        m_port.Esc([n = arg % 4 + 1](sim::EscSimulator& e) { e.RefuseNextBlocks(n); });
        break;
    case 9:
        m_port.Esc([wrong = (arg & 1) != 0](sim::EscSimulator& e) {
            e.SetReadCheck(wrong ? sim::ReadCheck::Wrong : sim::ReadCheck::Crc);
        });
        break;
    default:
        m_port.Esc([](sim::EscSimulator& e) { e.SetConnected(!e.IsConnected()); });
        break;
    }
}

void Session::User(int kind, uint8_t arg) {
    ConnectionController& c = *m_controller;
    if (kind == 3 || kind == 4) {
        m_offerWait = 0; // a transfer pressed before the offer's box opened takes its place
    }
    switch (kind) {
    case 0:
    case 1:
    case 2:
        Edit(arg);
        break;
    case 3:
        if (c.IsHotAreaLive(HotWriteButton)) {
            // As the window does: every page stores its sliders, each clamped to its track.
            for (int index = 0; index < PARAM_COUNT; ++index) {
                ParameterDescriptor d;
                if (c.Params().GetParamDescriptor(index, d)) {
                    c.Params().SetParamPosition(
                        index, std::min(c.Params().GetParamPosition(index), LastPosition(d)));
                }
            }
            c.UpdateParameters();
        }
        break;
    case 4:
        Flash((arg & 3) != 0);
        break;
    case 5:
        m_restoreYes = (arg & 1) != 0;
        break;
    case 6:
        c.ConfirmClose(); // told No during a firmware update; a parameter write is waited for
        break;
    default:
        Pump(200 + arg * 4);
        break;
    }
}

void Session::Edit(uint8_t arg) {
    ConnectionController& c = *m_controller;
    const int index = arg % 16;
    ParameterDescriptor d;
    if (!c.IsHotAreaLive(HotSettingsTile) || !c.Params().GetParamDescriptor(index, d)) {
        return;
    }
    const int last = LastPosition(d);
    int position = Next() % (last + 1);
    if ((arg & 0x10) != 0) { // a value that looks like a command, where the control offers one
        const uint8_t nasty = kNastyValues[position % std::size(kNastyValues)];
        for (int p = 0; p <= last; ++p) {
            if (ValueAtPosition(d, static_cast<uint8_t>(p)) == nasty) {
                position = p;
            }
        }
    }
    c.Params().SetParamPosition(index, static_cast<uint8_t>(position));
    const uint8_t value = c.Block()[9 + static_cast<size_t>(index)];
    m_allowed[static_cast<size_t>(index)].insert(value);
    // Waiting only if it differs from what the tool last had from the ESC.
    const auto changes = c.Params().ChangedParams();
    const bool waiting = std::any_of(changes.begin(), changes.end(),
                                     [index](const auto& change) { return change.index == index; });
    m_pending[static_cast<size_t>(index)] = waiting ? value + 1 : 0;
}

void Session::Flash(bool confirm) {
    ConnectionController& c = *m_controller;
    if (!c.IsHotAreaLive(HotFirmwareUpdate)) {
        return;
    }
    const uint8_t model = m_port.Esc([](sim::EscSimulator& e) { return e.Identity().model; });
    m_view.upgradeFile = QString::fromStdString(UpgradeFileFor(model, &m_file));
    m_confirm = confirm;
    const size_t before =
        m_port.Esc([](sim::EscSimulator& e) { return e.FirmwareBlocks().size(); });
    const std::vector<uint8_t> kept = c.Block();
    const bool loaded = c.ParamsLoaded();
    const bool running = c.FirmwareBusy();
    c.Firmware().Start();
    if (running || !c.FirmwareBusy()) {
        return; // refused, cancelled, or the update already running
    }
    // The user chose the reset: waiting changes go with the settings kept for the restore.
    m_keptAtFlash = loaded;
    m_firmwareFrom = before;
    m_flashConfirmed = true;
    m_fileBlocks.clear();
    for (int b = 0; b < kBlocks; ++b) {
        const auto at = m_file.begin() + 9 + b * kBlockLength;
        m_fileBlocks.emplace_back(at, at + kBlockLength);
    }
    for (size_t i = 0; i < m_allowed.size() && kept.size() > 9 + i; ++i) {
        m_allowed[i].insert(kept[9 + i]);
    }
    m_pending.fill(0);
}

QMessageBox::StandardButton Session::Answer(const QString& text) {
    if (text.startsWith("A firmware update is in progress.")) {
        return QMessageBox::No;
    }
    const bool confirmation = text.startsWith("You're going");
    const bool restore = text.startsWith("Firmware updated.");
    m_offered = m_offered || restore;
    if ((confirmation || restore) && m_nesting == 0) {
        // The box is open a while; the world goes on behind it.
        ++m_nesting;
        Step(true);
        --m_nesting;
    }
    if (confirmation) {
        return m_confirm ? QMessageBox::Ok : QMessageBox::Cancel;
    }
    if (restore) {
        if (m_restoreYes) {
            m_pending.fill(0); // the user chose the settings from before over any edit since
        }
        return m_restoreYes ? QMessageBox::Yes : QMessageBox::No;
    }
    return QMessageBox::Ok;
}

void Session::Check() {
    CheckStored();
    CheckLines();
    CheckEdits();
    CheckProgress();
    CheckIdentity();
}

// (c) the ESC stores only blocks the tool was given to send, firmware only the file's and only
// once the user confirmed; (d) a value nobody chose never reaches the ESC.
void Session::CheckStored() {
    const std::vector<uint8_t>& sent = m_controller->SentBlock();
    if (!sent.empty()) {
        m_sent.insert(sent);
    }
    m_port.Esc([&](sim::EscSimulator& e) {
        const auto& stored = e.WrittenBlocks();
        for (; m_storedSeen < stored.size(); ++m_storedSeen) {
            const auto& block = stored[m_storedSeen];
            if (m_sent.count({block.begin(), block.end()}) == 0) {
                Fail("(c) the ESC stored a parameter block the tool was never given");
            }
            for (size_t i = 0; i < m_allowed.size(); ++i) {
                if (m_allowed[i].count(block[9 + i]) == 0) {
                    Fail("(d) the ESC stored a value nobody chose for parameter " +
                         std::to_string(i) + ": " + std::to_string(block[9 + i]));
                }
            }
        }
        const auto& firmware = e.FirmwareBlocks();
        for (; m_firmwareSeen < firmware.size(); ++m_firmwareSeen) {
            const auto& block = firmware[m_firmwareSeen];
            if (!m_flashConfirmed ||
                std::find(m_fileBlocks.begin(), m_fileBlocks.end(), block) == m_fileBlocks.end()) {
                Fail("(c) the ESC stored a firmware block nobody sent");
            }
        }
    });
}

// (a) "Completed." only when the ESC holds the block sent; (b) "Updating Firmware Completed."
// only when every block of the file was stored once, in order.
void Session::CheckLines() {
    for (; m_logSeen < m_log.size(); ++m_logSeen) {
        const QString& line = m_log[m_logSeen];
        if (line == "Updating Parameters to ESC...") {
            m_writeRunning = true;
        } else if (line == "Updating Firmware...") {
            m_flashRunning = true;
        } else if (line == "Update Parameters Completed.") {
            ++m_stats.writesDone;
            m_writeRunning = false;
            const auto esc = m_port.Esc([](sim::EscSimulator& e) { return e.ParamBlock(); });
            if (!std::equal(esc.begin(), esc.end(), m_controller->SentBlock().begin(),
                            m_controller->SentBlock().end())) {
                const auto& sent = m_controller->SentBlock();
                size_t at = 0;
                while (at < esc.size() && at < sent.size() && esc[at] == sent[at]) {
                    ++at;
                }
                Fail("(a) a write was called completed, but the ESC holds another block (first "
                     "difference at byte " +
                     std::to_string(at) + ")");
            }
        } else if (line == "Update Parameters ERROR!!") {
            ++m_stats.writesFailed;
            if (!m_faulted && std::exchange(m_writeRunning, false)) {
                Fail("(h) a write met no fault, yet failed");
            }
        } else if (line == "Updating Firmware Completed.") {
            ++m_stats.flashesDone;
            m_flashRunning = false;
            m_offerDue = !m_faulted && m_keptAtFlash;
            m_offered = false;
            const auto firmware =
                m_port.Esc([](sim::EscSimulator& e) { return e.FirmwareBlocks(); });
            if (!std::equal(firmware.begin() + static_cast<std::ptrdiff_t>(m_firmwareFrom),
                            firmware.end(), m_fileBlocks.begin(), m_fileBlocks.end())) {
                Fail("(b) an update was called completed, but the ESC stored " +
                     std::to_string(firmware.size() - m_firmwareFrom) + " blocks for the " +
                     std::to_string(m_fileBlocks.size()) + " of the file");
            }
            m_flashConfirmed = false;
        } else if (line == "Fail to Update Firmware!") {
            ++m_stats.flashesFailed;
            m_flashConfirmed = false;
            // A request the link could not take at once is refused here: with no worker of
            // its own, the session's link cannot finish an exchange while the hand-over waits.
            if (!m_faulted && std::exchange(m_flashRunning, false)) {
                Fail("(h) a firmware update met no fault, yet failed");
            }
        } else if (line == "Getting Parameters... Completed." && m_offerDue) {
            m_offerDue = false;
            m_offerWait = 2; // the box opens from the event loop, after the read's notice
        } else if (line == "Unsent changes were dropped: the ESC holds other settings.") {
            m_pending.fill(0);
        }
    }
}

// (e) an edit is written, still waiting, or dropped with a line saying so.
void Session::CheckEdits() {
    const std::vector<uint8_t>& block = m_controller->Block();
    const auto esc = m_port.Esc([](sim::EscSimulator& e) { return e.ParamBlock(); });
    for (size_t i = 0; i < m_pending.size(); ++i) {
        if (m_pending[i] == 0) {
            continue;
        }
        const auto value = static_cast<uint8_t>(m_pending[i] - 1);
        if (esc[9 + i] == value) {
            m_pending[i] = 0; // on the ESC
        } else if (block.size() <= 9 + i || block[9 + i] != value) {
            Fail("(e) an edit of parameter " + std::to_string(i) + " was dropped silently");
        }
    }
}

// (f) an exchange that makes no progress for 3 s ends with the link lost.
void Session::CheckProgress() {
    KVALinkCore& link = m_controller->Link();
    const int state = link.GetLinkState();
    std::vector<uint32_t> signature = {static_cast<uint32_t>(state),
                                       static_cast<uint32_t>(link.GetStep()),
                                       static_cast<uint32_t>(link.GetBlocksLeft()),
                                       static_cast<uint32_t>(link.GetTxLength()),
                                       link.GetByteTimerStart(),
                                       link.CurrentExchange()};
    const uint32_t now = m_clock.Now();
    if (signature != m_signature) {
        m_signature = std::move(signature);
        m_stillSince = now;
        return;
    }
    const bool busy = (state >= LINK_IDENTIFY && state <= LINK_KEEPALIVE) ||
                      link.GetTxLength() > 0 ||
                      (state == LINK_WAIT_ESC && link.GetByteTimerStart());
    if (busy && now - m_stillSince > kOracleMs) {
        Fail("(f) the link made no progress for 3 s and was not lost");
    }
}

// (g) 3 s after a restart or swap, with no fault since, the tool shows no ESC but the one on
// the lead.
void Session::CheckIdentity() {
    // A firmware update changes the ESC's version itself: judged once it has ended.
    if (!m_identityDue || m_clock.Now() - m_calmSince <= kOracleMs ||
        m_controller->TransferBusy()) {
        return;
    }
    m_identityDue = false;
    if (!m_controller->ParamsLoaded()) {
        return;
    }
    const EscIdentity& shown = m_controller->Identity();
    const sim::EscIdentity esc = m_port.Esc([](sim::EscSimulator& e) { return e.Identity(); });
    if (shown.byModel != esc.model || shown.byFamily != esc.family ||
        shown.byVersionLetter != esc.versionLetter || shown.byVersion != esc.version) {
        Fail("(g) 3 s after the last fault the tool shows another ESC than the one on the lead");
    }
}

void Session::Fail(const std::string& what) {
    if (!m_failure.empty()) {
        return;
    }
    m_failure = what + " (event " + std::to_string(m_stats.events) + ", tick " +
                std::to_string(m_clock.Now()) + "); last lines: " +
                m_log.mid(std::max<qsizetype>(0, m_log.size() - 8)).join(" | ").toStdString();
}

} // namespace corvane::test
