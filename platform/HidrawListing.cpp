#include "HidrawListing.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <system_error>
#include <vector>

namespace corvane {

namespace fs = std::filesystem;

namespace {

bool IsDigit(char c) {
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

// One hexadecimal field of the HID device's name, as the kernel writes it (upper case) or
// in lower case; an ID written in mixed case does not count.
bool FieldIs(const std::string& field, uint16_t id) {
    char lower[8], upper[8];
    std::snprintf(lower, sizeof lower, "%04x", id);
    std::snprintf(upper, sizeof upper, "%04X", id);
    return field == lower || field == upper;
}

} // namespace

bool NaturalLess(const std::string& a, const std::string& b) {
    size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (IsDigit(a[i]) && IsDigit(b[j])) {
            size_t endA = i, endB = j;
            while (endA < a.size() && IsDigit(a[endA])) {
                ++endA;
            }
            while (endB < b.size() && IsDigit(b[endB])) {
                ++endB;
            }
            // Compare by value without converting, so that long runs cannot overflow.
            size_t startA = i, startB = j;
            while (startA + 1 < endA && a[startA] == '0') {
                ++startA;
            }
            while (startB + 1 < endB && b[startB] == '0') {
                ++startB;
            }
            if (endA - startA != endB - startB) {
                return endA - startA < endB - startB;
            }
            int order = a.compare(startA, endA - startA, b, startB, endB - startB);
            if (order != 0) {
                return order < 0;
            }
            i = endA;
            j = endB;
        } else if (a[i] != b[j]) {
            return a[i] < b[j];
        } else {
            ++i;
            ++j;
        }
    }
    if (a.size() - i != b.size() - j) {
        return a.size() - i < b.size() - j;
    }
    return a < b; // "hidraw01" and "hidraw1" still get a fixed order
}

std::string HidrawDeviceAt(const std::string& sysfsRoot, size_t index) {
    std::vector<std::string> names;
    std::error_code error;
    const fs::path classDir = fs::path(sysfsRoot) / "class" / "hidraw";
    for (fs::directory_iterator it(classDir, error), end; !error && it != end;
         it.increment(error)) {
        names.push_back(it->path().filename().string());
    }
    if (index >= names.size()) {
        return {};
    }
    std::sort(names.begin(), names.end(), NaturalLess);
    // A device that vanished mid-walk keeps its class name; that carries no IDs, so the
    // device is skipped instead of ending the walk early.
    const fs::path entry = classDir / names[index];
    fs::path resolved = fs::canonical(entry, error);
    return error ? entry.string() : resolved.string();
}

std::string ToSyspath(const std::string& path, const std::string& sysfsRoot) {
    std::string result = path;
    while (result.size() > 1 && result.back() == '/') {
        result.pop_back();
    }
    if (result.rfind("/devices/", 0) == 0) {
        std::string root = sysfsRoot;
        while (!root.empty() && root.back() == '/') {
            root.pop_back();
        }
        result = root + result;
    }
    return result;
}

std::string HidrawNodeName(const std::string& syspath) {
    const std::string name = fs::path(syspath).filename().string();
    const std::string prefix = "hidraw";
    if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0 ||
        !std::all_of(name.begin() + prefix.size(), name.end(), IsDigit)) {
        return {};
    }
    return name;
}

bool PathNamesIds(const std::string& path, uint16_t vendor, uint16_t product) {
    const size_t hidraw = path.rfind("/hidraw/");
    if (hidraw == std::string::npos || hidraw == 0) {
        return false;
    }
    const size_t start = path.rfind('/', hidraw - 1) + 1; // npos + 1 is 0
    const std::string name = path.substr(start, hidraw - start);
    if (name.size() != 19 || name[4] != ':' || name[9] != ':' || name[14] != '.') {
        return false;
    }
    return FieldIs(name.substr(5, 4), vendor) && FieldIs(name.substr(10, 4), product);
}

} // namespace corvane
