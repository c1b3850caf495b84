// Naming of hidraw devices in sysfs: the listing of the hidraw class in a stable order, and
// the one form of device path the port keeps and compares: the syspath, the resolved sysfs
// directory of the hidraw device (".../0003:10C4:82FC.0007/hidraw/hidraw3" under the sysfs
// mount), which is also what udev reports as a device's syspath.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace corvane {

// The syspath of entry `index` of <sysfsRoot>/class/hidraw in natural order (hidraw2 before
// hidraw10), so that an index means the same device from one walk to the next; empty past
// the last entry.
std::string HidrawDeviceAt(const std::string& sysfsRoot, size_t index);

// A path as udev or a caller gives it, in syspath form: a devpath ("/devices/...") gets the
// sysfs mount in front, and trailing slashes go.
std::string ToSyspath(const std::string& path, const std::string& sysfsRoot);

// The device node name of a hidraw syspath ("hidraw3"), or empty when the path does not end
// in a hidraw device, so that no other /dev node is ever opened.
std::string HidrawNodeName(const std::string& syspath);

// Whether the HID device a hidraw path belongs to, named "<bus>:<vendor>:<product>.<instance>"
// as in ".../0003:10C4:82FC.0007/hidraw/hidraw3", has these IDs in those fields (each as the
// kernel writes it, upper case, or in lower case): a device whose name merely holds both
// numbers elsewhere is not taken for ours.
bool PathNamesIds(const std::string& path, uint16_t vendor, uint16_t product);

// Whether a < b with runs of digits compared by value.
bool NaturalLess(const std::string& a, const std::string& b);

} // namespace corvane
