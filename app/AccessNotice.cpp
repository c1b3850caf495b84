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

bool AccessNotice::AfterSearch(bool opened, bool denied) {
    if (opened) {
        m_shown = false;
        return false;
    }
    if (!denied || m_shown) {
        return false;
    }
    m_shown = true;
    return true;
}

void AccessNotice::OnRemoval(const std::string& path) {
    if (NamesDongle(path)) {
        m_shown = false;
    }
}

} // namespace corvane
