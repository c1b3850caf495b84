// The text a value display shows for a parameter's value byte, in the kind its entry in
// kParamInfo names.
#pragma once

#include <cstdint>
#include <string>

namespace corvane {

// Writes the text for value into text as narrow code-page-950 bytes (the degree sign is
// 0xA2 0x58). An index without a value display leaves text as it was.
void FormatParamValue(unsigned index, uint8_t value, std::string& text);

// What a setting reads as anywhere but the value display, in the same code page: the value
// display's text, or for a switch the choice at position (its number if the switch has no
// name for it).
std::string DescribeParamSetting(int index, uint8_t position, uint8_t value);

} // namespace corvane
