#include "BrakePage.h"

namespace corvane {

CBrakePage::CBrakePage(QWidget* parent, PageHost* host) : CTablePage(parent, host, kPage) {}

} // namespace corvane
