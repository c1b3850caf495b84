// What the user asks of the ESC: a parameter write, a firmware update, and the close that must
// not cut either short.
#include "ConnectionController.h"

#include <sstream>

#include <QFile>

#include "PageHost.h"
#include "ParamInfo.h"
#include "StatusText.h"
#include "UpgradeFile.h"
#include "UpgradeFileSource.h"

namespace corvane {

namespace {
// A parameter write is one block: a few hundred milliseconds, or up to its byte timeout.
constexpr uint32_t kCloseWaitMs = 2000;
constexpr uint32_t kCloseWaitStepMs = 10;
} // namespace

void ConnectionController::UpdateParameters() {
    const LiveAreasNotice notice{m_view};
    // Only a connected ESC whose block the pages show takes one: not one being written,
    // updated, or half-flashed and not yet read afresh.
    if (!RulesOf(m_state).writeLive) {
        return;
    }
    if (m_params.ParamsUnchanged()) {
        Say(text::kParamsIdentical);
        m_view.RestorePressedHighlight();
        return;
    }
    // The link gets a copy: the pages may go on changing the controller's block meanwhile. Only
    // the ESC whose block this is may take it; every refusal comes back as a failed write.
    std::vector<uint8_t> copy = m_block;
    if (m_link.WriteParameters(copy.data(), static_cast<uint32_t>(copy.size()), TakeEsc().epoch)) {
        m_sentBlock = std::move(copy);
        m_state = ConnectionState::WritingParams; // from the hand-over, not the first block
        m_lastWrite = WriteOutcome::Running;
    }
}

QMessageBox::StandardButton ConnectionController::Ask(QMessageBox::Icon icon, const QString& text,
                                                      QMessageBox::StandardButtons buttons,
                                                      QMessageBox::StandardButton defaultButton,
                                                      const char* caption) {
    return m_view.Ask(icon, QString::fromUtf8(caption), text, buttons, defaultButton);
}

TransferRecord ConnectionController::EscAsRecord() const {
    TransferRecord esc;
    esc.byModel = m_escIdentity.byModel;
    esc.byFamily = m_escIdentity.byFamily;
    esc.byVersionLetter = m_escIdentity.byVersionLetter;
    esc.byVersion = m_escIdentity.byVersion;
    return esc;
}

void ConnectionController::UpdateFirmware() {
    const LiveAreasNotice notice{m_view};
    // A second update while blocks are still going out would replace the payload the worker
    // is framing from: refuse it and leave the running transfer alone.
    if (TransferBusy() || m_link.FirmwareTransferBusy()) {
        Say(text::kFirmwareBusy);
        return;
    }
    const QString path = m_view.ChooseUpgradeFile();
    if (path.isEmpty()) {
        return;
    }
    // Never a blocking open or an unbounded read: a FIFO, a device or a huge file picked here
    // would freeze the window. Such a pick is refused as an invalid file.
    std::string bytes;
    const UpgradeFileOpen opened =
        ReadUpgradeFileBytes(QFile::encodeName(path).toStdString(), bytes);
    if (opened == UpgradeFileOpen::CannotOpen) {
        return;
    }
    // The dialog ran a event loop: the ESC may have gone, or a transfer started, meanwhile.
    if (!RulesOf(m_state).firmwareLive || m_link.FirmwareTransferBusy()) {
        return;
    }
    // The controller's own copy: the link takes one of it only when the transfer starts.
    TransferRecord file;
    std::istringstream stream(bytes);
    const bool loaded =
        opened == UpgradeFileOpen::Opened && ParseUpgradeFile(stream, bytes.size(), file) != 0;
    const FirmwareVerdict verdict = CheckFirmwareForEsc(loaded, file, EscAsRecord());
    if (verdict != FirmwareVerdict::Accepted) {
        Ask(QMessageBox::Warning,
            verdict == FirmwareVerdict::WrongModel ? text::kWrongModel : text::kInvalidFirmware,
            QMessageBox::Ok);
        return;
    }
    // The checks hold for this ESC connection only. The box runs an event loop: the ESC may
    // be swapped for another meanwhile, which is identified and read while the box is open.
    // Every identity is a new connection (epoch); a lost one leaves the tool not connected.
    const EscToken checked = TakeEsc();
    if (Ask(QMessageBox::Information, text::kFirmwareConfirm,
            QMessageBox::Ok | QMessageBox::Cancel) != QMessageBox::Ok) {
        Say(text::kFirmwareCancelled);
        return;
    }
    const ConnectionState from = m_state;
    const bool sameEsc =
        SameEsc(checked) &&
        (from == ConnectionState::Connected || from == ConnectionState::FirmwareOnly) &&
        !m_link.FirmwareTransferBusy() &&
        CheckFirmwareForEsc(true, file, EscAsRecord()) == FirmwareVerdict::Accepted;
    if (!sameEsc) {
        Say(text::kFirmwareCancelled);
        return;
    }
    // The progress bar stays in sight, and no edit is made that the read after the update
    // would throw away.
    m_view.SelectPage(PageHost::kNoPage);
    // The link refuses an ESC connection other than the checked one even if the controller has
    // not heard of the change yet (told as a failed update: nothing was sent).
    if (!m_link.StartFirmwareUpdate(file, checked.epoch)) {
        return;
    }
    m_firmwareBlocks = file.byBlockCount;
    Say(text::kUpdatingFirmware);
    // The write button is dead from now on, not only from the first block.
    m_state = from == ConnectionState::Connected ? ConnectionState::UpdatingFirmware
                                                 : ConnectionState::UpdatingFirmwareOnly;
    // The new firmware starts from its defaults: the settings as the pages show them now are
    // offered back after the update, changes still waiting for WRITE among them (the ESC may
    // hold them already: a write whose read-back failed leaves them marked). An ESC with no
    // readable settings, or one whose last update failed, keeps what was kept before.
    if (from == ConnectionState::Connected && m_params.HasBlock() &&
        !(m_kept && m_kept->outlivedFailure)) {
        const auto end = m_block.begin() + static_cast<std::ptrdiff_t>(m_params.BlockSize());
        m_kept =
            KeptSettings{{m_block.begin(), end}, m_escIdentity.byModel, m_escIdentity.byFamily};
    }
    m_restoreDue = false;
    m_view.StartProgress(m_firmwareBlocks - 1);
}

void ConnectionController::OfferRestore(EscToken esc) {
    const LiveAreasNotice notice{m_view};
    const auto stillThisEsc = [&] {
        return SameEsc(esc) && m_state == ConnectionState::Connected && m_params.HasBlock();
    };
    if (!m_kept) {
        return;
    }
    KeptSettings kept = std::move(*m_kept);
    m_kept.reset();
    if (!stillThisEsc()) {
        return;
    }
    // The box runs an event loop: the ESC may go, or be swapped for another, meanwhile.
    if (Ask(QMessageBox::Question, text::kRestoreSettingsAsk, QMessageBox::Yes | QMessageBox::No,
            QMessageBox::Yes) != QMessageBox::Yes ||
        !stillThisEsc()) {
        return;
    }
    QStringList refused;
    ParameterSet previous;
    previous.SetBlock(kept.block.data(), kept.block.size());
    for (const int index : m_params.TakeValuesFrom(previous)) {
        refused << QString::fromUtf8(kParamInfo[static_cast<size_t>(index)].label);
    }
    const QString line = refused.isEmpty() ? QString::fromLatin1(text::kSettingsRestored)
                                           : QString::fromLatin1(text::kSettingsRestoredExcept)
                                                 .arg(refused.join(QStringLiteral(", ")));
    m_view.ReloadPages();
    if (m_params.ParamsUnchanged()) {
        Say(line); // the new firmware's defaults are the old settings
        return;
    }
    // Written as WRITE writes, read back and compared; the line follows only a confirmed write.
    m_restoredLine = line;
    UpdateParameters();
}

bool ConnectionController::ConfirmClose() {
    if (FirmwareBusy() || m_link.FirmwareTransferBusy()) {
        m_closeQuestion = CloseQuestion::Open;
        const bool yes =
            Ask(QMessageBox::Warning, text::kCloseDuringFirmware,
                QMessageBox::Yes | QMessageBox::No, QMessageBox::No) == QMessageBox::Yes;
        // A Yes given to a question about a transfer that has ended since closes nothing.
        const bool stale = m_closeQuestion == CloseQuestion::Stale;
        m_closeQuestion = CloseQuestion::None;
        return yes && !stale;
    }
    WaitForParameterWrite();
    return true;
}

void ConnectionController::WaitForParameterWrite() {
    Clock& clock = m_options.clock != nullptr ? *m_options.clock : SystemClock::Instance();
    const uint32_t start = clock.Now();
    while (m_link.ParameterWriteBusy() && clock.Now() - start <= kCloseWaitMs) {
        if (!m_options.startWorker) {
            m_link.RunPass(); // no worker thread: the controller drives the link itself
        }
        clock.Sleep(kCloseWaitStepMs);
    }
}

} // namespace corvane
