// A soak over the simulator through the real window: many cycles of edit, write and firmware
// update with refusals, silences, stray bytes and acceptances, bad checks, unplugs, a second
// program on the dongle, close requests, edits during writes, WRITE right after a flash and
// an ESC swapped while the confirmation box is open, thrown in at random. After a flash the
// settings from before are offered back and taken or declined at random, and their write may
// be refused or stored wrong.
// Whatever happens, nothing is lost silently: a write the tool calls completed is on the ESC
// byte for byte, any other outcome leaves the ESC's block whole (old or new, never mixed),
// the ESC only ever holds blocks the user chose to write, no success line follows a failure
// of the same transfer, and every firmware block the ESC stores is the file's block of that
// place, sent only to the ESC the file was checked for; settings said to be restored after a
// flash are on the ESC byte for byte.
//
// CORVANE_SOAK_CYCLES sets the number of cycles (default 300); CORVANE_SOAK_SEED the seed.
#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <optional>
#include <random>

#include <QTemporaryDir>

#include "ParamBlockFactory.h"
#include "ParamInfo.h"
#include "ParameterSet.h"
#include "SkinSlider.h"
#include "WindowFixture.h"

using namespace corvane;
using namespace corvane::test;

namespace {

int EnvInt(const char* name, int fallback) {
    const char* value = std::getenv(name);
    return value != nullptr ? std::atoi(value) : fallback;
}

enum class Fault {
    None,
    Refusals,
    StrayByte,
    Silence,
    EscUnplug,
    DongleUnplug,
    BadReadCheck,
    StrayAccept,
    SecondProgram,
    CloseRequest,
    CorruptStore,
};

} // namespace

class Soak : public WindowFixture {
protected:
    std::mt19937 rng{static_cast<unsigned>(EnvInt("CORVANE_SOAK_SEED", 20261207))};
    QTemporaryDir dir;
    int writesCompleted = 0, writesFailed = 0, firmwareCompleted = 0, firmwareFailed = 0;
    int faultsInjected = 0;
    // Every block the user chose to write (and the one the ESC started with).
    std::vector<sim::EscSimulator::Block> chosen;
    QString refusal;
    int closeBoxes = 0;
    // Runs while the next confirmation box is open.
    std::function<void()> whileConfirming;
    // The settings the window keeps to offer back after a flash: taken as a flash starts,
    // unless an update failed since (the ESC may run the new defaults by then); dropped when
    // the ESC is lost or they are offered. The block the last offer restores, and the offers.
    std::optional<std::vector<uint8_t>> kept;
    bool keptOutlivedFailure = false;
    int logAtLastFlash = 0;
    std::vector<uint8_t> flashedFrom;
    int restoreBoxes = 0, restoresTaken = 0, logWhenOffered = 0;
    bool restoreTaken = false;
    size_t writesWhenOffered = 0;

    // The block a restore of `previous` onto the new firmware's defaults writes: the soak's
    // firmware keeps every range, so every value comes back that its table or range offers.
    // One it does not (the ESC's own, after it stored a wrong byte) keeps the default.
    static sim::EscSimulator::Block Restored(const std::vector<uint8_t>& previous,
                                             QStringList* refused = nullptr) {
        sim::EscSimulator::Block restored = MakeRealisticParamBlock();
        ParameterSet defaults;
        defaults.SetBlock(restored.data(), restored.size());
        for (int index = 0; index < PARAM_COUNT; ++index) {
            ParameterDescriptor d;
            const uint8_t value = previous[9 + static_cast<size_t>(index)];
            if (defaults.GetParamDescriptor(index, d) &&
                (d.count != 0 ? std::find(d.table, d.table + d.count, value) != d.table + d.count
                              : value >= d.min && value <= d.max)) {
                restored[9 + static_cast<size_t>(index)] = value;
            } else if (refused != nullptr) {
                *refused << kParamInfo[static_cast<size_t>(index)].label;
            }
        }
        return restored;
    }

