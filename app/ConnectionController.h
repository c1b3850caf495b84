// The connection's rules: which dongle and ESC the tool talks to, what the user may do with
// them now, and what the user is told. The controller owns the link and turns its
// notifications and the hot-plug notices into status lines and page commands for a view; the
// main window is that view and only draws. Tests drive it with a view of their own.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include <QByteArray>
#include <QMessageBox>
#include <QObject>
#include <QString>
#include <QTimer>

#include "Clock.h"
#include "ConnectionState.h"
#include "DongleSearch.h"
#include "FirmwareUpdate.h"
#include "KVALinkCore.h"
#include "LinkNoticeQueue.h"
#include "ParameterSet.h"
#include "ParameterWrite.h"
#include "SettingsFiles.h"
#include "SkinLayout.h"
#include "StatusText.h"

namespace corvane {

// What the controller asks of the window that shows the connection.
class ConnectionView {
public:
    virtual ~ConnectionView() = default;
    virtual void AddStatus(const QString& line) = 0;
    virtual void ClearStatus() = 0;
    // Builds the pages over the controller's block, or takes them down for the home face.
    virtual void CreatePages(bool create) = 0;
    virtual bool PagesExist() const = 0;
    // Builds the pages anew over the controller's block, on the page that was shown.
    virtual void ReloadPages() = 0;
    virtual void SelectPage(int index) = 0;
    virtual void RestorePressedHighlight() = 0;
    // Which hot areas are live may have changed.
    virtual void LiveAreasChanged() = 0;
    // The firmware progress bar, from 0 to lastBlock.
    virtual void StartProgress(int lastBlock) = 0;
    virtual void ShowProgress(bool show) = 0;
    virtual void SetProgress(int value) = 0;
    // An empty path means the user cancelled.
    virtual QString ChooseUpgradeFile() = 0;
    // A settings file to write (save) or read; suggestedName for a new one.
    virtual QString ChooseSettingsFile(bool save, const QString& suggestedName) = 0;
    virtual QMessageBox::StandardButton Ask(QMessageBox::Icon icon, const QString& caption,
                                            const QString& text,
                                            QMessageBox::StandardButtons buttons,
                                            QMessageBox::StandardButton defaultButton) = 0;
    // The box open now (the last one Ask showed) goes away as if its No had been chosen.
    virtual void DismissQuestion() = 0;
};

// Tells the view, on the way out of whatever changed the connection's state, that live
// areas may have changed.
struct LiveAreasNotice {
    ConnectionView& view;
    ~LiveAreasNotice() { view.LiveAreasChanged(); }
};

// How the last read of the ESC and the last parameter write ended, for callers without a
// window: each outcome's text is the status line that said it.
enum class ReadOutcome : uint8_t {
    NoEsc,          // no ESC has been identified
    Unsupported,    // "ESC not support!"
    VersionUnknown, // "Parameter Version not support."
    Reading,        // identified; the read is under way or is tried again
    Read,           // "Getting Parameters... Completed."
};
const char* OutcomeText(ReadOutcome outcome);

class ConnectionController : public QObject {
    Q_OBJECT

public:
    struct Options {
        // false: no worker thread; the caller drives the link with RunPass (tests).
        bool startWorker = true;
        Clock* clock = nullptr;
    };

    ConnectionController(PortBase& port, ConnectionView& view, Options options);
    ~ConnectionController() override;

    // Starts the link and says what the tool waits for.
    void Start();
    // Stops the worker; nothing reaches the view afterwards.
    void Stop();

    // The dongle's notices and searches.
    DongleSearch& Dongles() { return m_dongles; }
    const DongleSearch& Dongles() const { return m_dongles; }

    // Sends the block as the pages left it, unless nothing changed since the ESC last had it.
    void UpdateParameters();
    // The firmware update and the restore after it.
    FirmwareUpdate& Firmware() { return m_firmware; }
    // The settings files of the ESC the pages show.
    SettingsFiles& Files() { return m_files; }
    const SettingsFiles& Files() const { return m_files; }

    // Asked before the window closes: a close during a firmware transfer is put to the user
    // (false keeps the window), one during a parameter write waits for the write to end.
    bool ConfirmClose();

