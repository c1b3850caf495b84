#include "UpgradeFileSource.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "FileReason.h"

namespace corvane {

namespace {

UpgradeFileOpen Refuse(UpgradeFileOpen result, FileRefusal* why, int error, std::string reason) {
    if (why != nullptr) {
        why->error = error;
        why->reason = error != 0 ? SystemReason(error) : std::move(reason);
    }
    return result;
}

UpgradeFileOpen TooLarge(FileRefusal* why, uint64_t maxSize) {
    return Refuse(UpgradeFileOpen::TooLarge, why, 0,
                  "Larger than " + std::to_string(maxSize) + " bytes");
}

UpgradeFileOpen ReadOpened(int fd, uint64_t maxSize, std::string& bytes, FileRefusal* why) {
    // The descriptor, not the path, is checked: the path may be swapped after the open.
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        return Refuse(UpgradeFileOpen::CannotOpen, why, errno, {});
    }
    if (!S_ISREG(info.st_mode)) {
        return Refuse(UpgradeFileOpen::NotAFile, why, 0, NotRegularFileReason(info.st_mode));
    }
    if (info.st_size < 0 || static_cast<uint64_t>(info.st_size) > maxSize) {
        return TooLarge(why, maxSize);
    }
    // One byte of room past the limit tells a file that grew since fstat from one that fits.
    bytes.resize(maxSize + 1);
    size_t have = 0;
    while (have < bytes.size()) {
        const ssize_t got = ::read(fd, bytes.data() + have, bytes.size() - have);
        if (got == 0) {
            break;
        }
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            return Refuse(UpgradeFileOpen::CannotOpen, why, errno, {});
        }
        have += static_cast<size_t>(got);
    }
    if (have > maxSize) {
        return TooLarge(why, maxSize);
    }
    bytes.resize(have);
    return UpgradeFileOpen::Opened;
}

} // namespace

UpgradeFileOpen ReadUpgradeFileBytes(const std::string& path, std::string& bytes) {
    return ReadRegularFileBytes(path, kMaxUpgradeFileSize, bytes);
}

UpgradeFileOpen ReadRegularFileBytes(const std::string& path, uint64_t maxSize, std::string& bytes,
                                     FileRefusal* why) {
    bytes.clear();
    // Opening a device node can itself do something (a serial line changes its control
    // lines): anything the path already shows is not a regular file is never opened.
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        return Refuse(UpgradeFileOpen::CannotOpen, why, errno, {});
    }
    if (!S_ISREG(info.st_mode)) {
        return Refuse(UpgradeFileOpen::NotAFile, why, 0, NotRegularFileReason(info.st_mode));
    }
    // Non-blocking so that a FIFO put in the file's place since opens at once instead of
    // waiting for a writer; a regular file reads the same either way.
    int fd = -1;
    do {
        fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        return Refuse(UpgradeFileOpen::CannotOpen, why, errno, {});
    }
    const UpgradeFileOpen result = ReadOpened(fd, maxSize, bytes, why);
    ::close(fd);
    if (result != UpgradeFileOpen::Opened) {
        bytes.clear();
        bytes.shrink_to_fit();
    }
    return result;
}

} // namespace corvane
