// The main window's face: set-up, outline, background, hot areas, status list, progress bar,
// boxes, mouse and keys.
#include <algorithm>

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QCursor>
#include <QFile>
#include <QFileDialog>
#include <QGuiApplication>
#include <QHelpEvent>
#include <QIcon>
#include <QKeyEvent>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QProgressBar>
#include <QToolTip>
#include <QWindow>

#include "CCorvaneProgPanelDlg.h"
#include "Cp950.h"
#include "Pages.h"
#include "ParamInfo.h"
#include "ParamValueFormat.h"
#include "RegionData.h"
#include "SettingText.h"
#include "SkinHotSpot.h"
#include "SkinLayout.h"
#include "StatusText.h"

namespace corvane {

namespace {
constexpr QRgb kStatusBackground = qRgb(0x0d, 0x11, 0x17);
constexpr QRgb kStatusFrame = qRgb(0x30, 0x36, 0x3d);
} // namespace

CCorvaneProgPanelDlg::CCorvaneProgPanelDlg(PortBase& port, Options options)
    : QDialog(nullptr), m_connection(port, *this, options) {
    SetUpWindow();
    m_connection.Start();
}

CCorvaneProgPanelDlg::~CCorvaneProgPanelDlg() {
    // The worker reads the link's records and the pages the controller's block: it goes first.
    m_connection.Stop();
    m_pages.fill(nullptr);
    m_throttlePage.reset();
    m_timingPage.reset();
    m_settingPage.reset();
    m_brakePage.reset();
}

void CCorvaneProgPanelDlg::SetUpWindow() {
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    setWindowTitle(QStringLiteral("Corvane ESC Programmer"));
    // The installed theme's icon where there is one, else the built-in one.
    QIcon builtIn;
    builtIn.addFile(QStringLiteral(":/icons/48x48/corvane-progpanel.png"));
    builtIn.addFile(QStringLiteral(":/icons/128x128/corvane-progpanel.png"));
    setWindowIcon(QIcon::fromTheme(QStringLiteral("corvane-progpanel"), builtIn));
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFixedSize(layout::kFaceSize);

    // The areas in the order Tab walks them, ahead of every other child.
    for (HotArea area : layout::kHotAreaKeyOrder) {
        auto* spot = new CSkinHotSpot(QString::fromUtf8(layout::kHotAreaNames[area]),
                                      QAccessible::Button, this);
        spot->Place(layout::KeyRingArea(area));
        connect(spot, &CSkinHotSpot::Activated, this, [this, area] {
            if (m_connection.IsHotAreaLive(area)) {
                OnHotAreaPressed(area);
            }
        });
        m_spots[area] = spot;
    }
    // As its tooltip does.
    m_spots[HotWriteButton]->SetDescription([this] { return ChangesText(); });

    m_settingsMenu = new QMenu(this);
    QAction* save = m_settingsMenu->addAction(QString::fromUtf8(text::kSaveSettingsAction));
    QAction* load = m_settingsMenu->addAction(QString::fromUtf8(text::kLoadSettingsAction));
    save->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    load->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    // Added to the window too, so that the keys work without the menu open.
    addActions({save, load});
    connect(save, &QAction::triggered, this, [this] { m_connection.Files().Save(); });
    connect(load, &QAction::triggered, this, [this] { m_connection.Files().Load(); });

    m_statusList = new QListWidget(this);
    m_statusList->setAccessibleName(QStringLiteral("Status"));
    m_statusList->setObjectName(QStringLiteral("statusList"));
    m_statusList->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_statusList->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_statusList->setFocusPolicy(Qt::NoFocus);
    // The lines are read, not picked: a click selects nothing.
    m_statusList->setSelectionMode(QAbstractItemView::NoSelection);
    // A line wider than the list (the access notice names its fix) wraps rather than being
    // cut, and the newest line stays in view even below a wrapped one.
    m_statusList->setWordWrap(true);
    m_statusList->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    // The face paints the list's frame (kStatusList); the lines fill what lies inside it below
    // a small margin. The newest line sits on the bottom edge: with an inner height that is
    // not a whole number of lines, the oldest line in view would be cut through the middle, so
    // the margin above takes what is left over, measured in the font this machine has.
    m_statusList->setStyleSheet(
        QStringLiteral("QListWidget { background: %1; color: #e6edf3; border: none;"
                       " font: 9pt 'DejaVu Sans Condensed'; }"
                       "QListWidget::item { padding: 0px 2px; }")
            .arg(QColor(kStatusBackground).name()));
    m_statusList->ensurePolished();
    QRect lines = layout::kStatusList.adjusted(1, 1 + 2, -1, -1); // the frame, the margin
    if (const int line = m_statusList->fontMetrics().lineSpacing(); line > 0) {
        lines.setTop(lines.top() + lines.height() % line);
    }
    m_statusList->setGeometry(lines);

    m_statusList->installEventFilter(this);

    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QStringLiteral("progress"));
    m_progress->setAccessibleName(QStringLiteral("Firmware Update Progress"));
    m_progress->setGeometry(layout::kProgressBar);
    m_progress->setTextVisible(false);
    m_progress->setStyleSheet(
        QStringLiteral(
            "QProgressBar { background: #0d1117; border: 1px solid #30363d; border-radius: 3px; }"
            "QProgressBar::chunk { background: %1; border-radius: 2px; }")
            .arg(QColor(layout::kAccent).name()));
    m_progress->installEventFilter(this);
    // The sliders frame the keyboard's one in the highlight colour.
    QPalette accent = palette();
    accent.setColor(QPalette::Highlight, QColor(layout::kAccent));
    setPalette(accent);

