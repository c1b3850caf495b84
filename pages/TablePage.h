// A page made from its panel image and the controls the skin layout places on it: what all
// four parameter pages are. Loading, storing and building are shared.
#pragma once

#include "PageBase.h"
#include "PageControls.h"
#include "ParamInfo.h"

namespace corvane {

class CTablePage : public CPageBase {
    Q_OBJECT

public:
    void StoreParams() override;
    CGdiPlusBitmapResource* LoadBackground() override;
    void CreateControls() override;
    void LoadParams() override;
    int PageIndex() const override { return static_cast<int>(m_page); }

protected:
    // Builds the controls at once.
    CTablePage(QWidget* parent, PageHost* host, ParamPage page);

private:
    ParamPage m_page;
    PageControls m_controls;
};

} // namespace corvane
