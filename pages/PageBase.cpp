#include "PageBase.h"

#include "SkinHotSpot.h"
#include "TabBar.h"

#include <QMouseEvent>
#include <QPainter>

namespace corvane {

CPageBase::CPageBase(QWidget* parent, PageHost* host) : QWidget(parent), m_host(host) {
    // The image covers the whole page, so nothing needs erasing before it is drawn.
    setAttribute(Qt::WA_OpaquePaintEvent);
    // The main window has hot areas under the page; a click the page does not use must not
    // reach them.
    setAttribute(Qt::WA_NoMousePropagation);
    // Explicitly, so that the page also stays hidden when its parent is shown later.
    setVisible(false);
    resize(kPageSize);
}

CPageBase::~CPageBase() = default;

void CPageBase::OnInitDialog() {
    // The tab headings first: Tab reaches them ahead of the sliders.
    for (int page = 0; page < layout::kPageCount; ++page) {
        const layout::PanelPlace& panel = layout::kPanels[static_cast<size_t>(page)];
        const HotArea tile = layout::kPageTiles[static_cast<size_t>(page)];
        auto* tab = new CSkinHotSpot(QString::fromUtf8(layout::kHotAreaNames[tile]),
                                     QAccessible::PageTab, this);
        tab->Place(QRect(QPoint(panel.tabLeft, layout::kTabTop),
                         QPoint(panel.tabRight, layout::kTabBottom)));
        tab->SetSelected(page == PageIndex());
        // The heading of the page already shown does nothing.
        connect(tab, &CSkinHotSpot::Activated, this, [this, page] {
            if (m_host != nullptr && page != PageIndex()) {
                m_host->SelectPage(page);
            }
        });
        m_tabs[static_cast<size_t>(page)] = tab;
    }
    CreateControls();
    resize(BackgroundSize());
}

void CPageBase::FocusOwnTab() {
    m_tabs[static_cast<size_t>(PageIndex())]->setFocus(Qt::TabFocusReason);
}

CSkinHotSpot* CPageBase::Tab(int page) const {
    return page >= 0 && page < layout::kPageCount ? m_tabs[static_cast<size_t>(page)] : nullptr;
}

void CPageBase::ShowPage(bool show) {
    if (show) {
        LoadParams();
    }
    setVisible(show);
}

QSize CPageBase::BackgroundSize() const {
    return m_pBackground ? m_pBackground->Size() : kPageSize;
}

CGdiPlusBitmapResource* CPageBase::SetBackground(unsigned pngId) {
    m_pBackground = LoadPngResource(pngId);
    update();
    return m_pBackground.get();
}

void CPageBase::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    // The page is opaque, so whatever the image leaves uncovered would show stale pixels.
    if (!m_pBackground || !QRect(QPoint(0, 0), m_pBackground->Size()).contains(rect())) {
        painter.fillRect(rect(), Qt::black);
    }
    if (m_pBackground) {
        m_pBackground->Draw(painter, QPoint(0, 0));
    }
}

void CPageBase::mousePressEvent(QMouseEvent* event) {
    event->accept();
    if (event->button() != Qt::LeftButton || m_host == nullptr) {
        return;
    }
    const int tab = TabAt(event->position().toPoint());
    // The heading of the page already shown does nothing.
    if (tab != PageHost::kNoPage && tab != PageIndex()) {
        m_host->SelectPage(tab);
    }
}

} // namespace corvane
