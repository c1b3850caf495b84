#include "SettingPage.h"

namespace corvane {

CSettingPage::CSettingPage(QWidget* parent, PageHost* host) : CTablePage(parent, host, kPage) {}

} // namespace corvane
