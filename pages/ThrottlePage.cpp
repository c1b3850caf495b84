#include "ThrottlePage.h"

namespace corvane {

CThrottlePage::CThrottlePage(QWidget* parent, PageHost* host) : CTablePage(parent, host, kPage) {}

} // namespace corvane
