// Drag brake and brake strength: two sliders, each with its value shown beneath.
#pragma once

#include "TablePage.h"

namespace corvane {

class CBrakePage : public CTablePage {
    Q_OBJECT

public:
    static constexpr ParamPage kPage = ParamPage::Brakes;

    CBrakePage(QWidget* parent, PageHost* host);
};

} // namespace corvane
