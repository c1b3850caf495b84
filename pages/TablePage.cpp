#include "TablePage.h"

namespace corvane {

CTablePage::CTablePage(QWidget* parent, PageHost* host, int index, unsigned backgroundPng,
                       std::span<const ControlRow> rows)
    : CPageBase(parent, host), m_index(index), m_backgroundPng(backgroundPng), m_controls(rows) {
    OnInitDialog();
}

CGdiPlusBitmapResource* CTablePage::LoadBackground() {
    return SetBackground(m_backgroundPng);
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
