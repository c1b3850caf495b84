#include "TabBar.h"

#include "PageHost.h"

#include <array>

namespace corvane {

namespace {

constexpr int kTabTop = 4;
constexpr int kTabBottom = 42;

struct TabSpan {
    int left;
    int right; // inclusive, like left
};

// Indexed by page; the artwork draws the headings over exactly these columns.
constexpr std::array<TabSpan, 4> kTabs{{{3, 94}, {99, 192}, {198, 274}, {279, 358}}};

} // namespace

int TabAt(QPoint point) {
    if (point.y() < kTabTop || point.y() > kTabBottom) {
        return PageHost::kNoPage;
    }
    for (size_t page = 0; page < kTabs.size(); ++page) {
        if (point.x() >= kTabs[page].left && point.x() <= kTabs[page].right) {
            return static_cast<int>(page);
        }
    }
    return PageHost::kNoPage;
}

} // namespace corvane
