#include "AccessNotice.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "LinkTypes.h"

namespace corvane {

namespace {

// The parent HID device in a hidraw path is named like "0003:10C4:82FC.0007".
bool NamesDongle(const std::string& path) {
    std::string upper(path.size(), '\0');
    std::transform(path.begin(), path.end(), upper.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    char ids[16];
    std::snprintf(ids, sizeof ids, ":%04X:%04X.", kDongleVendorId, kDongleProductId);
    return upper.find(ids) != std::string::npos;
}

} // namespace

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
    if (!NamesDongle(path)) {
        return false;
    }
    m_shown = {};
    return true;
}

} // namespace corvane
