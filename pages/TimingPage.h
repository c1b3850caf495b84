// The boost and turbo settings: five sliders, each with its value shown beneath.
#pragma once

#include "TablePage.h"

namespace corvane {

class CTimingPage : public CTablePage {
    Q_OBJECT

public:
    static constexpr ParamPage kPage = ParamPage::Timing;

    CTimingPage(QWidget* parent, PageHost* host);
};

} // namespace corvane
