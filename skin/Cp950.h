// Decoding of the narrow display texts, which are code page 950 (Traditional Chinese).
#pragma once

#include <QString>
#include <string_view>

namespace corvane {

// Decodes up to the first zero byte. A byte sequence that is not valid code page 950
// becomes U+FFFD, and decoding goes on after it.
QString DecodeCp950(std::string_view text);

} // namespace corvane
