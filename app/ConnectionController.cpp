// Start-up, dongle notices and the link's notifications, as status lines and page life.
#include "ConnectionController.h"

#include <algorithm>
#include <cstdio>
#include <utility>

#include "CommandLine.h"
#include "PageHost.h"
#include "ParamBlockLayout.h"
#include "SkinLayout.h"
#include "StatusText.h"

namespace corvane {

namespace {
constexpr uint8_t kSupportedFamily = 50;

const char* ConnectedFormat(uint8_t model) {
    switch (model) {
    case 8:
        return text::kConnectedQ8;
    case 16:
        return text::kConnectedQ10;
    default:
        return nullptr;
    }
}
} // namespace

const char* OutcomeText(ReadOutcome outcome) {
    switch (outcome) {
    case ReadOutcome::Unsupported:
        return text::kNotSupported;
    case ReadOutcome::VersionUnknown:
        return text::kParamVersionUnsupported;
    case ReadOutcome::Read:
        return text::kGettingParamsDone;
    default:
        return "";
    }
}

ConnectionController::ConnectionController(PortBase& port, ConnectionView& view, Options options)
    : m_port(port), m_view(view), m_options(options), m_link(&port),
      m_dongles(
          port, [this](const QString& line) { Say(line); }, [this] { ClearLines(); }) {
    if (m_options.clock != nullptr) {
        m_link.SetClock(m_options.clock);
    }
}

ConnectionController::~ConnectionController() {
    Stop();
}

void ConnectionController::Start() {
    m_link.SetNotifySink(&m_notices);
    ClearLines();
    m_view.CreatePages(false);
    m_link.Reset();
    if (m_options.startWorker) {
        m_link.Run(true);
    } else {
        m_link.BeginWorker();
    }
    m_link.WantIdentity(true);
    if (m_options.startWorker) {
        // The worker opens the dongle as it starts; give it a moment before saying which
        // of the two we are waiting for.
        SystemClock::Instance().Sleep(100);
    }
    m_view.ShowProgress(false);
    m_dongles.AfterStart(m_options.startWorker);
}

void ConnectionController::Stop() {
    // The worker posts to this object and reads the link's records: it goes first.
    m_link.Run(false);
    m_link.SetNotifySink(nullptr);
    m_notices.Clear();
}

bool ConnectionController::event(QEvent* event) {
    if (event->type() == LinkNoticeQueue::WakeKind()) {
        TakeLinkNotices();
        return true;
    }
    return QObject::event(event);
}

void ConnectionController::TakeLinkNotices() {
    // One at a time: a notice may open a box, whose event loop takes the ones after it.
    while (const std::optional<LinkNotice> notice = m_notices.Take()) {
        if (notice->code == LN_DONGLE_SEARCHED) {
            m_dongles.OnSearched(notice->value, notice->exchange);
            continue;
        }
        // The end of a read counts only from the read this controller is waiting for.
        const bool readEnd = notice->code == LN_READ_DONE || notice->code == LN_READ_FAILED;
        if (readEnd && m_pendingRead && notice->exchange != *m_pendingRead) {
            continue;
        }
        OnLinkNotify(*notice);
    }
}

bool ConnectionController::StartRead() {
    uint32_t exchange = 0;
    m_pendingRead.reset();
    if (m_link.ReadParameters(&exchange)) {
        m_pendingRead = exchange;
    }
    return m_pendingRead.has_value();
}

void ConnectionController::Say(const QString& line) {
    ++m_linesSaid;
    m_view.AddStatus(line);
}

void ConnectionController::ClearLines() {
    ++m_linesSaid;
    m_view.ClearStatus();
}

bool ConnectionController::IsHotAreaLive(int area) const {
    return AreaLive(m_state, area);
}

void ConnectionController::OnLinkNotify(const LinkNotice& link) {
    const LiveAreasNotice notice{m_view};
    const uint32_t value = link.value;
    switch (link.code) {
    case LN_IDENTIFIED:
        OnIdentified(link.identity);
        break;
    case LN_READ_DONE:
        OnReadDone(link);
        break;
    case LN_READ_FAILED:
        if (m_state == ConnectionState::VerifyingWrite) {
            // A read-back is judged by its own end only: a byte out of place before the
            // reply says nothing of it, and it is not told to the user.
            if ((value & kReadGoesOn) == 0) {
                m_write.OnReadBackFailed();
            }
            break;
        }
        Say(text::kGetParamsFailed);
        if ((value & kReadGoesOn) == 0) {
            OnReadFailed();
        }
        break;
    case LN_BLOCK_START:
        OnBlockStart(value);
        break;
    case LN_WRITE_DONE:
        OnWriteDone(value);
        break;
    case LN_WRITE_FAILED:
        OnWriteFailed(value);
        break;
    case LN_BLOCK_PROGRESS:
        m_firmware.OnProgress(value);
        break;
    case LN_LINK_LOST:
        OnLinkLost();
        break;
    case LN_ESC_RESTARTED:
        OnEscRestarted();
        break;
    default:
        break;
    }
}

void ConnectionController::OnIdentified(const EscIdentity& identity) {
    if (m_state == ConnectionState::VerifyingWrite) {
        m_write.OnReadBackFailed(); // never confirmed on the ESC it was sent to
    }
    m_escIdentity = identity;
    // A new identity is a new connection, whatever ESC it names: until its read has finished
    // nothing the user does may reach it, so the tool counts as not connected. The pages go
    // too: they show the old block, and new firmware may describe other ranges.
    if (m_state != ConnectionState::NotConnected || m_view.PagesExist()) {
        DropConnection();
    }
    const EscIdentity& esc = m_escIdentity;
    if (esc.byFamily != kSupportedFamily) {
        m_link.RejectEsc();
        return;
    }
    const char* format = ConnectedFormat(esc.byModel);
    if (format == nullptr) {
        // Said again for every identity the link reports, a few a second: once is enough
        // while nothing else has been said since.
        if (m_unsupportedSaidAt != m_linesSaid) {
            Say(text::kNotSupported);
            m_unsupportedSaidAt = m_linesSaid;
        }
        m_lastRead = ReadOutcome::Unsupported;
        return;
    }
    m_lastRead = ReadOutcome::Reading;
    char line[128];
    std::snprintf(line, sizeof line, format, esc.byVersionLetter, esc.byVersion / 10.0);
    Say(QString::fromLatin1(line));
    Say(text::kGettingParams);
    // A read the link could not take (busy past its wait) never ran: whatever block the
    // controller holds is not this ESC's. The identity is asked for again, and with it the read.
    if (!StartRead()) {
        Say(text::kGetParamsFailed);
    }
}

void ConnectionController::OnReadFailed() {
    // Asked again at the next identities, a few times: an ESC that was just flashed may fail
    // its first read, and a re-plug would throw the settings kept for it away.
    m_pendingRead.reset();
    m_link.WantIdentity(++m_failedReads <= kReadRetries);
}

void ConnectionController::OnReadDone(const LinkNotice& read) {
    // Only the end of a read that really ran counts (a refused hand-over posts this too).
    if (!m_pendingRead) {
        return;
    }
    m_pendingRead.reset();
    if (m_state == ConnectionState::VerifyingWrite) {
        m_write.OnReadBack(read.block, read.blockLength, read.blockCount);
        return;
    }
    m_view.CreatePages(false);
    if (read.block.empty()) {
        m_block.clear();
        m_params.SetBlock(nullptr, 0, 0);
        Say(text::kGetParamsFailed);
        return;
    }
    // The worker is done with its block until the next read, which only this controller starts.
    m_block = read.block;
    const bool whole = m_block.size() >= size_t{read.blockLength} * read.blockCount;
    m_params.SetBlock(whole ? m_block.data() : nullptr, read.blockLength, read.blockCount);
    Say(text::kGettingParamsDone);
    if (m_block.size() > block::kVersionOffset &&
        m_block[block::kVersionOffset] == block::kSupportedVersion) {
        m_params.SnapshotParams();
        TakeBackUnsentChanges();
        m_view.CreatePages(true);
        m_link.WantIdentity(false);
        m_failedReads = 0;
        m_state = ConnectionState::Connected;
        m_lastRead = ReadOutcome::Read;
        m_firmware.AfterRead(true);
    } else {
        TakeBackUnsentChanges(); // another block: said to be dropped
        Say(text::kParamVersionUnsupported);
        Say(text::kPleaseUpdateFirmware);
        m_link.WantIdentity(false);
        m_state = ConnectionState::FirmwareOnly;
        m_lastRead = ReadOutcome::VersionUnknown;
        m_firmware.AfterRead(false);
    }
}

void ConnectionController::DropConnection() {
    if (RulesOf(m_state).paramsRead && !m_params.ParamsUnchanged()) {
        m_unsent = UnsentChanges{m_params.Snapshot(), m_block};
    }
    m_state = ConnectionState::NotConnected;
    m_view.CreatePages(false);
}

void ConnectionController::TakeBackUnsentChanges() {
    if (!m_unsent) {
        return;
    }
    const UnsentChanges unsent = std::move(*m_unsent);
    m_unsent.reset();
    if (unsent.edited == m_block) {
        return; // a write the ESC took before the connection ended: nothing was lost
    }
    if (unsent.base != m_block || unsent.edited.size() != m_block.size()) {
        Say(text::kUnsentDropped);
        return;
    }
    // The ESC holds what the changes were made against: they wait for WRITE again.
    m_block = unsent.edited;
}

void ConnectionController::OnLinkLost() {
    m_write.OnLinkLost();
    DropConnection();
    m_pendingRead.reset();
    m_failedReads = 0;
    m_firmware.OnLinkLost();
    m_link.WantIdentity(true);
    Say(text::kEscDisconnected);
    // The newest line names what is awaited: the dongle, when it went with the ESC.
    Say(m_port.GetState() == PORT_CLOSED ? text::kWaitingDongleAfterRemoval : text::kWaitingEsc);
}

void ConnectionController::OnEscRestarted() {
    // Not connected until the ESC is identified and read afresh; a flashed ESC that rebooted
    // keeps the settings to offer back, since the same ESC is still on the lead.
    if (m_state == ConnectionState::VerifyingWrite) {
        m_write.OnReadBackFailed();
    }
    m_pendingRead.reset();
    m_failedReads = 0;
    DropConnection();
    Say(text::kWaitingEsc);
}

void ConnectionController::OnBlockStart(uint32_t command) {
    if (command == esc::kWriteFirmware) {
        m_firmware.OnBlockStart();
    } else if (command == esc::kWriteParams) {
        Say(text::kUpdatingParams);
    }
}

void ConnectionController::EndTransfer() {
    switch (m_state) {
    case ConnectionState::WritingParams:
    case ConnectionState::VerifyingWrite:
    case ConnectionState::UpdatingFirmware:
        m_state = ConnectionState::Connected;
        break;
    case ConnectionState::UpdatingFirmwareOnly:
        m_state = ConnectionState::FirmwareOnly;
        break;
    default:
        break;
    }
}

void ConnectionController::OnWriteDone(uint32_t command) {
    if (command == esc::kWriteFirmware) {
        m_firmware.OnDone();
    } else if (command == esc::kWriteParams) {
        m_write.OnAccepted();
    } else {
        EndTransfer();
    }
}

void ConnectionController::OnWriteFailed(uint32_t command) {
    if (command == esc::kWriteFirmware) {
        m_firmware.OnFailed();
    } else if (command == esc::kWriteParams) {
        m_write.OnFailed();
    } else {
        EndTransfer();
    }
}

} // namespace corvane
