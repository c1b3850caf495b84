// What the user asks of the ESC: a parameter write, and the close that must not cut a transfer
// short.
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
    if (m_link.WriteParameters(copy.data(), static_cast<uint32_t>(copy.size()),
                               m_escIdentity.nEpoch)) {
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

bool ConnectionController::ConfirmClose() {
    if (m_firmware.Busy()) {
        return m_firmware.ConfirmClose();
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
