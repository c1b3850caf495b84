// When the dongle is plugged in but its hidraw node refuses us (no udev rule yet), the user
// is told once per plug-in what to do. Searches happen at start-up and on every hidraw
// arrival, including other devices', so the same refusal is seen many times; only a removal
// of a device with the dongle's IDs, or the dongle opening, ends that plug-in.
#pragma once

#include <string>

namespace corvane {

class AccessNotice {
public:
    // After a search for the dongle: true when the access line is to be added now.
    bool AfterSearch(bool opened, bool denied);
    // A removal notice for the device at path (a syspath or devpath).
    void OnRemoval(const std::string& path);

private:
    bool m_shown = false;
};

} // namespace corvane
