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

void ConnectionController::UpdateParameters() {
    const LiveAreasNotice notice{m_view};
    m_write.Start();
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
    m_write.WaitToEnd(m_options.clock != nullptr ? *m_options.clock : SystemClock::Instance(),
                      !m_options.startWorker);
    return true;
}

} // namespace corvane
