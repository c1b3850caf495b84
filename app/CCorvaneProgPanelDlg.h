// The main window: a borderless, outlined face with hot areas instead of buttons, the status
// list and the firmware progress bar, the four parameter pages, and the workflows that turn
// the link's notifications into status lines and page life.
#pragma once

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QDialog>
#include <QMessageBox>
#include <QPoint>
#include <QString>
#include <QTimer>

#include "AccessNotice.h"
#include "Clock.h"
#include "GdiPlusBitmap.h"
#include "KVALinkCore.h"
#include "LinkEventSink.h"
#include "PageHost.h"
#include "ParameterSet.h"
#include "SkinLayout.h"

class QListWidget;
class QProgressBar;

namespace corvane {

class CPageBase;
class CBrakePage;
class CSettingPage;
class CThrottlePage;
class CTimingPage;

class CCorvaneProgPanelDlg : public QDialog, public PageHost {
    Q_OBJECT

public:
    struct Options {
        // false: no worker thread; the caller drives the link with RunPass (tests).
        bool startWorker = true;
        Clock* clock = nullptr;
    };
    // Asks for an upgrade file; an empty path means the user cancelled.
    using FileChooser = std::function<QString(QWidget* parent)>;
    // Shows a message box and returns the button pressed.
    using MessageBoxRunner = std::function<QMessageBox::StandardButton(
        QWidget* parent, QMessageBox::Icon icon, const QString& caption, const QString& text,
        QMessageBox::StandardButtons buttons)>;

    explicit CCorvaneProgPanelDlg(PortBase& port, Options options);
    explicit CCorvaneProgPanelDlg(PortBase& port) : CCorvaneProgPanelDlg(port, Options{}) {}
    ~CCorvaneProgPanelDlg() override;

    // The parameter operations, forwarded to the parameter set over the ESC's block.
    bool GetParamDescriptor(int index, ParameterDescriptor& descriptor) override;
    uint8_t GetParamPosition(int index) override;
    void SetParamPosition(int index, uint8_t position) override;
    void SnapshotParams();
    bool ParamsUnchanged();

    void SelectPage(int index) override;
    void CreatePages(bool create);
    void SelectBackground();
    void InvalidateHotArea(int area);
    void RestorePressedHighlight();

    void AddStatus(const QString& line);
    void ClearStatus();
    void OnLinkNotify(uint32_t code, uint32_t value);
    // A udev notice for a hidraw device: "add" (arrival) or "remove".
    void OnDeviceChange(bool arrival, const std::string& path);
    // Searches for the dongle again while the port is closed; runs about once a second
    // while another program holds the dongle.
    void RetryDongleSearch();
    bool DongleRetryActive() const { return m_dongleRetry.isActive(); }
    void UpdateParameters();
    void UpdateFirmware();

    void SetFileChooser(FileChooser chooser) { m_fileChooser = std::move(chooser); }
    void SetMessageBoxRunner(MessageBoxRunner runner) { m_messageBox = std::move(runner); }

    // What the window shows, for tests and the demo.
    KVALinkCore& Link() { return m_link; }
    QListWidget* StatusList() const { return m_statusList; }
    QProgressBar* Progress() const { return m_progress; }
    int CurrentPage() const { return m_currentPage; }
    CPageBase* Page(int index) const;
    bool ParamsLoaded() const { return m_paramsLoaded; }
    bool FirmwareOnly() const { return m_firmwareOnly; }
    bool TransferBusy() const { return m_transferBusy; }
    bool FirmwareBusy() const { return m_firmwareBusy; }
    uint8_t LitArea() const { return m_litArea; }
    unsigned BackgroundId() const { return m_backgroundId; }
    bool IsHotAreaLive(int area) const;
    void StopLink() { m_link.Run(false); }

    // Every way of closing the window ends here: a close during a firmware transfer is asked
    // about first, one during a parameter write waits for the write to end.
    void done(int result) override;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void SetUpWindow();
    void StartLink();
    void NoteDongleSearch(bool opened, bool wholeWalk);
    void NoteAccessAfterSearch(bool opened, bool wholeWalk);
    void OnIdentified();
    void OnReadDone();
    void OnLinkLost();
    void OnBlockStart(uint32_t command);
    void OnWriteDone(uint32_t command);
    void OnWriteFailed(uint32_t command);
    void OnHotAreaPressed(HotArea area);
    void StoreAllPages();
    void DropHighlight();
    ParameterSet& Params();
    bool ConfirmClose();
    TransferRecord EscAsRecord() const;
    void WaitForParameterWrite();
    QMessageBox::StandardButton
    Ask(QMessageBox::Icon icon, const QString& text, QMessageBox::StandardButtons buttons,
        QMessageBox::StandardButton defaultButton = QMessageBox::NoButton);

    PortBase& m_port;
    Options m_options;
    LinkEventSink m_sink{this};
    KVALinkCore m_link;
    std::unique_ptr<CGdiPlusBitmapResource> m_background;
    unsigned m_backgroundId = 0;
    int m_currentPage = kNoPage;
    bool m_drawBackground = true;
    bool m_paramsLoaded = false;
    bool m_firmwareOnly = false;
    bool m_transferBusy = false;
    // From the confirmed firmware update until the transfer ends: the home face stays.
    bool m_firmwareBusy = false;
    // A read was handed to the link and its result has not come yet.
    bool m_readPending = false;
    // The ESC of the last identity the window handled; its epoch counts the connections.
    EscIdentity m_escIdentity;
    bool m_movedSinceClick = false;
    uint8_t m_hotArea = HotNone;
    uint8_t m_litArea = HotNone;
    uint8_t m_pressedArea = HotNone;
    // The window's own copy of the ESC's block, filled from the link's after every finished
    // read; the pages edit only this, the worker never sees it.
    std::vector<uint8_t> m_block;
    // The copy handed to the last parameter write: the snapshot once the ESC accepts it.
    std::vector<uint8_t> m_sentBlock;
    ParameterSet m_params;
    QListWidget* m_statusList = nullptr;
    std::unique_ptr<CBrakePage> m_brakePage;
    std::unique_ptr<CSettingPage> m_settingPage;
    std::unique_ptr<CTimingPage> m_timingPage;
    std::unique_ptr<CThrottlePage> m_throttlePage;
    QProgressBar* m_progress = nullptr;
    std::array<CPageBase*, layout::kPageCount> m_pages{};
    bool m_pagesExist = false;
    AccessNotice m_accessNotice;
    QTimer m_dongleRetry;

    bool m_dragging = false;
    QPoint m_dragOffset;
    FileChooser m_fileChooser;
    MessageBoxRunner m_messageBox;
};

} // namespace corvane
