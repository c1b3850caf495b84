#include "FirmwareUpdate.h"

#include <sstream>
#include <utility>

#include <QFile>
#include <QStringList>

#include "ConnectionController.h"
#include "PageHost.h"
#include "ParamInfo.h"
#include "StatusText.h"
#include "UpgradeFile.h"
#include "UpgradeFileSource.h"

namespace corvane {

TransferRecord FirmwareUpdate::EscAsRecord() const {
    TransferRecord esc;
    esc.byModel = m_c.identity.byModel;
    esc.byFamily = m_c.identity.byFamily;
    esc.byVersionLetter = m_c.identity.byVersionLetter;
    esc.byVersion = m_c.identity.byVersion;
    return esc;
}

void FirmwareUpdate::Start() {
    const LiveAreasNotice notice{m_c.view};
    const auto ask = [&](QMessageBox::Icon icon, const char* text,
                         QMessageBox::StandardButtons buttons) {
        return m_c.view.Ask(icon, QString::fromUtf8(text::kFirmwareCaption),
                            QString::fromUtf8(text), buttons, QMessageBox::NoButton);
    };
    // A second update while blocks are still going out would replace the payload the worker
    // is framing from: refuse it and leave the running transfer alone.
    if (RulesOf(m_c.state).transferBusy || m_c.link.FirmwareTransferBusy()) {
        m_c.say(text::kFirmwareBusy);
        return;
    }
    const QString path = m_c.view.ChooseUpgradeFile();
    if (path.isEmpty()) {
        return;
    }
    m_last = FirmwareOutcome::Refused;
    // Never a blocking open or an unbounded read: a FIFO, a device or a huge file picked here
    // would freeze the window. Such a pick is refused as an invalid file.
    std::string bytes;
    const UpgradeFileOpen opened =
        ReadUpgradeFileBytes(QFile::encodeName(path).toStdString(), bytes);
    if (opened == UpgradeFileOpen::CannotOpen) {
        return;
    }
    // The dialog ran a event loop: the ESC may have gone, or a transfer started, meanwhile.
    if (!RulesOf(m_c.state).firmwareLive || m_c.link.FirmwareTransferBusy()) {
        return;
    }
    // Our own copy: the link takes one of it only when the transfer starts.
    TransferRecord file;
    std::istringstream stream(bytes);
    const bool loaded =
        opened == UpgradeFileOpen::Opened && ParseUpgradeFile(stream, bytes.size(), file) != 0;
    const FirmwareVerdict verdict = CheckFirmwareForEsc(loaded, file, EscAsRecord());
    if (verdict != FirmwareVerdict::Accepted) {
        ask(QMessageBox::Warning,
            verdict == FirmwareVerdict::WrongModel ? text::kWrongModel : text::kInvalidFirmware,
            QMessageBox::Ok);
        return;
    }
    // The checks hold for this ESC connection only. The box runs an event loop: the ESC may
    // be swapped for another meanwhile, which is identified and read while the box is open.
    const EscToken checked = TakeEsc(m_c.identity);
    m_last = FirmwareOutcome::Cancelled;
    if (ask(QMessageBox::Information, text::kFirmwareConfirm,
            QMessageBox::Ok | QMessageBox::Cancel) != QMessageBox::Ok) {
        m_c.say(text::kFirmwareCancelled);
        return;
    }
    const ConnectionState from = m_c.state;
    const bool sameEsc =
        SameEsc(m_c.identity, checked) &&
        (from == ConnectionState::Connected || from == ConnectionState::FirmwareOnly) &&
        !m_c.link.FirmwareTransferBusy() &&
        CheckFirmwareForEsc(true, file, EscAsRecord()) == FirmwareVerdict::Accepted;
    if (!sameEsc) {
        m_c.say(text::kFirmwareCancelled);
        return;
    }
    // The progress bar stays in sight, and no edit is made that the read after the update
    // would throw away.
    m_c.view.SelectPage(PageHost::kNoPage);
    // The link refuses an ESC connection other than the checked one even if the controller has
    // not heard of the change yet (told as a failed update: nothing was sent).
    if (!m_c.link.StartFirmwareUpdate(file, checked.epoch)) {
        return;
    }
    m_blocks = file.byBlockCount;
    m_last = FirmwareOutcome::Running;
    m_restore = {};
    m_c.say(text::kUpdatingFirmware);
    // The write button is dead from now on, not only from the first block.
    m_c.state = from == ConnectionState::Connected ? ConnectionState::UpdatingFirmware
                                                   : ConnectionState::UpdatingFirmwareOnly;
    // The new firmware starts from its defaults: the settings as the pages show them now are
    // offered back after the update, changes still waiting for WRITE among them (the ESC may
    // hold them already: a write whose read-back failed leaves them marked). An ESC with no
    // readable settings, or one whose last update failed, keeps what was kept before.
    if (from == ConnectionState::Connected && m_c.params.HasBlock() &&
        !(m_kept && m_kept->outlivedFailure)) {
        const auto end = m_c.block.begin() + static_cast<std::ptrdiff_t>(m_c.params.BlockSize());
        m_kept =
            KeptSettings{{m_c.block.begin(), end}, m_c.identity.byModel, m_c.identity.byFamily};
    }
    m_restoreDue = false;
    m_c.view.StartProgress(m_blocks - 1);
}

bool FirmwareUpdate::ConfirmClose() {
    m_closeQuestion = CloseQuestion::Open;
    const bool yes =
        m_c.view.Ask(QMessageBox::Warning, QString::fromUtf8(text::kFirmwareCaption),
                     QString::fromUtf8(text::kCloseDuringFirmware),
                     QMessageBox::Yes | QMessageBox::No, QMessageBox::No) == QMessageBox::Yes;
    // A Yes given to a question about a transfer that has ended since closes nothing.
    const bool stale = m_closeQuestion == CloseQuestion::Stale;
    m_closeQuestion = CloseQuestion::None;
    return yes && !stale;
}

void FirmwareUpdate::DismissCloseQuestion() {
    if (m_closeQuestion == CloseQuestion::Open) {
        m_closeQuestion = CloseQuestion::Stale;
        m_c.view.DismissQuestion();
    }
}

void FirmwareUpdate::OnBlockStart() {
    m_sent = true;
    m_c.view.ShowProgress(true);
}

void FirmwareUpdate::OnProgress(uint32_t blocksLeft) {
    m_c.view.SetProgress(m_blocks - static_cast<int>(blocksLeft));
}

void FirmwareUpdate::End(const char* line) {
    m_sent = false;
    m_c.endTransfer();
    DismissCloseQuestion();
    m_c.view.ShowProgress(false);
    m_c.say(line);
}

void FirmwareUpdate::OnDone() {
    m_last = FirmwareOutcome::Done;
    End(text::kFirmwareDone);
    m_restoreDue = m_kept.has_value();
    // The new firmware may lay its parameters out otherwise: until the fresh read is done the
    // old block must not reach it, nor any edit be made to it.
    m_c.state = ConnectionState::NotConnected;
    m_c.view.CreatePages(false);
}

void FirmwareUpdate::OnFailed() {
    // Some blocks may have been stored: whatever firmware the ESC now runs is unknown, and the
    // old block must not reach it. Not connected until it is identified and read. (A transfer
    // refused before its first block sent nothing.)
    if (m_last == FirmwareOutcome::Running) {
        m_last = FirmwareOutcome::Failed;
    }
    if (m_sent) {
        m_c.dropConnection();
        m_c.link.WantIdentity(true);
        if (m_kept) {
            m_kept->outlivedFailure = true;
        }
    }
    End(text::kFirmwareFailed);
}

void FirmwareUpdate::AfterRead(bool readable) {
    if (!readable) {
        // The updated ESC cannot take the settings; they wait for its next update, and no
        // other ESC read meanwhile is offered them.
        m_restoreDue = false;
        return;
    }
    if (!std::exchange(m_restoreDue, false) || !m_kept) {
        return;
    }
    // Only the ESC that was updated gets its settings back; the box opens once the notice
    // that brought the read is handled.
    if (m_kept->byModel == m_c.identity.byModel && m_kept->byFamily == m_c.identity.byFamily) {
        QMetaObject::invokeMethod(
            &m_c.context, [this, esc = TakeEsc(m_c.identity)] { OfferRestore(esc); },
            Qt::QueuedConnection);
    } else {
        m_kept.reset();
    }
}

void FirmwareUpdate::OnLinkLost() {
    if (m_last == FirmwareOutcome::Running) {
        m_last = FirmwareOutcome::Lost;
    }
    // Whichever ESC answers next may be another one: the settings kept are not offered to it.
    m_restoreDue = false;
    m_kept.reset();
    m_sent = false;
    DismissCloseQuestion();
}

void FirmwareUpdate::OfferRestore(EscToken esc) {
    const LiveAreasNotice notice{m_c.view};
    const auto stillThisEsc = [&] {
        return SameEsc(m_c.identity, esc) && m_c.state == ConnectionState::Connected &&
               m_c.params.HasBlock();
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
    m_restore.offered = true;
    if (m_c.view.Ask(QMessageBox::Question, QString::fromUtf8(text::kFirmwareCaption),
                     QString::fromUtf8(text::kRestoreSettingsAsk),
                     QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes) != QMessageBox::Yes ||
        !stillThisEsc()) {
        return;
    }
    m_restore.taken = true;
    QStringList refused;
    ParameterSet previous;
    previous.SetBlock(kept.block.data(), kept.block.size());
    for (const int index : m_c.params.TakeValuesFrom(previous)) {
        refused << QString::fromUtf8(kParamInfo[static_cast<size_t>(index)].label);
    }
    const QString line = refused.isEmpty() ? QString::fromLatin1(text::kSettingsRestored)
                                           : QString::fromLatin1(text::kSettingsRestoredExcept)
                                                 .arg(refused.join(QStringLiteral(", ")));
    m_restore.line = line;
    m_restore.notPlaced = refused;
    m_c.view.ReloadPages();
    if (m_c.params.ParamsUnchanged()) {
        m_c.say(line); // the new firmware's defaults are the old settings
        return;
    }
    m_restore.writing = true;
    // Written as WRITE writes, read back and compared; the line follows only a confirmed write.
    m_c.writeRestored(line);
}

} // namespace corvane
