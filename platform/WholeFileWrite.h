// Replacing a file the user named, whole or not at all: the new text is written beside it,
// every byte checked and synced, and only then renamed over the old one. Anything that exists
// at the path and is not a regular file (a device, a FIFO, a socket, a directory) is refused
// and left as it is.
#pragma once

#include <string>
#include <string_view>

namespace corvane {

// True once `bytes` are the file at `path`. A symbolic link stays and its target is written.
// On false the old file is untouched, nothing is left beside it, and `reason` says why in the
// system's words ("File too large", "No space left on device", ...).
bool WriteWholeFile(const std::string& path, std::string_view bytes, std::string& reason);

} // namespace corvane
