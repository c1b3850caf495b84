// Drag brake and brake strength: two sliders, each with its value shown beneath.
#pragma once

#include "PageBase.h"
#include "PageControls.h"

namespace corvane {

class CBrakePage : public CPageBase {
    Q_OBJECT

public:
    static constexpr int kIndex = 3;

    CBrakePage(QWidget* parent, PageHost* host);

    void StoreParams() override;
    CGdiPlusBitmapResource* LoadBackground() override;
    void CreateControls() override;
    void LoadParams() override;
    int PageIndex() const override { return kIndex; }

private:
    PageControls m_controls;
};

} // namespace corvane
