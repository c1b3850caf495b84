#include "WholeFileWrite.h"

#include "FileReason.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace corvane {

namespace {

// The folder a file lives in, as a path that can be opened.
std::string FolderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

// A name beside `target` that nothing else uses, created empty and open for writing. The mode
// lets the umask decide, as for any new file.
int CreateBeside(const std::string& target, std::string& name, int& error) {
    static std::atomic<unsigned> counter{0};
    const std::string folder = FolderOf(target);
    const std::string base = target.substr(target.rfind('/') + 1);
    for (int attempt = 0; attempt < 100; ++attempt) {
        const auto tick = std::chrono::steady_clock::now().time_since_epoch().count();
        name = folder + "/." + base + "." + std::to_string(::getpid()) + "-" +
               std::to_string(counter++) + "-" + std::to_string(tick % 1000000) + ".tmp";
        const int fd =
            ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0666);
        if (fd >= 0 || errno != EEXIST) {
            error = errno;
            return fd;
        }
    }
    error = EEXIST;
    return -1;
}

bool WriteAll(int fd, std::string_view bytes, int& error) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t wrote = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (wrote < 0 && errno == EINTR) {
            continue;
        }
        if (wrote <= 0) {
            // A write that takes nothing and says no error would loop for ever.
            error = wrote < 0 ? errno : EIO;
            return false;
        }
        done += static_cast<size_t>(wrote);
    }
    return true;
}

// The old file's permissions and, where we may, its owner go to the new one. Neither is worth
// refusing the save for: only root may give a file away.
void KeepAttributes(int fd, const struct stat& old) {
    if (::fchown(fd, old.st_uid, old.st_gid) != 0) {
        // kept by us, as any file we create
    }
    if (::fchmod(fd, old.st_mode & 07777) != 0) {
        // left as the umask made it
    }
}

} // namespace

bool WriteWholeFile(const std::string& path, std::string_view bytes, std::string& reason) {
    reason.clear();
    std::string target = path;
    struct stat old {};
    bool exists = false;
    if (::lstat(path.c_str(), &old) == 0) {
        if (S_ISLNK(old.st_mode)) {
            // The link stays a link: its target is what gets replaced.
            char* real = ::realpath(path.c_str(), nullptr);
            if (real == nullptr) {
                reason = errno == ENOENT ? "A symbolic link to a file that does not exist"
                                         : SystemReason(errno);
                return false;
            }
            target = real;
            std::free(real);
            if (::stat(target.c_str(), &old) != 0) {
                reason = SystemReason(errno);
                return false;
            }
        }
        if (!S_ISREG(old.st_mode)) {
            reason = NotRegularFileReason(old.st_mode);
            return false;
        }
        exists = true;
    } else if (errno != ENOENT) {
        reason = SystemReason(errno);
        return false;
    }

    std::string aside;
    int error = 0;
    const int fd = CreateBeside(target, aside, error);
    if (fd < 0) {
        reason = SystemReason(error);
        return false;
    }
    if (exists) {
        KeepAttributes(fd, old);
    }
    bool whole = WriteAll(fd, bytes, error);
    if (whole && ::fsync(fd) != 0) {
        whole = false;
        error = errno;
    }
    if (::close(fd) != 0 && whole) {
        whole = false;
        error = errno;
    }
    if (whole && ::rename(aside.c_str(), target.c_str()) != 0) {
        whole = false;
        error = errno;
    }
    if (!whole) {
        ::unlink(aside.c_str());
        reason = SystemReason(error);
        return false;
    }
    // The rename itself reaches the disk with its folder. The new file is in place either way.
    const int folder = ::open(FolderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        if (::fsync(folder) != 0) {
            // the file is whole and in place; only its name may wait for the next sync
        }
        ::close(folder);
    }
    return true;
}

} // namespace corvane