    // The outline: a malformed region leaves the window rectangular.
    QFile regionFile(QStringLiteral(":/binary/%1.rgn").arg(layout::kOutlineRegionId));
    if (regionFile.open(QIODevice::ReadOnly)) {
        if (auto region = ParseRegionData(regionFile.readAll())) {
            setMask(region->translated(layout::kRegionOffset));
        }
    }
    // Wayland has no window shapes: there the mask only bounds where the pointer counts, and
    // at a fractional scale its rounded device pixels reach past the artwork's edge. A buffer
    // with an alpha channel, cleared before each paint, lets the artwork's own transparency
    // cut the outline exactly at any scale.
    if (QGuiApplication::platformName().startsWith(QLatin1String("wayland"))) {
        setAttribute(Qt::WA_TranslucentBackground);
    }
    m_hotArea = HotNone;
    SelectBackground();
    UpdateHotSpots();
    // The face itself holds the focus at first: no ring shows until Tab is pressed.
    setFocus(Qt::OtherFocusReason);
    move(0, 0);
}

void CCorvaneProgPanelDlg::UpdateHotSpots() {
    // Qt hands the keys of a control that goes dead or hidden to the next live one: Enter
    // would then press whatever that is (Close, say). They rest on the face instead.
    if (focusWidget() != this && focusWidget() != nullptr) {
        m_restingFocus = nullptr;
    }
    for (HotArea area : layout::kHotAreaKeyOrder) {
        CSkinHotSpot* spot = m_spots[area];
        const bool covered =
            m_currentPage != kNoPage && layout::kPageRect.intersects(layout::kHotAreas[area].hit);
        const bool live = m_connection.IsHotAreaLive(area);
        if (spot->hasFocus() && (covered || !live)) {
            m_restingFocus = spot;
            setFocus(Qt::OtherFocusReason);
        }
        spot->setVisible(!covered);
        spot->setEnabled(live);
    }
    if (m_restingFocus && m_restingFocus->isVisible() && m_restingFocus->isEnabled() &&
        (focusWidget() == this || focusWidget() == nullptr)) {
        m_restingFocus->setFocus(Qt::OtherFocusReason);
        m_restingFocus = nullptr;
    }
    for (QAction* action : m_settingsMenu->actions()) {
        action->setEnabled(m_connection.Files().Live());
    }
}

