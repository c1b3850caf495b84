#include "TabBar.h"

#include "PageHost.h"
#include "SkinLayout.h"

namespace corvane {

int TabAt(QPoint point) {
    if (point.y() < layout::kTabTop || point.y() > layout::kTabBottom) {
        return PageHost::kNoPage;
    }
    for (size_t page = 0; page < layout::kPanels.size(); ++page) {
        if (point.x() >= layout::kPanels[page].tabLeft &&
            point.x() <= layout::kPanels[page].tabRight) {
            return static_cast<int>(page);
        }
    }
    return PageHost::kNoPage;
}

} // namespace corvane
