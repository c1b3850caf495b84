// The firmware update: the file, its checks, the confirmation, the transfer's progress and
// end, and the settings kept from before it, offered back once the updated ESC is read.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include <QObject>
#include <QString>
#include <QStringList>

#include "ConnectionState.h"
#include "EscIdentity.h"
#include "KVALinkCore.h"
#include "ParameterSet.h"

namespace corvane {

class ConnectionView;

// How the last update ended, for callers without a window.
enum class FirmwareOutcome : uint8_t {
    None,
    Refused,   // the file could not be read, or does not suit the ESC (said in a box)
    Cancelled, // not confirmed, or the ESC changed before it began
    Running,
    Done,   // "Updating Firmware Completed."
    Failed, // "Fail to Update Firmware!"
    Lost,   // "ESC Disconnected."
};

// What became of the settings kept over the last update once the updated ESC was read.
struct RestoreOutcome {
    bool offered = false;
    bool taken = false;
    bool writing = false; // taken, and a write was needed: its outcome is the write's
    QString line; // "Previous settings restored." (with "except: ..." when some found no place)
    QStringList notPlaced;
};

class FirmwareUpdate {
public:
    // What of the connection the update sees and may do: the controller's own.
    struct Connection {
        QObject& context; // where the offer to restore is queued
        ConnectionView& view;
        KVALinkCore& link;
        ParameterSet& params;
        const std::vector<uint8_t>& block;
        const EscIdentity& identity;
        ConnectionState& state;
        std::function<void(const QString&)> say;
        // The ESC runs firmware nobody knows: not connected until it is identified and read.
        std::function<void()> dropConnection;
        // The state the transfer started from, or not connected.
        std::function<void()> endTransfer;
        // Writes the restored settings as WRITE does; `line` follows a confirmed write.
        std::function<void(const QString& line)> writeRestored;
    };
    explicit FirmwareUpdate(Connection connection) : m_c(std::move(connection)) {}

    // Asks for the file, checks it, asks for confirmation and starts the transfer.
    void Start();
    // A close during the transfer is put to the user; false keeps the window.
    bool ConfirmClose();
    bool Busy() { return RulesOf(m_c.state).firmwareBusy || m_c.link.FirmwareTransferBusy(); }
    FirmwareOutcome Last() const { return m_last; }
    int Blocks() const { return m_blocks; } // of the last update begun
    const RestoreOutcome& Restore() const { return m_restore; }
    // Settings are kept to offer back after the next update that completes.
    bool KeepsSettings() const { return m_kept.has_value(); }

    // The link's notices of the transfer.
    void OnBlockStart();
    void OnProgress(uint32_t blocksLeft);
    void OnDone();
    void OnFailed();
    // The updated ESC was read (`readable`: in a version the pages know): the kept settings
    // are offered to it, or wait for the next update that completes.
    void AfterRead(bool readable);
    // The ESC went: whichever answers next may be another one.
    void OnLinkLost();

private:
    void End(const char* line);
    void DismissCloseQuestion();
    void OfferRestore(EscToken esc);
    TransferRecord EscAsRecord() const;

    Connection m_c;
    FirmwareOutcome m_last = FirmwareOutcome::None;
    RestoreOutcome m_restore;
    // A block of the transfer has gone out: a failure leaves unknown firmware.
    bool m_sent = false;
    int m_blocks = 0; // of the update under way
    // The settings when the ESC's last update started, until they are offered back after the
    // read that follows the update; gone with the ESC.
    struct KeptSettings {
        std::vector<uint8_t> block;
        uint8_t byModel = 0;
        uint8_t byFamily = 0;
        // An update failed since they were kept: the ESC may run the new firmware's defaults
        // by now, so the next update keeps these rather than what the pages show then.
        bool outlivedFailure = false;
    };
    std::optional<KeptSettings> m_kept;
    // The update was written: the next read of the ESC offers the kept settings back.
    bool m_restoreDue = false;
    // The close question: open, or open about a transfer that has ended meanwhile.
    enum class CloseQuestion : uint8_t { None, Open, Stale };
    CloseQuestion m_closeQuestion = CloseQuestion::None;
};

} // namespace corvane
