// Closing the window while the ESC is being written: a firmware transfer cut short can leave
// the ESC without a working firmware, so the user is asked first; a parameter write is short
// and is let finish.
#include "CCorvaneProgPanelDlg.h"
#include "StatusText.h"

namespace corvane {

namespace {
// A parameter write is one block: a few hundred milliseconds, or up to its byte timeout.
constexpr uint32_t kCloseWaitMs = 2000;
constexpr uint32_t kCloseWaitStepMs = 10;
} // namespace

void CCorvaneProgPanelDlg::done(int result) {
    if (!ConfirmClose()) {
        return;
    }
    QDialog::done(result);
}

bool CCorvaneProgPanelDlg::ConfirmClose() {
    if (m_firmwareBusy || m_link.IsTransferBusy(&m_link.m_FirmwareRecord)) {
        return Ask(QMessageBox::Warning, text::kCloseDuringFirmware,
                   QMessageBox::Yes | QMessageBox::No, QMessageBox::No) == QMessageBox::Yes;
    }
    WaitForParameterWrite();
    return true;
}

void CCorvaneProgPanelDlg::WaitForParameterWrite() {
    Clock& clock = m_options.clock != nullptr ? *m_options.clock : SystemClock::Instance();
    const uint32_t start = clock.Now();
    while (m_link.IsTransferBusy(&m_link.m_EscRecord) && clock.Now() - start <= kCloseWaitMs) {
        if (!m_options.startWorker) {
            m_link.RunPass(); // no worker thread: the window drives the link itself
        }
        clock.Sleep(kCloseWaitStepMs);
    }
}

} // namespace corvane
