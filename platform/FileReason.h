// Why a file the user named could not be read or written, in words for a status box: the
// system's own for a failed call, or what stands at the path instead of a regular file.
#pragma once

#include <string>

#include <sys/types.h>

namespace corvane {

// "No such file or directory", "File too large", ...
std::string SystemReason(int error);
// "Not a regular file (a FIFO)".
std::string NotRegularFileReason(mode_t mode);

} // namespace corvane
