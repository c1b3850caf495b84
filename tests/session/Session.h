// An adversarial session: the real link engine and connection controller, a recording view and
// a manual clock, over the simulated dongle and a strict simulated ESC, driven by a script of
// events. Between the link and the ESC an adversary injects stray bytes, splits and merges
// reports, delays answers, restarts or swaps the ESC, stalls or pulls the dongle, refuses
// blocks and spoils read checks; the user edits, writes, updates firmware, answers the boxes
// and asks to close, at random times. After every event the oracles check what the tool said
// against what the ESC holds. The same script always plays the same session.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "ManualClock.h"
#include "RecordingView.h"
#include "SimPort.h"

namespace corvane::test {

class Session {
public:
    // The figures of a session, summed over a sweep.
    struct Stats {
        long events = 0;
        long faults = 0;
        long writesDone = 0;
        long writesFailed = 0;
        long flashesDone = 0;
        long flashesFailed = 0;
        long restarts = 0;
        Stats& operator+=(const Stats& o) {
            events += o.events, faults += o.faults, restarts += o.restarts;
            writesDone += o.writesDone, writesFailed += o.writesFailed;
            flashesDone += o.flashesDone, flashesFailed += o.flashesFailed;
            return *this;
        }
    };

    explicit Session(std::vector<uint8_t> script);
    ~Session();

    // Plays the whole script, then a calm end; false with Failure() at the first broken oracle.
    bool Run();
    const std::string& Failure() const { return m_failure; }
    const Stats& Figures() const { return m_stats; }

private:
    uint8_t Next();
    bool Step(bool nested);
    void Pump(int passes);
    void Adversary(int kind, uint8_t arg);
    void User(int kind, uint8_t arg);
    void Edit(uint8_t arg);
    void Flash(bool confirm);
    QMessageBox::StandardButton Answer(const QString& text);
    // The oracles, after every event.
    void Check();
    void CheckStored();
    void CheckLines();
    void CheckEdits();
    void CheckProgress();
    void CheckIdentity();
    void Fail(const std::string& what);
    void Disturbed() { m_calmSince = m_clock.Now(); }

    std::vector<uint8_t> m_script;
    size_t m_at = 0;
    ManualClock m_clock;
    sim::SimPort m_port{&m_clock};
    RecordingView m_view;
    QStringList m_log;
    std::unique_ptr<ConnectionController> m_controller;
    std::string m_failure;
    Stats m_stats;

    // The upgrade file the user picks, and its blocks.
    std::string m_file;
    std::vector<std::vector<uint8_t>> m_fileBlocks;
    std::string m_filePath;
    bool m_confirm = true;
    bool m_restoreYes = true;
    int m_nesting = 0;

    // What the oracles know.
    std::set<std::vector<uint8_t>> m_sent;       // every block handed to the link
    std::array<std::set<uint8_t>, 16> m_allowed; // values the ESC may hold for each
    std::array<int, 16> m_pending{};             // edits waiting: value + 1, 0 for none
    size_t m_storedSeen = 0;                     // parameter blocks the ESC stored
    size_t m_firmwareSeen = 0;                   // firmware blocks the ESC stored
    size_t m_firmwareFrom = 0;                   // where the last confirmed update began
    bool m_flashConfirmed = false;               // firmware may be stored
    int m_logSeen = 0;
    uint32_t m_calmSince = 0;   // no fault since
    bool m_identityDue = false; // a restart or swap awaits oracle (g)
    // Oracle (h): until the first fault, every transfer must end well, and an update that
    // began with settings to keep must offer them back after its fresh read.
    bool m_faulted = false;
    bool m_writeRunning = false, m_flashRunning = false; // begun on the wire, not yet ended
    bool m_keptAtFlash = false; // the update running began with the ESC's settings read
    bool m_offerDue = false;    // a fault-free update ended: its fresh read offers them
    int m_offerWait = 0;        // passes left for the offer, once the fresh read is done
    bool m_offered = false;
    uint32_t m_stillSince = 0; // the link's signature unchanged since
    std::vector<uint32_t> m_signature;
};

} // namespace corvane::test
