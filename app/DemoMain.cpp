// The demo: the same window over a simulated dongle with a VRX_Q8 behind it. The dongle is
// plugged in shortly after start, as a hot-plug notice would announce it.
#include <QTimer>

#include "CCorvaneProgPanelApp.h"
#include "CCorvaneProgPanelDlg.h"
#include "SimPort.h"

int main(int argc, char** argv) {
    corvane::CCorvaneProgPanelApp app(argc, argv);
    corvane::sim::SimPort port;
    port.SetReadWait(corvane::kReadWaitMs);
    port.SetLatency(2);
    port.PlugDongle(false);
    // The sample upgrade file shipped in res/samples/ has 130-byte blocks.
    port.Esc([](corvane::sim::EscSimulator& esc) { esc.SetFirmwareBlockLength(130); });
    return app.InitInstance(port, [&port](corvane::CCorvaneProgPanelDlg& window) {
        QTimer::singleShot(1500, &window, [&port, &window] {
            port.PlugDongle(true);
            window.OnDeviceChange(true, corvane::sim::SimPort::kDevicePath);
        });
    });
}