    void HookBoxes() {
        window->SetMessageBoxRunner([this](QWidget*, QMessageBox::Icon icon, const QString&,
                                           const QString& text, QMessageBox::StandardButtons) {
            if (text.startsWith("A firmware update is in progress.")) {
                ++closeBoxes;
                return QMessageBox::No;
            }
            if (text.startsWith("Firmware updated.")) {
                ++restoreBoxes;
                logWhenOffered = log.size();
                restoreTaken = Random(0, 1) == 0;
                writesWhenOffered =
                    port.Esc([](sim::EscSimulator& e) { return e.WrittenBlocks().size(); });
                EXPECT_TRUE(kept.has_value()) << "settings offered that were not kept";
                flashedFrom = kept.value_or(flashedFrom);
                kept.reset();
                if (restoreTaken) {
                    ++restoresTaken;
                    chosen.push_back(Restored(flashedFrom));
                }
                return restoreTaken ? QMessageBox::Yes : QMessageBox::No;
            }
            if (icon != QMessageBox::Information) {
                refusal = text;
            } else if (whileConfirming) {
                const auto run = std::move(whileConfirming);
                whileConfirming = nullptr;
                run();
            }
            return QMessageBox::Ok;
        });
    }

    bool IsChosen(const sim::EscSimulator::Block& block) const {
        return std::find(chosen.begin(), chosen.end(), block) != chosen.end();
    }

    // After every cycle: the ESC holds nothing the user did not choose, and no transfer was
    // called a success after it was called a failure.
    void CheckCycle(int from) {
        EXPECT_TRUE(IsChosen(port.Esc([](sim::EscSimulator& e) { return e.ParamBlock(); })))
            << "the ESC holds a block nobody chose";
        for (const auto& block : port.Esc([](sim::EscSimulator& e) { return e.WrittenBlocks(); })) {
            EXPECT_TRUE(IsChosen(block)) << "the ESC stored a block nobody chose";
        }
        const QStringList lines = log.mid(from);
        const struct {
            const char* success;
            std::initializer_list<const char*> failures;
        } kinds[] = {
            {"Update Parameters Completed.", {"Update Parameters ERROR!!", "ESC Disconnected."}},
            {"Updating Firmware Completed.", {"Fail to Update Firmware!", "ESC Disconnected."}},
        };
        for (const auto& kind : kinds) {
            const int success = static_cast<int>(lines.lastIndexOf(kind.success));
            for (const char* failure : kind.failures) {
                const int failed = static_cast<int>(lines.indexOf(failure));
                EXPECT_FALSE(failed >= 0 && success > failed)
                    << kind.success << " after " << failure << ": "
                    << lines.join(" | ").toStdString();
            }
        }
    }

    // The user closes the window mid-transfer: during a firmware update the box asks and is
    // told No; during a parameter write the close waits for the write, and the window is
    // opened again.
    void RequestClose() {
        const bool firmware = window->Connection().FirmwareBusy();
        const int asked = closeBoxes;
        window->done(QDialog::Rejected);
        if (firmware) {
            EXPECT_EQ(closeBoxes, asked + 1);
            EXPECT_TRUE(window->isVisible());
            return;
        }
        EXPECT_EQ(closeBoxes, asked);
        EXPECT_FALSE(
            window->Connection().Link().IsTransferBusy(&window->Connection().Link().m_EscRecord));
        if (!window->isVisible()) {
            window->show();
        }
    }

