// The five switch-like parameters: voltage cutoff, thermal protection, motor direction, drive
// mode and neutral width. No value displays: the marks on the artwork tell the value.
#pragma once

#include "PageBase.h"
#include "PageControls.h"

namespace corvane {

class CSettingPage : public CPageBase {
    Q_OBJECT

public:
    static constexpr int kIndex = 0;

    CSettingPage(QWidget* parent, PageHost* host);

    void StoreParams() override;
    CGdiPlusBitmapResource* LoadBackground() override;
    void CreateControls() override;
    void LoadParams() override;
    int PageIndex() const override { return kIndex; }

private:
    PageControls m_controls;
};

} // namespace corvane
