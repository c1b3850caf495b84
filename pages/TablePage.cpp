#include "TablePage.h"

#include "SkinLayout.h"

namespace corvane {

CTablePage::CTablePage(QWidget* parent, PageHost* host, ParamPage page)
    : CPageBase(parent, host), m_page(page), m_controls(layout::ControlsOn(page)) {
    OnInitDialog();
}

CGdiPlusBitmapResource* CTablePage::LoadBackground() {
    return SetBackground(static_cast<unsigned>(layout::PanelOf(m_page).imageId));
}

void CTablePage::CreateControls() {
    LoadBackground();
    m_controls.Create(this, Host());
}

void CTablePage::LoadParams() {
    m_controls.Load(Host());
}

void CTablePage::StoreParams() {
    m_controls.Store(Host());
}

} // namespace corvane
