// Start power as a five-mark switch, and throttle curve, current limiter and coast as
// sliders with their values shown beneath.
#pragma once

#include "PageBase.h"
#include "PageControls.h"

namespace corvane {

class CThrottlePage : public CPageBase {
    Q_OBJECT

public:
    static constexpr int kIndex = 1;

    CThrottlePage(QWidget* parent, PageHost* host);

    void StoreParams() override;
    CGdiPlusBitmapResource* LoadBackground() override;
    void CreateControls() override;
    void LoadParams() override;
    int PageIndex() const override { return kIndex; }

private:
    PageControls m_controls;
};

} // namespace corvane
