// The boost and turbo settings: five sliders, each with its value shown beneath.
#pragma once

#include "PageBase.h"
#include "PageControls.h"

namespace corvane {

class CTimingPage : public CPageBase {
    Q_OBJECT

public:
    static constexpr int kIndex = 2;

    CTimingPage(QWidget* parent, PageHost* host);

    void StoreParams() override;
    CGdiPlusBitmapResource* LoadBackground() override;
    void CreateControls() override;
    void LoadParams() override;
    int PageIndex() const override { return kIndex; }

private:
    PageControls m_controls;
};

} // namespace corvane
