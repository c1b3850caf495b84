// The text a value display shows for a parameter's value byte, in the kind its entry in
// kParamInfo names.
#pragma once

#include <cstdint>
#include <string>

namespace corvane {

// Writes the text for value into text as narrow code-page-950 bytes (the degree sign is
// 0xA2 0x58). An index without a value display leaves text as it was.
void FormatParamValue(unsigned index, uint8_t value, std::string& text);

} // namespace corvane