    int Random(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); }

    void EnsureConnected() {
        // An ESC that was silenced or unplugged comes back greeting, and a link that still
        // looked connected is lost on its next keep-alive: try until it holds.
        for (int attempt = 0; attempt < 5; ++attempt) {
            Recover();
            // A restore offered after a flash is written before anything else is asked.
            ASSERT_TRUE(PumpUntil(
                [&] {
                    return window->Connection().ParamsLoaded() &&
                           !window->Connection().TransferBusy();
                },
                60000))
                << log.mid(log.size() - 6).join(" | ").toStdString() << " state "
                << window->Connection().Link().GetLinkState() << " report "
                << window->Connection().Link().GetReportIdentity() << " busy "
                << window->Connection().TransferBusy() << " port " << port.GetState() << " tx "
                << window->Connection().Link().GetTxLength();
            Settle();
            if (window->Connection().ParamsLoaded()) {
                return;
            }
        }
        FAIL() << "the ESC never stayed connected";
    }

    void Recover() {
        if (!port.IsDonglePlugged()) {
            port.PlugDongle(true);
            window->Connection().Dongles().OnDeviceChange(true, sim::SimPort::kDevicePath);
        }
        port.Esc([](sim::EscSimulator& e) {
            e.SetSilent(false);
            e.SetConnected(true);
            e.RefuseNextBlocks(0);
            e.SetRefuseRead(false);
            e.SetReadCheck(sim::ReadCheck::Crc);
            e.CorruptNextStore(-1);
        });
        if (!window->Connection().ParamsLoaded() &&
            log.lastIndexOf("Fail to Get Parameters!") >
                log.lastIndexOf("Getting Parameters... Completed.")) {
            // A failed read waits for the link to be lost and found again.
            port.Esc([](sim::EscSimulator& e) { e.SetSilent(true); });
            Pump(1600); // past a keep-alive and its 1,000 ms timeout
            port.Esc([](sim::EscSimulator& e) { e.SetSilent(false); });
        }
    }

    // Sets up a fault that strikes during the next exchange; returns what to undo later.
    Fault Arm() {
        const Fault fault = static_cast<Fault>(Random(0, 10));
        switch (fault) {
        case Fault::Refusals:
            port.Esc([n = Random(1, 4)](sim::EscSimulator& e) { e.RefuseNextBlocks(n); });
            break;
        case Fault::BadReadCheck:
            port.Esc([](sim::EscSimulator& e) { e.SetReadCheck(sim::ReadCheck::Wrong); });
            break;
        case Fault::CorruptStore:
            port.Esc([at = 9 + Random(0, 15)](sim::EscSimulator& e) { e.CorruptNextStore(at); });
            break;
        default:
            break;
        }
        if (fault != Fault::None) {
            ++faultsInjected;
        }
        return fault;
    }
    // Strikes with a fault that needs timing, some passes into the exchange.
    void Strike(Fault fault) {
        Pump(Random(0, 60));
        switch (fault) {
        case Fault::StrayByte:
            port.Esc([b = static_cast<uint8_t>(Random(0, 255))](sim::EscSimulator& e) {
                e.InjectByte(b);
            });
            break;
        case Fault::Silence:
            port.Esc([](sim::EscSimulator& e) { e.SetSilent(true); });
            Pump(Random(200, 1500));
            port.Esc([](sim::EscSimulator& e) { e.SetSilent(false); });
            break;
        case Fault::EscUnplug:
            port.Esc([](sim::EscSimulator& e) { e.SetConnected(false); });
            Pump(Random(100, 1500));
            port.Esc([](sim::EscSimulator& e) { e.SetConnected(true); });
            break;
        case Fault::DongleUnplug:
            port.PlugDongle(false);
            window->Connection().Dongles().OnDeviceChange(false, sim::SimPort::kDevicePath);
            Pump(Random(1, 300));
            port.PlugDongle(true);
            window->Connection().Dongles().OnDeviceChange(true, sim::SimPort::kDevicePath);
            break;
        case Fault::StrayAccept:
            // An acceptance byte wherever the frame stands: it may not end the block.
            port.Esc([](sim::EscSimulator& e) { e.InjectByte(esc::kAccepted); });
            break;
        case Fault::SecondProgram:
            // Pulled, and plugged in again while another program holds it; that one lets go.
            port.PlugDongle(false);
            window->Connection().Dongles().OnDeviceChange(false, sim::SimPort::kDevicePath);
            port.HoldElsewhere(true);
            port.PlugDongle(true);
            window->Connection().Dongles().OnDeviceChange(true, sim::SimPort::kDevicePath);
            Pump(); // the worker searches
            EXPECT_EQ(log.last(), "USB dongle in use by another program.");
            EXPECT_TRUE(window->Connection().Dongles().RetryActive());
            Pump(Random(1, 300));
            window->Connection().Dongles().Retry();
            port.HoldElsewhere(false);
            window->Connection().Dongles().Retry();
            Pump();
            EXPECT_EQ(port.GetState(), PORT_OPEN);
            EXPECT_FALSE(window->Connection().Dongles().RetryActive());
            break;
        case Fault::CloseRequest:
            RequestClose();
            break;
        default:
            break;
        }
    }

    // The blocks the ESC stored since the first `from`.
    std::vector<sim::EscSimulator::Block> written(size_t from) {
        auto all = port.Esc([](sim::EscSimulator& e) { return e.WrittenBlocks(); });
        return {all.begin() + static_cast<std::ptrdiff_t>(std::min(from, all.size())), all.end()};
    }

    bool NewLineAmong(int from, std::initializer_list<const char*> lines) {
        const QStringList& all = log;
        for (int i = from; i < all.size(); ++i) {
            for (const char* line : lines) {
                if (all[i] == line) {
                    return true;
                }
            }
        }
        return false;
    }

    void WriteCycle() {
        std::vector<CSkinSlider*> sliders;
        for (CSkinSlider* s : window->findChildren<CSkinSlider*>()) {
            if (s->isEnabled()) {
                sliders.push_back(s);
            }
        }
        ASSERT_FALSE(sliders.empty()) << "loaded " << window->Connection().ParamsLoaded()
                                      << " page " << (window->Page(0) != nullptr) << " all "
                                      << window->findChildren<CSkinSlider*>().size() << " lines "
                                      << log.mid(log.size() - 8).join(" | ").toStdString();
        for (int i = Random(0, 3); i > 0; --i) {
            CSkinSlider* s =
                sliders[static_cast<size_t>(Random(0, static_cast<int>(sliders.size()) - 1))];
            s->SetPos(Random(s->MinPos(), s->MaxPos()));
        }
        const auto before = port.Esc([](sim::EscSimulator& e) { return e.ParamBlock(); });
        const size_t writtenBefore =
            port.Esc([](sim::EscSimulator& e) { return e.WrittenBlocks().size(); });
        const Fault fault = Arm();
        if (Random(0, 3) != 0) {
            Settle();
        }
        const int from = log.size();
        ClickAt(kWriteButton);
        if (log.size() > from && log.last() == "Parameters are identical, skip updating.") {
            return;
        }
        sim::EscSimulator::Block sent{};
        std::copy_n(window->Connection().Link().m_EscRecord.pData.get(), sent.size(), sent.begin());
        chosen.push_back(sent);
        Strike(fault);
        const bool edited = Random(0, 3) == 0 && EditDuringWrite();
        ASSERT_TRUE(PumpUntil([&] {
            return NewLineAmong(from, {"Update Parameters Completed.", "Update Parameters ERROR!!",
                                       "ESC Disconnected.", "Waiting USB Dongle..."});
        })) << "fault "
            << static_cast<int>(fault) << " lines " << log.mid(from).join(" | ").toStdString()
            << " state " << window->Connection().Link().GetLinkState() << " sub "
            << PlaceOf(window->Connection().Link().GetStep()) << " busy "
            << window->Connection().TransferBusy();
        const auto after = port.Esc([](sim::EscSimulator& e) { return e.ParamBlock(); });
        for (const QString& line : log.mid(from)) {
            EXPECT_FALSE(line.startsWith("Previous settings restored"))
                << "a restore that failed is called done by a later WRITE";
        }
        if (NewLineAmong(from, {"Update Parameters Completed."})) {
            ++writesCompleted;
            EXPECT_EQ(after, sent);
            const auto written = port.Esc([](sim::EscSimulator& e) { return e.WrittenBlocks(); });
            ASSERT_GT(written.size(), writtenBefore);
            EXPECT_EQ(written.back(), sent);
            // The edit made while the block went out is still waiting for the next WRITE.
            if (edited && window->Connection().ParamsLoaded()) {
                EXPECT_FALSE(window->Connection().Params().ParamsUnchanged())
                    << "an edit made during a write was lost";
            }
        } else {
            ++writesFailed;
            // A cell that did not take its value is found by the read-back and said.
            const bool misstored = fault == Fault::CorruptStore && after != before &&
                                   after != sent && !written(writtenBefore).empty();
            if (misstored) {
                EXPECT_TRUE(NewLineAmong(from, {"ESC holds other values than were sent."}) ||
                            NewLineAmong(from, {"ESC Disconnected.", "Waiting USB Dongle..."}))
                    << log.mid(from).join(" | ").toStdString();
                chosen.push_back(after); // the ESC's own doing, now shown to the user
            } else {
                EXPECT_TRUE(after == before || after == sent) << "the ESC holds a mixed block";
            }
        }
    }

    // After a completed flash the settings from before are offered back once the ESC is read:
    // declined, nothing is written; taken, the line that says they are back is true of the
    // ESC byte for byte.
    void CheckRestore(int from, int offersBefore) {
        const std::initializer_list<const char*> lost = {
            "ESC Disconnected.", "Waiting USB Dongle...", "Fail to Get Parameters!"};
        if (!PumpUntil([&] { return restoreBoxes > offersBefore || NewLineAmong(from, lost); }) ||
            restoreBoxes == offersBefore) {
            return; // offered after the next read, in a later cycle
        }
        const int offered = logWhenOffered;
        PumpUntil(
            [&] { return !window->Connection().TransferBusy() || NewLineAmong(offered, lost); });
        const auto esc = port.Esc([](sim::EscSimulator& e) { return e.ParamBlock(); });
        const size_t writes =
            port.Esc([](sim::EscSimulator& e) { return e.WrittenBlocks().size(); });
        if (!restoreTaken) {
            EXPECT_EQ(writes, writesWhenOffered) << "a declined restore was written";
            EXPECT_EQ(esc, MakeRealisticParamBlock());
            return;
        }
        QStringList refused;
        const auto expected = Restored(flashedFrom, &refused);
        const QString line =
            refused.isEmpty()
                ? QString("Previous settings restored.")
                : QString("Previous settings restored except: %1.").arg(refused.join(", "));
        const bool said = log.mid(offered).contains(line);
        EXPECT_TRUE(said || NewLineAmong(offered, {"Update Parameters ERROR!!"}) ||
                    NewLineAmong(offered, lost))
            << "expected " << line.toStdString() << ": "
            << log.mid(offered).join(" | ").toStdString();
        if (said) {
            EXPECT_EQ(esc, expected) << "the ESC does not hold the settings said to be restored";
        }
        if (NewLineAmong(offered, {"ESC holds other values than were sent."})) {
            chosen.push_back(esc); // the ESC's own doing, shown to the user
        }
    }

    // Moves a slider of the open page while a write runs, and leaves the page so that the
    // move is stored; true when a value changed.
    bool EditDuringWrite() {
        ++faultsInjected;
        Pump(Random(0, 200));
        for (CSkinSlider* s : window->findChildren<CSkinSlider*>()) {
            if (s->isEnabled() && s->isVisible() && s->MaxPos() > s->MinPos()) {
                s->SetPos(s->GetPos() == s->MinPos() ? s->MaxPos() : s->MinPos());
                ClickAt(kHomeButton);
                return true;
            }
        }
        return false;
    }

    void FirmwareCycle() {
        const uint16_t length = static_cast<uint16_t>(Random(3, 150));
        const int blocks = Random(1, 6);
        std::string file{
            static_cast<char>(length & 0xFF), static_cast<char>(length >> 8), 9, 0, 8, 50, 'A', 13,
            static_cast<char>(blocks)};
        for (int i = 0; i < length * blocks; ++i) {
            file.push_back(static_cast<char>(Random(0, 255)));
        }
        const QString path = dir.filePath("soak.cuf");
        std::ofstream(path.toStdString(), std::ios::binary | std::ios::trunc) << file;
        window->SetFileChooser([path](QWidget*, const auto&) { return path; });
        refusal.clear();
        // Now and then the ESC is unplugged and plugged in again (a new connection) while the
        // confirmation box is open: the file was checked for the connection that went.
        const bool swapped = Random(0, 5) == 0;
        if (swapped) {
            ++faultsInjected;
            whileConfirming = [this] {
                const int at = log.size();
                port.Esc([](sim::EscSimulator& e) { e.SetConnected(false); });
                PumpUntil([&] { return NewLineAmong(at, {"ESC Disconnected."}); });
                port.Esc([](sim::EscSimulator& e) { e.SetConnected(true); });
                PumpUntil([&] {
                    return window->Connection().ParamsLoaded() ||
                           NewLineAmong(at, {"Fail to Get Parameters!"});
                });
            };
        }
        // Once flashed, the ESC runs on its defaults.
        port.Esc([=](sim::EscSimulator& e) { e.ExpectFirmware(length, blocks, 'A', 13); });
        const size_t storedBefore =
            port.Esc([](sim::EscSimulator& e) { return e.FirmwareBlocks().size(); });
        if (NewLineAmong(logAtLastFlash, {"ESC Disconnected.", "Waiting USB Dongle..."})) {
            kept.reset();
        }
        const bool loaded = window->Connection().ParamsLoaded();
        const std::vector<uint8_t> shown = window->Connection().Block();
        const int offersBefore = restoreBoxes;
        ClickAt(kHomeButton);
        const Fault fault = Arm();
        Settle();
        const int from = log.size();
        logAtLastFlash = from;
        ClickAt(kFirmwareLabel);
        ASSERT_TRUE(refusal.isEmpty()) << refusal.toStdString();
        if (swapped) {
            EXPECT_EQ(log.last(), "Firmware Update Cancelled.");
            EXPECT_FALSE(NewLineAmong(from, {"Updating Firmware..."}));
            Pump(200);
            EXPECT_EQ(port.Esc([](sim::EscSimulator& e) { return e.FirmwareBlocks().size(); }),
                      storedBefore)
                << "blocks went to an ESC the file was not checked for";
            return;
        }
        ASSERT_TRUE(NewLineAmong(from, {"Updating Firmware..."}))
            << "busy " << window->Connection().TransferBusy() << " live "
            << window->Connection().IsHotAreaLive(HotFirmwareUpdate) << " lines "
            << log.mid(from).join(" | ").toStdString();
        if (loaded && !(kept && keptOutlivedFailure)) {
            kept = shown;
            keptOutlivedFailure = false;
        }
        Strike(fault);
        ASSERT_TRUE(PumpUntil([&] {
            return NewLineAmong(from, {"Updating Firmware Completed.", "Fail to Update Firmware!",
                                       "ESC Disconnected.", "Waiting USB Dongle..."});
        })) << log.mid(from).join(" | ").toStdString()
            << " fault " << static_cast<int>(fault) << " L " << length << " N " << blocks
            << " state " << window->Connection().Link().GetLinkState() << " sub "
            << PlaceOf(window->Connection().Link().GetStep()) << " left "
            << window->Connection().Link().GetBlocksLeft() << " stored "
            << port.Esc([](sim::EscSimulator& e) { return e.FirmwareBlocks().size(); }) -
                   storedBefore;
        if (NewLineAmong(from, {"Fail to Update Firmware!"}) && kept) {
            keptOutlivedFailure = true;
        }
        // Now and then the ESC refuses the write that restores the settings, or stores a byte of
        // it wrong.
        if (NewLineAmong(from, {"Updating Firmware Completed."}) && Random(0, 3) == 0) {
            ++faultsInjected;
            if (Random(0, 1) == 0) {
                // Past the link's retries: the write fails.
                port.Esc([](sim::EscSimulator& e) { e.RefuseNextBlocks(1 + kBlockRetries); });
            } else {
                port.Esc(
                    [at = 9 + Random(0, 15)](sim::EscSimulator& e) { e.CorruptNextStore(at); });
            }
        }
        // Right after the flash, before the ESC is read again, the user opens a page, moves a
        // slider and presses WRITE: nothing may reach the freshly flashed ESC.
        if (NewLineAmong(from, {"Updating Firmware Completed."}) && Random(0, 1) == 0) {
            ++faultsInjected;
            const size_t writes =
                port.Esc([](sim::EscSimulator& e) { return e.WrittenBlocks().size(); });
            ClickAt(kBrakesTile);
            for (CSkinSlider* s : window->findChildren<CSkinSlider*>()) {
                if (s->isEnabled() && s->isVisible() && s->MaxPos() > s->MinPos()) {
                    s->SetPos(s->GetPos() == s->MinPos() ? s->MaxPos() : s->MinPos());
                    break;
                }
            }
            ClickAt(kWriteButton);
            PumpUntil([&] {
                return window->Connection().ParamsLoaded() && !window->Connection().TransferBusy();
            });
            EXPECT_EQ(restoreBoxes > offersBefore
                          ? writesWhenOffered
                          : port.Esc([](sim::EscSimulator& e) { return e.WrittenBlocks().size(); }),
                      writes)
                << "a write reached the ESC between the flash and its re-read";
        }
        const auto stored = port.Esc([](sim::EscSimulator& e) { return e.FirmwareBlocks(); });
        for (size_t i = storedBefore; i < stored.size(); ++i) {
            const size_t at = 9 + (i - storedBefore) * length;
            ASSERT_LT(at + length, file.size() + 1) << "a block from outside the payload";
            const std::vector<uint8_t> expected(file.begin() + static_cast<long>(at),
                                                file.begin() + static_cast<long>(at + length));
            EXPECT_EQ(stored[i], expected)
                << "firmware block " << i - storedBefore << " differs from the file; fault "
                << static_cast<int>(fault);
        }
        if (NewLineAmong(from, {"Updating Firmware Completed."})) {
            ++firmwareCompleted;
            EXPECT_EQ(stored.size() - storedBefore, static_cast<size_t>(blocks));
            CheckRestore(from, offersBefore);
        } else {
            ++firmwareFailed;
        }
    }
};

TEST_F(Soak, NothingIsLostWhateverTheEscDoes) {
    const int cycles = EnvInt("CORVANE_SOAK_CYCLES", 300);
    Connect();
    HookBoxes();
    chosen.push_back(port.Esc([](sim::EscSimulator& e) { return e.ParamBlock(); }));
    chosen.push_back(MakeRealisticParamBlock()); // where a flash leaves the ESC
    for (int cycle = 0; cycle < cycles && !HasFatalFailure(); ++cycle) {
        EnsureConnected();
        if (HasFatalFailure()) {
            break;
        }
        const int from = log.size();
        if (Random(0, 4) == 0) {
            FirmwareCycle();
        } else {
            ClickAt(Random(0, 1) ? kBrakesTile : kThrottleTile);
            WriteCycle();
        }
        ClickAt(kHomeButton);
        CheckCycle(from);
    }
    std::printf("soak: %d cycles, %d faults; writes %d completed, %d failed; firmware %d "
                "completed, %d failed; settings offered back %d times, taken %d\n",
                cycles, faultsInjected, writesCompleted, writesFailed, firmwareCompleted,
                firmwareFailed, restoreBoxes, restoresTaken);
}