    // Whether a hot area (HotArea) does anything now.
    bool IsHotAreaLive(int area) const;
    ParameterSet& Params() { return m_params; }
    const ParameterSet& Params() const { return m_params; }
    // The block the pages edit.
    const std::vector<uint8_t>& Block() const { return m_block; }
    KVALinkCore& Link() { return m_link; }
    ConnectionState State() const { return m_state; }
    ReadOutcome LastRead() const { return m_lastRead; }
    WriteOutcome LastWrite() const { return m_write.Last(); }
    bool ParamsLoaded() const { return RulesOf(m_state).paramsRead; }
    bool TransferBusy() const { return RulesOf(m_state).transferBusy; }
    bool FirmwareBusy() const { return RulesOf(m_state).firmwareBusy; }
    // The ESC of the last identity handled, and the copy handed to the last parameter write.
    const EscIdentity& Identity() const { return m_escIdentity; }
    const std::vector<uint8_t>& SentBlock() const { return m_write.Sent(); }

protected:
    bool event(QEvent* event) override;

private:
    // The state a transfer ends in: the one it started from, or not connected.
    void EndTransfer();

    // Every status line goes through here.
    void Say(const QString& line);
    void ClearLines();
    // Handles every notice the worker has queued, oldest first.
    void TakeLinkNotices();
    void OnLinkNotify(const LinkNotice& notice);
    void OnIdentified(const EscIdentity& identity);
    void OnReadDone(const LinkNotice& read);
    void OnReadFailed();
    // Hands a read to the link; false when it could not be handed over.
    bool StartRead();
    void OnLinkLost();
    void OnEscRestarted();
    // The connection ends: the pages go, and changes still waiting are put aside.
    void DropConnection();
    // After a read: the changes put aside come back, or are dropped with a line.
    void TakeBackUnsentChanges();
    void OnBlockStart(uint32_t command);
    void OnWriteDone(uint32_t command);
    void OnWriteFailed(uint32_t command);
    // The ESC did not take the parameter block, or did not confirm it: WRITE works again.
    QMessageBox::StandardButton
    Ask(QMessageBox::Icon icon, const QString& text, QMessageBox::StandardButtons buttons,
        QMessageBox::StandardButton defaultButton = QMessageBox::NoButton,
        const char* caption = text::kFirmwareCaption);

    PortBase& m_port;
    ConnectionView& m_view;
    Options m_options;
    LinkNoticeQueue m_notices{this};
    KVALinkCore m_link;
    DongleSearch m_dongles;

    ConnectionState m_state = ConnectionState::NotConnected;
    ReadOutcome m_lastRead = ReadOutcome::NoEsc;
    // The link's serial of the read handed over whose result has not come yet.
    std::optional<uint32_t> m_pendingRead;
    // Reads of this ESC that ended failed in a row; each is tried again, a few times.
    int m_failedReads = 0;
    static constexpr int kReadRetries = 3;
    // The ESC of the last identity handled; its epoch counts the connections.
    EscIdentity m_escIdentity;
    // The controller's own copy of the ESC's block, filled from the link's after every
    // finished read; the pages edit only this, the worker never sees it.
    std::vector<uint8_t> m_block;
    ParameterSet m_params;
    SettingsFiles m_files{{m_view, m_params, m_block, m_escIdentity, m_state,
                           [this](const QString& line) { Say(line); }}};
    ParameterWrite m_write{{m_view, m_link, m_params, m_block, m_escIdentity, m_state,
                            [this](const QString& line) { Say(line); }, [this] { EndTransfer(); },
                            [this] { return StartRead(); }, [this] { m_pendingRead.reset(); }}};
    FirmwareUpdate m_firmware{{*this, m_view, m_link, m_params, m_block, m_escIdentity, m_state,
                               [this](const QString& line) { Say(line); },
                               [this] { DropConnection(); }, [this] { EndTransfer(); },
                               [this](const QString& line) {
                                   const LiveAreasNotice notice{m_view};
                                   m_write.Start(line);
                               }}};
    // Changes still waiting for WRITE when the connection ended, and the block they were made
    // against: they come back only if the next read finds that block byte for byte.
    struct UnsentChanges {
        std::vector<uint8_t> base;
        std::vector<uint8_t> edited;
    };
    std::optional<UnsentChanges> m_unsent;
    // Counts the lines said (and the list's clearings); the count just after "ESC not
    // support!" was last said.
    uint64_t m_linesSaid = 0;
    uint64_t m_unsupportedSaidAt = 0;
};

} // namespace corvane
