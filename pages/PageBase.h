// What the four parameter pages share: a child window over the main window's content area
// that paints one full-page image, switches pages through the tab headings printed on it,
// and copies its controls' positions from and to the parameter block on request.
#pragma once

#include "GdiPlusBitmap.h"
#include "PageHost.h"
#include "SkinLayout.h"

#include <QSize>
#include <QWidget>
#include <array>
#include <memory>

namespace corvane {

class CSkinHotSpot;

class CPageBase : public QWidget {
    Q_OBJECT

public:
    // The size of every page, used while a page has no background to take it from.
    static constexpr QSize kPageSize = layout::kPageSize;

    // The page starts hidden; host may be null, which leaves every control unbound and
    // every tab click unanswered.
    CPageBase(QWidget* parent, PageHost* host);
    ~CPageBase() override;

    // Showing loads the controls from the block first; hiding stores nothing.
    virtual void ShowPage(bool show);
    virtual void StoreParams() = 0;
    virtual CGdiPlusBitmapResource* LoadBackground() = 0;
    virtual void CreateControls() = 0;
    virtual void LoadParams() {}

    // The page's index in the main window's page list, which is also its tab.
    virtual int PageIndex() const = 0;

    // The background image's size, or kPageSize while there is none.
    QSize BackgroundSize() const;

    // The keyboard's focus goes to this page's own tab heading.
    void FocusOwnTab();
    // The tab headings' stand-ins for the keyboard and screen readers, by page.
    CSkinHotSpot* Tab(int page) const;

protected:
    // Qt has no creation hook that could reach an override, so each page's constructor ends
    // by calling this: it builds the controls and sizes the page to its image.
    void OnInitDialog();

    // Replaces the background with the image; null, and nothing painted, if it will not load.
    CGdiPlusBitmapResource* SetBackground(unsigned pngId);

    PageHost* Host() const { return m_host; }

    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    PageHost* m_host;
    std::unique_ptr<CGdiPlusBitmapResource> m_pBackground;
    std::array<CSkinHotSpot*, layout::kPageCount> m_tabs{}; // owned as children
};

} // namespace corvane
