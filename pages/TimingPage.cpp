#include "TimingPage.h"

namespace corvane {

CTimingPage::CTimingPage(QWidget* parent, PageHost* host) : CTablePage(parent, host, kPage) {}

} // namespace corvane
