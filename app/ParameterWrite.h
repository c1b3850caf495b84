// A parameter write: the block the pages hold goes to the ESC, is read back, and counts as
// done only when the ESC holds exactly what was sent.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include <QString>

#include "Clock.h"
#include "ConnectionState.h"
#include "EscIdentity.h"
#include "KVALinkCore.h"
#include "ParameterSet.h"

namespace corvane {

class ConnectionView;

// How the last parameter write ended, for callers without a window: each outcome's text is
// the status line that said it.
enum class WriteOutcome : uint8_t {
    None,
    Running,
    Done,      // "Update Parameters Completed."
    Failed,    // "Update Parameters ERROR!!"
    HeldOther, // "ESC holds other values than were sent."
    Lost,      // "ESC Disconnected."
};
const char* OutcomeText(WriteOutcome outcome);

class ParameterWrite {
public:
    // What of the connection the write sees and may do: the controller's own.
    struct Connection {
        ConnectionView& view;
        KVALinkCore& link;
        ParameterSet& params;
        std::vector<uint8_t>& block;
        const EscIdentity& identity;
        ConnectionState& state;
        std::function<void(const QString&)> say;
        // The state the write started from.
        std::function<void()> endTransfer;
        // Hands the read-back to the link (false: refused), or forgets it.
        std::function<bool()> startRead;
        std::function<void()> forgetRead;
    };
    explicit ParameterWrite(Connection connection) : m_c(std::move(connection)) {}

    // Sends the block as the pages left it, unless nothing changed since the ESC last had it;
    // `line` (if any) is said once the write is confirmed.
    void Start(const QString& line = {});
    // The link's notices: the ESC accepted the block, refused it, and the read-back's end.
    void OnAccepted();
    void OnFailed();
    void OnReadBack(const std::vector<uint8_t>& held, uint16_t blockLength, uint8_t blockCount);
    void OnReadBackFailed();
    void OnLinkLost();
    // Waits (at most a write's time) for a write the link still sends; `drive`: no worker
    // runs, so the link is driven here.
    void WaitToEnd(Clock& clock, bool drive);

    WriteOutcome Last() const { return m_last; }
    // The copy handed to the last write: the snapshot once the ESC holds it.
    const std::vector<uint8_t>& Sent() const { return m_sent; }

private:
    ParameterWrite::Connection m_c;
    std::vector<uint8_t> m_sent;
    WriteOutcome m_last = WriteOutcome::None;
    // Said after the confirmation (the restore after a firmware update names what it did).
    QString m_line;
};

} // namespace corvane
