// When the dongle is plugged in but its hidraw node refuses us (no udev rule yet), or another
// program holds it, the user is told once per plug-in. Searches happen at start-up, on every
// hidraw arrival (other devices' too) and on every retry while the dongle is held elsewhere,
// so the same refusal is seen many times; only a removal of a device with the dongle's IDs,
// or the dongle opening, ends that plug-in.
#pragma once

#include <string>

namespace corvane {

class AccessNotice {
public:
    struct Lines {
        bool denied = false;
        bool inUse = false;
    };
    // After a search for the dongle: which lines are to be added now.
    Lines AfterSearch(bool opened, bool denied, bool inUse);
    // A removal notice for the device at path (a syspath or devpath); true when it has the
    // dongle's IDs, and so ends a plug-in.
    bool OnRemoval(const std::string& path);

private:
    Lines m_shown;
};

} // namespace corvane
