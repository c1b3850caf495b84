// Start power as a five-mark switch, and throttle curve, current limiter and coast as
// sliders with their values shown beneath.
#pragma once

#include "TablePage.h"

namespace corvane {

class CThrottlePage : public CTablePage {
    Q_OBJECT

public:
    static constexpr ParamPage kPage = ParamPage::Throttle;

    CThrottlePage(QWidget* parent, PageHost* host);
};

} // namespace corvane
