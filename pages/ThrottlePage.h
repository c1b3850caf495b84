// Start power as a five-mark switch, and throttle curve, current limiter and coast as
// sliders with their values shown beneath.
#pragma once

#include "TablePage.h"

namespace corvane {

class CThrottlePage : public CTablePage {
    Q_OBJECT

public:
    static constexpr int kIndex = 1;

    CThrottlePage(QWidget* parent, PageHost* host);
};

} // namespace corvane
