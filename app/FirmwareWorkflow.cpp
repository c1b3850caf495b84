// The firmware update as the user sees it: pick a file, check it against the ESC, confirm,
// then follow the transfer on the progress bar.
#include <sstream>

#include <QFile>
#include <QFileDialog>
#include <QProgressBar>

#include "CCorvaneProgPanelDlg.h"
#include "StatusText.h"
#include "UpgradeFile.h"
#include "UpgradeFileSource.h"

namespace corvane {

QMessageBox::StandardButton CCorvaneProgPanelDlg::Ask(QMessageBox::Icon icon, const QString& text,
                                                      QMessageBox::StandardButtons buttons,
                                                      QMessageBox::StandardButton defaultButton) {
    if (m_messageBox) {
        return m_messageBox(this, icon, text::kFirmwareCaption, text, buttons);
    }
    QMessageBox box(icon, text::kFirmwareCaption, text, buttons, this);
    if (defaultButton != QMessageBox::NoButton) {
        box.setDefaultButton(defaultButton);
    }
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

TransferRecord CCorvaneProgPanelDlg::EscAsRecord() const {
    TransferRecord esc;
    esc.byModel = m_escIdentity.byModel;
    esc.byFamily = m_escIdentity.byFamily;
    esc.byVersionLetter = m_escIdentity.byVersionLetter;
    esc.byVersion = m_escIdentity.byVersion;
    return esc;
}

void CCorvaneProgPanelDlg::UpdateFirmware() {
    // A second update while blocks are still going out would replace the payload the worker
    // is framing from: refuse it and leave the running transfer alone.
    if (m_transferBusy || m_link.IsTransferBusy(&m_link.m_FirmwareRecord)) {
        AddStatus(text::kFirmwareBusy);
        return;
    }
    const QString path = m_fileChooser ? m_fileChooser(this)
                                       : QFileDialog::getOpenFileName(this, QString(), QString(),
                                                                      text::kFirmwareFilter);
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
    if (!(m_paramsLoaded || m_firmwareOnly) || m_link.IsTransferBusy(&m_link.m_FirmwareRecord)) {
        return;
    }
    std::istringstream file(std::move(bytes));
    const bool loaded = opened == UpgradeFileOpen::Opened && m_link.LoadUpgradeFile(file);
    const FirmwareVerdict verdict =
        CheckFirmwareForEsc(loaded, m_link.m_FirmwareRecord, EscAsRecord());
    if (verdict != FirmwareVerdict::Accepted) {
        Ask(QMessageBox::Warning,
            verdict == FirmwareVerdict::WrongModel ? text::kWrongModel : text::kInvalidFirmware,
            QMessageBox::Ok);
        return;
    }
    // The checks hold for this ESC connection only. The box runs an event loop: the ESC may
    // be swapped for another meanwhile, which is identified and read while the box is open.
    // Every identity is a new connection (epoch); a lost one leaves the tool not connected.
    const uint32_t checkedEpoch = m_escIdentity.nEpoch;
    if (Ask(QMessageBox::Information, text::kFirmwareConfirm,
            QMessageBox::Ok | QMessageBox::Cancel) != QMessageBox::Ok) {
        AddStatus(text::kFirmwareCancelled);
        return;
    }
    const bool sameEsc = m_escIdentity.nEpoch == checkedEpoch &&
                         (m_paramsLoaded || m_firmwareOnly) && !m_transferBusy &&
                         !m_link.IsTransferBusy(&m_link.m_FirmwareRecord) &&
                         CheckFirmwareForEsc(true, m_link.m_FirmwareRecord, EscAsRecord()) ==
                             FirmwareVerdict::Accepted;
    if (!sameEsc) {
        AddStatus(text::kFirmwareCancelled);
        return;
    }
    // The progress bar stays in sight, and no edit is made that the read after the update
    // would throw away.
    SelectPage(kNoPage);
    // The link refuses an ESC connection other than the checked one even if the window has
    // not heard of the change yet (told as a failed update: nothing was sent).
    if (!m_link.StartFirmwareUpdate(&m_link.m_FirmwareRecord, checkedEpoch)) {
        return;
    }
    AddStatus(text::kUpdatingFirmware);
    m_transferBusy = true; // the write button is dead from now on, not only from the first block
    m_firmwareBusy = true;
    m_progress->setRange(0, static_cast<int>(m_link.m_FirmwareRecord.byBlockCount) - 1);
    m_progress->setValue(0);
}

} // namespace corvane
