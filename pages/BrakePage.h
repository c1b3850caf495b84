// Drag brake and brake strength: two sliders, each with its value shown beneath.
#pragma once

#include "TablePage.h"

namespace corvane {

class CBrakePage : public CTablePage {
    Q_OBJECT

public:
    static constexpr int kIndex = 3;

    CBrakePage(QWidget* parent, PageHost* host);
};

} // namespace corvane
