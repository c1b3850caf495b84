// A page made from a table of controls over one panel image: what all four parameter pages
// are. A page names its panel, its tab and its rows; loading, storing and building are shared.
#pragma once

#include <span>

#include "PageBase.h"
#include "PageControls.h"

namespace corvane {

class CTablePage : public CPageBase {
    Q_OBJECT

public:
    void StoreParams() override;
    CGdiPlusBitmapResource* LoadBackground() override;
    void CreateControls() override;
    void LoadParams() override;
    int PageIndex() const override { return m_index; }

protected:
    // Builds the controls at once, so rows must outlive the page (the pages' tables are
    // constants).
    CTablePage(QWidget* parent, PageHost* host, int index, unsigned backgroundPng,
               std::span<const ControlRow> rows);

private:
    int m_index;
    unsigned m_backgroundPng;
    PageControls m_controls;
};

} // namespace corvane