void CCorvaneProgPanelDlg::AddStatus(const QString& line) {
    // A list that grows without end slows the window down; the oldest lines go first.
    while (m_statusList->count() >= kMaxStatusLines) {
        delete m_statusList->takeItem(0);
    }
    m_statusList->addItem(line);
    m_statusList->scrollToBottom();
}

void CCorvaneProgPanelDlg::ClearStatus() {
    m_statusList->clear();
}

void CCorvaneProgPanelDlg::StartProgress(int lastBlock) {
    m_progress->setRange(0, lastBlock);
    m_progress->setValue(0);
}

void CCorvaneProgPanelDlg::ShowProgress(bool show) {
    m_progress->setVisible(show);
}

void CCorvaneProgPanelDlg::SetProgress(int value) {
    m_progress->setValue(value);
}

QString CCorvaneProgPanelDlg::ChooseUpgradeFile() {
    const FileRequest request{FileRequest::UpgradeFile, QString()};
    return m_fileChooser ? m_fileChooser(this, request) : AskForFile(this, request);
}

QString CCorvaneProgPanelDlg::ChooseSettingsFile(bool save, const QString& suggestedName) {
    const FileRequest request{save ? FileRequest::SaveSettings : FileRequest::OpenSettings,
                              suggestedName};
    return m_fileChooser ? m_fileChooser(this, request) : AskForFile(this, request);
}

QString CCorvaneProgPanelDlg::AskForFile(QWidget* parent, const FileRequest& request) {
    const QString settings = QString::fromUtf8(text::kSettingsFilter);
    switch (request.kind) {
    case FileRequest::SaveSettings:
        return QFileDialog::getSaveFileName(parent, QString(), request.suggestedName, settings);
    case FileRequest::OpenSettings:
        return QFileDialog::getOpenFileName(parent, QString(), QString(), settings);
    case FileRequest::UpgradeFile:
        break;
    }
    return QFileDialog::getOpenFileName(parent, QString(), QString(), text::kFirmwareFilter);
}

QMessageBox::StandardButton CCorvaneProgPanelDlg::Ask(QMessageBox::Icon icon,
                                                      const QString& caption, const QString& text,
                                                      QMessageBox::StandardButtons buttons,
                                                      QMessageBox::StandardButton defaultButton) {
    if (m_messageBox) {
        return m_messageBox(this, icon, caption, text, buttons);
    }
    QMessageBox box(icon, caption, text, buttons, this);
    if (defaultButton != QMessageBox::NoButton) {
        box.setDefaultButton(defaultButton);
    }
    const QPointer<QMessageBox> outer = m_openBox;
    m_openBox = &box;
    const auto answer = static_cast<QMessageBox::StandardButton>(box.exec());
    m_openBox = outer;
    return answer;
}

void CCorvaneProgPanelDlg::DismissQuestion() {
    if (m_openBox) {
        m_openBox->done(QMessageBox::No);
    }
}

void CCorvaneProgPanelDlg::done(int result) {
    if (!m_connection.ConfirmClose()) {
        return;
    }
    QDialog::done(result);
}

void CCorvaneProgPanelDlg::SelectBackground() {
    const size_t area = m_hotArea < HotAreaCount ? m_hotArea : 0;
    const auto id = static_cast<unsigned>(layout::kHotAreas[area].faceId);
    m_background = LoadPngResource(id);
    m_backgroundId = m_background ? id : 0;
}

void CCorvaneProgPanelDlg::InvalidateHotArea(int area) {
    if (area <= HotNone || area >= HotAreaCount) {
        return;
    }
    update(layout::kHotAreas[static_cast<size_t>(area)].label);
}

void CCorvaneProgPanelDlg::RestorePressedHighlight() {
    if (m_movedSinceClick) {
        return;
    }
    m_hotArea = m_pressedArea;
    SelectBackground();
    InvalidateHotArea(m_pressedArea);
    m_litArea = m_pressedArea;
}

