#include "AccessNotice.h"

#include "HidrawListing.h"
#include "LinkTypes.h"

namespace corvane {

AccessNotice::Lines AccessNotice::AfterSearch(bool opened, bool denied, bool inUse) {
    if (opened) {
        m_shown = {};
        return {};
    }
    Lines now;
    now.denied = denied && !m_shown.denied;
    now.inUse = inUse && !m_shown.inUse;
    m_shown.denied = m_shown.denied || denied;
    m_shown.inUse = m_shown.inUse || inUse;
    return now;
}

bool AccessNotice::OnRemoval(const std::string& path) {
    if (!PathNamesIds(path, kDongleVendorId, kDongleProductId)) {
        return false;
    }
    m_shown = {};
    return true;
}

} // namespace corvane
