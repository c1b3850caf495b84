// The pages' life: created over the page site, shown, switched and stored.
#include "CCorvaneProgPanelDlg.h"
#include "Pages.h"
#include "SkinHotSpot.h"
#include "SkinLayout.h"

namespace corvane {

CPageBase* CCorvaneProgPanelDlg::Page(int index) const {
    return index >= 0 && index < layout::kPageCount ? m_pages[static_cast<size_t>(index)] : nullptr;
}

void CCorvaneProgPanelDlg::CreatePages(bool create) {
    if (create) {
        if (m_pagesExist) {
            return;
        }
        m_brakePage = std::make_unique<CBrakePage>(this, &m_pageSite);
        m_settingPage = std::make_unique<CSettingPage>(this, &m_pageSite);
        m_timingPage = std::make_unique<CTimingPage>(this, &m_pageSite);
        m_throttlePage = std::make_unique<CThrottlePage>(this, &m_pageSite);
        const QRect place(layout::kPageRect.topLeft(), m_brakePage->BackgroundSize());
        for (CPageBase* page :
             std::array<CPageBase*, 4>{m_brakePage.get(), m_settingPage.get(), m_timingPage.get(),
                                       m_throttlePage.get()}) {
            page->setGeometry(place);
            page->setAccessibleName(QStringLiteral("%1 page").arg(
                layout::kHotAreaNames[layout::kPageTiles[static_cast<size_t>(page->PageIndex())]]));
            page->hide();
            page->installEventFilter(this);
            m_pages[static_cast<size_t>(page->PageIndex())] = page;
        }
        m_pagesExist = true;
        for (CPageBase* page : m_pages) {
            page->LoadParams();
        }
        return;
    }
    if (m_pagesExist) {
        for (CPageBase* page : m_pages) {
            page->ShowPage(false);
        }
        m_pages.fill(nullptr);
        m_settingPage.reset();
        m_throttlePage.reset();
        m_timingPage.reset();
        m_brakePage.reset();
        m_pagesExist = false;
    }
    m_hotArea = HotNone;
    m_litArea = HotNone;
    SelectBackground();
    update();
    m_currentPage = kNoPage;
    UpdateHotSpots();
}

void CCorvaneProgPanelDlg::ReloadPages() {
    const int shown = m_currentPage;
    CreatePages(false);
    CreatePages(true);
    if (shown != kNoPage) {
        SelectPage(shown);
    }
    update(layout::kChangeMarker);
}

void CCorvaneProgPanelDlg::StoreAllPages() {
    if (!m_pagesExist) {
        return;
    }
    m_brakePage->StoreParams();
    m_settingPage->StoreParams();
    m_timingPage->StoreParams();
    m_throttlePage->StoreParams();
}

void CCorvaneProgPanelDlg::SelectPage(int index) {
    if (!m_pagesExist || (index != kNoPage && (index < 0 || index >= layout::kPageCount))) {
        return;
    }
    if (index != kNoPage) {
        m_drawBackground = false;
        m_pages[static_cast<size_t>(index)]->ShowPage(true);
    }
    if (m_currentPage != kNoPage) {
        CPageBase* current = m_pages[static_cast<size_t>(m_currentPage)];
        current->StoreParams();
        current->ShowPage(false);
    }
    // The keys go on from the new page's own tab, however it was opened: no slider is chosen
    // until a click or Tab chooses it.
    const bool byKeys = qobject_cast<CSkinHotSpot*>(focusWidget()) != nullptr;
    m_currentPage = index;
    m_drawBackground = true;
    UpdateHotSpots();
    if (index != kNoPage) {
        m_pages[static_cast<size_t>(index)]->FocusOwnTab();
    } else if (!byKeys) {
        setFocus(Qt::OtherFocusReason);
    }
}

} // namespace corvane