void CCorvaneProgPanelDlg::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    // Under a shown page the face is not drawn; around it, it always is, for the veils.
    if (!m_drawBackground) {
        painter.setClipRegion(QRegion(rect()).subtracted(layout::kPageRect));
    }
    if (m_background) {
        m_background->Draw(painter, QPoint(0, 0));
    } else {
        painter.fillRect(rect(), Qt::black);
    }
    // The status list's frame, round the lines the list draws.
    painter.fillRect(layout::kStatusList, QColor(kStatusBackground));
    painter.setPen(QColor(kStatusFrame));
    painter.drawRect(layout::kStatusList.adjusted(0, 0, -1, -1));
    // What does nothing now looks it: a dark veil over each dead area.
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor::fromRgba(layout::kVeil));
    for (int area = HotNone + 1; area < HotAreaCount; ++area) {
        const QRect& veil = layout::kHotAreas[static_cast<size_t>(area)].veil;
        if (!veil.isEmpty() && !m_connection.IsHotAreaLive(area)) {
            const qreal radius = std::min(layout::kVeilRadius, veil.height() / 2);
            painter.drawRoundedRect(veil, radius, radius);
        }
    }
    // Changes wait to be written: an amber dot on the write button.
    if (ChangesWaiting()) {
        painter.setPen(QPen(QColor(13, 15, 18), 1.5));
        painter.setBrush(QColor(layout::kAccent));
        // Inset by half the pen, so the stroke stays inside what a change repaints.
        painter.drawEllipse(QRectF(layout::kChangeMarker).adjusted(0.75, 0.75, -0.75, -0.75));
    }
}

void CCorvaneProgPanelDlg::LiveAreasChanged() {
    // An area that went dead while lit does not stay lit under its veil; one that came alive
    // under the resting pointer lights up.
    if (m_litArea != HotNone && !m_connection.IsHotAreaLive(m_litArea)) {
        DropHighlight();
    }
    // A pointer that has rested on the face since before it was shown has sent no move.
    if (!m_pointer && QApplication::widgetAt(QCursor::pos()) == this) {
        m_pointer = mapFromGlobal(QCursor::pos());
    }
    if (m_pointer && !m_dragging) {
        TrackPointer(*m_pointer);
    }
    for (const layout::HotAreaPlace& place : layout::kHotAreas) {
        if (!place.veil.isEmpty()) {
            update(place.veil);
        }
    }
    update(layout::kChangeMarker);
    UpdateHotSpots();
}

void CCorvaneProgPanelDlg::contextMenuEvent(QContextMenuEvent* event) {
    OpenSettingsMenu(event->globalPos());
}

void CCorvaneProgPanelDlg::OpenSettingsMenu(QPoint global) {
    m_settingsMenu->exec(global);
}

bool CCorvaneProgPanelDlg::ChangesWaiting() const {
    return m_connection.ParamsLoaded() && !m_connection.Params().ParamsUnchanged();
}

QString CCorvaneProgPanelDlg::ChangesText() const {
    return ChangesWaiting() ? DescribeChanges(m_connection.Params()).join(QLatin1Char('\n'))
                            : QString();
}

bool CCorvaneProgPanelDlg::event(QEvent* event) {
    // However fast the pointer left, nothing stays lit behind it.
    if (event->type() == QEvent::Leave) {
        PointerLeft();
    }
    if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        const QRect write = layout::kHotAreas[HotWriteButton].hit;
        const QString changes = write.contains(help->pos()) ? ChangesText() : QString();
        if (changes.isEmpty()) {
            QToolTip::hideText();
        } else {
            QToolTip::showText(help->globalPos(), changes, this, write);
        }
        return true;
    }
    return QDialog::event(event);
}

uint8_t CCorvaneProgPanelDlg::LiveAreaAt(QPoint point) const {
    uint8_t found = HotNone;
    for (HotArea area : layout::kHotAreaTestOrder) {
        if (layout::kHotAreas[area].hit.contains(point) && m_connection.IsHotAreaLive(area)) {
            found = area;
        }
    }
    return found;
}

void CCorvaneProgPanelDlg::TrackPointer(QPoint point) {
    m_hotArea = LiveAreaAt(point);
    if (m_hotArea != m_litArea) {
        SelectBackground();
        InvalidateHotArea(m_litArea);
        InvalidateHotArea(m_hotArea);
        m_litArea = m_hotArea;
    }
}

