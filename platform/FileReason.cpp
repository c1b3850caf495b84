#include "FileReason.h"

#include <sys/stat.h>
#include <system_error>

namespace corvane {

std::string SystemReason(int error) {
    return std::generic_category().message(error);
}

std::string NotRegularFileReason(mode_t mode) {
    const char* kind = S_ISDIR(mode)                    ? "a directory"
                       : S_ISFIFO(mode)                 ? "a FIFO"
                       : S_ISSOCK(mode)                 ? "a socket"
                       : S_ISCHR(mode) || S_ISBLK(mode) ? "a device"
                                                        : "not a file";
    return std::string("Not a regular file (") + kind + ")";
}

} // namespace corvane
