// The main window: a borderless, outlined face with hot areas instead of buttons, the status
// list and the firmware progress bar, and the four parameter pages. It draws what the
// connection controller tells it; the connection's operations are forwarded to it.
#pragma once

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <QDialog>
#include <QMessageBox>
#include <QPoint>
#include <QPointer>
#include <QString>
#include <QTimer>

#include "Clock.h"
#include "ConnectionController.h"
#include "GdiPlusBitmap.h"
#include "PageSite.h"
#include "SkinLayout.h"

class QListWidget;
class QMenu;
class QProgressBar;

namespace corvane {

class CPageBase;
class CSkinHotSpot;
class CBrakePage;
class CSettingPage;
class CThrottlePage;
class CTimingPage;

class CCorvaneProgPanelDlg : public QDialog, public ConnectionView {
    Q_OBJECT

public:
    using Options = ConnectionController::Options;
    // What a file dialog is asked for.
    struct FileRequest {
        enum Kind { UpgradeFile, OpenSettings, SaveSettings } kind = UpgradeFile;
        QString suggestedName; // for a file to save
    };
    // Asks for a file; an empty path means the user cancelled.
    using FileChooser = std::function<QString(QWidget* parent, const FileRequest& request)>;
    // Shows a message box and returns the button pressed.
    using MessageBoxRunner = std::function<QMessageBox::StandardButton(
        QWidget* parent, QMessageBox::Icon icon, const QString& caption, const QString& text,
        QMessageBox::StandardButtons buttons)>;

    explicit CCorvaneProgPanelDlg(PortBase& port, Options options);
    explicit CCorvaneProgPanelDlg(PortBase& port) : CCorvaneProgPanelDlg(port, Options{}) {}
    ~CCorvaneProgPanelDlg() override;

    static constexpr int kNoPage = PageHost::kNoPage;
    void SelectPage(int index) override;
    void CreatePages(bool create) override;
    bool PagesExist() const override { return m_pagesExist; }
    void ReloadPages() override;
    void SelectBackground();
    void InvalidateHotArea(int area);
    void RestorePressedHighlight() override;
    void LiveAreasChanged() override;

    // The status list keeps the newest lines, this many at most.
    static constexpr int kMaxStatusLines = 1000;
    void AddStatus(const QString& line) override;
    void ClearStatus() override;
    void StartProgress(int lastBlock) override;
    void ShowProgress(bool show) override;
    void SetProgress(int value) override;
    QString ChooseUpgradeFile() override;
    QString ChooseSettingsFile(bool save, const QString& suggestedName) override;
    // The file dialog, as the window shows it when no chooser is set.
    static QString AskForFile(QWidget* parent, const FileRequest& request);
    QMessageBox::StandardButton Ask(QMessageBox::Icon icon, const QString& caption,
                                    const QString& text, QMessageBox::StandardButtons buttons,
                                    QMessageBox::StandardButton defaultButton) override;
    void DismissQuestion() override;

    void SetFileChooser(FileChooser chooser) { m_fileChooser = std::move(chooser); }
    void SetMessageBoxRunner(MessageBoxRunner runner) { m_messageBox = std::move(runner); }

    // What the window shows, for tests and the demo.
    ConnectionController& Connection() { return m_connection; }
    QListWidget* StatusList() const { return m_statusList; }
    QProgressBar* Progress() const { return m_progress; }
    int CurrentPage() const { return m_currentPage; }
    CPageBase* Page(int index) const;
    uint8_t LitArea() const { return m_litArea; }
    // The area's stand-in for the keyboard and screen readers.
    CSkinHotSpot* HotSpot(HotArea area) const { return m_spots[area]; }
    unsigned BackgroundId() const { return m_backgroundId; }
    // Whether the block holds changes the ESC has not been sent, and what they are, a line
    // each ("Drag Brake: 10% → 17%"); the write button's marker and tooltip show them.
    bool ChangesWaiting() const;
    // The face's right-click menu: save and load the settings (also Ctrl+S and Ctrl+O).
    QMenu* SettingsMenu() const { return m_settingsMenu; }
    QString ChangesText() const;

    // Every way of closing the window ends here: a close during a firmware transfer is asked
    // about first, one during a parameter write waits for the write to end.
    void done(int result) override;

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void SetUpWindow();
    void OnHotAreaPressed(HotArea area);
    // The live area under a point of the face, HotNone if none.
    uint8_t LiveAreaAt(QPoint point) const;
    // Lights the live area under the pointer, or none.
    void TrackPointer(QPoint point);
    // The keyboard's areas (the live ones not under a page) and the settings menu's actions.
    void UpdateHotSpots();
    void StoreAllPages();
    void DropHighlight();
    // The pointer left the face: for the desktop, a page, the status list or the bar.
    void PointerLeft();
    void OpenSettingsMenu(QPoint global);
    void StyleStatusList(int topMargin, int bottomMargin);

    ConnectionController m_connection;
    PageSite m_pageSite{m_connection.Params(), [this](int page) { SelectPage(page); },
                        [this] { update(layout::kChangeMarker); }};
    std::unique_ptr<CGdiPlusBitmapResource> m_background;
    unsigned m_backgroundId = 0;
    int m_currentPage = kNoPage;
    bool m_drawBackground = true;
    bool m_movedSinceClick = false;
    uint8_t m_hotArea = HotNone;
    uint8_t m_litArea = HotNone;
    uint8_t m_pressedArea = HotNone;
    QListWidget* m_statusList = nullptr;
    std::unique_ptr<CBrakePage> m_brakePage;
    std::unique_ptr<CSettingPage> m_settingPage;
    std::unique_ptr<CTimingPage> m_timingPage;
    std::unique_ptr<CThrottlePage> m_throttlePage;
    QProgressBar* m_progress = nullptr;
    std::array<CPageBase*, layout::kPageCount> m_pages{};
    bool m_pagesExist = false;

    // Where the pointer last moved over the face; none while it is elsewhere.
    std::optional<QPoint> m_pointer;
    bool m_dragging = false;
    QPoint m_dragOffset;
    FileChooser m_fileChooser;
    MessageBoxRunner m_messageBox;
    QPointer<QMessageBox> m_openBox;
    std::array<CSkinHotSpot*, HotAreaCount> m_spots{}; // owned as children
    QMenu* m_settingsMenu = nullptr;                   // owned as a child
    // The area that had the keys when it went dead: they rest on the face meanwhile, and go
    // back to it when it works again, unless the user has moved them elsewhere.
    QPointer<CSkinHotSpot> m_restingFocus;
};

} // namespace corvane