void CCorvaneProgPanelDlg::mouseMoveEvent(QMouseEvent* event) {
    if (m_dragging) {
        move(event->globalPosition().toPoint() - m_dragOffset);
        return;
    }
    m_movedSinceClick = true;
    m_pointer = event->position().toPoint();
    TrackPointer(*m_pointer);
}

bool CCorvaneProgPanelDlg::eventFilter(QObject* watched, QEvent* event) {
    // The pointer went from the face onto a page, the status list or the progress bar: a
    // quick move may have skipped the face's pixels between, so it left the lit area here.
    if (event->type() == QEvent::Enter) {
        PointerLeft();
    }
    return QDialog::eventFilter(watched, event);
}

void CCorvaneProgPanelDlg::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        return;
    }
    const QPoint at = event->position().toPoint();
    // The area under the press, not the one the last move lit: an area may have come alive
    // under a pointer that has not moved since (a read ended, a box closed).
    m_pointer = at;
    TrackPointer(at);
    m_pressedArea = m_hotArea;
    m_movedSinceClick = false;
    const auto area = static_cast<HotArea>(m_hotArea);
    const bool onArea =
        std::any_of(layout::kHotAreas.begin(), layout::kHotAreas.end(),
                    [at](const layout::HotAreaPlace& p) { return p.hit.contains(at); });
    // A press on a live area acts; one on a dead area does nothing; one on the rest of the
    // face drags the window.
    if (area > HotNone && area < HotAreaCount && m_connection.IsHotAreaLive(area)) {
        OnHotAreaPressed(area);
        return;
    }
    if (onArea) {
        return;
    }
    QWindow* window = windowHandle();
    if (window == nullptr || !window->startSystemMove()) {
        m_dragging = true;
        m_dragOffset = event->globalPosition().toPoint() - pos();
    }
}

void CCorvaneProgPanelDlg::mouseReleaseEvent(QMouseEvent*) {
    m_dragging = false;
}

void CCorvaneProgPanelDlg::DropHighlight() {
    m_hotArea = HotNone;
    SelectBackground();
    InvalidateHotArea(m_litArea);
    m_litArea = HotNone;
}

void CCorvaneProgPanelDlg::PointerLeft() {
    m_pointer.reset();
    if (m_litArea != HotNone) {
        DropHighlight();
    }
}

void CCorvaneProgPanelDlg::OnHotAreaPressed(HotArea area) {
    switch (area) {
    case HotCloseButton:
        done(QDialog::Rejected);
        break;
    case HotHomeButton:
        SelectPage(kNoPage);
        break;
    case HotSettingsTile:
    case HotThrottleTile:
    case HotTimingTile:
    case HotBrakesTile: {
        m_litArea = HotNone;
        const auto tile = std::find(layout::kPageTiles.begin(), layout::kPageTiles.end(), area);
        SelectPage(static_cast<int>(tile - layout::kPageTiles.begin()));
        break;
    }
    case HotFirmwareUpdate:
        DropHighlight();
        m_connection.Firmware().Start();
        break;
    case HotWriteButton:
        StoreAllPages();
        DropHighlight();
        m_connection.UpdateParameters();
        break;
    default:
        break;
    }
}

void CCorvaneProgPanelDlg::keyPressEvent(QKeyEvent* event) {
    // Enter and Esc neither end the window nor move the focus.
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
        event->accept();
        return;
    case Qt::Key_F10:
    case Qt::Key_Menu:
        // The settings menu, at the control that has the keys, as a right click there opens it.
        if (event->key() == Qt::Key_Menu || event->modifiers() == Qt::ShiftModifier) {
            const QWidget* at = focusWidget() != nullptr ? focusWidget() : this;
            OpenSettingsMenu(at->mapToGlobal(at->rect().center()));
            event->accept();
            return;
        }
        break;
    default:
        QDialog::keyPressEvent(event);
    }
}

} // namespace corvane
