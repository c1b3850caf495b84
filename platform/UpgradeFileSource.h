// Reading the upgrade file (or a settings file) the user picked, so that no path can stall or
// flood the window: a FIFO with no writer, a device that never ends, or a file far larger
// than any upgrade.
#pragma once

#include <cstdint>
#include <string>

#include "UpgradeFile.h"

namespace corvane {

// The longest header (with its block count) followed by the largest payload a transfer can
// count. A longer file cannot be a valid upgrade, so it is refused before it is read.
constexpr uint32_t kLongestUpgradeHeader = 9;
constexpr uint64_t kMaxUpgradeFileSize = kLongestUpgradeHeader + kMaxFirmwarePayload;

enum class UpgradeFileOpen { Opened, CannotOpen, NotAFile, TooLarge };

// Opened: `bytes` holds the whole regular file at `path`, symbolic links followed. Otherwise
// `bytes` is empty: anything but a regular file is refused unread and without waiting, and a
// failed read counts as CannotOpen.
UpgradeFileOpen ReadUpgradeFileBytes(const std::string& path, std::string& bytes);
// Why a file was not read: the failing call's errno (0 when the file was refused for what it
// is), and the reason in the system's words or what stands at the path instead.
struct FileRefusal {
    int error = 0;
    std::string reason;
};

// The same for any file the user picks, with its own limit (TooLarge past maxSize bytes).
UpgradeFileOpen ReadRegularFileBytes(const std::string& path, uint64_t maxSize, std::string& bytes,
                                     FileRefusal* why = nullptr);

} // namespace corvane
