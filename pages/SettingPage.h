// The five switch-like parameters: voltage cutoff, thermal protection, motor direction, drive
// mode and neutral width. No value displays: the marks on the artwork tell the value.
#pragma once

#include "TablePage.h"

namespace corvane {

class CSettingPage : public CTablePage {
    Q_OBJECT

public:
    static constexpr ParamPage kPage = ParamPage::Settings;

    CSettingPage(QWidget* parent, PageHost* host);
};

} // namespace corvane
